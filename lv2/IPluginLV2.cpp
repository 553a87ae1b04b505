#include "lv2/IPluginLV2.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "graphics/IGraphics.h"

namespace {

template <class T>
void ResizeZeroed(UTL_TypedBuf<T>* pBuf, int count, T value) {
  if (!pBuf->Resize(count)) return;
  for (int i = 0; i < count; ++i) pBuf->Get()[i] = value;
}

}  // namespace

IPluginLV2::IPluginLV2(const IPluginInstanceInfo& instanceInfo, int nParams,
                       const char* channelIOStr, int nPresets, const char* effectName,
                       const char* productName, const char* mfrName, int vendorVersion,
                       int uniqueID, int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks,
                       bool plugIsInst, int /*plugScChans*/)
    : IPluginBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion,
                  uniqueID, mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst, kAPILV2),
      mBundleID(instanceInfo.mBundleID),
      mControlPorts(256),
      mLastControls(256),
      mEvents(256),
      mAudioIn(256),
      mAudioOut(256) {
  ResizeZeroed<float*>(&mControlPorts, NParams(), nullptr);
  ResizeZeroed(&mLastControls, NParams(), std::numeric_limits<float>::quiet_NaN());
  ResizeZeroed(&mEvents, NParams(), IParamEvent{0, 0, 0.0});
  ResizeZeroed<float*>(&mAudioIn, NInChannels(), nullptr);
  ResizeZeroed<float*>(&mAudioOut, NOutChannels(), nullptr);
}

IPluginLV2::IPluginLV2(const IPluginInstanceInfo& instanceInfo, const IPluginConfig& config)
    : IPluginLV2(instanceInfo, config.nParams, config.channelIO, config.nPresets, config.effectName,
                 config.productName, config.mfrName, config.vendorVersion, config.uniqueID,
                 config.mfrID, config.latency, config.doesMidi, config.doesChunks, config.isInst,
                 config.scChans) {
  TakeConfigExtras(config);
}

IPluginLV2::~IPluginLV2() = default;

// ---- Audio instance ----

void IPluginLV2::InitAudio(double sampleRate) {
  // Every channel has a port; one a host leaves unconnected is the renderer's silence.
  SetInputChannelConnections(0, NInChannels(), true);
  SetOutputChannelConnections(0, NOutChannels(), true);
  mRenderer.Prepare(sampleRate, kSliceFrames);
  UTL_MutexLock lock(mMutex);
  OnParamReset();
}

void IPluginLV2::ConnectPort(uint32_t port, void* data) {
  float* p = static_cast<float*>(data);
  const uint32_t nParams = (uint32_t)NParams(), nIn = (uint32_t)NInChannels();
  if (port < nParams) {
    mControlPorts.Get()[port] = p;
  } else if (port < nParams + nIn) {
    mAudioIn.Get()[port - nParams] = p;
  } else if (port < (uint32_t)EnabledPort()) {
    mAudioOut.Get()[port - nParams - nIn] = p;
  } else if (port == (uint32_t)EnabledPort()) {
    mEnabledPort = p;
  } else if (ReportsLatency() && port == (uint32_t)LatencyPort()) {
    mLatencyPort = p;
  }
  mAudioConnected = AllAudioPortsConnected();
}

void IPluginLV2::Activate() {
  // No crossfade from before activation.
  mRenderer.Activate(mEnabledPort && *mEnabledPort <= 0.0f);
  OnActivate(true);
  Reset();
}

void IPluginLV2::Deactivate() { OnActivate(false); }

int IPluginLV2::CollectControlEvents() {
  const int n = NParams();
  float* const* ports = mControlPorts.Get();
  float* last = mLastControls.Get();
  // Every run looks, so the look compares bits: no branch per port, and a port holding NaN or
  // the other zero settles after one pass below like any other value.
  bool changed = false;
  for (int i = 0; i < n; ++i)
    changed |= ports[i] && std::bit_cast<uint32_t>(*ports[i]) != std::bit_cast<uint32_t>(last[i]);
  if (!changed) return 0;

  IParamEvent* events = mEvents.Get();
  int nEvents = 0;
  for (int i = 0; i < n; ++i) {
    if (!ports[i]) continue;
    const float value = *ports[i];
    const bool seen = std::bit_cast<uint32_t>(last[i]) == kTakeAsSeen;
    const bool moved = !seen && !std::isnan(value) && value != last[i];
    last[i] = value;
    if (moved) events[nEvents++] = {0, i, (double)value};
  }
  return nEvents;
}

