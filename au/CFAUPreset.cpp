// Preset records for the host's factory-preset list.

#include "au/CFAUPreset.h"

namespace {

CFArrayCallBacks MakePresetArrayCallBacks() {
  CFArrayCallBacks callBacks;
  CFAUPresetArrayCallBacks_Init(&callBacks);
  return callBacks;
}

}  // namespace

const CFArrayCallBacks kCFAUPresetArrayCallBacks = MakePresetArrayCallBacks();

CFAUPresetRef CFAUPresetCreate(CFAllocatorRef allocator, SInt32 presetNumber, CFStringRef name) {
  CFAUPresetRef preset =
      static_cast<CFAUPresetRef>(CFAllocatorAllocate(allocator, sizeof(CFAUPreset), 0));
  if (!preset) return nullptr;
  preset->auPreset.presetNumber = presetNumber;
  preset->auPreset.presetName = name ? CFStringCreateCopy(allocator, name) : nullptr;
  preset->allocator = allocator;
  preset->retainCount = 1;
  return preset;
}

CFAUPresetRef CFAUPresetRetain(void* p) {
  CFAUPresetRef preset = static_cast<CFAUPresetRef>(p);
  if (!preset) return nullptr;
  if (preset->auPreset.presetName) CFRetain(preset->auPreset.presetName);
  ++preset->retainCount;
  return preset;
}

void CFAUPresetRelease(void* p) {
  CFAUPresetRef preset = static_cast<CFAUPresetRef>(p);
  if (!preset || preset->retainCount <= 0) return;
  if (preset->auPreset.presetName) CFRelease(preset->auPreset.presetName);
  if (--preset->retainCount == 0) {
    preset->auPreset.presetName = nullptr;
    preset->auPreset.presetNumber = 0;
    CFAllocatorDeallocate(preset->allocator, preset);
  }
}

const void* CFAUPresetArrayRetainCallBack(CFAllocatorRef, const void* preset) {
  return CFAUPresetRetain(const_cast<void*>(preset));
}

void CFAUPresetArrayReleaseCallBack(CFAllocatorRef, const void* preset) {
  CFAUPresetRelease(const_cast<void*>(preset));
}

CFStringRef CFAUPresetArrayCopyDescriptionCallBack(const void* p) {
  const CFAUPreset* preset = static_cast<const CFAUPreset*>(p);
  if (!preset) return nullptr;
  return CFStringCreateWithFormat(kCFAllocatorDefault, nullptr,
                                  CFSTR("AUPreset:\npreset number = %d\npreset name = %@"),
                                  (int)preset->auPreset.presetNumber, preset->auPreset.presetName);
}

Boolean CFAUPresetArrayEqualCallBack(const void* p1, const void* p2) {
  const CFAUPreset* a = static_cast<const CFAUPreset*>(p1);
  const CFAUPreset* b = static_cast<const CFAUPreset*>(p2);
  if (a == b) return true;
  if (!a || !b || a->auPreset.presetNumber != b->auPreset.presetNumber) return false;
  CFStringRef nameA = a->auPreset.presetName;
  CFStringRef nameB = b->auPreset.presetName;
  // Two unnamed records are equal; a named and an unnamed one are not.
  if (!nameA || !nameB) return nameA == nameB;
  return CFStringCompare(nameA, nameB, 0) == kCFCompareEqualTo;
}

void CFAUPresetArrayCallBacks_Init(CFArrayCallBacks* callBacks) {
  if (!callBacks) return;
  callBacks->version = 0;
  callBacks->retain = CFAUPresetArrayRetainCallBack;
  callBacks->release = CFAUPresetArrayReleaseCallBack;
  callBacks->copyDescription = CFAUPresetArrayCopyDescriptionCallBack;
  callBacks->equal = CFAUPresetArrayEqualCallBack;
}
