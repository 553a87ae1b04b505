// Scaled blits: set-up in floating point once per call, then 16.16 stepping per pixel with
// the combiner as a template parameter of each loop.

#include "raster/RAS_ScaledBlit.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "raster/RAS_Blit.h"
#include "raster/RAS_ShapeKit.h"
#include "raster/RAS_VectorRows.h"

using namespace ras_shape;

namespace {

long long CeilDiv(long long a, long long b) { return a / b + ((a % b) != 0 && a > 0); }

// The indices i in [0, n) whose position start + i * step lies in [lo, hi).
void StepRange(long long start, long long step, long long lo, long long hi, long long n,
               long long* first, long long* end) {
  long long f, e;
  if (step == 0) {
    f = 0, e = (start >= lo && start < hi) ? n : 0;
  } else if (step > 0) {
    f = start >= lo ? 0 : CeilDiv(lo - start, step);
    e = start >= hi ? 0 : CeilDiv(hi - start, step);
  } else {
    f = start < hi ? 0 : (start - hi) / -step + 1;
    e = start < lo ? 0 : (start - lo) / -step + 1;
  }
  f = std::clamp(f, 0LL, n), e = std::clamp(e, 0LL, n);
  *first = f, *end = std::max(e, f);
}

struct Scale {
  Surface dst, src;
  int dx, dy;                // destination position of index (0, 0)
  long long i0, i1, j0, j1;  // visible columns and rows
  long long sx, xstep, sy, ystep;
  long long right, bottom;  // sampling bounds in source pixels
};

template <class C, class Sample>
void ScaleLoop(const Scale& k, int weight, Sample sample) {
  for (long long j = k.j0; j < k.j1; ++j) {
    const long long row = (k.sy + j * k.ystep) >> 16;
    const unsigned fy = unsigned((k.sy + j * k.ystep) & 0xffff);
    RAS_pixel* d = k.dst.At(int(k.dx + k.i0), int(k.dy + j));
    long long pos = k.sx + k.i0 * k.xstep;
    for (long long i = k.i0; i < k.i1; ++i, ++d, pos += k.xstep)
      PlotWord<C>(d, sample(pos >> 16, unsigned(pos & 0xffff), row, fy), weight);
  }
}

template <class C>
void ScaleNearest(const Scale& k, int weight) {
  ScaleLoop<C>(k, weight, [&](long long col, unsigned, long long row, unsigned) {
    return *k.src.At(int(col), int(row));
  });
}

// Rows are fetched once per destination row; on the last source row and column the missing
// neighbour is the pixel itself with a zero fraction, which mixes in one direction only.
// Runs of samples are mixed by the vector rows, straight into the destination where the
// rule is a plain store: when scaling up, by the source columns under the run; otherwise
// from each sample's four neighbours gathered side by side. A bitmap scaled onto itself is
// mixed sample by sample, so that later samples see earlier results.
template <class C>
void ScaleBilinear(const Scale& k, int weight) {
  constexpr int kRun = 64;
  constexpr bool kStore = std::is_same_v<C, _RAS_CombinePixelsClobberNoClamp>;
  const bool onItself = k.dst.row0 == k.src.row0;
  // A run at no more than one source column per sample spans at most kRun + 1 columns.
  const bool byColumns = !onItself && std::llabs(k.xstep) <= 65536;
  RAS_pixel p00[kRun], p10[kRun], p01[kRun], p11[kRun], mixed[kRun];
  unsigned short fxs[kRun], fys[kRun];
  // The columns and fractions of a run are the same on every row: rows up to kCached
  // samples wide work them out once.
  constexpr int kCached = 1024;
  const bool cached = byColumns && k.i1 - k.i0 <= kCached;
  int cols[kCached];
  unsigned short colFx[kCached];
  long long lefts[kCached / kRun], rights[kCached / kRun];
  alignas(16) int sumsA[4 * (kRun + 2)];
  alignas(16) short sumsE[8 * (kRun + 2)];
  for (long long j = k.j0; j < k.j1; ++j) {
    const long long posY = k.sy + j * k.ystep;
    const long long row = posY >> 16;
    const bool lastRow = row + 1 >= k.bottom;
    const unsigned fy = lastRow ? 0 : unsigned(posY & 0xffff);
    std::fill_n(fys, kRun, (unsigned short)fy);
    const RAS_pixel* r0 = k.src.Row(int(row));
    const RAS_pixel* r1 = lastRow ? r0 : r0 + k.src.step;
    RAS_pixel* d = k.dst.At(int(k.dx + k.i0), int(k.dy + j));
    long long pos = k.sx + k.i0 * k.xstep;
    for (long long i = k.i0; i < k.i1;) {
      const int n = onItself ? 1 : int(std::min<long long>(kRun, k.i1 - i));
      RAS_pixel* out = kStore ? d : mixed;
      if (byColumns) {
        const int run = cached ? int(i - k.i0) : 0;
        int* c = cols + run;
        unsigned short* f = colFx + run;
        if (!cached || j == k.j0) {
          const long long first = pos >> 16, last = (pos + (n - 1) * k.xstep) >> 16;
          lefts[run / kRun] = std::min(first, last), rights[run / kRun] = std::max(first, last);
          for (int t = 0; t < n; ++t, pos += k.xstep) {
            const long long col = pos >> 16;
            c[t] = int(col - lefts[run / kRun]);
            f[t] = col + 1 >= k.right ? 0 : (unsigned short)(pos & 0xffff);
          }
        }
        const long long left = lefts[run / kRun], right = rights[run / kRun];
        RAS_Vector->scaleRun(out, r0 + left, r1 + left, int(right - left + 1), right + 1 >= k.right,
                             c, f, fy, n, sumsA, sumsE);
      } else {
        for (int t = 0; t < n; ++t, pos += k.xstep) {
          const long long col = pos >> 16;
          const bool lastCol = col + 1 >= k.right;
          const long long next = lastCol ? col : col + 1;
          fxs[t] = lastCol ? 0 : (unsigned short)(pos & 0xffff);
          p00[t] = r0[col], p10[t] = r0[next], p01[t] = r1[col], p11[t] = r1[next];
        }
        int t = RAS_Vector->mix4(out, p00, p10, p01, p11, fxs, fys, n);
        for (; t < n; ++t) out[t] = Mix4(p00[t], p10[t], p01[t], p11[t], fxs[t], fys[t]);
      }
      if constexpr (!kStore)
        for (int t = 0; t < n; ++t) PlotWord<C>(d + t, mixed[t], weight);
      d += n, i += n;
    }
  }
}

// Shrinking: a box of (2 radius + 1) squared source pixels around each sample, leaving out
// pixels beyond the sampling bounds. Every window weight saturates, so it is a plain average.
template <class C>
void ScaleFilterDown(const Scale& k, int weight, int radius) {
  ScaleLoop<C>(k, weight, [&](long long col, unsigned, long long row, unsigned) {
    unsigned sum[4] = {0, 0, 0, 0}, count = 0;
    const long long y0 = std::max(row - radius, 0LL), y1 = std::min(row + radius, k.bottom - 1);
    const long long x0 = std::max(col - radius, 0LL), x1 = std::min(col + radius, k.right - 1);
    for (long long y = y0; y <= y1; ++y) {
      const RAS_pixel* p = k.src.At(0, int(y));
      for (long long x = x0; x <= x1; ++x, ++count)
        for (int c = 0; c < 4; ++c) sum[c] += (p[x] >> (8 * c)) & 0xff;
    }
    RAS_pixel out = 0;
    for (int c = 0; c < 4; ++c) out |= (sum[c] / count) << (8 * c);
    return out;
  });
}

// Plain copies at the two common alphas move whole words. Kept out of line: inlined into the
// set-up below, the word loop compiles a third slower.
[[gnu::noinline]] void ScaleWords(const Scale& k, bool halfMix) {
  for (long long j = k.j0; j < k.j1; ++j) {
    const RAS_pixel* s = k.src.Row(int((k.sy + j * k.ystep) >> 16));
    RAS_pixel* d = k.dst.At(int(k.dx + k.i0), int(k.dy + j));
    long long pos = k.sx + k.i0 * k.xstep;
    if (halfMix)
      for (long long i = k.i0; i < k.i1; ++i, ++d, pos += k.xstep)
        _RAS_CombinePixelsHalfMixFAST::doPix(d, s[pos >> 16]);
    else
      for (long long i = k.i0; i < k.i1; ++i, ++d, pos += k.xstep) *d = s[pos >> 16];
  }
}

bool InRange(double v, double limit) { return std::isfinite(v) && std::fabs(v) <= limit; }

}  // namespace

