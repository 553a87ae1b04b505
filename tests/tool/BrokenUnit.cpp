// A deliberately broken component for the validator's tests: it forwards every call to the real
// Orvanta executable but adds the one fault that ORVANTA_BROKEN_UNIT names (none when unset):
//   halves-right        the Render selector halves the right channel
//   fast-halves-right   the fast-dispatch render halves the right channel
//   ignores-bypass      bypass is accepted and ignored
//   aborts-on-empty     a zero-frame render aborts
//   sleeps              every render sleeps 3 ms
//   allocates           every render allocates
//   locks               the fast-dispatch render takes a mutex
//   aborts-on-bad-state a saved state without a name aborts
//   zeroes-block-start  the first frame of every block is silent

#include <AudioUnit/AudioUnit.h>
#include <dlfcn.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace {

using Entry = ComponentResult (*)(ComponentParameters*, void*);

Entry RealEntry() {
  static Entry entry = [] {
    void* library = dlopen(ORVANTA_EXECUTABLE, RTLD_NOW | RTLD_LOCAL);
    return library ? reinterpret_cast<Entry>(dlsym(library, "Orvanta_Entry")) : nullptr;
  }();
  return entry;
}

bool Fault(const char* name) {
  static const std::string fault =
      getenv("ORVANTA_BROKEN_UNIT") ? getenv("ORVANTA_BROKEN_UNIT") : "";
  return fault == name;
}

// Slot `index` of the record: 0 holds the instance, the selector's arguments follow.
template <typename T>
T Arg(ComponentParameters* params, int index) {
  T value;
  memcpy(&value, &params->params[index], sizeof(value));
  return value;
}

// What every render path of this unit does besides the real rendering.
void Spoil(UInt32 frames, AudioBufferList* io, bool fast) {
  if (frames == 0 && Fault("aborts-on-empty")) abort();
  if (Fault("sleeps")) std::this_thread::sleep_for(std::chrono::milliseconds(3));
  if (Fault("allocates")) {
    void* volatile memory = malloc(frames + 1);
    free(memory);
  }
  if (fast && Fault("locks")) {
    static std::mutex mutex;
    std::lock_guard<std::mutex> lock(mutex);
  }
  if (Fault("zeroes-block-start") && io && frames > 0)
    for (UInt32 c = 0; c < io->mNumberBuffers; ++c)
      static_cast<float*>(io->mBuffers[c].mData)[0] = 0;
  if (Fault(fast ? "fast-halves-right" : "halves-right") && io && io->mNumberBuffers > 1 &&
      io->mBuffers[1].mData)
    for (UInt32 i = 0; i < frames; ++i) static_cast<float*>(io->mBuffers[1].mData)[i] *= 0.5f;
}

AudioUnitRenderProc gRealRender = nullptr;

OSStatus FastRender(void* storage, AudioUnitRenderActionFlags* flags, const AudioTimeStamp* ts,
                    UInt32 bus, UInt32 frames, AudioBufferList* io) {
  if (frames == 0) Spoil(frames, io, true);
  const OSStatus result = gRealRender(storage, flags, ts, bus, frames, io);
  if (result == noErr) Spoil(frames, io, true);
  return result;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) ComponentResult BrokenUnit_Entry(
    ComponentParameters* params, void* storage) {
  Entry entry = RealEntry();
  if (!entry) return badComponentSelector;
  const auto what = params->what;
  if (what == kAudioUnitSetPropertySelect && Fault("ignores-bypass") &&
      Arg<AudioUnitPropertyID>(params, 1) == kAudioUnitProperty_BypassEffect)
    return noErr;
  if (what == kAudioUnitSetPropertySelect && Fault("aborts-on-bad-state") &&
      Arg<AudioUnitPropertyID>(params, 1) == kAudioUnitProperty_ClassInfo) {
    const auto* state = Arg<const CFPropertyListRef*>(params, 4);
    if (state && *state && CFGetTypeID(*state) == CFDictionaryGetTypeID() &&
        !CFDictionaryContainsKey(static_cast<CFDictionaryRef>(*state), CFSTR("name")))
      abort();
  }
  if (what == kAudioUnitRenderSelect && Arg<UInt32>(params, 4) == 0) Spoil(0, nullptr, false);
  const ComponentResult result = entry(params, storage);
  if (result != noErr) return result;
  if (what == kAudioUnitRenderSelect)
    Spoil(Arg<UInt32>(params, 4), Arg<AudioBufferList*>(params, 5), false);
  // Hand out this unit's own fast render, which spoils as its Render does.
  if (what == kAudioUnitGetPropertySelect &&
      Arg<AudioUnitPropertyID>(params, 1) == kAudioUnitProperty_FastDispatch &&
      Arg<AudioUnitElement>(params, 3) == kAudioUnitRenderSelect) {
    auto** proc = Arg<AudioUnitRenderProc*>(params, 4);
    if (proc && *proc) {
      gRealRender = *proc;
      *proc = FastRender;
    }
  }
  return result;
}
