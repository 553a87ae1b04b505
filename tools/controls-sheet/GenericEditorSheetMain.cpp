// Redraws the generic editor golden picture: generic_editor_sheet <out.png>
// Look at the picture before committing it.

#include "tools/controls-sheet/ControlsSheet.h"
#include "tools/graphics-sheet/SheetTool.h"

int main(int argc, char** argv) {
  return sheets::RunSheetTool(argc, argv, sheets::RenderGenericEditorSheet);
}
