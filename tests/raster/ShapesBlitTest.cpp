// Scaled, rotated and transformed blits and the two fixed filters.

#include <gtest/gtest.h>

#include <cmath>

#include "raster/Raster.h"
#include "raster/RasterTestUtil.h"
#include "support/RandomRun.h"

using namespace raster_test;

namespace {

constexpr RAS_pixel kBack = 0x11223344;

RAS_pixel Px(int r, int g, int b, int a = 255) { return RAS_RGBA(r, g, b, a); }

// Reference of the scaled blit for positive sizes, evaluated pixel by pixel from the rules:
// 16.16 positions, sampling bounds, nearest / bilinear / box window, mode's combiner.
void ReferenceScaled(RAS_MemBitmap& dst, RAS_MemBitmap& src, int dx, int dy, int dw, int dh,
                     float sx, float sy, float sw, float sh, float alpha, int mode) {
  double x = sx, y = sy, xs = double(sw) / dw, ys = double(sh) / dh;
  long long w = dw, h = dh;
  if (dx < 0) x -= dx * xs, w += dx, dx = 0;
  if (dy < 0) y -= dy * ys, h += dy, dy = 0;
  const long long fx = (long long)(x * 65536), fy = (long long)(y * 65536);
  const long long fxs = (long long)(xs * 65536), fys = (long long)(ys * 65536);
  const long long right =
      std::min<long long>((long long)(std::max(0.0f, sw) + double(sx) + 0.999999), src.getWidth());
  const long long bottom =
      std::min<long long>((long long)(std::max(0.0f, sh) + double(sy) + 0.999999), src.getHeight());
  const bool filter = (mode & 0xff00) == 0x100;
  const bool down = filter && xs >= 1.7 && ys >= 1.7;
  const int radius = std::max(fxs, fys) <= 0x30000 ? 1 : 2;
  for (long long j = 0; j < h; ++j)
    for (long long i = 0; i < w; ++i) {
      const long long X = dx + i, Y = dy + j;
      if (X >= dst.getWidth() || Y >= dst.getHeight()) continue;
      const long long px = fx + i * fxs, py = fy + j * fys;
      if (px < 0 || py < 0 || (px >> 16) >= right || (py >> 16) >= bottom) continue;
      const int col = int(px >> 16), row = int(py >> 16);
      const unsigned ffx = unsigned(px & 0xffff), ffy = unsigned(py & 0xffff);
      RAS_pixel v = 0;
      for (int c = 0; c < 32; c += 8) {
        auto ch = [&](int cx, int cy) { return (At(src, cx, cy) >> c) & 0xff; };
        unsigned out;
        if (down) {
          unsigned sum = 0, n = 0;
          for (int oy = -radius; oy <= radius; ++oy)
            for (int ox = -radius; ox <= radius; ++ox) {
              const int cx = col + ox, cy = row + oy;
              if (cy < 0 || cy >= bottom || cx < 0 || cx >= right) continue;
              sum += ch(cx, cy), ++n;
            }
          out = sum / n;
        } else if (filter) {
          const bool lc = col + 1 >= right, lr = row + 1 >= bottom;
          const unsigned fxy = unsigned((unsigned long long)ffx * ffy >> 16);
          if (lc && lr)
            out = ch(col, row);
          else if (lc)
            out = (ch(col, row) * (65536 - ffy) + ch(col, row + 1) * ffy) >> 16;
          else if (lr)
            out = (ch(col, row) * (65536 - ffx) + ch(col + 1, row) * ffx) >> 16;
          else
            out = (ch(col, row) * (65536 - ffx - ffy + fxy) + ch(col + 1, row) * (ffx - fxy) +
                   ch(col, row + 1) * (ffy - fxy) + ch(col + 1, row + 1) * fxy) >>
                  16;
        } else {
          out = ch(col, row);
        }
        v |= out << c;
      }
      At(dst, int(X), int(Y)) = RAS_CombinePixels(At(dst, int(X), int(Y)), v, alpha, mode);
    }
}

uint64_t Hash(uint64_t h, uint32_t v) { return (h ^ v) * 0x100000001b3ULL; }

}  // namespace

