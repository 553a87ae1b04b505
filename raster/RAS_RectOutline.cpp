// Rectangle outlines built from lines and quarter arcs.

#include "raster/RAS_RectOutline.h"

#include <algorithm>
#include <cmath>

#include "raster/RAS_Circle.h"
#include "raster/RAS_Fill.h"
#include "raster/RAS_Line.h"
#include "raster/RAS_ShapeKit.h"

using ras_shape::ToIntTrunc;

namespace {
// Sums of coordinates and sizes, held within the int range (clipping removes the rest).
int Add(long long a, long long b) {
  return int(std::clamp(a + b, (long long)INT32_MIN, (long long)INT32_MAX));
}
}  // namespace

void RAS_DrawRect(RAS_IBitmap* bm, int x, int y, int w, int h, RAS_pixel color, float alpha,
                  int mode) {
  const int r = Add(x, w), b = Add(y, h);
  RAS_Line(bm, x, y, r, y, color, alpha, mode, false);
  RAS_Line(bm, r, y, r, b, color, alpha, mode, false);
  RAS_Line(bm, r, b, x, b, color, alpha, mode, false);
  RAS_Line(bm, x, b, x, y, color, alpha, mode, false);
}

void RAS_RoundRect(RAS_IBitmap* bm, float x, float y, float w, float h, int cornerradius,
                   RAS_pixel color, float alpha, int mode, bool aa) {
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(w) || !std::isfinite(h)) return;
  const double r = std::floor(std::min({double(cornerradius), w / 2.0, h / 2.0}));
  if (r < 2) {
    RAS_DrawRect(bm, ToIntTrunc(x), ToIntTrunc(y), ToIntTrunc(w), ToIntTrunc(h), color, alpha,
                 mode);
    return;
  }
  const double X = x, Y = y, R = X + w, B = Y + h;
  auto line = [&](double x1, double y1, double x2, double y2) {
    RAS_Line(bm, ToIntTrunc(x1), ToIntTrunc(y1), ToIntTrunc(x2), ToIntTrunc(y2), color, alpha, mode,
             aa);
  };
  line(X + r, Y, R - r, Y);
  line(X + r - 1, B, R - r, B);
  line(R, Y + r, R, B - r);
  line(X, Y + r - 1, X, B - r);
  const float fr = float(r);
  RAS_Arc(bm, float(X + r), float(Y + r), fr, float(-M_PI / 2), 0.0f, color, alpha, mode, aa);
  RAS_Arc(bm, float(R - r), float(Y + r), fr, 0.0f, float(M_PI / 2), color, alpha, mode, aa);
  RAS_Arc(bm, float(R - r), float(B - r), fr, float(M_PI / 2), float(M_PI), color, alpha, mode, aa);
  RAS_Arc(bm, float(X + r), float(B - r), fr, float(M_PI), float(3 * M_PI / 2), color, alpha, mode,
          aa);
}

void RAS_BorderedRect(RAS_IBitmap* bm, int x, int y, int w, int h, RAS_pixel fillColor,
                      RAS_pixel borderColor, float alpha, int mode) {
  RAS_FillRect(bm, Add(x, 1), Add(y, 1), Add(w, -1), Add(h, -1), fillColor, alpha, mode);
  RAS_DrawRect(bm, x, y, w, h, borderColor, alpha, mode);
}
