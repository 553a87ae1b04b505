#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "raster/Raster.h"
#include "raster/RasterTestUtil.h"
#include "raster/TextTestUtil.h"

using namespace text_test;

namespace {

constexpr int kGlyph = RAS_FONT_FLAG_OWNS_HFONT;
constexpr int kNative = RAS_FONT_FLAG_OWNS_HFONT | RAS_FONT_FLAG_NATIVE;
constexpr int W = 200, H = 80;

// A bitmap that asks never to be drawn on natively.
struct NoNativeBitmap : RAS_MemBitmap {
  NoNativeBitmap() : RAS_MemBitmap(W, H) {}
  intptr_t Extended(int id, void*) override { return id == RAS_EXT_NO_NATIVE_TEXT; }
};

class TextDraw : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    font.SetFromHFont(Face(-12), GetParam());
    font.SetTextColor(RAS_RGBA(0, 0, 0, 255));
    RAS_Clear(&bm, kWhite);
  }
  RECT Measure(const char* text, unsigned flags = 0) {
    RECT r{0, 0, 0, 0};
    font.DrawText(nullptr, text, -1, &r, flags | DT_CALCRECT);
    return r;
  }
  RECT DrawBox(const char* text, RECT r, unsigned flags) {
    RAS_Clear(&bm, kWhite);
    font.DrawText(&bm, text, -1, &r, flags);
    return InkBox(&bm);
  }
  RAS_CachedFont font;
  RAS_MemBitmap bm{W, H};
};

}  // namespace

TEST_P(TextDraw, MeasuringSetsRightAndBottomWithoutDrawing) {
  RECT r{5, 7, 5, 7};
  const int h = font.DrawText(&bm, "Gain", -1, &r, DT_CALCRECT);
  EXPECT_GT(h, 10);
  EXPECT_EQ(r.bottom, 7 + h);
  EXPECT_GT(r.right, 5 + 20);
  EXPECT_TRUE(Empty(InkBox(&bm)));
  EXPECT_LT(Measure("ab").right, Measure("abab").right);
}

TEST_P(TextDraw, LineFeedsStartNewLinesUnlessSingleLine) {
  const RECT one = Measure("Ab");
  const RECT two = Measure("Ab\nAb");
  const RECT flat = Measure("Ab\nAb", DT_SINGLELINE);
  const RECT spaced = Measure("Ab Ab");
  EXPECT_EQ(two.right, one.right);
  EXPECT_GE(two.bottom - one.bottom, font.GetLineHeight() - 1);
  EXPECT_EQ(flat.bottom, one.bottom);
  EXPECT_EQ(flat.right, spaced.right);

  const RECT inkTwo = DrawBox("Ab\nAb", RECT{0, 0, W, H}, 0);
  const RECT inkOne = DrawBox("Ab", RECT{0, 0, W, H}, 0);
  EXPECT_EQ(inkTwo.left, inkOne.left);
  EXPECT_GE(inkTwo.bottom - inkOne.bottom, font.GetLineHeight() - 1);
}

TEST_P(TextDraw, AlignmentPlacesTheInk) {
  const RECT box{20, 10, 180, 70};
  const RECT m = Measure("Wq");
  const int w = m.right, h = m.bottom;
  const RECT left = DrawBox("Wq", box, 0);
  EXPECT_GE(left.left, 20);
  EXPECT_LE(left.left, 21);
  EXPECT_GE(left.top, 10);
  EXPECT_LE(left.bottom, 10 + h);

  const RECT right = DrawBox("Wq", box, DT_RIGHT);
  EXPECT_EQ(right.left - left.left, 160 - w);
  EXPECT_LE(right.right, 180);
  const RECT centre = DrawBox("Wq", box, DT_CENTER);
  EXPECT_NEAR(centre.left - left.left, (160 - w) / 2, 1);
  const RECT bottom = DrawBox("Wq", box, DT_BOTTOM);
  EXPECT_EQ(bottom.top - left.top, 60 - h);
  EXPECT_LE(bottom.bottom, 70);
  const RECT middle = DrawBox("Wq", box, DT_VCENTER | DT_CENTER);
  EXPECT_NEAR(middle.top - left.top, (60 - h) / 2, 1);
  EXPECT_EQ(middle.left, centre.left);
}

