#pragma once
// One-pixel lines between integer or fractional end points, dashed lines, and clipping of a
// line against a rectangle. Colours are pixel words; the colour's own alpha byte is the
// source alpha handed to the combiner (the source-alpha flag does not apply to lines).

#include "raster/RAS_Bitmap.h"

void RAS_Line(RAS_IBitmap* bm, int x1, int y1, int x2, int y2, RAS_pixel color, float alpha,
              int mode, bool aa);
void RAS_FLine(RAS_IBitmap* bm, float x1, float y1, float x2, float y2, RAS_pixel color,
               float alpha, int mode, bool aa);
// Horizontal and vertical lines only: runs of pixelsOn pixels alternate with gaps of
// pixelsOff, starting at the smaller coordinate; the end point itself is not drawn.
void RAS_DashedLine(RAS_IBitmap* bm, int x1, int y1, int x2, int y2, int pixelsOn, int pixelsOff,
                    RAS_pixel color, float alpha, int mode, bool aa);
// Clips a line to the rectangle [left, right) x [top, bottom); false when nothing remains
// (the points may then be partly moved).
bool RAS_ClipLine(int* x1, int* y1, int* x2, int* y2, int left, int top, int right, int bottom);
bool RAS_ClipFLine(float* x1, float* y1, float* x2, float* y2, float left, float top, float right,
                   float bottom);
