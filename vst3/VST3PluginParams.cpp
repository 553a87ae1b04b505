// The controller's parameters: the plug-in's own under their indices, with the framework's
// shaped normalised mapping, texts and parsing; the host's bypass switch; and the factory
// presets as a program list with its selector parameter.

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "graphics/IGraphics.h"
#include "vst3/VST3Plugin.h"
#include "vst3/VST3Strings.h"

namespace vst3 {

namespace {

// Parameters whose preset changes are reported one by one.
constexpr int kMaxEchoedParams = 256;

double Clamp01(double v) { return v > 0.0 ? (v < 1.0 ? v : 1.0) : 0.0; }

// Reads a number, optionally followed by the parameter's unit; false for anything else.
bool ParseNumber(const char* text, const char* unit, double* pValue) {
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  if (end == text || !std::isfinite(value)) return false;
  while (*end == ' ') ++end;
  if (*end && unit && *unit && std::strcmp(end, unit) == 0) end += std::strlen(unit);
  while (*end == ' ') ++end;
  if (*end) return false;
  *pValue = value;
  return true;
}

}  // namespace

int VST3Plugin::NPrograms() const {
  // A single preset is nothing to choose between.
  return mPlug && mPlug->NPresets() > 1 ? mPlug->NPresets() : 0;
}

IParam* VST3Plugin::Param(uint32 id) const {
  return mPlug && id < (uint32)mPlug->NParams() ? mPlug->GetParam((int)id) : nullptr;
}

int32 VST3Plugin::getParameterCount() {
  return mPlug ? mPlug->NParams() + 1 + (NPrograms() ? 1 : 0) : 0;
}

tresult VST3Plugin::getParameterInfo(int32 paramIndex, ParameterInfo& info) {
  if (!mPlug) return kNotInitialized;
  if (paramIndex < 0 || paramIndex >= getParameterCount()) return kInvalidArgument;
  info = {};
  info.unitId = kRootUnitId;
  const int nParams = mPlug->NParams();
  if (paramIndex == nParams) {
    info.id = kBypassId;
    CopyToUtf16("Bypass", info.title, 128);
    CopyToUtf16("Bypass", info.shortTitle, 128);
    info.stepCount = 1;
    info.flags = ParameterInfo::kCanAutomate | ParameterInfo::kIsBypass;
    return kResultOk;
  }
  if (paramIndex == nParams + 1) {
    info.id = kProgramId;
    CopyToUtf16("Program", info.title, 128);
    CopyToUtf16("Program", info.shortTitle, 128);
    info.stepCount = NPrograms() - 1;
    info.flags = ParameterInfo::kIsProgramChange | ParameterInfo::kIsList;
    return kResultOk;
  }
  const IParam* param = mPlug->GetParam(paramIndex);
  info.id = (uint32)paramIndex;
  CopyToUtf16(param->GetNameForHost(), info.title, 128);
  CopyToUtf16(param->GetNameForHost(), info.shortTitle, 128);
  CopyToUtf16(param->GetLabelForHost(), info.units, 128);
  if (param->Type() != IParam::kTypeDouble && param->GetStep() > 0.0)
    info.stepCount = (int32)std::lround((param->GetMax() - param->GetMin()) / param->GetStep());
  info.defaultNormalizedValue = param->GetNormalized(param->GetDefault());
  if (param->GetCanAutomate()) info.flags |= ParameterInfo::kCanAutomate;
  if (param->GetNDisplayTexts()) info.flags |= ParameterInfo::kIsList;
  return kResultOk;
}

double VST3Plugin::normalizedParamToPlain(uint32 id, double valueNormalized) {
  const double n = Clamp01(valueNormalized);
  if (const IParam* param = Param(id)) {
    double value = param->GetNonNormalized(n);
    // Steps as the framework's own normalised setter rounds them.
    if (param->Type() != IParam::kTypeDouble && param->GetStep() > 0.0)
      value = std::floor(value / param->GetStep() + 0.5) * param->GetStep();
    return std::min(value, param->GetMax());
  }
  if (id == kProgramId && NPrograms()) return std::round(n * (NPrograms() - 1));
  return n;
}

double VST3Plugin::plainParamToNormalized(uint32 id, double plainValue) {
  if (const IParam* param = Param(id)) return param->GetNormalized(plainValue);
  if (id == kProgramId && NPrograms() > 1) return Clamp01(plainValue / (NPrograms() - 1));
  return Clamp01(plainValue);
}

double VST3Plugin::getParamNormalized(uint32 id) {
  if (const IParam* param = Param(id)) return param->GetNormalized();
  if (id == kBypassId) return Bypassed() ? 1.0 : 0.0;
  if (id == kProgramId && NPrograms() > 1)
    return (double)mPlug->GetCurrentPresetIdx() / (NPrograms() - 1);
  return 0.0;
}

tresult VST3Plugin::setParamNormalized(uint32 id, double value) {
  if (!mPlug) return kNotInitialized;
  if (std::isnan(value)) return kInvalidArgument;
  if (id == kBypassId) {
    mBypass.store(value >= 0.5, std::memory_order_relaxed);
    return kResultOk;
  }
  if (id == kProgramId && NPrograms()) {
    // Hosts push every value back after a restore; the preset already selected is not applied
    // again over the restored values.
    const int idx = (int)normalizedParamToPlain(id, value);
    if (idx == mPlug->GetCurrentPresetIdx()) return kResultOk;
    UTL_MutexLock lock(mPlug->GetMutex());
    const int n = std::min(mPlug->NParams(), kMaxEchoedParams);
    double before[kMaxEchoedParams];
    for (int i = 0; i < n; ++i) before[i] = mPlug->GetParam(i)->Value();
    if (!mPlug->RestorePreset(idx)) return kResultFalse;
    // The values the preset changed reach the host as edits. Not as a restart request: Ardour
    // holds a lock around this call that its restart handling takes again.
    if (IComponentHandler* handler = mPlug->GetComponentHandler()) {
      for (int i = 0; i < n; ++i) {
        if (mPlug->GetParam(i)->Value() == before[i]) continue;
        handler->beginEdit((uint32)i);
        handler->performEdit((uint32)i, mPlug->GetParam(i)->GetNormalized());
        handler->endEdit((uint32)i);
      }
    }
    return kResultOk;
  }
  IParam* param = Param(id);
  if (!param) return kInvalidArgument;
  UTL_MutexLock lock(mPlug->GetMutex());
  param->Set(normalizedParamToPlain(id, value));
  if (IGraphics* graphics = mPlug->GetGUI())
    graphics->SetParameterFromPlug((int)id, param->GetNormalized(), true);
  mPlug->OnParamChange((int)id);
  return kResultOk;
}

tresult VST3Plugin::getParamStringByValue(uint32 id, double valueNormalized, String128 string) {
  if (!mPlug) return kNotInitialized;
  if (!string) return kInvalidArgument;
  char text[IParam::kDisplayTextSize];
  if (const IParam* param = Param(id)) {
    param->GetDisplayForHost(normalizedParamToPlain(id, valueNormalized), false, text, true);
  } else if (id == kBypassId) {
    CopyField(valueNormalized >= 0.5 ? "On" : "Off", text, sizeof text);
  } else if (id == kProgramId && NPrograms()) {
    CopyField(mPlug->GetPresetName((int)normalizedParamToPlain(id, valueNormalized)), text,
              sizeof text);
  } else {
    return kInvalidArgument;
  }
  CopyToUtf16(text, string, 128);
  return kResultOk;
}

tresult VST3Plugin::getParamValueByString(uint32 id, TChar* string, double& valueNormalized) {
  if (!mPlug) return kNotInitialized;
  if (!string) return kInvalidArgument;
  char text[256];
  CopyToUtf8(string, 128, text, sizeof text);
  double value;
  if (const IParam* param = Param(id)) {
    int mapped;
    if (param->GetNDisplayTexts() && param->MapDisplayText(text, &mapped)) {
      value = mapped;
    } else if (ParseNumber(text, param->GetLabelForHost(), &value)) {
      if (param->GetNegateDisplay()) value = -value;
    } else {
      return kResultFalse;
    }
    valueNormalized = param->GetNormalized(value);
    return kResultOk;
  }
  if (id == kBypassId) {
    if (std::strcmp(text, "On") == 0 || std::strcmp(text, "Off") == 0) {
      valueNormalized = text[1] == 'n' ? 1.0 : 0.0;
      return kResultOk;
    }
    if (!ParseNumber(text, nullptr, &value)) return kResultFalse;
    valueNormalized = value >= 0.5 ? 1.0 : 0.0;
    return kResultOk;
  }
  if (id == kProgramId) {
    for (int i = 0; i < NPrograms(); ++i) {
      if (std::strcmp(mPlug->GetPresetName(i), text) == 0) {
        valueNormalized = plainParamToNormalized(id, i);
        return kResultOk;
      }
    }
    return kResultFalse;
  }
  return kInvalidArgument;
}

// ---- IUnitInfo ----

tresult VST3Plugin::getUnitInfo(int32 unitIndex, UnitInfo& info) {
  if (unitIndex != 0) return kInvalidArgument;
  info = {};
  info.id = kRootUnitId;
  info.parentUnitId = kNoParentUnitId;
  CopyToUtf16("Root", info.name, 128);
  info.programListId = NPrograms() ? kProgramListId : -1;
  return kResultOk;
}

int32 VST3Plugin::getProgramListCount() { return NPrograms() ? 1 : 0; }

tresult VST3Plugin::getProgramListInfo(int32 listIndex, ProgramListInfo& info) {
  if (listIndex != 0 || !NPrograms()) return kInvalidArgument;
  info = {};
  info.id = kProgramListId;
  CopyToUtf16("Factory Presets", info.name, 128);
  info.programCount = NPrograms();
  return kResultOk;
}

tresult VST3Plugin::getProgramName(int32 listId, int32 programIndex, String128 name) {
  if (listId != kProgramListId || programIndex < 0 || programIndex >= NPrograms() || !name)
    return kInvalidArgument;
  CopyToUtf16(mPlug->GetPresetName(programIndex), name, 128);
  return kResultOk;
}

tresult VST3Plugin::selectUnit(int32 unitId) {
  return unitId == kRootUnitId ? kResultOk : kInvalidArgument;
}

tresult VST3Plugin::getUnitByBus(int32, int32, int32, int32, int32& unitId) {
  unitId = kRootUnitId;
  return kResultOk;
}

}  // namespace vst3