TEST_P(TextDraw, ClipsToTheRectangleUnlessNoClip) {
  const RECT narrow{30, 20, 50, 28};
  const RECT clipped = DrawBox("Overflowing", narrow, 0);
  EXPECT_FALSE(Empty(clipped));
  EXPECT_GE(clipped.left, 30);
  EXPECT_GE(clipped.top, 20);
  EXPECT_LE(clipped.right, 50);
  EXPECT_LE(clipped.bottom, 28);

  const RECT free = DrawBox("Overflowing", narrow, DT_NOCLIP);
  EXPECT_GT(free.right, 70);

  // Partly and wholly outside the bitmap.
  EXPECT_FALSE(Empty(DrawBox("Edge", RECT{-10, -5, 40, 40}, 0)));
  EXPECT_TRUE(Empty(DrawBox("Gone", RECT{W + 5, 0, W + 90, 40}, DT_NOCLIP)));
  EXPECT_TRUE(Empty(DrawBox("Gone", RECT{0, -300, 100, -250}, 0)));
}

TEST_P(TextDraw, OpaqueBackgroundIsPaintedBehindTheText) {
  font.SetBkMode(1);
  const RAS_pixel blue = RAS_RGBA(0, 0, 255, 255);
  font.SetBkColor(blue);
  const RECT ink = DrawBox("Box", RECT{10, 10, W, H}, 0);
  EXPECT_EQ(ink.left, 10);
  EXPECT_EQ(ink.top, 10);
  EXPECT_TRUE(Distinct(&bm).count(blue));
  font.SetBkMode(2);  // only 1 is opaque
  const RECT bare = DrawBox("Box", RECT{10, 10, W, H}, 0);
  EXPECT_FALSE(Distinct(&bm).count(blue));
  EXPECT_GT(bare.top, 10);
}

