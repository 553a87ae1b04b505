#pragma once
// Copies a source rectangle given in fractional source coordinates into a destination
// rectangle of another size: nearest sample, bilinear (BLIT_FLAG_FILTER) or, when shrinking
// by 1.7 or more in both directions with the filter, a box average. A negative destination
// width or height mirrors the picture.

#include "raster/RAS_Bitmap.h"

void RAS_ScaledBlit(RAS_IBitmap* dest, RAS_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                    float srcx, float srcy, float srcw, float srch, float alpha, int mode);
