// Lines, dashed lines, line clipping and Bezier curves.

#include <gtest/gtest.h>

#include <cstdlib>

#include "raster/Raster.h"
#include "raster/RasterTestUtil.h"
#include "support/RandomRun.h"

using namespace raster_test;

namespace {

constexpr RAS_pixel kWhite = 0xffffffff, kBlack = 0x000000ff, kRed = RAS_RGBA(255, 0, 0, 255);

// Closed form of the two-ended line: k steps in from either end the minor offset is
// floor((k * slope + 1/2) / 1) in 16.16, or, with coverage, floor(k * slope) with the
// fractional part splitting the weight.
void ReferenceLine(RAS_IBitmap& bm, int x1, int y1, int x2, int y2, RAS_pixel c, float alpha,
                   int mode, bool aa) {
  if (!RAS_ClipLine(&x1, &y1, &x2, &y2, 0, 0, bm.getWidth(), bm.getHeight())) return;
  const int weight = int(alpha * 256.0);
  auto put = [&](int x, int y, int w) {
    RAS_CombinePixels2(&At(bm, x, y), RAS_GETR(c), RAS_GETG(c), RAS_GETB(c), RAS_GETA(c), w, mode);
  };
  const int dx = x2 - x1, dy = y2 - y1;
  const bool xMajor = std::abs(dx) > std::abs(dy);
  const int n = xMajor ? std::abs(dx) : std::abs(dy);
  const long long slope = ((long long)(xMajor ? std::abs(dy) : std::abs(dx)) << 16) / n;
  const int sMaj = (xMajor ? dx : dy) < 0 ? -1 : 1, sMin = (xMajor ? dy : dx) < 0 ? -1 : 1;
  auto pixel = [&](int fromEnd, int k, int minorOff, int w) {
    const int dir = fromEnd ? -1 : 1;
    const int maj = (fromEnd ? (xMajor ? x2 : y2) : (xMajor ? x1 : y1)) + dir * sMaj * k;
    const int min = (fromEnd ? (xMajor ? y2 : x2) : (xMajor ? y1 : x1)) + dir * sMin * minorOff;
    put(xMajor ? maj : min, xMajor ? min : maj, w);
  };
  const int half = aa ? (n - 1) / 2 : (n + 1) / 2;
  if (!aa) {
    for (int k = 0; k < half; ++k)
      for (int e = 0; e < 2; ++e) pixel(e, k, int((k * slope + 0x8000) >> 16), weight);
    if (n % 2 == 0) pixel(0, n / 2, int((n / 2 * slope + 0x8000) >> 16), weight);
    return;
  }
  pixel(0, 0, 0, weight), pixel(1, 0, 0, weight);
  auto step = [&](int e, int k) {
    const long long f = k * slope;
    const int m = int(f >> 16), cover = int((f & 0xffff) >> 8);
    pixel(e, k, m, ((255 - cover) * weight) >> 8);
    pixel(e, k, m + 1, (weight * cover) >> 8);
  };
  for (int k = 1; k <= half; ++k) step(0, k), step(1, k);
  if (n % 2 == 0) step(0, n / 2);
}

// The copy rule on one channel: s + (d - s) * (256 - w) / 256.
int Mix(int d, int s, int w) { return s + (d - s) * (256 - w) / 256; }

uint64_t Hash(uint64_t h, uint32_t v) { return (h ^ v) * 0x100000001b3ULL; }

}  // namespace

