// Bezier curves: the parameter range is limited to the part over the bitmap's columns, the
// curve is cut into pieces by control-polygon length, and the pieces are drawn as lines or
// filled as trapezoids toward a level.

#include "raster/RAS_Bezier.h"

#include <algorithm>
#include <cmath>

#include "raster/RAS_Line.h"
#include "raster/RAS_Polygon.h"
#include "raster/RAS_ShapeKit.h"

using namespace ras_shape;

namespace {

// More pieces than this cannot show on any bitmap; it also bounds the work for hostile input.
constexpr double kMaxPieces = 1 << 16;

struct Pt {
  double x, y;
};

// A curve in power basis: p(t) = ((a t + b) t + c) t + d per coordinate.
struct Curve {
  Pt a, b, c, d;
  Pt At(double t) const {
    return {((a.x * t + b.x) * t + c.x) * t + d.x, ((a.y * t + b.y) * t + c.y) * t + d.y};
  }
};

Curve Cubic(Pt p0, Pt p1, Pt p2, Pt p3) {
  Curve k;
  k.c = {3 * (p1.x - p0.x), 3 * (p1.y - p0.y)};
  k.b = {3 * (p2.x - p1.x) - k.c.x, 3 * (p2.y - p1.y) - k.c.y};
  k.a = {p3.x - p0.x - k.c.x - k.b.x, p3.y - p0.y - k.c.y - k.b.y};
  k.d = p0;
  return k;
}

Curve Quadratic(Pt p0, Pt p1, Pt p2) {
  Curve k;
  k.a = {0, 0};
  k.b = {p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y};
  k.c = {2 * (p1.x - p0.x), 2 * (p1.y - p0.y)};
  k.d = p0;
  return k;
}

double Dist(Pt a, Pt b) { return std::hypot(b.x - a.x, b.y - a.y); }

// Where x(t) first reaches lo and where it last stays at or below hi, found by sampling and
// bisection; false when the curve never lies over [lo, hi].
bool ParameterRange(const Curve& k, double lo, double hi, double* t0, double* t1) {
  constexpr int kSamples = 64;
  auto inside = [&](double t) {
    const double x = k.At(t).x;
    return x >= lo && x <= hi;
  };
  auto refine = [&](double out, double in) {
    for (int i = 0; i < 40; ++i) {
      const double mid = (out + in) / 2;
      (inside(mid) ? in : out) = mid;
    }
    return in;
  };
  int first = -1, last = -1;
  for (int i = 0; i <= kSamples; ++i)
    if (inside(double(i) / kSamples)) {
      if (first < 0) first = i;
      last = i;
    }
  if (first < 0) return false;
  *t0 = first == 0 ? 0.0 : refine(double(first - 1) / kSamples, double(first) / kSamples);
  *t1 = last == kSamples ? 1.0 : refine(double(last + 1) / kSamples, double(last) / kSamples);
  return true;
}

int PieceCount(double span, double length, float maxSeg) {
  const double seg = maxSeg > 0 ? double(maxSeg) : 1.0;
  const double n = span * length / seg;
  if (!(n >= 1)) return 1;
  return int(std::min(n, kMaxPieces));
}

bool AllFinite(std::initializer_list<float> v) {
  return std::all_of(v.begin(), v.end(), [](float f) { return std::isfinite(f); });
}

template <class Piece>
void Flatten(const Curve& k, double t0, double t1, int n, Piece piece) {
  Pt prev = k.At(t0);
  for (int i = 1; i <= n; ++i) {
    const Pt next = k.At(t0 + (t1 - t0) * i / n);
    piece(prev, next);
    prev = next;
  }
}

// Fills between the flattened curve and a level, piece by piece, in axis space: u walks
// along the curve's main direction, v runs toward the level (swap exchanges x and y, so the
// same code serves the sideways fill). Each piece owns the columns after its first one; the
// first belongs to the piece before, which ended there, so no column is drawn twice.
struct LevelFill {
  RAS_IBitmap* bm;
  int level;
  bool swap;
  RAS_pixel color;
  float alpha;
  int mode;

  void Column(int u, int from, int to) const {
    if (swap)
      RAS_Line(bm, from, u, to, u, color, alpha, mode, false);
    else
      RAS_Line(bm, u, from, u, to, color, alpha, mode, false);
  }

  void Polygon(std::initializer_list<std::pair<int, int>> pts) const {
    int xs[4], ys[4], n = 0;
    for (auto [u, v] : pts) {
      if (n > 0 && u == (swap ? ys[n - 1] : xs[n - 1]) && v == (swap ? xs[n - 1] : ys[n - 1]))
        continue;  // a corner on the level repeats its neighbour
      xs[n] = swap ? v : u, ys[n] = swap ? u : v;
      ++n;
    }
    RAS_FillConvexPolygon(bm, xs, ys, n, color, alpha, mode);
  }

  // a + trunc(offset) for a result that lies between two ints: computed in double, since the
  // differences of far-apart coordinates do not fit an int.
  static int Offset(int a, double offset) { return ToIntTrunc(double(a) + std::trunc(offset)); }

