#include "raster/RAS_BitmapCmp.h"

#include <cstring>

#include "raster/RAS_Clip.h"

int RAS_BitmapCmpEx(RAS_IBitmap* a, RAS_IBitmap* b, RAS_pixel mask, int* coordsOut) {
  if (!a || !b) return !a && !b ? 0 : !a ? -1 : 1;
  if (a->getWidth() != b->getWidth()) return b->getWidth() - a->getWidth();
  if (a->getHeight() != b->getHeight()) return b->getHeight() - a->getHeight();

  const bool pa = RAS_HasPixels(a), pb = RAS_HasPixels(b);
  if (!pa || !pb) {
    // Equal sizes but nothing to compare (empty bitmaps): only the presence of pixels counts.
    if (coordsOut) coordsOut[0] = coordsOut[1] = coordsOut[2] = coordsOut[3] = 0;
    return pa == pb ? 0 : pa ? 1 : -1;
  }
  const int w = a->getWidth(), h = a->getHeight();

  if (coordsOut) {
    int left = w, right = -1, top = -1, bottom = -1;
    for (int y = 0; y < h; ++y) {
      const RAS_pixel* ra = RAS_RowPtr(a, y);
      const RAS_pixel* rb = RAS_RowPtr(b, y);
      int first = -1, last = -1;
      for (int x = 0; x < w; ++x) {
        if ((ra[x] ^ rb[x]) & mask) {
          if (first < 0) first = x;
          last = x;
        }
      }
      if (first < 0) continue;
      if (top < 0) top = y;
      bottom = y;
      if (first < left) left = first;
      if (last > right) right = last;
    }
    if (top < 0) {
      coordsOut[0] = coordsOut[1] = coordsOut[2] = coordsOut[3] = 0;
      return 0;
    }
    coordsOut[0] = left;
    coordsOut[1] = top;
    coordsOut[2] = right - left + 1;
    coordsOut[3] = bottom - top + 1;
    return 1;
  }

  for (int y = 0; y < h; ++y) {
    const RAS_pixel* ra = RAS_RowPtr(a, y);
    const RAS_pixel* rb = RAS_RowPtr(b, y);
    if (mask == 0xffffffff) {
      const int c = memcmp(ra, rb, size_t(w) * 4);
      if (c) return c;
    } else {
      for (int x = 0; x < w; ++x)
        if ((ra[x] ^ rb[x]) & mask) return 1;
    }
  }
  return 0;
}

int RAS_BitmapCmp(RAS_IBitmap* a, RAS_IBitmap* b, int* coordsOut) {
  return RAS_BitmapCmpEx(a, b, 0xffffffff, coordsOut);
}
