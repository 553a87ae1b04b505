// Sheets leave as 8-bit RGB through the tools' writer; any PNG comes back in as 8-bit RGB
// through libpng's simplified reader.

#include "tools/raster-sheet/SheetPng.h"

#include <png.h>

#include <cstring>
#include <vector>

#include "tools/png/PngWriter.h"

namespace raster_sheet {

bool WritePng(const char* path, RAS_IBitmap& bm) { return ::WritePng(&bm, path, {.alpha = false}); }

bool ReadPng(const char* path, RAS_MemBitmap& bm) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path)) return false;
  image.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return false;
  const int w = int(image.width), h = int(image.height);
  bm.resize(w, h);
  if (!bm.getBits()) return false;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const unsigned char* i = &rgb[(size_t(y) * w + x) * 3];
      bm.getBits()[size_t(y) * bm.getRowSpan() + x] = RAS_RGBA(i[0], i[1], i[2], 255);
    }
  return true;
}

}  // namespace raster_sheet
