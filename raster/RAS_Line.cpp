// Lines: clipping, horizontal and vertical runs, diagonals, and the general case drawn from
// both ends toward the middle (plain or with Wu-style coverage).

#include "raster/RAS_Line.h"

#include <cstdlib>
#include <utility>

#include "raster/RAS_LineClip.h"
#include "raster/RAS_ShapeKit.h"

using namespace ras_shape;

namespace {

// Copy mode at the four quarter alphas uses the whole-word rules; anything else the
// combiner of the weight. Runs along a row, a column or a diagonal alike.
void DrawRun(RAS_pixel* p, long stride, int n, const Ink& ink, float alpha, int weight, int mode,
             bool wordRules) {
  const RAS_pixel c = ink.word;
  if (wordRules && (mode & BLIT_MODE_MASK) == BLIT_COPY) {
    if (alpha == 1.0f) {
      for (int i = 0; i < n; ++i, p += stride) *p = c;
      return;
    }
    if (alpha == 0.75f) {
      const RAS_pixel tq = RAS_HalfWord(c) + RAS_QuarterWord(c);
      for (int i = 0; i < n; ++i, p += stride) _RAS_CombinePixelsThreeQuarterMix2FAST::doPix(p, tq);
      return;
    }
    if (alpha == 0.5f) {
      const RAS_pixel h = RAS_HalfWord(c);
      for (int i = 0; i < n; ++i, p += stride) _RAS_CombinePixelsHalfMix2FAST::doPix(p, h);
      return;
    }
    if (alpha == 0.25f) {
      const RAS_pixel q = RAS_QuarterWord(c);
      for (int i = 0; i < n; ++i, p += stride) _RAS_CombinePixelsQuarterMix2FAST::doPix(p, q);
      return;
    }
  }
  WithSolidCombiner(mode, weight, [&](auto tag) {
    using C = typename decltype(tag)::type;
    for (int i = 0; i < n; ++i, p += stride) Plot<C>(p, ink, weight);
  });
}

// Exact diagonal with coverage: the centre pixel at three quarters, the two pixels beside it
// (toward the line's direction) at a quarter each; the last centre pixel stands alone.
void DrawDiagonalAA(const Surface& s, int x, int y, int sx, int sy, int n, const Ink& ink,
                    float alpha, int weight, int mode) {
  if ((mode & BLIT_MODE_MASK) == BLIT_COPY && alpha == 1.0f) {
    const RAS_pixel tq = RAS_HalfWord(ink.word) + RAS_QuarterWord(ink.word);
    const RAS_pixel q = RAS_QuarterWord(ink.word);
    for (int i = 0; i <= n; ++i, x += sx, y += sy) {
      _RAS_CombinePixelsThreeQuarterMix2FAST::doPix(s.At(x, y), tq);
      if (i == n) break;
      _RAS_CombinePixelsQuarterMix2FAST::doPix(s.At(x + sx, y), q);
      _RAS_CombinePixelsQuarterMix2FAST::doPix(s.At(x, y + sy), q);
    }
    return;
  }
  const int centre = weight * 3 / 4, side = weight / 4;
  WithBlendCombiner(mode, weight, [&](auto tag) {
    using C = typename decltype(tag)::type;
    for (int i = 0; i <= n; ++i, x += sx, y += sy) {
      Plot<C>(s.At(x, y), ink, centre);
      if (i == n) break;
      Plot<C>(s.At(x + sx, y), ink, side);
      Plot<C>(s.At(x, y + sy), ink, side);
    }
  });
}

// How a sloped line walks the surface: n steps along its major axis, and a 16.16 fraction of
// a step along the minor axis with each of them.
struct LineSteps {
  int n, slope;
  long majorStep, minorStep;

