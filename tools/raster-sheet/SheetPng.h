#pragma once
// Straight RGB PNG files for raster bitmaps: byte for byte, no colour management. The alpha
// byte is left out, as the platform leaves it out when it shows a frame; it reads back as 255.

#include "raster/Raster.h"

namespace raster_sheet {

bool WritePng(const char* path, RAS_IBitmap& bm);
// Resizes bm to the image and fills it; false for a missing or unreadable file.
bool ReadPng(const char* path, RAS_MemBitmap& bm);

}  // namespace raster_sheet
