// Redraws the controls sheet golden picture: controls_sheet <out.png> [scratch folder]
// Look at the picture before committing it.

#include "tools/controls-sheet/ControlsSheet.h"
#include "tools/graphics-sheet/SheetTool.h"

int main(int argc, char** argv) {
  return sheets::RunSheetTool(argc, argv, sheets::RenderControlsSheet);
}
