// The operation sheet against its golden image (regenerate with the raster-sheet tool, and
// look at it, only when a change to the drawing is intended).

#include <gtest/gtest.h>

#include "raster/RasterTestUtil.h"
#include "tools/raster-sheet/RasterSheet.h"
#include "tools/raster-sheet/SheetPng.h"

using namespace raster_test;

TEST(ShapesSheet, MatchesGoldenImage) {
  RAS_MemBitmap sheet, golden;
  raster_sheet::DrawSheet(sheet);
  ASSERT_TRUE(raster_sheet::ReadPng(ORVANTA_RASTER_SHEET_GOLDEN, golden))
      << ORVANTA_RASTER_SHEET_GOLDEN;
  ASSERT_EQ(golden.getWidth(), sheet.getWidth());
  ASSERT_EQ(golden.getHeight(), sheet.getHeight());
  int differing = 0;
  for (int y = 0; y < sheet.getHeight(); ++y)
    for (int x = 0; x < sheet.getWidth(); ++x)
      differing += (At(sheet, x, y) | 0xff) != At(golden, x, y);  // shown without alpha
  if (differing) raster_sheet::WritePng("raster-sheet-actual.png", sheet);
  EXPECT_EQ(differing, 0) << "see raster-sheet-actual.png in the test's working folder";
}
