#pragma once
// Rectangle outlines: plain, with rounded corners, and filled with a border.

#include "raster/RAS_Bitmap.h"

// Four lines from (x, y) to (x + w, y + h): the outline covers w + 1 by h + 1 pixels.
void RAS_DrawRect(RAS_IBitmap* bm, int x, int y, int w, int h, RAS_pixel color, float alpha,
                  int mode);
// The corner radius is limited to half the width and height; below 2 the corners are square.
void RAS_RoundRect(RAS_IBitmap* bm, float x, float y, float w, float h, int cornerradius,
                   RAS_pixel color, float alpha, int mode, bool aa);
// The inside filled with one colour, the outline drawn with another.
void RAS_BorderedRect(RAS_IBitmap* bm, int x, int y, int w, int h, RAS_pixel fillColor,
                      RAS_pixel borderColor, float alpha, int mode);
