#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

#include "raster/Raster.h"
#include "raster/RasterTestUtil.h"

namespace {

using raster_test::At;
using raster_test::FillAll;
using raster_test::FillPattern;
using raster_test::FlippedBitmap;

constexpr RAS_pixel kBack = 0x10203040;

// Checks that dest holds src(x - dx + sx, y - dy + sy) inside the w x h area at (dx, dy) and
// kBack everywhere else.
void ExpectCopied(RAS_IBitmap& dest, RAS_IBitmap& src, int dx, int dy, int sx, int sy, int w,
                  int h) {
  for (int y = 0; y < dest.getHeight(); ++y) {
    for (int x = 0; x < dest.getWidth(); ++x) {
      const bool in = x >= dx && x < dx + w && y >= dy && y < dy + h;
      const RAS_pixel want = in ? At(src, x - dx + sx, y - dy + sy) : kBack;
      ASSERT_EQ(At(dest, x, y), want) << "at " << x << "," << y;
    }
  }
}

TEST(RasterBlit, PlainCopyPathsAndWeights) {
  RAS_MemBitmap src(4, 3, 4), dest(6, 5, 4);
  FillPattern(src);
  FillAll(dest, kBack);
  RAS_Blit(&dest, &src, 1, 2, nullptr, 1.0f, BLIT_COPY);
  ExpectCopied(dest, src, 1, 2, 0, 0, 4, 3);  // bytes exactly, alpha included

  // 0.5: the half-mix word of both.
  FillAll(dest, kBack);
  RAS_Blit(&dest, &src, 0, 0, nullptr, 0.5f, BLIT_COPY);
  EXPECT_EQ(At(dest, 2, 1), RAS_HalfWord(At(src, 2, 1)) + RAS_HalfWord(kBack));

  // Just below 1.0 the copy rule blends: 0.99 is weight 253, three 256ths of the destination
  // survive.
  FillAll(dest, RAS_RGBA(255, 255, 0, 255));
  FillAll(src, RAS_RGBA(0, 100, 255, 0));
  RAS_Blit(&dest, &src, 0, 0, nullptr, 0.99f, BLIT_COPY);
  EXPECT_EQ(At(dest, 0, 0), RAS_RGBA(2, 101, 253, 2));

  // Filter bit and high bits do not leave the plain-copy path.
  FillPattern(src);
  FillAll(dest, kBack);
  RAS_Blit(&dest, &src, 0, 0, nullptr, 1.0f, BLIT_FLAG_FILTER | 0x1000000);
  EXPECT_EQ(At(dest, 3, 2), At(src, 3, 2));

  // Alpha 0, a negative weight and unknown rules draw nothing.
  FillAll(dest, kBack);
  for (int mode : {6, 0x80, 0xef, 0x10006, 0x100ef})
    RAS_Blit(&dest, &src, 0, 0, nullptr, 1.0f, mode);
  for (int mode : {int(BLIT_COPY), int(BLIT_ADD), 0x10000, 0xf4})
    RAS_Blit(&dest, &src, 0, 0, nullptr, 0.0f, mode);
  RAS_Blit(&dest, &src, 0, 0, nullptr, -0.5f, BLIT_COPY);
  RAS_Blit(&dest, &src, 0, 0, nullptr, 1.0f / 512, BLIT_COPY);  // weight 0
  ExpectCopied(dest, src, 0, 0, 0, 0, 0, 0);
  RAS_Blit(nullptr, &src, 0, 0, nullptr, 1.0f, BLIT_COPY);
  RAS_Blit(&dest, nullptr, 0, 0, nullptr, 1.0f, BLIT_COPY);
}

// A NaN alpha is weight 0; absurd alphas saturate at sixteen times the source instead of
// overflowing the integer arithmetic.
TEST(RasterBlit, NanAndHugeAlphas) {
  RAS_MemBitmap src(4, 3, 4), a(4, 3, 4), b(4, 3, 4);
  FillPattern(src);
  FillAll(a, kBack);
  RAS_Blit(&a, &src, 0, 0, nullptr, std::nanf(""), BLIT_ADD);
  RAS_FillRect(&a, 0, 0, 4, 3, 0xffffffff, std::nanf(""), BLIT_COPY);
  ExpectCopied(a, src, 0, 0, 0, 0, 0, 0);
  for (int mode : {int(BLIT_MUL), int(BLIT_OVERLAY), int(BLIT_HSVADJUST), 0x10000, 0x10003}) {
    for (float huge : {1e30f, -1e30f}) {
      FillAll(a, kBack);
      FillAll(b, kBack);
      RAS_Blit(&a, &src, 0, 0, nullptr, huge, mode);
      RAS_Blit(&b, &src, 0, 0, nullptr, huge > 0 ? 16.0f : -16.0f, mode);
      EXPECT_EQ(RAS_BitmapCmp(&a, &b), 0) << mode << " " << huge;
      RAS_FillRect(&a, 0, 0, 4, 3, 0x80ff4020, huge, mode & 0xff);
      RAS_FillRect(&b, 0, 0, 4, 3, 0x80ff4020, huge > 0 ? 16.0f : -16.0f, mode & 0xff);
      EXPECT_EQ(RAS_BitmapCmp(&a, &b), 0) << mode << " " << huge;
    }
  }
}

TEST(RasterBlit, CombineModesTakeSourceChannelsByByte) {
  RAS_MemBitmap src(1, 1, 4), dest(1, 1, 4);
  At(src, 0, 0) = RAS_RGBA(200, 0, 50, 128);
  auto run = [&](float alpha, int mode) {
    At(dest, 0, 0) = RAS_RGBA(100, 100, 100, 100);
    RAS_Blit(&dest, &src, 0, 0, nullptr, alpha, mode);
    return At(dest, 0, 0);
  };
  EXPECT_EQ(run(0.25f, BLIT_COPY), RAS_RGBA(125, 75, 87, 107));
  EXPECT_EQ(run(1.0f, BLIT_ADD), RAS_RGBA(255, 100, 150, 228));
  EXPECT_EQ(run(1.0f, BLIT_MUL), RAS_RGBA(78, 0, 19, 50));
  EXPECT_EQ(run(1.0f, BLIT_DODGE), RAS_RGBA(255, 100, 124, 200));
  EXPECT_EQ(run(1.0f, BLIT_OVERLAY),
            RAS_CombinePixels(RAS_RGBA(100, 100, 100, 100), At(src, 0, 0), 1.0f, BLIT_OVERLAY));
  // Source alpha at 1.0: the weight-ignoring rule (255 - a); at 0.5 w' = 128 * 129 / 256.
  EXPECT_EQ(run(1.0f, BLIT_COPY | BLIT_FLAG_SOURCE_ALPHA), RAS_RGBA(151, 49, 74, 228));
  EXPECT_EQ(run(0.5f, BLIT_COPY | BLIT_FLAG_SOURCE_ALPHA), RAS_RGBA(125, 75, 87, 164));
  EXPECT_EQ(run(1.0f, BLIT_ADD | BLIT_FLAG_SOURCE_ALPHA), RAS_RGBA(200, 100, 125, 164));
  At(src, 0, 0) = RAS_RGBA(200, 0, 50, 0);
  for (int mode : {int(BLIT_COPY), int(BLIT_ADD), int(BLIT_MUL)})
    EXPECT_EQ(run(1.0f, mode | BLIT_FLAG_SOURCE_ALPHA), RAS_RGBA(100, 100, 100, 100)) << mode;
}

TEST(RasterBlit, SourceRectangleAndDestinationClipping) {
  RAS_MemBitmap src(6, 5, 4), dest(8, 7, 4);
  FillPattern(src);
  struct Case {
    int dx, dy;
    RECT r;
    int ex, ey, esx, esy, ew, eh;  // expected dest origin, source origin and size
  } cases[] = {
      // Left -5: the source's column 0 lands at dest x + 5.
      {1, 0, {-5, 0, 3, 2}, 6, 0, 0, 0, 2, 2},
      // Dest x -3 skips three source columns; dest y -1 one row.
      {-3, -1, {0, 0, 6, 5}, 0, 0, 3, 1, 3, 4},
      // Right and bottom beyond the source are cut to it.
      {0, 0, {2, 3, 100, 100}, 0, 0, 2, 3, 4, 2},
      // Cut by the destination's right and bottom edges.
      {5, 4, {0, 0, 6, 5}, 5, 4, 0, 0, 3, 3},
      {-2, -2, {-1, -1, 6, 5}, 0, 0, 1, 1, 5, 4},
      // Fully outside in every direction, empty or inverted rectangles.
      {8, 0, {0, 0, 6, 5}, 0, 0, 0, 0, 0, 0},
      {0, 7, {0, 0, 6, 5}, 0, 0, 0, 0, 0, 0},
      {-6, 0, {0, 0, 6, 5}, 0, 0, 0, 0, 0, 0},
      {0, 0, {6, 0, 9, 5}, 0, 0, 0, 0, 0, 0},
      {0, 0, {3, 3, 2, 4}, 0, 0, 0, 0, 0, 0},
      {0, 0, {-10, 0, -1, 5}, 0, 0, 0, 0, 0, 0},
      // Coordinates near the int limits neither wrap nor crash.
      {INT_MAX, 0, {0, 0, 6, 5}, 0, 0, 0, 0, 0, 0},
      {INT_MIN, INT_MIN, {0, 0, 6, 5}, 0, 0, 0, 0, 0, 0},
      {0, 0, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, 0, 0, 0, 0, 0, 0},
      {2, 1, {INT_MIN + 1, 0, 6, 5}, 0, 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    FillAll(dest, kBack);
    RAS_Blit(&dest, &src, c.dx, c.dy, &c.r, 1.0f, BLIT_COPY);
    SCOPED_TRACE(testing::Message() << "dest " << c.dx << "," << c.dy << " rect " << c.r.left << ","
                                    << c.r.top << "," << c.r.right << "," << c.r.bottom);
    ExpectCopied(dest, src, c.ex, c.ey, c.esx, c.esy, c.ew, c.eh);
    // The x, y, w, h form agrees where its sums fit.
    if ((long long)c.r.right - c.r.left <= INT_MAX && c.r.right >= c.r.left) {
      FillAll(dest, kBack);
      RAS_Blit(&dest, &src, c.dx, c.dy, c.r.left, c.r.top, c.r.right - c.r.left,
               c.r.bottom - c.r.top, 0.5f, BLIT_COPY);
      for (int y = 0; y < c.eh; ++y)
        for (int x = 0; x < c.ew; ++x)
          ASSERT_EQ(At(dest, c.ex + x, c.ey + y),
                    RAS_HalfWord(At(src, c.esx + x, c.esy + y)) + RAS_HalfWord(kBack));
    }
  }
  // Width and height near INT_MAX in the x, y, w, h form.
  FillAll(dest, kBack);
  RAS_Blit(&dest, &src, 0, 0, 2, 2, INT_MAX, INT_MAX, 1.0f, BLIT_COPY);
  ExpectCopied(dest, src, 0, 0, 2, 2, 4, 3);
}

TEST(RasterBlit, FlippedSourceAndDestination) {
  FlippedBitmap fsrc(5, 4), fdest(6, 6);
  RAS_MemBitmap src(5, 4, 4), dest(6, 6, 4);
  FillPattern(src);
  FillPattern(fsrc);
  const RECT r = {1, 1, 4, 4};
  // Every pairing, through the row copy, the half-mix word and the byte-wise loop.
  RAS_IBitmap* srcs[] = {&src, &fsrc};
  RAS_IBitmap* dests[] = {&dest, &fdest};
  for (RAS_IBitmap* s : srcs) {
    for (RAS_IBitmap* d : dests) {
      for (float alpha : {1.0f, 0.5f, 0.75f}) {
        FillAll(*d, kBack);
        RAS_Blit(d, s, 2, -1, &r, alpha, BLIT_COPY);
        for (int y = 0; y < d->getHeight(); ++y) {
          for (int x = 0; x < d->getWidth(); ++x) {
            const bool in = x >= 2 && x < 5 && y < 2;
            RAS_pixel want = kBack;
            if (in) want = RAS_CombinePixels(kBack, At(*s, x - 1, y + 2), alpha, BLIT_COPY);
            if (in && alpha == 0.5f)
              want = RAS_HalfWord(At(*s, x - 1, y + 2)) + RAS_HalfWord(kBack);
            ASSERT_EQ(At(*d, x, y), want) << x << "," << y << " alpha " << alpha;
          }
        }
      }
    }
  }
  // Picture row 0 of a flipped destination is its last memory row.
  FillAll(fdest, 0);
  RAS_Blit(&fdest, &src, 0, 0, 0, 0, 1, 1, 1.0f, BLIT_COPY);
  EXPECT_EQ(fdest.mem(0, 5), At(src, 0, 0));
}

TEST(RasterBlit, ChannelCopyMovesOneByte) {
  RAS_MemBitmap src(2, 1, 4), dest(2, 1, 4);
  At(src, 0, 0) = 0x44332211;  // bytes 0x11 (alpha), 0x22, 0x33, 0x44
  At(src, 1, 0) = 0x88776655;
  for (int from = 0; from < 4; ++from) {
    for (int to = 0; to < 4; ++to) {
      FillAll(dest, 0xa0b0c0d0);
      // Alpha and the source-alpha flag play no part.
      RAS_Blit(&dest, &src, 0, 0, nullptr, 0.3f,
               RAS_ChannelCopyMode(from, to) | BLIT_FLAG_SOURCE_ALPHA);
      for (int x = 0; x < 2; ++x) {
        const RAS_pixel s = At(src, x, 0);
        const RAS_pixel byte = (s >> (8 * from)) & 0xff;
        const RAS_pixel want = (0xa0b0c0d0 & ~(0xffu << (8 * to))) | (byte << (8 * to));
        EXPECT_EQ(At(dest, x, 0), want) << from << "->" << to;
      }
    }
  }
  // Alpha 0 still draws nothing.
  FillAll(dest, 0);
  RAS_Blit(&dest, &src, 0, 0, nullptr, 0.0f, RAS_ChannelCopyMode(1, 0));
  EXPECT_EQ(At(dest, 0, 0), 0u);
}

TEST(RasterBlit, OverlappingSelfBlitCopiesTheOriginal) {
  const int moves[][2] = {{2, 0}, {-2, 0}, {0, 2}, {0, -2}, {1, 1}, {-1, -1}, {3, -2}};
  for (auto& m : moves) {
    for (float alpha : {1.0f, 0.5f, 0.75f}) {
      RAS_MemBitmap bm(8, 8, 4), orig(8, 8, 4);
      FillPattern(bm);
      FillPattern(orig);
      const RECT r = {2, 2, 6, 6};
      RAS_Blit(&bm, &bm, 2 + m[0], 2 + m[1], &r, alpha, BLIT_COPY);
      RAS_MemBitmap want(8, 8, 4);
      RAS_Copy(&want, &orig);
      RAS_Blit(&want, &orig, 2 + m[0], 2 + m[1], &r, alpha, BLIT_COPY);
      EXPECT_EQ(RAS_BitmapCmp(&bm, &want), 0) << m[0] << "," << m[1] << " alpha " << alpha;
    }
  }
}

TEST(RasterBlit, CopyResizesTheDestination) {
  RAS_MemBitmap src(3, 2, 4), dest(10, 10, 4);
  FillPattern(src);
  RAS_Copy(&dest, &src);
  EXPECT_EQ(dest.getWidth(), 3);
  EXPECT_EQ(dest.getHeight(), 2);
  EXPECT_EQ(RAS_BitmapCmp(&dest, &src), 0);
  RAS_MemBitmap empty(0, 0, 4);
  RAS_Copy(&dest, &empty);
  EXPECT_EQ(dest.getWidth(), 0);
  RAS_Copy(nullptr, &src);
  RAS_Copy(&dest, nullptr);
}

TEST(RasterBitmapCmp, SizesMasksAndDifferenceRectangle) {
  RAS_MemBitmap a(10, 10, 4), b(12, 10, 4), c(10, 13, 4);
  EXPECT_EQ(RAS_BitmapCmpEx(&a, &b, 0xffffffff, nullptr), 2);
  EXPECT_EQ(RAS_BitmapCmpEx(&b, &a, 0xffffffff, nullptr), -2);
  EXPECT_EQ(RAS_BitmapCmpEx(&a, &c, 0xffffffff, nullptr), 3);
  EXPECT_EQ(RAS_BitmapCmpEx(nullptr, &a, 0xffffffff, nullptr), -1);
  EXPECT_EQ(RAS_BitmapCmpEx(&a, nullptr, 0xffffffff, nullptr), 1);
  EXPECT_EQ(RAS_BitmapCmpEx(nullptr, nullptr, 0xffffffff, nullptr), 0);

  // Same picture in differently laid-out bitmaps: padding and row order do not count.
  RAS_MemBitmap x(5, 4, 16);
  FlippedBitmap y(5, 4);
  FillPattern(x);
  FillPattern(y);
  int rect[4] = {-1, -1, -1, -1};
  EXPECT_EQ(RAS_BitmapCmpEx(&x, &y, 0xffffffff, nullptr), 0);
  EXPECT_EQ(RAS_BitmapCmpEx(&x, &y, 0xffffffff, rect), 0);
  EXPECT_EQ(rect[0] | rect[1] | rect[2] | rect[3], 0);

  At(y, 1, 2) ^= 0x01;  // alpha only
  At(y, 3, 1) ^= 0x100;
  EXPECT_EQ(RAS_BitmapCmpEx(&x, &y, 0xffffffff, rect), 1);
  EXPECT_EQ(rect[0], 1);
  EXPECT_EQ(rect[1], 1);
  EXPECT_EQ(rect[2], 3);
  EXPECT_EQ(rect[3], 2);
  // Masking alpha out leaves only the red difference at (3, 1).
  EXPECT_EQ(RAS_BitmapCmpEx(&x, &y, 0xffffff00, rect), 1);
  EXPECT_EQ(rect[0], 3);
  EXPECT_EQ(rect[1], 1);
  EXPECT_EQ(rect[2], 1);
  EXPECT_EQ(rect[3], 1);
  EXPECT_EQ(RAS_BitmapCmpEx(&x, &y, 0xffff0000, nullptr), 0);
  EXPECT_EQ(RAS_BitmapCmpEx(&x, &y, 0x0000ff00, nullptr), 1);

  // Under the full mask the first differing row compares as bytes.
  RAS_MemBitmap p(2, 2, 4), q(2, 2, 4);
  FillAll(p, 0x10);
  FillAll(q, 0x10);
  At(q, 1, 1) = 0x20;
  EXPECT_LT(RAS_BitmapCmp(&p, &q), 0);
  EXPECT_GT(RAS_BitmapCmp(&q, &p), 0);
  At(p, 0, 0) = 0x30;
  EXPECT_GT(RAS_BitmapCmp(&p, &q), 0);  // row 0 decides
  RAS_MemBitmap e1(0, 0, 4), e2(0, 0, 4);
  EXPECT_EQ(RAS_BitmapCmp(&e1, &e2), 0);
}

}  // namespace
