#pragma once
// Circles (outline and filled, optionally anti-aliased) and arcs. Angles are in radians from
// straight up, clockwise: angle a lies at (cx + r sin a, cy - r cos a).

#include "raster/RAS_Bitmap.h"

void RAS_Circle(RAS_IBitmap* bm, float cx, float cy, float r, RAS_pixel color, float alpha,
                int mode, bool aa);
void RAS_FillCircle(RAS_IBitmap* bm, float cx, float cy, float r, RAS_pixel color, float alpha,
                    int mode, bool aa);
void RAS_Arc(RAS_IBitmap* bm, float cx, float cy, float r, float startAngle, float endAngle,
             RAS_pixel color, float alpha, int mode, bool aa);
