#include "support/GoldenImage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "tools/png/PngWriter.h"

namespace {

RAS_pixel At(RAS_IBitmap* b, int x, int y) { return b->getBits()[y * b->getRowSpan() + x]; }

// Golden pixels that agree faded to a quarter of their brightness, differing ones red.
void DrawDifference(RAS_IBitmap* golden, RAS_IBitmap* actual, RAS_pixel mask, RAS_MemBitmap* out) {
  for (int y = 0; y < golden->getHeight(); ++y)
    for (int x = 0; x < golden->getWidth(); ++x) {
      const RAS_pixel g = At(golden, x, y);
      RAS_pixel p = 0x0000ffffu;  // red, opaque
      if ((g & mask) == (At(actual, x, y) & mask)) p = ((g >> 2) & 0x3f3f3f00u) | 0xff;
      out->getBits()[y * out->getRowSpan() + x] = p;
    }
}

}  // namespace

void ExpectMatchesGolden(RAS_IBitmap* actual, const char* name, GoldenChannels channels) {
  ASSERT_NE(actual, nullptr);
  const std::string goldenPath = std::string(ORVANTA_SOURCE_DIR) + "/" + name;
  std::unique_ptr<RAS_IBitmap> golden(RAS_LoadPNG(goldenPath.c_str()));
  ASSERT_NE(golden, nullptr) << "missing golden picture " << goldenPath;
  ASSERT_EQ(golden->getWidth(), actual->getWidth()) << goldenPath;
  ASSERT_EQ(golden->getHeight(), actual->getHeight()) << goldenPath;

  const RAS_pixel mask = channels == GoldenChannels::kAll ? 0xffffffffu : 0xffffff00u;
  int differing = 0, firstX = -1, firstY = -1;
  for (int y = 0; y < golden->getHeight(); ++y)
    for (int x = 0; x < golden->getWidth(); ++x)
      if ((At(golden.get(), x, y) & mask) != (At(actual, x, y) & mask) && differing++ == 0) {
        firstX = x;
        firstY = y;
      }
  if (!differing) return;

  const std::string stem = ::testing::TempDir() + std::filesystem::path(name).stem().string();
  const std::string actualPath = stem + "-actual.png", differencePath = stem + "-difference.png";
  RAS_MemBitmap difference(golden->getWidth(), golden->getHeight());
  DrawDifference(golden.get(), actual, mask, &difference);
  const bool written =
      WritePng(actual, actualPath.c_str(), {.alpha = channels == GoldenChannels::kAll}) &&
      WritePng(&difference, differencePath.c_str(), {.alpha = false});
  ADD_FAILURE() << differing << " pixels differ from " << goldenPath << ", the first at (" << firstX
                << ", " << firstY << "); "
                << (written ? "see " + actualPath + " and " + differencePath
                            : std::string("the pictures could not be written"));
}
