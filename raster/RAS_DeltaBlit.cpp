// Increment-driven resampling: one loop steps a 16.16 source position across each
// destination row; rotation, free increments and transform grids only differ in set-up.

#include "raster/RAS_DeltaBlit.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "raster/RAS_BilinearBatch.h"
#include "raster/RAS_ShapeKit.h"

using namespace ras_shape;

namespace {

// Source position (and optionally alpha) as a function of destination column i and row j:
// p(i, j) = start + j * row + i * (col + j * col2).
struct Mapping {
  double sx, sy, cx, cy, rx, ry, c2x, c2y;
  // Alpha in weight units times 256, stepped the same way.
  double a = 0, ca = 0, ra = 0, c2a = 0;
};

// Mirrors the mapping so that a rectangle given with a negative size is drawn from its other
// edge: pixel i of the new order takes what pixel (w - 1 - i) took.
void MirrorColumns(Mapping& m, long long w) {
  const double n = double(w - 1);
  m.sx += n * m.cx, m.sy += n * m.cy, m.a += n * m.ca;
  m.rx += n * m.c2x, m.ry += n * m.c2y, m.ra += n * m.c2a;
  m.cx = -m.cx, m.cy = -m.cy, m.ca = -m.ca;
  m.c2x = -m.c2x, m.c2y = -m.c2y, m.c2a = -m.c2a;
}
void MirrorRows(Mapping& m, long long h) {
  const double n = double(h - 1);
  m.sx += n * m.rx, m.sy += n * m.ry, m.a += n * m.ra;
  m.cx += n * m.c2x, m.cy += n * m.c2y, m.ca += n * m.c2a;
  m.rx = -m.rx, m.ry = -m.ry, m.ra = -m.ra;
  m.c2x = -m.c2x, m.c2y = -m.c2y, m.c2a = -m.c2a;
}

bool Usable(const Mapping& m) {
  for (double v : {m.sx, m.sy, m.a, m.cx, m.cy, m.rx, m.ry, m.c2x, m.c2y, m.ca, m.ra, m.c2a})
    if (!std::isfinite(v)) return false;
  return true;
}

struct Target {
  Surface dst, src;
  long long dx, dy, w, h;  // destination rectangle, positive sizes
  Box bounds;              // source pixels that may be sampled
  bool filter;
};

template <class C, bool kPerPixelAlpha, bool kFilter>
void DeltaLoop(const Target& t, const Mapping& m, int weight, bool copyMode) {
  const long long i0 = std::max(0LL, -t.dx), j0 = std::max(0LL, -t.dy);
  const long long i1 = std::min(t.w, t.dst.w - t.dx), j1 = std::min(t.h, t.dst.h - t.dy);
  const unsigned long long bw = t.bounds.r - t.bounds.l, bh = t.bounds.b - t.bounds.t;
  BilinearBatch<C> batch(t.dst.row0 == t.src.row0);
  for (long long j = j0; j < j1; ++j) {
    // Each row starts from the exact mapping, so skipped rows and columns cost nothing.
    const double cx = m.cx + j * m.c2x, cy = m.cy + j * m.c2y, ca = m.ca + j * m.c2a;
    const double px = m.sx + j * m.rx + i0 * cx, py = m.sy + j * m.ry + i0 * cy;
    const double pa = m.a + j * m.ra + i0 * ca;
    if (!(std::fabs(px) <= kMaxPosition && std::fabs(py) <= kMaxPosition &&
          std::fabs(cx) <= kMaxIncrement && std::fabs(cy) <= kMaxIncrement &&
          std::fabs(pa) <= kMaxPosition * 65536 && std::fabs(ca) <= kMaxIncrement * 65536))
      continue;
    // Positions and increments are rounded to the nearest 1/65536, not truncated: a value a
    // hair below a whole pixel (as the cosine of a float quarter turn leaves) would otherwise
    // sample the pixel before it.
    long long x = std::llround(px * 65536), y = std::llround(py * 65536), a = (long long)pa;
    const long long stepX = std::llround(cx * 65536), stepY = std::llround(cy * 65536);
    const long long stepA = std::llround(ca);
    RAS_pixel* d = t.dst.At(int(t.dx + i0), int(t.dy + j));
    for (long long i = i0; i < i1; ++i, ++d, x += stepX, y += stepY, a += stepA) {
      const long long col = x >> 16, row = y >> 16;
      if ((unsigned long long)(col - t.bounds.l) >= bw ||
          (unsigned long long)(row - t.bounds.t) >= bh)
        continue;
      int w = weight;
      if constexpr (kPerPixelAlpha) {
        w = RAS_ClampWeight(a >> 8);
        if (w == 0 || (copyMode && w < 1)) continue;
      }
      if constexpr (kFilter)
        batch.Add(d,
                  Neighbours(t.src, col, row, unsigned(x & 0xffff), unsigned(y & 0xffff),
                             t.bounds.r, t.bounds.b),
                  w);
      else
        PlotWord<C>(d, *t.src.At(int(col), int(row)), w);
    }
  }
}

// Common set-up: bitmaps, source bounds, mirroring, combiner choice.
void Draw(RAS_IBitmap* dest, RAS_IBitmap* src, long long dx, long long dy, long long w, long long h,
          double srcx, double srcy, double srcw, double srch, bool clip, Mapping m, float alpha,
          int mode, bool perPixelAlpha) {
  Target t;
  if (w == 0 || h == 0 || !t.dst.Open(dest) || !t.src.Open(src)) return;
  if (w < 0) dx += w, w = -w, MirrorColumns(m, w);
  if (h < 0) dy += h, h = -h, MirrorRows(m, h);
  if (!Usable(m)) return;
  t.bounds = Box{0, 0, t.src.w, t.src.h};
  if (clip) {
    if (!std::isfinite(srcx + srcy + srcw + srch)) return;
    const double l = std::min(srcx, srcx + srcw), r = std::max(srcx, srcx + srcw);
    const double tp = std::min(srcy, srcy + srch), b = std::max(srcy, srcy + srch);
    t.bounds = Box{std::max(ToIntTrunc(l), 0), std::max(ToIntTrunc(tp), 0),
                   std::min(ToIntTrunc(r), t.src.w), std::min(ToIntTrunc(b), t.src.h)};
    if (t.bounds.l >= t.bounds.r || t.bounds.t >= t.bounds.b) return;
  }
  t.dx = dx, t.dy = dy, t.w = w, t.h = h;
  t.filter = (mode & 0xff00) == BLIT_FLAG_FILTER;
  const bool copyMode = (mode & BLIT_MODE_MASK) == BLIT_COPY;
  if (perPixelAlpha) {
    // Weights vary per pixel: the blending forms of the copy rules, never the whole-word one.
    WithBlitCombiner(mode, 1, [&](auto tag) {
      using C = typename decltype(tag)::type;
      if (t.filter)
        DeltaLoop<C, true, true>(t, m, 0, copyMode);
      else
        DeltaLoop<C, true, false>(t, m, 0, copyMode);
    });
    return;
  }
  const int weight = RAS_WeightFromAlpha(alpha);
  WithBlitCombiner(mode, weight, [&](auto tag) {
    using C = typename decltype(tag)::type;
    if (t.filter)
      DeltaLoop<C, false, true>(t, m, weight, copyMode);
    else
      DeltaLoop<C, false, false>(t, m, weight, copyMode);
  });
}

template <class T>
void TransformGrid(RAS_IBitmap* dest, RAS_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                   const T* pts, int cols, int rows, int stride, float alpha, int mode) {
  if (!dest || !src || !pts || dstw <= 0 || dsth <= 0 || cols < 2 || rows < 2) return;
  auto edge = [](int origin, int size, int k, int cells) {
    return (long long)std::floor(origin + double(k) * size / cells + 0.5);
  };
  auto point = [&](int kx, int ky) { return pts + ((size_t)ky * cols + kx) * stride; };
  const bool perPixelAlpha = stride == 3;
  for (int ky = 0; ky + 1 < rows; ++ky) {
    const long long y0 = edge(dsty, dsth, ky, rows - 1), y1 = edge(dsty, dsth, ky + 1, rows - 1);
    if (y1 <= y0) continue;
    const double ch = double(y1 - y0);
    for (int kx = 0; kx + 1 < cols; ++kx) {
      const long long x0 = edge(dstx, dstw, kx, cols - 1), x1 = edge(dstx, dstw, kx + 1, cols - 1);
      if (x1 <= x0) continue;
      const double cw = double(x1 - x0);
      const T *tl = point(kx, ky), *tr = point(kx + 1, ky), *bl = point(kx, ky + 1),
              *br = point(kx + 1, ky + 1);
      auto cell = [&](int c, double scale) {
        const double top = (tr[c] - tl[c]) / cw, bottom = (br[c] - bl[c]) / cw;
        return std::array<double, 4>{tl[c] * scale, top * scale, (bl[c] - tl[c]) / ch * scale,
                                     (bottom - top) / ch * scale};
      };
      Mapping m;
      const auto X = cell(0, 1), Y = cell(1, 1);
      m.sx = X[0], m.cx = X[1], m.rx = X[2], m.c2x = X[3];
      m.sy = Y[0], m.cy = Y[1], m.ry = Y[2], m.c2y = Y[3];
      if (perPixelAlpha) {
        const auto A = cell(2, 65536);  // alpha 1.0 is weight 256, times 256
        m.a = A[0], m.ca = A[1], m.ra = A[2], m.c2a = A[3];
      }
      Draw(dest, src, x0, y0, x1 - x0, y1 - y0, 0, 0, 0, 0, false, m, alpha, mode, perPixelAlpha);
    }
  }
}

bool AllFinite(std::initializer_list<double> v) {
  return std::all_of(v.begin(), v.end(), [](double d) { return std::isfinite(d); });
}

}  // namespace