TEST(ShapesScaledBlit, SameSizeIsAPlainBlitUnlessFilteringBetweenPixels) {
  RAS_MemBitmap src(10, 10), a(10, 10), b(10, 10);
  FillPattern(src);
  FillAll(a, kBack), FillAll(b, kBack);
  RAS_ScaledBlit(&a, &src, 0, 0, 10, 10, 0.02f, 0, 10, 10, 1.0f, BLIT_FLAG_FILTER);
  RAS_Blit(&b, &src, 0, 0, 0, 0, 10, 10, 1.0f, BLIT_FLAG_FILTER);
  EXPECT_EQ(RAS_BitmapCmp(&a, &b, nullptr), 0);
  // A quarter pixel off: filtered, so the first column mixes columns 0 and 1.
  RAS_ScaledBlit(&a, &src, 0, 0, 10, 10, 0.25f, 0, 10, 10, 1.0f, BLIT_FLAG_FILTER);
  EXPECT_NE(RAS_BitmapCmp(&a, &b, nullptr), 0);
  const unsigned r0 = RAS_GETR(At(src, 0, 3)), r1 = RAS_GETR(At(src, 1, 3));
  EXPECT_EQ(unsigned(RAS_GETR(At(a, 0, 3))), (r0 * 49152 + r1 * 16384) >> 16);
}

TEST(ShapesScaledBlit, DownFilteringAveragesWindowsBySize) {
  // One bright pixel: its spread shows the window size.
  RAS_MemBitmap src(100, 100);
  for (int size : {25, 50, 70}) {
    FillAll(src, 0);
    At(src, 40, 40) = 0xffffffff;
    RAS_MemBitmap dst(size, size);
    FillAll(dst, 0);
    RAS_ScaledBlit(&dst, &src, 0, 0, size, size, 0, 0, 100, 100, 1.0f, BLIT_FLAG_FILTER);
    int lit = 0;
    unsigned peak = 0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x)
        if (At(dst, x, y)) ++lit, peak = std::max(peak, At(dst, x, y) & 0xff);
    if (size == 25) {
      EXPECT_EQ(peak, 255u / 25) << "5 by 5 box";
    } else if (size == 50) {
      EXPECT_EQ(peak, 255u / 9) << "3 by 3 box";
    } else {
      EXPECT_GT(lit, 0) << "bilinear";
      EXPECT_LE(lit, 4);
    }
  }
}

TEST(ShapesScaledBlit, BilinearEdgesMixInOneDirectionOnly) {
  RAS_MemBitmap src(2, 2), dst(4, 4);
  At(src, 0, 0) = Px(0, 0, 0, 0), At(src, 1, 0) = Px(200, 0, 0, 0);
  At(src, 0, 1) = Px(0, 100, 0, 0), At(src, 1, 1) = Px(200, 100, 80, 0);
  FillAll(dst, kBack);
  RAS_ScaledBlit(&dst, &src, 0, 0, 4, 4, 0, 0, 2, 2, 1.0f, BLIT_FLAG_FILTER);
  // Column 3 samples x = 1.5 (last source column): vertical mix only.
  EXPECT_EQ(At(dst, 3, 1), Px(200, 50, 40, 0));
  // Row 3 samples y = 1.5 (last source row): horizontal mix only.
  EXPECT_EQ(At(dst, 1, 3), Px(100, 100, 40, 0));
  EXPECT_EQ(At(dst, 3, 3), At(src, 1, 1));
  EXPECT_EQ(At(dst, 1, 1), Px(100, 50, 20, 0));  // all four at a quarter
}

TEST(ShapesScaledBlit, NegativeWidthOrHeightMirrorsExactly) {
  RAS_MemBitmap src(10, 6), dst(10, 6);
  FillPattern(src);
  FillAll(dst, kBack);
  RAS_ScaledBlit(&dst, &src, 10, 0, -10, 6, 0, 0, 10, 6, 1.0f, 0);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(At(dst, x, y), At(src, 9 - x, y)) << x << "," << y;
  FillAll(dst, kBack);
  RAS_ScaledBlit(&dst, &src, 0, 6, 10, -6, 0, 0, 10, 6, 1.0f, BLIT_FLAG_FILTER);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(At(dst, x, y), At(src, x, 5 - y)) << x << "," << y;
}

