// State chunks as the effect restores them: any bytes as its parameter state and as a list of
// presets, and as the state a CLAP host hands the CLAP bundle through its stream. Every value
// must stay inside its parameter's range.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "effect/Orvanta.h"

#ifdef ORVANTA_CLAP_BUNDLE
#include <vector>

#include "clap/CLAPTestHost.h"

// The bundle's own reader, loaded as a host loads it, the bytes arriving a few at a time.
static void LoadIntoCLAPBundle(const uint8_t* data, size_t size) {
  static CLAPTestHost host;
  static const bool created = host.Create() != nullptr;
  if (!created) __builtin_trap();
  host.Load(std::vector<uint8_t>(data, data + size), 7);
  auto* params = host.Ext<clap::clap_plugin_params_t>(clap::kExtParams);
  for (uint32_t i = 0; i < params->count(host.Plugin()); ++i) {
    clap::clap_param_info_t info;
    params->get_info(host.Plugin(), i, &info);
    const double value = host.Value(info.id);
    if (!(value >= info.min_value && value <= info.max_value)) __builtin_trap();
  }
}
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::unique_ptr<OrvantaWrapper> plug(MakePlug());
  if (size > (1 << 20)) return 0;
  ByteChunk chunk;
  chunk.PutBytes(data, static_cast<int>(size));
  plug->UnserializeState(&chunk, 0);
  plug->UnserializePresets(&chunk, 0);
  for (int p = 0; p < plug->NPresets(); ++p) plug->RestorePreset(p);
  for (int i = 0; i < plug->NParams(); ++i) {
    const IParam* param = plug->GetParam(i);
    if (!(param->Value() >= param->GetMin() && param->Value() <= param->GetMax())) __builtin_trap();
  }
#ifdef ORVANTA_CLAP_BUNDLE
  LoadIntoCLAPBundle(data, size);
#endif
  return 0;
}
