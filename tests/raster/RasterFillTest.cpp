#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "raster/Raster.h"
#include "raster/RasterTestUtil.h"

namespace {

using raster_test::At;
using raster_test::FillAll;
using raster_test::FillPattern;
using raster_test::FlippedBitmap;

constexpr RAS_pixel kBase = 0x40608020;  // a=0x20, r=0x80, g=0x60, b=0x40

// Expects every pixel inside [x0, x1) x [y0, y1) to equal inside and every other pixel
// (padding included) to keep its value from before.
void ExpectRect(RAS_IBitmap& bm, const std::vector<RAS_pixel>& before, int x0, int y0, int x1,
                int y1, RAS_pixel inside) {
  const int span = bm.getRowSpan();
  for (int row = 0; row < bm.getHeight(); ++row) {
    const int y = bm.isFlipped() ? bm.getHeight() - 1 - row : row;
    for (int x = 0; x < span; ++x) {
      const RAS_pixel v = bm.getBits()[row * span + x];
      const bool in = x < bm.getWidth() && x >= x0 && x < x1 && y >= y0 && y < y1;
      ASSERT_EQ(v, in ? inside : before[row * span + x]) << "x " << x << " y " << y;
    }
  }
}

std::vector<RAS_pixel> Snapshot(RAS_IBitmap& bm) {
  return std::vector<RAS_pixel>(bm.getBits(), bm.getBits() + bm.getRowSpan() * bm.getHeight());
}

TEST(RasterFill, FixedWeightsUseWordRules) {
  const RAS_pixel c = 0xff00ff00;
  struct Case {
    float alpha;
    RAS_pixel expect;
  } cases[] = {
      {1.0f, c},
      {0.5f, RAS_HalfWord(c) + RAS_HalfWord(kBase)},
      {0.25f, RAS_QuarterWord(c) + RAS_QuarterWord(kBase) + RAS_HalfWord(kBase)},
      {0.75f, RAS_HalfWord(c) + RAS_QuarterWord(c) + RAS_QuarterWord(kBase)},
  };
  for (const Case& k : cases) {
    RAS_MemBitmap bm(5, 4, 4);
    FillAll(bm, kBase);
    RAS_FillRect(&bm, 1, 1, 3, 2, c, k.alpha, BLIT_COPY);
    EXPECT_EQ(At(bm, 0, 0), kBase);
    EXPECT_EQ(At(bm, 1, 1), k.expect) << k.alpha;
    EXPECT_EQ(At(bm, 3, 2), k.expect) << k.alpha;
    EXPECT_EQ(At(bm, 4, 2), kBase);
  }
  // White half-mixed into white loses a bit per byte.
  RAS_MemBitmap w(2, 2, 4);
  FillAll(w, 0xffffffff);
  RAS_FillRect(&w, 0, 0, 2, 2, 0xffffffff, 0.5f, BLIT_COPY);
  EXPECT_EQ(At(w, 1, 1), 0xfefefefeu);
}

TEST(RasterFill, OtherWeightsMoveAlphaTowardTheWeight) {
  RAS_MemBitmap bm(2, 2, 4);
  FillAll(bm, RAS_RGBA(0, 200, 100, 0));
  // Weight 100: each channel s + (d - s) * 156 / 256, the alpha byte toward 100.
  RAS_FillRect(&bm, 0, 0, 2, 2, RAS_RGBA(255, 0, 100, 255), 100 / 256.0f, BLIT_COPY);
  EXPECT_EQ(At(bm, 1, 1),
            RAS_RGBA(255 - 255 * 156 / 256, 200 * 156 / 256, 100, 100 - 100 * 156 / 256));
  // Colour alpha 0x80 with the source-alpha flag at 1.0 becomes weight 128: the half-mix word.
  FillAll(bm, kBase);
  RAS_FillRect(&bm, 0, 0, 2, 2, 0x11223380, 1.0f, BLIT_COPY | BLIT_FLAG_SOURCE_ALPHA);
  EXPECT_EQ(At(bm, 0, 0), RAS_HalfWord(0x11223380) + RAS_HalfWord(kBase));
  // Weight above 256 extrapolates through the copy rule: 2 * s - d per channel.
  FillAll(bm, RAS_RGBA(100, 100, 100, 100));
  RAS_FillRect(&bm, 0, 0, 1, 1, RAS_RGBA(150, 120, 100, 0), 2.0f, BLIT_COPY);
  EXPECT_EQ(At(bm, 0, 0), RAS_RGBA(200, 140, 100, (1024 - 100) & 0xff));
  // Negative weights, zero alpha and colour alpha 0 under the flag draw nothing.
  FillAll(bm, kBase);
  RAS_FillRect(&bm, 0, 0, 2, 2, 0xffffffff, -0.5f, BLIT_COPY);
  RAS_FillRect(&bm, 0, 0, 2, 2, 0xffffffff, 0.0f, BLIT_ADD);
  RAS_FillRect(&bm, 0, 0, 2, 2, 0xffffff00, 1.0f, BLIT_ADD | BLIT_FLAG_SOURCE_ALPHA);
  EXPECT_EQ(At(bm, 0, 0), kBase);
  EXPECT_EQ(At(bm, 1, 1), kBase);
}

TEST(RasterFill, ModesAndUnknownModes) {
  RAS_MemBitmap bm(1, 1, 4);
  // Add at weight 128: the alpha byte adds the weight itself, 128 * 128 / 256.
  FillAll(bm, RAS_RGBA(10, 20, 30, 40));
  RAS_FillRect(&bm, 0, 0, 1, 1, RAS_RGBA(100, 200, 255, 0), 0.5f, BLIT_ADD);
  EXPECT_EQ(At(bm, 0, 0), RAS_RGBA(60, 120, 157, 104));
  // Multiply at weight 256 by white leaves 255 * d / 256 in colour, d * 256 * 256 >> 16 in alpha.
  FillAll(bm, RAS_RGBA(200, 100, 0, 77));
  RAS_FillRect(&bm, 0, 0, 1, 1, RAS_RGBA(255, 255, 255, 0), 1.0f, BLIT_MUL);
  EXPECT_EQ(At(bm, 0, 0), RAS_RGBA(199, 99, 0, 77));
  // HSV with neutral controls writes the weight as alpha.
  FillAll(bm, RAS_RGBA(90, 90, 90, 0));
  RAS_FillRect(&bm, 0, 0, 1, 1, RAS_RGBA(128, 128, 128, 0), 0.5f, BLIT_HSVADJUST);
  EXPECT_EQ(At(bm, 0, 0), RAS_RGBA(90, 90, 90, 128));
  for (int mode : {6, 0x7f, 0xef, 0xf3, 0x10006}) {
    FillAll(bm, kBase);
    RAS_FillRect(&bm, 0, 0, 1, 1, 0xffffffff, 1.0f, mode);
    EXPECT_EQ(At(bm, 0, 0), kBase) << mode;
  }
}

TEST(RasterFill, ClipsAtEveryEdgeAndHonoursFlippedRows) {
  struct Case {
    int x, y, w, h;
    int x0, y0, x1, y1;  // expected area
  } cases[] = {
      {-2, 1, 4, 2, 0, 1, 2, 3},
      {5, 1, 10, 2, 5, 1, 7, 3},
      {1, -3, 2, 5, 1, 0, 3, 2},
      {1, 3, 2, 10, 1, 3, 3, 5},
      {-9, -9, 99, 99, 0, 0, 7, 5},
      {7, 0, 1, 1, 0, 0, 0, 0},
      {0, 5, 1, 1, 0, 0, 0, 0},
      {-1, 0, 1, 5, 0, 0, 0, 0},
      {2, 2, 0, 3, 0, 0, 0, 0},
      {2, 2, -3, 3, 0, 0, 0, 0},
      {INT_MAX - 1, 0, INT_MAX, 1, 0, 0, 0, 0},
      {INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 0, 0},
      {3, 1, INT_MAX, INT_MAX, 3, 1, 7, 5},
  };
  for (int flipped = 0; flipped < 2; ++flipped) {
    for (const Case& c : cases) {
      RAS_MemBitmap mem(7, 5, 4);
      FlippedBitmap flip(7, 5);
      RAS_IBitmap& bm = flipped ? static_cast<RAS_IBitmap&>(flip) : mem;
      FillPattern(bm);
      // Padding too, to see that nothing spills past the width.
      for (int i = 0; i < bm.getRowSpan() * bm.getHeight(); ++i)
        if (i % bm.getRowSpan() >= bm.getWidth()) bm.getBits()[i] = 0x5a5a5a5a;
      const auto before = Snapshot(bm);
      RAS_FillRect(&bm, c.x, c.y, c.w, c.h, 0xcafef00d, 1.0f, BLIT_COPY);
      SCOPED_TRACE(testing::Message() << "flipped " << flipped << " rect " << c.x << "," << c.y
                                      << "," << c.w << "," << c.h);
      ExpectRect(bm, before, c.x0, c.y0, c.x1, c.y1, 0xcafef00d);
    }
  }
  FlippedBitmap flip(3, 4);
  RAS_FillRect(&flip, 1, 0, 1, 1, 0x12345678, 1.0f, BLIT_COPY);
  EXPECT_EQ(flip.mem(1, 3), 0x12345678u);  // picture row 0 is the last memory row
  RAS_FillRect(nullptr, 0, 0, 1, 1, 0, 1.0f, 0);
}

TEST(RasterFill, ClearClearRectAndPixels) {
  RAS_MemBitmap bm(3, 2, 4);
  bm.getBits()[3] = 0x99;  // padding of row 0
  RAS_Clear(&bm, 0xabcdef01);
  EXPECT_EQ(At(bm, 2, 1), 0xabcdef01u);
  EXPECT_EQ(bm.getBits()[3], 0x99u);
  RAS_ClearRect(&bm, 1, 0, 5, 1, 0xffffff00, 0);
  EXPECT_EQ(At(bm, 0, 0), 0xabcdef01u);
  EXPECT_EQ(At(bm, 1, 0), 0xabcdef00u);
  EXPECT_EQ(At(bm, 2, 0), 0xabcdef00u);
  EXPECT_EQ(At(bm, 1, 1), 0xabcdef01u);
  RAS_ClearRect(&bm, 0, 1, 1, 1, 0x000000ff, 0x11223300);
  EXPECT_EQ(At(bm, 0, 1), 0x11223301u);

  FlippedBitmap flip(3, 2);
  RAS_PutPixel(&flip, 2, 0, 0x77, 1.0f, BLIT_COPY);
  EXPECT_EQ(flip.mem(2, 1), 0x77u);
  EXPECT_EQ(RAS_GetPixel(&flip, 2, 0), 0x77u);
  const int outside[][2] = {{-1, 0}, {0, -1}, {3, 0}, {0, 2}, {INT_MIN, 0}, {0, INT_MAX}};
  for (auto& o : outside) EXPECT_EQ(RAS_GetPixel(&flip, o[0], o[1]), 0u);
  RAS_PutPixel(&flip, 3, 0, 0xffffffff, 1.0f, BLIT_COPY);
  RAS_PutPixel(&flip, -1, 0, 0xffffffff, 1.0f, BLIT_COPY);
  EXPECT_EQ(flip.mem(3, 1), 0u);  // padding after the last column stays
  EXPECT_EQ(RAS_GetPixel(nullptr, 0, 0), 0u);

  // Single pixels: word rules at the fixed weights, the colour's own alpha elsewhere.
  RAS_MemBitmap p(1, 1, 4);
  FillAll(p, kBase);
  RAS_PutPixel(&p, 0, 0, 0xff00ff00, 0.75f, BLIT_COPY);
  EXPECT_EQ(At(p, 0, 0),
            RAS_HalfWord(0xff00ff00) + RAS_QuarterWord(0xff00ff00) + RAS_QuarterWord(kBase));
  FillAll(p, RAS_RGBA(0, 0, 0, 0));
  RAS_PutPixel(&p, 0, 0, RAS_RGBA(200, 100, 0, 255), 100 / 256.0f, BLIT_COPY);
  EXPECT_EQ(At(p, 0, 0),
            RAS_RGBA(200 - 200 * 156 / 256, 100 - 100 * 156 / 256, 0, 255 - 255 * 156 / 256));
  // The source-alpha flag is ignored for single pixels.
  FillAll(p, kBase);
  RAS_PutPixel(&p, 0, 0, 0x11223300, 1.0f, BLIT_COPY | BLIT_FLAG_SOURCE_ALPHA);
  EXPECT_EQ(At(p, 0, 0), 0x11223300u);
  FillAll(p, RAS_RGBA(100, 0, 0, 0));
  RAS_PutPixel(&p, 0, 0, RAS_RGBA(100, 1, 2, 3), 1.0f, BLIT_ADD);
  EXPECT_EQ(At(p, 0, 0), RAS_RGBA(200, 1, 2, 3));
  RAS_PutPixel(&p, 0, 0, 0, -1.0f, BLIT_COPY);
  RAS_PutPixel(&p, 0, 0, 0, 1.0f, 9);
  EXPECT_EQ(At(p, 0, 0), RAS_RGBA(200, 1, 2, 3));
}

TEST(RasterFill, MultiplyAddProcessAndColorMask) {
  RAS_MemBitmap bm(2, 1, 4);
  At(bm, 0, 0) = RAS_RGBA(100, 200, 10, 255);
  At(bm, 1, 0) = RAS_RGBA(1, 2, 3, 4);
  // Red doubled, green halved plus 10, blue minus 20 (negative goes to 0), alpha kept.
  RAS_MultiplyAddRect(&bm, 0, 0, 1, 1, 2.0f, 0.5f, 1.0f, 1.0f, 0.0f, 10.0f, -20.0f, 0.0f);
  EXPECT_EQ(At(bm, 0, 0), RAS_RGBA(200, 110, 0, 255));
  EXPECT_EQ(At(bm, 1, 0), RAS_RGBA(1, 2, 3, 4));
  RAS_MultiplyAddRect(&bm, -5, -5, 99, 99, 3.0f, 1e30f, -1e30f, 0.0f, 0, 0, 0, 77.9f);
  EXPECT_EQ(At(bm, 0, 0), RAS_RGBA(255, 255, 0, 77));
  EXPECT_EQ(At(bm, 1, 0), RAS_RGBA(3, 255, 0, 77));

  struct Seen {
    std::vector<RAS_pixel*> pixels;
  } seen;
  FlippedBitmap flip(3, 3);
  RAS_ProcessRect(
      &flip, 1, 1, 5, 1,
      [](RAS_pixel* p, void* user) {
        static_cast<Seen*>(user)->pixels.push_back(p);
        *p = 0xee;
      },
      &seen);
  ASSERT_EQ(seen.pixels.size(), 2u);
  EXPECT_EQ(seen.pixels[0], &flip.mem(1, 1));
  EXPECT_EQ(flip.mem(2, 1), 0xeeu);
  RAS_ProcessRect(&flip, 0, 0, 3, 3, nullptr, nullptr);

  RAS_MemBitmap m(3, 1, 4);
  At(m, 0, 0) = 0x11223344;
  At(m, 1, 0) = 0x11223300;
  At(m, 2, 0) = 0x11223400;
  // The colour's own alpha byte does not take part: an opaque mask colour matches too.
  RAS_SetAlphaFromColorMask(&m, 0x112233ff);
  EXPECT_EQ(At(m, 0, 0), 0x11223300u);
  EXPECT_EQ(At(m, 1, 0), 0x11223300u);
  EXPECT_EQ(At(m, 2, 0), 0x112234ffu);
  RAS_SetAlphaFromColorMask(&m, 0x11223400);
  EXPECT_EQ(At(m, 0, 0), 0x112233ffu);
  EXPECT_EQ(At(m, 2, 0), 0x11223400u);
}

TEST(RasterFill, GradientStepsAndClips) {
  RAS_MemBitmap bm(4, 3, 4);
  FillAll(bm, 0);
  // Red rises by one unit (1/255) per column, blue by two per row; alpha opaque.
  const float u = 1.0f / 255;
  RAS_GradRect(&bm, -1, 0, 5, 3, 10 * u, 0, 0, 1.0f, u, 0, 0, 0, 0, 0, 2 * u, 0, BLIT_COPY);
  // The column cut off at x = -1 still advanced red: column 0 shows 11. Integer parts of
  // 16.16 values truncated from floats may land one below.
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) {
      const RAS_pixel p = At(bm, x, y);
      EXPECT_NEAR(RAS_GETR(p), 11 + x, 1) << x << "," << y;
      EXPECT_NEAR(RAS_GETB(p), 2 * y, 1) << x << "," << y;
      EXPECT_EQ(RAS_GETA(p), 255);  // copy at weight 256 toward alpha 256, clamped
    }
  }
  // Exact with binary fractions: red 0.5 -> 127.5 -> 127, weight 128 half way from 0, where
  // s + (0 - s) * 128 / 256 truncates toward zero.
  FillAll(bm, 0);
  RAS_GradRect(&bm, 0, 0, 1, 1, 0.5f, 1.0f, 0, 0.5f, 0, 0, 0, 0, 0, 0, 0, 0, BLIT_COPY);
  EXPECT_EQ(At(bm, 0, 0), RAS_RGBA(127 - 63, 255 - 127, 0, 128 - 64));
  // Flipped bitmaps run the gradient from the picture's top row.
  FlippedBitmap flip(1, 3);
  RAS_GradRect(&flip, 0, 0, 1, 3, 0, 0, 0, 1.0f, 0, 0, 0, 0, 0.5f, 0, 0, 0, BLIT_COPY);
  EXPECT_EQ(RAS_GETR(flip.mem(0, 2)), 0);
  EXPECT_EQ(RAS_GETR(flip.mem(0, 0)), 255);  // 2 * 127.5, clamped copy
  // Unknown modes and huge increments: nothing, and no overflow.
  FillAll(bm, kBase);
  RAS_GradRect(&bm, 0, 0, 4, 3, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 6);
  EXPECT_EQ(At(bm, 3, 2), kBase);
  RAS_GradRect(&bm, -1000000, 0, 1000004, 3, 1e30f, 0, 0, 1, 1e30f, 0, 0, 1e30f, 0, 0, 0, 0,
               BLIT_MUL);
}

