// Saved state: the class-information dictionary hosts keep in their projects and preset files.

#include <cstring>

#include "au/IPluginAU.h"

namespace {

void AddNumber(CFMutableDictionaryRef dict, CFStringRef key, SInt32 value) {
  CFNumberRef number = CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt32Type, &value);
  if (!number) return;
  CFDictionarySetValue(dict, key, number);
  CFRelease(number);
}

// The value under key when it has the given type, else null.
CFTypeRef GetTyped(CFDictionaryRef dict, CFStringRef key, CFTypeID type) {
  CFTypeRef value = CFDictionaryGetValue(dict, key);
  return value && CFGetTypeID(value) == type ? value : nullptr;
}

bool GetNumber(CFDictionaryRef dict, CFStringRef key, SInt32* pValue) {
  CFNumberRef number = (CFNumberRef)GetTyped(dict, key, CFNumberGetTypeID());
  return number && CFNumberGetValue(number, kCFNumberSInt32Type, pValue);
}

}  // namespace

ComponentResult IPluginAU::GetState(CFPropertyListRef* ppPropList) {
  ComponentDescription desc;
  OSErr err = GetComponentInfo((Component)mComponentInstance, &desc, nullptr, nullptr, nullptr);
  if (err != noErr) return err;

  CFMutableDictionaryRef dict = CFDictionaryCreateMutable(
      kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  if (!dict) return coreFoundationUnknownErr;
  AddNumber(dict, CFSTR("version"), GetEffectVersion(false));
  AddNumber(dict, CFSTR("type"), (SInt32)desc.componentType);
  AddNumber(dict, CFSTR("subtype"), (SInt32)desc.componentSubType);
  AddNumber(dict, CFSTR("manufacturer"), (SInt32)desc.componentManufacturer);
  CFStringRef name = CFStringCreateWithCString(
      kCFAllocatorDefault, GetPresetName(GetCurrentPresetIdx()), kCFStringEncodingUTF8);
  if (name) {
    CFDictionarySetValue(dict, CFSTR("name"), name);
    CFRelease(name);
  }

  ByteChunk chunk;
  if (SaveStateChunk(&chunk)) {
    CFDataRef data = CFDataCreate(kCFAllocatorDefault, chunk.GetBytes(), chunk.Size());
    if (data) {
      CFDictionarySetValue(dict, CFSTR("data"), data);
      CFRelease(data);
    }
  }
  *ppPropList = dict;
  return noErr;
}

ComponentResult IPluginAU::SetState(CFPropertyListRef pPropList) {
  ComponentDescription desc;
  OSErr err = GetComponentInfo((Component)mComponentInstance, &desc, nullptr, nullptr, nullptr);
  if (err != noErr) return err;

  // Whatever the host hands over is checked for shape before it is read.
  if (!pPropList || CFGetTypeID(pPropList) != CFDictionaryGetTypeID())
    return kAudioUnitErr_InvalidPropertyValue;
  CFDictionaryRef dict = (CFDictionaryRef)pPropList;

  SInt32 version, type, subtype, manufacturer;
  if (!GetNumber(dict, CFSTR("version"), &version) || !GetNumber(dict, CFSTR("type"), &type) ||
      !GetNumber(dict, CFSTR("subtype"), &subtype) ||
      !GetNumber(dict, CFSTR("manufacturer"), &manufacturer))
    return kAudioUnitErr_InvalidPropertyValue;

  CFStringRef cfName = (CFStringRef)GetTyped(dict, CFSTR("name"), CFStringGetTypeID());
  if (!cfName) return kAudioUnitErr_InvalidPropertyValue;
  // The whole name is kept so that a long one can only match a preset of exactly that name.
  const CFIndex maxBytes =
      CFStringGetMaximumSizeForEncoding(CFStringGetLength(cfName), kCFStringEncodingUTF8) + 1;
  UTL_TypedBuf<char> name(128);
  if (maxBytes > 0x7fffffff || !name.Resize((int)maxBytes) ||
      !CFStringGetCString(cfName, name.Get(), name.GetSize(), kCFStringEncodingUTF8))
    return kAudioUnitErr_InvalidPropertyValue;

  if ((OSType)type != desc.componentType || (OSType)subtype != desc.componentSubType ||
      (OSType)manufacturer != desc.componentManufacturer)
    return kAudioUnitErr_InvalidPropertyValue;

  // A dictionary without "data" is a bare reference to a preset: it selects it and still
  // reports the missing state.
  if (!CFDictionaryGetValue(dict, CFSTR("data"))) {
    RestorePreset(name.Get());
    return kAudioUnitErr_InvalidPropertyValue;
  }
  // State that is present but unusable is refused before anything changes.
  CFDataRef data = (CFDataRef)GetTyped(dict, CFSTR("data"), CFDataGetTypeID());
  if (!data) return kAudioUnitErr_InvalidPropertyValue;
  const CFIndex length = CFDataGetLength(data);
  if (length > 0x7fffffff) return kAudioUnitErr_InvalidPropertyValue;

  ByteChunk chunk;
  if (length > 0) {
    if (chunk.Resize((int)length) != (int)length) return kAudioUnitErr_InvalidPropertyValue;
    std::memcpy(chunk.GetBytes(), CFDataGetBytePtr(data), (size_t)length);
  }
  // A refused chunk leaves neither the named preset's values nor its selection behind, so the
  // current state and preset are kept to fall back on. A chunk of another version of the
  // plug-in restores what it holds (LoadStateChunk).
  ByteChunk previous;
  const bool havePrevious = SaveStateChunk(&previous);
  const int previousPreset = mCurrentPresetIdx;
  RestorePreset(name.Get());
  if (!LoadStateChunk(&chunk)) {
    if (havePrevious) LoadStateChunk(&previous);
    mCurrentPresetIdx = previousPreset;
    return kAudioUnitErr_InvalidPropertyValue;
  }
  return noErr;
}
