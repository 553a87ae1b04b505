#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

#include "gdi/GdiTestSupport.h"
#include "platform/gdi/GDI.h"
#include "platform/gdi/GDI_Text.h"

using namespace gdi_test;

namespace {

std::string Prepared(const char* text, int len, unsigned flags, bool* multi = nullptr) {
  char buf[GDI_TEXT_BUFFER_SIZE];
  bool m = false;
  const int n = gdi::PrepareText(text, len, flags, buf, &m);
  if (multi) *multi = m;
  return std::string(buf, n);
}

// A white 120 by 60 context with a 12-pixel DejaVu Sans font, black text.
class GdiText : public ::testing::Test {
 protected:
  static constexpr int W = 120, H = 60;
  static constexpr uint32_t kWhite = 0xffffffff;
  void SetUp() override {
    ctx = GDI_CreateMemContext(nullptr, W, H);
    ASSERT_NE(ctx, nullptr);
    Fill(ctx, W, H, kWhite);
    Use(MakeFont(-12));
  }
  void TearDown() override {
    GDI_DeleteGfxContext(ctx);
    DeleteObject(font);
  }
  void Use(HFONT f) {
    SelectObject(ctx, f);
    if (font) DeleteObject(font);
    font = f;
  }
  RECT Measure(const char* text, unsigned flags = 0, int len = -1) {
    RECT r{3, 4, 3, 4};
    GDI_DrawText(ctx, text, len, &r, flags | DT_CALCRECT);
    return r;
  }
  RECT DrawAndBox(const char* text, RECT r, unsigned flags) {
    Fill(ctx, W, H, kWhite);
    GDI_DrawText(ctx, text, -1, &r, flags);
    return InkBox(ctx, W, H, kWhite);
  }
  HDC ctx = nullptr;
  HFONT font = nullptr;
};

}  // namespace

TEST(GdiPrepareText, PrefixesCarriageReturnsAndLineFeeds) {
  bool multi = true;
  EXPECT_EQ(Prepared("a&&b", -1, 0), "a&b");
  EXPECT_EQ(Prepared("a&&b", -1, DT_NOPREFIX), "a&&b");
  EXPECT_EQ(Prepared("&File &x&", -1, 0), "File x");
  EXPECT_EQ(Prepared("a\r\nb", -1, 0, &multi), "a\nb");
  EXPECT_TRUE(multi);
  EXPECT_EQ(Prepared("a\r\nb", -1, DT_SINGLELINE, &multi), "a b");
  EXPECT_FALSE(multi);
  EXPECT_EQ(Prepared("abcdef", 3, 0), "abc");
  EXPECT_EQ(Prepared("ab\0cd", 5, 0), "ab");  // a NUL ends the text whatever the length
  EXPECT_EQ(Prepared(nullptr, 5, 0), "");
}

TEST(GdiPrepareText, LongTextsStopAtTheBufferOnACharacterBoundary) {
  const std::string ascii(10000, 'x');
  EXPECT_EQ(Prepared(ascii.c_str(), -1, 0).size(), 4095u);
  EXPECT_EQ(Prepared(ascii.c_str(), (int)ascii.size(), 0).size(), 4095u);

  // 4094 bytes, then a two-byte character that would straddle the limit.
  const std::string straddle = std::string(4094, 'a') + "\xc3\xa9" + "tail";
  EXPECT_EQ(Prepared(straddle.c_str(), -1, 0), std::string(4094, 'a'));
  const std::string fits = std::string(4093, 'a') + "\xc3\xa9" + "tail";
  EXPECT_EQ(Prepared(fits.c_str(), -1, 0), std::string(4093, 'a') + "\xc3\xa9");
  const std::string four = std::string(4092, 'a') + "\xf0\x9f\x98\x80";
  EXPECT_EQ(Prepared(four.c_str(), -1, 0), std::string(4092, 'a'));
}

