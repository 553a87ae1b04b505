// Audio Unit event listeners. Registrations live in one process-wide list; a notification
// collects the matching deliveries under the list's lock and makes them after releasing it,
// so that listener procedures may call back into units (which take their own locks) or
// register and dispose listeners without dead-locking.

#include <AudioToolbox/AudioToolbox.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

struct AUListenerBase;

namespace {

struct Registration {
  AUListenerBase* listener;
  void* object;
  AudioUnitEvent event;
};

}  // namespace

struct AUListenerBase {
  AUEventListenerProc mEventProc = nullptr;
  AUParameterListenerProc mParameterProc = nullptr;
  void* mUserData = nullptr;
  std::atomic<bool> mDisposed{false};
  // Property-change registrations are forwarded from the unit's property listeners.
  std::vector<std::shared_ptr<Registration>> mRegistrations;
};

namespace {

std::mutex& ListMutex() {
  static std::mutex mutex;
  return mutex;
}

std::vector<std::shared_ptr<AUListenerBase>>& Listeners() {
  static auto* listeners = new std::vector<std::shared_ptr<AUListenerBase>>;
  return *listeners;
}

// Under the list lock: the shared owner of a listener handle, or null if it is not alive.
std::shared_ptr<AUListenerBase> Find(AUListenerBase* listener) {
  for (auto& l : Listeners())
    if (l.get() == listener) return l;
  return nullptr;
}

bool IsParameterEvent(AudioUnitEventType type) {
  return type == kAudioUnitEvent_ParameterValueChange ||
         type == kAudioUnitEvent_BeginParameterChangeGesture ||
         type == kAudioUnitEvent_EndParameterChangeGesture;
}

bool Matches(const AudioUnitEvent& wanted, const AudioUnitEvent& sent) {
  if (wanted.mEventType != sent.mEventType) return false;
  if (IsParameterEvent(sent.mEventType)) {
    const AudioUnitParameter& w = wanted.mArgument.mParameter;
    const AudioUnitParameter& s = sent.mArgument.mParameter;
    return w.mAudioUnit == s.mAudioUnit &&
           (w.mParameterID == kAUParameterListener_AnyParameter ||
            w.mParameterID == s.mParameterID) &&
           w.mScope == s.mScope && w.mElement == s.mElement;
  }
  const AudioUnitProperty& w = wanted.mArgument.mProperty;
  const AudioUnitProperty& s = sent.mArgument.mProperty;
  return w.mAudioUnit == s.mAudioUnit && w.mPropertyID == s.mPropertyID && w.mScope == s.mScope &&
         w.mElement == s.mElement;
}

bool SameRegistration(const Registration& r, void* object, const AudioUnitEvent& e) {
  return r.object == object && r.event.mEventType == e.mEventType &&
         memcmp(&r.event.mArgument, &e.mArgument, sizeof(e.mArgument)) == 0;
}

UInt64 HostTime() {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<UInt64>(now.tv_sec) * 1000000000ULL + static_cast<UInt64>(now.tv_nsec);
}

struct Delivery {
  std::shared_ptr<AUListenerBase> listener;
  void* object;
};

void Deliver(const std::vector<Delivery>& deliveries, const AudioUnitEvent& event) {
  if (deliveries.empty()) return;
  AudioUnitParameterValue value = 0;
  if (event.mEventType == kAudioUnitEvent_ParameterValueChange) {
    // The event carries no value; listeners get the value the unit now holds.
    const AudioUnitParameter& p = event.mArgument.mParameter;
    AudioUnitGetParameter(p.mAudioUnit, p.mParameterID, p.mScope, p.mElement, &value);
  }
  const UInt64 when = HostTime();
  for (const Delivery& d : deliveries) {
    if (d.listener->mDisposed.load()) continue;
    if (d.listener->mEventProc)
      d.listener->mEventProc(d.listener->mUserData, d.object, &event, when, value);
    else if (d.listener->mParameterProc)
      d.listener->mParameterProc(d.listener->mUserData, d.object, &event.mArgument.mParameter,
                                 value);
  }
}

// Collects the registrations that match, skipping the sender.
std::vector<Delivery> Collect(AUListenerBase* sender, void* senderObject,
                              const AudioUnitEvent& event) {
  std::vector<Delivery> deliveries;
  std::lock_guard<std::mutex> lock(ListMutex());
  for (auto& l : Listeners()) {
    for (auto& r : l->mRegistrations) {
      if (l.get() == sender && (!senderObject || r->object == senderObject)) continue;
      // Parameter listeners hear value changes only.
      if (l->mParameterProc && event.mEventType != kAudioUnitEvent_ParameterValueChange) continue;
      if (Matches(r->event, event)) deliveries.push_back({l, r->object});
    }
  }
  return deliveries;
}

// Property-change registrations hear the unit's own property notifications.
void PropertyTrampoline(void* inRefCon, AudioUnit inUnit, AudioUnitPropertyID inID,
                        AudioUnitScope inScope, AudioUnitElement inElement) {
  auto* r = static_cast<Registration*>(inRefCon);
  AudioUnitEvent event;
  memset(&event, 0, sizeof(event));
  event.mEventType = kAudioUnitEvent_PropertyChange;
  event.mArgument.mProperty = {inUnit, inID, inScope, inElement};
  std::vector<Delivery> deliveries;
  {
    std::lock_guard<std::mutex> lock(ListMutex());
    std::shared_ptr<AUListenerBase> l = Find(r->listener);
    if (l && Matches(r->event, event)) deliveries.push_back({l, r->object});
  }
  Deliver(deliveries, event);
}

OSStatus Create(AUEventListenerProc eventProc, AUParameterListenerProc parameterProc,
                void* userData, AUListenerBase** outListener) {
  if (!outListener || (!eventProc && !parameterProc)) return paramErr;
  auto l = std::make_shared<AUListenerBase>();
  l->mEventProc = eventProc;
  l->mParameterProc = parameterProc;
  l->mUserData = userData;
  std::lock_guard<std::mutex> lock(ListMutex());
  Listeners().push_back(l);
  *outListener = l.get();
  return noErr;
}

OSStatus AddRegistration(AUListenerBase* listener, void* object, const AudioUnitEvent& event) {
  std::shared_ptr<Registration> r;
  {
    std::lock_guard<std::mutex> lock(ListMutex());
    std::shared_ptr<AUListenerBase> l = Find(listener);
    if (!l) return paramErr;
    r = std::make_shared<Registration>(Registration{listener, object, event});
    l->mRegistrations.push_back(r);
  }
  if (event.mEventType == kAudioUnitEvent_PropertyChange) {
    const AudioUnitProperty& p = event.mArgument.mProperty;
    return AudioUnitAddPropertyListener(p.mAudioUnit, p.mPropertyID, PropertyTrampoline, r.get());
  }
  return noErr;
}

OSStatus RemoveRegistration(AUListenerBase* listener, void* object, const AudioUnitEvent& event) {
  std::shared_ptr<Registration> removed;
  {
    std::lock_guard<std::mutex> lock(ListMutex());
    std::shared_ptr<AUListenerBase> l = Find(listener);
    if (!l) return paramErr;
    auto& regs = l->mRegistrations;
    auto it = std::find_if(regs.begin(), regs.end(),
                           [&](const auto& r) { return SameRegistration(*r, object, event); });
    if (it == regs.end()) return noErr;
    removed = *it;
    regs.erase(it);
  }
  if (event.mEventType == kAudioUnitEvent_PropertyChange) {
    const AudioUnitProperty& p = event.mArgument.mProperty;
    AudioUnitRemovePropertyListenerWithUserData(p.mAudioUnit, p.mPropertyID, PropertyTrampoline,
                                                removed.get());
  }
  return noErr;
}

AudioUnitEvent ParameterEvent(const AudioUnitParameter& p) {
  AudioUnitEvent event;
  memset(&event, 0, sizeof(event));
  event.mEventType = kAudioUnitEvent_ParameterValueChange;
  event.mArgument.mParameter = p;
  return event;
}

}  // namespace

