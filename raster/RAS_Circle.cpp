// Circles: fixed stamps for the smallest radii, the midpoint circle, a coverage circle, their
// filled forms, and arcs drawn as circles clipped to one box per quarter.

#include "raster/RAS_Circle.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "raster/RAS_Glyph.h"
#include "raster/RAS_ShapeKit.h"

using namespace ras_shape;

namespace {

// Beyond this radius the outline walk would take too long to be of use to anybody; such
// circles draw nothing.
constexpr double kMaxRadius = 1 << 20;

// Upper rows of the symmetric stamps (the lower rows mirror them).
struct StampRows {
  float radius;
  int size;
  const unsigned char* hard;
  const unsigned char* graded;
};

constexpr unsigned char kHard15[] = {0, 255, 255, 0, 255, 0, 0, 255};
constexpr unsigned char kGraded15[] = {79, 255, 255, 79, 255, 15, 15, 255};
constexpr unsigned char kHard2[] = {0, 0, 255, 0, 0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 255};
constexpr unsigned char kGraded2[] = {15,  191, 255, 191, 15, 191, 209, 79,
                                      209, 191, 255, 79,  0,  79,  255};
constexpr unsigned char kHard25[] = {0, 0,   255, 255, 0, 0, 0, 255, 0,
                                     0, 255, 0,   255, 0, 0, 0, 0,   255};
constexpr unsigned char kGraded25[] = {15, 191, 255, 255, 191, 15, 191, 209, 79,
                                       79, 209, 191, 255, 79,  0,  0,   79,  255};
constexpr unsigned char kHard3[] = {0,   0, 255, 255, 255, 0, 0,   0,   255, 0, 0, 0, 255, 0,
                                    255, 0, 0,   0,   0,   0, 255, 255, 0,   0, 0, 0, 0,   255};
constexpr unsigned char kGraded3[] = {0,   143, 255, 255, 255, 143, 0,  143, 255, 97,
                                      64,  97,  255, 143, 255, 112, 0,  0,   0,   112,
                                      255, 255, 48,  0,   0,   0,   48, 255};
constexpr unsigned char kHard35[] = {0,   0,   255, 255, 255, 255, 0,   0, 0, 255, 255,
                                     0,   0,   255, 255, 0,   255, 255, 0, 0, 0,   0,
                                     255, 255, 255, 0,   0,   0,   0,   0, 0, 255};
constexpr unsigned char kGraded35[] = {0,   79,  222, 255, 255, 222, 79,  0, 79, 255, 176,
                                       64,  64,  176, 255, 79,  222, 176, 0, 0,  0,   0,
                                       176, 222, 255, 64,  0,   0,   0,   0, 64, 255};
constexpr unsigned char kHard4[] = {
    0, 0, 255, 255, 255, 255, 255, 0, 0, 0, 255, 255, 0,   0,   0, 255, 255, 0, 255, 255, 0, 0,  0,
    0, 0, 255, 255, 255, 0,   0,   0, 0, 0, 0,   0,   255, 255, 0, 0,   0,   0, 0,   0,   0, 255};
constexpr unsigned char kGraded4[] = {0,   31,  176, 255, 255, 255, 176, 31,  0,  31, 240, 209,
                                      79,  64,  79,  209, 240, 31,  176, 209, 15, 0,  0,   0,
                                      15,  209, 176, 255, 79,  0,   0,   0,   0,  0,  79,  255,
                                      255, 48,  0,   0,   0,   0,   0,   48,  255};

constexpr StampRows kStamps[] = {
    {1.5f, 4, kHard15, kGraded15}, {2.0f, 5, kHard2, kGraded2},   {2.5f, 6, kHard25, kGraded25},
    {3.0f, 7, kHard3, kGraded3},   {3.5f, 8, kHard35, kGraded35}, {4.0f, 9, kHard4, kGraded4},
};

bool DrawStamp(RAS_IBitmap* bm, float cx, float cy, float r, RAS_pixel color, float alpha, int mode,
               bool aa) {
  for (const StampRows& st : kStamps) {
    if (st.radius != r) continue;
    const int n = st.size;
    const unsigned char* upper = aa ? st.graded : st.hard;
    unsigned char map[81];
    for (int row = 0; row < n; ++row) {
      const int src = row < (n + 1) / 2 ? row : n - 1 - row;
      std::copy(upper + src * n, upper + src * n + n, map + row * n);
    }
    RAS_DrawGlyph(bm, ToIntFloor(cx - r), ToIntFloor(cy - r), color, map, n, n, alpha, mode);
    return true;
  }
  return false;
}

bool Usable(double cx, double cy, double r) {
  return Finite(cx) && Finite(cy) && Finite(r) && r >= 0 && r <= kMaxRadius;
}

// The circle's box with a two-pixel margin touches the bitmap.
bool Touches(const Surface& s, double cx, double cy, double r) {
  return cx + r + 2 >= 0 && cx - r - 2 < s.w && cy + r + 2 >= 0 && cy - r - 2 < s.h;
}

// Midpoint outline: the four axis points, then one octant mirrored eight ways.
template <class C>
void MidpointOutline(const Surface& s, const Box& clip, double fx, double fy, double fr,
                     const Ink& ink, int weight) {
  const int cx = ToIntFloor(fx + 0.5), cy = ToIntFloor(fy + 0.5), r = ToIntFloor(fr + 0.5);
  auto put = [&](long long x, long long y) {
    if (x >= clip.l && x < clip.r && y >= clip.t && y < clip.b)
      Plot<C>(s.At(int(x), int(y)), ink, weight);
  };
  const long long X = cx, Y = cy;
  if (r == 0) return put(X, Y);  // the four axis points coincide
  put(X, Y - r), put(X + r, Y), put(X, Y + r), put(X - r, Y);
  long long y = r, d = -r;
  for (long long x = 1; x < y; ++x) {
    const long long ny = d >= 0 ? y - 1 : y;
    put(X + x, Y - ny), put(X - x, Y - ny), put(X + x, Y + ny), put(X - x, Y + ny);
    if (x != ny) put(X + ny, Y - x), put(X - ny, Y - x), put(X + ny, Y + x), put(X - ny, Y + x);
    d += 2 * (x - 1) + 3;
    if (ny != y) d -= 2 * (y - 1);
    y = ny;
  }
}

// Coverage outline: each step splits the weight between the two pixels around the exact
// distance, along columns in one octant and along rows in the mirrored one.
template <class C>
void CoverageOutline(const Surface& s, const Box& clip, double fx, double fy, double R,
                     const Ink& ink, int weight) {
  const long long cx = ToIntFloor(fx + 0.5), cy = ToIntFloor(fy + 0.5);
  auto put = [&](long long x, long long y, int w) {
    if (x >= clip.l && x < clip.r && y >= clip.t && y < clip.b)
      Plot<C>(s.At(int(x), int(y)), ink, w);
  };
  // Axis points: the pixel at the truncated radius and the one beyond it.
  const long long r = (long long)R;
  const int axisOuter = int((R - double(r)) * weight), axisInner = weight - axisOuter;
  for (const auto& [dx, dy] :
       {std::pair{0, -1}, std::pair{1, 0}, std::pair{0, 1}, std::pair{-1, 0}}) {
    put(cx + dx * (r + 1), cy + dy * (r + 1), axisOuter);
    if (r > 0 || dy == -1) put(cx + dx * r, cy + dy * r, axisInner);  // the centre only once
  }
  auto reach = [&](long long x) {
    const double q = R * R - double(x) * double(x);
    return q < 0 ? -1.0 : std::sqrt(q);
  };
  for (long long x = 1;; ++x) {
    const double y = reach(x);
    if (y < 0 || !(x - 1 < (long long)(0.5 + y))) break;
    const double yNext = reach(x + 1);
    const bool last = yNext < 0 || !(x < (long long)(0.5 + yNext));
    const long long in = (long long)std::floor(y);
    const int outer = int((y - double(in)) * weight), inner = weight - outer;
    for (int sx = -1; sx <= 1; sx += 2)
      for (int sy = -1; sy <= 1; sy += 2) {
        put(cx + sx * x, cy + sy * (in + 1), outer);
        put(cx + sx * x, cy + sy * in, inner);
        if (!last) {
          put(cx + sx * (in + 1), cy + sy * x, outer);
          put(cx + sx * in, cy + sy * x, inner);
        }
      }
  }
}

void Outline(const Surface& s, const Box& clip, double cx, double cy, double r, RAS_pixel color,
             float alpha, int mode, bool aa) {
  const Ink ink(color);
  const int weight = RAS_WeightFromAlpha(alpha);
  if (aa)
    WithBlendCombiner(mode, weight, [&](auto tag) {
      CoverageOutline<typename decltype(tag)::type>(s, clip, cx, cy, r, ink, weight);
    });
  else
    WithSolidCombiner(mode, weight, [&](auto tag) {
      MidpointOutline<typename decltype(tag)::type>(s, clip, cx, cy, r, ink, weight);
    });
}

// Filled midpoint circle: every row spans the widest octant point on it, so each pixel is
// written once even where octants meet.
template <class C>
void MidpointFill(const Surface& s, double fx, double fy, double fr, const Ink& ink, int weight) {
  const long long cx = ToIntFloor(fx + 0.5), cy = ToIntFloor(fy + 0.5), r = ToIntFloor(fr + 0.5);
  std::vector<long long> half(s.h, -1);
  auto mark = [&](long long dy, long long hw) {
    for (long long y : {cy - dy, cy + dy})
      if (y >= 0 && y < s.h) half[y] = std::max(half[y], hw);
  };
  mark(r, 0), mark(0, r);
  long long y = r, d = -r;
  for (long long x = 1; x < y; ++x) {
    const long long ny = d >= 0 ? y - 1 : y;
    mark(ny, x);
    if (x != ny) mark(x, ny);
    d += 2 * (x - 1) + 3;
    if (ny != y) d -= 2 * (y - 1);
    y = ny;
  }
  for (int row = 0; row < s.h; ++row) {
    if (half[row] < 0) continue;
    const long long l = std::max(cx - half[row], 0LL), r2 = std::min(cx + half[row], s.w - 1LL);
    RAS_pixel* p = s.Row(row);
    for (long long x = l; x <= r2; ++x) Plot<C>(p + x, ink, weight);
  }
}

// Filled coverage circle: the interior at full weight; each edge pixel takes the larger of
// its coverage measured along its column and along its row, the two measures the outline
// uses, so the rim matches the outline and no pixel is drawn twice.
template <class C>
void CoverageFill(const Surface& s, double fx, double fy, double R, const Ink& ink, int weight) {
  const long long cx = ToIntFloor(fx + 0.5), cy = ToIntFloor(fy + 0.5);
  const long long extent = (long long)R + 1;
  auto reach = [&](long long k) {
    const double q = R * R - double(k) * double(k);
    return q < 0 ? -1.0 : std::sqrt(q);
  };
  auto cover = [](double v) { return v <= 0 ? 0.0 : v >= 1 ? 1.0 : v; };
  const long long top = std::max(cy - extent, 0LL), bottom = std::min(cy + extent, s.h - 1LL);
  for (long long row = top; row <= bottom; ++row) {
    const long long j = row < cy ? cy - row : row - cy;
    const double across = reach(j);
    RAS_pixel* p = s.Row(int(row));
    auto put = [&](long long i, int w) {
      for (long long x : {cx - i, cx + i}) {
        if (x >= 0 && x < s.w) Plot<C>(p + x, ink, w);
        if (i == 0) break;
      }
    };
    long long i = 0;
    if (across >= 0) {
      const long long inner = (long long)std::floor(across);
      const long long l = std::max(cx - inner, 0LL), r = std::min(cx + inner, s.w - 1LL);
      for (long long x = l; x <= r; ++x) Plot<C>(p + x, ink, weight);
      i = inner + 1;
    }
    for (; cx - i >= 0 || cx + i < s.w; ++i) {
      const double byRow = across < 0 ? 0.0 : cover(across - double(i) + 1);
      const double down = reach(i);
      const double byColumn = down < 0 ? 0.0 : cover(down - double(j) + 1);
      const double c = std::max(byRow, byColumn);
      if (c <= 0) break;
      put(i, int(c * weight));
    }
  }
}

}  // namespace

