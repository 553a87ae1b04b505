#pragma once
// Switches and buttons: image switches that step through their frames, a pop-up switch, a
// switch with one click area per frame, a momentary contact, an image overlay, an invisible
// toggle and radio buttons.

#include "framework/UTL_TypedBuf.h"
#include "graphics/IBitmapControl.h"

// Each press advances to the next frame, wrapping to the first after the last.
class ISwitchControl : public IBitmapControl {
 public:
  ISwitchControl(IPluginBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::BlendNone)
      : IBitmapControl(pPlug, x, y, paramIdx, pBitmap, IChannelBlend(blendMethod)) {}

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  // A double click counts as one more press.
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override;
};

// A press opens the parameter's menu or value entry.
class ISwitchPopUpControl : public ISwitchControl {
 public:
  ISwitchPopUpControl(IPluginBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                      IChannelBlend::EBlendMethod blendMethod = IChannelBlend::BlendNone)
      : ISwitchControl(pPlug, x, y, paramIdx, pBitmap, blendMethod) {
    mDisablePrompt = false;
  }

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
};

// One click area per frame: a press on area j selects frame j.
class ISwitchFramesControl : public ISwitchControl {
 public:
  ISwitchFramesControl(IPluginBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                       bool imagesAreHorizontal = false,
                       IChannelBlend::EBlendMethod blendMethod = IChannelBlend::BlendNone);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  int NRECTs() const { return mRECTs.GetSize(); }
  IRECT GetFrameRECT(int j) const { return mRECTs.Get()[j]; }

 protected:
  UTL_TypedBuf<IRECT> mRECTs;
};

// Momentary: a press advances like a switch, the release returns to 0.
class IContactControl : public ISwitchControl {
 public:
  IContactControl(IPluginBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                  IChannelBlend::EBlendMethod blendMethod = IChannelBlend::BlendNone)
      : ISwitchControl(pPlug, x, y, paramIdx, pBitmap, blendMethod) {}

  void OnMouseUp(int x, int y, IMouseMod* pMod) override;
};

// An image shown over the editor: while hidden (value below 0.5) only the target area reacts
// to a press; while shown the whole image does.
class IBitmapOverlayControl : public ISwitchControl {
 public:
  IBitmapOverlayControl(IPluginBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                        IRECT targetArea);
  IBitmapOverlayControl(IPluginBase* pPlug, int x, int y, IBitmap* pBitmap, IRECT targetArea)
      : IBitmapOverlayControl(pPlug, x, y, -1, pBitmap, targetArea) {}

  bool Draw(IGraphics* pGraphics) override;

 protected:
  IRECT mTargetArea;
};

// A toggle with no picture of its own.
class IInvisibleSwitchControl : public IControl {
 public:
  IInvisibleSwitchControl(IPluginBase* pPlug, IRECT pR, int paramIdx);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics*) override { return true; }
};

// n buttons from a two-frame image (off, on); exactly one is on.
class IRadioButtonsControl : public IControl {
 public:
  IRadioButtonsControl(IPluginBase* pPlug, IRECT pR, int paramIdx, int nButtons, IBitmap* pBitmap,
                       EDirection direction = Vertical, bool reverse = false);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics* pGraphics) override;
  int NButtons() const { return mRECTs.GetSize(); }
  IRECT GetButtonRECT(int i) const { return mRECTs.Get()[i]; }

 protected:
  UTL_TypedBuf<IRECT> mRECTs;
  IBitmap mBitmap;
};
