#pragma once
// The command line shared by the tools that redraw a golden sheet:
// <tool> <out.png> [scratch folder]

#include <cstdio>
#include <string>

#include "raster/Raster.h"
#include "tools/png/PngWriter.h"

namespace sheets {

using RenderSheetFunc = bool (*)(const std::string& scratchFolder, RAS_MemBitmap* out);

// Draws the sheet and writes it; the exit status for main.
inline int RunSheetTool(int argc, char** argv, RenderSheetFunc render) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <out.png> [scratch folder]\n", argv[0]);
    return 2;
  }
  std::string scratch = argc > 2 ? argv[2] : "/tmp";
  RAS_MemBitmap sheet(0, 0, 4);
  if (!render(scratch, &sheet) || !WritePng(&sheet, argv[1])) {
    std::fprintf(stderr, "could not draw or write %s\n", argv[1]);
    return 1;
  }
  std::printf("wrote %s\n", argv[1]);
  return 0;
}

}  // namespace sheets