void RAS_RotatedBlit(RAS_IBitmap* dest, RAS_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                     float srcx, float srcy, float srcw, float srch, float angle,
                     bool cliptosourcerect, float alpha, int mode, float centerx, float centery) {
  if (!dest || !src || dstw == 0 || dsth == 0) return;
  if (!AllFinite({srcx, srcy, srcw, srch, angle, centerx, centery})) return;
  const double c = std::cos(double(angle)), s = std::sin(double(angle));
  long long dx = dstx, dy = dsty, w = dstw, h = dsth;
  double sx = srcx, sy = srcy, sw = srcw, sh = srch;
  if (w < 0) dx += w, w = -w, sx += sw, sw = -sw;
  if (h < 0) dy += h, h = -h, sy += sh, sh = -sh;
  Mapping m;
  m.cx = c * sw / w, m.cy = -s * sh / h;
  m.rx = s * sw / w, m.ry = c * sh / h;
  m.c2x = m.c2y = 0;
  // Pixel centres map onto pixel centres: the destination rectangle's centre lands on the
  // source rectangle's centre (plus the offset), so a quarter turn of a square image is an
  // exact permutation of its pixels. Bilinear samples are taken half a pixel up and left,
  // where the four neighbours' centres surround the point.
  const double half = (mode & 0xff00) == BLIT_FLAG_FILTER ? 0.5 : 0.0;
  m.sx = sx + sw / 2 + centerx + (0.5 - w / 2.0) * m.cx + (0.5 - h / 2.0) * m.rx - half;
  m.sy = sy + sh / 2 + centery + (0.5 - w / 2.0) * m.cy + (0.5 - h / 2.0) * m.ry - half;
  Draw(dest, src, dx, dy, w, h, srcx, srcy, srcw, srch, cliptosourcerect, m, alpha, mode, false);
}