  LineSteps(const Surface& s, int dx, int dy) {
    const bool xMajor = std::abs(dx) > std::abs(dy);
    n = xMajor ? std::abs(dx) : std::abs(dy);
    const int minor = xMajor ? std::abs(dy) : std::abs(dx);
    const long sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -s.step : s.step;
    majorStep = xMajor ? sx : sy;
    minorStep = xMajor ? sy : sx;
    slope = int(((long long)minor << 16) / n);
  }
};

// Plain line of any slope: both ends step toward the middle with a shared error term, so the
// line is the same whichever end it is given from.
template <class C>
void DrawGeneral(const Surface& s, int x1, int y1, int x2, int y2, const Ink& ink, int weight) {
  const LineSteps steps(s, x2 - x1, y2 - y1);
  const int n = steps.n, slope = steps.slope;
  const long majorStep = steps.majorStep, minorStep = steps.minorStep;
  RAS_pixel* a = s.At(x1, y1);
  RAS_pixel* b = s.At(x2, y2);
  int err = 0;
  for (int i = (n + 1) / 2; i > 0; --i) {
    Plot<C>(a, ink, weight);
    Plot<C>(b, ink, weight);
    a += majorStep;
    b -= majorStep;
    if (err + slope >= 0x8000) {
      a += minorStep;
      b -= minorStep;
      err += slope - 0x10000;
    } else {
      err += slope;
    }
  }
  if ((n & 1) == 0) Plot<C>(a, ink, weight);
}

// Wu-style line: the ends at full weight, every other step splits the weight between the
// pixel on the line and its neighbour along the minor axis by the fractional position.
template <class C>
void DrawGeneralAA(const Surface& s, int x1, int y1, int x2, int y2, const Ink& ink, int weight) {
  const LineSteps steps(s, x2 - x1, y2 - y1);
  const int n = steps.n, slope = steps.slope;
  const long majorStep = steps.majorStep, minorStep = steps.minorStep;
  RAS_pixel* a = s.At(x1, y1);
  RAS_pixel* b = s.At(x2, y2);
  Plot<C>(a, ink, weight);
  Plot<C>(b, ink, weight);
  int f = slope;
  auto step = [&](RAS_pixel* main, long toward) {
    const int cover = f >> 8;
    Plot<C>(main, ink, ((255 - cover) * weight) >> 8);
    Plot<C>(main + toward, ink, (weight * cover) >> 8);
  };
  for (int i = (n - 1) / 2; i > 0; --i) {
    a += majorStep;
    b -= majorStep;
    step(a, minorStep);
    step(b, -minorStep);
    if (f + slope >= 0x10000) {
      a += minorStep;
      b -= minorStep;
      f += slope - 0x10000;
    } else {
      f += slope;
    }
  }
  if ((n & 1) == 0) step(a + majorStep, minorStep);
}

void DrawClippedLine(const Surface& s, int x1, int y1, int x2, int y2, const Ink& ink, float alpha,
                     int mode, bool aa) {
  const int weight = RAS_WeightFromAlpha(alpha);
  if (y1 == y2) {
    if (x1 > x2) std::swap(x1, x2);
    DrawRun(s.At(x1, y1), 1, x2 - x1 + 1, ink, alpha, weight, mode, true);
    return;
  }
  if (x1 == x2) {
    if (y1 > y2) std::swap(y1, y2);
    DrawRun(s.At(x1, y1), s.step, y2 - y1 + 1, ink, alpha, weight, mode, true);
    return;
  }
  const int dx = x2 - x1, dy = y2 - y1;
  if (std::abs(dx) == std::abs(dy)) {
    const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    if (aa)
      DrawDiagonalAA(s, x1, y1, sx, sy, std::abs(dx), ink, alpha, weight, mode);
    else
      DrawRun(s.At(x1, y1), sx + sy * s.step, std::abs(dx) + 1, ink, alpha, weight, mode, false);
    return;
  }
  if (aa)
    WithBlendCombiner(mode, weight, [&](auto tag) {
      DrawGeneralAA<typename decltype(tag)::type>(s, x1, y1, x2, y2, ink, weight);
    });
  else
    WithSolidCombiner(mode, weight, [&](auto tag) {
      DrawGeneral<typename decltype(tag)::type>(s, x1, y1, x2, y2, ink, weight);
    });
}

}  // namespace

void RAS_Line(RAS_IBitmap* bm, int x1, int y1, int x2, int y2, RAS_pixel color, float alpha,
              int mode, bool aa) {
  Surface s;
  if (!s.Open(bm)) return;
  long long a = x1, b = y1, c = x2, d = y2;
  if (!ras_shape::ClipSegment(a, b, c, d, s.w, s.h)) return;
  DrawClippedLine(s, int(a), int(b), int(c), int(d), Ink(color), alpha, mode, aa);
}

