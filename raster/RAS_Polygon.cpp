// Trapezoid scan filling, and convex polygons split into trapezoid bands.

#include "raster/RAS_Polygon.h"

#include <algorithm>
#include <vector>

#include "raster/RAS_ShapeKit.h"

using namespace ras_shape;

namespace {

constexpr long long kMaxEdgeStep = 1LL << 29;

long long EdgeStep(int xTop, int xBottom, int yTop, int yBottom) {
  if (yBottom == yTop) return 0;
  const long long step = ((long long)xBottom - xTop) * 65536 / ((long long)yBottom - yTop);
  return std::clamp(step, -kMaxEdgeStep, kMaxEdgeStep);
}

template <class Put>
void ScanRows(const Surface& s, int xl1, int xr1, int y1, int xl2, int xr2, int y2,
              bool includeBottom, Put put) {
  if (y1 > y2) std::swap(xl1, xl2), std::swap(xr1, xr2), std::swap(y1, y2);
  const int minX = std::min({xl1, xr1, xl2, xr2}), maxX = std::max({xl1, xr1, xl2, xr2});
  if (maxX < 0 || minX >= s.w || y2 < 0 || y1 >= s.h) return;
  const long long stepL = EdgeStep(xl1, xl2, y1, y2), stepR = EdgeStep(xr1, xr2, y1, y2);
  long long left = (long long)xl1 << 16, right = (long long)xr1 << 16;
  long long y = y1;
  if (y < 0) left += stepL * -y, right += stepR * -y, y = 0;
  const long long last = std::min<long long>(includeBottom ? y2 : (long long)y2 - 1, s.h - 1);
  for (; y <= last; ++y, left += stepL, right += stepR) {
    const long long l = std::max<long long>(left >> 16, 0);
    const long long r = std::min<long long>(right >> 16, s.w - 1);
    if (l <= r) put(s.Row(int(y)) + l, int(r - l + 1));
  }
}

// Copy mode at the four quarter weights uses the whole-word rules; anything else the
// combiner of the weight with the colour's channels.
void FillBand(const Surface& s, int xl1, int xr1, int y1, int xl2, int xr2, int y2,
              bool includeBottom, RAS_pixel color, float alpha, int mode) {
  const int weight = RAS_WeightFromAlpha(alpha);
  if ((mode & BLIT_MODE_MASK) == BLIT_COPY) {
    const RAS_pixel h = RAS_HalfWord(color), q = RAS_QuarterWord(color);
    auto words = [&](auto op, RAS_pixel value) {
      ScanRows(s, xl1, xr1, y1, xl2, xr2, y2, includeBottom, [&](RAS_pixel* p, int n) {
        for (int i = 0; i < n; ++i) op(p + i, value);
      });
    };
    switch (weight) {
      case 256:
        return words(_RAS_CombinePixelsClobberFAST::doPix, color);
      case 128:
        return words(_RAS_CombinePixelsHalfMix2FAST::doPix, h);
      case 64:
        return words(_RAS_CombinePixelsQuarterMix2FAST::doPix, q);
      case 192:
        return words(_RAS_CombinePixelsThreeQuarterMix2FAST::doPix, h + q);
    }
  }
  const Ink ink(color);
  WithBlendCombiner(mode, weight, [&](auto tag) {
    using C = typename decltype(tag)::type;
    ScanRows(s, xl1, xr1, y1, xl2, xr2, y2, includeBottom, [&](RAS_pixel* p, int n) {
      for (int i = 0; i < n; ++i) Plot<C>(p + i, ink, weight);
    });
  });
}

struct Vertex {
  int x, y;
};

// The next vertex of a chain: among the later vertices on another row, the one with the
// smallest slope (left chain) or the largest (right chain); a later one wins a tie.
int NextVertex(const Vertex* v, int n, int from, bool leftChain) {
  int best = -1;
  double bestSlope = 0;
  for (int j = from + 1; j < n; ++j) {
    if (v[j].y == v[from].y) continue;
    const double slope = (double(v[j].x) - v[from].x) / (double(v[j].y) - v[from].y);
    if (best < 0 || (leftChain ? slope <= bestSlope : slope >= bestSlope)) {
      best = j;
      bestSlope = slope;
    }
  }
  return best;
}

int ChainX(const Vertex& a, const Vertex& b, int y) {
  return ToIntTrunc(float(a.x) + (float(b.x) - float(a.x)) * (float(y) - float(a.y)) /
                                     (float(b.y) - float(a.y)));
}

}  // namespace

void RAS_FillTrapezoid(RAS_IBitmap* bm, int x1a, int x1b, int y1, int x2a, int x2b, int y2,
                       RAS_pixel color, float alpha, int mode) {
  Surface s;
  if (!s.Open(bm)) return;
  FillBand(s, x1a, x1b, y1, x2a, x2b, y2, true, color, alpha, mode);
}

void RAS_FillConvexPolygon(RAS_IBitmap* bm, const int* x, const int* y, int npoints,
                           RAS_pixel color, float alpha, int mode) {
  Surface s;
  if (!s.Open(bm) || !x || !y || npoints < 3) return;
  constexpr int kOnStack = 512;
  Vertex stackCopy[kOnStack];
  std::vector<Vertex> heapCopy;
  Vertex* v = stackCopy;
  if (npoints > kOnStack) {
    heapCopy.resize(npoints);
    v = heapCopy.data();
  }
  for (int i = 0; i < npoints; ++i) v[i] = {x[i], y[i]};
  std::sort(v, v + npoints,
            [](const Vertex& a, const Vertex& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });

  int left = 0, right = 0;
  while (right + 1 < npoints && v[right + 1].y == v[0].y) ++right;
  int nextLeft = NextVertex(v, npoints, left, true);
  int nextRight = NextVertex(v, npoints, right, false);
  int level = v[0].y;
  // Bands share their boundary rows; each band leaves its bottom row to the next one so
  // that no row is drawn twice, and the last band draws it.
  int lastL = 0, lastR = 0;
  bool drew = false;
  while (nextLeft >= 0 && nextRight >= 0) {
    const int bottom = std::min(v[nextLeft].y, v[nextRight].y);
    const Vertex &l0 = v[left], &l1 = v[nextLeft], &r0 = v[right], &r1 = v[nextRight];
    lastL = ChainX(l0, l1, bottom), lastR = ChainX(r0, r1, bottom);
    FillBand(s, ChainX(l0, l1, level), ChainX(r0, r1, level), level, lastL, lastR, bottom, false,
             color, alpha, mode);
    drew = true;
    level = bottom;
    if (v[nextLeft].y == bottom) left = nextLeft, nextLeft = NextVertex(v, npoints, left, true);
    if (v[nextRight].y == bottom)
      right = nextRight, nextRight = NextVertex(v, npoints, right, false);
  }
  if (drew) FillBand(s, lastL, lastR, level, lastL, lastR, level, true, color, alpha, mode);
}

void RAS_FillTriangle(RAS_IBitmap* bm, int x1, int y1, int x2, int y2, int x3, int y3,
                      RAS_pixel color, float alpha, int mode) {
  const int x[3] = {x1, x2, x3}, y[3] = {y1, y2, y3};
  RAS_FillConvexPolygon(bm, x, y, 3, color, alpha, mode);
}
