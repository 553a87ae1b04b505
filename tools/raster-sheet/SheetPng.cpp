// libpng in its simplified form: 8-bit RGB rows out, any PNG in as 8-bit RGB.

#include "tools/raster-sheet/SheetPng.h"

#include <png.h>

#include <cstring>
#include <vector>

namespace raster_sheet {

bool WritePng(const char* path, RAS_IBitmap& bm) {
  const int w = bm.getWidth(), h = bm.getHeight();
  if (!bm.getBits() || w <= 0 || h <= 0) return false;
  std::vector<unsigned char> rgb(size_t(w) * h * 3);
  for (int y = 0; y < h; ++y) {
    const RAS_pixel* row = bm.getBits() + size_t(y) * bm.getRowSpan();
    for (int x = 0; x < w; ++x) {
      unsigned char* o = &rgb[(size_t(y) * w + x) * 3];
      o[0] = RAS_GETR(row[x]), o[1] = RAS_GETG(row[x]), o[2] = RAS_GETB(row[x]);
    }
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = w, image.height = h, image.format = PNG_FORMAT_RGB;
  return png_image_write_to_file(&image, path, 0, rgb.data(), 0, nullptr) != 0;
}

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
