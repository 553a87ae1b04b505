#include "platform/x11/PixelConversion.h"

#include <emmintrin.h>

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
      // top and is cleared. Four pixels at a time with SSE2 shifts, the editor's whole
      // frame being converted for every full redraw.
      int x = 0;
      const __m128i gMask = _mm_set1_epi32(0xff00), rMask = _mm_set1_epi32(0xff0000);
      for (; x + 4 <= width; x += 4) {
        const __m128i p = _mm_loadu_si128((const __m128i*)(in + x));
        const __m128i b = _mm_srli_epi32(p, 24);
        const __m128i g = _mm_and_si128(_mm_srli_epi32(p, 8), gMask);
        const __m128i r = _mm_and_si128(_mm_slli_epi32(p, 8), rMask);
        _mm_storeu_si128((__m128i*)(out + x), _mm_or_si128(_mm_or_si128(b, g), r));
      }
      for (; x < width; ++x) out[x] = __builtin_bswap32(in[x]) & 0xffffff;
    } else {
      for (int x = 0; x < width; ++x) out[x] = Convert(in[x]);
    }
  }
}

}  // namespace viewrules
