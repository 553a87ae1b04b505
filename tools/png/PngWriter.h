#pragma once
// Raster bitmaps written as 8-bit PNG files: the artwork, the golden pictures and the sheets the
// tools draw all leave through here.

#include <string>

#include "raster/RAS_Bitmap.h"

// zlib's own level, and its smallest output. The level changes the bytes, never the pixels.
constexpr int kPngDefaultCompression = -1;
constexpr int kPngBestCompression = 9;

struct PngWriteOptions {
  // RGBA when set; otherwise RGB, and the alpha byte is left out (it reads back as 255).
  bool alpha = true;
  int compressionLevel = kPngDefaultCompression;  // 0 to 9, or kPngDefaultCompression
};

// Writes the bitmap with row 0 at the top of the picture, through the safe file writer: the file
// appears complete or not at all. False, with no file left behind and an existing one
// untouched, for a bitmap without pixels, an unwritable path or a failed write; *error (when
// given) then names the path and the cause.
bool WritePng(RAS_IBitmap* bitmap, const char* path, const PngWriteOptions& options = {},
              std::string* error = nullptr);
