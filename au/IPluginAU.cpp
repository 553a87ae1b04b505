// Instance life cycle, the component entry's selector dispatch, parameters and listener
// registration.

#include "au/IPluginAU.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "graphics/IGraphics.h"

namespace {

// The platform's general results for a bad argument and for memory that could not be had.
constexpr ComponentResult kParamErr = -50;
constexpr ComponentResult kMemFullErr = -108;

// Argument i of the selector (0 = the first after the instance). Each argument sits at the
// start of its own long-sized slot; slot 0 holds the instance.
template <class T>
T Arg(const ComponentParameters* params, int i) {
  static_assert(sizeof(T) <= sizeof(long));
  T value;
  std::memcpy(&value, &params->params[i + 1], sizeof(T));
  return value;
}

// Answers of the CanDo selector: what a host may call, as the unit advertises it.
bool CanDo(int select) {
  switch (select) {
    case kAudioUnitInitializeSelect:
    case kAudioUnitUninitializeSelect:
    case kAudioUnitGetPropertyInfoSelect:
    case kAudioUnitGetPropertySelect:
    case kAudioUnitSetPropertySelect:
    case kAudioUnitGetParameterSelect:
    case kAudioUnitSetParameterSelect:
    case kAudioUnitResetSelect:
    case kAudioUnitAddPropertyListenerSelect:
    case kAudioUnitRemovePropertyListenerSelect:
    case kAudioUnitRenderSelect:
    case kAudioUnitAddRenderNotifySelect:
    case kAudioUnitRemoveRenderNotifySelect:
    case kAudioUnitScheduleParametersSelect:
      return true;
    default:
      return false;
  }
}

// Selectors the unit accepts and does nothing for.
ComponentResult Ignore(IPluginAU&, const ComponentParameters*) { return noErr; }

}  // namespace

IPluginAU::IPluginAU(const IPluginInstanceInfo& instanceInfo, int nParams, const char* channelIOStr,
                     int nPresets, const char* effectName, const char* productName,
                     const char* mfrName, int vendorVersion, int uniqueID, int mfrID, int latency,
                     bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst, int plugScChans)
    : IPluginBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion,
                  uniqueID, mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst, kAPIAU),
      mBundleID(instanceInfo.mBundleID),
      mViewFactoryClassName(instanceInfo.mViewFactoryClassName) {
  MakeBuses(plugScChans);
  mSliceIn.Resize(NInChannels());
  mSliceOut.Resize(NOutChannels());
  for (int i = 0; i < mSliceIn.GetSize(); ++i) mSliceIn.Get()[i] = nullptr;
  for (int i = 0; i < mSliceOut.GetSize(); ++i) mSliceOut.Get()[i] = nullptr;
  mScheduled.Resize(kMaxScheduledEvents);
  mTimedEvents.Resize(kMaxBlockEvents);
  mBlockEvents.Resize(kMaxBlockEvents);
}

IPluginAU::IPluginAU(const IPluginInstanceInfo& instanceInfo, const IPluginConfig& config)
    : IPluginAU(instanceInfo, config.nParams, config.channelIO, config.nPresets, config.effectName,
                config.productName, config.mfrName, config.vendorVersion, config.uniqueID,
                config.mfrID, config.latency, config.doesMidi, config.doesChunks, config.isInst,
                config.scChans) {
  TakeConfigExtras(config);
}

IPluginAU::~IPluginAU() {
  mRenderNotifiers.Empty(true);
  mInputBuses.Empty(true);
  mOutputBuses.Empty(true);
  mInputConnections.Empty(true);
  mListeners.Empty(true);
}

ComponentResult IPluginAU::IPluginAUEntry(ComponentParameters* params, void* pPlug) {
  // The host is C: nothing may unwind through the entry.
  try {
    return Dispatch(params, pPlug);
  } catch (const std::bad_alloc&) {
    return kMemFullErr;
  } catch (...) {
    return kAudioUnitErr_CannotDoInCurrentContext;
  }
}