TEST(ShapesScaledBlit, SourceRectangleBeyondTheImageLeavesDestinationAlone) {
  RAS_MemBitmap src(10, 10), dst(20, 4);
  FillPattern(src);
  FillAll(dst, kBack);
  // Source columns 5..15 of a 10-wide image, doubled: columns 9.0 and 9.5 still show.
  RAS_ScaledBlit(&dst, &src, 0, 0, 20, 4, 5, 0, 10, 2, 1.0f, 0);
  EXPECT_EQ(At(dst, 8, 0), At(src, 9, 0));
  EXPECT_EQ(At(dst, 9, 0), At(src, 9, 0));
  EXPECT_EQ(At(dst, 10, 0), kBack);
  EXPECT_EQ(At(dst, 19, 3), kBack);
}

TEST(ShapesScaledBlit, RandomBlitsMatchReferenceChecksum) {
  RandomRun run(7, 1500);
  Rng rng(run.Seed());
  RAS_MemBitmap src(23, 17), lib(31, 29), ref(31, 29);
  const int modes[] = {0,
                       BLIT_FLAG_FILTER,
                       BLIT_ADD,
                       BLIT_MUL | BLIT_FLAG_FILTER,
                       BLIT_FLAG_SOURCE_ALPHA,
                       BLIT_FLAG_SOURCE_ALPHA | BLIT_FLAG_FILTER};
  const float alphas[] = {1.0f, 0.7f, 0.25f};
  uint64_t libHash = 0xcbf29ce484222325ULL, refHash = libHash;
  int mismatches = 0;
  for (int n = 0; n < run.Iterations(); ++n) {
    FillPattern(src, rng.next());
    const RAS_pixel back = rng.next();
    FillAll(lib, back), FillAll(ref, back);
    const int dw = rng.range(1, 60), dh = rng.range(1, 60);
    const int dx = rng.range(-20, 30), dy = rng.range(-20, 28);
    const float sx = rng.range(-400, 2000) / 100.0f, sy = rng.range(-400, 1500) / 100.0f;
    float sw = rng.range(50, 3000) / 100.0f, sh = rng.range(50, 3000) / 100.0f;
    if (std::fabs(sw - dw) < 0.01f) sw += 0.5f;  // the same-size shortcut has its own test
    const int mode = modes[rng.next() % 6];
    const float alpha = alphas[rng.next() % 3];
    RAS_ScaledBlit(&lib, &src, dx, dy, dw, dh, sx, sy, sw, sh, alpha, mode);
    ReferenceScaled(ref, src, dx, dy, dw, dh, sx, sy, sw, sh, alpha, mode);
    for (int y = 0; y < 29; ++y)
      for (int x = 0; x < 31; ++x) {
        mismatches += At(lib, x, y) != At(ref, x, y);
        libHash = Hash(libHash, At(lib, x, y)), refHash = Hash(refHash, At(ref, x, y));
      }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(libHash, refHash);
}

TEST(ShapesRotatedBlit, AngleZeroReproducesAndQuarterTurnPermutes) {
  RAS_MemBitmap src(8, 8), dst(8, 8);
  FillPattern(src);
  for (int mode : {0, int(BLIT_FLAG_FILTER)}) {
    FillAll(dst, kBack);
    RAS_RotatedBlit(&dst, &src, 0, 0, 8, 8, 0, 0, 8, 8, 0.0f, false, 1.0f, mode);
    EXPECT_EQ(RAS_BitmapCmp(&dst, &src, nullptr), 0);
    FillAll(dst, kBack);
    RAS_RotatedBlit(&dst, &src, 0, 0, 8, 8, 0, 0, 8, 8, float(M_PI / 2), false, 1.0f, mode);
    // Clockwise quarter turn about the centre: destination (x, y) shows source (y, 7 - x).
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) ASSERT_EQ(At(dst, x, y), At(src, y, 7 - x)) << x << "," << y;
  }
}

