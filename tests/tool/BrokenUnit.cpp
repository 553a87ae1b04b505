// A deliberately broken component for the validator's test: it forwards every call to the real
// Orvanta executable, but its render halves the right channel, as a unit with a mixing fault
// would.

#include <AudioUnit/AudioUnit.h>
#include <dlfcn.h>

#include <cstring>

namespace {

using Entry = ComponentResult (*)(ComponentParameters*, void*);

Entry RealEntry() {
  static Entry entry = [] {
    void* library = dlopen(ORVANTA_EXECUTABLE, RTLD_NOW | RTLD_LOCAL);
    return library ? reinterpret_cast<Entry>(dlsym(library, "Orvanta_Entry")) : nullptr;
  }();
  return entry;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) ComponentResult BrokenUnit_Entry(
    ComponentParameters* params, void* storage) {
  Entry entry = RealEntry();
  if (!entry) return badComponentSelector;
  // Hide the fast render path so every render comes through here.
  if (params->what == kAudioUnitGetPropertySelect ||
      params->what == kAudioUnitGetPropertyInfoSelect) {
    AudioUnitPropertyID id;
    memcpy(&id, &params->params[1], sizeof(id));
    if (id == kAudioUnitProperty_FastDispatch) return kAudioUnitErr_InvalidProperty;
  }
  const ComponentResult result = entry(params, storage);
  if (params->what == kAudioUnitRenderSelect && result == noErr) {
    AudioBufferList* io;
    UInt32 frames;
    memcpy(&frames, &params->params[4], sizeof(frames));
    memcpy(&io, &params->params[5], sizeof(io));
    if (io && io->mNumberBuffers > 1 && io->mBuffers[1].mData)
      for (UInt32 i = 0; i < frames; ++i) static_cast<float*>(io->mBuffers[1].mData)[i] *= 0.5f;
  }
  return result;
}
