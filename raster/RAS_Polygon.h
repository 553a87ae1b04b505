#pragma once
// Filled trapezoids (two horizontal edges), convex polygons and triangles.

#include "raster/RAS_Bitmap.h"

// Fills every row from the upper to the lower edge, both inclusive, from the left to the
// right edge inclusive; the edges are interpolated in 16.16 fixed point.
void RAS_FillTrapezoid(RAS_IBitmap* bm, int x1a, int x1b, int y1, int x2a, int x2b, int y2,
                       RAS_pixel color, float alpha, int mode);
void RAS_FillConvexPolygon(RAS_IBitmap* bm, const int* x, const int* y, int npoints,
                           RAS_pixel color, float alpha, int mode);
void RAS_FillTriangle(RAS_IBitmap* bm, int x1, int y1, int x2, int y2, int x3, int y3,
                      RAS_pixel color, float alpha, int mode);
