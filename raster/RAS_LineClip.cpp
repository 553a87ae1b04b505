// Outcode clipping of lines against the bitmap or a rectangle.

#include "raster/RAS_LineClip.h"

#include <cmath>

namespace ras_shape {

namespace {

enum { kLeft = 1, kRight = 2, kTop = 4, kBottom = 8 };

template <class T>
int Outcode(T x, T y, T w, T h) {
  return (x < 0 ? kLeft : 0) | (x >= w ? kRight : 0) | (y < 0 ? kTop : 0) | (y >= h ? kBottom : 0);
}

// Moves one point onto the edge its outcode names. Trunc turns an intercept offset into
// the coordinate type.
template <class T, class Trunc>
void MoveOntoEdge(int code, T& x, T& y, T x1, T y1, T x2, T y2, T w, T h, Trunc trunc) {
  const double dx = double(x2) - double(x1), dy = double(y2) - double(y1);
  if (code & kBottom) {
    x = x1 + trunc((double(h) - double(y1)) * dx / dy);
    y = h - 1;
  } else if (code & kTop) {
    x = x1 + trunc(-double(y1) * dx / dy);
    y = 0;
  } else if (code & kRight) {
    y = y1 + trunc(dy * (double(w) - double(x1)) / dx);
    x = w - 1;
  } else {
    y = y1 + trunc(dy * -double(x1) / dx);
    x = 0;
  }
}

template <class T, class Trunc>
bool Clip(T& x1, T& y1, T& x2, T& y2, T w, T h, Trunc trunc) {
  if (!(w > 0) || !(h > 0)) return false;
  int c1 = Outcode(x1, y1, w, h), c2 = Outcode(x2, y2, w, h);
  // Each pass puts a point on an edge; truncated intercepts settle within a few passes, and
  // the cap makes sure a pathological input cannot keep the loop going.
  for (int pass = 0; (c1 | c2) != 0; ++pass) {
    if ((c1 & c2) != 0 || pass >= 8) return false;
    if (c1) {
      MoveOntoEdge(c1, x1, y1, x1, y1, x2, y2, w, h, trunc);
      c1 = Outcode(x1, y1, w, h);
    } else {
      MoveOntoEdge(c2, x2, y2, x1, y1, x2, y2, w, h, trunc);
      c2 = Outcode(x2, y2, w, h);
    }
  }
  return true;
}

}  // namespace

bool ClipSegment(long long& x1, long long& y1, long long& x2, long long& y2, long long w,
                 long long h) {
  return Clip(x1, y1, x2, y2, w, h, [](double v) { return (long long)v; });
}

bool ClipSegmentF(double& x1, double& y1, double& x2, double& y2, double w, double h) {
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2) ||
      !std::isfinite(w) || !std::isfinite(h))
    return false;
  return Clip(x1, y1, x2, y2, w, h, [](double v) { return v; });
}

}  // namespace ras_shape