ComponentResult IPluginAU::Dispatch(ComponentParameters* params, void* pPlug) {
  if (!params) return badComponentSelector;
  const int select = params->what;
  Trace("IPluginAUEntry", __LINE__, "(%d:%s)", select, AUSelectStr(select));

  if (select == kComponentOpenSelect) {
    ComponentInstance instance = (ComponentInstance)params->params[0];
    std::unique_ptr<IPluginAU> plug(MakePlug());
    if (!plug) return kMemFullErr;
    plug->HostSpecificInit();
    plug->PruneUninitializedPresets();
    plug->mComponentInstance = instance;
    SetComponentInstanceStorage(instance, (Handle)plug.release());
    return noErr;
  }

  IPluginAU* _this = static_cast<IPluginAU*>(pPlug);
  // Anything but open needs an instance; a host calling before open or after close gets
  // an error rather than a null dereference.
  if (!_this) return badComponentInstance;

  if (select == kComponentCloseSelect) {
    _this->ClearConnections();
    delete _this;
    return noErr;
  }

  // Even a selector the unit does not take waits for the lock, as every call but open and
  // close does.
  UTL_MutexLock lock(&_this->mMutex);
  SelectorHandler handler = FindSelectorHandler(select);
  return handler ? handler(*_this, params) : badComponentSelector;
}

