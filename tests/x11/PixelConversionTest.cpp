// Raster pixel words to screen visuals.
#include <gtest/gtest.h>

#include "platform/x11/PixelConversion.h"

using viewrules::VisualFormat;

namespace {
uint32_t Raster(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return a | r << 8 | g << 16 | b << 24;
}
}  // namespace

TEST(PixelConversion, CommonVisualsDropAlphaAndPlaceChannels) {
  VisualFormat rgb(0xff0000, 0xff00, 0xff);
  EXPECT_TRUE(rgb.IsRgb888());
  EXPECT_EQ(rgb.Convert(Raster(0x80, 0x12, 0x34, 0x56)), 0x123456u);

  VisualFormat bgr(0xff, 0xff00, 0xff0000);
  EXPECT_FALSE(bgr.IsRgb888());
  EXPECT_EQ(bgr.Convert(Raster(0xff, 0x12, 0x34, 0x56)), 0x563412u);

  VisualFormat rgb565(0xf800, 0x07e0, 0x001f);
  EXPECT_EQ(rgb565.Convert(Raster(0xff, 0xff, 0xff, 0xff)), 0xffffu);
  EXPECT_EQ(rgb565.Convert(Raster(0xff, 0x80, 0x40, 0x08)), (0x10u << 11) | (0x10u << 5) | 0x01u);

  VisualFormat rgb101010(0x3ff00000, 0xffc00, 0x3ff);
  EXPECT_EQ(rgb101010.Convert(Raster(0, 0xff, 0, 0x80)), (0x3ffu << 20) | 0x202u);
}

TEST(PixelConversion, RectanglesHonourBothSpans) {
  const uint32_t src[] = {Raster(1, 1, 2, 3), Raster(1, 4, 5, 6),    0xdeadbeef,
                          Raster(1, 7, 8, 9), Raster(1, 10, 11, 12), 0xdeadbeef};
  for (VisualFormat f :
       {VisualFormat(0xff0000, 0xff00, 0xff), VisualFormat(0xff, 0xff00, 0xff0000)}) {
    uint32_t dst[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    f.ConvertRect(src, 3, dst, 4, 2, 2);
    EXPECT_EQ(dst[0], f.Convert(src[0]));
    EXPECT_EQ(dst[1], f.Convert(src[1]));
    EXPECT_EQ(dst[2], 0u);  // outside the area: untouched
    EXPECT_EQ(dst[4], f.Convert(src[3]));
    EXPECT_EQ(dst[5], f.Convert(src[4]));
  }
}