OSStatus AUEventListenerCreate(AUEventListenerProc inProc, void* inUserData, CFRunLoopRef,
                               CFStringRef, Float32, Float32, AUEventListenerRef* outListener) {
  return Create(inProc, nullptr, inUserData, outListener);
}

OSStatus AUEventListenerAddEventType(AUEventListenerRef inListener, void* inObject,
                                     const AudioUnitEvent* inEvent) {
  if (!inEvent) return paramErr;
  return AddRegistration(inListener, inObject, *inEvent);
}

OSStatus AUEventListenerRemoveEventType(AUEventListenerRef inListener, void* inObject,
                                        const AudioUnitEvent* inEvent) {
  if (!inEvent) return paramErr;
  return RemoveRegistration(inListener, inObject, *inEvent);
}

OSStatus AUListenerCreate(AUParameterListenerProc inProc, void* inUserData, CFRunLoopRef,
                          CFStringRef, Float32, AUParameterListenerRef* outListener) {
  return Create(nullptr, inProc, inUserData, outListener);
}

OSStatus AUListenerAddParameter(AUParameterListenerRef inListener, void* inObject,
                                const AudioUnitParameter* inParameter) {
  if (!inParameter) return paramErr;
  return AddRegistration(inListener, inObject, ParameterEvent(*inParameter));
}

