#include "platform/x11/ViewCoordinates.h"

#include <algorithm>

namespace viewrules {

ViewRect ToViewRect(const PixelRect& r) {
  ViewRect v;
  v.x = r.L;
  v.y = r.T;
  v.w = r.R - r.L + 1;
  v.h = r.B - r.T + 1;
  return v;
}

PixelRect ToPixelRect(const ViewRect& v) {
  PixelRect r;
  r.L = (int)v.x;
  r.T = (int)v.y;
  r.R = (int)(v.x + v.w);
  r.B = (int)(v.y + v.h);
  return r;
}

PixelPoint ToEnginePoint(double viewX, double viewY) { return {(int)viewX, (int)viewY}; }

PixelRect ClipToSurface(const PixelRect& r, int width, int height) {
  PixelRect c;
  c.L = std::clamp(r.L, 0, std::max(width, 0));
  c.T = std::clamp(r.T, 0, std::max(height, 0));
  c.R = std::clamp(r.R, c.L, std::max(width, c.L));
  c.B = std::clamp(r.B, c.T, std::max(height, c.T));
  return c;
}

}  // namespace viewrules
