#include "clap/IPluginCLAP.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "graphics/IGraphics.h"

namespace {

// The documented thread of a call, asserted in debug builds where the host can tell.
#ifdef NDEBUG
#define CLAP_ASSERT_THREAD(check) ((void)0)
#else
#define CLAP_ASSERT_THREAD(check) assert(check)
#endif

template <class T>
const T* HostExtension(const clap::clap_host_t* host, const char* id) {
  return host && host->get_extension ? static_cast<const T*>(host->get_extension(host, id))
                                     : nullptr;
}

void CopyText(char* out, uint32_t capacity, const char* text) {
  std::snprintf(out, capacity, "%s", text);
}

}  // namespace

IPluginCLAP::IPluginCLAP(const IPluginInstanceInfo& /*instanceInfo*/, int nParams,
                         const char* channelIOStr, int nPresets, const char* effectName,
                         const char* productName, const char* mfrName, int vendorVersion,
                         int uniqueID, int mfrID, int latency, bool plugDoesMidi,
                         bool plugDoesChunks, bool plugIsInst, int /*plugScChans*/)
    : IPluginBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion,
                  uniqueID, mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst, kAPICLAP) {}

IPluginCLAP::IPluginCLAP(const IPluginInstanceInfo& /*instanceInfo*/, const IPluginConfig& config)
    : IPluginBase(config, kAPICLAP) {}

IPluginCLAP::~IPluginCLAP() = default;

// ---- Life cycle ----

bool IPluginCLAP::Init() {
  mHostParams = HostExtension<clap::clap_host_params_t>(mClapHost, clap::kExtParams);
  mHostState = HostExtension<clap::clap_host_state_t>(mClapHost, clap::kExtState);
  auto* check = HostExtension<clap::clap_host_thread_check_t>(mClapHost, clap::kExtThreadCheck);
  if (check && check->is_main_thread && check->is_audio_thread) mThreadCheck = check;
  CLAP_ASSERT_THREAD(OnMainThread());
  // The change hooks derive what processing reads from the values.
  UTL_MutexLock lock(mMutex);
  OnParamReset();
  return true;
}

bool IPluginCLAP::Activate(double sampleRate, uint32_t /*minFrames*/, uint32_t maxFrames) {
  CLAP_ASSERT_THREAD(OnMainThread());
  if (mActive || !(sampleRate > 0.0) || maxFrames == 0) return false;
  // Longer host blocks are rendered in pieces, so a host's "any length" costs no memory.
  const int largest = (int)std::min<uint32_t>(maxFrames, kMaxPreparedFrames);
  if (!mRenderer.Prepare(sampleRate, largest)) return false;
  mRenderer.Activate(IsBypassed());  // no crossfade from before
  OnActivate(true);
  {
    UTL_MutexLock lock(mMutex);
    Reset();
  }
  mActive = true;
  return true;
}

void IPluginCLAP::Deactivate() {
  CLAP_ASSERT_THREAD(OnMainThread());
  if (!mActive) return;
  mActive = false;
  mProcessing = false;
  OnActivate(false);
}

bool IPluginCLAP::StartProcessing() {
  CLAP_ASSERT_THREAD(OnAudioThread());
  if (!mActive) return false;
  mProcessing = true;
  return true;
}

void IPluginCLAP::StopProcessing() {
  CLAP_ASSERT_THREAD(OnAudioThread());
  mProcessing = false;
}

void IPluginCLAP::ResetProcessing() {
  CLAP_ASSERT_THREAD(OnAudioThread());
  if (!mActive) return;
  mRenderer.Activate(IsBypassed());
  // The audio thread never waits: with the lock taken elsewhere, the plug-in keeps its state.
  if (mMutex.TryEnter()) {
    Reset();
    mMutex.Leave();
  }
}

bool IPluginCLAP::OnMainThread() const {
  return !mThreadCheck || mThreadCheck->is_main_thread(mClapHost);
}

bool IPluginCLAP::OnAudioThread() const {
  return !mThreadCheck || mThreadCheck->is_audio_thread(mClapHost);
}

// ---- Parameters ----

bool IPluginCLAP::GetParamInfo(uint32_t index, clap::clap_param_info_t* pInfo) {
  CLAP_ASSERT_THREAD(OnMainThread());
  if (!pInfo || index >= ParamCount()) return false;
  std::memset(pInfo, 0, sizeof *pInfo);
  if (index == (uint32_t)NParams()) {
    pInfo->id = kBypassID;
    pInfo->flags = clap::kParamIsBypass | clap::kParamIsStepped | clap::kParamIsAutomatable;
    CopyText(pInfo->name, sizeof pInfo->name, "Bypass");
    pInfo->max_value = 1.0;
    return true;
  }
  const IParam* pParam = GetParam((int)index);
  pInfo->id = index;
  if (pParam->GetCanAutomate()) pInfo->flags |= clap::kParamIsAutomatable;
  if (pParam->Type() != IParam::kTypeDouble) pInfo->flags |= clap::kParamIsStepped;
  CopyText(pInfo->name, sizeof pInfo->name, pParam->GetNameForHost());
  CopyText(pInfo->module, sizeof pInfo->module, pParam->GetParamGroupForHost());
  pParam->GetBounds(&pInfo->min_value, &pInfo->max_value);
  pInfo->default_value = pParam->GetDefault();
  return true;
}

