#pragma once
// A handle image sliding along a track; the handle centre follows the mouse.

#include "graphics/IControl.h"

class IFaderControl : public IControl {
 public:
  IFaderControl(IPluginBase* pPlug, int x, int y, int len, int paramIdx, IBitmap* pBitmap,
                EDirection direction = Vertical, bool onlyHandle = false);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* pMod) override;
  void OnMouseWheel(int x, int y, IMouseMod* pMod, int d) override;
  bool Draw(IGraphics* pGraphics) override;
  bool IsHit(int x, int y) override;
  virtual void SnapToMouse(int x, int y);

  // Where the handle lies for a value; a negative value means the current one.
  IRECT GetHandleRECT(double value = -1.0) const;
  int GetLength() const { return mLen; }
  int GetHandleHeadroom() const { return mHandleExtent; }

 protected:
  int mLen;
  int mHandleExtent;
  IBitmap mBitmap;
  EDirection mDirection;
  bool mOnlyHandle;
};
