#pragma once
// Audio Unit events: parameter changes, gestures and property changes, delivered to the event
// listeners a host creates. On this platform delivery is synchronous, on the notifying thread;
// the run loop, interval and granularity given at creation are accepted and not used.

#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>

CF_EXTERN_C_BEGIN

typedef UInt32 AudioUnitEventType;
enum {
  kAudioUnitEvent_ParameterValueChange = 0,
  kAudioUnitEvent_BeginParameterChangeGesture = 1,
  kAudioUnitEvent_EndParameterChangeGesture = 2,
  kAudioUnitEvent_PropertyChange = 3
};

// Matches every parameter of a unit when used in a registration.
enum { kAUParameterListener_AnyParameter = 0xFFFFFFFF };

struct AudioUnitEvent {
  AudioUnitEventType mEventType;
  union {
    AudioUnitParameter mParameter;
    AudioUnitProperty mProperty;
  } mArgument;
};
typedef struct AudioUnitEvent AudioUnitEvent;

typedef struct AUListenerBase* AUParameterListenerRef;
typedef AUParameterListenerRef AUEventListenerRef;

// inParameterValue is the parameter's current value for value changes (read back from the
// unit), 0 for other events.
typedef void (*AUEventListenerProc)(void* inCallbackRefCon, void* inObject,
                                    const AudioUnitEvent* inEvent, UInt64 inEventHostTime,
                                    AudioUnitParameterValue inParameterValue);
typedef void (*AUParameterListenerProc)(void* inCallbackRefCon, void* inObject,
                                        const AudioUnitParameter* inParameter,
                                        AudioUnitParameterValue inValue);

CF_EXPORT OSStatus AUEventListenerCreate(AUEventListenerProc inProc, void* inUserData,
                                         CFRunLoopRef inRunLoop, CFStringRef inRunLoopMode,
                                         Float32 inNotificationInterval,
                                         Float32 inValueChangeGranularity,
                                         AUEventListenerRef* outListener);
// Registers interest in one event: its type, unit, parameter (or property), scope and element.
// inObject is handed back to the listener procedure.
CF_EXPORT OSStatus AUEventListenerAddEventType(AUEventListenerRef inListener, void* inObject,
                                               const AudioUnitEvent* inEvent);
CF_EXPORT OSStatus AUEventListenerRemoveEventType(AUEventListenerRef inListener, void* inObject,
                                                  const AudioUnitEvent* inEvent);
CF_EXPORT OSStatus AUListenerCreate(AUParameterListenerProc inProc, void* inUserData,
                                    CFRunLoopRef inRunLoop, CFStringRef inRunLoopMode,
                                    Float32 inNotificationInterval,
                                    AUParameterListenerRef* outListener);
CF_EXPORT OSStatus AUListenerAddParameter(AUParameterListenerRef inListener, void* inObject,
                                          const AudioUnitParameter* inParameter);
CF_EXPORT OSStatus AUListenerRemoveParameter(AUParameterListenerRef inListener, void* inObject,
                                             const AudioUnitParameter* inParameter);
CF_EXPORT OSStatus AUListenerDispose(AUParameterListenerRef inListener);

// Delivers the event to every matching listener except the sending one.
CF_EXPORT OSStatus AUEventListenerNotify(AUEventListenerRef inSendingListener,
                                         void* inSendingObject, const AudioUnitEvent* inEvent);
CF_EXPORT OSStatus AUParameterListenerNotify(AUParameterListenerRef inSendingListener,
                                             void* inSendingObject,
                                             const AudioUnitParameter* inParameter);
// Sets the parameter on the unit, then notifies the listeners of the value change.
CF_EXPORT OSStatus AUParameterSet(AUParameterListenerRef inSendingListener, void* inSendingObject,
                                  const AudioUnitParameter* inParameter,
                                  AudioUnitParameterValue inValue, UInt32 inBufferOffsetInFrames);

CF_EXTERN_C_END
