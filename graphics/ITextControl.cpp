#include "graphics/ITextControl.h"

#include <cstring>

#include "framework/IParam.h"
#include "graphics/IGraphics.h"

ITextControl::ITextControl(IPluginBase* pPlug, IRECT pR, IText* pText, const char* str)
    : IControl(pPlug, pR), mStr(str) {
  if (pText) mText = *pText;
}

void ITextControl::SetTextFromPlug(const char* str) {
  if (std::strcmp(mStr.Get(), str ? str : "") == 0) return;
  SetDirty(false);
  mStr.Set(str);
}

bool ITextControl::Draw(IGraphics* pGraphics) {
  if (mStr.GetLength() == 0) return true;
  return pGraphics->DrawIText(&mText, mStr.GetMutable(), &mRECT, false);
}

ICaptionControl::ICaptionControl(IPluginBase* pPlug, IRECT pR, int paramIdx, IText* pText,
                                 bool showParamLabel)
    : ITextControl(pPlug, pR, pText, ""), mShowParamLabel(showParamLabel) {
  mParamIdx = paramIdx;
}

void ICaptionControl::OnMouseDown(int, int, IMouseMod* pMod) {
  if (pMod && (pMod->L || pMod->R)) PromptUserInput();
}

void ICaptionControl::OnMouseDblClick(int, int, IMouseMod*) { PromptUserInput(); }

bool ICaptionControl::Draw(IGraphics* pGraphics) {
  if (IParam* pParam = GetParam()) {
    char display[IParam::kDisplayTextSize];
    pParam->GetDisplayForHost(pParam->Value(), false, display, true);
    mStr.Set(display);
    if (mShowParamLabel) {
      mStr.Append(" ");
      mStr.Append(pParam->GetLabelForHost());
    }
  }
  return ITextControl::Draw(pGraphics);
}