TEST(ShapesRotatedBlit, CornersOutsideTheTurnedImageKeepTheDestination) {
  RAS_MemBitmap src(20, 20), dst(20, 20);
  FillAll(src, Px(255, 255, 255));
  FillAll(dst, kBack);
  RAS_RotatedBlit(&dst, &src, 0, 0, 20, 20, 0, 0, 20, 20, float(M_PI / 4), false, 1.0f, 0);
  for (auto [x, y] : {std::pair{0, 0}, {19, 0}, {0, 19}, {19, 19}}) EXPECT_EQ(At(dst, x, y), kBack);
  EXPECT_EQ(At(dst, 10, 10), Px(255, 255, 255));
  EXPECT_EQ(At(dst, 10, 0), Px(255, 255, 255));
}

TEST(ShapesRotatedBlit, RandomRotationsMatchReferenceChecksum) {
  RandomRun run(11, 1500);
  Rng rng(run.Seed());
  RAS_MemBitmap src(13, 11), lib(24, 20), ref(24, 20);
  uint64_t libHash = 0xcbf29ce484222325ULL, refHash = libHash;
  int mismatches = 0;
  for (int n = 0; n < run.Iterations(); ++n) {
    FillPattern(src, rng.next());
    const RAS_pixel back = rng.next();
    FillAll(lib, back), FillAll(ref, back);
    const int dw = rng.range(1, 30), dh = rng.range(1, 30);
    const int dx = rng.range(-10, 20), dy = rng.range(-10, 16);
    const float sx = rng.range(-200, 800) / 100.0f, sy = rng.range(-200, 600) / 100.0f;
    const float sw = rng.range(100, 1300) / 100.0f, sh = rng.range(100, 1100) / 100.0f;
    const float angle = rng.range(-700, 700) / 100.0f;
    const float ox = rng.range(-300, 300) / 100.0f, oy = rng.range(-300, 300) / 100.0f;
    const bool clip = rng.next() & 1;
    const int mode = (rng.next() & 1 ? BLIT_FLAG_FILTER : 0) | (rng.next() & 1 ? BLIT_ADD : 0);
    const float alpha = rng.next() & 1 ? 1.0f : 0.6f;
    RAS_RotatedBlit(&lib, &src, dx, dy, dw, dh, sx, sy, sw, sh, angle, clip, alpha, mode, ox, oy);
    // Reference: the centre of destination pixel (i, j) maps through the rotation about the
    // source rectangle's centre; rows start at the nearest 16.16 value and step across.
    const double c = std::cos(double(angle)), s = std::sin(double(angle));
    const double cx = c * sw / dw, cy = -s * sh / dh, rx = s * sw / dw, ry = c * sh / dh;
    const double half = (mode & BLIT_FLAG_FILTER) ? 0.5 : 0;
    const double x0 = sx + sw / 2.0 + ox + (0.5 - dw / 2.0) * cx + (0.5 - dh / 2.0) * rx - half;
    const double y0 = sy + sh / 2.0 + oy + (0.5 - dw / 2.0) * cy + (0.5 - dh / 2.0) * ry - half;
    int l = 0, t = 0, r = 13, b = 11;
    if (clip)
      l = std::max(int(sx), 0), t = std::max(int(sy), 0), r = std::min(int(double(sx) + sw), 13),
      b = std::min(int(double(sy) + sh), 11);
    const int i0 = std::max(0, -dx);
    for (int j = std::max(0, -dy); j < dh && dy + j < 20; ++j) {
      long long px = std::llround((x0 + j * rx + i0 * cx) * 65536);
      long long py = std::llround((y0 + j * ry + i0 * cy) * 65536);
      for (int i = i0; i < dw && dx + i < 24;
           ++i, px += std::llround(cx * 65536), py += std::llround(cy * 65536)) {
        const long long col = px >> 16, row = py >> 16;
        if (col < l || col >= r || row < t || row >= b) continue;
        RAS_pixel v = At(src, int(col), int(row));
        if (mode & BLIT_FLAG_FILTER) {
          const unsigned fx = unsigned(px & 0xffff), fy = unsigned(py & 0xffff);
          const bool lc = col + 1 >= r, lr = row + 1 >= b;
          v = 0;
          for (int k = 0; k < 32; k += 8) {
            auto ch = [&](long long x, long long y) {
              return (At(src, int(x), int(y)) >> k) & 0xff;
            };
            const unsigned fxy = unsigned((unsigned long long)fx * fy >> 16);
            unsigned o;
            if (lc && lr)
              o = ch(col, row);
            else if (lc)
              o = (ch(col, row) * (65536 - fy) + ch(col, row + 1) * fy) >> 16;
            else if (lr)
              o = (ch(col, row) * (65536 - fx) + ch(col + 1, row) * fx) >> 16;
            else
              o = (ch(col, row) * (65536 - fx - fy + fxy) + ch(col + 1, row) * (fx - fxy) +
                   ch(col, row + 1) * (fy - fxy) + ch(col + 1, row + 1) * fxy) >>
                  16;
            v |= o << k;
          }
        }
        RAS_pixel& d = At(ref, dx + i, dy + j);
        d = RAS_CombinePixels(d, v, alpha, mode);
      }
    }
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 24; ++x) {
        mismatches += At(lib, x, y) != At(ref, x, y);
        libHash = Hash(libHash, At(lib, x, y)), refHash = Hash(refHash, At(ref, x, y));
      }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(libHash, refHash);
}

