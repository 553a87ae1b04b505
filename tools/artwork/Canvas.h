#pragma once
// Anti-aliased painting into a raster bitmap for the artwork: shapes are given as
// signed distance functions (negative inside), painted with one pixel of soft edge and
// blended over what is there.

#include <functional>

#include "raster/Raster.h"

namespace artwork {

struct Rgba {
  float r = 0, g = 0, b = 0, a = 1;  // 0..1, not premultiplied
};

Rgba Hex(unsigned rgb, float alpha = 1.0f);
Rgba Mix(const Rgba& a, const Rgba& b, float t);

class Canvas {
 public:
  // A transparent w by h picture.
  Canvas(int w, int h);

  RAS_MemBitmap& Bitmap() { return mBitmap; }
  int Width() { return mBitmap.getWidth(); }
  int Height() { return mBitmap.getHeight(); }

  // Source-over blend of colour with coverage (0..1) at a pixel; outside is ignored.
  void Blend(int x, int y, const Rgba& color, float coverage);

  // Paints the shape within the box (x0, y0)-(x1, y1): distance(px, py) at pixel centres
  // gives the edge, shade(px, py) the colour.
  void Paint(int x0, int y0, int x1, int y1, const std::function<float(float, float)>& distance,
             const std::function<Rgba(float, float)>& shade);
  void Paint(int x0, int y0, int x1, int y1, const std::function<float(float, float)>& distance,
             const Rgba& color);

  // Solid rectangle and vertical gradient from top to bottom colour.
  void FillRect(int x, int y, int w, int h, const Rgba& color);
  void FillGradient(int x, int y, int w, int h, const Rgba& top, const Rgba& bottom);

  // Text in the editor's bitmap font, each font pixel drawn as a scale by scale block;
  // (x, y) is the top-left of the first cell.
  void Text(int x, int y, const char* text, const Rgba& color, int scale = 1);
  static int TextWidth(const char* text, int scale = 1);

 private:
  RAS_MemBitmap mBitmap;
};

// Distance functions.
float CircleDistance(float px, float py, float cx, float cy, float r);
float RingDistance(float px, float py, float cx, float cy, float r, float halfWidth);
float SegmentDistance(float px, float py, float ax, float ay, float bx, float by, float halfWidth);
float RoundRectDistance(float px, float py, float x0, float y0, float x1, float y1, float radius);
// An arc of the ring between two angles (radians, 0 pointing up, growing clockwise),
// with round ends.
float ArcDistance(float px, float py, float cx, float cy, float r, float halfWidth, float from,
                  float to);

}  // namespace artwork