bool IPluginCLAP::GetParamValue(clap::clap_id id, double* pValue) {
  CLAP_ASSERT_THREAD(OnMainThread());
  if (!pValue) return false;
  if (id == kBypassID) {
    *pValue = IsBypassed() ? 1.0 : 0.0;
    return true;
  }
  const IParam* pParam = GetParam(id < (clap::clap_id)NParams() ? (int)id : -1);
  if (!pParam) return false;
  *pValue = pParam->Value();
  return true;
}

bool IPluginCLAP::ParamValueToText(clap::clap_id id, double value, char* out, uint32_t capacity) {
  CLAP_ASSERT_THREAD(OnMainThread());
  if (!out || capacity == 0 || std::isnan(value)) return false;
  if (id == kBypassID) {
    CopyText(out, capacity, value >= 0.5 ? "On" : "Off");
    return true;
  }
  const IParam* pParam = GetParam(id < (clap::clap_id)NParams() ? (int)id : -1);
  if (!pParam) return false;
  char text[IParam::kDisplayTextSize];
  pParam->GetDisplayForHost(value, false, text, true);
  // A CLAP host shows no unit of its own: the label follows numbers, as an Audio Unit host
  // shows it beside them.
  const bool named = pParam->GetDisplayText((int)std::trunc(std::clamp(value, -1e9, 1e9)))[0];
  const char* label = pParam->GetLabelForHost();
  if (!named && label[0]) {
    std::snprintf(out, capacity, "%s %s", text, label);
  } else {
    CopyText(out, capacity, text);
  }
  return true;
}

bool IPluginCLAP::ParamTextToValue(clap::clap_id id, const char* text, double* pValue) {
  CLAP_ASSERT_THREAD(OnMainThread());
  if (!text || !pValue) return false;
  if (id == kBypassID) {
    if (!std::strcmp(text, "On") || !std::strcmp(text, "1")) {
      *pValue = 1.0;
    } else if (!std::strcmp(text, "Off") || !std::strcmp(text, "0")) {
      *pValue = 0.0;
    } else {
      return false;
    }
    return true;
  }
  const IParam* pParam = GetParam(id < (clap::clap_id)NParams() ? (int)id : -1);
  if (!pParam) return false;
  double value;
  if (pParam->GetNDisplayTexts()) {
    int mapped;
    if (!pParam->MapDisplayText(text, &mapped)) return false;
    value = mapped;
  } else {
    // A number, optionally followed by the unit value_to_text writes; text that is not a
    // number is refused rather than read as 0.
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text, &end);
    if (end == text || errno == ERANGE || !std::isfinite(value)) return false;
    while (*end == ' ') ++end;
    const char* label = pParam->GetLabelForHost();
    if (*end && std::strcmp(end, label) != 0) return false;
    if (pParam->GetNegateDisplay()) value = -value;
  }
  double lo, hi;
  pParam->GetBounds(&lo, &hi);
  *pValue = std::clamp(value, lo, hi);
  return true;
}

void IPluginCLAP::ApplyNow(int idx, double value) {
  UTL_MutexLock lock(mMutex);
  GetParam(idx)->Set(value);
  OnParamChange(idx);
  NoteProcessingChange(idx);  // the editor shows it at its next drawing pass
}

// ---- The editor's changes, out to the host ----

void IPluginCLAP::QueueEditorEvent(CLAPOutEvent::EKind kind, int idx) {
  IParam* pParam = GetParam(idx);
  if (!pParam) return;
  mOutEvents.Push({kind, idx, pParam->Value()});
  // A processing host collects them with the next block; otherwise it is asked to flush,
  // which some hosts do at once, inside this call.
  if (!mProcessing && mHostParams && mHostParams->request_flush)
    mHostParams->request_flush(mClapHost);
}

void IPluginCLAP::BeginInformHostOfParamChange(int idx) {
  QueueEditorEvent(CLAPOutEvent::kBegin, idx);
}

void IPluginCLAP::InformHostOfParamChange(int idx, double /*normalizedValue*/) {
  QueueEditorEvent(CLAPOutEvent::kValue, idx);
}

void IPluginCLAP::EndInformHostOfParamChange(int idx) { QueueEditorEvent(CLAPOutEvent::kEnd, idx); }