void RAS_FLine(RAS_IBitmap* bm, float x1, float y1, float x2, float y2, RAS_pixel color,
               float alpha, int mode, bool aa) {
  if (!Finite(x1) || !Finite(y1) || !Finite(x2) || !Finite(y2)) return;
  if (!aa) {
    RAS_Line(bm, ToIntTrunc(x1), ToIntTrunc(y1), ToIntTrunc(x2), ToIntTrunc(y2), color, alpha, mode,
             false);
    return;
  }
  Surface s;
  if (!s.Open(bm)) return;
  double a = x1, b = y1, c = x2, d = y2;
  if (!ras_shape::ClipSegmentF(a, b, c, d, s.w, s.h)) return;
  const double ex = c - a, ey = d - b;
  if (ex == 0 && ey == 0) return;
  const Ink ink(color);
  const int weight = RAS_WeightFromAlpha(alpha);
  const bool xMajor = std::fabs(ex) >= std::fabs(ey);
  // Walk along the major axis from the smaller end; major/minor name the two coordinates.
  double m0 = xMajor ? a : b, n0 = xMajor ? b : a, m1 = xMajor ? c : d, n1 = xMajor ? d : c;
  if (m0 > m1) std::swap(m0, m1), std::swap(n0, n1);
  const double slope = (n1 - n0) / (m1 - m0);
  const int first = int(std::ceil(m0)), last = int(std::floor(m1));
  if (first > last) return;
  long long pos = ToFixed(n0 + (first - m0) * slope);
  const long long inc = ToFixed(slope);
  WithBlendCombiner(mode, weight, [&](auto tag) {
    using C = typename decltype(tag)::type;
    for (int m = first; m <= last; ++m, pos += inc) {
      const int lo = int(pos >> 16), cover = int((pos & 0xffff) >> 8);
      const int px = xMajor ? m : lo, py = xMajor ? lo : m;
      if (s.Inside(px, py)) Plot<C>(s.At(px, py), ink, ((255 - cover) * weight) >> 8);
      const int qx = xMajor ? m : lo + 1, qy = xMajor ? lo + 1 : m;
      if (cover && s.Inside(qx, qy)) Plot<C>(s.At(qx, qy), ink, (weight * cover) >> 8);
    }
  });
}

void RAS_DashedLine(RAS_IBitmap* bm, int x1, int y1, int x2, int y2, int pixelsOn, int pixelsOff,
                    RAS_pixel color, float alpha, int mode, bool) {
  Surface s;
  if (!s.Open(bm) || pixelsOn <= 0) return;
  long long a = x1, b = y1, c = x2, d = y2;
  if (!ras_shape::ClipSegment(a, b, c, d, s.w, s.h)) return;
  long stride;
  int from, to;
  RAS_pixel* origin;
  if (b == d) {
    from = int(std::min(a, c)), to = int(std::max(a, c));
    origin = s.At(0, int(b)), stride = 1;
  } else if (a == c) {
    from = int(std::min(b, d)), to = int(std::max(b, d));
    origin = s.At(int(a), 0), stride = s.step;
  } else {
    return;
  }
  const Ink ink(color);
  const int weight = RAS_WeightFromAlpha(alpha);
  const long long period = (long long)pixelsOn + (pixelsOff > 0 ? pixelsOff : 0);
  WithSolidCombiner(mode, weight, [&](auto tag) {
    using C = typename decltype(tag)::type;
    for (long long run = from; run < to; run += period) {
      const long long end = std::min<long long>(run + pixelsOn, to);
      for (long long i = run; i < end; ++i) Plot<C>(origin + stride * i, ink, weight);
    }
  });
}

bool RAS_ClipLine(int* x1, int* y1, int* x2, int* y2, int left, int top, int right, int bottom) {
  if (!x1 || !y1 || !x2 || !y2) return false;
  long long a = (long long)*x1 - left, b = (long long)*y1 - top;
  long long c = (long long)*x2 - left, d = (long long)*y2 - top;
  const bool kept =
      ras_shape::ClipSegment(a, b, c, d, (long long)right - left, (long long)bottom - top);
  // Moved points lie inside the rectangle; untouched ones keep their values.
  *x1 = int(a + left), *y1 = int(b + top), *x2 = int(c + left), *y2 = int(d + top);
  return kept;
}

bool RAS_ClipFLine(float* x1, float* y1, float* x2, float* y2, float left, float top, float right,
                   float bottom) {
  if (!x1 || !y1 || !x2 || !y2) return false;
  double a = double(*x1) - left, b = double(*y1) - top;
  double c = double(*x2) - left, d = double(*y2) - top;
  const bool kept = ras_shape::ClipSegmentF(a, b, c, d, double(right) - left, double(bottom) - top);
  *x1 = float(a + left), *y1 = float(b + top), *x2 = float(c + left), *y2 = float(d + top);
  return kept;
}
