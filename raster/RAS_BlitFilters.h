#pragma once
// Two fixed filters: a half-size reduction and a small blur.

#include "raster/RAS_Bitmap.h"

// Each destination pixel becomes the average of a 2 by 2 block of the source (each word
// quartered bytewise, so full white gives 252).
void RAS_HalveBlitAA(RAS_IBitmap* dest, RAS_IBitmap* src);
// Half of each pixel plus an eighth of each of its four neighbours; source and destination
// may be the same bitmap.
void RAS_Blur(RAS_IBitmap* dest, RAS_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw,
              int srch);