TEST(ShapesTransformBlit, IdentityGridCopiesAndDegenerateGridsDrawNothing) {
  RAS_MemBitmap src(12, 12), dst(12, 12);
  FillPattern(src);
  FillAll(dst, kBack);
  const float grid[] = {0, 0, 6, 0, 12, 0, 0, 6, 6, 6, 12, 6, 0, 12, 6, 12, 12, 12};
  RAS_TransformBlit(&dst, &src, 0, 0, 12, 12, grid, 3, 3, 1.0f, 0);
  EXPECT_EQ(RAS_BitmapCmp(&dst, &src, nullptr), 0);
  FillAll(dst, kBack);
  RAS_TransformBlit(&dst, &src, 0, 0, 12, 12, grid, 1, 3, 1.0f, 0);
  RAS_TransformBlit(&dst, &src, 0, 0, 12, 12, grid, 3, 1, 1.0f, 0);
  RAS_TransformBlit(&dst, &src, 0, 0, 0, 12, grid, 3, 3, 1.0f, 0);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) ASSERT_EQ(At(dst, x, y), kBack);
  // Alpha grid: alpha 0 on the left edge and 1 on the right ramps the blend across.
  const double agrid[] = {0, 0, 0, 12, 0, 1, 0, 12, 0, 12, 12, 1};
  FillAll(src, Px(255, 255, 255));
  FillAll(dst, Px(0, 0, 0));
  RAS_TransformBlit2Alpha(&dst, &src, 0, 0, 12, 12, agrid, 2, 2, 0);
  EXPECT_EQ(At(dst, 0, 5), Px(0, 0, 0));  // weight 0 leaves it
  EXPECT_EQ(RAS_GETR(At(dst, 6, 5)), 127);
  EXPECT_GT(RAS_GETR(At(dst, 11, 5)), 230);
}

TEST(ShapesFilters, HalveAveragesAndBlurKeepsFlatAreas) {
  RAS_MemBitmap src(8, 6), dst(4, 3);
  FillAll(src, 0xffffffff);
  RAS_HalveBlitAA(&dst, &src);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) ASSERT_EQ(At(dst, x, y), 0xfcfcfcfcu);
  // A flat area blurs to 1/2 + 4/8 of itself (bytewise truncation: 0x80 -> 0x40 + 4 * 0x10).
  RAS_MemBitmap flat(6, 5), out(6, 5);
  FillAll(flat, 0x80808080), FillAll(out, 0);
  RAS_Blur(&out, &flat, 0, 0, 0, 0, 6, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) ASSERT_EQ(At(out, x, y), 0x80808080u) << x << "," << y;
  // In place gives the same as blurring into another bitmap.
  RAS_MemBitmap pat(40, 30), sep(40, 30);
  FillPattern(pat);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) At(pat, x, y) &= 0x7f7f7f7f;
  FillAll(sep, 0);
  RAS_Blur(&sep, &pat, 0, 0, 0, 0, 40, 30);
  RAS_Blur(&pat, &pat, 0, 0, 0, 0, 40, 30);
  EXPECT_EQ(RAS_BitmapCmp(&pat, &sep, nullptr), 0);
  // Single rows or columns are left alone.
  RAS_Blur(&out, &flat, 0, 0, 0, 0, 1, 5);
  RAS_Blur(&out, &flat, 0, 0, 0, 0, 6, 1);
}
