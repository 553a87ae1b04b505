// Coverage-map drawing: each covered pixel blends toward the colour by coverage times weight.

#include "raster/RAS_Glyph.h"

#include "raster/RAS_ShapeKit.h"

using namespace ras_shape;

void RAS_DrawGlyphEx(RAS_IBitmap* bm, int x, int y, RAS_pixel color, const unsigned char* cov,
                     int w, int span, int h, float alpha, int mode) {
  Surface s;
  if (!s.Open(bm) || !cov || w <= 0 || h <= 0 || span < w) return;
  // Clip the map to the bitmap; a negative position skips map columns or rows.
  long long x0 = x, y0 = y, x1 = (long long)x + w, y1 = (long long)y + h;
  if (x1 <= 0 || y1 <= 0 || x0 >= s.w || y0 >= s.h) return;
  const int skipX = x0 < 0 ? int(-x0) : 0, skipY = y0 < 0 ? int(-y0) : 0;
  x0 += skipX, y0 += skipY;
  if (x1 > s.w) x1 = s.w;
  if (y1 > s.h) y1 = s.h;
  const int cols = int(x1 - x0), rows = int(y1 - y0);
  const int weight = RAS_WeightFromAlpha(alpha);
  const Ink ink(color);
  WithBlendCombiner(mode, weight, [&](auto tag) {
    using C = typename decltype(tag)::type;
    for (int j = 0; j < rows; ++j) {
      const unsigned char* src = cov + (long long)(skipY + j) * span + skipX;
      RAS_pixel* dst = s.At(int(x0), int(y0) + j);
      for (int i = 0; i < cols; ++i)
        if (src[i]) Plot<C>(dst + i, ink, weight * src[i] / 256);
    }
  });
}

void RAS_DrawGlyph(RAS_IBitmap* bm, int x, int y, RAS_pixel color, const unsigned char* cov, int w,
                   int h, float alpha, int mode) {
  RAS_DrawGlyphEx(bm, x, y, color, cov, w, w, h, alpha, mode);
}