TEST(ShapesLine, PointsRunsAndDiagonals) {
  RAS_MemBitmap bm(20, 20);
  FillAll(bm, kWhite);
  RAS_Line(&bm, 5, 5, 5, 5, kRed, 1.0f, 0, false);
  EXPECT_EQ(Changed(bm, kWhite), (Points{{5, 5}}));
  FillAll(bm, kWhite);
  RAS_Line(&bm, 10, 2, 3, 2, kRed, 1.0f, 0, true);  // anti-aliasing changes nothing here
  Points row;
  for (int x = 3; x <= 10; ++x) row.insert({x, 2});
  EXPECT_EQ(Changed(bm, kWhite), row);
  FillAll(bm, kWhite);
  RAS_Line(&bm, 4, 9, 4, 1, kRed, 1.0f, 0, false);
  EXPECT_EQ(Changed(bm, kWhite).size(), 9u);
  FillAll(bm, kWhite);
  RAS_Line(&bm, 7, 2, 2, 7, kRed, 1.0f, 0, false);
  EXPECT_EQ(Changed(bm, kWhite), (Points{{7, 2}, {6, 3}, {5, 4}, {4, 5}, {3, 6}, {2, 7}}));
  EXPECT_EQ(At(bm, 4, 5), kRed);
  // Anti-aliased diagonal: centre at three quarters, the two side pixels at a quarter.
  FillAll(bm, kBlack);
  RAS_Line(&bm, 2, 2, 5, 5, kWhite, 1.0f, 0, true);
  // Word rules, each byte a sum of truncated parts: half(c) + quarter(c) + quarter(x) ...
  EXPECT_EQ(At(bm, 3, 3), 0xbebebefdu);
  // ... and quarter(c) + quarter(x) + half(x) beside it.
  EXPECT_EQ(At(bm, 4, 3), 0x3f3f3ffdu);
  EXPECT_EQ(At(bm, 3, 4), 0x3f3f3ffdu);
  EXPECT_EQ(At(bm, 6, 5), kBlack);  // the last centre has no side pixels
  EXPECT_EQ(Changed(bm, kBlack).size(), 4u + 6u);
}

TEST(ShapesLine, QuarterAlphasUseWordRulesOthersTheCombiner) {
  RAS_MemBitmap bm(8, 4);
  FillAll(bm, kWhite);
  RAS_Line(&bm, 0, 0, 7, 0, kBlack, 0.5f, 0, false);
  EXPECT_EQ(RAS_GETR(At(bm, 3, 0)), 127);
  RAS_Line(&bm, 0, 1, 7, 1, kBlack, 0.25f, 0, false);
  EXPECT_EQ(RAS_GETR(At(bm, 3, 1)), 63 + 127);
  RAS_Line(&bm, 0, 2, 7, 2, kBlack, 0.6f, 0, false);  // weight 153: 255 * 103 / 256
  EXPECT_EQ(RAS_GETR(At(bm, 3, 2)), Mix(255, 0, 153));
  RAS_Line(&bm, 0, 3, 7, 3, 0x40404040, 1.0f, BLIT_ADD, false);
  EXPECT_EQ(At(bm, 3, 3), kWhite);
  RAS_Line(&bm, 0, 3, 7, 3, kBlack, 1.0f, 6, false);  // unknown mode: nothing
  RAS_Line(&bm, 0, 3, 7, 3, kBlack, 0.0f, 0, false);
  EXPECT_EQ(At(bm, 3, 3), kWhite);
}

TEST(ShapesLine, AntiAliasedShallowLineCoversTwoPixelsPerColumn) {
  RAS_MemBitmap bm(12, 6);
  FillAll(bm, kBlack);
  RAS_Line(&bm, 0, 0, 10, 3, kWhite, 1.0f, 0, true);
  for (int x = 0; x <= 10; ++x) {
    int lit = 0;
    for (int y = 0; y < 6; ++y) lit += At(bm, x, y) != kBlack;
    EXPECT_EQ(lit, (x == 0 || x == 10) ? 1 : 2) << x;
  }
  // Column 1: y = 0.3, so row 0 takes 255 - 76 of the weight and row 1 takes 76.
  EXPECT_EQ(RAS_GETR(At(bm, 1, 0)), Mix(0, 255, 179));
  EXPECT_EQ(RAS_GETR(At(bm, 1, 1)), Mix(0, 255, 76));
}

