#include "graphics/IDrawnControls.h"

#include <algorithm>
#include <utility>

#include "graphics/IGraphics.h"

namespace {

// The text centred vertically in r; across, where the style's alignment puts it.
bool DrawTextCentred(IGraphics* pGraphics, IText* pText, char* str, const IRECT& r) {
  if (!str || !str[0]) return true;
  IRECT measured = r;
  if (!pGraphics->MeasureIText(pText, str, &measured)) return false;
  int top = r.T + (r.H() - measured.H()) / 2;
  IRECT at(r.L, top, r.R, top + measured.H());
  return pGraphics->DrawIText(pText, str, &at, false);
}

}  // namespace

IDrawnSwitchControl::IDrawnSwitchControl(IPluginBase* pPlug, IRECT pR, int paramIdx,
                                         const IColor* pOnColor, const IColor* pOffColor,
                                         const IColor* pThumbColor)
    : IInvisibleSwitchControl(pPlug, pR, paramIdx),
      mOnColor(pOnColor ? *pOnColor : kDefaultOnColor),
      mOffColor(pOffColor ? *pOffColor : kDefaultOffColor),
      mThumbColor(pThumbColor ? *pThumbColor : kDefaultThumbColor) {
  // Drawn over a background: the shapes' anti-aliased edges blend into it.
  mBlend = IChannelBlend(IChannelBlend::BlendNone);
}

void IDrawnSwitchControl::GetThumb(bool on, int* pX, int* pY, int* pRadius) const {
  // The track's ends are half circles as wide as its short side; the thumb sits in one of
  // them, two pixels in from the edge.
  int r = std::min(mRECT.W(), mRECT.H()) / 2;
  bool vertical = mRECT.H() > mRECT.W();
  *pRadius = std::max(1, r - 2);
  if (vertical) {
    *pX = mRECT.L + r;
    *pY = on ? mRECT.T + r : mRECT.B - r - 1;
  } else {
    *pX = on ? mRECT.R - r - 1 : mRECT.L + r;
    *pY = mRECT.T + r;
  }
}

bool IDrawnSwitchControl::Draw(IGraphics* pGraphics) {
  bool on = mValue >= 0.5;
  int r = std::min(mRECT.W(), mRECT.H()) / 2;
  pGraphics->FillRoundRect(on ? &mOnColor : &mOffColor, &mRECT, &mBlend, r, true);
  int x, y, thumbRadius;
  GetThumb(on, &x, &y, &thumbRadius);
  return pGraphics->FillCircle(&mThumbColor, x, y, (float)thumbRadius, &mBlend, true);
}

IDrawnButtonControl::IDrawnButtonControl(IPluginBase* pPlug, IRECT pR, int paramIdx,
                                         const char* caption, const IText* pText,
                                         std::function<void()> action, const IColor* pFaceColor,
                                         const IColor* pPressedColor)
    : IControl(pPlug, pR, paramIdx),
      mCaption(caption),
      mAction(std::move(action)),
      mFaceColor(pFaceColor ? *pFaceColor : kDefaultFaceColor),
      mPressedColor(pPressedColor ? *pPressedColor : kDefaultPressedColor) {
  if (pText) mText = *pText;
}

void IDrawnButtonControl::SetPressed(bool pressed) {
  if (pressed == mPressed) return;
  mPressed = pressed;
  mValue = pressed ? 1.0 : 0.0;
  SetDirty(true);
}

void IDrawnButtonControl::OnMouseDown(int, int, IMouseMod*) { SetPressed(true); }

void IDrawnButtonControl::OnMouseDrag(int x, int y, int, int, IMouseMod*) {
  // Held only while the pointer is over it, so the face shows whether a release would act.
  if (mPressed != IsHit(x, y)) SetPressed(!mPressed);
}

void IDrawnButtonControl::OnMouseUp(int x, int y, IMouseMod*) {
  bool act = mPressed && IsHit(x, y);
  SetPressed(false);
  if (act && mAction) mAction();
}

bool IDrawnButtonControl::Draw(IGraphics* pGraphics) {
  pGraphics->FillRoundRect(mValue >= 0.5 ? &mPressedColor : &mFaceColor, &mRECT, &mBlend,
                           kCornerRadius, true);
  return DrawTextCentred(pGraphics, &mText, mCaption.GetMutable(), mRECT);
}

ILabelControl::ILabelControl(IPluginBase* pPlug, IRECT pR, const char* str, const IText* pText)
    : ITextControl(pPlug, pR, nullptr, str) {
  if (pText) mText = *pText;
}

bool ILabelControl::Draw(IGraphics* pGraphics) {
  return DrawTextCentred(pGraphics, &mText, mStr.GetMutable(), mRECT);
}
