// text-sheet OUT.png: draws the text sheet and writes it as an RGB PNG.

#include <cstdio>

#include "TextSheet.h"
#include "tools/png/PngWriter.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: text-sheet OUT.png\n");
    return 2;
  }
  RAS_MemBitmap sheet(kTextSheetWidth, kTextSheetHeight);
  DrawTextSheet(&sheet);
  if (!WritePng(&sheet, argv[1], {.alpha = false})) {
    std::fprintf(stderr, "text-sheet: cannot write %s\n", argv[1]);
    return 1;
  }
  std::printf("text-sheet: wrote %s (%dx%d)\n", argv[1], kTextSheetWidth, kTextSheetHeight);
  return 0;
}
