// Whole pictures drawn through the engine, compared with the committed golden PNGs
// (redrawn deliberately with the graphics-golden and controls-golden targets).

#include <gtest/gtest.h>

#include "DrawingTestSupport.h"
#include "support/GoldenImage.h"
#include "tools/controls-sheet/ControlsSheet.h"
#include "tools/graphics-sheet/GraphicsSheet.h"

namespace {

TEST(Golden, EngineSheetMatches) {
  RAS_MemBitmap sheet(0, 0, 4);
  ASSERT_TRUE(sheets::RenderGraphicsSheet(ImageFolder(), &sheet));
  ExpectMatchesGolden(&sheet, "tests/graphics/golden/engine_sheet.png");
}

TEST(Golden, ControlsSheetMatches) {
  RAS_MemBitmap sheet(0, 0, 4);
  ASSERT_TRUE(sheets::RenderControlsSheet(ImageFolder(), &sheet));
  ExpectMatchesGolden(&sheet, "tests/graphics/golden/controls_sheet.png");
}

TEST(Golden, GenericEditorMatches) {
  RAS_MemBitmap editor(0, 0, 4);
  ASSERT_TRUE(sheets::RenderGenericEditorSheet(ImageFolder(), &editor));
  ExpectMatchesGolden(&editor, "tests/graphics/golden/generic_editor.png");
}

}  // namespace