IPluginAU::SelectorHandler IPluginAU::FindSelectorHandler(int select) {
  using P = const ComponentParameters*;
  struct Route {
    int select;
    SelectorHandler handler;
  };
  static const Route kRoutes[] = {
      {kComponentCanDoSelect,
       [](IPluginAU&, P p) -> ComponentResult { return CanDo(Arg<SInt16>(p, 0)) ? 1 : 0; }},
      {kComponentVersionSelect,
       [](IPluginAU& au, P) -> ComponentResult { return au.GetEffectVersion(false); }},
      {kAudioUnitInitializeSelect, [](IPluginAU& au, P) { return au.Initialize(); }},
      {kAudioUnitUninitializeSelect,
       [](IPluginAU& au, P) -> ComponentResult {
         au.Uninitialize();
         return noErr;
       }},
      {kAudioUnitGetPropertyInfoSelect,
       [](IPluginAU& au, P p) {
         UInt32 localSize = 0;
         Boolean localWriteable = false;
         UInt32* pDataSize = Arg<UInt32*>(p, 3);
         Boolean* pWriteable = Arg<Boolean*>(p, 4);
         if (!pDataSize) pDataSize = &localSize;
         if (!pWriteable) pWriteable = &localWriteable;
         *pWriteable = false;
         return au.GetProperty(Arg<AudioUnitPropertyID>(p, 0), Arg<AudioUnitScope>(p, 1),
                               Arg<AudioUnitElement>(p, 2), pDataSize, pWriteable, nullptr);
       }},
      {kAudioUnitGetPropertySelect,
       [](IPluginAU& au, P p) {
         void* pData = Arg<void*>(p, 3);
         UInt32* pDataSize = Arg<UInt32*>(p, 4);
         // Without a size a host buffer cannot be checked; only a size query is served then.
         UInt32 localSize = 0;
         if (!pDataSize) {
           if (pData) return kParamErr;
           pDataSize = &localSize;
         }
         Boolean writeable = false;
         return au.GetProperty(Arg<AudioUnitPropertyID>(p, 0), Arg<AudioUnitScope>(p, 1),
                               Arg<AudioUnitElement>(p, 2), pDataSize, &writeable, pData);
       }},
      {kAudioUnitSetPropertySelect,
       [](IPluginAU& au, P p) {
         UInt32 dataSize = Arg<UInt32>(p, 4);
         return au.SetProperty(Arg<AudioUnitPropertyID>(p, 0), Arg<AudioUnitScope>(p, 1),
                               Arg<AudioUnitElement>(p, 2), &dataSize, Arg<const void*>(p, 3));
       }},
      {kAudioUnitGetParameterSelect,
       [](IPluginAU& au, P p) {
         return GetParamProc(&au, Arg<AudioUnitParameterID>(p, 0), Arg<AudioUnitScope>(p, 1),
                             Arg<AudioUnitElement>(p, 2), Arg<AudioUnitParameterValue*>(p, 3));
       }},
      {kAudioUnitSetParameterSelect,
       [](IPluginAU& au, P p) {
         return SetParamProc(&au, Arg<AudioUnitParameterID>(p, 0), Arg<AudioUnitScope>(p, 1),
                             Arg<AudioUnitElement>(p, 2), Arg<AudioUnitParameterValue>(p, 3),
                             Arg<UInt32>(p, 4));
       }},
      {kAudioUnitResetSelect,
       [](IPluginAU& au, P) -> ComponentResult {
         // A host that relocates may render the same sample time again; that is new input.
         au.mLastPullSampleTime = -1.0;
         au.Reset();
         return noErr;
       }},
      {kAudioUnitAddPropertyListenerSelect,
       [](IPluginAU& au, P p) {
         return au.AddPropertyListener(Arg<AudioUnitPropertyID>(p, 0),
                                       Arg<AudioUnitPropertyListenerProc>(p, 1), Arg<void*>(p, 2));
       }},
      {kAudioUnitRemovePropertyListenerSelect,
       [](IPluginAU& au, P p) -> ComponentResult {
         au.RemovePropertyListener(Arg<AudioUnitPropertyID>(p, 0),
                                   Arg<AudioUnitPropertyListenerProc>(p, 1), false, nullptr);
         return noErr;
       }},
      {kAudioUnitRemovePropertyListenerWithUserDataSelect,
       [](IPluginAU& au, P p) -> ComponentResult {
         au.RemovePropertyListener(Arg<AudioUnitPropertyID>(p, 0),
                                   Arg<AudioUnitPropertyListenerProc>(p, 1), true,
                                   Arg<void*>(p, 2));
         return noErr;
       }},
      {kAudioUnitRenderSelect,
       [](IPluginAU& au, P p) {
         return RenderProc(&au, nullptr, Arg<const AudioTimeStamp*>(p, 1), Arg<UInt32>(p, 2),
                           Arg<UInt32>(p, 3), Arg<AudioBufferList*>(p, 4));
       }},
      {kAudioUnitAddRenderNotifySelect,
       [](IPluginAU& au, P p) {
         return au.AddRenderNotify(Arg<AURenderCallback>(p, 0), Arg<void*>(p, 1));
       }},
      {kAudioUnitRemoveRenderNotifySelect,
       [](IPluginAU& au, P p) -> ComponentResult {
         au.RemoveRenderNotify(Arg<AURenderCallback>(p, 0));
         return noErr;
       }},
      {kAudioUnitScheduleParametersSelect,
       [](IPluginAU& au, P p) {
         return au.ScheduleParameters(Arg<const AudioUnitParameterEvent*>(p, 0), Arg<UInt32>(p, 1));
       }},
      {kMusicDeviceMIDIEventSelect,
       [](IPluginAU& au, P p) -> ComponentResult {
         IMidiMsg msg;
         msg.mSampleOffset = (int)Arg<UInt32>(p, 3);
         msg.mStatusByte = (unsigned char)Arg<UInt32>(p, 0);
         msg.mFirstData = (unsigned char)Arg<UInt32>(p, 1);
         msg.mSecondData = (unsigned char)Arg<UInt32>(p, 2);
         au.ProcessMidiMsg(&msg);
         return noErr;
       }},
      {kMusicDeviceSysExSelect,
       [](IPluginAU& au, P p) -> ComponentResult {
         ISysEx sysEx;
         sysEx.mSampleOffset = 0;
         sysEx.mBytes = Arg<const UInt8*>(p, 0);
         sysEx.mByteCount = (int)Arg<UInt32>(p, 1);
         au.ProcessSysEx(&sysEx);
         return noErr;
       }},
      {kMusicDevicePrepareInstrumentSelect, Ignore},
      {kMusicDeviceReleaseInstrumentSelect, Ignore},
      {kMusicDeviceStopNoteSelect, Ignore},
      {kMusicDeviceStartNoteSelect,
       [](IPluginAU&, P p) -> ComponentResult {
         NoteInstanceID* pNoteID = Arg<NoteInstanceID*>(p, 2);
         const MusicDeviceNoteParams* pNote = Arg<const MusicDeviceNoteParams*>(p, 4);
         if (pNoteID && pNote) *pNoteID = (NoteInstanceID)(int)pNote->mPitch;
         return noErr;
       }},
  };
  for (const Route& route : kRoutes) {
    if (route.select == select) return route.handler;
  }
  return nullptr;
}

