// Parameter and preset-list state in byte chunks, and the version header.

#include <cmath>

#include "framework/IPluginBase.h"
#include "framework/Log.h"

namespace {
constexpr int kFrameworkMagic = 0x70666674;  // "tffp" in file byte order
constexpr int kFrameworkVersion = 0x00010000;
}  // namespace

bool IPluginBase::SerializeParams(ByteChunk* pChunk) {
  if (!pChunk) return false;
  UTL_MutexLock lock(mMutex);
  bool ok = true;
  for (int i = 0; i < NParams() && ok; ++i) {
    IParam* param = GetParam(i);
    Trace("SerializeParams", __LINE__, "%d %s %f", i, param->GetNameForHost(), param->Value());
    double value = param->Value();
    ok = pChunk->Put(&value) > 0;
  }
  return ok;
}

int IPluginBase::UnserializeParams(ByteChunk* pChunk, int startPos) {
  UTL_MutexLock lock(mMutex);
  int pos = pChunk ? startPos : -1;
  for (int i = 0; i < NParams() && pos >= 0; ++i) {
    IParam* param = GetParam(i);
    Trace("UnserializeParams", __LINE__, "%d %s %f", i, param->GetNameForHost(), param->Value());
    double value = 0.0;
    pos = pChunk->Get(&value, pos);
    if (pos < 0) value = 0.0;
    param->Set(value);
  }
  OnParamReset();
  return pos;
}

bool IPluginBase::SaveStateChunk(ByteChunk* pChunk) {
  if (!pChunk) return false;
  UTL_MutexLock lock(mMutex);
  return SerializeState(pChunk);
}

bool IPluginBase::LoadStateChunk(ByteChunk* pChunk) {
  if (!pChunk) return false;
  UTL_MutexLock lock(mMutex);
  if (DoesStateChunks()) {
    // The plug-in reads its own format; one it cannot read is put back as it was.
    ByteChunk previous;
    if (!SerializeState(&previous)) return false;
    if (UnserializeState(pChunk, 0) < 0) {
      UnserializeState(&previous, 0);
      return false;
    }
  } else {
    // One 64-bit value per parameter, in index order: a version with fewer or more parameters
    // wrote fewer or more of them.
    const int size = pChunk->Size();
    if (size % (int)sizeof(double) || (size == 0 && NParams() > 0)) return false;
    const int stored = size / (int)sizeof(double);
    for (int i = 0; i < stored && i < NParams(); ++i) {
      double value = 0.0;
      pChunk->Get(&value, i * (int)sizeof(double));
      if (!std::isfinite(value)) return false;
    }
    for (int i = 0; i < NParams(); ++i) {
      double value = GetParam(i)->GetDefault();
      if (i < stored) pChunk->Get(&value, i * (int)sizeof(double));
      GetParam(i)->Set(value);
    }
    OnParamReset();
  }
  RedrawParamControls();
  return true;
}

bool IPluginBase::SerializePresets(ByteChunk* pChunk) {
  if (!pChunk) return false;
  for (int i = 0; i < NPresets(); ++i) {
    IPreset* preset = mPresets.Get(i);
    pChunk->PutStr(preset->mName);
    Trace("SerializePresets", __LINE__, "%d %s", i, preset->mName);
    pChunk->Put(&preset->mInitialized);
    if (preset->mInitialized) pChunk->PutChunk(&preset->mChunk);
  }
  return true;
}

int IPluginBase::UnserializePresets(ByteChunk* pChunk, int startPos) {
  if (!pChunk) return -1;
  UTL_String name;  // the last name read successfully in this call
  int pos = startPos;
  for (int i = 0; i < NPresets() && pos >= 0; ++i) {
    IPreset* preset = mPresets.Get(i);
    pos = pChunk->GetStr(&name, pos);
    preset->SetName(name.Get());
    Trace("UnserializePresets", __LINE__, "%d %s", i, preset->mName);
    pos = pChunk->Get(&preset->mInitialized, pos);
    if (pos >= 0 && preset->mInitialized) {
      pos = UnserializeState(pChunk, pos);
      if (pos > 0) {
        // Keep what the parameters accepted (clamped), not the raw stored bytes.
        preset->mChunk.Clear();
        SerializeState(&preset->mChunk);
      }
    }
  }
  RestorePreset(mCurrentPresetIdx);
  return pos;
}

void IPluginBase::InitChunkWithFrameworkVer(ByteChunk* pChunk) {
  if (!pChunk) return;
  pChunk->Clear();
  int magic = kFrameworkMagic, version = kFrameworkVersion;
  pChunk->Put(&magic);
  pChunk->Put(&version);
}

int IPluginBase::GetFrameworkVerFromChunk(ByteChunk* pChunk, int* pPos) {
  if (!pChunk || !pPos || *pPos < 0) return 0;
  int magic = 0;
  if (pChunk->Get(&magic, *pPos) < 0 || magic != kFrameworkMagic) return 0;
  int version = 0;
  int pos = pChunk->Get(&version, *pPos + 4);
  *pPos = pos;
  return pos < 0 ? 0 : version;
}
