// Preset slots: making, pruning, restoring and renaming them.

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "framework/Base64.h"
#include "framework/IPluginBase.h"
#include "framework/Log.h"

namespace {
constexpr char kUserPresetName[] = "user preset";

int CountUserPresets(UTL_PtrList<IPreset>* pPresets) {
  int n = 0;
  for (int i = 0; i < pPresets->GetSize(); ++i)
    if (strstr(pPresets->Get(i)->mName, kUserPresetName)) ++n;
  return n;
}

// Parameters whose stored value travels as an int through variable arguments.
bool TakesIntArgument(const IParam* param) {
  IParam::EParamType type = param->Type();
  return type == IParam::kTypeBool || type == IParam::kTypeInt || type == IParam::kTypeEnum;
}

// Marks parameters that a named-parameter preset leaves at their current value.
constexpr double kUnnamedValue = 9.999e-8;
}  // namespace

void IPreset::SetName(const char* name) {
  size_t n = name ? strnlen(name, kMaxNameLength - 1) : 0;
  // The name may be our own (or part of it): move, do not copy.
  if (n) memmove(mName, name, n);
  mName[n] = '\0';
}

IPreset* GetNextUninitializedPreset(UTL_PtrList<IPreset>* pPresets) {
  if (!pPresets) return nullptr;
  for (int i = 0; i < pPresets->GetSize(); ++i)
    if (!pPresets->Get(i)->mInitialized) return pPresets->Get(i);
  return nullptr;
}

void MakeDefaultUserPresetName(UTL_PtrList<IPreset>* pPresets, char* out) {
  if (!out) return;
  int n = pPresets ? CountUserPresets(pPresets) : 0;
  snprintf(out, IPreset::kMaxNameLength, "%s %d", kUserPresetName, n + 1);
}

const char* IPluginBase::GetPresetName(int idx) const {
  IPreset* preset = mPresets.Get(idx);
  return preset ? preset->mName : "";
}

void IPluginBase::MakePreset(const char* name, ...) {
  IPreset* preset = GetNextUninitializedPreset(&mPresets);
  if (!preset) return;
  preset->mInitialized = true;
  preset->SetName(name);
  va_list args;
  va_start(args, name);
  for (int i = 0; i < NParams(); ++i) {
    double value = TakesIntArgument(GetParam(i)) ? (double)va_arg(args, int) : va_arg(args, double);
    preset->mChunk.Put(&value);
  }
  va_end(args);
}

void IPluginBase::MakePresetFromNamedParams(const char* name, int nParamsNamed, ...) {
  IPreset* preset = GetNextUninitializedPreset(&mPresets);
  if (!preset) return;
  preset->mInitialized = true;
  preset->SetName(name);

  int n = NParams();
  UTL_TypedBuf<double> values;
  if (!values.Resize(n) && n > 0) return;
  for (int i = 0; i < n; ++i) values.Get()[i] = kUnnamedValue;

  va_list args;
  va_start(args, nParamsNamed);
  for (int k = 0; k < nParamsNamed; ++k) {
    int idx = va_arg(args, int);
    IParam* param = GetParam(idx);
    // The value's width depends on the parameter; an unknown index leaves the rest unreadable.
    if (!param) break;
    values.Get()[idx] = TakesIntArgument(param) ? (double)va_arg(args, int) : va_arg(args, double);
  }
  va_end(args);

  for (int i = 0; i < n; ++i) {
    double value = values.Get()[i] == kUnnamedValue ? GetParam(i)->Value() : values.Get()[i];
    preset->mChunk.Put(&value);
  }
}

void IPluginBase::MakePreset(const char* name, std::initializer_list<double> values) {
  IPreset* preset = GetNextUninitializedPreset(&mPresets);
  if (!preset) return;
  preset->mInitialized = true;
  preset->SetName(name);
  for (int i = 0; i < NParams(); ++i) {
    double value = i < (int)values.size() ? values.begin()[i] : GetParam(i)->Value();
    preset->mChunk.Put(&value);
  }
}

void IPluginBase::MakePresetFromNamedParams(const char* name,
                                            std::initializer_list<NamedValue> values) {
  IPreset* preset = GetNextUninitializedPreset(&mPresets);
  if (!preset) return;
  preset->mInitialized = true;
  preset->SetName(name);
  for (int i = 0; i < NParams(); ++i) {
    double value = GetParam(i)->Value();
    for (const NamedValue& named : values)
      if (named.mParamIdx == i) value = named.mValue;
    preset->mChunk.Put(&value);
  }
}

void IPluginBase::MakePresetFromChunk(const char* name, ByteChunk* pChunk) {
  IPreset* preset = GetNextUninitializedPreset(&mPresets);
  if (!preset) return;
  preset->mInitialized = true;
  preset->SetName(name);
  preset->mChunk.PutChunk(pChunk);
}

void IPluginBase::MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk) {
  ByteChunk chunk;
  if (sizeOfChunk > 0 && chunk.Resize(sizeOfChunk) == sizeOfChunk)
    Base64Decode(blob, chunk.GetBytes(), sizeOfChunk);
  MakePresetFromChunk(name, &chunk);
}

void IPluginBase::MakeDefaultPreset(const char* name, int nPresets) {
  for (int i = 0; i < nPresets; ++i) {
    IPreset* preset = GetNextUninitializedPreset(&mPresets);
    if (!preset) continue;
    preset->mInitialized = true;
    preset->SetName(name ? name : "Empty");
    SerializeState(&preset->mChunk);
  }
}

void IPluginBase::EnsureDefaultPreset() { MakeDefaultPreset("Empty", NPresets()); }

void IPluginBase::PruneUninitializedPresets() {
  for (int i = 0; i < mPresets.GetSize();) {
    if (mPresets.Get(i)->mInitialized) {
      ++i;
    } else {
      mPresets.Delete(i, true);
    }
  }
}

bool IPluginBase::RestorePreset(int idx) {
  IPreset* preset = mPresets.Get(idx);
  if (!preset) return false;

  if (!preset->mInitialized) {
    preset->mInitialized = true;
    char name[IPreset::kMaxNameLength];
    MakeDefaultUserPresetName(&mPresets, name);
    preset->SetName(name);
    // A slot marked unused by a restored preset list may still hold its old bytes.
    preset->mChunk.Clear();
    if (!SerializeState(&preset->mChunk)) return false;
  } else if (UnserializeState(&preset->mChunk, 0) <= 0) {
    return false;
  }

  mCurrentPresetIdx = idx;
  PresetsChangedByHost();
  RedrawParamControls();
  return true;
}

bool IPluginBase::RestorePreset(const char* name) {
  if (!name || !name[0]) return false;
  for (int i = 0; i < NPresets(); ++i)
    if (strcmp(mPresets.Get(i)->mName, name) == 0) return RestorePreset(i);
  return false;
}

void IPluginBase::ModifyCurrentPreset(const char* name) {
  IPreset* preset = mPresets.Get(mCurrentPresetIdx);
  if (!preset) return;
  preset->mChunk.Clear();
  Trace("ModifyCurrentPreset", __LINE__, "%d %s", mCurrentPresetIdx, preset->mName);
  SerializeState(&preset->mChunk);
  if (name && name[0]) preset->SetName(name);
}