TEST(GdiDecodeUtf8, ValidAndInvalidSequences) {
  struct Case {
    const char* s;
    int used;
    uint32_t code;
  } cases[] = {
      {"A", 1, 'A'},
      {"\xc3\xa9", 2, 0xe9},
      {"\xe2\x82\xac", 3, 0x20ac},
      {"\xf0\x9f\x98\x80", 4, 0x1f600},
      {"\xc3", 1, 0xc3},              // truncated
      {"\xc0\xaf", 1, 0xc0},          // overlong
      {"\xe0\x80\xaf", 1, 0xe0},      // overlong
      {"\xed\xa0\x80", 1, 0xed},      // surrogate
      {"\xf4\x90\x80\x80", 1, 0xf4},  // beyond U+10FFFF
      {"\x80", 1, 0x80},              // stray continuation
  };
  for (const Case& c : cases) {
    uint32_t code = 0;
    EXPECT_EQ(gdi::DecodeUtf8(c.s, (int)strlen(c.s), &code), c.used) << c.s;
    EXPECT_EQ(code, c.code) << c.s;
  }
}

TEST(GdiMeasureExtent, FloorPlusOneArithmetic) {
  const double one[] = {20.4};
  gdi::TextExtent e = gdi::MeasureExtent(one, 1, 13.2);
  EXPECT_EQ(e.width, 20);
  EXPECT_EQ(e.height, 15);  // floor(14.7) = 14, plus 1
  const double three[] = {10.5, 30.49, 0};
  e = gdi::MeasureExtent(three, 3, 13.6);
  EXPECT_EQ(e.width, 30);
  EXPECT_EQ(e.height, 3 * 15 + 1);
  e = gdi::MeasureExtent(one, 0, 13.2);
  EXPECT_EQ(e.height, 0);
}

TEST_F(GdiText, MeasuringSetsRightAndBottomAndDrawsNothing) {
  const int lineHeight = (int)std::floor(12 * (1901.0 + 483.0) / 2048 + 1.5);
  RECT r{3, 4, 3, 4};
  EXPECT_EQ(GDI_DrawText(ctx, "Hello", -1, &r, DT_CALCRECT), lineHeight + 1);
  EXPECT_EQ(r.bottom, 4 + lineHeight + 1);
  EXPECT_GT(r.right, 3 + 20);
  EXPECT_EQ(InkBox(ctx, W, H, kWhite).right, 0);

  // Two lines; a final line feed opens no third.
  EXPECT_EQ(GDI_DrawText(ctx, "ab\ncd", -1, &r, DT_CALCRECT), 2 * lineHeight + 1);
  EXPECT_EQ(GDI_DrawText(ctx, "ab\ncd\n", -1, &r, DT_CALCRECT), 2 * lineHeight + 1);
  // With single line the line feed is measured as a space.
  const RECT single = Measure("ab\ncd", DT_SINGLELINE);
  const RECT spaced = Measure("ab cd");
  EXPECT_EQ(single.right, spaced.right);
  EXPECT_EQ(single.bottom, 4 + lineHeight + 1);
  // Width grows with the text.
  EXPECT_LT(Measure("ab").right, Measure("abab").right);
}

TEST_F(GdiText, AmpersandsWithAndWithoutPrefixProcessing) {
  EXPECT_EQ(Measure("a&&b").right, Measure("a&b", DT_NOPREFIX).right);
  EXPECT_GT(Measure("a&&b", DT_NOPREFIX).right, Measure("a&b", DT_NOPREFIX).right);
  RECT r{0, 0, W, H};
  GDI_DrawText(ctx, "a&&b", -1, &r, 0);
  const std::string prefixed = Snapshot(ctx, W, H);
  Fill(ctx, W, H, kWhite);
  GDI_DrawText(ctx, "a&b", -1, &r, DT_NOPREFIX);
  EXPECT_EQ(Snapshot(ctx, W, H), prefixed);
}

TEST_F(GdiText, FlagEightChangesNothing) {
  RECT r{5, 5, 100, 50};
  const int h0 = GDI_DrawText(ctx, "Mix 0.5", -1, &r, DT_CENTER);
  const std::string plain = Snapshot(ctx, W, H);
  Fill(ctx, W, H, kWhite);
  EXPECT_EQ(GDI_DrawText(ctx, "Mix 0.5", -1, &r, DT_CENTER | 0x8), h0);
  EXPECT_EQ(Snapshot(ctx, W, H), plain);
}

