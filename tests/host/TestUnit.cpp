// A tiny gain unit built as a component bundle for the host library's tests: one stereo input
// bus and one stereo output bus, a "Gain" parameter (linear, 0..2) and a "Steps" parameter,
// input from a render callback or an upstream unit, state as a ClassInfo dictionary.

#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>

#include <algorithm>
#include <cstring>

namespace {

struct TestUnit {
  ComponentInstance self = nullptr;
  float gain = 1.0f;
  float steps = 0.0f;
  bool initialized = false;
  UInt32 maxFrames = 1024;
  AURenderCallbackStruct input = {nullptr, nullptr};
  AudioUnit upstream = nullptr;
  UInt32 upstreamBus = 0;
  HostCallbackInfo host = {};
  int renders = 0;
};

template <typename T>
T Arg(const ComponentParameters* p, int i) {
  T value;
  memcpy(&value, &p->params[i + 1], sizeof(T));
  return value;
}

OSStatus Render(void* storage, AudioUnitRenderActionFlags*, const AudioTimeStamp* ts, UInt32 bus,
                UInt32 frames, AudioBufferList* io) {
  auto* u = static_cast<TestUnit*>(storage);
  if (bus != 0 || frames > u->maxFrames || !io || io->mNumberBuffers > 2)
    return kAudioUnitErr_InvalidPropertyValue;
  ++u->renders;
  // The input arrives in the output buffers, then the gain is applied in place.
  OSStatus result = noErr;
  AudioUnitRenderActionFlags flags = 0;
  if (u->input.inputProc)
    result = u->input.inputProc(u->input.inputProcRefCon, &flags, ts, 0, frames, io);
  else if (u->upstream)
    result = AudioUnitRender(u->upstream, &flags, ts, u->upstreamBus, frames, io);
  else
    for (UInt32 ch = 0; ch < io->mNumberBuffers; ++ch)
      memset(io->mBuffers[ch].mData, 0, frames * sizeof(float));
  if (result != noErr) return result;
  for (UInt32 ch = 0; ch < io->mNumberBuffers; ++ch) {
    auto* samples = static_cast<float*>(io->mBuffers[ch].mData);
    for (UInt32 i = 0; i < frames; ++i) samples[i] *= u->gain;
  }
  return noErr;
}

CFDictionaryRef MakeState(const TestUnit& u) {
  CFMutableDictionaryRef d = CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks,
                                                       &kCFTypeDictionaryValueCallBacks);
  ComponentDescription desc = {};
  GetComponentInfo(reinterpret_cast<Component>(u.self), &desc, nullptr, nullptr, nullptr);
  SInt32 subtype = static_cast<SInt32>(desc.componentSubType);
  CFNumberRef n = CFNumberCreate(nullptr, kCFNumberSInt32Type, &subtype);
  CFDictionarySetValue(d, CFSTR("subtype"), n);
  CFRelease(n);
  CFDictionarySetValue(d, CFSTR("name"), CFSTR("Untitled"));
  CFDataRef data = CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(&u.gain), sizeof(u.gain));
  CFDictionarySetValue(d, CFSTR("data"), data);
  CFRelease(data);
  return d;
}

OSStatus ApplyState(TestUnit& u, CFTypeRef plist) {
  if (CFGetTypeID(plist) != CFDictionaryGetTypeID()) return kAudioUnitErr_InvalidPropertyValue;
  CFTypeRef data = CFDictionaryGetValue(static_cast<CFDictionaryRef>(plist), CFSTR("data"));
  if (CFGetTypeID(data) != CFDataGetTypeID() ||
      CFDataGetLength(static_cast<CFDataRef>(data)) != sizeof(float))
    return kAudioUnitErr_InvalidPropertyValue;
  memcpy(&u.gain, CFDataGetBytePtr(static_cast<CFDataRef>(data)), sizeof(float));
  return noErr;
}