OSStatus AUListenerRemoveParameter(AUParameterListenerRef inListener, void* inObject,
                                   const AudioUnitParameter* inParameter) {
  if (!inParameter) return paramErr;
  return RemoveRegistration(inListener, inObject, ParameterEvent(*inParameter));
}

OSStatus AUListenerDispose(AUParameterListenerRef inListener) {
  std::shared_ptr<AUListenerBase> l;
  {
    std::lock_guard<std::mutex> lock(ListMutex());
    l = Find(inListener);
    if (!l) return paramErr;
    auto& all = Listeners();
    all.erase(std::find(all.begin(), all.end(), l));
  }
  // Deliveries already collected on other threads see the flag and skip the listener.
  l->mDisposed.store(true);
  for (auto& r : l->mRegistrations) {
    if (r->event.mEventType != kAudioUnitEvent_PropertyChange) continue;
    const AudioUnitProperty& p = r->event.mArgument.mProperty;
    AudioUnitRemovePropertyListenerWithUserData(p.mAudioUnit, p.mPropertyID, PropertyTrampoline,
                                                r.get());
  }
  return noErr;
}

OSStatus AUEventListenerNotify(AUEventListenerRef inSendingListener, void* inSendingObject,
                               const AudioUnitEvent* inEvent) {
  if (!inEvent) return paramErr;
  Deliver(Collect(inSendingListener, inSendingObject, *inEvent), *inEvent);
  return noErr;
}

OSStatus AUParameterListenerNotify(AUParameterListenerRef inSendingListener, void* inSendingObject,
                                   const AudioUnitParameter* inParameter) {
  if (!inParameter) return paramErr;
  AudioUnitEvent event = ParameterEvent(*inParameter);
  Deliver(Collect(inSendingListener, inSendingObject, event), event);
  return noErr;
}

OSStatus AUParameterSet(AUParameterListenerRef inSendingListener, void* inSendingObject,
                        const AudioUnitParameter* inParameter, AudioUnitParameterValue inValue,
                        UInt32 inBufferOffsetInFrames) {
  if (!inParameter) return paramErr;
  OSStatus result =
      AudioUnitSetParameter(inParameter->mAudioUnit, inParameter->mParameterID, inParameter->mScope,
                            inParameter->mElement, inValue, inBufferOffsetInFrames);
  if (result != noErr) return result;
  return AUParameterListenerNotify(inSendingListener, inSendingObject, inParameter);
}
