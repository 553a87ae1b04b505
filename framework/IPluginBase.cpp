#include "framework/IPluginBase.h"

#include <cmath>
#include <cstring>

#include "framework/Log.h"
#include "framework/PlugVersion.h"
#include "graphics/IGraphics.h"

namespace {
void CopyName(char* dest, const char* src) {
  size_t n = src ? strnlen(src, IPluginBase::kMaxEffectNameLength - 1) : 0;
  if (n) memcpy(dest, src, n);
  dest[n] = '\0';
}
}  // namespace

IPluginBase::IPluginBase(int nParams, const char* channelIOStr, int nPresets,
                         const char* effectName, const char* productName, const char* mfrName,
                         int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
                         bool plugDoesChunks, bool plugIsInst, EAPI plugAPI)
    : mUniqueID(uniqueID),
      mMfrID(mfrID),
      mVersion(vendorVersion),
      mAPI(plugAPI),
      mStateChunks(plugDoesChunks),
      mIsInst(plugIsInst),
      mDoesMIDI(plugDoesMidi),
      mLatency(latency) {
  Trace("IPluginBase", __LINE__, "%s:%s", effectName ? effectName : "", CurrentTime());

  for (int i = 0; i < nParams; ++i) mParams.Add(new IParam);
  mProcessingChanges = std::make_unique<std::atomic<bool>[]>(nParams > 0 ? nParams : 0);
  for (int i = 0; i < nPresets; ++i) mPresets.Add(new IPreset);

  CopyName(mEffectName, effectName);
  CopyName(mProductName, productName);
  CopyName(mMfrName, mfrName);

  ParseChannelIO(channelIOStr);
}

IPluginBase::IPluginBase(const IPluginConfig& config, EAPI plugAPI)
    : IPluginBase(config.nParams, config.channelIO, config.nPresets, config.effectName,
                  config.productName, config.mfrName, config.vendorVersion, config.uniqueID,
                  config.mfrID, config.latency, config.doesMidi, config.doesChunks, config.isInst,
                  plugAPI) {}

IPluginBase::~IPluginBase() {
  delete mGraphics;
  mGraphics = nullptr;
  mParams.Empty(true);
  mPresets.Empty(true);
  mInChannels.Empty(true);
  mOutChannels.Empty(true);
  mChannelIO.Empty(true);
  mInputBusLabels.Empty(true);
  mOutputBusLabels.Empty(true);
  mParamGroups.Empty(true);
}

void IPluginBase::Reset() { UTL_MutexLock lock(mMutex); }

void IPluginBase::OnParamChange(int) {}

void IPluginBase::OnActivate(bool) { UTL_MutexLock lock(mMutex); }

namespace {

// The base plug-in's audio: each output copies its input, and outputs without one are silent.
template <class T>
void PassThrough(T** inputs, T** outputs, int nFrames, int nIn, int nOut) {
  if (!inputs || !outputs || nFrames <= 0) return;
  for (int i = 0; i < nOut; ++i) {
    if (!outputs[i]) continue;
    if (i < nIn && inputs[i]) {
      if (inputs[i] != outputs[i]) memmove(outputs[i], inputs[i], (size_t)nFrames * sizeof(T));
    } else {
      memset(outputs[i], 0, (size_t)nFrames * sizeof(T));
    }
  }
}

}  // namespace

void IPluginBase::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) {
  PassThrough(inputs, outputs, nFrames, NInChannels(), NOutChannels());
}

void IPluginBase::ProcessSingleReplacing(float** inputs, float** outputs, int nFrames) {
  PassThrough(inputs, outputs, nFrames, NInChannels(), NOutChannels());
}

void IPluginBase::ProcessMidiMsg(IMidiMsg* pMsg) { SendMidiMsg(pMsg); }

bool IPluginBase::MidiNoteName(int, char* out) {
  if (out) *out = '\0';
  return false;
}

bool IPluginBase::CompareState(const unsigned char* data, int startPos) {
  if (!data || startPos < 0) return NParams() == 0;
  for (int i = 0; i < NParams(); ++i) {
    double stored;
    memcpy(&stored, data + (size_t)(startPos + i) * sizeof(double), sizeof(double));
    float a = (float)stored;
    float b = (float)GetParam(i)->Value();
    if (!(std::fabs(a - b) < 1e-5f)) return false;
  }
  return true;
}

void IPluginBase::SetParameterFromGUI(int paramIdx, double normalizedValue) {
  Trace("SetParameterFromGUI", __LINE__, "%d:%f", paramIdx, normalizedValue);
  IParam* param = GetParam(paramIdx);
  if (!param) return;
  UTL_MutexLock lock(mMutex);
  param->SetNormalized(normalizedValue);
  InformHostOfParamChange(paramIdx, normalizedValue);
  OnParamChange(paramIdx);
}

