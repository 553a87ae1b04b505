#pragma once
// Quadratic and cubic Bezier curves flattened into straight pieces, and cubic curves filled
// down (or sideways) to a level. A maximum segment length of 0 or less means 1 pixel per
// unit of control-polygon length.

#include "raster/RAS_Bitmap.h"

void RAS_DrawQBezier(RAS_IBitmap* bm, float xstart, float ystart, float xctl, float yctl,
                     float xend, float yend, RAS_pixel color, float alpha, int mode, bool aa,
                     float maxsegmentlength = 10.0f);
void RAS_DrawCBezier(RAS_IBitmap* bm, float xstart, float ystart, float xctl1, float yctl1,
                     float xctl2, float yctl2, float xend, float yend, RAS_pixel color, float alpha,
                     int mode, bool aa, float maxsegmentlength = 10.0f);
// Fills the area between the curve and the row fillToY.
void RAS_FillCBezier(RAS_IBitmap* bm, float xstart, float ystart, float xctl1, float yctl1,
                     float xctl2, float yctl2, float xend, float yend, int fillToY, RAS_pixel color,
                     float alpha, int mode, float maxsegmentlength = 10.0f);
// Fills the area between the curve and the column fillToX.
void RAS_FillCBezierX(RAS_IBitmap* bm, float xstart, float ystart, float xctl1, float yctl1,
                      float xctl2, float yctl2, float xend, float yend, int fillToX,
                      RAS_pixel color, float alpha, int mode, float maxsegmentlength = 10.0f);
