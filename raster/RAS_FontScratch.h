#pragma once
// The scratch bitmaps shared by every cached font (one thread draws all text), and helpers
// shared by the font's source files.

#include "raster/RAS_Pixel.h"

class RAS_SysBitmap;

namespace ras_font {

// The glyph scratch bitmap, at least size pixels square (null if it cannot be had). When it
// grows its context gets white text on an opaque black background.
RAS_SysBitmap* GlyphScratch(int size);
// The native-rendering scratch bitmap, at least w by h (and 4 by 4).
RAS_SysBitmap* NativeScratch(int w, int h);
// Called as fonts come and go; the last one frees the scratch bitmaps.
void AddFont();
void RemoveFont();

// The drawing-context colour value of a pixel word: red 16-23, green 8-15, blue 0-7.
inline int ToContextColor(RAS_pixel c) {
  return (int)((((c >> 8) & 0xff) << 16) | (((c >> 16) & 0xff) << 8) | ((c >> 24) & 0xff));
}

}  // namespace ras_font
