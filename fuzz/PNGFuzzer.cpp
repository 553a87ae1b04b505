// libFuzzer entry for the PNG loader: every input is decoded from memory into a new bitmap
// and into a caller's bitmap.

#include <cstddef>
#include <cstdint>

#include "raster/RAS_PNG.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1 << 20)) return 0;
  RAS_IBitmap* bm = RAS_LoadPNGFromMemory(data, int(size), nullptr);
  if (bm) {
    // Touch every pixel so that a short allocation shows up under the address sanitizer.
    volatile RAS_pixel sum = 0;
    for (int y = 0; y < bm->getHeight(); ++y)
      for (int x = 0; x < bm->getWidth(); ++x) sum = sum + bm->getBits()[y * bm->getRowSpan() + x];
    delete bm;
  }
  RAS_MemBitmap given(2, 2, 4);
  RAS_LoadPNGFromMemory(data, int(size), &given);
  return 0;
}
