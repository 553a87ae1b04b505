#pragma once
// Coverage maps (one byte per pixel, 0 = untouched, 255 = nearly fully the colour) drawn in a
// colour: text glyphs and the small circle stamps.

#include "raster/RAS_Bitmap.h"

// Draws a w by h map whose rows are span bytes apart with its top-left at (x, y).
void RAS_DrawGlyphEx(RAS_IBitmap* bm, int x, int y, RAS_pixel color, const unsigned char* cov,
                     int w, int span, int h, float alpha, int mode);
// The same for a map whose rows are packed (span equal to the width).
void RAS_DrawGlyph(RAS_IBitmap* bm, int x, int y, RAS_pixel color, const unsigned char* cov, int w,
                   int h, float alpha, int mode);
