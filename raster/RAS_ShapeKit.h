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

// The combiner for pixels drawn at one weight: the colour word at 256, half-mix at 128 and
// the blend otherwise in copy mode; the plain rules for modes 1-5. False when nothing draws.
template <class F>
bool WithSolidCombiner(int mode, int weight, F&& f) {
  if (weight == 0) return false;
  switch (mode & BLIT_MODE_MASK) {
    case BLIT_COPY:
      if (weight == 256) return f(Tag<_RAS_CombinePixelsClobberNoClamp>()), true;
      if (weight == 128) return f(Tag<_RAS_CombinePixelsHalfMixNoClamp>()), true;
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

template <class C>
inline void Plot(RAS_pixel* p, const Ink& ink, int w) {
  C::doPix((unsigned char*)p, ink.r, ink.g, ink.b, ink.a, w);
}

}  // namespace ras_shape
