#include "platform/x11/PixelDoubling.h"

namespace viewrules {

int DoubledRowSpan(int width) { return (2 * width + 3) & ~3; }

size_t DoubledBufferBytes(int width, int height) {
  if (width <= 0 || height <= 0) return 32;
  return (size_t)height * (size_t)DoubledRowSpan(width) * 8 + 32;
}

uint32_t* AlignDoubledStart(void* buffer) {
  uintptr_t p = ((uintptr_t)buffer + 31) & ~(uintptr_t)31;
  return reinterpret_cast<uint32_t*>(p);
}

void DoublePixels(const uint32_t* src, int srcSpan, int width, int height, uint32_t* dst,
                  int dstSpan) {
  for (int y = 0; y < height; ++y) {
    const uint32_t* in = src + (size_t)y * srcSpan;
    uint32_t* out0 = dst + (size_t)(2 * y) * dstSpan;
    uint32_t* out1 = out0 + dstSpan;
    for (int x = 0; x < width; ++x) {
      out0[2 * x] = out0[2 * x + 1] = out1[2 * x] = out1[2 * x + 1] = in[x];
    }
  }
}

}  // namespace viewrules
