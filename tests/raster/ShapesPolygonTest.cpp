// Trapezoids, convex polygons, triangles and coverage maps.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "raster/Raster.h"
#include "raster/RasterTestUtil.h"

using namespace raster_test;

namespace {

constexpr RAS_pixel kBlack = 0x000000ff, kWhite = 0xffffffff;
Points Box(int l, int t, int r, int b) {
  Points p;
  for (int y = t; y <= b; ++y)
    for (int x = l; x <= r; ++x) p.insert({x, y});
  return p;
}

}  // namespace

TEST(ShapesPolygon, TrapezoidRowsAndEdgesAreInclusive) {
  RAS_MemBitmap bm(20, 20);
  FillAll(bm, kBlack);
  // Given bottom edge first: rows 2..6, left edge 2 -> 6 by one column per row.
  RAS_FillTrapezoid(&bm, 6, 12, 6, 2, 12, 2, kWhite, 1.0f, 0);
  Points expect;
  for (int y = 2; y <= 6; ++y)
    for (int x = 2 + (y - 2); x <= 12; ++x) expect.insert({x, y});
  EXPECT_EQ(Changed(bm, kBlack), expect);
  // Clamped into the bitmap at every side.
  FillAll(bm, kBlack);
  RAS_FillTrapezoid(&bm, -10, 40, -5, -10, 40, 30, kWhite, 0.25f, 0);
  EXPECT_EQ(Changed(bm, kBlack), Box(0, 0, 19, 19));
  EXPECT_EQ(At(bm, 7, 7), 0x3f3f3f3fu + 0x3f + 0x7f);  // quarter(c) + quarter(x) + half(x)
}

TEST(ShapesPolygon, PolygonsFillAsTheirBandsGiveThem) {
  RAS_MemBitmap bm(24, 24);
  FillAll(bm, kBlack);
  const int sx[] = {10, 0, 0, 10}, sy[] = {0, 0, 10, 10};
  RAS_FillConvexPolygon(&bm, sx, sy, 4, kWhite, 1.0f, 0);
  EXPECT_EQ(Changed(bm, kBlack), Box(0, 0, 10, 10));
  // A diamond: each row spans |y - 6| in from both sides.
  FillAll(bm, kBlack);
  const int dx[] = {6, 12, 6, 0}, dy[] = {0, 6, 12, 6};
  RAS_FillConvexPolygon(&bm, dx, dy, 4, kWhite, 1.0f, 0);
  Points diamond;
  for (int y = 0; y <= 12; ++y)
    for (int x = std::abs(y - 6); x <= 12 - std::abs(y - 6); ++x) diamond.insert({x, y});
  EXPECT_EQ(Changed(bm, kBlack), diamond);
  // Bands meet on shared rows; at half alpha no row may be drawn twice.
  FillAll(bm, kBlack);
  RAS_FillConvexPolygon(&bm, dx, dy, 4, kWhite, 0.5f, 0);
  for (auto [x, y] : Changed(bm, kBlack))
    ASSERT_EQ(At(bm, x, y), 0x7f7f7f7fu + 0x7f) << x << "," << y;
  // Triangle with a flat top.
  FillAll(bm, kBlack);
  RAS_FillTriangle(&bm, 2, 2, 10, 2, 2, 10, kWhite, 1.0f, 0);
  Points tri;
  for (int y = 2; y <= 10; ++y)
    for (int x = 2; x <= 10 - (y - 2); ++x) tri.insert({x, y});
  EXPECT_EQ(Changed(bm, kBlack), tri);
  // Degenerate: collinear on one row, fewer than three points, null arrays.
  FillAll(bm, kBlack);
  RAS_FillTriangle(&bm, 1, 5, 8, 5, 15, 5, kWhite, 1.0f, 0);
  RAS_FillConvexPolygon(&bm, sx, sy, 2, kWhite, 1.0f, 0);
  RAS_FillConvexPolygon(&bm, nullptr, sy, 4, kWhite, 1.0f, 0);
  EXPECT_TRUE(Changed(bm, kBlack).empty());
}

TEST(ShapesPolygon, ManyVerticesTakeTheHeapPath) {
  // 800 vertices along the edges of a square give the same fill as its four corners.
  std::vector<int> x, y;
  for (int i = 0; i < 200; ++i) x.push_back(2 + i * 16 / 200), y.push_back(2);
  for (int i = 0; i < 200; ++i) x.push_back(18), y.push_back(2 + i * 16 / 200);
  for (int i = 0; i < 200; ++i) x.push_back(18 - i * 16 / 200), y.push_back(18);
  for (int i = 0; i < 200; ++i) x.push_back(2), y.push_back(18 - i * 16 / 200);
  RAS_MemBitmap bm(24, 24);
  FillAll(bm, kBlack);
  RAS_FillConvexPolygon(&bm, x.data(), y.data(), int(x.size()), kWhite, 1.0f, 0);
  EXPECT_EQ(Changed(bm, kBlack), Box(2, 2, 18, 18));
}

TEST(ShapesGlyph, CoverageScalesTheWeightAndClipsTheMap) {
  RAS_MemBitmap bm(6, 4);
  FillAll(bm, kBlack);
  // A 3 by 2 map inside rows of 5 bytes, drawn one column and one row off the top-left.
  const unsigned char map[] = {255, 128, 0, 9, 9, 64, 32, 16, 9, 9};
  RAS_DrawGlyphEx(&bm, -1, -1, kWhite, map, 3, 5, 2, 1.0f, 0);
  EXPECT_EQ(Changed(bm, kBlack), (Points{{0, 0}, {1, 0}}));
  EXPECT_EQ(RAS_GETG(At(bm, 0, 0)), 255 - 255 * (256 - 32) / 256);
  EXPECT_EQ(RAS_GETG(At(bm, 1, 0)), 255 - 255 * (256 - 16) / 256);
  // Half alpha halves the effective weight; additive mode adds the weighted colour.
  FillAll(bm, kBlack);
  RAS_DrawGlyph(&bm, 4, 2, kWhite, map, 2, 1, 0.5f, 0);
  EXPECT_EQ(RAS_GETG(At(bm, 4, 2)), 255 - 255 * (256 - 127) / 256);
  RAS_DrawGlyph(&bm, 0, 3, RAS_RGBA(100, 100, 100, 0), map, 2, 1, 1.0f, BLIT_ADD);
  EXPECT_EQ(RAS_GETR(At(bm, 0, 3)), 100 * 255 / 256);
  RAS_DrawGlyph(&bm, 0, 0, kWhite, map, 3, 2, 0.0f, 0);
  RAS_DrawGlyph(&bm, 7, 0, kWhite, map, 3, 2, 1.0f, 0);
  EXPECT_EQ(At(bm, 0, 0), kBlack);
}
