#include "vst3/VST3Plugin.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <new>

#include "vst3/VST3Bundle.h"
#include "vst3/VST3State.h"
#include "vst3/VST3Strings.h"

namespace vst3 {

namespace {

// The channel arrays of a host's first bus when it brings every channel the plug-in has;
// null otherwise. The renderer reads a null array or channel as silence in, or drops it out.
template <class T>
T* const* Channels(const AudioBusBuffers* buses, int32 numBuses, int nChannels) {
  if (!buses || numBuses < 1 || nChannels <= 0 || buses[0].numChannels < nChannels) return nullptr;
  if constexpr (sizeof(T) == sizeof(float)) {
    return buses[0].channelBuffers32;
  } else {
    return buses[0].channelBuffers64;
  }
}

template <class T>
bool AllZero(const T* samples, int n) {
  for (int i = 0; i < n; ++i)
    if (samples[i] != 0) return false;
  return true;
}

SpeakerArrangement ArrangementOf(int nChannels) {
  if (nChannels == 1) return SpeakerArrangement(1) << 19;  // the mono speaker
  return nChannels >= 64 ? ~SpeakerArrangement(0) : (SpeakerArrangement(1) << nChannels) - 1;
}

}  // namespace

IPlugView* CreateEditorView(VST3Plugin* plugin);  // VST3View.cpp

VST3Plugin::VST3Plugin() : mEvents(256) {}

VST3Plugin::~VST3Plugin() {
  delete mRenderer;
  delete mPlug;
}

tresult VST3Plugin::queryInterface(const char* iid, void** obj) {
  if (!obj) return kInvalidArgument;
  void* p = nullptr;
  if (FUnknown::kIID.Matches(iid) || IPluginBase::kIID.Matches(iid) ||
      IComponent::kIID.Matches(iid)) {
    p = static_cast<IComponent*>(this);
  } else if (IAudioProcessor::kIID.Matches(iid)) {
    p = static_cast<IAudioProcessor*>(this);
  } else if (IEditController::kIID.Matches(iid)) {
    p = static_cast<IEditController*>(this);
  } else if (IUnitInfo::kIID.Matches(iid)) {
    p = static_cast<IUnitInfo*>(this);
  } else if (IProcessContextRequirements::kIID.Matches(iid)) {
    p = static_cast<IProcessContextRequirements*>(this);
  }
  *obj = p;
  if (!p) return kNoInterface;
  addRef();
  return kResultOk;
}

uint32 VST3Plugin::addRef() { return ++mRefs; }

uint32 VST3Plugin::release() {
  const uint32 refs = --mRefs;
  if (refs == 0) delete this;
  return refs;
}

tresult VST3Plugin::initialize(FUnknown* context) {
  if (mInitialized) return kResultOk;
  if (!mPlug) {
    try {
      FindEditorImagesInBundle();
      mPlug = MakePlug();
      if (mPlug) {
        mRenderer = new IBlockRenderer(mPlug);
        // Room for every point the event collection may take from one block.
        const int capacity = (mPlug->NParams() + 1) * kMaxPointsPerParam;  // and the bypass
        if (!mEvents.Resize(capacity)) return kOutOfMemory;
      }
    } catch (...) {
      return kOutOfMemory;
    }
    if (!mPlug || !mRenderer) return kInternalError;
  }
  IHostApplication* app = nullptr;
  if (context &&
      context->queryInterface(IHostApplication::kIID.Bytes(), (void**)&app) == kResultOk && app) {
    String128 name = {};
    if (app->getName(name) == kResultOk) {
      char text[256];
      CopyToUtf8(name, 128, text, sizeof text);
      mPlug->SetHostName(text);
    }
    app->release();
  }
  mInitialized = true;
  return kResultOk;
}

tresult VST3Plugin::terminate() {
  if (!mInitialized) return kResultOk;
  setActive(false);
  mPlug->SetComponentHandler(nullptr);
  mInitialized = false;
  return kResultOk;
}

// ---- IComponent ----

tresult VST3Plugin::getControllerClassId(char*) { return kNotImplemented; }

tresult VST3Plugin::setIoMode(int32) { return kResultOk; }

int32 VST3Plugin::getBusCount(int32 type, int32 dir) {
  if (!mPlug || type != kAudio) return 0;
  if (dir == kInput) return mPlug->NInChannels() > 0 ? 1 : 0;
  if (dir == kOutput) return mPlug->NOutChannels() > 0 ? 1 : 0;
  return 0;
}

tresult VST3Plugin::getBusInfo(int32 type, int32 dir, int32 index, BusInfo& bus) {
  if (!mPlug) return kNotInitialized;
  if (index < 0 || index >= getBusCount(type, dir)) return kInvalidArgument;
  bus = {};
  bus.mediaType = kAudio;
  bus.direction = dir;
  bus.channelCount = dir == kInput ? mPlug->NInChannels() : mPlug->NOutChannels();
  const char* label = dir == kInput ? mPlug->GetInputBusLabel(0) : mPlug->GetOutputBusLabel(0);
  CopyToUtf16(label && *label ? label : dir == kInput ? "Input" : "Output", bus.name, 128);
  bus.busType = kMain;
  bus.flags = BusInfo::kDefaultActive;
  return kResultOk;
}

tresult VST3Plugin::getRoutingInfo(RoutingInfo&, RoutingInfo&) { return kNotImplemented; }

tresult VST3Plugin::activateBus(int32 type, int32 dir, int32 index, TBool) {
  if (!mPlug) return kNotInitialized;
  return index >= 0 && index < getBusCount(type, dir) ? kResultOk : kInvalidArgument;
}

tresult VST3Plugin::setActive(TBool state) {
  if (!mPlug) return kNotInitialized;
  if (state && !mSetUp) return kNotInitialized;
  if ((bool)state == mActive.load()) return kResultOk;
  if (state) {
    {
      UTL_MutexLock lock(mPlug->GetMutex());
      mPlug->OnActivate(true);
      mPlug->Reset();
    }
    mRenderer->Activate(Bypassed());
    mActive.store(true, std::memory_order_release);
  } else {
    mActive.store(false, std::memory_order_release);
    UTL_MutexLock lock(mPlug->GetMutex());
    mPlug->OnActivate(false);
  }
  return kResultOk;
}

tresult VST3Plugin::setComponentStream(IBStream* state) { return LoadState(state); }

tresult VST3Plugin::getComponentStream(IBStream* state) {
  if (!mPlug) return kNotInitialized;
  if (!state) return kInvalidArgument;
  ByteChunk chunk;
  if (!mPlug->SaveStateChunk(&chunk)) return kOutOfMemory;
  return WriteStateChunk(state, &chunk) ? kResultOk : kResultFalse;
}

tresult VST3Plugin::LoadState(IBStream* state) {
  if (!mPlug) return kNotInitialized;
  if (!state) return kInvalidArgument;
  // Read whole before anything changes: a stream failing part-way leaves the state as it was.
  ByteChunk chunk;
  if (!ReadStateChunk(state, &chunk)) return kResultFalse;
  return mPlug->LoadStateChunk(&chunk) ? kResultOk : kResultFalse;
}

// ---- IAudioProcessor ----

tresult VST3Plugin::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                       SpeakerArrangement* outputs, int32 numOuts) {
  if (!mPlug) return kNotInitialized;
  if (mActive.load()) return kResultFalse;
  // Only the plug-in's own layout: a host offered another one falls back to it.
  auto matches = [](SpeakerArrangement* arr, int32 n, int nChannels) {
    if (nChannels == 0) return n == 0;
    return n == 1 && arr && std::popcount(arr[0]) == nChannels;
  };
  return matches(inputs, numIns, mPlug->NInChannels()) &&
                 matches(outputs, numOuts, mPlug->NOutChannels())
             ? kResultTrue
             : kResultFalse;
}

