#include "raster/RAS_Blit.h"

#include <climits>
#include <cstring>
#include <type_traits>

#include "raster/RAS_Clip.h"
#include "raster/RAS_Combiners.h"
#include "raster/RAS_VectorRows.h"

namespace {

// The overlap of a blit after clipping: top rows of both areas in picture order, their row
// steps, and the size. When a bitmap is blitted onto itself the walk is reversed where
// needed so that no pixel is read after it was written.
struct BlitArea {
  RAS_pixel* dest;
  long dstep;
  const RAS_pixel* src;
  long sstep;
  int w, h;
  bool rightToLeft;
};

// The leading pixels of a row done by the vector form of the rule, where it has one for
// this weight; each block is read before it is written, so a forward walk over an
// overlapping row stays safe.
template <class C>
inline int vectorRow(RAS_pixel* d, const RAS_pixel* s, int w, int weight) {
  const bool blends = weight >= 1 && weight <= 255;
  if constexpr (std::is_same_v<C, _RAS_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp>)
    return RAS_Vector->sourceAlphaFull(d, s, w);
  else if constexpr (std::is_same_v<C, _RAS_CombinePixelsCopySourceAlphaNoClamp>)
    return blends ? RAS_Vector->sourceAlphaWeighted(d, s, w, weight) : 0;
  else if constexpr (std::is_same_v<C, _RAS_CombinePixelsCopyNoClamp>)
    return blends ? RAS_Vector->copyWeighted(d, s, w, weight) : 0;
  else
    return 0;
}

template <class C>
inline void blitRow(RAS_pixel* d, const RAS_pixel* s, int w, int weight, bool rightToLeft) {
  auto pix = [=](int x) {
    const RAS_pixel p = s[x];
    C::doPix(reinterpret_cast<unsigned char*>(d + x), RAS_GETR(p), RAS_GETG(p), RAS_GETB(p),
             RAS_GETA(p), weight);
  };
  if (rightToLeft)
    for (int x = w - 1; x >= 0; --x) pix(x);
  else
    for (int x = vectorRow<C>(d, s, w, weight); x < w; ++x) pix(x);
}

// Everything the inner loop needs is held in locals: the rules store through char
// pointers, which could otherwise alias the area's fields and force reloads per pixel.
template <class C>
void blitLoop(const BlitArea& a, int weight) {
  RAS_pixel* d = a.dest;
  const RAS_pixel* s = a.src;
  const long dstep = a.dstep, sstep = a.sstep;
  const int w = a.w, h = a.h;
  const bool rightToLeft = a.rightToLeft;
  for (int y = 0; y < h; ++y, d += dstep, s += sstep) blitRow<C>(d, s, w, weight, rightToLeft);
}

// Short rows of separate bitmaps go through the vector rows, which skip the C library's
// call overhead; long rows and a bitmap copied onto itself (where rows may overlap) use
// memmove.
void rowCopy(const BlitArea& a, bool onItself) {
  constexpr int kShortRow = 512;
  RAS_pixel* d = a.dest;
  const RAS_pixel* s = a.src;
  for (int y = 0; y < a.h; ++y, d += a.dstep, s += a.sstep) {
    if (onItself || a.w > kShortRow) {
      memmove(d, s, size_t(a.w) * 4);
      continue;
    }
    for (int x = RAS_Vector->copy(d, s, a.w); x < a.w; ++x) d[x] = s[x];
  }
}

void halfMix(const BlitArea& a) {
  RAS_pixel* d = a.dest;
  const RAS_pixel* s = a.src;
  for (int y = 0; y < a.h; ++y, d += a.dstep, s += a.sstep) {
    if (a.rightToLeft)
      for (int x = a.w - 1; x >= 0; --x) _RAS_CombinePixelsHalfMixFAST::doPix(d + x, s[x]);
    else
      for (int x = 0; x < a.w; ++x) _RAS_CombinePixelsHalfMixFAST::doPix(d + x, s[x]);
  }
}

void channelCopy(const BlitArea& a, int mode) {
  const int from = mode & 3, to = (mode >> 2) & 3;
  RAS_pixel* d = a.dest;
  const RAS_pixel* s = a.src;
  for (int y = 0; y < a.h; ++y, d += a.dstep, s += a.sstep) {
    auto* db = reinterpret_cast<unsigned char*>(d);
    auto* sb = reinterpret_cast<const unsigned char*>(s);
    if (a.rightToLeft)
      for (int x = a.w - 1; x >= 0; --x) db[x * 4 + to] = sb[x * 4 + from];
    else
      for (int x = 0; x < a.w; ++x) db[x * 4 + to] = sb[x * 4 + from];
  }
}

void combine(const BlitArea& a, int weight, int mode) {
  switch (mode & BLIT_DISPATCH_MASK) {
    case BLIT_COPY:
      if (weight < 1) break;
      if (weight == 256)
        blitLoop<_RAS_CombinePixelsClobberNoClamp>(a, weight);
      else
        blitLoop<_RAS_CombinePixelsCopyNoClamp>(a, weight);
      break;
    case BLIT_ADD:
      blitLoop<_RAS_CombinePixelsAdd>(a, weight);
      break;
    case BLIT_DODGE:
      blitLoop<_RAS_CombinePixelsColorDodge>(a, weight);
      break;
    case BLIT_MUL:
      blitLoop<_RAS_CombinePixelsMulNoClamp>(a, weight);
      break;
    case BLIT_OVERLAY:
      blitLoop<_RAS_CombinePixelsOverlay>(a, weight);
      break;
    case BLIT_HSVADJUST:
      blitLoop<_RAS_CombinePixelsHSVAdjust>(a, weight);
      break;
    case BLIT_FLAG_SOURCE_ALPHA | BLIT_COPY:
      if (weight == 256)
        blitLoop<_RAS_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp>(a, weight);
      else
        blitLoop<_RAS_CombinePixelsCopySourceAlphaNoClamp>(a, weight);
      break;
    case BLIT_FLAG_SOURCE_ALPHA | BLIT_ADD:
      blitLoop<_RAS_CombinePixelsAddSourceAlpha>(a, weight);
      break;
    case BLIT_FLAG_SOURCE_ALPHA | BLIT_DODGE:
      blitLoop<_RAS_CombinePixelsColorDodgeSourceAlpha>(a, weight);
      break;
    case BLIT_FLAG_SOURCE_ALPHA | BLIT_MUL:
      blitLoop<_RAS_CombinePixelsMulSourceAlphaNoClamp>(a, weight);
      break;
    case BLIT_FLAG_SOURCE_ALPHA | BLIT_OVERLAY:
      blitLoop<_RAS_CombinePixelsOverlaySourceAlpha>(a, weight);
      break;
    case BLIT_FLAG_SOURCE_ALPHA | BLIT_HSVADJUST:
      blitLoop<_RAS_CombinePixelsHSVAdjustSourceAlpha>(a, weight);
      break;
    default:
      break;
  }
}

// Source rectangle given as left, top, right, bottom in 64 bits, so that callers' sums near
// the int limits cannot wrap.
void blit(RAS_IBitmap* dest, RAS_IBitmap* src, long long dx, long long dy, long long sl,
          long long st, long long sr, long long sb, float alpha, int mode) {
  if (!dest || !src || alpha == 0.0f) return;
  if (!RAS_HasPixels(dest) || !RAS_HasPixels(src)) return;
  const int sw = src->getWidth(), sh = src->getHeight();
  if (sr > sw) sr = sw;
  if (sb > sh) sb = sh;
  if (sl < 0) dx -= sl, sl = 0;
  if (st < 0) dy -= st, st = 0;
  if (dx < 0) sl -= dx, dx = 0;
  if (dy < 0) st -= dy, dy = 0;
  long long w = sr - sl, h = sb - st;
  if (w > dest->getWidth() - dx) w = dest->getWidth() - dx;
  if (h > dest->getHeight() - dy) h = dest->getHeight() - dy;
  if (w <= 0 || h <= 0) return;

  BlitArea a;
  a.w = int(w), a.h = int(h);
  a.dest = RAS_RowPtr(dest, int(dy)) + dx;
  a.dstep = RAS_RowStep(dest);
  a.src = RAS_RowPtr(src, int(st)) + sl;
  a.sstep = RAS_RowStep(src);
  a.rightToLeft = false;
  if (dest == src) {
    // Copying onto itself: walk away from the overlap.
    if (dy > st) {
      a.dest += a.dstep * (a.h - 1), a.src += a.sstep * (a.h - 1);
      a.dstep = -a.dstep, a.sstep = -a.sstep;
    }
    a.rightToLeft = dy == st && dx > sl;
  }

  if ((mode & BLIT_MODE_MASK) >= BLIT_CHANNEL_COPY) {
    channelCopy(a, mode);
    return;
  }
  if ((mode & BLIT_DISPATCH_MASK) == BLIT_COPY) {
    if (alpha == 1.0f) {
      rowCopy(a, dest == src);
      return;
    }
    if (alpha == 0.5f) {
      halfMix(a);
      return;
    }
  }
  const int weight = RAS_WeightFromAlpha(alpha);
  if (weight != 0) combine(a, weight, mode);
}

}  // namespace

void RAS_Blit(RAS_IBitmap* dest, RAS_IBitmap* src, int dstx, int dsty, const RECT* srcRect,
              float alpha, int mode) {
  if (!src) return;
  if (srcRect)
    blit(dest, src, dstx, dsty, srcRect->left, srcRect->top, srcRect->right, srcRect->bottom, alpha,
         mode);
  else
    blit(dest, src, dstx, dsty, 0, 0, src->getWidth(), src->getHeight(), alpha, mode);
}

void RAS_Blit(RAS_IBitmap* dest, RAS_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw,
              int srch, float alpha, int mode) {
  blit(dest, src, dstx, dsty, srcx, srcy, (long long)srcx + srcw, (long long)srcy + srch, alpha,
       mode);
}

void RAS_Copy(RAS_IBitmap* dest, RAS_IBitmap* src) {
  if (!dest || !src) return;
  dest->resize(src->getWidth(), src->getHeight());
  RAS_Blit(dest, src, 0, 0, nullptr, 1.0f, BLIT_COPY);
}