TEST_F(GdiText, AlignmentPlacesTheInk) {
  const RECT box{10, 10, 110, 50};
  const RECT m = Measure("Wg");
  const int w = m.right - m.left, h = m.bottom - m.top;

  const RECT left = DrawAndBox("Wg", box, 0);
  EXPECT_NEAR(left.left, 10, 1);
  EXPECT_GE(left.top, 10);
  EXPECT_LE(left.bottom, 10 + h);

  const RECT right = DrawAndBox("Wg", box, DT_RIGHT);
  EXPECT_NEAR(right.right, 110, 2);
  EXPECT_NEAR(right.left - left.left, 100 - w, 1);

  const RECT centre = DrawAndBox("Wg", box, DT_CENTER);
  EXPECT_EQ(centre.left - left.left, 50 - w / 2);

  const RECT bottom = DrawAndBox("Wg", box, DT_BOTTOM);
  EXPECT_EQ(bottom.top - left.top, 40 - h);
  EXPECT_LE(bottom.bottom, 50);

  const RECT middle = DrawAndBox("Wg", box, DT_VCENTER);
  EXPECT_EQ(middle.top - left.top, 20 - h / 2);
}

TEST_F(GdiText, ClipsToTheRectangleUnlessNoClip) {
  const RECT narrow{20, 20, 40, 30};
  const RECT clipped = DrawAndBox("Overflowing text", narrow, 0);
  EXPECT_GE(clipped.left, 20);
  EXPECT_GE(clipped.top, 20);
  EXPECT_LE(clipped.right, 40);
  EXPECT_LE(clipped.bottom, 30);
  EXPECT_GT(clipped.right, clipped.left);

  const RECT free = DrawAndBox("Overflowing text", narrow, DT_NOCLIP);
  EXPECT_GT(free.right, 60);
  EXPECT_GT(free.bottom, 30);

  // Text wholly off the context draws nothing and harms nothing.
  EXPECT_EQ(DrawAndBox("x", RECT{-500, -500, -400, -400}, DT_NOCLIP).right, 0);
  EXPECT_EQ(DrawAndBox("x", RECT{500, 500, 600, 600}, 0).right, 0);
}

TEST_F(GdiText, MultiLineStacksLinesAtTheLeft) {
  const RECT one = DrawAndBox("Ab", RECT{0, 0, W, H}, 0);
  const RECT two = DrawAndBox("Ab\nAb", RECT{0, 0, W, H}, 0);
  EXPECT_EQ(two.left, one.left);
  EXPECT_EQ(two.right, one.right);
  const int step = (int)std::floor(12 * (1901.0 + 483.0) / 2048 + 0.5);
  EXPECT_EQ(two.bottom - one.bottom, step);
}

TEST_F(GdiText, MonochromeHasTwoValuesAntiAliasedMore) {
  SetTextColor(ctx, GDI_RGB(200, 10, 30));
  RECT r{0, 0, W, H};
  GDI_DrawText(ctx, "Quality 3", -1, &r, 0);
  EXPECT_GT(DistinctPixels(ctx, W, H).size(), 2u);

  Use(MakeFont(-12, "DejaVu Sans", 3));
  Fill(ctx, W, H, kWhite);
  GDI_DrawText(ctx, "Quality 3", -1, &r, 0);
  const auto values = DistinctPixels(ctx, W, H);
  EXPECT_EQ(values, (std::set<uint32_t>{kWhite, WordOf(GDI_RGB(200, 10, 30))}));
}