tresult VST3Plugin::getBusArrangement(int32 dir, int32 index, SpeakerArrangement& arr) {
  if (!mPlug) return kNotInitialized;
  if (index != 0 || index >= getBusCount(kAudio, dir)) return kInvalidArgument;
  arr = ArrangementOf(dir == kInput ? mPlug->NInChannels() : mPlug->NOutChannels());
  return kResultOk;
}

tresult VST3Plugin::canProcessSampleSize(int32 size) {
  return size == kSample32 || size == kSample64 ? kResultTrue : kResultFalse;
}

uint32 VST3Plugin::getLatencySamples() { return mPlug ? (uint32)mPlug->GetLatency() : 0; }

uint32 VST3Plugin::getTailSamples() { return mPlug ? mPlug->GetTailSize() : 0; }

tresult VST3Plugin::setupProcessing(ProcessSetup& setup) {
  if (!mPlug) return kNotInitialized;
  if (mActive.load()) return kResultFalse;
  if (!(setup.sampleRate > 0.0 && std::isfinite(setup.sampleRate)) ||
      setup.maxSamplesPerBlock <= 0 || canProcessSampleSize(setup.symbolicSampleSize) != kResultOk)
    return kInvalidArgument;
  if (!mRenderer->Prepare(setup.sampleRate, setup.maxSamplesPerBlock)) return kOutOfMemory;
  mSetup = setup;
  mSetUp = true;
  return kResultOk;
}

