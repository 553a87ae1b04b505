#include "lv2/LV2TestHost.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>

std::string LV2BundlePath() { return ORVANTA_LV2_BUNDLE; }

void PrepareEnvironmentForHosts() {
  const char* preload = ORVANTA_HOST_PRELOAD;
  if (!*preload) return;
  setenv("LD_PRELOAD", preload, 1);
  setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
}

LV2TestHost::LV2TestHost() {
  mMap = {this, MapURI};
  mMapFeature = {LV2_URID__map, &mMap};
  mLibrary = dlopen((LV2BundlePath() + "/orvanta.so").c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!mLibrary) return;
  auto entry = reinterpret_cast<LV2_Descriptor_Function>(dlsym(mLibrary, "lv2_descriptor"));
  if (entry) mDescriptor = entry(0);
}

LV2TestHost::~LV2TestHost() {
  Cleanup();
  if (mLibrary) dlclose(mLibrary);
}

LV2_URID LV2TestHost::MapURI(LV2_URID_Map_Handle handle, const char* uri) {
  return static_cast<LV2TestHost*>(handle)->Map(uri);
}

LV2_URID LV2TestHost::Map(const char* uri) {
  for (size_t i = 0; i < mURIs.size(); ++i)
    if (mURIs[i] == uri) return (LV2_URID)(i + 1);
  mURIs.push_back(uri);
  return (LV2_URID)mURIs.size();
}

LV2_Handle LV2TestHost::Instantiate(double rate, bool withMap) {
  Cleanup();
  const LV2_Feature* withFeatures[] = {&mMapFeature, nullptr};
  const LV2_Feature* noFeatures[] = {nullptr};
  mHandle = mDescriptor->instantiate(mDescriptor, rate, LV2BundlePath().c_str(),
                                     withMap ? withFeatures : noFeatures);
  if (!mHandle) return nullptr;
  for (uint32_t i = 0; i < kNumControls; ++i) mDescriptor->connect_port(mHandle, i, &mControls[i]);
  mDescriptor->connect_port(mHandle, kEnabled, &mEnabled);
  mDescriptor->activate(mHandle);
  return mHandle;
}

void LV2TestHost::Cleanup() {
  if (!mHandle) return;
  mDescriptor->deactivate(mHandle);
  mDescriptor->cleanup(mHandle);
  mHandle = nullptr;
}

void LV2TestHost::ConnectAudio(float* inL, float* inR, float* outL, float* outR) {
  mDescriptor->connect_port(mHandle, kInL, inL);
  mDescriptor->connect_port(mHandle, kInR, inR);
  mDescriptor->connect_port(mHandle, kOutL, outL);
  mDescriptor->connect_port(mHandle, kOutR, outR);
}

namespace {

LV2_State_Status Store(LV2_State_Handle handle, uint32_t key, const void* value, size_t size,
                       uint32_t type, uint32_t flags) {
  auto* properties = static_cast<std::vector<LV2TestHost::Property>*>(handle);
  LV2TestHost::Property p;
  p.key = key;
  p.value.assign((const unsigned char*)value, (const unsigned char*)value + size);
  p.type = type;
  p.flags = flags;
  properties->push_back(p);
  return LV2_STATE_SUCCESS;
}

const void* Retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type,
                     uint32_t* flags) {
  auto* properties = static_cast<const std::vector<LV2TestHost::Property>*>(handle);
  for (const auto& p : *properties) {
    if (p.key != key) continue;
    *size = p.value.size();
    *type = p.type;
    *flags = p.flags;
    return p.value.data();
  }
  return nullptr;
}

const LV2_State_Interface* StateInterface(const LV2_Descriptor* descriptor) {
  return static_cast<const LV2_State_Interface*>(descriptor->extension_data(LV2_STATE__interface));
}

}  // namespace

LV2_State_Status LV2TestHost::Save(std::vector<Property>* pProperties) {
  const LV2_State_Interface* state = StateInterface(mDescriptor);
  if (!state) return LV2_STATE_ERR_UNKNOWN;
  return state->save(mHandle, Store, pProperties, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE,
                     nullptr);
}

LV2_State_Status LV2TestHost::Restore(const std::vector<Property>& properties) {
  const LV2_State_Interface* state = StateInterface(mDescriptor);
  if (!state) return LV2_STATE_ERR_UNKNOWN;
  return state->restore(mHandle, Retrieve, const_cast<std::vector<Property>*>(&properties), 0,
                        nullptr);
}
