// State chunks as the effect restores them: any bytes as its parameter state and as a list of
// presets. Every value must stay inside its parameter's range.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "effect/Orvanta.h"

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
  return 0;
}
