#pragma once
// Internal helpers of the shape, line and resampling operations: picture-row addressing of a
// destination, saturating float conversions and the combiner dispatch that colour drawing
// shares. Not part of the public interface.

#include <cmath>
#include <cstdint>

#include "raster/RAS_Bitmap.h"
#include "raster/RAS_Clip.h"
#include "raster/RAS_Combiners.h"

namespace ras_shape {

// A bitmap seen in picture coordinates: row 0 is the picture's top whatever the memory order.
struct Surface {
  RAS_pixel* row0 = nullptr;
  long step = 0;
  int w = 0, h = 0;

  bool Open(RAS_IBitmap* bm) {
    if (!RAS_HasPixels(bm)) return false;
    w = bm->getWidth();
    h = bm->getHeight();
    row0 = RAS_RowPtr(bm, 0);
    step = RAS_RowStep(bm);
    return true;
  }
  RAS_pixel* Row(int y) const { return row0 + step * y; }
  RAS_pixel* At(int x, int y) const { return row0 + step * y + x; }
  bool Inside(int x, int y) const { return (unsigned)x < (unsigned)w && (unsigned)y < (unsigned)h; }
};

// Clip rectangle, right and bottom exclusive.
struct Box {
  int l, t, r, b;
  bool Has(int x, int y) const { return x >= l && x < r && y >= t && y < b; }
};

// Saturating conversions: NaN gives 0 and values beyond the int range stop at its ends, so
// hostile coordinates can never invoke an undefined conversion.
inline int ToIntTrunc(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return int(v);
}
inline int ToIntFloor(double v) { return ToIntTrunc(std::floor(v)); }
inline long long ToFixed(double v) {  // 16.16, truncated; |v| is checked by the caller
  return (long long)(v * 65536.0);
}
inline bool Finite(double v) { return std::isfinite(v); }

// The colour a line or shape draws with, split into the channels the combiners take.
struct Ink {
  RAS_pixel word;
  int r, g, b, a;
  explicit Ink(RAS_pixel c)
      : word(c), r(RAS_GETR(c)), g(RAS_GETG(c)), b(RAS_GETB(c)), a(RAS_GETA(c)) {}
};

template <class C>
struct Tag {
  using type = C;
};

// The combiner for pixels drawn at varying weights (anti-aliasing coverage, coverage maps):
// copy always blends, since the per-pixel weight is rarely exactly 256.
template <class F>
bool WithBlendCombiner(int mode, int weight, F&& f) {
  if (weight == 0) return false;
  switch (mode & BLIT_MODE_MASK) {
    case BLIT_COPY:
      if (weight < 1) return false;
      return f(Tag<_RAS_CombinePixelsCopyNoClamp>()), true;
    case BLIT_ADD:
      return f(Tag<_RAS_CombinePixelsAdd>()), true;
    case BLIT_DODGE:
      return f(Tag<_RAS_CombinePixelsColorDodge>()), true;
    case BLIT_MUL:
      return f(Tag<_RAS_CombinePixelsMulNoClamp>()), true;
    case BLIT_OVERLAY:
      return f(Tag<_RAS_CombinePixelsOverlay>()), true;
    case BLIT_HSVADJUST:
      return f(Tag<_RAS_CombinePixelsHSVAdjust>()), true;
  }
  return false;
}

// The combiner for pixels drawn at one weight: the colour word at 256, half-mix at 128 and
// the blend otherwise in copy mode; the plain rules for modes 1-5. False when nothing draws.
template <class F>
bool WithSolidCombiner(int mode, int weight, F&& f) {
  if ((mode & BLIT_MODE_MASK) == BLIT_COPY) {
    if (weight == 256) return f(Tag<_RAS_CombinePixelsClobberNoClamp>()), true;
    if (weight == 128) return f(Tag<_RAS_CombinePixelsHalfMixNoClamp>()), true;
  }
  return WithBlendCombiner(mode, weight, f);
}

template <class C>
inline void Plot(RAS_pixel* p, const Ink& ink, int w) {
  C::doPix((unsigned char*)p, ink.r, ink.g, ink.b, ink.a, w);
}

}  // namespace ras_shape

