#include <gtest/gtest.h>

#include "TextSheet.h"
#include "raster/Raster.h"
#include "support/GoldenImage.h"

// The sheet is regenerated only deliberately (make golden).
TEST(TextGolden, SheetMatchesTheCommittedPicture) {
  RAS_MemBitmap sheet(kTextSheetWidth, kTextSheetHeight);
  DrawTextSheet(&sheet);
  // The PNG holds red, green and blue only.
  ExpectMatchesGolden(&sheet, "tests/raster/golden/text-sheet.png", GoldenChannels::kColour);
}
