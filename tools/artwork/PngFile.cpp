#include "tools/artwork/PngFile.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace artwork {

bool WritePng(RAS_IBitmap* bitmap, const char* path) {
  int w = bitmap->getWidth(), h = bitmap->getHeight();
  RAS_pixel* bits = bitmap->getBits();
  if (!bits || w <= 0 || h <= 0) return false;
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  std::vector<png_byte> row((size_t)w * 4);
  volatile bool ok = false;
  if (info && !setjmp(png_jmpbuf(png))) {
    png_init_io(png, file);
    // Fixed settings keep regenerated files byte-identical.
    png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y) {
      const RAS_pixel* src = bits + (size_t)y * bitmap->getRowSpan();
      for (int x = 0; x < w; ++x) {
        row[4 * x + 0] = (png_byte)(src[x] >> 8);
        row[4 * x + 1] = (png_byte)(src[x] >> 16);
        row[4 * x + 2] = (png_byte)(src[x] >> 24);
        row[4 * x + 3] = (png_byte)src[x];
      }
      png_write_row(png, row.data());
    }
    png_write_end(png, info);
    ok = true;
  }
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0 && ok;
}

}  // namespace artwork
