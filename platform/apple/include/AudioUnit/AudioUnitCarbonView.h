#pragma once
// Carbon view components ('auvw'): the create selector and the window handles it carries.
// Windows and controls are opaque here; nothing on this platform creates them.

#include <AudioUnit/AUComponent.h>

CF_EXTERN_C_BEGIN

typedef ComponentInstance AudioUnitCarbonView;
typedef struct OpaqueWindowPtr* WindowRef;
typedef struct OpaqueControlRef* ControlRef;

struct Float32Point {
  Float32 x;
  Float32 y;
};
typedef struct Float32Point Float32Point;

enum {
  kAudioUnitCarbonViewRange = 0x0300,
  kAudioUnitCarbonViewCreateSelect = 0x0301,
  kAudioUnitCarbonViewSetEventListenerSelect = 0x0302
};

CF_EXPORT OSStatus AudioUnitCarbonViewCreate(AudioUnitCarbonView inView, AudioUnit inAudioUnit,
                                             WindowRef inWindow, ControlRef inParentControl,
                                             const Float32Point* inLocation,
                                             const Float32Point* inSize, ControlRef* outControl);

CF_EXTERN_C_END
