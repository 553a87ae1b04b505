// The audio side of the CLAP wrapper: the host's blocks and value events onto the block
// renderer, which applies each change at its frame and crossfades the bypass.

#include <algorithm>
#include <cstdint>

#include "clap/IPluginCLAP.h"

namespace {

constexpr int kChannels = 2;

// The host's value event at index i, or null for anything this plug-in does not read:
// other spaces, other types, events too short to be what their type says.
const clap::clap_event_param_value_t* ValueEvent(const clap::clap_input_events_t* pEvents,
                                                 uint32_t i) {
  const clap::clap_event_header_t* h = pEvents->get(pEvents, i);
  if (!h || h->space_id != clap::kCoreEventSpace || h->type != clap::kEventParamValue ||
      h->size < sizeof(clap::clap_event_param_value_t))
    return nullptr;
  return reinterpret_cast<const clap::clap_event_param_value_t*>(h);
}

uint32_t EventCount(const clap::clap_input_events_t* pEvents) {
  return pEvents && pEvents->size && pEvents->get ? pEvents->size(pEvents) : 0;
}

// A port's channel arrays of one sample width; missing channels stay null (silence in,
// output dropped).
template <class T>
void Channels(const clap::clap_audio_buffer_t* pBuffer, T** out) {
  T** data = nullptr;
  if (pBuffer) {
    if constexpr (sizeof(T) == sizeof(float)) {
      data = pBuffer->data32;
    } else {
      data = pBuffer->data64;
    }
  }
  for (int c = 0; c < kChannels; ++c)
    out[c] = data && (uint32_t)c < pBuffer->channel_count ? data[c] : nullptr;
}

// Whether the host's input holds silence only: a missing channel is silence, and otherwise
// only the host's constant-channel flags are trusted (the samples are not searched). Read
// before rendering, which may overwrite the input in place.
template <class T>
bool InputIsSilent(T* const* in, uint64_t constantMask, uint32_t frames) {
  if (frames == 0) return false;
  for (int c = 0; c < kChannels; ++c)
    if (in[c] && (!((constantMask >> c) & 1) || in[c][0] != 0)) return false;
  return true;
}

}  // namespace

template <class T>
void IPluginCLAP::RenderBlock(const clap::clap_process_t* pProcess, T* const* in, T* const* out) {
  const uint32_t frames = pProcess->frames_count;
  const clap::clap_input_events_t* pEvents = pProcess->in_events;
  const uint32_t nEvents = EventCount(pEvents);
  bool bypassed = IsBypassed();  // at the start of the span being gathered
  if (nEvents == 0) {
    mRenderer.Render(in, out, (int)std::min<uint32_t>(frames, INT32_MAX), nullptr, 0, bypassed);
    return;
  }
  bool bypassedAfter = bypassed;  // after the events gathered so far
  uint32_t start = 0;
  int n = 0;
  auto renderTo = [&](uint32_t end) {
    T* spanIn[kChannels];
    T* spanOut[kChannels];
    for (int c = 0; c < kChannels; ++c) {
      spanIn[c] = in[c] ? in[c] + start : nullptr;
      spanOut[c] = out[c] ? out[c] + start : nullptr;
    }
    mRenderer.Render(spanIn, spanOut, (int)std::min<uint32_t>(end - start, INT32_MAX),
                     mEvents.data(), n, bypassed);
    bypassed = bypassedAfter;
    start = end;
    n = 0;
  };
  for (uint32_t i = 0; i < nEvents; ++i) {
    const clap::clap_event_param_value_t* e = ValueEvent(pEvents, i);
    if (!e) continue;
    const bool isBypass = e->param_id == kBypassID;
    if (!isBypass && e->param_id >= (clap::clap_id)NParams()) continue;
    // Events arrive sorted; one out of order or past the block applies where it can.
    const uint32_t time = std::clamp(e->header.time, start, frames);
    if (n == kMaxSpanEvents) renderTo(time);
    if (isBypass) {
      bypassedAfter = e->value >= 0.5;
      mBypassed.store(bypassedAfter, std::memory_order_relaxed);
    }
    mEvents[n++] = {(int)(time - start), isBypass ? IParamEvent::kBypass : (int)e->param_id,
                    e->value};
  }
  renderTo(frames);
}

template <class T>
bool IPluginCLAP::RenderBuffers(const clap::clap_process_t* pProcess,
                                const clap::clap_audio_buffer_t* pIn,
                                const clap::clap_audio_buffer_t* pOut) {
  T* in[kChannels];
  T* out[kChannels];
  Channels(pIn, in);
  Channels(pOut, out);
  const bool silent = InputIsSilent(in, pIn ? pIn->constant_mask : 0, pProcess->frames_count);
  RenderBlock(pProcess, in, out);
  return silent;
}

clap::clap_process_status IPluginCLAP::Process(const clap::clap_process_t* pProcess) {
  if (!mActive || !pProcess) return clap::kProcessError;
  // Without a transport only the flags need clearing: every reading tests them first.
  if (pProcess->transport) {
    mTransport = *pProcess->transport;
  } else {
    mTransport.flags = 0;
  }
  const clap::clap_audio_buffer_t* pIn =
      pProcess->audio_inputs_count ? pProcess->audio_inputs : nullptr;
  clap::clap_audio_buffer_t* pOut =
      pProcess->audio_outputs_count ? pProcess->audio_outputs : nullptr;
  // 64-bit when that is what the host passes; 32-bit otherwise, as every host may.
  const bool wide =
      (pOut && !pOut->data32 && pOut->data64) || (!pOut && pIn && !pIn->data32 && pIn->data64);
  const bool silent =
      wide ? RenderBuffers<double>(pProcess, pIn, pOut) : RenderBuffers<float>(pProcess, pIn, pOut);
  if (pOut) pOut->constant_mask = 0;
  if (!mOutEvents.Empty()) PushOutputEvents(pProcess->out_events);
  // Without a tail, silence in is silence out: the host may rest until input or events come.
  return silent && GetTailSize() == 0 ? clap::kProcessSleep : clap::kProcessContinue;
}

void IPluginCLAP::ApplyInputEvents(const clap::clap_input_events_t* pIn) {
  if (mActive) {
    // Active, the changes go through the renderer as an empty block does, on this thread.
    clap::clap_process_t empty{};
    empty.in_events = pIn;
    float* none[kChannels] = {};
    RenderBlock<float>(&empty, none, none);
    return;
  }
  const uint32_t n = EventCount(pIn);
  for (uint32_t i = 0; i < n; ++i) {
    const clap::clap_event_param_value_t* e = ValueEvent(pIn, i);
    if (!e) continue;
    if (e->param_id == kBypassID) {
      mBypassed.store(e->value >= 0.5, std::memory_order_relaxed);
    } else if (e->param_id < (clap::clap_id)NParams()) {
      ApplyNow((int)e->param_id, e->value);
    }
  }
}

void IPluginCLAP::Flush(const clap::clap_input_events_t* pIn,
                        const clap::clap_output_events_t* pOut) {
  ApplyInputEvents(pIn);
  PushOutputEvents(pOut);
}
