// The operation sheet against its golden image (regenerate with the raster-sheet tool, and
// look at it, only when a change to the drawing is intended).

#include <gtest/gtest.h>

#include "support/GoldenImage.h"
#include "tools/raster-sheet/RasterSheet.h"

TEST(ShapesSheet, MatchesGoldenImage) {
  RAS_MemBitmap sheet;
  raster_sheet::DrawSheet(sheet);
  // The sheet is shown without alpha.
  ExpectMatchesGolden(&sheet, "tests/raster/golden/raster-sheet.png", GoldenChannels::kColour);
}