void RAS_Circle(RAS_IBitmap* bm, float cx, float cy, float r, RAS_pixel color, float alpha,
                int mode, bool aa) {
  Surface s;
  if (!s.Open(bm) || !Usable(cx, cy, r) || !Touches(s, cx, cy, r)) return;
  if (DrawStamp(bm, cx, cy, r, color, alpha, mode, aa)) return;
  Outline(s, Box{0, 0, s.w, s.h}, cx, cy, r, color, alpha, mode, aa);
}

void RAS_FillCircle(RAS_IBitmap* bm, float cx, float cy, float r, RAS_pixel color, float alpha,
                    int mode, bool aa) {
  Surface s;
  if (!s.Open(bm) || !Usable(cx, cy, r) || !Touches(s, cx, cy, r)) return;
  const Ink ink(color);
  const int weight = RAS_WeightFromAlpha(alpha);
  if (aa)
    WithBlendCombiner(mode, weight, [&](auto tag) {
      CoverageFill<typename decltype(tag)::type>(s, cx, cy, r, ink, weight);
    });
  else
    WithSolidCombiner(mode, weight, [&](auto tag) {
      MidpointFill<typename decltype(tag)::type>(s, cx, cy, r, ink, weight);
    });
}

void RAS_Arc(RAS_IBitmap* bm, float fcx, float fcy, float fr, float startAngle, float endAngle,
             RAS_pixel color, float alpha, int mode, bool aa) {
  constexpr double kTwoPi = 2 * M_PI, kQuarter = M_PI / 2;
  Surface s;
  const double cx = fcx, cy = fcy, r = fr;
  double a0 = startAngle, a1 = endAngle;
  if (!s.Open(bm) || !Usable(cx, cy, r) || !Finite(a0) || !Finite(a1)) return;
  if (std::max(a0, a1) - std::min(a0, a1) >= kTwoPi) {
    RAS_Circle(bm, fcx, fcy, fr, color, alpha, mode, aa);
    return;
  }
  if (std::fabs(a0) >= kTwoPi) {
    const double reduced = std::fmod(a0, kTwoPi);
    a1 += reduced - a0, a0 = reduced;
  }
  if (std::fabs(a1) >= kTwoPi) {
    const double reduced = std::fmod(a1, kTwoPi);
    a0 += reduced - a1, a1 = reduced;
  }
  if (RAS_WeightFromAlpha(alpha) == 0 || !Touches(s, cx, cy, r)) return;
  a0 += kTwoPi, a1 += kTwoPi;
  if (!(a1 > a0)) return;
  auto at = [&](double a) {
    return std::pair<long long, long long>(ToIntFloor(cx + r * std::sin(a) + 0.5),
                                           ToIntFloor(cy - r * std::cos(a) + 0.5));
  };
  // Angles that come from floats land a hair off the quarter marks; within this distance
  // they count as on the mark, so no sliver of a piece spills into the next quarter's box.
  constexpr double kSnap = 1e-6;
  for (long long k = (long long)std::floor(a0 / kQuarter); k * kQuarter < a1; ++k) {
    const double from = std::max(a0, k * kQuarter), to = std::min(a1, (k + 1) * kQuarter);
    if (!(to - from > kSnap)) continue;
    const auto [x0, y0] = at(from);
    const auto [x1, y1] = at(to);
    long long l = std::min(x0, x1), rr = std::max(x0, x1), t = std::min(y0, y1),
              b = std::max(y0, y1);
    // Widen the sides away from the centre by one pixel, and by one more where the end
    // point that bounds them is not on a centre line.
    const bool fromOnAxis = from - k * kQuarter < kSnap, toOnAxis = (k + 1) * kQuarter - to < kSnap;
    const long long fromPad = fromOnAxis ? 1 : 2, toPad = toOnAxis ? 1 : 2;
    switch (k & 3) {
      case 0:
        t -= fromPad, rr += toPad;
        break;  // top to right
      case 1:
        rr += fromPad, b += toPad;
        break;  // right to bottom
      case 2:
        b += fromPad, l -= toPad;
        break;  // bottom to left
      case 3:
        l -= fromPad, t -= toPad;
        break;  // left to top
    }
    const Box box{int(std::max(l, 0LL)), int(std::max(t, 0LL)),
                  int(std::min(rr + 1, (long long)s.w)), int(std::min(b + 1, (long long)s.h))};
    if (box.l < box.r && box.t < box.b) Outline(s, box, cx, cy, r, color, alpha, mode, aa);
  }
}
