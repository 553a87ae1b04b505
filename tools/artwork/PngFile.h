#pragma once
// Writes a raster bitmap as an 8-bit RGBA PNG file.

#include "raster/Raster.h"

namespace artwork {

bool WritePng(RAS_IBitmap* bitmap, const char* path);

}  // namespace artwork