ComponentResult IPluginAU::Initialize() {
  if (!CheckLegalIO()) return badComponentSelector;
  mInitialized = true;
  mLastPullSampleTime = -1.0;
  PrepareIfInitialized();
  OnParamReset();
  OnActivate(true);
  return noErr;
}

void IPluginAU::PrepareIfInitialized() {
  if (mInitialized) mRenderer.Prepare(GetSampleRate(), GetBlockSize());
}

void IPluginAU::Uninitialize() {
  mInitialized = false;
  OnActivate(false);
}

void IPluginAU::ClearConnections() {
  for (int i = 0; i < mInputBuses.GetSize(); ++i) {
    mInputBuses.Get(i)->mIsConnected = false;
    mInputBuses.Get(i)->mHostChannelCount = -1;
    std::memset(mInputConnections.Get(i), 0, sizeof(InputConnection));
  }
  for (int i = 0; i < mOutputBuses.GetSize(); ++i) {
    mOutputBuses.Get(i)->mIsConnected = false;
    mOutputBuses.Get(i)->mHostChannelCount = -1;
  }
}

ComponentResult IPluginAU::GetParamProc(void* pPlug, AudioUnitParameterID paramID,
                                        AudioUnitScope scope, AudioUnitElement element,
                                        AudioUnitParameterValue* pValue) {
  Trace("GetParamProc", __LINE__, "%d:(%d:%s):%d", (int)paramID, (int)scope, AUScopeStr((int)scope),
        (int)element);
  if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
  IPluginAU* _this = static_cast<IPluginAU*>(pPlug);
  if (!_this || !pValue) return kParamErr;
  UTL_MutexLock lock(&_this->mMutex);
  IParam* pParam = _this->GetParam((int)paramID);
  if (!pParam || paramID >= (AudioUnitParameterID)_this->NParams())
    return kAudioUnitErr_InvalidParameter;
  *pValue = (AudioUnitParameterValue)pParam->Value();
  return noErr;
}

ComponentResult IPluginAU::SetParamProc(void* pPlug, AudioUnitParameterID paramID,
                                        AudioUnitScope scope, AudioUnitElement element,
                                        AudioUnitParameterValue value, UInt32 /*offsetFrames*/) {
  Trace("SetParamProc", __LINE__, "%d:(%d:%s):%d", (int)paramID, (int)scope, AUScopeStr((int)scope),
        (int)element);
  if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
  IPluginAU* _this = static_cast<IPluginAU*>(pPlug);
  if (!_this) return kParamErr;
  UTL_MutexLock lock(&_this->mMutex);
  IParam* pParam = _this->GetParam((int)paramID);
  if (!pParam || paramID >= (AudioUnitParameterID)_this->NParams())
    return kAudioUnitErr_InvalidParameter;
  const int idx = (int)paramID;
  pParam->Set((double)value);
  if (IGraphics* pGraphics = _this->GetGUI()) pGraphics->SetParameterFromPlug(idx, value, false);
  _this->OnParamChange(idx);
  return noErr;
}

