// Redraws the engine sheet golden picture: graphics_sheet <out.png> [scratch folder]
// Look at the picture before committing it.

#include "tools/graphics-sheet/GraphicsSheet.h"
#include "tools/graphics-sheet/SheetTool.h"

int main(int argc, char** argv) {
  return sheets::RunSheetTool(argc, argv, sheets::RenderGraphicsSheet);
}
