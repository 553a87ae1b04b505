// text-sheet OUT.png: draws the text sheet and writes it as an RGB PNG.

#include <png.h>

#include <cstdio>
#include <vector>

#include "TextSheet.h"

namespace {

bool WritePng(const char* path, RAS_IBitmap* bm) {
  FILE* fp = std::fopen(path, "wb");
  if (!fp) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    std::fclose(fp);
    return false;
  }
  png_init_io(png, fp);
  const int w = bm->getWidth(), h = bm->getHeight();
  png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<png_byte> row((size_t)w * 3);
  for (int y = 0; y < h; ++y) {
    const RAS_pixel* src = bm->getBits() + (size_t)y * bm->getRowSpan();
    for (int x = 0; x < w; ++x) {
      row[x * 3] = (png_byte)RAS_GETR(src[x]);
      row[x * 3 + 1] = (png_byte)RAS_GETG(src[x]);
      row[x * 3 + 2] = (png_byte)RAS_GETB(src[x]);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return std::fclose(fp) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: text-sheet OUT.png\n");
    return 2;
  }
  RAS_MemBitmap sheet(kTextSheetWidth, kTextSheetHeight);
  DrawTextSheet(&sheet);
  if (!WritePng(argv[1], &sheet)) {
    std::fprintf(stderr, "text-sheet: cannot write %s\n", argv[1]);
    return 1;
  }
  std::printf("text-sheet: wrote %s (%dx%d)\n", argv[1], kTextSheetWidth, kTextSheetHeight);
  return 0;
}
