#pragma once
// Conversions between the engine's pixel rectangles (origin top-left, y down, right and
// bottom exclusive) and the X11 window's coordinates, which share the engine's top-left
// origin.

namespace viewrules {

// Engine rectangle; the same layout as the engine's IRECT.
struct PixelRect {
  int L = 0, T = 0, R = 0, B = 0;
};

// Native view rectangle, in view coordinates.
struct ViewRect {
  double x = 0, y = 0, w = 0, h = 0;
};

struct PixelPoint {
  int x = 0, y = 0;
};

// For invalidation, text entries and menus. One pixel wider and higher than the engine
// rectangle, because a control touching the repaint region's right or bottom edge is drawn
// by the engine too.
ViewRect ToViewRect(const PixelRect& r);

// For painting: the region a view asks to repaint, components truncated.
PixelRect ToPixelRect(const ViewRect& v);

// Pointer location in view coordinates to engine pixels; the X server already reports the
// pixel under the hotspot.
PixelPoint ToEnginePoint(double viewX, double viewY);

// Clips r to a width by height surface; an empty result has zero width or height.
PixelRect ClipToSurface(const PixelRect& r, int width, int height);

}  // namespace viewrules
