#include "vst3/IPluginVST3.h"

#include <cerrno>
#include <cstdlib>

#include "graphics/IGraphics.h"

IPluginVST3::IPluginVST3(const IPluginInstanceInfo& instanceInfo, int nParams,
                         const char* channelIOStr, int nPresets, const char* effectName,
                         const char* productName, const char* mfrName, int vendorVersion,
                         int uniqueID, int mfrID, int latency, bool plugDoesMidi,
                         bool plugDoesChunks, bool plugIsInst, int /*plugScChans*/)
    : IPluginBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion,
                  uniqueID, mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst, kAPIVST3),
      mBundleID(instanceInfo.mBundleID) {}

IPluginVST3::IPluginVST3(const IPluginInstanceInfo& instanceInfo, const IPluginConfig& config)
    : IPluginBase(config, kAPIVST3), mBundleID(instanceInfo.mBundleID) {}

IPluginVST3::~IPluginVST3() { SetComponentHandler(nullptr); }

void IPluginVST3::SetComponentHandler(vst3::IComponentHandler* pHandler) {
  if (pHandler) pHandler->addRef();
  if (mHandler) mHandler->release();
  mHandler = pHandler;
}

void IPluginVST3::SetHostName(const char* name) {
  if (name && *name) SetHost(name, 0);
}

void IPluginVST3::SetProcessContext(const vst3::ProcessContext* pContext, bool offline) {
  mHaveContext = pContext != nullptr;
  if (pContext) mContext = *pContext;
  mOffline.store(offline, std::memory_order_relaxed);
}

void IPluginVST3::SetResizeFunction(ResizeFunction resize, void* context) {
  mResize = resize;
  mResizeContext = context;
}

void IPluginVST3::BeginInformHostOfParamChange(int idx) {
  if (mHandler && GetParam(idx)) mHandler->beginEdit((uint32_t)idx);
}

void IPluginVST3::InformHostOfParamChange(int idx, double normalizedValue) {
  if (mHandler && GetParam(idx)) mHandler->performEdit((uint32_t)idx, normalizedValue);
}

void IPluginVST3::EndInformHostOfParamChange(int idx) {
  if (mHandler && GetParam(idx)) mHandler->endEdit((uint32_t)idx);
}

int IPluginVST3::GetSamplePos() { return mHaveContext ? (int)mContext.projectTimeSamples : 0; }

double IPluginVST3::GetTempo() {
  if (mHaveContext && (mContext.state & vst3::ProcessContext::kTempoValid)) return mContext.tempo;
  return ITimeInfo().mBeatsPerMinute;
}

void IPluginVST3::GetTimeSig(int* pNum, int* pDenom) {
  if (!mHaveContext || !(mContext.state & vst3::ProcessContext::kTimeSigValid)) return;
  if (pNum) *pNum = mContext.timeSigNumerator;
  if (pDenom) *pDenom = mContext.timeSigDenominator;
}

void IPluginVST3::GetTime(ITimeInfo* pTimeInfo) {
  if (!pTimeInfo || !mHaveContext) return;
  pTimeInfo->mSamplePosition = (double)mContext.projectTimeSamples;
  if (mContext.state & vst3::ProcessContext::kTempoValid)
    pTimeInfo->mBeatsPerMinute = mContext.tempo;
  if (mContext.state & vst3::ProcessContext::kProjectTimeMusicValid)
    pTimeInfo->mQuarterNotePosition = mContext.projectTimeMusic;
}

EHost IPluginVST3::GetHost() {
  // Without a name from the host, the process name tells it.
  if (mHost == kHostUninit) SetHost(program_invocation_short_name, 0);
  return mHost;
}

void IPluginVST3::ResizeGraphics(int w, int h) {
  if (mResize) mResize(mResizeContext, w, h);
  if (GetGUI()) OnWindowResize();
}
