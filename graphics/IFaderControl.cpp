#include "graphics/IFaderControl.h"

#include "graphics/ControlImage.h"
#include "graphics/IGraphics.h"

using namespace control_image;

namespace {

// The track: the travel along the axis, the handle's size across it.
IRECT TrackAt(const IBitmap& handle, int x, int y, int len, EDirection direction) {
  return direction == Vertical ? IRECT(x, y, x + handle.W, y + len)
                               : IRECT(x, y, x + len, y + handle.H);
}

}  // namespace

IFaderControl::IFaderControl(IPluginBase* pPlug, int x, int y, int len, int paramIdx,
                             IBitmap* pBitmap, EDirection direction, bool onlyHandle)
    : IControl(pPlug, TrackAt(OrEmpty(pBitmap), x, y, len, direction), paramIdx),
      mLen(len),
      mHandleExtent(0),
      mBitmap(OrEmpty(pBitmap)),
      mDirection(direction),
      mOnlyHandle(onlyHandle) {
  mHandleExtent = direction == Vertical ? mBitmap.H : mBitmap.W;
}

IRECT IFaderControl::GetHandleRECT(double value) const {
  if (value < 0.0) value = mValue;
  int d = mLen - mHandleExtent;
  int w = mBitmap.W, h = mBitmap.H;
  if (mDirection == Vertical) {
    int g = (int)((double)d * (1.0 - value));
    return IRECT(mRECT.L, mRECT.T + g, mRECT.L + w, mRECT.T + h + g);
  }
  int g = (int)((double)d * value);
  return IRECT(mRECT.L + g, mRECT.T, mRECT.L + w + g, mRECT.T + h);
}

void IFaderControl::OnMouseDown(int x, int y, IMouseMod* pMod) {
  if (pMod && pMod->R) {
    PromptUserInput();
    return;
  }
  SnapToMouse(x, y);
}

void IFaderControl::OnMouseDrag(int x, int y, int, int, IMouseMod*) { SnapToMouse(x, y); }

void IFaderControl::OnMouseWheel(int, int, IMouseMod* pMod, int d) {
  mValue += (double)d * ((pMod && pMod->Fine()) ? 0.001 : 0.01);
  SetDirty(true);
}

void IFaderControl::SnapToMouse(int x, int y) {
  int h = mHandleExtent / 2;
  int d = mLen - mHandleExtent;
  // A handle filling the whole track leaves nothing to position (and nothing to divide by).
  if (d <= 0) return;
  if (mDirection == Vertical)
    mValue = 1.0 - (double)(y - mRECT.T - h) / (double)d;
  else
    mValue = (double)(x - mRECT.L - h) / (double)d;
  SetDirty(true);
}

bool IFaderControl::IsHit(int x, int y) {
  if (mOnlyHandle) return GetHandleRECT().Contains(x, y);
  return IControl::IsHit(x, y);
}

bool IFaderControl::Draw(IGraphics* pGraphics) {
  if (!HasPixels(mBitmap)) return true;
  IRECT handle = GetHandleRECT();
  return pGraphics->DrawBitmap(&mBitmap, &handle, 1, &mBlend);
}