bool IPluginLV2::AllAudioPortsConnected() const {
  for (int i = 0; i < NInChannels(); ++i)
    if (!mAudioIn.Get()[i]) return false;
  for (int i = 0; i < NOutChannels(); ++i)
    if (!mAudioOut.Get()[i]) return false;
  return true;
}

void IPluginLV2::Run(uint32_t nFrames) {
  const int nEvents = CollectControlEvents();
  const bool bypassed = mEnabledPort && *mEnabledPort <= 0.0f;
  // Without every audio port the controls still apply, and no host array is written.
  float* const* outputs = mAudioConnected ? mAudioOut.Get() : nullptr;
  // Runs of more than 2^31 - 1 frames would need 8 GiB per port; none is ever made.
  const int frames = (int)std::min<uint32_t>(nFrames, INT_MAX);
  mRenderer.Render(mAudioIn.Get(), outputs, frames, mEvents.Get(), nEvents, bypassed);
  // After processing, which may have changed it.
  if (mLatencyPort) *mLatencyPort = (float)std::max(GetLatency(), 0);
}

bool IPluginLV2::SaveState(ByteChunk* pChunk) { return SaveStateChunk(pChunk); }

bool IPluginLV2::RestoreState(ByteChunk* pChunk) {
  if (!LoadStateChunk(pChunk)) return false;
  // The restored values hold until the host moves a port: what each port holds now is what a
  // later run compares against. A port not yet connected takes its first value as seen.
  float* const* ports = mControlPorts.Get();
  for (int i = 0; i < NParams(); ++i)
    mLastControls.Get()[i] = ports[i] ? *ports[i] : std::bit_cast<float>(kTakeAsSeen);
  return true;
}

// ---- Editor side ----

void IPluginLV2::SetUIHost(WriteFunction write, void* controller, TouchFunction touch,
                           void* touchHandle, ResizeFunction resize, void* resizeHandle) {
  mWrite = write;
  mController = controller;
  mTouch = touch;
  mTouchHandle = touchHandle;
  mResize = resize;
  mResizeHandle = resizeHandle;
}

void IPluginLV2::PortEvent(uint32_t port, uint32_t bufferSize, uint32_t format,
                           const void* buffer) {
  if (format != 0 || bufferSize != sizeof(float) || !buffer || port >= (uint32_t)NParams()) return;
  float value;
  std::memcpy(&value, buffer, sizeof value);
  if (std::isnan(value)) return;
  const int idx = (int)port;
  UTL_MutexLock lock(mMutex);
  IParam* pParam = GetParam(idx);
  if ((float)pParam->Value() == value) return;
  pParam->Set(value);
  if (IGraphics* pGraphics = GetGUI()) pGraphics->SetParameterFromPlug(idx, value, false);
  OnParamChange(idx);
}

void IPluginLV2::BeginInformHostOfParamChange(int idx) {
  if (mTouch && GetParam(idx)) mTouch(mTouchHandle, (uint32_t)idx, true);
}

void IPluginLV2::InformHostOfParamChange(int idx, double /*normalizedValue*/) {
  IParam* pParam = GetParam(idx);
  if (!mWrite || !pParam) return;
  // The port carries real units; the parameter already holds the value the editor set.
  const float value = (float)pParam->Value();
  mWrite(mController, (uint32_t)idx, sizeof value, 0, &value);
}

void IPluginLV2::EndInformHostOfParamChange(int idx) {
  if (mTouch && GetParam(idx)) mTouch(mTouchHandle, (uint32_t)idx, false);
}

void IPluginLV2::GetTime(ITimeInfo* pTimeInfo) {
  if (pTimeInfo) pTimeInfo->mSamplePosition = (double)mRenderer.SamplePos();
}

EHost IPluginLV2::GetHost() {
  if (mHost == kHostUninit) SetHost(program_invocation_short_name, 0);
  return mHost;
}

void IPluginLV2::ResizeGraphics(int w, int h) {
  if (mResize) mResize(mResizeHandle, w, h);
  if (GetGUI()) OnWindowResize();
}