TEST(ShapesLine, ClippingAtEachEdge) {
  int x1 = -5, y1 = 5, x2 = 15, y2 = 5;
  ASSERT_TRUE(RAS_ClipLine(&x1, &y1, &x2, &y2, 0, 0, 10, 10));
  EXPECT_EQ((std::array{x1, y1, x2, y2}), (std::array{0, 5, 9, 5}));
  x1 = 4, y1 = -4, x2 = 4, y2 = 20;
  ASSERT_TRUE(RAS_ClipLine(&x1, &y1, &x2, &y2, 0, 0, 10, 10));
  EXPECT_EQ((std::array{x1, y1, x2, y2}), (std::array{4, 0, 4, 9}));
  // Shifted rectangle: intercepts computed relative to its corner.
  x1 = 0, y1 = 0, x2 = 40, y2 = 40;
  ASSERT_TRUE(RAS_ClipLine(&x1, &y1, &x2, &y2, 10, 10, 20, 20));
  EXPECT_EQ((std::array{x1, y1, x2, y2}), (std::array{10, 10, 19, 19}));
  x1 = -8, y1 = 0, x2 = -1, y2 = 9;
  EXPECT_FALSE(RAS_ClipLine(&x1, &y1, &x2, &y2, 0, 0, 10, 10));
  float fx1 = -2.5f, fy1 = 1.0f, fx2 = 7.5f, fy2 = 1.0f;
  ASSERT_TRUE(RAS_ClipFLine(&fx1, &fy1, &fx2, &fy2, 0, 0, 5, 5));
  EXPECT_EQ(fx1, 0.0f);
  EXPECT_EQ(fx2, 4.0f);

  RAS_MemBitmap bm(10, 10);
  FillAll(bm, kWhite);
  RAS_Line(&bm, -30, 2, -1, 8, kRed, 1.0f, 0, false);
  RAS_Line(&bm, 12, -3, 40, 9, kRed, 1.0f, 0, true);
  EXPECT_TRUE(Changed(bm, kWhite).empty());
  RAS_Line(&bm, -10, -10, 30, 30, kRed, 1.0f, 0, false);
  EXPECT_EQ(Changed(bm, kWhite).size(), 10u);
}

TEST(ShapesLine, DashesAlternateRunsAndGapsOnStraightLinesOnly) {
  RAS_MemBitmap bm(16, 12);
  FillAll(bm, kWhite);
  RAS_DashedLine(&bm, 0, 1, 10, 1, 3, 2, kRed, 1.0f, 0, false);
  EXPECT_EQ(Changed(bm, kWhite), (Points{{0, 1}, {1, 1}, {2, 1}, {5, 1}, {6, 1}, {7, 1}}));
  FillAll(bm, kWhite);
  RAS_DashedLine(&bm, 3, 9, 3, 0, 1, 1, kRed, 1.0f, 0, false);
  EXPECT_EQ(Changed(bm, kWhite), (Points{{3, 0}, {3, 2}, {3, 4}, {3, 6}, {3, 8}}));
  FillAll(bm, kWhite);
  RAS_DashedLine(&bm, 0, 0, 8, 8, 2, 2, kRed, 1.0f, 0, false);
  RAS_DashedLine(&bm, 0, 0, 8, 0, 0, 2, kRed, 1.0f, 0, false);   // no run length
  RAS_DashedLine(&bm, 0, 0, 8, 0, 2, -5, kRed, 0.0f, 0, false);  // zero alpha
  EXPECT_TRUE(Changed(bm, kWhite).empty());
}

TEST(ShapesLine, FractionalAntiAliasedLineSplitsAcrossRows) {
  RAS_MemBitmap bm(10, 6);
  FillAll(bm, kBlack);
  RAS_FLine(&bm, 1.0f, 2.5f, 8.0f, 2.5f, kWhite, 1.0f, 0, true);
  for (int x = 1; x <= 8; ++x) {
    EXPECT_EQ(RAS_GETG(At(bm, x, 2)), Mix(0, 255, 127)) << x;
    EXPECT_EQ(RAS_GETG(At(bm, x, 3)), Mix(0, 255, 128)) << x;
  }
  EXPECT_EQ(At(bm, 0, 2), kBlack);
  EXPECT_EQ(At(bm, 9, 3), kBlack);
  // Without anti-aliasing the ends are truncated and the integer line drawn.
  FillAll(bm, kBlack);
  RAS_FLine(&bm, 1.9f, 4.7f, 6.2f, 4.1f, kWhite, 1.0f, 0, false);
  Points expect;
  for (int x = 1; x <= 6; ++x) expect.insert({x, 4});
  EXPECT_EQ(Changed(bm, kBlack), expect);
}