void IPluginCLAP::PushOutputEvents(const clap::clap_output_events_t* pOut) {
  if (!pOut || !pOut->try_push) return;
  while (const CLAPOutEvent* pEvent = mOutEvents.Front()) {
    bool pushed;
    if (pEvent->mKind == CLAPOutEvent::kValue) {
      clap::clap_event_param_value_t e{};
      e.header = {sizeof e, 0, clap::kCoreEventSpace, clap::kEventParamValue, clap::kEventIsLive};
      e.param_id = (clap::clap_id)pEvent->mParamIdx;
      e.note_id = -1;
      e.port_index = e.channel = e.key = -1;
      e.value = pEvent->mValue;
      pushed = pOut->try_push(pOut, &e.header);
    } else {
      clap::clap_event_param_gesture_t e{};
      const uint16_t type = pEvent->mKind == CLAPOutEvent::kBegin ? clap::kEventParamGestureBegin
                                                                  : clap::kEventParamGestureEnd;
      e.header = {sizeof e, 0, clap::kCoreEventSpace, type, clap::kEventIsLive};
      e.param_id = (clap::clap_id)pEvent->mParamIdx;
      pushed = pOut->try_push(pOut, &e.header);
    }
    // A full list keeps the rest for the next block.
    if (!pushed) return;
    mOutEvents.Pop();
  }
}

// ---- State ----

bool IPluginCLAP::SaveState(const clap::clap_ostream_t* pStream) {
  CLAP_ASSERT_THREAD(OnMainThread());
  if (!pStream || !pStream->write) return false;
  ByteChunk chunk;
  if (!SaveStateChunk(&chunk)) return false;
  const unsigned char* bytes = chunk.GetBytes();
  for (int64_t done = 0, size = chunk.Size(); done < size;) {
    const int64_t n = pStream->write(pStream, bytes + done, (uint64_t)(size - done));
    if (n <= 0 || n > size - done) return false;
    done += n;
  }
  return true;
}

bool IPluginCLAP::LoadState(const clap::clap_istream_t* pStream) {
  CLAP_ASSERT_THREAD(OnMainThread());
  if (!pStream || !pStream->read) return false;
  ByteChunk chunk;
  unsigned char buffer[4096];
  for (;;) {
    const int64_t n = pStream->read(pStream, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0 || n > (int64_t)sizeof buffer || chunk.Size() + n > kMaxStateBytes) return false;
    if (chunk.PutBytes(buffer, (int)n) < 0) return false;
  }
  if (!LoadStateChunk(&chunk)) return false;
  for (int i = 0; i < NParams(); ++i) NoteProcessingChange(i);
  if (mHostParams && mHostParams->rescan) mHostParams->rescan(mClapHost, clap::kParamRescanValues);
  return true;
}

// ---- Host services ----

namespace {
double Beats(clap::clap_beattime t) { return (double)t / clap::kTimeFactor; }
}  // namespace

int IPluginCLAP::GetSamplePos() {
  // A host without a seconds timeline leaves the count since activation.
  if (!(mTransport.flags & clap::kTransportHasSecondsTimeline)) return (int)mRenderer.SamplePos();
  return (int)std::lround((double)mTransport.song_pos_seconds / clap::kTimeFactor *
                          GetSampleRate());
}

double IPluginCLAP::GetTempo() {
  return mTransport.flags & clap::kTransportHasTempo ? mTransport.tempo
                                                     : ITimeInfo().mBeatsPerMinute;
}

void IPluginCLAP::GetTimeSig(int* pNum, int* pDenom) {
  if (!(mTransport.flags & clap::kTransportHasTimeSignature)) return;
  if (pNum) *pNum = mTransport.tsig_num;
  if (pDenom) *pDenom = mTransport.tsig_denom;
}

void IPluginCLAP::GetTime(ITimeInfo* pTimeInfo) {
  if (!pTimeInfo) return;
  const uint32_t flags = mTransport.flags;
  pTimeInfo->mSamplePosition = GetSamplePos();
  pTimeInfo->mBeatsPerMinute = GetTempo();
  GetTimeSig(&pTimeInfo->mTimeSigNumerator, &pTimeInfo->mTimeSigDenominator);
  pTimeInfo->mPlaying = flags & clap::kTransportIsPlaying;
  if (flags & clap::kTransportHasBeatsTimeline) {
    pTimeInfo->mQuarterNotePosition = Beats(mTransport.song_pos_beats);
    pTimeInfo->mLastBarStart = Beats(mTransport.bar_start);
    pTimeInfo->mLooping = flags & clap::kTransportIsLoopActive;
    if (pTimeInfo->mLooping) {
      pTimeInfo->mLoopStart = Beats(mTransport.loop_start_beats);
      pTimeInfo->mLoopEnd = Beats(mTransport.loop_end_beats);
    }
  }
}

EHost IPluginCLAP::GetHost() {
  if (mHost == kHostUninit) {
    const clap::clap_host_t* host = Host();
    SetHost(host && host->name ? host->name : program_invocation_short_name, 0);
  }
  return mHost;
}

void IPluginCLAP::ResizeGraphics(int /*w*/, int /*h*/) {
  // The editor has one fixed size, reported when the host asks.
  if (GetGUI()) OnWindowResize();
}