namespace ras_shape {

// The combiner for bitmap sources at one weight, chosen by the mode's combiner bits: copy at
// 256 takes the source whole, the source-alpha forms weight by each source pixel's alpha.
template <class F>
bool WithBlitCombiner(int mode, int weight, F&& f) {
  if (weight == 0) return false;
  switch (mode & BLIT_DISPATCH_MASK) {
    case BLIT_COPY:
      if (weight < 1) return false;
      if (weight == 256) return f(Tag<_RAS_CombinePixelsClobberNoClamp>()), true;
      return f(Tag<_RAS_CombinePixelsCopyNoClamp>()), true;
    case BLIT_ADD:
      return f(Tag<_RAS_CombinePixelsAdd>()), true;
    case BLIT_DODGE:
      return f(Tag<_RAS_CombinePixelsColorDodge>()), true;
    case BLIT_MUL:
      return f(Tag<_RAS_CombinePixelsMulNoClamp>()), true;
    case BLIT_OVERLAY:
      return f(Tag<_RAS_CombinePixelsOverlay>()), true;
    case BLIT_HSVADJUST:
      return f(Tag<_RAS_CombinePixelsHSVAdjust>()), true;
    case BLIT_FLAG_SOURCE_ALPHA | BLIT_COPY:
      if (weight == 256)
        return f(Tag<_RAS_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp>()), true;
      return f(Tag<_RAS_CombinePixelsCopySourceAlphaNoClamp>()), true;
    case BLIT_FLAG_SOURCE_ALPHA | BLIT_ADD:
      return f(Tag<_RAS_CombinePixelsAddSourceAlpha>()), true;
    case BLIT_FLAG_SOURCE_ALPHA | BLIT_DODGE:
      return f(Tag<_RAS_CombinePixelsColorDodgeSourceAlpha>()), true;
    case BLIT_FLAG_SOURCE_ALPHA | BLIT_MUL:
      return f(Tag<_RAS_CombinePixelsMulSourceAlphaNoClamp>()), true;
    case BLIT_FLAG_SOURCE_ALPHA | BLIT_OVERLAY:
      return f(Tag<_RAS_CombinePixelsOverlaySourceAlpha>()), true;
    case BLIT_FLAG_SOURCE_ALPHA | BLIT_HSVADJUST:
      return f(Tag<_RAS_CombinePixelsHSVAdjustSourceAlpha>()), true;
  }
  return false;
}

template <class C>
inline void PlotWord(RAS_pixel* p, RAS_pixel v, int w) {
  C::doPix((unsigned char*)p, RAS_GETR(v), RAS_GETG(v), RAS_GETB(v), RAS_GETA(v), w);
}

// Four neighbours mixed by 16.16 fractions: weights (1 - fx)(1 - fy), fx(1 - fy), (1 - fx)fy
// and fx fy, with fx fy / 65536 truncated once; each channel is the weighted sum shifted right
// by 16. Two channels share one 64-bit word (32-bit lanes hold 255 * 65536 without carry).
inline RAS_pixel Mix4(RAS_pixel p00, RAS_pixel p10, RAS_pixel p01, RAS_pixel p11, unsigned fx,
                      unsigned fy) {
  const uint64_t fxy = (uint64_t(fx) * fy) >> 16;
  const uint64_t w00 = 65536 + fxy - fx - fy, w10 = fx - fxy, w01 = fy - fxy, w11 = fxy;
  auto even = [](RAS_pixel p) { return uint64_t(p & 0xff) | (uint64_t(p & 0xff0000) << 16); };
  auto odd = [](RAS_pixel p) { return uint64_t((p >> 8) & 0xff) | (uint64_t(p >> 24) << 32); };
  const uint64_t e = even(p00) * w00 + even(p10) * w10 + even(p01) * w01 + even(p11) * w11;
  const uint64_t o = odd(p00) * w00 + odd(p10) * w10 + odd(p01) * w01 + odd(p11) * w11;
  return RAS_pixel(((e >> 16) & 0xff) | (((e >> 48) & 0xff) << 16) | (((o >> 16) & 0xff) << 8) |
                   (((o >> 48) & 0xff) << 24));
}

// The four neighbours and fractions of a bilinear sample at a 16.16 position whose integer
// part (col, row) lies inside [0, right) x [0, bottom): the last column mixes only
// vertically, the last row only horizontally, and the corner takes the pixel itself.
struct BilinearSample {
  RAS_pixel p00, p10, p01, p11;
  unsigned fx, fy;
};
inline BilinearSample Neighbours(const Surface& src, long long col, long long row, unsigned fx,
                                 unsigned fy, long long right, long long bottom) {
  const RAS_pixel* p = src.At(int(col), int(row));
  const bool lastCol = col + 1 >= right, lastRow = row + 1 >= bottom;
  const long dx = lastCol ? 0 : 1, dy = lastRow ? 0 : src.step;
  return {p[0], p[dx], p[dy], p[dy + dx], lastCol ? 0 : fx, lastRow ? 0 : fy};
}

// Positions of resampling loops are 16.16 values held in 64 bits; set-up rejects starts and
// increments beyond these magnitudes (in pixels), far outside any real bitmap, so the
// stepping can never overflow.
constexpr double kMaxPosition = 1 << 30;
constexpr double kMaxIncrement = 1 << 20;

}  // namespace ras_shape