  void Piece(int au, int av, int bu, int bv, bool ownsFirst) const {
    const int L = level;
    if (au == bu) {
      if (ownsFirst) {
        Column(au, std::abs(double(av) - L) >= std::abs(double(bv) - L) ? av : bv, L);
        return;
      }
      // The piece before drew this column from a to the level; add only what b reaches past.
      if (bv < std::min(av, L)) Column(au, bv, std::min(av, L) - 1);
      if (bv > std::max(av, L)) Column(au, std::max(av, L) + 1, bv);
      return;
    }
    if ((av < L && bv > L) || (av > L && bv < L)) {
      // Crossing the level: a triangle on each side, split at the crossing.
      const int cu = Offset(au, (double(bu) - au) * (double(L) - av) / (double(bv) - av));
      Piece(au, av, cu, L, ownsFirst);
      Piece(cu, L, bu, bv, false);
      return;
    }
    const int dir = bu > au ? 1 : -1;
    const int su = ownsFirst ? au : au + dir;
    if (su == bu) {
      Column(bu, bv, L);
      return;
    }
    const int sv = Offset(av, (double(bv) - av) * (double(su) - au) / (double(bu) - au));
    Polygon({{su, sv}, {bu, bv}, {bu, L}, {su, L}});
  }
};

void FillCubic(RAS_IBitmap* bm, Pt p0, Pt p1, Pt p2, Pt p3, int level, bool sideways,
               RAS_pixel color, float alpha, int mode, float maxSeg) {
  if (!RAS_HasPixels(bm)) return;
  if (p0.x > p3.x) std::swap(p0, p3), std::swap(p1, p2);
  const Curve k = Cubic(p0, p1, p2, p3);
  double t0 = 0, t1 = 1;
  // A fill toward a row only shows over the bitmap's columns; a sideways fill can reach in
  // from anywhere.
  if (!sideways && !ParameterRange(k, 0, bm->getWidth(), &t0, &t1)) return;
  const int n = PieceCount(t1 - t0, Dist(p0, p1) + Dist(p1, p2) + Dist(p2, p3), maxSeg);
  const LevelFill fill{bm, level, sideways, color, alpha, mode};
  bool first = true;
  Flatten(k, t0, t1, n, [&](Pt a, Pt b) {
    if (sideways) std::swap(a.x, a.y), std::swap(b.x, b.y);
    fill.Piece(ToIntTrunc(a.x), ToIntTrunc(a.y), ToIntTrunc(b.x), ToIntTrunc(b.y), first);
    first = false;
  });
}

}  // namespace

void RAS_DrawQBezier(RAS_IBitmap* bm, float xstart, float ystart, float xctl, float yctl,
                     float xend, float yend, RAS_pixel color, float alpha, int mode, bool aa,
                     float maxsegmentlength) {
  if (!RAS_HasPixels(bm) || !AllFinite({xstart, ystart, xctl, yctl, xend, yend})) return;
  Pt p0{xstart, ystart}, p1{xctl, yctl}, p2{xend, yend};
  if (p0.x > p2.x) std::swap(p0, p2);
  const Curve k = Quadratic(p0, p1, p2);
  double t0, t1;
  if (!ParameterRange(k, 0, bm->getWidth() - 1, &t0, &t1)) return;
  const int n = PieceCount(t1 - t0, Dist(p0, p1) + Dist(p1, p2), maxsegmentlength);
  Flatten(k, t0, t1, n, [&](Pt a, Pt b) {
    RAS_FLine(bm, float(a.x), float(a.y), float(b.x), float(b.y), color, alpha, mode, aa);
  });
}

void RAS_DrawCBezier(RAS_IBitmap* bm, float xstart, float ystart, float xctl1, float yctl1,
                     float xctl2, float yctl2, float xend, float yend, RAS_pixel color, float alpha,
                     int mode, bool aa, float maxsegmentlength) {
  if (!RAS_HasPixels(bm) ||
      !AllFinite({xstart, ystart, xctl1, yctl1, xctl2, yctl2, xend, yend, maxsegmentlength}))
    return;
  Pt p0{xstart, ystart}, p1{xctl1, yctl1}, p2{xctl2, yctl2}, p3{xend, yend};
  if (p0.x > p3.x) std::swap(p0, p3), std::swap(p1, p2);
  const Curve k = Cubic(p0, p1, p2, p3);
  double t0, t1;
  if (!ParameterRange(k, 0, bm->getWidth(), &t0, &t1)) return;
  const int n = PieceCount(t1 - t0, Dist(p0, p1) + Dist(p1, p2) + Dist(p2, p3), maxsegmentlength);
  Flatten(k, t0, t1, n, [&](Pt a, Pt b) {
    RAS_FLine(bm, float(a.x), float(a.y), float(b.x), float(b.y), color, alpha, mode, aa);
  });
}

void RAS_FillCBezier(RAS_IBitmap* bm, float xstart, float ystart, float xctl1, float yctl1,
                     float xctl2, float yctl2, float xend, float yend, int fillToY, RAS_pixel color,
                     float alpha, int mode, float maxsegmentlength) {
  if (!AllFinite({xstart, ystart, xctl1, yctl1, xctl2, yctl2, xend, yend, maxsegmentlength}))
    return;
  FillCubic(bm, {xstart, ystart}, {xctl1, yctl1}, {xctl2, yctl2}, {xend, yend}, fillToY, false,
            color, alpha, mode, maxsegmentlength);
}

void RAS_FillCBezierX(RAS_IBitmap* bm, float xstart, float ystart, float xctl1, float yctl1,
                      float xctl2, float yctl2, float xend, float yend, int fillToX,
                      RAS_pixel color, float alpha, int mode, float maxsegmentlength) {
  if (!AllFinite({xstart, ystart, xctl1, yctl1, xctl2, yctl2, xend, yend, maxsegmentlength}))
    return;
  FillCubic(bm, {xstart, ystart}, {xctl1, yctl1}, {xctl2, yctl2}, {xend, yend}, fillToX, true,
            color, alpha, mode, maxsegmentlength);
}