void IPluginBase::AttachGraphics(IGraphics* pGraphics) {
  if (!pGraphics) return;
  UTL_MutexLock lock(mMutex);
  for (int i = 0; i < NParams(); ++i)
    pGraphics->SetParameterFromPlug(i, GetParam(i)->GetNormalized(), true);
  pGraphics->PrepDraw();
  // A second editor replaces the first rather than leaking it.
  if (mGraphics && mGraphics != pGraphics) delete mGraphics;
  mGraphics = pGraphics;
}

IGraphics* IPluginBase::MakeEditorOnce() {
  UTL_MutexLock lock(mMutex);
  if (!mGraphics && !mEditorMade) {
    mEditorMade = true;
    OnMakeEditor();
    // Displays a plug-in keeps up to date in its change hooks start from the present values.
    if (mGraphics) OnParamReset();
  }
  return mGraphics;
}

void IPluginBase::RedrawParamControls() {
  if (!mGraphics) return;
  for (int i = 0; i < NParams(); ++i)
    mGraphics->SetParameterFromPlug(i, GetParam(i)->Value(), false);
}

void IPluginBase::OnParamReset() {
  for (int i = 0; i < NParams(); ++i) OnParamChange(i);
}

void IPluginBase::NoteProcessingChange(int paramIdx) {
  if (paramIdx < 0 || paramIdx >= NParams()) return;
  mProcessingChanges[paramIdx].store(true, std::memory_order_relaxed);
  mAnyProcessingChange.store(true, std::memory_order_release);
}

void IPluginBase::ShowProcessingChanges() {
  if (!mAnyProcessingChange.exchange(false, std::memory_order_acquire)) return;
  for (int i = 0; i < NParams(); ++i) {
    if (!mProcessingChanges[i].exchange(false, std::memory_order_relaxed)) continue;
    if (mGraphics) mGraphics->SetParameterFromPlug(i, GetParam(i)->Value(), false);
  }
}

void IPluginBase::DirtyParameters() {
  UTL_MutexLock lock(mMutex);
  for (int i = 0; i < NParams(); ++i) InformHostOfParamChange(i, GetParam(i)->GetNormalized());
}

const char* IPluginBase::GetParamGroupName(int idx) const {
  UTL_String* group = mParamGroups.Get(idx);
  return group ? group->Get() : "";
}

int IPluginBase::GetEffectVersion(bool decimal) const {
  return decimal ? GetDecimalVersion(mVersion) : mVersion;
}

void IPluginBase::GetEffectVersionStr(char* out) const { GetVersionStr(mVersion, out); }

int IPluginBase::GetHostVersion(bool decimal) {
  GetHost();
  return decimal ? GetDecimalVersion(mHostVersion) : mHostVersion;
}

void IPluginBase::GetHostVersionStr(char* out) {
  GetHost();
  GetVersionStr(mHostVersion, out);
}

bool IPluginBase::SetHost(const char* name, int version) {
  mHost = LookUpHost(name);
  mHostVersion = version;
  char versionStr[kVersionStrSize];
  GetVersionStr(version, versionStr);
  Trace("SetHost", __LINE__, "host_%sknown:%s:%s", mHost == kHostUnknown ? "un" : "",
        name ? name : "", versionStr);
  return mHost != kHostUnknown;
}

const char* IPluginBase::GetAPIString() const {
  switch (mAPI) {
    case kAPIVST2:
      return "VST2";
    case kAPIVST3:
      return "VST3";
    case kAPIAU:
      return "AU";
    case kAPIRTAS:
      return "RTAS";
    case kAPIAAX:
      return "AAX";
    case kAPISA:
      return "Standalone";
    default:
      return "";
  }
}

void IPluginBase::PrepareToProcess(double sampleRate, int maxBlockFrames) {
  UTL_MutexLock lock(mMutex);
  SetSampleRate(sampleRate);
  SetBlockSize(maxBlockFrames);
  OnPrepare(sampleRate, maxBlockFrames);
}

double IPluginBase::GetSamplesPerBeat() {
  double tempo = GetTempo();
  return tempo > 0.0 ? mSampleRate * 60.0 / tempo : 0.0;
}

bool IPluginBase::SendMidiMsgs(UTL_TypedBuf<IMidiMsg>* pMsgs) {
  if (!pMsgs) return true;
  bool ok = true;
  for (int i = 0; i < pMsgs->GetSize(); ++i) ok &= SendMidiMsg(pMsgs->Get() + i);
  return ok;
}
