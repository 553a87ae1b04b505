// Values the plug-in pushes to its editor. Apart from the rest of the engine, and calling into
// controls only through their virtual operations, so that the plug-in base and the wrappers,
// which push every value, link none of the drawing, fonts or images into a binary that never
// makes an editor.

#include "framework/IParam.h"
#include "framework/IPluginBase.h"
#include "graphics/IControl.h"
#include "graphics/IGraphics.h"

void IGraphics::SetParameterFromPlug(int paramIdx, double value, bool normalized) {
  if (!normalized) {
    IParam* pParam = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!pParam) return;
    value = pParam->GetNormalized(value);
  }
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* pControl = mControls.Get(i);
    if (pControl->ParamIdx() == paramIdx) pControl->SetValueFromPlug(value);
    for (int aux = 0; aux < pControl->NAuxParams(); ++aux) {
      if (pControl->GetAuxParam(aux)->paramIdx != paramIdx) continue;
      pControl->SetAuxParamValueFromPlug(aux, value);
      break;  // the first aux entry of the parameter, as AuxParamIdx finds it
    }
  }
}

void IGraphics::SetControlFromPlug(int controlIdx, double normalizedValue) {
  if (IControl* pControl = mControls.Get(controlIdx)) pControl->SetValueFromPlug(normalizedValue);
}
