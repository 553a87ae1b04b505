#pragma once
// Copying one bitmap, or a rectangle of it, onto another through a combine mode.

#include "raster/RAS_Bitmap.h"
#include "raster/RAS_Rect.h"

// Copies srcRect of src (the whole source when null) to (dstx, dsty) of dest.
void RAS_Blit(RAS_IBitmap* dest, RAS_IBitmap* src, int dstx, int dsty, const RECT* srcRect,
              float alpha, int mode);
// The same with the source rectangle as x, y, w, h.
void RAS_Blit(RAS_IBitmap* dest, RAS_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw,
              int srch, float alpha, int mode);
// Resizes dest to the source's size and copies the source whole.
void RAS_Copy(RAS_IBitmap* dest, RAS_IBitmap* src);
