#pragma once
// One sheet showing every resampling, line, curve and shape operation of the raster library
// in several modes and alphas, for people to look at and for the golden-image test.

#include "raster/Raster.h"

namespace raster_sheet {

constexpr int kWidth = 512;
constexpr int kHeight = 384;

// Resizes the bitmap to the sheet's size and draws the sheet into it.
void DrawSheet(RAS_MemBitmap& sheet);

}  // namespace raster_sheet
