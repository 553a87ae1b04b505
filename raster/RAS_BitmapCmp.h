#pragma once
// Bitmap comparison.

#include "raster/RAS_Bitmap.h"

// 0 when a and b are equal under the mask. Null sorts first; different sizes return the
// difference of widths (b - a), else of heights. With coordsOut (x, y, width, height of the
// differing area) the result is 1 or 0; without it, under the full mask, the first differing
// row's byte comparison.
int RAS_BitmapCmpEx(RAS_IBitmap* a, RAS_IBitmap* b, RAS_pixel mask, int* coordsOut);
int RAS_BitmapCmp(RAS_IBitmap* a, RAS_IBitmap* b, int* coordsOut = nullptr);
