// Instance life cycle, the component entry's selector dispatch, parameters and listener
// registration.

#include "au/IPluginAU.h"

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

  UTL_MutexLock lock(&_this->mMutex);
  switch (select) {
    case kComponentCanDoSelect:
      return CanDo(Arg<SInt16>(params, 0)) ? 1 : 0;
    case kComponentVersionSelect:
      return _this->GetEffectVersion(false);
    case kAudioUnitInitializeSelect:
      return _this->Initialize();
    case kAudioUnitUninitializeSelect:
      _this->Uninitialize();
      return noErr;
    case kAudioUnitGetPropertyInfoSelect: {
      UInt32 localSize = 0;
      Boolean localWriteable = false;
      UInt32* pDataSize = Arg<UInt32*>(params, 3);
      Boolean* pWriteable = Arg<Boolean*>(params, 4);
      if (!pDataSize) pDataSize = &localSize;
      if (!pWriteable) pWriteable = &localWriteable;
      *pWriteable = false;
      return _this->GetProperty(Arg<AudioUnitPropertyID>(params, 0), Arg<AudioUnitScope>(params, 1),
                                Arg<AudioUnitElement>(params, 2), pDataSize, pWriteable, nullptr);
    }
    case kAudioUnitGetPropertySelect: {
      void* pData = Arg<void*>(params, 3);
      UInt32* pDataSize = Arg<UInt32*>(params, 4);
      // Without a size a host buffer cannot be checked; only a size query is served then.
      UInt32 localSize = 0;
      if (!pDataSize) {
        if (pData) return kParamErr;
        pDataSize = &localSize;
      }
      Boolean writeable = false;
      return _this->GetProperty(Arg<AudioUnitPropertyID>(params, 0), Arg<AudioUnitScope>(params, 1),
                                Arg<AudioUnitElement>(params, 2), pDataSize, &writeable, pData);
    }
    case kAudioUnitSetPropertySelect: {
      UInt32 dataSize = Arg<UInt32>(params, 4);
      return _this->SetProperty(Arg<AudioUnitPropertyID>(params, 0), Arg<AudioUnitScope>(params, 1),
                                Arg<AudioUnitElement>(params, 2), &dataSize,
                                Arg<const void*>(params, 3));
    }
    case kAudioUnitGetParameterSelect:
      return GetParamProc(_this, Arg<AudioUnitParameterID>(params, 0),
                          Arg<AudioUnitScope>(params, 1), Arg<AudioUnitElement>(params, 2),
                          Arg<AudioUnitParameterValue*>(params, 3));
    case kAudioUnitSetParameterSelect: {
      return SetParamProc(_this, Arg<AudioUnitParameterID>(params, 0),
                          Arg<AudioUnitScope>(params, 1), Arg<AudioUnitElement>(params, 2),
                          Arg<AudioUnitParameterValue>(params, 3), Arg<UInt32>(params, 4));
    }
    case kAudioUnitResetSelect:
      // A host that relocates may render the same sample time again; that is new input.
      _this->mLastPullSampleTime = -1.0;
      _this->Reset();
      return noErr;
    case kAudioUnitAddPropertyListenerSelect:
      return _this->AddPropertyListener(Arg<AudioUnitPropertyID>(params, 0),
                                        Arg<AudioUnitPropertyListenerProc>(params, 1),
                                        Arg<void*>(params, 2));
    case kAudioUnitRemovePropertyListenerSelect:
      _this->RemovePropertyListener(Arg<AudioUnitPropertyID>(params, 0),
                                    Arg<AudioUnitPropertyListenerProc>(params, 1), false, nullptr);
      return noErr;
    case kAudioUnitRemovePropertyListenerWithUserDataSelect:
      _this->RemovePropertyListener(Arg<AudioUnitPropertyID>(params, 0),
                                    Arg<AudioUnitPropertyListenerProc>(params, 1), true,
                                    Arg<void*>(params, 2));
      return noErr;
    case kAudioUnitRenderSelect:
      return RenderProc(_this, nullptr, Arg<const AudioTimeStamp*>(params, 1),
                        Arg<UInt32>(params, 2), Arg<UInt32>(params, 3),
                        Arg<AudioBufferList*>(params, 4));
    case kAudioUnitAddRenderNotifySelect:
      return _this->AddRenderNotify(Arg<AURenderCallback>(params, 0), Arg<void*>(params, 1));
    case kAudioUnitRemoveRenderNotifySelect:
      _this->RemoveRenderNotify(Arg<AURenderCallback>(params, 0));
      return noErr;
    case kAudioUnitScheduleParametersSelect:
      return _this->ScheduleParameters(Arg<const AudioUnitParameterEvent*>(params, 0),
                                       Arg<UInt32>(params, 1));
    case kMusicDeviceMIDIEventSelect: {
      IMidiMsg msg;
      msg.mSampleOffset = (int)Arg<UInt32>(params, 3);
      msg.mStatusByte = (unsigned char)Arg<UInt32>(params, 0);
      msg.mFirstData = (unsigned char)Arg<UInt32>(params, 1);
      msg.mSecondData = (unsigned char)Arg<UInt32>(params, 2);
      _this->ProcessMidiMsg(&msg);
      return noErr;
    }
    case kMusicDeviceSysExSelect: {
      ISysEx sysEx;
      sysEx.mSampleOffset = 0;
      sysEx.mBytes = Arg<const UInt8*>(params, 0);
      sysEx.mByteCount = (int)Arg<UInt32>(params, 1);
      _this->ProcessSysEx(&sysEx);
      return noErr;
    }
    case kMusicDevicePrepareInstrumentSelect:
    case kMusicDeviceReleaseInstrumentSelect:
    case kMusicDeviceStopNoteSelect:
      return noErr;
    case kMusicDeviceStartNoteSelect: {
      NoteInstanceID* pNoteID = Arg<NoteInstanceID*>(params, 2);
      const MusicDeviceNoteParams* pNote = Arg<const MusicDeviceNoteParams*>(params, 4);
      if (pNoteID && pNote) *pNoteID = (NoteInstanceID)(int)pNote->mPitch;
      return noErr;
    }
    default:
      return badComponentSelector;
  }
}

ComponentResult IPluginAU::Initialize() {
  if (!CheckLegalIO()) return badComponentSelector;
  mInitialized = true;
  mLastPullSampleTime = -1.0;
  OnParamReset();
  OnActivate(true);
  return noErr;
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
  for (UInt32 i = 0; i < nEvents; ++i) {
    const AudioUnitParameterEvent& event = pEvents[i];
    if (event.eventType != kParameterEvent_Immediate) continue;
    ComponentResult r = SetParamProc(this, event.parameter, event.scope, event.element,
                                     event.eventValues.immediate.value, 0);
    if (r != noErr) return r;
  }
  return noErr;
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
