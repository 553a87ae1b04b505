#pragma once
// A reference-counted preset record for the host's factory-preset list. Its first two fields
// form an AUPreset, so the record itself can be handed to the host as one.

#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>

struct CFAUPreset {
  AUPreset auPreset;
  CFAllocatorRef allocator;
  CFIndex retainCount;
};
typedef CFAUPreset* CFAUPresetRef;

// Null when the allocator fails. The name (may be null) is copied.
CFAUPresetRef CFAUPresetCreate(CFAllocatorRef allocator, SInt32 presetNumber, CFStringRef name);
// Every retain also retains the name; every release releases it. Null-safe.
CFAUPresetRef CFAUPresetRetain(void* preset);
void CFAUPresetRelease(void* preset);

const void* CFAUPresetArrayRetainCallBack(CFAllocatorRef allocator, const void* preset);
void CFAUPresetArrayReleaseCallBack(CFAllocatorRef allocator, const void* preset);
// "AUPreset:\npreset number = N\npreset name = NAME"
CFStringRef CFAUPresetArrayCopyDescriptionCallBack(const void* preset);
Boolean CFAUPresetArrayEqualCallBack(const void* preset1, const void* preset2);
// Fills a callbacks record with the four above; does nothing for null.
void CFAUPresetArrayCallBacks_Init(CFArrayCallBacks* callBacks);

// Array callbacks for arrays of CFAUPreset records; filled in when the module loads.
extern const CFArrayCallBacks kCFAUPresetArrayCallBacks;