void RAS_ScaledBlit(RAS_IBitmap* dest, RAS_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                    float srcx, float srcy, float srcw, float srch, float alpha, int mode) {
  if (!dest || !src || dstw == 0 || dsth == 0 || alpha == 0) return;
  if (!InRange(srcx, kMaxPosition) || !InRange(srcy, kMaxPosition) ||
      !InRange(srcw, kMaxPosition) || !InRange(srch, kMaxPosition))
    return;
  const bool filter = (mode & 0xff00) == BLIT_FLAG_FILTER;

  // Same size: an ordinary blit, unless filtering from a position between pixels.
  if (dstw > 0 && dsth > 0 && std::fabs(srcw - dstw) < 0.001 && std::fabs(srch - dsth) < 0.001) {
    const double nx = std::floor(srcx + 0.5), ny = std::floor(srcy + 0.5);
    if (!filter || (std::fabs(srcx - nx) < 0.03 && std::fabs(srcy - ny) < 0.03)) {
      RAS_Blit(dest, src, dstx, dsty, int(nx), int(ny), dstw, dsth, alpha, mode);
      return;
    }
  }

  Scale k;
  if (!k.dst.Open(dest) || !k.src.Open(src)) return;
  long long dx = dstx, dy = dsty, w = dstw, h = dsth;
  double sx = srcx, sy = srcy, sw = srcw, sh = srch;
  // Mirroring: walk the source backwards from its far edge. The first sample sits one step
  // in from that edge, the reflection of the forward walk, so that every source column
  // shows and none is sampled beyond the rectangle.
  if (w < 0) dx += w, w = -w, sx += sw, sw = -sw, sx += sw / w;
  if (h < 0) dy += h, h = -h, sy += sh, sh = -sh, sy += sh / h;
  const double xs = sw / double(w), ys = sh / double(h);
  if (!InRange(xs, kMaxIncrement) || !InRange(ys, kMaxIncrement)) return;
  if (dx < 0) sx -= dx * xs, w += dx, dx = 0;
  if (dy < 0) sy -= dy * ys, h += dy, dy = 0;
  if (w <= 0 || h <= 0 || dx >= k.dst.w || dy >= k.dst.h) return;
  w = std::min<long long>(w, k.dst.w - dx), h = std::min<long long>(h, k.dst.h - dy);
  if (!InRange(sx, kMaxPosition) || !InRange(sy, kMaxPosition)) return;

  k.right =
      std::min<long long>(ToIntTrunc(std::max(0.0f, srcw) + double(srcx) + 0.999999), k.src.w);
  k.bottom =
      std::min<long long>(ToIntTrunc(std::max(0.0f, srch) + double(srcy) + 0.999999), k.src.h);
  if (k.right <= 0 || k.bottom <= 0) return;
  k.dx = int(dx), k.dy = int(dy);
  k.sx = ToFixed(sx), k.sy = ToFixed(sy), k.xstep = ToFixed(xs), k.ystep = ToFixed(ys);
  // Samples outside [0, right) x [0, bottom) leave their destination pixels alone.
  StepRange(k.sx, k.xstep, 0, k.right << 16, w, &k.i0, &k.i1);
  StepRange(k.sy, k.ystep, 0, k.bottom << 16, h, &k.j0, &k.j1);
  if (k.i0 >= k.i1 || k.j0 >= k.j1) return;

  const int weight = RAS_WeightFromAlpha(alpha);
  if ((mode & 0x1ffff) == 0 && (weight == 256 || weight == 128)) {
    ScaleWords(k, weight == 128);
    return;
  }
  const bool down = filter && std::fabs(xs) >= 1.7 && std::fabs(ys) >= 1.7;
  const int radius = std::max(std::llabs(k.xstep), std::llabs(k.ystep)) <= 0x30000 ? 1 : 2;
  WithBlitCombiner(mode, weight, [&](auto tag) {
    using C = typename decltype(tag)::type;
    if (down)
      ScaleFilterDown<C>(k, weight, radius);
    else if (filter)
      ScaleBilinear<C>(k, weight);
    else
      ScaleNearest<C>(k, weight);
  });
}
