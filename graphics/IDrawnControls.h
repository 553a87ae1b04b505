#pragma once
// Stock controls drawn with shapes and text, for editors that have no pictures: an on/off
// switch, a push button and a label.

#include <functional>

#include "graphics/IColor.h"
#include "graphics/ISwitchControls.h"
#include "graphics/ITextControl.h"

// The invisible switch's toggle, drawn: a rounded track with a round thumb. On (value 0.5 or
// more, as IParam::Bool reads it) puts the thumb right, or at the top of a track taller than
// wide, over the on colour. A press toggles it.
class IDrawnSwitchControl : public IInvisibleSwitchControl {
 public:
  static constexpr IColor kDefaultOnColor = IColor(255, 70, 150, 230);
  static constexpr IColor kDefaultOffColor = IColor(255, 80, 84, 92);
  static constexpr IColor kDefaultThumbColor = IColor(255, 235, 235, 235);

  // Null colours take the defaults above.
  IDrawnSwitchControl(IPluginBase* pPlug, IRECT pR, int paramIdx, const IColor* pOnColor = nullptr,
                      const IColor* pOffColor = nullptr, const IColor* pThumbColor = nullptr);

  bool Draw(IGraphics* pGraphics) override;

 protected:
  // Where the thumb's centre is drawn in each state, and its radius.
  void GetThumb(bool on, int* pX, int* pY, int* pRadius) const;

  IColor mOnColor, mOffColor, mThumbColor;
};

// A rounded face with a caption, drawn in the pressed colour while held (or while its
// parameter is 0.5 or more). Bound to a parameter it is momentary: 1 while held, 0 again at
// release. The action, if any, runs on the editor's thread when a press is released over the
// button; dragged off, the button lets go without acting.
class IDrawnButtonControl : public IControl {
 public:
  static constexpr IColor kDefaultFaceColor = IColor(255, 80, 84, 92);
  static constexpr IColor kDefaultPressedColor = IColor(255, 70, 150, 230);
  static constexpr int kCornerRadius = 3;

  // pText styles the caption (null keeps the control's default style, centred); null colours
  // take the defaults above.
  IDrawnButtonControl(IPluginBase* pPlug, IRECT pR, int paramIdx, const char* caption,
                      const IText* pText = nullptr, std::function<void()> action = {},
                      const IColor* pFaceColor = nullptr, const IColor* pPressedColor = nullptr);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* pMod) override;
  void OnMouseUp(int x, int y, IMouseMod* pMod) override;
  // A second click of a quick pair is one more press, not a reset to the default.
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override { OnMouseDown(x, y, pMod); }
  bool Draw(IGraphics* pGraphics) override;

  bool IsPressed() const { return mPressed; }
  const char* GetCaption() const { return mCaption.Get(); }

 protected:
  void SetPressed(bool pressed);

  UTL_String mCaption;
  std::function<void()> mAction;
  IColor mFaceColor, mPressedColor;
  bool mPressed = false;
};

// A text centred vertically in its rectangle (ITextControl draws from the top); the style's
// alignment places it across. Being a text control, it can show another control's parameter
// name or value (IControl::SetNameDisplayControl, SetValueDisplayControl).
class ILabelControl : public ITextControl {
 public:
  ILabelControl(IPluginBase* pPlug, IRECT pR, const char* str, const IText* pText = nullptr);

  bool Draw(IGraphics* pGraphics) override;
};
