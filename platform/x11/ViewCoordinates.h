#pragma once
// Conversions between the engine's pixel rectangles (origin top-left, y down, right and
// bottom exclusive) and a native view's coordinates. Views come in two orientations: the
// X11 window shares the engine's top-left origin, a y-up view (as AppKit's) has its origin
// at the bottom left.

namespace viewrules {

enum class ViewOrigin { kTopLeft, kBottomLeft };

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
ViewRect ToViewRect(const PixelRect& r, int viewHeight, ViewOrigin origin);

// For painting: the region a view asks to repaint, components truncated.
PixelRect ToPixelRect(const ViewRect& v, int viewHeight, ViewOrigin origin);

// Pointer location in view coordinates to engine pixels. A y-up view reports the
// location of the arrow's tip between pixels and is shifted onto the pixel under the
// hotspot (2 left, 3 up); the X server already reports the hotspot pixel.
PixelPoint ToEnginePoint(double viewX, double viewY, int viewHeight, ViewOrigin origin);

// Clips r to a width by height surface; an empty result has zero width or height.
PixelRect ClipToSurface(const PixelRect& r, int width, int height);

}  // namespace viewrules
