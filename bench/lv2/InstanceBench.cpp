// What making an instance costs, as hosts make them while scanning and loading sessions: the
// LV2 library loaded, instantiated, activated, freed and unloaded again (as lilv does for each
// instance), ours beside mda Image and Calf Stereo Tools; and the Audio Unit opened,
// initialized and closed with its bundle loaded. Beside them, what one LV2 run call costs at
// 16 and 512 frames. ORVANTA_BENCH_BASELINE=<folder> adds the
// orvanta.lv2 and Orvanta.component found there (an earlier build) to the same run.

#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <lv2/core/lv2.h>
#include <lv2/urid/urid.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "host/Host.h"

namespace {

LV2_URID Map(LV2_URID_Map_Handle handle, const char* uri) {
  auto* uris = static_cast<std::map<std::string, LV2_URID>*>(handle);
  return uris->emplace(uri, (LV2_URID)uris->size() + 1).first->second;
}

void BM_LV2Instance(benchmark::State& state, std::string bundle, std::string binary,
                    std::string uri) {
  std::map<std::string, LV2_URID> uris;
  LV2_URID_Map map = {&uris, Map};
  const LV2_Feature mapFeature = {LV2_URID__map, &map};
  const LV2_Feature* features[] = {&mapFeature, nullptr};
  const std::string library = bundle + "/" + binary;
  float control[64] = {}, audio[4][64] = {};
  for (auto _ : state) {
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    auto entry = handle ? (LV2_Descriptor_Function)dlsym(handle, "lv2_descriptor") : nullptr;
    const LV2_Descriptor* descriptor = nullptr;
    for (uint32_t i = 0; entry && (descriptor = entry(i)); ++i)
      if (std::strcmp(descriptor->URI, uri.c_str()) == 0) break;
    LV2_Handle instance =
        descriptor ? descriptor->instantiate(descriptor, 48000.0, (bundle + "/").c_str(), features)
                   : nullptr;
    if (!instance) {
      if (handle) dlclose(handle);
      state.SkipWithError((uri + " could not be instantiated from " + library).c_str());
      return;
    }
    // Ports are connected before activation, as hosts do; the counts do not matter here.
    for (uint32_t port = 0; port < 8; ++port)
      descriptor->connect_port(instance, port, port < 4 ? control + port : audio[port - 4]);
    if (descriptor->activate) descriptor->activate(instance);
    if (descriptor->deactivate) descriptor->deactivate(instance);
    descriptor->cleanup(instance);
    dlclose(handle);
  }
}

// One run call of a block of state.range(0) frames, the instance made once: the wrapper's
// cost per call at small blocks, where it weighs most.
void BM_LV2Run(benchmark::State& state, std::string bundle, std::string binary, std::string uri) {
  void* handle = dlopen((bundle + "/" + binary).c_str(), RTLD_NOW | RTLD_LOCAL);
  auto entry = handle ? (LV2_Descriptor_Function)dlsym(handle, "lv2_descriptor") : nullptr;
  const LV2_Descriptor* descriptor = entry ? entry(0) : nullptr;
  LV2_Handle instance = descriptor && std::strcmp(descriptor->URI, uri.c_str()) == 0
                            ? descriptor->instantiate(descriptor, 48000.0, bundle.c_str(), nullptr)
                            : nullptr;
  if (!instance) {
    state.SkipWithError((uri + " could not be instantiated from " + bundle).c_str());
    return;
  }
  // Orvanta's ports: three controls, two inputs, two outputs, the bypass switch.
  float control[3] = {-1.0f, 2.0f, -3.0f}, enabled = 1.0f, audio[4][4096] = {};
  for (uint32_t port = 0; port < 3; ++port)
    descriptor->connect_port(instance, port, control + port);
  for (uint32_t port = 3; port < 7; ++port)
    descriptor->connect_port(instance, port, audio[port - 3]);
  descriptor->connect_port(instance, 7, &enabled);
  descriptor->activate(instance);
  const uint32_t frames = (uint32_t)state.range(0);
  for (auto _ : state) {
    descriptor->run(instance, frames);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * frames);
  descriptor->deactivate(instance);
  descriptor->cleanup(instance);
  dlclose(handle);
}

void BM_AUInstance(benchmark::State& state, std::string bundle) {
  HostError error;
  std::unique_ptr<HostComponent> component = HostComponent::Load(bundle, &error);
  if (!component) {
    state.SkipWithError(("cannot load " + bundle).c_str());
    return;
  }
  for (auto _ : state) {
    std::unique_ptr<HostUnit> unit = HostUnit::Open(*component, &error);
    if (!unit || unit->Initialize() != noErr) {
      state.SkipWithError("the unit did not open and initialize");
      return;
    }
    unit->Uninitialize();
    unit->Close();
  }
}

void RegisterAll(const std::string& folder, const std::string& label) {
  benchmark::RegisterBenchmark(("lv2_instance/orvanta" + label).c_str(), BM_LV2Instance,
                               folder + "/lv2/orvanta.lv2", "orvanta.so", "urn:quev:orvanta");
  benchmark::RegisterBenchmark(("au_instance/Orvanta" + label).c_str(), BM_AUInstance,
                               folder + "/au/Orvanta.component");
  benchmark::RegisterBenchmark(("lv2_run/orvanta" + label).c_str(), BM_LV2Run,
                               folder + "/lv2/orvanta.lv2", "orvanta.so", "urn:quev:orvanta")
      ->Arg(16)
      ->Arg(512);
}

}  // namespace

int main(int argc, char** argv) {
  RegisterAll(ORVANTA_BUILD_DIR, "");
  if (const char* baseline = std::getenv("ORVANTA_BENCH_BASELINE"))
    RegisterAll(baseline, "_baseline");
  benchmark::RegisterBenchmark("lv2_instance/mda_Image", BM_LV2Instance, "/usr/lib/lv2/mda.lv2",
                               "Image.so", "http://drobilla.net/plugins/mda/Image");
  benchmark::RegisterBenchmark("lv2_instance/calf_StereoTools", BM_LV2Instance,
                               "/usr/lib/lv2/calf.lv2", "calf.so",
                               "http://calf.sourceforge.net/plugins/StereoTools");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
