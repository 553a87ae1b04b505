#pragma once
// Integer rectangle of the editor surface. Right and bottom are exclusive for hit tests;
// all four coordinates zero means "empty": never hit, never intersecting, neutral in a union.

struct IRECT {
  int L = 0, T = 0, R = 0, B = 0;

  IRECT() = default;
  IRECT(int l, int t, int r, int b) : L(l), T(t), R(r), B(b) {}

  bool Empty() const { return L == 0 && T == 0 && R == 0 && B == 0; }
  void Clear() { L = T = R = B = 0; }
  int W() const { return R - L; }
  int H() const { return B - T; }
  float MW() const { return 0.5f * (float)(L + R); }
  float MH() const { return 0.5f * (float)(T + B); }

  bool operator==(const IRECT& o) const { return L == o.L && T == o.T && R == o.R && B == o.B; }
  bool operator!=(const IRECT& o) const { return !(*this == o); }

  // Half-open containment, as a mouse hit sees it.
  bool Contains(int x, int y) const { return !Empty() && x >= L && x < R && y >= T && y < B; }

  // Inclusive on this rectangle's right and bottom edge: a rectangle whose right edge lies on
  // the other's left edge still intersects, so controls touching a repaint region get drawn.
  bool Intersects(const IRECT& o) const {
    if (Empty() || o.Empty()) return false;
    return R >= o.L && L < o.R && B >= o.T && T < o.B;
  }

  // Smallest rectangle holding both; an empty side is neutral.
  IRECT Union(const IRECT& o) const {
    if (Empty()) return o;
    if (o.Empty()) return *this;
    return IRECT(L < o.L ? L : o.L, T < o.T ? T : o.T, R > o.R ? R : o.R, B > o.B ? B : o.B);
  }

  // Overlap by the Intersects rule; empty when there is none.
  IRECT Intersect(const IRECT& o) const {
    if (!Intersects(o)) return IRECT();
    return IRECT(L > o.L ? L : o.L, T > o.T ? T : o.T, R < o.R ? R : o.R, B < o.B ? B : o.B);
  }
};
