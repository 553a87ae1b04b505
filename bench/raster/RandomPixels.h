#pragma once
// Repeatable noise for the benchmarks' bitmaps, so that no pixel value takes a fast path
// real images would not.

#include <cstdint>

#include "raster/Raster.h"

inline void Randomise(RAS_IBitmap& bm, uint32_t seed) {
  uint32_t s = seed * 2654435761u + 1;
  for (int y = 0; y < bm.getHeight(); ++y) {
    RAS_pixel* row = bm.getBits() + y * bm.getRowSpan();
    for (int x = 0; x < bm.getWidth(); ++x) {
      s ^= s << 13, s ^= s >> 17, s ^= s << 5;
      row[x] = s;
    }
  }
}
