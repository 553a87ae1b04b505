// Image drawing: frame selection, clipping to the pass, masked rotation, bitmap text layout,
// and the shape and line helpers.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "DrawingTestSupport.h"

namespace {

// Pixel that records where it came from: red and green hold the column, blue the row.
RAS_pixel ColumnCode(int x, int y) { return RAS_RGBA(x & 0xFF, x >> 8, y, 255); }
RAS_pixel RowCode(int x, int y) { return RAS_RGBA(y & 0xFF, y >> 8, x, 255); }
int ColumnOf(RAS_pixel p) { return RAS_GETR(p) | RAS_GETG(p) << 8; }
int RowOf(RAS_pixel p) { return RAS_GETR(p) | RAS_GETG(p) << 8; }

const IChannelBlend kClobber(IChannelBlend::BlendClobber);

class Drawing : public DrawingFixture {};

TEST_F(Drawing, VerticalStripFramesOfAHundredFrameKnob) {
  int id = FreshID();
  std::string name = WriteImage(ImageFolder(), "knob100.png", 3, 4000, RowCode);
  IBitmap knob = g->LoadIBitmap(id, name.c_str(), 100);
  ASSERT_EQ(knob.H, 4000);
  IRECT frame(0, 0, 3, 40);
  for (int state : {1, 2, 100}) {
    Run([&](IGraphics* pG) { pG->DrawBitmap(&knob, &frame, state, &kClobber); });
    EXPECT_EQ(RowOf(Px(1, 0)), (state - 1) * 40) << state;
    EXPECT_EQ(RowOf(Px(1, 39)), (state - 1) * 40 + 39) << state;
    EXPECT_TRUE(Untouched(1, 40));
  }
  for (int state : {0, -3}) {
    Run([&](IGraphics* pG) { pG->DrawBitmap(&knob, &frame, state, &kClobber); });
    EXPECT_EQ(RowOf(Px(1, 0)), 0) << state;
  }
}

TEST_F(Drawing, HorizontalStripFrameOfAFontGlyph) {
  std::string name = WriteImage(ImageFolder(), "font95.png", 570, 12, ColumnCode);
  IBitmap font = g->LoadIBitmap(FreshID(), name.c_str(), 95, true);
  IRECT cell(10, 10, 16, 22);
  Run([&](IGraphics* pG) { pG->DrawBitmap(&font, &cell, 'A' - 31, &kClobber); });
  EXPECT_EQ(ColumnOf(Px(10, 10)), 198);  // (int)(33 * 570 / 95.0 + 0.5)
  EXPECT_EQ(ColumnOf(Px(15, 21)), 203);
  EXPECT_EQ(RAS_GETB(Px(15, 21)), 11);
}

TEST_F(Drawing, BitmapDrawsAreClippedToThePassRectangle) {
  std::string name = WriteImage(ImageFolder(), "block.png", 40, 40, ColumnCode);
  IBitmap block = g->LoadIBitmap(FreshID(), name.c_str());
  IRECT dest(5, 5, 45, 45);
  Run([&](IGraphics* pG) { pG->DrawBitmap(&block, &dest, 1, &kClobber); }, IRECT(0, 0, 20, 20));
  EXPECT_EQ(ColumnOf(Px(5, 5)), 0);
  EXPECT_EQ(ColumnOf(Px(19, 19)), 14);
  EXPECT_EQ(RAS_GETB(Px(19, 19)), 14);
  EXPECT_TRUE(Untouched(20, 10));
  EXPECT_TRUE(Untouched(10, 20));

  // A destination wholly outside the pass draws nothing.
  IRECT away(60, 60, 100, 100);
  Run([&](IGraphics* pG) { pG->DrawBitmap(&block, &away, 1, &kClobber); }, IRECT(0, 0, 20, 20));
  EXPECT_TRUE(Untouched(70, 70));
}

TEST_F(Drawing, BlendMethodsPickTheCombineRule) {
  std::string name = WriteImage(ImageFolder(), "half.png", 4, 4,
                                [](int, int) { return RAS_RGBA(200, 100, 50, 128); });
  IBitmap half = g->LoadIBitmap(FreshID(), name.c_str());
  IRECT dest(0, 0, 4, 4);
  // Clobber copies the pixel whole; normal drawing mixes by the source alpha.
  Run([&](IGraphics* pG) { pG->DrawBitmap(&half, &dest, 1, &kClobber); });
  EXPECT_EQ(Px(1, 1), RAS_RGBA(200, 100, 50, 128));
  Run([&](IGraphics* pG) { pG->DrawBitmap(&half, &dest, 1, nullptr); });
  EXPECT_NEAR(RAS_GETR(Px(1, 1)), (200 + 1) / 2, 2);
  // Weight 0 leaves the surface alone.
  IChannelBlend none(IChannelBlend::BlendNone, 0.0f);
  Run([&](IGraphics* pG) { pG->DrawBitmap(&half, &dest, 1, &none); });
  EXPECT_TRUE(Untouched(1, 1));
}

TEST_F(Drawing, RotatedMaskTurnsTheMaskBetweenBaseAndTop) {
  // Base dark red, mask green over its upper half, top transparent but for one blue pixel.
  std::string base = WriteImage(ImageFolder(), "base.png", 8, 8,
                                [](int, int) { return RAS_RGBA(100, 0, 0, 255); });
  std::string mask = WriteImage(ImageFolder(), "mask.png", 8, 8, [](int, int y) {
    return y < 4 ? RAS_RGBA(0, 100, 0, 255) : RAS_RGBA(0, 0, 0, 0);
  });
  std::string top = WriteImage(ImageFolder(), "top.png", 8, 8, [](int x, int y) {
    return x == 0 && y == 0 ? RAS_RGBA(0, 0, 255, 255) : RAS_RGBA(0, 0, 0, 0);
  });
  IBitmap b = g->LoadIBitmap(FreshID(), base.c_str());
  IBitmap m = g->LoadIBitmap(FreshID(), mask.c_str());
  IBitmap t = g->LoadIBitmap(FreshID(), top.c_str());

  Run([&](IGraphics* pG) { pG->DrawRotatedMask(&b, &m, &t, 20, 30, 0.0, &kClobber); });
  EXPECT_EQ(RAS_GETR(Px(23, 31)), 100);
  EXPECT_GT(RAS_GETG(Px(23, 31)), 90);
  EXPECT_LT(RAS_GETG(Px(23, 36)), 10);
  EXPECT_GT(RAS_GETB(Px(20, 30)), 200);  // the top layer
  EXPECT_TRUE(Untouched(28, 30));

  Run([&](IGraphics* pG) { pG->DrawRotatedMask(&b, &m, &t, 20, 30, 180.0, &kClobber); });
  EXPECT_LT(RAS_GETG(Px(23, 31)), 10);
  EXPECT_GT(RAS_GETG(Px(23, 36)), 90);

  // The final copy is limited to the pass.
  Run([&](IGraphics* pG) { pG->DrawRotatedMask(&b, &m, &t, 20, 30, 0.0, &kClobber); },
      IRECT(0, 0, 120, 33));
  EXPECT_GT(RAS_GETG(Px(23, 31)), 90);
  EXPECT_TRUE(Untouched(23, 34));
}

TEST_F(Drawing, FillRoundRectKeepsTheCornersFree) {
  IColor white = COLOR_WHITE;
  IRECT r(10, 10, 50, 40);
  Run([&](IGraphics* pG) { pG->FillRoundRect(&white, &r, &kClobber, 5, false); });
  RAS_pixel w = white.Pack();
  for (auto [x, y] :
       {std::pair{30, 25}, {30, 10}, {30, 39}, {10, 25}, {49, 25}, {47, 37}, {12, 12}})
    EXPECT_EQ(Px(x, y), w) << x << "," << y;
  for (auto [x, y] : {std::pair{10, 10}, {49, 10}, {10, 39}, {49, 39}, {50, 25}, {30, 40}})
    EXPECT_TRUE(Untouched(x, y)) << x << "," << y;
}

TEST_F(Drawing, LineHelpersMeasureFromTheBottomAndTheLeft) {
  IColor c = COLOR_RED;
  IRECT r(10, 10, 50, 40);
  RAS_pixel red = c.Pack();
  Run([&](IGraphics* pG) { pG->DrawHorizontalLine(&c, &r, 0.0f); });
  EXPECT_EQ(Px(30, 40), red);
  EXPECT_TRUE(Untouched(30, 39));
  Run([&](IGraphics* pG) { pG->DrawHorizontalLine(&c, &r, 1.0f); });
  EXPECT_EQ(Px(30, 10), red);
  Run([&](IGraphics* pG) { pG->DrawHorizontalLine(&c, &r, 0.5f); });
  EXPECT_EQ(Px(30, 25), red);
  Run([&](IGraphics* pG) { pG->DrawHorizontalLine(&c, &r, -2.0f); });
  EXPECT_EQ(Px(30, 40), red);

  Run([&](IGraphics* pG) { pG->DrawVerticalLine(&c, &r, 0.25f); });
  EXPECT_EQ(Px(20, 25), red);
  EXPECT_TRUE(Untouched(19, 25));
  Run([&](IGraphics* pG) { pG->DrawVerticalLine(&c, &r, 3.0f); });
  EXPECT_EQ(Px(50, 25), red);

  // Rectangle outlines lie on R and B themselves.
  Run([&](IGraphics* pG) { pG->DrawRect(&c, &r); });
  EXPECT_EQ(Px(50, 25), red);
  EXPECT_EQ(Px(30, 40), red);
  EXPECT_EQ(Px(10, 10), red);
  EXPECT_TRUE(Untouched(30, 25));
}

TEST_F(Drawing, RadialLinesPointUpAtZeroAndTurnClockwise) {
  IColor c = COLOR_GREEN;
  RAS_pixel green = c.Pack();
  Run([&](IGraphics* pG) { pG->DrawRadialLine(&c, 60.0f, 50.0f, 0.0f, 10.0f, 20.0f, &kClobber); });
  EXPECT_EQ(Px(60, 35), green);
  EXPECT_TRUE(Untouched(60, 45));  // inside the inner radius
  EXPECT_TRUE(Untouched(60, 65));
  Run([&](IGraphics* pG) {
    pG->DrawRadialLine(&c, 60.0f, 50.0f, 3.14159265f / 2, 10.0f, 20.0f, &kClobber);
  });
  EXPECT_EQ(Px(75, 50), green);
  EXPECT_TRUE(Untouched(45, 50));
}

TEST_F(Drawing, PointsAndForcedPixels) {
  IColor c(255, 10, 20, 30);
  Run([&](IGraphics* pG) {
    pG->DrawPoint(&c, 4.6f, 5.4f, &kClobber);
    pG->ForcePixel(&c, 0, 0);
  });
  EXPECT_EQ(Px(5, 5), c.Pack());
  EXPECT_EQ(g->GetPoint(0, 0), c);
  EXPECT_TRUE(Untouched(4, 5));
  // Coordinates off the surface are refused rather than written out of bounds.
  EXPECT_FALSE(g->ForcePixel(&c, kW, 0));
  EXPECT_FALSE(g->ForcePixel(&c, -1, 5));
  EXPECT_TRUE(g->ForcePixel(&c, kW - 1, kH - 1));
}

// Bitmap font text: each drawn cell is read back as the character whose frame it shows.
class BitmapText : public DrawingFixture {
 protected:
  void SetUp() override {
    DrawingFixture::SetUp();
    std::string name = WriteImage(ImageFolder(), "font6x12.png", 570, 12, ColumnCode);
    font = g->LoadIBitmap(FreshID(), name.c_str(), 95, true);
  }
  void DrawText(const char* str, IRECT r, int align, bool multiline, bool vCenter = false,
                int charWidth = 6, int charOffset = 0) {
    IText style(10, nullptr, nullptr, IText::kStyleNormal, align);
    IChannelBlend clobber(IChannelBlend::BlendClobber);
    Run([&](IGraphics* pG) {
      DrawBitmapedText(pG, &font, &r, &style, &clobber, str, vCenter, multiline, charWidth, 12,
                       charOffset);
    });
  }
  // The character shown in the cell whose top left is (x, y); '.' where nothing was drawn.
  char CellAt(int x, int y) {
    if (Untouched(x + 1, y + 1)) return '.';
    return (char)(ColumnOf(Px(x, y)) / 6 + 32);
  }
  std::string Read(int x, int y, int n, int step = 6) {
    std::string s;
    for (int i = 0; i < n; ++i) s += CellAt(x + i * step, y);
    return s;
  }
  IBitmap font;
};

TEST_F(BitmapText, AlignmentPicksTheStart) {
  DrawText("12", IRECT(0, 0, 100, 12), IText::kAlignCenter, true);
  EXPECT_EQ(Read(38, 0, 4), ".12.");
  DrawText("12", IRECT(0, 0, 100, 12), IText::kAlignFar, true);
  EXPECT_EQ(Read(82, 0, 3), ".12");
  DrawText("12", IRECT(10, 0, 100, 12), IText::kAlignNear, true);
  EXPECT_EQ(Read(10, 0, 3), "12.");
  DrawText("12", IRECT(10, 0, 100, 12), 7, true);  // unknown alignment: near
  EXPECT_EQ(Read(10, 0, 3), "12.");
}

TEST_F(BitmapText, WithoutMultiLineTheTextIsCut) {
  DrawText("ABCDE", IRECT(0, 0, 20, 12), IText::kAlignNear, false);
  EXPECT_EQ(Read(0, 0, 4), "ABC.");
}

TEST_F(BitmapText, MultiLineWrapsIntoRowsOfWholeCells) {
  DrawText("ABCDEFGHIJ", IRECT(0, 0, 40, 40), IText::kAlignNear, true);
  EXPECT_EQ(Read(0, 0, 7), "ABCDEF.");
  EXPECT_EQ(Read(0, 12, 5), "GHIJ.");
  EXPECT_EQ(CellAt(0, 24), '.');
}

TEST_F(BitmapText, ControlCharactersShowAsSpacesAndDeleteShowsNothing) {
  DrawText(
      "a\tb\x7f"
      "c\xc8"
      "d",
      IRECT(0, 0, 100, 12), IText::kAlignNear, true);
  EXPECT_EQ(Read(0, 0, 4), "a b.");
  EXPECT_EQ(Read(24, 0, 4), "c d.");
}

TEST_F(BitmapText, VerticalCentringAndCellOffset) {
  DrawText("XY", IRECT(0, 0, 100, 40), IText::kAlignNear, true, true, 6, 2);
  EXPECT_EQ(CellAt(0, 14), 'X');
  EXPECT_EQ(CellAt(8, 14), 'Y');
  EXPECT_TRUE(Untouched(1, 13));
}

TEST_F(BitmapText, DegenerateCellsAndRectanglesDrawNothing) {
  DrawText("AB", IRECT(0, 0, 100, 12), IText::kAlignNear, true, false, 0);
  DrawText("AB", IRECT(50, 0, 50, 12), IText::kAlignNear, true);
  DrawText("", IRECT(0, 0, 100, 12), IText::kAlignNear, true);
  for (int x = 0; x < 100; x += 3) EXPECT_TRUE(Untouched(x, 5)) << x;
}

}  // namespace
