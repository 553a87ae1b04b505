// raster-sheet OUT.png: draws the raster library's operation sheet and writes it as a PNG.
// The golden copy lives in tests/raster/golden/raster-sheet.png; regenerate it only on
// purpose, and look at it before committing.

#include <cstdio>

#include "tools/raster-sheet/RasterSheet.h"
#include "tools/raster-sheet/SheetPng.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUT.png\n", argv[0]);
    return 2;
  }
  RAS_MemBitmap sheet;
  raster_sheet::DrawSheet(sheet);
  if (!raster_sheet::WritePng(argv[1], sheet)) {
    std::fprintf(stderr, "raster-sheet: cannot write %s\n", argv[1]);
    return 1;
  }
  std::printf("raster-sheet: wrote %s (%d by %d)\n", argv[1], sheet.getWidth(), sheet.getHeight());
  return 0;
}