ComponentResult IPluginAU::ScheduleParameters(const AudioUnitParameterEvent* pEvents,
                                              UInt32 nEvents) {
  if (!pEvents) return nEvents ? kParamErr : noErr;
  UTL_MutexLock lock(&mMutex);
  for (UInt32 i = 0; i < nEvents; ++i) {
    const AudioUnitParameterEvent& event = pEvents[i];
    Trace("ScheduleParameters", __LINE__, "%d:(%d:%s):%d:%d", (int)event.parameter,
          (int)event.scope, AUScopeStr((int)event.scope), (int)event.element, (int)event.eventType);
    if (event.scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
    if (event.parameter >= (AudioUnitParameterID)NParams()) return kAudioUnitErr_InvalidParameter;
    if (event.eventType != kParameterEvent_Immediate && event.eventType != kParameterEvent_Ramped)
      return kParamErr;
    // Beyond what one render takes the host hears of it rather than losing the change.
    if (mNScheduled >= mScheduled.GetSize()) return kAudioUnitErr_CannotDoInCurrentContext;
    mScheduled.Get()[mNScheduled++] = event;
  }
  return noErr;
}

int IPluginAU::TakeScheduledEvents(int nFrames) {
  if (!mNScheduled || !mMutex.TryEnter()) return 0;
  const int nQueued = mNScheduled;
  int nRamps = 0;
  for (int i = 0; i < nQueued; ++i)
    nRamps += mScheduled.Get()[i].eventType == kParameterEvent_Ramped;
  // Every event keeps at least its final value; ramps share what room is left for steps.
  const int capacity = mTimedEvents.GetSize();
  const int stepBudget = nRamps ? std::max(0, capacity - nQueued) / nRamps : 0;
  TimedEvent* timed = mTimedEvents.Get();
  int n = 0;
  auto add = [&](long long offset, int idx, double value) {
    if (n >= capacity) return;
    const int frame = (int)std::clamp<long long>(offset, 0, nFrames);
    timed[n] = {{frame, idx, value}, n};
    ++n;
  };
  for (int i = 0; i < nQueued; ++i) {
    const AudioUnitParameterEvent& event = mScheduled.Get()[i];
    const int idx = (int)event.parameter;
    if (event.eventType == kParameterEvent_Immediate) {
      add(event.eventValues.immediate.bufferOffset, idx, event.eventValues.immediate.value);
      continue;
    }
    // The ramp's value on frame f is start + (end - start) * (f - startOffset) / duration; the
    // host sends it again with each slice it spans, from an offset before the slice if need be.
    const auto& ramp = event.eventValues.ramp;
    const long long start = ramp.startBufferOffset, end = start + ramp.durationInFrames;
    const long long first = std::max(start, 0LL), last = std::min<long long>(end, nFrames);
    long long step = kRampStepFrames;
    if (stepBudget > 0 && (last - first) / step >= stepBudget)
      step = (last - first) / stepBudget + 1;
    for (long long f = first; stepBudget > 0 && f < last; f += step) {
      add(f, idx,
          ramp.startValue + (double)(ramp.endValue - ramp.startValue) * (double)(f - start) /
                                (double)ramp.durationInFrames);
    }
    // A ramp that starts after the slice waits for the host to send it with its own slice.
    if (end <= nFrames) add(end, idx, ramp.endValue);
  }
  mNScheduled = 0;
  mMutex.Leave();

  std::sort(timed, timed + n, [](const TimedEvent& a, const TimedEvent& b) {
    return a.mEvent.mOffset != b.mEvent.mOffset ? a.mEvent.mOffset < b.mEvent.mOffset
                                                : a.mOrder < b.mOrder;
  });
  for (int i = 0; i < n; ++i) mBlockEvents.Get()[i] = timed[i].mEvent;
  return n;
}

ComponentResult IPluginAU::AddPropertyListener(AudioUnitPropertyID propID,
                                               AudioUnitPropertyListenerProc proc, void* userData) {
  if (!proc) return kParamErr;
  for (int i = 0; i < mListeners.GetSize(); ++i) {
    PropertyListener* pListener = mListeners.Get(i);
    if (pListener->mPropID == propID && pListener->mListenerProc == proc) return noErr;
  }
  PropertyListener* pListener = new PropertyListener{propID, proc, userData};
  if (!mListeners.Add(pListener)) {
    delete pListener;
    return kMemFullErr;
  }
  return noErr;
}

void IPluginAU::RemovePropertyListener(AudioUnitPropertyID propID,
                                       AudioUnitPropertyListenerProc proc, bool matchUserData,
                                       void* userData) {
  for (int i = 0; i < mListeners.GetSize(); ++i) {
    PropertyListener* pListener = mListeners.Get(i);
    if (pListener->mPropID == propID && pListener->mListenerProc == proc &&
        (!matchUserData || pListener->mProcArgs == userData)) {
      mListeners.Delete(i, true);
      return;
    }
  }
}

ComponentResult IPluginAU::AddRenderNotify(AURenderCallback proc, void* refCon) {
  if (!proc) return kParamErr;
  AURenderCallbackStruct* pNotifier = new AURenderCallbackStruct{proc, refCon};
  if (!mRenderNotifiers.Add(pNotifier)) {
    delete pNotifier;
    return kMemFullErr;
  }
  return noErr;
}

void IPluginAU::RemoveRenderNotify(AURenderCallback proc) {
  for (int i = 0; i < mRenderNotifiers.GetSize(); ++i) {
    if (mRenderNotifiers.Get(i)->inputProc == proc) {
      mRenderNotifiers.Delete(i, true);
      return;
    }
  }
}
