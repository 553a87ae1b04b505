// Hostile arguments: nothing may be drawn outside the bitmap, nothing may crash or hang.
// Also the row order of flipped bitmaps.

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <limits>
#include <vector>

#include "raster/Raster.h"
#include "raster/RasterTestUtil.h"
#include "support/RandomRun.h"

using namespace raster_test;

namespace {

constexpr RAS_pixel kGuard = 0xdeadbeef;

// Pixels surrounded by guard rows above and below and padding at the end of every row, all
// holding a sentinel that no drawing may touch.
class GuardedBitmap : public RAS_IBitmap {
 public:
  GuardedBitmap(int w, int h) : mW(w), mH(h), mSpan(w + 5), mPix(size_t(mSpan) * (h + 8), kGuard) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) getBits()[size_t(y) * mSpan + x] = 0x10203040;
  }
  RAS_pixel* getBits() override { return mPix.data() + 4 * mSpan; }
  int getWidth() override { return mW; }
  int getHeight() override { return mH; }
  int getRowSpan() override { return mSpan; }
  bool resize(int, int) override { return false; }
  // Sentinels found changed outside the picture.
  int Trampled() const {
    int n = 0;
    for (size_t i = 0; i < mPix.size(); ++i) {
      const long row = long(i / mSpan) - 4, col = long(i % mSpan);
      const bool inside = row >= 0 && row < mH && col < mW;
      n += !inside && mPix[i] != kGuard;
    }
    return n;
  }

 private:
  int mW, mH, mSpan;
  std::vector<RAS_pixel> mPix;
};

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();
const float kFloats[] = {0.0f, -1.0f, 3.5f, 17.25f, -1e9f, 1e9f, 3e38f, -3e38f, kNaN, kInf, -kInf};
const int kInts[] = {0, -1, 5, 40, INT_MIN, INT_MAX, -100000, 100000};
const float kAlphas[] = {1.0f, 0.5f, -3.0f, 7.0f, kNaN, 1e30f};
const int kModes[] = {0,   BLIT_ADD, BLIT_HSVADJUST, BLIT_FLAG_FILTER, BLIT_FLAG_SOURCE_ALPHA | 3,
                      0x77};

}  // namespace

