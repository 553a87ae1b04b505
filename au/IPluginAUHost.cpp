// Traffic towards the host: gesture and value events, property-change notifications, and the
// host's answers about itself, its tempo and its transport.

#include "au/IPluginAU.h"

void IPluginAU::SendAUEvent(AudioUnitEventType type, ComponentInstance instance, int paramIdx) {
  AudioUnitEvent event;
  event.mEventType = type;
  event.mArgument.mParameter.mAudioUnit = instance;
  event.mArgument.mParameter.mParameterID = (AudioUnitParameterID)paramIdx;
  event.mArgument.mParameter.mScope = kAudioUnitScope_Global;
  event.mArgument.mParameter.mElement = 0;
  AUEventListenerNotify(nullptr, nullptr, &event);
}

void IPluginAU::BeginInformHostOfParamChange(int idx) {
  Trace("BeginInformHostOfParamChange", __LINE__, "%d", idx);
  SendAUEvent(kAudioUnitEvent_BeginParameterChangeGesture, mComponentInstance, idx);
}

void IPluginAU::InformHostOfParamChange(int idx, double normalizedValue) {
  Trace("InformHostOfParamChange", __LINE__, "%d:%f", idx, normalizedValue);
  SendAUEvent(kAudioUnitEvent_ParameterValueChange, mComponentInstance, idx);
}

void IPluginAU::EndInformHostOfParamChange(int idx) {
  Trace("EndInformHostOfParamChange", __LINE__, "%d", idx);
  SendAUEvent(kAudioUnitEvent_EndParameterChangeGesture, mComponentInstance, idx);
}

void IPluginAU::InformListeners(AudioUnitPropertyID propID, AudioUnitScope scope) {
  // A listener may add or remove listeners while it runs; the list is re-read every step
  // and the record copied before the call.
  for (int i = 0; i < mListeners.GetSize(); ++i) {
    const PropertyListener listener = *mListeners.Get(i);
    if (listener.mPropID == propID) {
      listener.mListenerProc(listener.mProcArgs, mComponentInstance, propID, scope, 0);
    }
  }
}

void IPluginAU::InformHostOfProgramChange() {
  InformListeners(kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global);
}

void IPluginAU::SetLatency(int samples) {
  InformListeners(kAudioUnitProperty_Latency, kAudioUnitScope_Global);
  IPluginBase::SetLatency(samples);
}

void IPluginAU::SetTailSize(unsigned samples) {
  IPluginBase::SetTailSize(samples);
  InformListeners(kAudioUnitProperty_TailTime, kAudioUnitScope_Global);
}

int IPluginAU::GetSamplePos() {
  if (mHostCallbacks.transportStateProc) {
    Boolean playing = false, changed = false, cycling = false;
    Float64 samplePos = 0.0, cycleStart = 0.0, cycleEnd = 0.0;
    if (mHostCallbacks.transportStateProc(mHostCallbacks.hostUserData, &playing, &changed,
                                          &samplePos, &cycling, &cycleStart, &cycleEnd) == noErr)
      return (int)(samplePos + 0.5);
  }
  return 0;
}

double IPluginAU::GetTempo() {
  if (mHostCallbacks.beatAndTempoProc) {
    Float64 beat = 0.0, tempo = 0.0;
    if (mHostCallbacks.beatAndTempoProc(mHostCallbacks.hostUserData, &beat, &tempo) == noErr &&
        tempo > 0.0)
      mLastTempo = tempo;
  }
  return mLastTempo;
}

void IPluginAU::GetTimeSig(int* pNum, int* pDenom) {
  if (!mHostCallbacks.musicalTimeLocationProc) return;
  UInt32 deltaToNextBeat = 0, denominator = 0;
  Float32 numerator = 0.0f;
  Float64 downBeat = 0.0;
  // A host that cannot answer leaves the caller's defaults rather than a 0/0 signature.
  if (mHostCallbacks.musicalTimeLocationProc(mHostCallbacks.hostUserData, &deltaToNextBeat,
                                             &numerator, &denominator, &downBeat) != noErr)
    return;
  if (pNum) *pNum = (int)numerator;
  if (pDenom) *pDenom = (int)denominator;
}

void IPluginAU::GetTime(ITimeInfo* pTimeInfo) {
  if (!pTimeInfo) return;
  if (mHostCallbacks.beatAndTempoProc) {
    Float64 beat = 0.0, tempo = 0.0;
    if (mHostCallbacks.beatAndTempoProc(mHostCallbacks.hostUserData, &beat, &tempo) != noErr)
      beat = tempo = 0.0;
    if (tempo > 0.0) pTimeInfo->mBeatsPerMinute = tempo;
    if (beat > 0.0) pTimeInfo->mQuarterNotePosition = beat;
  }
  if (mHostCallbacks.transportStateProc) {
    Boolean playing = false, changed = false, cycling = false;
    Float64 samplePos = 0.0, cycleStart = 0.0, cycleEnd = 0.0;
    if (mHostCallbacks.transportStateProc(mHostCallbacks.hostUserData, &playing, &changed,
                                          &samplePos, &cycling, &cycleStart, &cycleEnd) == noErr) {
      if (samplePos > 0.0) pTimeInfo->mSamplePosition = samplePos;
      if (cycleStart > 0.0) pTimeInfo->mLoopStart = cycleStart;
      if (cycleEnd > 0.0) pTimeInfo->mLoopEnd = cycleEnd;
      pTimeInfo->mPlaying = playing;
      pTimeInfo->mLooping = cycling;
    }
  }
  if (mHostCallbacks.musicalTimeLocationProc) {
    UInt32 deltaToNextBeat = 0, denominator = 0;
    Float32 numerator = 0.0f;
    Float64 downBeat = 0.0;
    if (mHostCallbacks.musicalTimeLocationProc(mHostCallbacks.hostUserData, &deltaToNextBeat,
                                               &numerator, &denominator, &downBeat) == noErr) {
      pTimeInfo->mTimeSigNumerator = (int)numerator;
      pTimeInfo->mTimeSigDenominator = (int)denominator;
      if (downBeat > 0.0) pTimeInfo->mLastBarStart = downBeat;
    }
  }
}

bool IPluginAU::IsRenderingOffline() { return mRenderingOffline; }

EHost IPluginAU::GetHost() {
  if (mHost != kHostUninit) return mHost;
  CFBundleRef mainBundle = CFBundleGetMainBundle();
  CFStringRef bundleID = mainBundle ? CFBundleGetIdentifier(mainBundle) : nullptr;
  if (bundleID) {
    char id[kMaxHostNameLength + 1];
    if (CFStringGetCString(bundleID, id, sizeof(id), kCFStringEncodingUTF8)) SetHost(id, 0);
  }
  if (mHost == kHostUninit) SetHost("", 0);
  return mHost;
}

void IPluginAU::HostSpecificInit() {
  GetHost();
  OnHostIdentified();
}

void IPluginAU::ResizeGraphics(int /*w*/, int /*h*/) {
  if (GetGUI()) OnWindowResize();
}

bool IPluginAU::SendMidiMsg(IMidiMsg* /*pMsg*/) { return false; }
