// FXP programs and FXB banks: any bytes loaded as both by the effect. Every value must stay
// inside its parameter's range.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "FuzzInput.h"
#include "effect/Orvanta.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::unique_ptr<OrvantaWrapper> plug(MakePlug());
  UTL_String path(FuzzInputFile(data, size).c_str());
  plug->LoadProgramFromFXP(&path);
  plug->LoadBankFromFXB(&path);
  for (int i = 0; i < plug->NParams(); ++i) {
    const IParam* param = plug->GetParam(i);
    if (!(param->Value() >= param->GetMin() && param->Value() <= param->GetMax())) __builtin_trap();
  }
  return 0;
}