OSStatus GetProperty(TestUnit& u, AudioUnitPropertyID id, AudioUnitScope scope,
                     AudioUnitElement element, UInt32* size, Boolean* writable, void* data) {
  UInt32 dummy;
  if (!size) size = &dummy;
  switch (id) {
    case kAudioUnitProperty_StreamFormat: {
      if (element != 0 || scope == kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
      *size = sizeof(AudioStreamBasicDescription);
      if (writable) *writable = true;
      if (data) {
        AudioStreamBasicDescription f = {
            44100.0, kAudioFormatLinearPCM, kAudioFormatFlagsAudioUnitCanonical, 4, 1, 4, 2, 32, 0};
        memcpy(data, &f, sizeof(f));
      }
      return noErr;
    }
    case kAudioUnitProperty_FastDispatch: {
      if (element != kAudioUnitRenderSelect) return kAudioUnitErr_InvalidElement;
      *size = sizeof(void*);
      if (data) *static_cast<AudioUnitRenderProc*>(data) = Render;
      return noErr;
    }
    case kAudioUnitProperty_ClassInfo:
      *size = sizeof(CFPropertyListRef);
      if (writable) *writable = true;
      if (data) *static_cast<CFPropertyListRef*>(data) = MakeState(u);
      return noErr;
    case kAudioUnitProperty_MaximumFramesPerSlice:
      *size = sizeof(UInt32);
      if (writable) *writable = true;
      if (data) *static_cast<UInt32*>(data) = u.maxFrames;
      return noErr;
    default:
      return kAudioUnitErr_InvalidProperty;
  }
}

OSStatus SetProperty(TestUnit& u, AudioUnitPropertyID id, const void* data) {
  if (!data) return kAudioUnitErr_InvalidPropertyValue;
  switch (id) {
    case kAudioUnitProperty_SetRenderCallback:
      u.input = *static_cast<const AURenderCallbackStruct*>(data);
      return noErr;
    case kAudioUnitProperty_MakeConnection: {
      auto c = static_cast<const AudioUnitConnection*>(data);
      u.upstream = c->sourceAudioUnit;
      u.upstreamBus = c->sourceOutputNumber;
      return noErr;
    }
    case kAudioUnitProperty_MaximumFramesPerSlice:
      u.maxFrames = *static_cast<const UInt32*>(data);
      return noErr;
    case kAudioUnitProperty_StreamFormat: {
      auto f = static_cast<const AudioStreamBasicDescription*>(data);
      return f->mChannelsPerFrame == 2 ? OSStatus(noErr)
                                       : OSStatus(kAudioUnitErr_FormatNotSupported);
    }
    case kAudioUnitProperty_SampleRate:
      return noErr;
    case kAudioUnitProperty_HostCallbacks:
      u.host = *static_cast<const HostCallbackInfo*>(data);
      return noErr;
    case kAudioUnitProperty_ClassInfo:
      return ApplyState(u, *static_cast<const CFPropertyListRef*>(data));
    default:
      return kAudioUnitErr_InvalidProperty;
  }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) ComponentResult TestUnit_Entry(
    ComponentParameters* p, Handle storage) {
  auto* u = reinterpret_cast<TestUnit*>(storage);
  switch (p->what) {
    case kComponentOpenSelect: {
      auto* unit = new TestUnit;
      unit->self = reinterpret_cast<ComponentInstance>(p->params[0]);
      SetComponentInstanceStorage(unit->self, reinterpret_cast<Handle>(unit));
      return noErr;
    }
    case kComponentCloseSelect:
      delete u;
      return noErr;
    case kComponentVersionSelect:
      return 0x10203;
    case kComponentCanDoSelect: {
      SInt16 selector = Arg<SInt16>(p, 0);
      return selector == kAudioUnitRenderSelect || selector == kAudioUnitInitializeSelect;
    }
    case kAudioUnitInitializeSelect:
      u->initialized = true;
      return noErr;
    case kAudioUnitUninitializeSelect:
      u->initialized = false;
      return noErr;
    case kAudioUnitGetPropertyInfoSelect:
      return GetProperty(*u, Arg<UInt32>(p, 0), Arg<UInt32>(p, 1), Arg<UInt32>(p, 2),
                         Arg<UInt32*>(p, 3), Arg<Boolean*>(p, 4), nullptr);
    case kAudioUnitGetPropertySelect:
      return GetProperty(*u, Arg<UInt32>(p, 0), Arg<UInt32>(p, 1), Arg<UInt32>(p, 2),
                         Arg<UInt32*>(p, 4), nullptr, Arg<void*>(p, 3));
    case kAudioUnitSetPropertySelect:
      return SetProperty(*u, Arg<UInt32>(p, 0), Arg<const void*>(p, 3));
    case kAudioUnitGetParameterSelect: {
      auto id = Arg<AudioUnitParameterID>(p, 0);
      auto* out = Arg<AudioUnitParameterValue*>(p, 3);
      if (id > 1) return kAudioUnitErr_InvalidParameter;
      if (out) *out = id == 0 ? u->gain : u->steps;
      return noErr;
    }
    case kAudioUnitSetParameterSelect: {
      auto id = Arg<AudioUnitParameterID>(p, 0);
      auto value = Arg<AudioUnitParameterValue>(p, 3);
      if (id > 1) return kAudioUnitErr_InvalidParameter;
      (id == 0 ? u->gain : u->steps) = std::clamp(value, 0.0f, 2.0f);
      return noErr;
    }
    case kAudioUnitResetSelect:
      u->renders = 0;
      return noErr;
    case kAudioUnitRenderSelect:
      return Render(u, Arg<AudioUnitRenderActionFlags*>(p, 0), Arg<const AudioTimeStamp*>(p, 1),
                    Arg<UInt32>(p, 2), Arg<UInt32>(p, 3), Arg<AudioBufferList*>(p, 4));
    default:
      return badComponentSelector;
  }
}
