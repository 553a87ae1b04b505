#pragma once
// A small LV2 host for the tests: loads the bundle's audio library the way a host does,
// with a URI map, and drives one instance through its descriptor.

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <string>
#include <vector>

// Folder of the built bundle.
std::string LV2BundlePath();

// In sanitizer builds, puts the sanitizer runtimes into the environment the hosts started from
// here inherit (they are not built with the sanitizers and could not load the bundle), with
// leak reports off (their own leaks are not ours to report). Does nothing otherwise.
void PrepareEnvironmentForHosts();

class LV2TestHost {
 public:
  static constexpr int kNumControls = 3;
  static constexpr int kInL = 3, kInR = 4, kOutL = 5, kOutR = 6, kEnabled = 7;

  LV2TestHost();
  ~LV2TestHost();
  LV2TestHost(const LV2TestHost&) = delete;
  LV2TestHost& operator=(const LV2TestHost&) = delete;

  bool Loaded() const { return mDescriptor != nullptr; }
  const LV2_Descriptor* Descriptor() const { return mDescriptor; }
  // A new instance at the rate, with the URI map unless withMap is false; ports connected
  // to this host's control values and nothing else.
  LV2_Handle Instantiate(double rate = 48000.0, bool withMap = true);
  void Cleanup();
  LV2_Handle Handle() const { return mHandle; }

  float mControls[kNumControls] = {0.0f, 0.0f, 0.0f};
  float mEnabled = 1.0f;  // the bypass switch
  void ConnectAudio(float* inL, float* inR, float* outL, float* outR);
  void Run(uint32_t nFrames) { mDescriptor->run(mHandle, nFrames); }

  // State through the state interface; a saved property is kept here.
  struct Property {
    uint32_t key = 0;
    std::vector<unsigned char> value;
    uint32_t type = 0;
    uint32_t flags = 0;
  };
  LV2_State_Status Save(std::vector<Property>* pProperties);
  LV2_State_Status Restore(const std::vector<Property>& properties);

  LV2_URID Map(const char* uri);

 private:
  static LV2_URID MapURI(LV2_URID_Map_Handle handle, const char* uri);

  void* mLibrary = nullptr;
  const LV2_Descriptor* mDescriptor = nullptr;
  LV2_Handle mHandle = nullptr;
  std::vector<std::string> mURIs;
  LV2_URID_Map mMap;
  LV2_Feature mMapFeature;
};