TEST(RasterFill, SimpleFillSpreadsAlongRowsOfTheSeedColumn) {
  // 0 marks the fillable colour. Column 2 is the seed column.
  const char* rows[] = {"0000x", "x000x", "00x0x", "x0000", "xxxxx", "00000"};
  RAS_MemBitmap bm(5, 6, 4);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 5; ++x) At(bm, x, y) = rows[y][x] == '0' ? 0x100 : 0x200;
  RAS_SimpleFill(&bm, 2, 1, 0x55000000, 0xffffffff, 0x0000ffff);
  const char* expect[] = {"####x", "x###x", "00x0x", "x0000", "xxxxx", "00000"};
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 5; ++x) {
      const RAS_pixel want = expect[y][x] == '#' ? 0x55000100 : expect[y][x] == '0' ? 0x100 : 0x200;
      EXPECT_EQ(At(bm, x, y), want) << x << "," << y;
    }
  }
  RAS_SimpleFill(&bm, 5, 0, 0, 0xffffffff, 0);
  RAS_SimpleFill(&bm, 0, -1, 0, 0xffffffff, 0);
  // A new colour that still matches the target cannot loop forever.
  RAS_SimpleFill(&bm, 0, 5, 0x100, 0xffffffff, 0);
  EXPECT_EQ(At(bm, 4, 5), 0x100u);
}

}  // namespace
