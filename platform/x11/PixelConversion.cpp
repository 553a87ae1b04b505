#include "platform/x11/PixelConversion.h"

#include <immintrin.h>

#include "raster/RAS_Cpu.h"

namespace {

// The byte swap of the 8-bit-per-channel layout, eight pixels per shuffle; only called where
// the CPU has AVX2 (asked once at load). Returns the pixels done.
__attribute__((target("avx2"))) int SwapRowAVX2(const uint32_t* in, uint32_t* out, int width) {
  const __m256i order = _mm256_setr_epi8(3, 2, 1, -1, 7, 6, 5, -1, 11, 10, 9, -1, 15, 14, 13, -1, 3,
                                         2, 1, -1, 7, 6, 5, -1, 11, 10, 9, -1, 15, 14, 13, -1);
  int x = 0;
  for (; x + 8 <= width; x += 8) {
    const __m256i p = _mm256_loadu_si256((const __m256i*)(in + x));
    _mm256_storeu_si256((__m256i*)(out + x), _mm256_shuffle_epi8(p, order));
  }
  return x;
}

// The same with SSE2 shifts, four pixels at a time, on any x86-64.
int SwapRowSSE2(const uint32_t* in, uint32_t* out, int width) {
  const __m128i gMask = _mm_set1_epi32(0xff00), rMask = _mm_set1_epi32(0xff0000);
  int x = 0;
  for (; x + 4 <= width; x += 4) {
    const __m128i p = _mm_loadu_si128((const __m128i*)(in + x));
    const __m128i b = _mm_srli_epi32(p, 24);
    const __m128i g = _mm_and_si128(_mm_srli_epi32(p, 8), gMask);
    const __m128i r = _mm_and_si128(_mm_slli_epi32(p, 8), rMask);
    _mm_storeu_si128((__m128i*)(out + x), _mm_or_si128(_mm_or_si128(b, g), r));
  }
  return x;
}

int (*const SwapRow)(const uint32_t*, uint32_t*, int) = [] {
  return RAS_CpuHasAVX2() ? SwapRowAVX2 : SwapRowSSE2;
}();

}  // namespace

namespace viewrules {

VisualFormat::VisualFormat(unsigned long redMask, unsigned long greenMask, unsigned long blueMask)
    : mRed(FromMask(redMask)),
      mGreen(FromMask(greenMask)),
      mBlue(FromMask(blueMask)),
      mRgb888(redMask == 0xff0000 && greenMask == 0xff00 && blueMask == 0xff) {}

VisualFormat::Channel VisualFormat::FromMask(unsigned long mask) {
  Channel c;
  if (!mask) return c;
  while (!(mask & 1)) {
    mask >>= 1;
    ++c.shift;
  }
  while (mask & 1) {
    mask >>= 1;
    ++c.bits;
  }
  return c;
}

uint32_t VisualFormat::Place(uint32_t value8, const Channel& c) {
  if (c.bits == 0) return 0;
  // Keep the top bits for narrow channels; replicate them for channels wider than 8.
  uint32_t v = value8;
  if (c.bits < 8) {
    v >>= 8 - c.bits;
  } else if (c.bits > 8) {
    v = (v << (c.bits - 8)) | (c.bits < 16 ? v >> (16 - c.bits) : 0);
  }
  return v << c.shift;
}

uint32_t VisualFormat::Convert(uint32_t p) const {
  uint32_t r = (p >> 8) & 0xff, g = (p >> 16) & 0xff, b = p >> 24;
  if (mRgb888) return r << 16 | g << 8 | b;
  return Place(r, mRed) | Place(g, mGreen) | Place(b, mBlue);
}

void VisualFormat::ConvertRect(const uint32_t* src, int srcSpan, uint32_t* dst, int dstSpan,
                               int width, int height) const {
  for (int y = 0; y < height; ++y) {
    const uint32_t* in = src + (long)y * srcSpan;
    uint32_t* out = dst + (long)y * dstSpan;
    if (mRgb888) {
      // A byte swap moves blue to bits 0-7, green to 8-15 and red to 16-23; alpha lands on
      // top and is cleared. A whole frame is converted for every full redraw, so the bulk
      // of each row goes through vector shuffles.
      int x = SwapRow(in, out, width);
      for (; x < width; ++x) out[x] = __builtin_bswap32(in[x]) & 0xffffff;
    } else {
      for (int x = 0; x < width; ++x) out[x] = Convert(in[x]);
    }
  }
}

}  // namespace viewrules