TEST(ShapesLine, RandomLinesMatchReferenceChecksum) {
  RandomRun run(3, 3000);
  Rng rng(run.Seed());
  RAS_MemBitmap lib(37, 23), ref(37, 23);
  const int modes[] = {0, BLIT_ADD, BLIT_MUL, BLIT_OVERLAY};
  const float alphas[] = {1.0f, 0.6f, 0.3f};
  uint64_t libHash = 0xcbf29ce484222325ULL, refHash = libHash;
  int mismatches = 0;
  for (int n = 0; n < run.Iterations(); ++n) {
    FillPattern(lib, n), FillPattern(ref, n);
    const int x1 = rng.range(-30, 66), y1 = rng.range(-20, 42), x2 = rng.range(-30, 66),
              y2 = rng.range(-20, 42);
    const RAS_pixel c = rng.next();
    const int mode = modes[rng.next() % 4];
    const float alpha = alphas[rng.next() % 3];
    const bool aa = rng.next() & 1;
    // Straight and diagonal lines have their exact tests; skip those left after clipping.
    int cx1 = x1, cy1 = y1, cx2 = x2, cy2 = y2;
    RAS_ClipLine(&cx1, &cy1, &cx2, &cy2, 0, 0, 37, 23);
    if (cx1 == cx2 || cy1 == cy2 || std::abs(cx2 - cx1) == std::abs(cy2 - cy1)) continue;
    RAS_Line(&lib, x1, y1, x2, y2, c, alpha, mode, aa);
    ReferenceLine(ref, x1, y1, x2, y2, c, alpha, mode, aa);
    for (int y = 0; y < 23; ++y)
      for (int x = 0; x < 37; ++x) {
        if (At(lib, x, y) != At(ref, x, y) && mismatches++ < 3)
          ADD_FAILURE() << x1 << "," << y1 << " " << x2 << "," << y2 << " aa " << aa << " at " << x
                        << "," << y;
        libHash = Hash(libHash, At(lib, x, y)), refHash = Hash(refHash, At(ref, x, y));
      }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(libHash, refHash);
}

TEST(ShapesBezier, StraightCurvesDrawAndFillTheirSpan) {
  RAS_MemBitmap bm(24, 12);
  FillAll(bm, kWhite);
  // Control points on the line: the curve is the segment, drawn from either end alike.
  RAS_DrawCBezier(&bm, 20, 5, 14, 5, 8, 5, 2, 5, kRed, 1.0f, 0, false, 0.0f);
  Points row;
  for (int x = 2; x <= 20; ++x) row.insert({x, 5});
  EXPECT_EQ(Changed(bm, kWhite), row);
  FillAll(bm, kWhite);
  RAS_DrawQBezier(&bm, 2, 5, 11, 5, 20, 5, kRed, 1.0f, 0, false, 3.0f);
  EXPECT_EQ(Changed(bm, kWhite), row);
  // A flat curve at y 2 filled down to row 8: the rectangle between.
  FillAll(bm, kWhite);
  RAS_FillCBezier(&bm, 3, 2, 7, 2, 11, 2, 15, 2, 8, kRed, 1.0f, 0, 2.0f);
  Points box;
  for (int y = 2; y <= 8; ++y)
    for (int x = 3; x <= 15; ++x) box.insert({x, y});
  EXPECT_EQ(Changed(bm, kWhite), box);
  // Sideways: a vertical curve at x 4 filled right to column 9.
  FillAll(bm, kWhite);
  RAS_FillCBezierX(&bm, 4, 1, 4, 4, 4, 7, 4, 10, 9, kRed, 1.0f, 0, 2.0f);
  Points side;
  for (int y = 1; y <= 10; ++y)
    for (int x = 4; x <= 9; ++x) side.insert({x, y});
  EXPECT_EQ(Changed(bm, kWhite), side);
  // Bent curves filled at half alpha: every pixel is drawn once, on both sides of the level.
  for (bool sideways : {false, true}) {
    FillAll(bm, kWhite);
    if (sideways)
      RAS_FillCBezierX(&bm, 3, 1, 20, 3, -6, 7, 14, 11, 9, kBlack, 0.5f, 0, 1.5f);
    else
      RAS_FillCBezier(&bm, 1, 2, 6, 12, 14, -6, 22, 9, 6, kBlack, 0.5f, 0, 1.5f);
    const Points filled = Changed(bm, kWhite);
    EXPECT_GT(filled.size(), 40u);
    for (auto [x, y] : filled) ASSERT_EQ(At(bm, x, y), 0x7f7f7ffeu) << x << "," << y;
  }
  // A bent curve stays within its control polygon's box and touches both ends.
  FillAll(bm, kWhite);
  RAS_DrawCBezier(&bm, 1, 10, 6, 0, 16, 0, 22, 10, kRed, 1.0f, 0, true, 2.0f);
  const Points bent = Changed(bm, kWhite);
  EXPECT_TRUE(bent.count({1, 10}) && bent.count({22, 10}));
  for (auto [x, y] : bent) EXPECT_TRUE(x >= 1 && x <= 22 && y >= 2 && y <= 10) << x << "," << y;
}
