#pragma once
// Pixel-exact comparison of a picture with a committed golden PNG; on a mismatch the picture
// is written next to the test's scratch images for a look.

#include <gtest/gtest.h>

#include <string>

#include "DrawingTestSupport.h"
#include "raster/Raster.h"

#ifndef ORVANTA_GRAPHICS_GOLDEN_DIR
#error "the test build defines the golden folder"
#endif

inline void ExpectMatchesGolden(RAS_IBitmap* actual, const char* name) {
  std::string goldenPath = std::string(ORVANTA_GRAPHICS_GOLDEN_DIR) + "/" + name;
  RAS_IBitmap* golden = RAS_LoadPNG(goldenPath.c_str(), nullptr);
  ASSERT_NE(golden, nullptr) << "missing golden " << goldenPath;
  ASSERT_EQ(golden->getWidth(), actual->getWidth());
  ASSERT_EQ(golden->getHeight(), actual->getHeight());
  int differing = 0, firstX = -1, firstY = -1;
  for (int y = 0; y < golden->getHeight(); ++y)
    for (int x = 0; x < golden->getWidth(); ++x)
      if (RAS_GetPixel(golden, x, y) != RAS_GetPixel(actual, x, y) && differing++ == 0) {
        firstX = x;
        firstY = y;
      }
  delete golden;
  if (differing) {
    std::string actualPath = ImageFolder() + "/actual_" + name;
    WritePng(actual, actualPath.c_str());
    ADD_FAILURE() << differing << " pixels differ from " << goldenPath << ", first at (" << firstX
                  << ", " << firstY << "); picture written to " << actualPath;
  }
}