TEST(ShapesBadInput, NothingOutsideTheBitmapNoCrashNoHang) {
  GuardedBitmap bm(23, 17);
  GuardedBitmap src(9, 7);
  RandomRun run(5, 400);
  Rng rng(run.Seed());
  auto f = [&] { return kFloats[rng.next() % std::size(kFloats)]; };
  auto i = [&] { return kInts[rng.next() % std::size(kInts)]; };
  auto a = [&] { return kAlphas[rng.next() % std::size(kAlphas)]; };
  auto m = [&] { return kModes[rng.next() % std::size(kModes)]; };
  const auto start = std::chrono::steady_clock::now();
  for (int n = 0; n < run.Iterations(); ++n) {
    const RAS_pixel c = rng.next();
    const bool aa = rng.next() & 1;
    RAS_Line(&bm, i(), i(), i(), i(), c, a(), m(), aa);
    RAS_FLine(&bm, f(), f(), f(), f(), c, a(), m(), aa);
    RAS_DashedLine(&bm, i(), i(), i(), i(), i(), i(), c, a(), m(), aa);
    RAS_DrawQBezier(&bm, f(), f(), f(), f(), f(), f(), c, a(), m(), aa, f());
    RAS_DrawCBezier(&bm, f(), f(), f(), f(), f(), f(), f(), f(), c, a(), m(), aa, f());
    RAS_FillCBezier(&bm, f(), f(), f(), f(), f(), f(), f(), f(), i(), c, a(), m(), f());
    RAS_FillCBezierX(&bm, f(), f(), f(), f(), f(), f(), f(), f(), i(), c, a(), m(), f());
    RAS_Circle(&bm, f(), f(), f(), c, a(), m(), aa);
    RAS_FillCircle(&bm, f(), f(), f(), c, a(), m(), aa);
    RAS_Arc(&bm, f(), f(), f(), f(), f(), c, a(), m(), aa);
    RAS_RoundRect(&bm, f(), f(), f(), f(), i(), c, a(), m(), aa);
    RAS_DrawRect(&bm, i(), i(), i(), i(), c, a(), m());
    RAS_BorderedRect(&bm, i(), i(), i(), i(), c, ~c, a(), m());
    RAS_FillTrapezoid(&bm, i(), i(), i(), i(), i(), i(), c, a(), m());
    RAS_FillTriangle(&bm, i(), i(), i(), i(), i(), i(), c, a(), m());
    const int px[] = {i(), i(), i(), i(), i()}, py[] = {i(), i(), i(), i(), i()};
    RAS_FillConvexPolygon(&bm, px, py, 5, c, a(), m());
    const unsigned char cov[12] = {255, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    RAS_DrawGlyphEx(&bm, i(), i(), c, cov, 3, 4, 3, a(), m());
    RAS_ScaledBlit(&bm, &src, i(), i(), i(), i(), f(), f(), f(), f(), a(), m());
    RAS_RotatedBlit(&bm, &src, i(), i(), i(), i(), f(), f(), f(), f(), f(), aa, a(), m(), f(), f());
    RAS_DeltaBlit(&bm, &src, i(), i(), i(), i(), f(), f(), f(), f(), f(), f(), f(), f(), f(), f(),
                  aa, a(), m());
    RAS_DeltaBlitAlpha(&bm, &src, i(), i(), i(), i(), f(), f(), f(), f(), f(), f(), f(), f(), f(),
                       f(), aa, f(), f(), f(), f(), m());
    const float grid[] = {f(), f(), f(), f(), f(), f(), f(), f()};
    const double grid2[] = {f(), f(), f(), f(), f(), f(), f(), f(), f(), f(), f(), f()};
    RAS_TransformBlit(&bm, &src, i(), i(), i(), i(), grid, 2, 2, a(), m());
    RAS_TransformBlit2(&bm, &src, i(), i(), i(), i(), grid2, 1 + int(rng.next() % 2), 2, a(), m());
    RAS_TransformBlit2Alpha(&bm, &src, i(), i(), i(), i(), grid2, 2, 2, m());
    RAS_Blur(&bm, &bm, i(), i(), i(), i(), i(), i());
    RAS_Blur(&bm, &src, i(), i(), i(), i(), i(), i());
    ASSERT_EQ(bm.Trampled(), 0) << "round " << n;
  }
  // Sane sizes with hostile positions still draw inside: a well-placed call right after.
  RAS_HalveBlitAA(&src, &bm);
  EXPECT_EQ(src.Trampled(), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST(ShapesBadInput, NullAndEmptyBitmapsDrawNothing) {
  RAS_MemBitmap empty;
  RAS_MemBitmap bm(4, 4);
  FillAll(bm, 0);
  RAS_Line(nullptr, 0, 0, 3, 3, ~0u, 1.0f, 0, true);
  RAS_Line(&empty, 0, 0, 3, 3, ~0u, 1.0f, 0, true);
  RAS_Circle(&empty, 1, 1, 5, ~0u, 1.0f, 0, false);
  RAS_FillCircle(nullptr, 1, 1, 5, ~0u, 1.0f, 0, true);
  RAS_ScaledBlit(&bm, nullptr, 0, 0, 4, 4, 0, 0, 2, 2, 1.0f, 0);
  RAS_ScaledBlit(&bm, &empty, 0, 0, 4, 4, 0, 0, 2, 2, 1.0f, 0);
  RAS_RotatedBlit(&bm, &empty, 0, 0, 4, 4, 0, 0, 2, 2, 1.0f, false, 1.0f, 0);
  RAS_HalveBlitAA(&bm, &empty);
  RAS_Blur(&bm, &empty, 0, 0, 0, 0, 4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) ASSERT_EQ(At(bm, x, y), 0u);
}

TEST(ShapesBadInput, NonFiniteCoordinatesDrawNothingAtAll) {
  RAS_MemBitmap bm(8, 8);
  FillAll(bm, 0);
  for (bool aa : {false, true}) {
    RAS_FLine(&bm, kNaN, 1, 5, 5, ~0u, 1.0f, 0, aa);
    RAS_FLine(&bm, 1, 1, kInf, 5, ~0u, 1.0f, 0, aa);
    RAS_Circle(&bm, 4, 4, kInf, ~0u, 1.0f, 0, aa);
    RAS_Arc(&bm, 4, 4, 3, kNaN, 1, ~0u, 1.0f, 0, aa);
    RAS_RoundRect(&bm, 1, 1, kNaN, 5, 2, ~0u, 1.0f, 0, aa);
  }
  RAS_ScaledBlit(&bm, &bm, 0, 0, 4, 4, kNaN, 0, 4, 4, 1.0f, 0);
  RAS_RotatedBlit(&bm, &bm, 0, 0, 4, 4, 0, 0, 4, 4, kNaN, false, 1.0f, 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(At(bm, x, y), 0u) << x << "," << y;
}

TEST(ShapesFlipped, PictureRowsAreHonoured) {
  // The same drawing on a flipped and an ordinary bitmap gives the same picture.
  FlippedBitmap flip(16, 12);
  RAS_MemBitmap plain(16, 12);
  RAS_MemBitmap src(6, 5);
  FillPattern(src);
  auto draw = [&](RAS_IBitmap* bm) {
    FillAll(*bm, 0x000000ff);
    RAS_Line(bm, 1, 1, 14, 6, 0xff0000ff, 1.0f, 0, true);
    RAS_FLine(bm, 0.5f, 10.25f, 12.0f, 3.5f, 0x00ff00ff, 1.0f, 0, true);
    RAS_Circle(bm, 8, 6, 4.6f, 0x0000ffff, 1.0f, 0, true);
    RAS_FillCircle(bm, 3, 9, 2.3f, 0x808080ff, 0.7f, 0, false);
    RAS_Arc(bm, 8, 6, 5.0f, 0.3f, 2.0f, 0xffff00ff, 1.0f, 0, false);
    RAS_FillTriangle(bm, 10, 8, 15, 11, 9, 11, 0x00ffffff, 1.0f, 0);
    RAS_Circle(bm, 12, 3, 2.0f, 0xffffffff, 1.0f, 0, true);
    RAS_ScaledBlit(bm, &src, 0, 0, 9, 7, 0, 0, 6, 5, 0.8f, BLIT_FLAG_FILTER);
    RAS_RotatedBlit(bm, &src, 8, 5, 6, 5, 0, 0, 6, 5, 0.4f, true, 1.0f, BLIT_FLAG_FILTER);
    RAS_Blur(bm, bm, 2, 2, 2, 2, 10, 8);
  };
  draw(&flip);
  draw(&plain);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(At(flip, x, y), At(plain, x, y)) << x << "," << y;
}
