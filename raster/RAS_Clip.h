#pragma once
// Rectangle clipping and row addressing shared by the rectangle operations.

#include "raster/RAS_Bitmap.h"

// Picture row y of a bitmap, honouring flipped row order. y must lie inside the bitmap.
inline RAS_pixel* RAS_RowPtr(RAS_IBitmap* bm, int y) {
  const long long row = bm->isFlipped() ? (long long)bm->getHeight() - 1 - y : y;
  return bm->getBits() + row * bm->getRowSpan();
}

// Signed distance in pixels from one picture row to the next.
inline long RAS_RowStep(RAS_IBitmap* bm) {
  return bm->isFlipped() ? -(long)bm->getRowSpan() : (long)bm->getRowSpan();
}

// True when a bitmap has pixels to draw on: storage, a positive size and a sane span.
inline bool RAS_HasPixels(RAS_IBitmap* bm) {
  return bm && bm->getBits() && bm->getWidth() > 0 && bm->getHeight() > 0 &&
         bm->getRowSpan() >= bm->getWidth();
}

// A rectangle clipped to a bitmap: top is the picture's top row of the area (x applied),
// step the signed distance to the next picture row.
struct RAS_ClippedArea {
  RAS_pixel* top;
  long step;
  int x, y, w, h;

  // The same area walked in increasing memory order.
  RAS_pixel* firstInMemory() const { return step < 0 ? top + step * (h - 1) : top; }
  long memoryStep() const { return step < 0 ? -step : step; }
};

// Clips x, y, w, h to the bitmap; false when nothing is left to draw. Computed wide so that
// coordinates near the int limits cannot wrap around.
inline bool RAS_ClipArea(RAS_IBitmap* bm, int x, int y, int w, int h, RAS_ClippedArea* out) {
  if (!RAS_HasPixels(bm)) return false;
  long long cx = x, cy = y, cw = w, ch = h;
  if (cx < 0) cw += cx, cx = 0;
  if (cy < 0) ch += cy, cy = 0;
  const int bw = bm->getWidth(), bh = bm->getHeight();
  if (cx >= bw || cy >= bh) return false;
  if (cw > bw - cx) cw = bw - cx;
  if (ch > bh - cy) ch = bh - cy;
  if (cw <= 0 || ch <= 0) return false;
  out->x = int(cx), out->y = int(cy), out->w = int(cw), out->h = int(ch);
  out->top = RAS_RowPtr(bm, out->y) + out->x;
  out->step = RAS_RowStep(bm);
  return true;
}