tresult VST3Plugin::setProcessing(TBool state) {
  if (!mPlug) return kNotInitialized;
  return state && !mActive.load() ? kNotInitialized : kResultOk;
}

int VST3Plugin::CollectEvents(IParameterChanges* changes, int nFrames) {
  IParamEvent* events = mEvents.Get();
  int n = 0;
  const int32 nQueues = changes ? changes->getParameterCount() : 0;
  for (int32 q = 0; q < nQueues; ++q) {
    IParamValueQueue* queue = changes->getParameterData(q);
    if (!queue) continue;
    const uint32 id = queue->getParameterId();
    const int32 points = queue->getPointCount();
    int32 offset;
    double value;
    const bool bypass = id == kBypassId;
    if ((!bypass && !Param(id)) || points <= 0) continue;
    const int32 take = std::min<int32>(points, kMaxPointsPerParam);
    for (int32 k = 0; k < take; ++k) {
      if (queue->getPoint(k == take - 1 ? points - 1 : k, offset, value) != kResultOk ||
          std::isnan(value))
        continue;
      // The switch's value for the host stands at the last point from now on.
      if (bypass) mBypass.store(value >= 0.5, std::memory_order_relaxed);
      // In time order, a later point of one parameter after an earlier one at the same frame.
      const IParamEvent event = {std::clamp<int32>(offset, 0, nFrames),
                                 bypass ? IParamEvent::kBypass : (int)id,
                                 bypass ? value : normalizedParamToPlain(id, value)};
      int at = n++;
      for (; at > 0 && events[at - 1].mOffset > event.mOffset; --at) events[at] = events[at - 1];
      events[at] = event;
    }
  }
  return n;
}

template <class T>
tresult VST3Plugin::RenderBlock(ProcessData& data, int nEvents, bool bypassedAtStart) {
  const int nFrames = data.numSamples;
  T* const* in = Channels<T>(data.inputs, data.numInputs, mPlug->NInChannels());
  T* const* out = Channels<T>(data.outputs, data.numOutputs, mPlug->NOutChannels());
  mRenderer->Render(in, out, nFrames, mEvents.Get(), nEvents, bypassedAtStart);
  if (!out) return nFrames > 0 ? kInvalidArgument : kResultOk;
  // Silent input gives silent output only where the output says so itself.
  uint64 silence = 0;
  const int nIn = mPlug->NInChannels();
  const uint64 allIn = nIn >= 64 ? ~uint64(0) : (uint64(1) << nIn) - 1;
  if (in && (data.inputs[0].silenceFlags & allIn) == allIn) {
    for (int c = 0; c < mPlug->NOutChannels() && c < 64; ++c)
      if (out[c] && AllZero(out[c], nFrames)) silence |= uint64(1) << c;
  }
  data.outputs[0].silenceFlags = silence;
  return kResultOk;
}

tresult VST3Plugin::process(ProcessData& data) {
  if (!mActive.load(std::memory_order_acquire)) return kNotInitialized;
  if (data.numSamples < 0 || canProcessSampleSize(data.symbolicSampleSize) != kResultOk)
    return kInvalidArgument;
  mPlug->SetProcessContext(data.processContext, data.processMode == kOffline);
  const bool bypassed = Bypassed();
  const int nEvents = CollectEvents(data.inputParameterChanges, data.numSamples);
  return data.symbolicSampleSize == kSample64 ? RenderBlock<double>(data, nEvents, bypassed)
                                              : RenderBlock<float>(data, nEvents, bypassed);
}

// ---- IEditController: state ----

tresult VST3Plugin::setComponentState(IBStream* state) { return LoadState(state); }

// The controller keeps nothing of its own: everything is in the component's state.
tresult VST3Plugin::setControllerStream(IBStream*) { return kResultOk; }
tresult VST3Plugin::getControllerStream(IBStream*) { return kResultOk; }

tresult VST3Plugin::setComponentHandler(IComponentHandler* handler) {
  if (!mPlug) return kNotInitialized;
  mPlug->SetComponentHandler(handler);
  return kResultOk;
}

IPlugView* VST3Plugin::createView(FIDString name) {
  if (!mPlug || !mPlug->MakeEditorOnce()) return nullptr;
  if (name && std::strcmp(name, kEditorViewType) != 0) return nullptr;
  return CreateEditorView(this);
}

uint32 VST3Plugin::getProcessContextRequirements() {
  return kNeedProjectTimeMusic | kNeedTempo | kNeedTimeSignature | kNeedTransportState;
}

}  // namespace vst3
