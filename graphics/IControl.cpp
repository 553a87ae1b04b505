#include "graphics/IControl.h"

#include <cstring>

#include "framework/IParam.h"
#include "framework/IPluginBase.h"
#include "graphics/IGraphics.h"
#include "graphics/ITextControl.h"

IControl::IControl(IPluginBase* pPlug, IRECT pR, int paramIdx, IChannelBlend blendMethod)
    : mPlug(pPlug),
      mRECT(pR),
      mTargetRECT(pR),
      mParamIdx(paramIdx),
      mAuxParams(16 * (int)sizeof(AuxParam)),
      mBlend(blendMethod) {}

IControl::~IControl() {}

IParam* IControl::GetParam() const {
  return (mPlug && mParamIdx >= 0) ? mPlug->GetParam(mParamIdx) : nullptr;
}

IGraphics* IControl::GetGUI() const { return mPlug ? mPlug->GetGUI() : nullptr; }

void IControl::OnMouseDown(int, int, IMouseMod* pMod) {
  if (pMod && pMod->R) PromptUserInput();
}

void IControl::OnMouseUp(int, int, IMouseMod*) {}
void IControl::OnMouseDrag(int, int, int, int, IMouseMod*) {}

void IControl::OnMouseDblClick(int, int, IMouseMod*) {
  if (mDefaultValue >= 0.0) {
    mValue = mDefaultValue;
    SetDirty(true);
  }
}

void IControl::OnMouseWheel(int, int, IMouseMod*, int) {}
bool IControl::OnKeyDown(int, int, int) { return false; }
void IControl::OnMouseOver(int, int, IMouseMod*) {}
void IControl::OnMouseOut() {}

void IControl::SetValueFromPlug(double value) {
  if (mDefaultValue < 0.0) {
    // The first value the plug-in reports is what a double click restores later.
    mDefaultValue = mValue = value;
    return;
  }
  if (mValue == value) return;
  mValue = value;
  SetDirty(false);
  mRedraw = true;
}

void IControl::SetValueFromUserInput(double value) {
  if (mValue == value) return;
  mValue = value;
  SetDirty(true);
  mRedraw = true;
}

void IControl::TextFromTextEntry(const char*) {}

void IControl::Hide(bool hide) {
  mHide = hide;
  mRedraw = true;
  SetDirty(false);
}

void IControl::GrayOut(bool gray) {
  mGrayed = gray;
  mBlend.mWeight = gray ? 0.25f : 1.0f;
  SetDirty(false);
}

bool IControl::IsHit(int x, int y) { return mTargetRECT.Contains(x, y); }

void IControl::SetDirty(bool pushParamToPlug) {
  mValue = mClampLo > mValue ? mClampLo : (mClampHi < mValue ? mClampHi : mValue);
  mDirty = true;
  if (!pushParamToPlug || !mPlug || mParamIdx < 0) return;

  mPlug->SetParameterFromGUI(mParamIdx, mValue);

  IParam* pParam = GetParam();
  if (!pParam) return;
  if (mValueDisplayControl) {
    char display[IParam::kDisplayTextSize];
    pParam->GetDisplayForHost(pParam->Value(), false, display, true);
    UTL_String text;
    text.Set(display, 32);
    text.Append(" ");
    text.Append(pParam->GetLabelForHost(), 32);
    mValueDisplayControl->SetTextFromPlug(text.Get());
  }
  if (mNameDisplayControl) mNameDisplayControl->SetTextFromPlug(pParam->GetNameForHost());
}

void IControl::SetClean() {
  mDirty = mRedraw;
  mRedraw = false;
}

bool IControl::IsDirty() { return mDirty; }

void IControl::OnGUIIdle() {}

void IControl::SetAuxParamValueFromPlug(int auxParamIdx, double value) {
  // A stray index from outside the engine must not write past the list.
  if (auxParamIdx < 0 || auxParamIdx >= mAuxParams.GetSize()) return;
  AuxParam* aux = GetAuxParam(auxParamIdx);
  if (aux->value == value) return;
  aux->value = value;
  SetDirty(false);
  mRedraw = true;
}

void IControl::PromptUserInput() {
  if (mParamIdx < 0 || mDisablePrompt) return;
  IParam* pParam = GetParam();
  if (!pParam) return;
  IRECT r = mRECT;
  if (pParam->GetNDisplayTexts() == 0) {
    // A small entry box centred on the control.
    int cx = (int)((float)(mRECT.L + mRECT.R) * 0.5f);
    int cy = (int)((float)(mRECT.T + mRECT.B) * 0.5f);
    r = IRECT(cx - 20, cy - 8, cx + 20, cy + 8);
  }
  if (IGraphics* pGraphics = GetGUI()) pGraphics->PromptUserInput(this, pParam, &r);
  mRedraw = true;
}

void IControl::PromptUserInput(IRECT* pTextRect) {
  if (mParamIdx < 0 || mDisablePrompt) return;
  if (IGraphics* pGraphics = GetGUI()) pGraphics->PromptUserInput(this, GetParam(), pTextRect);
  mRedraw = true;
}

int IControl::AuxParamIdx(int paramIdx) const {
  for (int i = 0; i < mAuxParams.GetSize(); ++i)
    if (mAuxParams.Get()[i].paramIdx == paramIdx) return i;
  return -1;
}

void IControl::AddAuxParam(int paramIdx) {
  // Starts at 0 until the plug-in reports the parameter's value.
  mAuxParams.Add(AuxParam{0.0, paramIdx});
}

void IControl::SetAllAuxParamsFromGUI() {
  if (!mPlug) return;
  for (int i = 0; i < mAuxParams.GetSize(); ++i) {
    const AuxParam& aux = mAuxParams.Get()[i];
    mPlug->SetParameterFromGUI(aux.paramIdx, aux.value);
  }
}
