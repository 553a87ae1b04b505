#include "graphics/IKnobControl.h"

#include <cmath>

#include "graphics/ControlImage.h"
#include "graphics/IGraphics.h"

using namespace control_image;

namespace {

// The whole image with its top left at (x, y).
IRECT ImageAt(const IBitmap& bitmap, int x, int y) {
  return IRECT(x, y, x + bitmap.W, y + bitmap.H);
}

}  // namespace

void IKnobControl::OnMouseDrag(int, int, int dX, int dY, IMouseMod* pMod) {
  double gearing = mGearing;
  // A gearing of 0 (or less) would turn every drag into an infinite or reversed change.
  if (!(gearing > 0.0)) return;
  if (pMod && pMod->Fine()) gearing *= 10.0;
  if (mDirection == Vertical) {
    // A flat control has no travel to measure against.
    if (mRECT.H() == 0) return;
    mValue += (double)dY / (double)(mRECT.T - mRECT.B) / gearing;
  } else {
    if (mRECT.W() == 0) return;
    mValue += (double)dX / (double)(mRECT.R - mRECT.L) / gearing;
  }
  SetDirty(true);
}

void IKnobControl::OnMouseWheel(int, int, IMouseMod* pMod, int d) {
  mValue += (double)d * ((pMod && pMod->Fine()) ? 0.001 : 0.01);
  SetDirty(true);
}

IKnobMultiControl::IKnobMultiControl(IPluginBase* pPlug, int x, int y, int paramIdx,
                                     IBitmap* pBitmap, EDirection direction, double gearing)
    : IKnobControl(pPlug, IRECT(x, y, x, y), paramIdx, direction, gearing),
      mBitmap(OrEmpty(pBitmap)) {
  // One frame of the strip.
  int n = mBitmap.N > 0 ? mBitmap.N : 1;
  mRECT = mTargetRECT = IRECT(x, y, x + mBitmap.W, y + mBitmap.H / n);
}

bool IKnobMultiControl::Draw(IGraphics* pGraphics) {
  if (!HasPixels(mBitmap)) return true;
  int n = mBitmap.N;
  int i = (int)((double)(n - 1) * mValue + 0.5);
  int state = i < 0 ? 1 : (i >= n ? n : i + 1);
  return pGraphics->DrawBitmap(&mBitmap, &mRECT, state, &mBlend);
}

IKnobLineControl::IKnobLineControl(IPluginBase* pPlug, IRECT pR, int paramIdx, const IColor* pColor,
                                   double innerRadius, double outerRadius, double minAngle,
                                   double maxAngle, EDirection direction, double gearing)
    : IKnobControl(pPlug, pR, paramIdx, direction, gearing),
      mColor(pColor ? *pColor : COLOR_BLACK),
      mMinAngle((float)minAngle),
      mMaxAngle((float)maxAngle),
      mInnerRadius((float)innerRadius),
      mOuterRadius(outerRadius == 0.0 ? 0.5f * (float)pR.W() : (float)outerRadius) {
  mBlend = IChannelBlend(IChannelBlend::BlendClobber);
}

bool IKnobLineControl::Draw(IGraphics* pGraphics) {
  double a = mMinAngle + mValue * (mMaxAngle - mMinAngle);
  float sinA = (float)std::sin(a), cosA = (float)std::cos(a);
  float cx = mRECT.MW(), cy = mRECT.MH();
  return pGraphics->DrawLine(&mColor, cx + sinA * mInnerRadius, cy - cosA * mInnerRadius,
                             cx + sinA * mOuterRadius, cy - cosA * mOuterRadius, &mBlend, true);
}

IKnobRotaterControl::IKnobRotaterControl(IPluginBase* pPlug, int x, int y, int paramIdx,
                                         IBitmap* pBitmap, double minAngle, double maxAngle,
                                         int yOffsetZeroDeg, EDirection direction, double gearing)
    : IKnobControl(pPlug, ImageAt(OrEmpty(pBitmap), x, y), paramIdx, direction, gearing),
      mBitmap(OrEmpty(pBitmap)),
      mMinAngle(minAngle),
      mMaxAngle(maxAngle),
      mYOffset(yOffsetZeroDeg) {}

bool IKnobRotaterControl::Draw(IGraphics* pGraphics) {
  if (!HasPixels(mBitmap)) return true;
  double angle = mMinAngle + mValue * (mMaxAngle - mMinAngle);
  return pGraphics->DrawRotatedBitmap(&mBitmap, (mRECT.L + mRECT.R) / 2, (mRECT.T + mRECT.B) / 2,
                                      angle, mYOffset, &mBlend);
}

IKnobRotatingMaskControl::IKnobRotatingMaskControl(IPluginBase* pPlug, int x, int y, int paramIdx,
                                                   IBitmap* pBase, IBitmap* pMask, IBitmap* pTop,
                                                   double minAngle, double maxAngle,
                                                   EDirection direction, double gearing)
    : IKnobControl(pPlug, ImageAt(OrEmpty(pBase), x, y), paramIdx, direction, gearing),
      mBase(OrEmpty(pBase)),
      mMask(OrEmpty(pMask)),
      mTop(OrEmpty(pTop)),
      mMinAngle(minAngle),
      mMaxAngle(maxAngle) {}

bool IKnobRotatingMaskControl::Draw(IGraphics* pGraphics) {
  // Each layer shapes the others: with one missing the picture would be wrong, so none is drawn.
  if (!HasPixels(mBase) || !HasPixels(mMask) || !HasPixels(mTop)) return true;
  double angle = mMinAngle + mValue * (mMaxAngle - mMinAngle);
  return pGraphics->DrawRotatedMask(&mBase, &mMask, &mTop, mRECT.L, mRECT.T, angle, &mBlend);
}
