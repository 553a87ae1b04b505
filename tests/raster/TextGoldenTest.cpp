#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "TextSheet.h"
#include "raster/Raster.h"

// The sheet is regenerated only deliberately: text-sheet tests/raster/golden/text-sheet.png
TEST(TextGolden, SheetMatchesTheCommittedPicture) {
  const std::string path = std::string(ORVANTA_TEXT_GOLDEN_DIR) + "/text-sheet.png";
  std::unique_ptr<RAS_IBitmap> golden(RAS_LoadPNG(path.c_str()));
  ASSERT_NE(golden, nullptr) << path;
  RAS_MemBitmap sheet(kTextSheetWidth, kTextSheetHeight);
  DrawTextSheet(&sheet);
  // The PNG holds red, green and blue only.
  int box[4] = {0, 0, 0, 0};
  EXPECT_EQ(RAS_BitmapCmpEx(golden.get(), &sheet, 0xffffff00u, box), 0)
      << "differs in x " << box[0] << " y " << box[1] << " size " << box[2] << "x" << box[3];
}
