// Circles, stamps, arcs and rectangle outlines.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

#include "raster/Raster.h"
#include "raster/RasterTestUtil.h"

using namespace raster_test;

namespace {

constexpr RAS_pixel kBlack = 0x000000ff, kWhite = 0xffffffff;
// Red channel of white drawn over black by the copy rule at weight w.
int WhiteOverBlack(int w) { return 255 - 255 * (256 - w) / 256; }

}  // namespace

TEST(ShapesCircle, StampsForTheSmallRadii) {
  RAS_MemBitmap bm(20, 20);
  FillAll(bm, kBlack);
  RAS_Circle(&bm, 10, 10, 2.0f, kWhite, 1.0f, 0, false);
  EXPECT_EQ(Changed(bm, kBlack),
            (Points{{10, 8}, {9, 9}, {11, 9}, {8, 10}, {12, 10}, {9, 11}, {11, 11}, {10, 12}}));
  // Graded radius 1.5: the corners of the 4 by 4 box at 79, the centre four at 15.
  FillAll(bm, kBlack);
  RAS_Circle(&bm, 5, 5, 1.5f, kWhite, 1.0f, 0, true);
  const int expect[4][4] = {
      {79, 255, 255, 79}, {255, 15, 15, 255}, {255, 15, 15, 255}, {79, 255, 255, 79}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(RAS_GETR(At(bm, 3 + x, 3 + y)), WhiteOverBlack(expect[y][x] * 256 / 256));
  EXPECT_EQ(Changed(bm, kBlack).size(), 16u);
  // Every stamp is symmetric, sits in its (2r + 1) box and touches the box's middle edges.
  const std::map<float, size_t> hardCounts = {{1.5f, 8},  {2.0f, 8},  {2.5f, 12},
                                              {3.0f, 16}, {3.5f, 28}, {4.0f, 32}};
  for (auto [r, count] : hardCounts) {
    FillAll(bm, kBlack);
    RAS_Circle(&bm, 10, 10, r, kWhite, 1.0f, 0, false);
    const Points p = Changed(bm, kBlack);
    EXPECT_EQ(p.size(), count) << r;
    const int lo = int(std::floor(10 - r)), n = int(2 * r + 1);
    for (auto [x, y] : p) {
      EXPECT_TRUE(x >= lo && x < lo + n && y >= lo && y < lo + n) << r;
      EXPECT_TRUE(p.count({2 * lo + n - 1 - x, y}) && p.count({x, 2 * lo + n - 1 - y})) << r;
    }
    EXPECT_TRUE(p.count({lo, lo + n / 2}) && p.count({lo + n / 2, lo})) << r;
  }
}

TEST(ShapesCircle, MidpointAndCoverageOutlines) {
  RAS_MemBitmap bm(24, 24);
  FillAll(bm, kBlack);
  RAS_Circle(&bm, 10, 10, 2.2f, kWhite, 1.0f, 0, false);  // not a stamp radius
  EXPECT_EQ(Changed(bm, kBlack), (Points{{10, 8},
                                         {12, 10},
                                         {10, 12},
                                         {8, 10},
                                         {11, 8},
                                         {9, 8},
                                         {11, 12},
                                         {9, 12},
                                         {12, 9},
                                         {8, 9},
                                         {12, 11},
                                         {8, 11}}));
  // Every pixel of the outline is written once: at half alpha they all agree.
  FillAll(bm, kBlack);
  RAS_Circle(&bm, 12, 12, 9.0f, kWhite, 0.5f, 0, false);
  std::set<RAS_pixel> values;
  for (auto [x, y] : Changed(bm, kBlack)) values.insert(At(bm, x, y));
  EXPECT_EQ(values.size(), 1u);
  // Coverage: at radius 5.5 the axis pixels at distances 5 and 6 share the weight evenly.
  FillAll(bm, kBlack);
  RAS_Circle(&bm, 10, 10, 5.5f, kWhite, 1.0f, 0, true);
  EXPECT_EQ(RAS_GETR(At(bm, 10, 4)), WhiteOverBlack(128));
  EXPECT_EQ(RAS_GETR(At(bm, 10, 5)), WhiteOverBlack(128));
  EXPECT_EQ(RAS_GETR(At(bm, 16, 10)), WhiteOverBlack(128));
  EXPECT_EQ(At(bm, 10, 10), kBlack);
  // Radii below one pixel: the centre is written once, not once per axis point.
  for (bool aa : {false, true}) {
    FillAll(bm, kBlack);
    RAS_Circle(&bm, 5, 5, 0.3f, kWhite, 0.5f, 0, aa);
    EXPECT_EQ(RAS_GETR(At(bm, 5, 5)), aa ? WhiteOverBlack(128 - int(0.3 * 128)) : 127);
  }
  // Wholly outside, or negative: nothing.
  FillAll(bm, kBlack);
  RAS_Circle(&bm, -20, 5, 10, kWhite, 1.0f, 0, false);
  RAS_Circle(&bm, 10, 10, -3, kWhite, 1.0f, 0, true);
  RAS_FillCircle(&bm, 50, 50, 20, kWhite, 1.0f, 0, true);
  EXPECT_TRUE(Changed(bm, kBlack).empty());
}

TEST(ShapesCircle, FilledCirclesWriteEachPixelOnce) {
  RAS_MemBitmap bm(30, 30), outline(30, 30);
  for (bool aa : {false, true}) {
    FillAll(bm, kBlack);
    RAS_FillCircle(&bm, 15, 15, 9.0f, kWhite, 0.5f, 0, aa);
    // Interior pixels all got exactly half; none got more (a second write would darken).
    EXPECT_EQ(At(bm, 15, 15), At(bm, 9, 15));
    EXPECT_EQ(RAS_GETR(At(bm, 15, 15)), aa ? WhiteOverBlack(128) : 127);
    for (auto [x, y] : Changed(bm, kBlack)) ASSERT_LE(RAS_GETR(At(bm, x, y)), 128) << x << "," << y;
    // Symmetric about the centre.
    for (auto [x, y] : Changed(bm, kBlack)) ASSERT_EQ(At(bm, x, y), At(bm, 30 - x, 30 - y));
  }
  // The plain fill covers exactly the outline and everything inside it.
  FillAll(bm, kBlack), FillAll(outline, kBlack);
  RAS_FillCircle(&bm, 15, 15, 7.0f, kWhite, 1.0f, 0, false);
  RAS_Circle(&outline, 15, 15, 7.0f, kWhite, 1.0f, 0, false);
  const Points fill = Changed(bm, kBlack);
  for (auto p : Changed(outline, kBlack)) EXPECT_TRUE(fill.count(p));
  for (int y = 0; y < 30; ++y) {
    int first = 99, last = -1;
    for (auto [x, yy] : Changed(outline, kBlack))
      if (yy == y) first = std::min(first, x), last = std::max(last, x);
    for (int x = 0; x < 30; ++x) ASSERT_EQ(fill.count({x, y}) == 1, x >= first && x <= last);
  }
}

TEST(ShapesArc, QuarterBoxesCutTheCircle) {
  RAS_MemBitmap arc(30, 30), full(30, 30);
  for (bool aa : {false, true}) {
    FillAll(arc, kBlack), FillAll(full, kBlack);
    RAS_Arc(&arc, 15, 15, 9.0f, 0.0f, float(2 * M_PI), kWhite, 1.0f, 0, aa);
    RAS_Circle(&full, 15, 15, 9.0f, kWhite, 1.0f, 0, aa);
    EXPECT_EQ(RAS_BitmapCmp(&arc, &full, nullptr), 0);
    // Upper-right quarter: the circle's pixels there, nothing elsewhere.
    FillAll(arc, kBlack);
    RAS_Arc(&arc, 15, 15, 9.0f, 0.0f, float(M_PI / 2), kWhite, 1.0f, 0, aa);
    const Points q = Changed(arc, kBlack);
    EXPECT_FALSE(q.empty());
    for (auto [x, y] : q) {
      EXPECT_TRUE(x >= 15 && y <= 15) << x << "," << y;
      EXPECT_EQ(At(arc, x, y), At(full, x, y));
    }
    for (auto [x, y] : Changed(full, kBlack)) {
      if (x > 15 && y < 15) {
        EXPECT_TRUE(q.count({x, y})) << x << "," << y;
      }
    }
  }
  // Angles beyond a turn are reduced; an end before the start draws nothing.
  FillAll(arc, kBlack), FillAll(full, kBlack);
  RAS_Arc(&arc, 15, 15, 9.0f, float(4 * M_PI), float(4 * M_PI + M_PI / 2), kWhite, 1.0f, 0, false);
  RAS_Arc(&full, 15, 15, 9.0f, 0.0f, float(M_PI / 2), kWhite, 1.0f, 0, false);
  EXPECT_EQ(RAS_BitmapCmp(&arc, &full, nullptr), 0);
  FillAll(arc, kBlack);
  RAS_Arc(&arc, 15, 15, 9.0f, 1.0f, 0.5f, kWhite, 1.0f, 0, false);
  EXPECT_TRUE(Changed(arc, kBlack).empty());
}

TEST(ShapesOutline, RectanglesAndRoundedRectangles) {
  RAS_MemBitmap a(50, 30), b(50, 30);
  FillAll(a, kBlack);
  RAS_DrawRect(&a, 0, 0, 10, 10, kWhite, 1.0f, 0);
  const Points r = Changed(a, kBlack);
  EXPECT_EQ(r.size(), 40u);
  EXPECT_TRUE(r.count({10, 10}) && r.count({10, 0}) && r.count({0, 10}));
  // Corners are drawn twice: at half alpha they come out brighter than the edges.
  FillAll(a, kBlack);
  RAS_DrawRect(&a, 2, 2, 6, 6, kWhite, 0.5f, 0);
  EXPECT_GT(RAS_GETR(At(a, 2, 2)), RAS_GETR(At(a, 4, 2)));
  // Radius 1 is the plain outline; radius 100 on 40 by 20 becomes 10.
  FillAll(a, kBlack), FillAll(b, kBlack);
  RAS_RoundRect(&a, 3, 3, 20, 12, 1, kWhite, 1.0f, 0, false);
  RAS_DrawRect(&b, 3, 3, 20, 12, kWhite, 1.0f, 0);
  EXPECT_EQ(RAS_BitmapCmp(&a, &b, nullptr), 0);
  FillAll(a, kBlack), FillAll(b, kBlack);
  RAS_RoundRect(&a, 2, 4, 40, 20, 100, kWhite, 1.0f, 0, true);
  RAS_RoundRect(&b, 2, 4, 40, 20, 10, kWhite, 1.0f, 0, true);
  EXPECT_EQ(RAS_BitmapCmp(&a, &b, nullptr), 0);
  const Points round = Changed(a, kBlack);
  EXPECT_FALSE(round.count({2, 4}));  // the corner is cut
  EXPECT_TRUE(round.count({22, 4}) && round.count({2, 14}) && round.count({42, 14}));
  // Bordered: inside in the fill colour, the outline in the border colour.
  const RAS_pixel fill = RAS_RGBA(10, 200, 30, 255), border = RAS_RGBA(250, 0, 0, 255);
  FillAll(a, kBlack);
  RAS_BorderedRect(&a, 5, 5, 8, 6, fill, border, 1.0f, 0);
  EXPECT_EQ(At(a, 5, 5), border);
  EXPECT_EQ(At(a, 13, 11), border);
  EXPECT_EQ(At(a, 6, 6), fill);
  EXPECT_EQ(At(a, 12, 10), fill);
  EXPECT_EQ(Changed(a, kBlack).size(), 9u * 7u);
}