void RAS_DeltaBlit(RAS_IBitmap* dest, RAS_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                   float srcx, float srcy, float srcw, float srch, double dsdx, double dtdx,
                   double dsdy, double dtdy, double dsdxdy, double dtdxdy, bool cliptosourcerect,
                   float alpha, int mode) {
  if (!dest || !src) return;
  Mapping m{srcx, srcy, dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy};
  Draw(dest, src, dstx, dsty, dstw, dsth, srcx, srcy, srcw, srch, cliptosourcerect, m, alpha, mode,
       false);
}

void RAS_DeltaBlitAlpha(RAS_IBitmap* dest, RAS_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                        float srcx, float srcy, float srcw, float srch, double dsdx, double dtdx,
                        double dsdy, double dtdy, double dsdxdy, double dtdxdy,
                        bool cliptosourcerect, double a, double dadx, double dady, double dadxdy,
                        int mode) {
  if (!dest || !src) return;
  Mapping m{srcx, srcy, dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy};
  // Alphas are fractions of the full weight: 1.0 is weight 256, held with 8 more bits.
  m.a = a * 65536, m.ca = dadx * 65536, m.ra = dady * 65536, m.c2a = dadxdy * 65536;
  Draw(dest, src, dstx, dsty, dstw, dsth, srcx, srcy, srcw, srch, cliptosourcerect, m, 1.0f, mode,
       true);
}

void RAS_TransformBlit(RAS_IBitmap* dest, RAS_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                       const float* srcpoints, int cols, int rows, float alpha, int mode) {
  TransformGrid(dest, src, dstx, dsty, dstw, dsth, srcpoints, cols, rows, 2, alpha, mode);
}

void RAS_TransformBlit2(RAS_IBitmap* dest, RAS_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                        const double* srcpoints, int cols, int rows, float alpha, int mode) {
  TransformGrid(dest, src, dstx, dsty, dstw, dsth, srcpoints, cols, rows, 2, alpha, mode);
}

void RAS_TransformBlit2Alpha(RAS_IBitmap* dest, RAS_IBitmap* src, int dstx, int dsty, int dstw,
                             int dsth, const double* srcpoints, int cols, int rows, int mode) {
  TransformGrid(dest, src, dstx, dsty, dstw, dsth, srcpoints, cols, rows, 3, 1.0f, mode);
}
