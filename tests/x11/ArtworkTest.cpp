// The committed editor pictures are what the generator draws, in the sizes the editor
// layout needs, and the bitmap font's minus-infinity cells join up.
#include <gtest/gtest.h>

#include <memory>

#include "raster/RAS_PNG.h"
#include "tools/artwork/EditorArt.h"
#include "tools/artwork/Glyphs.h"

using namespace artwork;

namespace {

std::unique_ptr<RAS_IBitmap> LoadCommitted(const char* name) {
  std::string path = std::string(ORVANTA_SOURCE_DIR "/resources/img/") + name;
  return std::unique_ptr<RAS_IBitmap>(RAS_LoadPNG(path.c_str(), nullptr));
}

// Pixels differing between the drawn canvas and the committed file.
int Differences(Canvas& drawn, RAS_IBitmap* committed) {
  RAS_MemBitmap& d = drawn.Bitmap();
  if (committed->getWidth() != d.getWidth() || committed->getHeight() != d.getHeight()) return -1;
  int differences = 0;
  for (int y = 0; y < d.getHeight(); ++y) {
    for (int x = 0; x < d.getWidth(); ++x) {
      RAS_pixel a = d.getBits()[y * d.getRowSpan() + x];
      RAS_pixel b = committed->getBits()[y * committed->getRowSpan() + x];
      // A fully transparent pixel's colour is not stored meaningfully.
      if ((a & 0xff) == 0 && (b & 0xff) == 0) continue;
      differences += a != b;
    }
  }
  return differences;
}

}  // namespace

TEST(Artwork, CommittedPicturesAreTheGeneratorsOutput) {
  Canvas background(kBackgroundWidth, kBackgroundHeight);
  DrawBackground(background);
  Canvas knob(kKnobSize, kKnobSize * kKnobFrames);
  DrawKnobStrip(knob);
  Canvas handle(kHandleWidth, kHandleHeight);
  DrawFaderHandle(handle);
  Canvas font(kGlyphWidth * kGlyphCount, kGlyphHeight);
  DrawFontStrip(font);
  struct {
    Canvas* drawn;
    const char* file;
  } const kPictures[] = {{&background, "orvantaBack.png"},
                         {&knob, "knob.png"},
                         {&handle, "SliderCap.png"},
                         {&font, "font-white.png"}};
  for (const auto& p : kPictures) {
    auto committed = LoadCommitted(p.file);
    ASSERT_TRUE(committed) << p.file;
    EXPECT_EQ(Differences(*p.drawn, committed.get()), 0)
        << p.file << " is stale: rebuild the `artwork` target and look at the pictures";
  }
}

TEST(Artwork, SizesAndTransparencyFitTheEditor) {
  auto background = LoadCommitted("orvantaBack.png");
  ASSERT_TRUE(background);
  EXPECT_EQ(background->getWidth(), 274);
  EXPECT_EQ(background->getHeight(), 438);
  // The background is opaque everywhere: it is copied without blending.
  for (int y = 0; y < 438; y += 7) {
    for (int x = 0; x < 274; x += 3) ASSERT_EQ(RAS_GetPixel(background.get(), x, y) & 0xff, 255u);
  }
  auto knob = LoadCommitted("knob.png");
  ASSERT_TRUE(knob);
  EXPECT_EQ(knob->getHeight() % 100, 0);
  EXPECT_EQ(knob->getHeight() / 100, knob->getWidth());
  // Frames 1 and 100 differ (the pointer turns), and corners stay transparent.
  int frame = knob->getWidth();
  int changed = 0;
  for (int y = 0; y < frame; ++y) {
    for (int x = 0; x < frame; ++x) {
      changed += RAS_GetPixel(knob.get(), x, y) != RAS_GetPixel(knob.get(), x, y + 99 * frame);
    }
  }
  EXPECT_GT(changed, 50);
  EXPECT_EQ(RAS_GetPixel(knob.get(), 0, 0) & 0xff, 0u);
  EXPECT_EQ(RAS_GetPixel(knob.get(), frame - 1, 100 * frame - 1) & 0xff, 0u);

  auto font = LoadCommitted("font-white.png");
  ASSERT_TRUE(font);
  EXPECT_EQ(font->getWidth(), 95 * 6);
  EXPECT_EQ(font->getHeight(), 12);
}

TEST(Artwork, GlyphsStayInTheirCellsAndMinusInfinityReadsAsOne) {
  for (int c = kFirstGlyph; c <= kLastGlyph; ++c) {
    int set = 0;
    for (int y = 0; y < kGlyphHeight; ++y) {
      for (int x = 0; x < kGlyphWidth; ++x) set += GlyphPixel(c, x, y);
    }
    if (c == ' ') {
      EXPECT_EQ(set, 0);
    } else {
      EXPECT_GT(set, 0) << (char)c;
    }
    // Ordinary glyphs leave the sixth column free as the gap between letters.
    if (c != '#' && c != '$') {
      for (int y = 0; y < kGlyphHeight; ++y) EXPECT_FALSE(GlyphPixel(c, 5, y)) << (char)c;
    }
  }
  EXPECT_FALSE(GlyphPixel(31, 0, 4));
  EXPECT_FALSE(GlyphPixel(127, 0, 4));

  // '#' ends and '$' starts on the same row (the crossing of the loops), which is the row
  // of the minus sign before them.
  int minusRow = -1, crossingRow = -1;
  for (int y = 0; y < kGlyphHeight; ++y) {
    if (GlyphPixel('-', 2, y)) minusRow = y;
    if (GlyphPixel('#', 5, y) && GlyphPixel('$', 0, y)) crossingRow = y;
  }
  EXPECT_GE(minusRow, 0);
  EXPECT_EQ(crossingRow, minusRow);
  // The two halves mirror each other.
  for (int y = 0; y < kGlyphHeight; ++y) {
    for (int x = 0; x < kGlyphWidth; ++x) {
      EXPECT_EQ(GlyphPixel('#', x, y), GlyphPixel('$', kGlyphWidth - 1 - x, y)) << x << "," << y;
    }
  }
}