TEST_P(TextDraw, BadInputIsHarmless) {
  RECT r{0, 0, W, H};
  EXPECT_EQ(font.DrawText(&bm, nullptr, -1, &r, 0), 0);
  EXPECT_EQ(font.DrawText(&bm, "x", -1, nullptr, 0), 0);
  EXPECT_EQ(font.DrawText(nullptr, "x", -1, &r, 0), 0);
  EXPECT_EQ(font.DrawText(&bm, "", -1, &r, 0), 0);
  EXPECT_EQ(font.DrawText(&bm, "abc", 0, &r, 0), 0);
  EXPECT_TRUE(Empty(InkBox(&bm)));

  // Invalid UTF-8 still draws, byte by byte.
  EXPECT_GT(font.DrawText(&bm, "\xff\xfe\xc3(\x80\xe2\x82", -1, &r, 0), 0);
  EXPECT_FALSE(Empty(InkBox(&bm)));

  // Explicit lengths stop where they say, whatever follows.
  const char text[] = {'a', 'b', 'W', 'W', 'W'};
  RECT m1{0, 0, 0, 0}, m2{0, 0, 0, 0};
  font.DrawText(nullptr, text, 2, &m1, DT_CALCRECT);
  font.DrawText(nullptr, "ab", -1, &m2, DT_CALCRECT);
  EXPECT_EQ(m1.right, m2.right);
  // A multi-byte character cut by the length does not read past it.
  const char euro[] = {'a', '\xe2', '\x82'};
  EXPECT_GT(font.DrawText(&bm, euro, 3, &r, 0), 0);

  // Embedded NUL with an explicit length draws nothing for it.
  const char nul[] = {'a', '\0', 'b'};
  RAS_Clear(&bm, kWhite);
  EXPECT_GT(font.DrawText(&bm, nul, 3, &r, 0), 0);

  // Extreme rectangles draw nothing rather than overflow.
  RECT wide{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  RAS_Clear(&bm, kWhite);
  EXPECT_EQ(font.DrawText(&bm, "wide", -1, &wide, DT_CENTER | DT_VCENTER | DT_NOCLIP), 0);
  EXPECT_TRUE(Empty(InkBox(&bm)));

  // Ten thousand characters.
  const std::string longText(10000, 'x');
  RAS_Clear(&bm, kWhite);
  EXPECT_GT(font.DrawText(&bm, longText.c_str(), -1, &r, 0), 0);
  EXPECT_FALSE(Empty(InkBox(&bm)));
}

INSTANTIATE_TEST_SUITE_P(BothPaths, TextDraw, ::testing::Values(kGlyph, kNative),
                         [](const auto& info) {
                           return std::string(info.param == kGlyph ? "Glyph" : "Native");
                         });

TEST(TextDrawPaths, FourByteSequenceDrawsASpace) {
  RAS_CachedFont font;
  font.SetFromHFont(Face(-12), kGlyph);
  RECT a{0, 0, 0, 0}, b{0, 0, 0, 0};
  font.DrawText(nullptr, "a\xf0\x9f\x98\x80z", -1, &a, DT_CALCRECT);
  font.DrawText(nullptr, "a z", -1, &b, DT_CALCRECT);
  EXPECT_EQ(a.right, b.right);
  RAS_MemBitmap one(60, 30), two(60, 30);
  RAS_Clear(&one, kWhite);
  RAS_Clear(&two, kWhite);
  RECT r{0, 0, 60, 30};
  font.DrawText(&one, "a\xf0\x9f\x98\x80z", -1, &r, 0);
  font.DrawText(&two, "a z", -1, &r, 0);
  EXPECT_EQ(Pixels(&one), Pixels(&two));
}

TEST(TextDrawPaths, NativeIntoAContextMatchesNativeThroughScratch) {
  RAS_CachedFont font;
  font.SetFromHFont(Face(-13), kNative);
  font.SetTextColor(RAS_RGBA(30, 60, 200, 255));
  RAS_SysBitmap sys(W, H);
  RAS_MemBitmap mem(W, H);
  for (int bkmode : {0, 1}) {
    font.SetBkMode(bkmode);
    font.SetBkColor(RAS_RGBA(250, 240, 10, 255));
    RAS_Clear(&sys, kWhite);
    RAS_Clear(&mem, kWhite);
    RECT r1{10, 5, 190, 75}, r2 = r1;
    const int h1 = font.DrawText(&sys, "Stereo +6.0 dB\nline two", -1, &r1, DT_CENTER);
    const int h2 = font.DrawText(&mem, "Stereo +6.0 dB\nline two", -1, &r2, DT_CENTER);
    EXPECT_EQ(h1, h2);
    EXPECT_FALSE(Empty(InkBox(&mem)));
    EXPECT_EQ(Pixels(&sys), Pixels(&mem)) << bkmode;
  }
  // The native path never fills the glyph cache.
  EXPECT_EQ(font.GetCacheSize(), 0);
}

TEST(TextDrawPaths, WhatSendsNativeFontsDownTheGlyphPath) {
  RAS_MemBitmap bm(W, H);
  RECT r{0, 0, W, H};
  {
    // A bitmap that refuses native text.
    RAS_CachedFont font;
    font.SetFromHFont(Face(-12), kNative);
    NoNativeBitmap refusing;
    font.DrawText(&refusing, "A", -1, &r, 0);
    EXPECT_GT(font.GetCacheSize(), 0);
  }
  {
    // The colour's alpha applied per call.
    RAS_CachedFont font;
    font.SetFromHFont(Face(-12), kNative);
    font.SetTextColor(RAS_RGBA(0, 0, 0, 255));
    font.DrawText(&bm, "A", -1, &r, RAS_DT_USEFGALPHA);
    EXPECT_GT(font.GetCacheSize(), 0);
  }
  {
    // Extra line spacing, unless the text is one line anyway.
    RAS_CachedFont font;
    font.SetFromHFont(Face(-12), kNative);
    font.SetLineSpacingAdjust(5);
    font.DrawText(&bm, "A", -1, &r, DT_SINGLELINE);
    EXPECT_EQ(font.GetCacheSize(), 0);
    font.DrawText(&bm, "A", -1, &r, 0);
    EXPECT_GT(font.GetCacheSize(), 0);
    RECT one{0, 0, 0, 0}, two{0, 0, 0, 0};
    font.DrawText(nullptr, "A", -1, &one, DT_CALCRECT);
    font.DrawText(nullptr, "A\nA", -1, &two, DT_CALCRECT);
    EXPECT_EQ(two.bottom - one.bottom, font.GetLineHeight() + 5);
  }
}

TEST(TextDrawPaths, TextColourAlphaScalesTheGlyphPath) {
  RAS_CachedFont font;
  font.SetFromHFont(Face(-14), kGlyph);
  RAS_MemBitmap full(60, 30), half(60, 30);
  RAS_Clear(&full, kWhite);
  RAS_Clear(&half, kWhite);
  RECT r{0, 0, 60, 30};
  font.SetTextColor(RAS_RGBA(0, 0, 0, 255));
  font.DrawText(&full, "I", -1, &r, RAS_DT_USEFGALPHA);
  font.SetTextColor(RAS_RGBA(0, 0, 0, 128));
  font.DrawText(&half, "I", -1, &r, RAS_DT_USEFGALPHA);
  const RECT ink = InkBox(&full);
  ASSERT_FALSE(Empty(ink));
  int darker = 0;
  for (int y = ink.top; y < ink.bottom; ++y)
    for (int x = ink.left; x < ink.right; ++x) {
      ASSERT_LE(RAS_GETR(Pix(&full, x, y)), RAS_GETR(Pix(&half, x, y)));
      darker += RAS_GETR(Pix(&full, x, y)) < RAS_GETR(Pix(&half, x, y));
    }
  EXPECT_GT(darker, 5);

  // Alpha byte 0: nothing drawn, but measuring still works.
  RAS_MemBitmap none(60, 30);
  RAS_Clear(&none, kWhite);
  font.SetTextColor(RAS_RGBA(0, 0, 0, 0));
  EXPECT_EQ(font.DrawText(&none, "I", -1, &r, RAS_DT_USEFGALPHA), 0);
  EXPECT_TRUE(Empty(InkBox(&none)));
  RECT m{0, 0, 0, 0};
  EXPECT_GT(font.DrawText(nullptr, "I", -1, &m, RAS_DT_USEFGALPHA | DT_CALCRECT), 0);
}

TEST(TextDrawPaths, GlyphBackgroundFillsEachCell) {
  RAS_CachedFont font;
  font.SetFromHFont(Face(-14), kGlyph | RAS_FONT_FLAG_MONO);
  font.SetBkMode(1);
  const RAS_pixel fg = RAS_RGBA(0, 0, 0, 255), bg = RAS_RGBA(0, 0, 255, 255);
  font.SetTextColor(fg);
  font.SetBkColor(bg);
  RAS_MemBitmap bm(60, 40);
  RAS_Clear(&bm, kWhite);
  RECT r{5, 6, 60, 40};
  font.DrawText(&bm, "A", -1, &r, 0);
  const RAS_CachedFont::charEnt* e = font.GetCharEnt('A');
  const RECT ink = InkBox(&bm);
  EXPECT_EQ(ink.left, 5);
  EXPECT_EQ(ink.top, 6);
  EXPECT_EQ(ink.right, 5 + e->width);
  EXPECT_EQ(ink.bottom, 6 + e->height);
  EXPECT_EQ(Distinct(&bm), (std::set<RAS_pixel>{kWhite, fg, bg}));
}

TEST(TextDrawPaths, FlippedBitmapsKeepTheTextUpright) {
  RAS_CachedFont font;
  font.SetFromHFont(Face(-14), kGlyph);
  raster_test::FlippedBitmap flipped(60, 30);
  RAS_MemBitmap plain(60, 30);
  RAS_Clear(&flipped, kWhite);
  RAS_Clear(&plain, kWhite);
  RECT r{2, 3, 60, 30};
  font.DrawText(&flipped, "Fp", -1, &r, 0);
  font.DrawText(&plain, "Fp", -1, &r, 0);
  EXPECT_EQ(Pixels(&flipped), Pixels(&plain));
}
