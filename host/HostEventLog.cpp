#include "host/HostEventLog.h"

HostEventLog::HostEventLog(AudioUnit unit) {
  if (AUEventListenerCreate(Heard, this, CFRunLoopGetCurrent(), kCFRunLoopDefaultMode, 0, 0,
                            &mListener) != noErr)
    return;
  for (AudioUnitEventType type :
       {kAudioUnitEvent_BeginParameterChangeGesture, kAudioUnitEvent_ParameterValueChange,
        kAudioUnitEvent_EndParameterChangeGesture}) {
    AudioUnitEvent e = {};
    e.mEventType = type;
    e.mArgument.mParameter = {unit, kAUParameterListener_AnyParameter, kAudioUnitScope_Global, 0};
    AUEventListenerAddEventType(mListener, this, &e);
  }
}

HostEventLog::~HostEventLog() {
  if (mListener) AUListenerDispose(mListener);
}

void HostEventLog::Heard(void* self, void*, const AudioUnitEvent* event, UInt64,
                         AudioUnitParameterValue value) {
  auto* log = static_cast<HostEventLog*>(self);
  const AudioUnitParameter& p = event->mArgument.mParameter;
  std::lock_guard<std::mutex> lock(log->mMutex);
  log->mEvents.push_back({event->mEventType, p.mParameterID, p.mScope, p.mElement, value});
}

std::vector<HostEventLog::Event> HostEventLog::Events() const {
  std::lock_guard<std::mutex> lock(mMutex);
  return mEvents;
}

void HostEventLog::Clear() {
  std::lock_guard<std::mutex> lock(mMutex);
  mEvents.clear();
}
