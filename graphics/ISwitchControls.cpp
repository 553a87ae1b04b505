#include "graphics/ISwitchControls.h"

#include "graphics/ControlImage.h"
#include "graphics/IGraphics.h"

using namespace control_image;

namespace {

// Frames and radio buttons both map the rectangle under the pointer to an evenly spaced value;
// a click between rectangles keeps the value.
void SelectHitRECT(const UTL_TypedBuf<IRECT>& rects, int x, int y, double* pValue) {
  int n = rects.GetSize();
  for (int j = 0; j < n; ++j) {
    if (rects.Get()[j].Contains(x, y)) {
      *pValue = n > 1 ? (double)j / (double)(n - 1) : 0.0;
      return;
    }
  }
}

}  // namespace

void ISwitchControl::OnMouseDown(int, int, IMouseMod*) {
  double step = mBitmap.N < 2 ? 1.0 : 1.0 / (double)(mBitmap.N - 1);
  mValue += step;
  if (mValue > 1.001) mValue = 0.0;
  SetDirty(true);
}

void ISwitchControl::OnMouseDblClick(int x, int y, IMouseMod* pMod) { OnMouseDown(x, y, pMod); }

void ISwitchPopUpControl::OnMouseDown(int, int, IMouseMod*) {
  PromptUserInput();
  SetDirty(true);
}

ISwitchFramesControl::ISwitchFramesControl(IPluginBase* pPlug, int x, int y, int paramIdx,
                                           IBitmap* pBitmap, bool imagesAreHorizontal,
                                           IChannelBlend::EBlendMethod blendMethod)
    : ISwitchControl(pPlug, x, y, paramIdx, pBitmap, blendMethod), mRECTs(16 * (int)sizeof(IRECT)) {
  // The whole strip, one frame high, as the control's rectangle.
  int n = mBitmap.N > 0 ? mBitmap.N : 1;
  mRECT = mTargetRECT = IRECT(x, y, x + mBitmap.W, y + mBitmap.H / n);
  mDisablePrompt = false;
  int L = mRECT.L, T = mRECT.T, R = mRECT.R, B = mRECT.B;
  for (int j = 0; j < n; ++j) {
    if (imagesAreHorizontal) {
      int w = (R - L) / n;
      mRECTs.Add(IRECT(L + j * w, T, L + j * w + w, B));
    } else {
      int h = (B - T) / n;
      mRECTs.Add(IRECT(L, T + j * h, R, T + j * h + h));
    }
  }
}

void ISwitchFramesControl::OnMouseDown(int x, int y, IMouseMod*) {
  SelectHitRECT(mRECTs, x, y, &mValue);
  SetDirty(true);
}

void IContactControl::OnMouseUp(int, int, IMouseMod*) {
  mValue = 0.0;
  SetDirty(true);
}

IBitmapOverlayControl::IBitmapOverlayControl(IPluginBase* pPlug, int x, int y, int paramIdx,
                                             IBitmap* pBitmap, IRECT targetArea)
    : ISwitchControl(pPlug, x, y, paramIdx, pBitmap), mTargetArea(targetArea) {
  // Starts hidden, so only the target area is live until it is shown.
  mTargetRECT = targetArea;
}

bool IBitmapOverlayControl::Draw(IGraphics* pGraphics) {
  if (mValue < 0.5) {
    mTargetRECT = mTargetArea;
    return true;
  }
  mTargetRECT = mRECT;
  return IBitmapControl::Draw(pGraphics);
}

IInvisibleSwitchControl::IInvisibleSwitchControl(IPluginBase* pPlug, IRECT pR, int paramIdx)
    : IControl(pPlug, pR, paramIdx, IChannelBlend(IChannelBlend::BlendClobber)) {
  mDisablePrompt = true;
}

void IInvisibleSwitchControl::OnMouseDown(int, int, IMouseMod*) {
  mValue = mValue < 0.5 ? 1.0 : 0.0;
  SetDirty(true);
}

IRadioButtonsControl::IRadioButtonsControl(IPluginBase* pPlug, IRECT pR, int paramIdx, int nButtons,
                                           IBitmap* pBitmap, EDirection direction, bool reverse)
    : IControl(pPlug, pR, paramIdx), mRECTs(16 * (int)sizeof(IRECT)), mBitmap(OrEmpty(pBitmap)) {
  int n = nButtons > 0 ? nButtons : 1;
  int h = mBitmap.N > 0 ? mBitmap.H / mBitmap.N : mBitmap.H;
  int w = mBitmap.W;
  // With a single button there is no gap to spread.
  int spaces = n > 1 ? n - 1 : 1;
  if (direction == Vertical) {
    double gap = (double)(pR.H() - n * h) / (double)spaces;
    int gapI = (int)gap;
    int y = pR.T;
    for (int i = 0; i < n; ++i) {
      if (reverse)
        mRECTs.Add(
            IRECT(pR.L, pR.B - (i + 1) * (h + gapI), pR.L + w, pR.B - (i + 1) * gapI - i * h));
      else
        mRECTs.Add(IRECT(pR.L, y, pR.L + w, y + h));
      y += h + gapI;
    }
  } else {
    int gap = (int)((double)(pR.W() - n * w) / (double)spaces);
    int x = reverse ? pR.R - w - gap : pR.L;
    for (int i = 0; i < n; ++i) {
      mRECTs.Add(IRECT(x, pR.T, x + w, pR.T + h));
      x += reverse ? -(w + gap) : (w + gap);
    }
  }
}

void IRadioButtonsControl::OnMouseDown(int x, int y, IMouseMod* pMod) {
  if (pMod && pMod->R) {
    PromptUserInput();
    return;
  }
  SelectHitRECT(mRECTs, x, y, &mValue);
  SetDirty(true);
}

bool IRadioButtonsControl::Draw(IGraphics* pGraphics) {
  if (!HasPixels(mBitmap)) return true;
  int n = mRECTs.GetSize();
  int active = (int)((double)(n - 1) * mValue + 0.5);
  active = active < 0 ? 0 : (active > n - 1 ? n - 1 : active);
  for (int i = 0; i < n; ++i) {
    IRECT r = mRECTs.Get()[i];
    pGraphics->DrawBitmap(&mBitmap, &r, i == active ? 2 : 1, &mBlend);
  }
  return true;
}
