// Redraws the controls sheet golden picture: controls_sheet <out.png> [scratch folder]
// Look at the picture before committing it.

#include <cstdio>
#include <string>

#include "tools/controls-sheet/ControlsSheet.h"
#include "tools/graphics-sheet/HeadlessGraphics.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <out.png> [scratch folder]\n", argv[0]);
    return 2;
  }
  std::string scratch = argc > 2 ? argv[2] : "/tmp";
  RAS_MemBitmap sheet(0, 0, 4);
  if (!sheets::RenderControlsSheet(scratch, &sheet) || !WritePng(&sheet, argv[1])) {
    std::fprintf(stderr, "could not draw or write %s\n", argv[1]);
    return 1;
  }
  std::printf("wrote %s\n", argv[1]);
  return 0;
}
