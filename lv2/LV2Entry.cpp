// The audio library's entry: the one descriptor hosts look up, and the state interface.
// The host is C: nothing may unwind through these functions.

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <cstring>
#include <memory>

#include "lv2/IPluginLV2.h"
#include "lv2/LV2Identity.h"

namespace {

struct Instance {
  ~Instance() { delete mPlug; }

  IPluginLV2* mPlug = nullptr;
  // 0 when the host offers no URI map: then there is no state to save or restore.
  LV2_URID mChunkKey = 0;
  LV2_URID mChunkType = 0;
};

Instance* Get(LV2_Handle handle) { return static_cast<Instance*>(handle); }

const void* FindFeature(const LV2_Feature* const* features, const char* uri) {
  for (int i = 0; features && features[i]; ++i)
    if (features[i]->URI && std::strcmp(features[i]->URI, uri) == 0) return features[i]->data;
  return nullptr;
}

LV2_Handle Instantiate(const LV2_Descriptor*, double sampleRate, const char*,
                       const LV2_Feature* const* features) {
  if (!(sampleRate > 0.0)) return nullptr;
  try {
    auto instance = std::make_unique<Instance>();
    instance->mPlug = MakePlug();
    if (!instance->mPlug) return nullptr;
    if (auto* map = static_cast<const LV2_URID_Map*>(FindFeature(features, LV2_URID__map));
        map && map->map) {
      instance->mChunkKey = map->map(map->handle, kLV2StateChunkURI);
      instance->mChunkType = map->map(map->handle, LV2_ATOM__Chunk);
    }
    instance->mPlug->InitAudio(sampleRate);
    return instance.release();
  } catch (...) {
    return nullptr;
  }
}

void ConnectPort(LV2_Handle handle, uint32_t port, void* data) {
  Get(handle)->mPlug->ConnectPort(port, data);
}

void Activate(LV2_Handle handle) { Get(handle)->mPlug->Activate(); }

void Run(LV2_Handle handle, uint32_t nFrames) { Get(handle)->mPlug->Run(nFrames); }

void Deactivate(LV2_Handle handle) { Get(handle)->mPlug->Deactivate(); }

void Cleanup(LV2_Handle handle) { delete Get(handle); }

LV2_State_Status Save(LV2_Handle handle, LV2_State_Store_Function store,
                      LV2_State_Handle storeHandle, uint32_t, const LV2_Feature* const*) {
  Instance* instance = Get(handle);
  if (!instance->mChunkKey || !store) return LV2_STATE_ERR_NO_FEATURE;
  try {
    ByteChunk chunk;
    if (!instance->mPlug->SaveState(&chunk)) return LV2_STATE_ERR_UNKNOWN;
    return store(storeHandle, instance->mChunkKey, chunk.GetBytes(), (size_t)chunk.Size(),
                 instance->mChunkType, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

LV2_State_Status Restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle retrieveHandle, uint32_t, const LV2_Feature* const*) {
  Instance* instance = Get(handle);
  if (!instance->mChunkKey || !retrieve) return LV2_STATE_ERR_NO_FEATURE;
  size_t size = 0;
  uint32_t type = 0, flags = 0;
  const void* data = retrieve(retrieveHandle, instance->mChunkKey, &size, &type, &flags);
  if (!data) return LV2_STATE_ERR_NO_PROPERTY;
  if (type != instance->mChunkType) return LV2_STATE_ERR_BAD_TYPE;
  if (size > 0x7fffffff) return LV2_STATE_ERR_UNKNOWN;
  try {
    ByteChunk chunk;
    if (chunk.PutBytes(data, (int)size) != (int)size) return LV2_STATE_ERR_UNKNOWN;
    return instance->mPlug->RestoreState(&chunk) ? LV2_STATE_SUCCESS : LV2_STATE_ERR_UNKNOWN;
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

const void* ExtensionData(const char* uri) {
  static const LV2_State_Interface sState = {Save, Restore};
  if (uri && std::strcmp(uri, LV2_STATE__interface) == 0) return &sState;
  return nullptr;
}

const LV2_Descriptor kDescriptor = {kLV2PluginURI, Instantiate, ConnectPort, Activate,
                                    Run,           Deactivate,  Cleanup,     ExtensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