TEST_F(GdiText, OpaqueBackgroundFillsTheMeasuredBox) {
  Use(MakeFont(-12, "DejaVu Sans", 3));
  SetBkMode(ctx, 1);
  SetBkColor(ctx, GDI_RGB(0, 0, 255));
  const RECT m = Measure("Box");
  const RECT r{7, 9, 100, 50};
  const RECT ink = DrawAndBox("Box", r, 0);
  EXPECT_EQ(ink.left, 7);
  EXPECT_EQ(ink.top, 9);
  EXPECT_EQ(ink.right, 7 + m.right - m.left);
  EXPECT_EQ(ink.bottom, 9 + m.bottom - m.top);
  const auto values = DistinctPixels(ctx, W, H);
  EXPECT_TRUE(values.count(WordOf(GDI_RGB(0, 0, 255))));

  SetBkMode(ctx, 2);  // only mode 1 fills
  const RECT bare = DrawAndBox("Box", r, 0);
  EXPECT_GT(bare.top, 9);
}

TEST_F(GdiText, BadInputDrawsSafely) {
  RECT r{0, 0, W, H};
  EXPECT_EQ(GDI_DrawText(ctx, "", -1, &r, 0), 0);
  EXPECT_EQ(GDI_DrawText(ctx, "abc", 0, &r, 0), 0);
  EXPECT_EQ(GDI_DrawText(ctx, "&", -1, &r, 0), 0);  // nothing left after the prefix
  EXPECT_EQ(GDI_DrawText(ctx, "\r\r", -1, &r, 0), 0);
  EXPECT_EQ(GDI_DrawText(ctx, nullptr, -1, &r, 0), 0);
  EXPECT_EQ(GDI_DrawText(ctx, "abc", -1, nullptr, 0), 0);
  EXPECT_EQ(GDI_DrawText(nullptr, "abc", -1, &r, 0), 0);

  // Invalid UTF-8 still draws, byte by byte.
  EXPECT_GT(GDI_DrawText(ctx, "\xff\xfe\xc3(\x80", -1, &r, 0), 0);
  EXPECT_GT(InkBox(ctx, W, H, kWhite).right, 0);

  // Embedded NUL: the text ends there.
  EXPECT_EQ(Measure("ab\0cdef", 0, 7).right, Measure("ab").right);

  // 10 000 characters are cut to what the buffer holds.
  const std::string huge(10000, 'i');
  const std::string held(4095, 'i');
  EXPECT_EQ(Measure(huge.c_str()).right, Measure(held.c_str()).right);
  EXPECT_GT(GDI_DrawText(ctx, huge.c_str(), -1, &r, 0), 0);

  // Extreme rectangles: placement and measuring stay in range.
  RECT far{INT_MAX - 5, INT_MAX - 5, INT_MAX, INT_MAX};
  EXPECT_GT(GDI_DrawText(ctx, "far", -1, &far, DT_CALCRECT), 0);
  EXPECT_EQ(far.right, INT_MAX);
  RECT wide{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  Fill(ctx, W, H, kWhite);
  GDI_DrawText(ctx, "wide", -1, &wide, DT_RIGHT | DT_BOTTOM);
  EXPECT_EQ(InkBox(ctx, W, H, kWhite).right, 0);
  // Centred on (-0.5, -0.5): the text straddles the context's corner.
  GDI_DrawText(ctx, "wide", -1, &wide, DT_CENTER | DT_VCENTER | DT_NOCLIP);
  EXPECT_EQ(InkBox(ctx, W, H, kWhite).left, 0);

  HDC dead = GDI_CreateMemContext(nullptr, 4, 4);
  GDI_DeleteGfxContext(dead);
  EXPECT_EQ(GDI_DrawText(dead, "abc", -1, &r, DT_CALCRECT), 0);
}

TEST_F(GdiText, HugeAndTinyFontsMeasureAndDraw) {
  Use(MakeFont(-8192));
  RECT r{0, 0, 0, 0};
  EXPECT_GT(GDI_DrawText(ctx, "W", -1, &r, DT_CALCRECT), 8192);
  r = RECT{0, 0, W, H};
  GDI_DrawText(ctx, "W", -1, &r, 0);  // clipped to the context

  Use(MakeFont(-2));
  r = RECT{0, 0, W, H};
  EXPECT_GT(GDI_DrawText(ctx, "tiny", -1, &r, 0), 0);
}
