#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "raster/RAS_ShapeKit.h"
#include "raster/RAS_VectorRows.h"
#include "raster/Raster.h"

namespace {

// One pixel run through a rule: returns the resulting word.
template <class C>
RAS_pixel Pix(RAS_pixel dest, int r, int g, int b, int a, int w) {
  C::doPix(reinterpret_cast<unsigned char*>(&dest), r, g, b, a, w);
  return dest;
}

TEST(RasterCombiners, CopyBlendsTowardSourceWithTruncation) {
  using C = _RAS_CombinePixelsCopyNoClamp;
  // 200 + (100 - 200) * 128 / 256 = 150 and 100 + (200 - 100) * 128 / 256 = 150.
  EXPECT_EQ(Pix<C>(RAS_RGBA(100, 200, 0, 0), 200, 100, 0, 0, 128), RAS_RGBA(150, 150, 0, 0));
  // Weight 1 of 0 over 255: 255 * 255 / 256 = 254; toward 255 from 0: 255 - 255*255/256 = 1.
  EXPECT_EQ(Pix<C>(RAS_RGBA(255, 255, 255, 0), 0, 0, 0, 255, 1), RAS_RGBA(254, 254, 254, 1));
  // Negative differences truncate toward zero, not down: 10 + (0 - 10) * 131 / 256 = 5.
  EXPECT_EQ(Pix<C>(RAS_RGBA(0, 0, 0, 0), 10, 10, 10, 10, 125), RAS_RGBA(5, 5, 5, 5));
  // Weight 512 extrapolates to 2s - d: 300 keeps its low byte without a clamp, 255 with one.
  EXPECT_EQ(RAS_GETR(Pix<C>(RAS_RGBA(100, 0, 0, 0), 200, 0, 0, 0, 512)), 300 & 0xff);
  EXPECT_EQ(RAS_GETR(Pix<_RAS_CombinePixelsCopyClamp>(RAS_RGBA(100, 0, 0, 0), 200, 0, 0, 0, 512)),
            255);
  EXPECT_EQ(RAS_GETR(Pix<_RAS_CombinePixelsCopyClamp>(RAS_RGBA(200, 0, 0, 0), 50, 0, 0, 0, 512)),
            0);
}

TEST(RasterCombiners, ClobberAndHalfMix) {
  EXPECT_EQ(Pix<_RAS_CombinePixelsClobberNoClamp>(0x12345678, 1, 2, 3, 4, 0), RAS_RGBA(1, 2, 3, 4));
  EXPECT_EQ(Pix<_RAS_CombinePixelsClobberClamp>(0, -5, 300, 7, 256, 0), RAS_RGBA(0, 255, 7, 255));
  EXPECT_EQ(Pix<_RAS_CombinePixelsHalfMixNoClamp>(RAS_RGBA(255, 0, 11, 100), 255, 255, 0, 0, 99),
            RAS_RGBA(255, 127, 5, 50));
}

TEST(RasterCombiners, AddDodgeMultiplyOverlay) {
  // Add clamps, alpha byte included.
  EXPECT_EQ(Pix<_RAS_CombinePixelsAdd>(RAS_RGBA(100, 10, 0, 200), 200, 100, 7, 100, 256),
            RAS_RGBA(255, 110, 7, 255));
  EXPECT_EQ(Pix<_RAS_CombinePixelsAdd>(RAS_RGBA(100, 10, 0, 0), 200, 100, 7, 0, 128),
            RAS_RGBA(200, 60, 3, 0));
  // A negative weight subtracts and clamps at 0.
  EXPECT_EQ(Pix<_RAS_CombinePixelsAdd>(RAS_RGBA(100, 10, 0, 0), 50, 100, 7, 0, -256),
            RAS_RGBA(50, 0, 0, 0));

  // Dodge with 255 at full weight: any non-zero channel saturates, zero stays zero.
  EXPECT_EQ(Pix<_RAS_CombinePixelsColorDodge>(RAS_RGBA(1, 0, 200, 0), 255, 255, 255, 255, 256),
            RAS_RGBA(255, 0, 255, 0));
  // t = 128: d * 256 / 128 doubles; 0 weight keeps d.
  EXPECT_EQ(Pix<_RAS_CombinePixelsColorDodge>(RAS_RGBA(100, 200, 3, 0), 128, 128, 128, 0, 256),
            RAS_RGBA(200, 255, 6, 0));
  EXPECT_EQ(Pix<_RAS_CombinePixelsColorDodge>(RAS_RGBA(100, 200, 3, 9), 128, 128, 128, 0, 0),
            RAS_RGBA(100, 200, 3, 9));

  // 255 * 256 * 255 >> 16 = 254; weight 0 keeps d; half weight of 0 halves.
  using M = _RAS_CombinePixelsMulNoClamp;
  EXPECT_EQ(Pix<M>(RAS_RGBA(255, 255, 255, 255), 255, 255, 255, 255, 256),
            RAS_RGBA(254, 254, 254, 254));
  EXPECT_EQ(Pix<M>(RAS_RGBA(17, 99, 200, 3), 0, 0, 0, 0, 0), RAS_RGBA(17, 99, 200, 3));
  EXPECT_EQ(Pix<M>(RAS_RGBA(200, 100, 0, 0), 0, 0, 0, 0, 128), RAS_RGBA(100, 50, 0, 0));
  // Extrapolating weights: (255 * 512 - 256 * 256) * 255 >> 16 = 253; multiplying by 0 at
  // weight -1024 gives 1280 * 256 * 255 >> 16 = 1275, low bits without a clamp, 255 with one.
  EXPECT_EQ(RAS_GETR(Pix<M>(RAS_RGBA(255, 0, 0, 0), 255, 0, 0, 0, 512)), 253);
  EXPECT_EQ(RAS_GETR(Pix<M>(RAS_RGBA(255, 0, 0, 0), 0, 0, 0, 0, -1024)), 1275 & 0xff);
  EXPECT_EQ(RAS_GETR(Pix<_RAS_CombinePixelsMulClamp>(RAS_RGBA(255, 0, 0, 0), 0, 0, 0, 0, -1024)),
            255);

  // Overlay: mid-grey leaves d; white lifts 128 to 191; black at 128 gives 64.
  using O = _RAS_CombinePixelsOverlay;
  EXPECT_EQ(Pix<O>(RAS_RGBA(10, 128, 250, 77), 128, 128, 128, 128, 256),
            RAS_RGBA(10, 128, 250, 77));
  EXPECT_EQ(RAS_GETR(Pix<O>(RAS_RGBA(128, 0, 0, 0), 255, 0, 0, 0, 256)), 191);
  EXPECT_EQ(RAS_GETR(Pix<O>(RAS_RGBA(128, 0, 0, 0), 0, 0, 0, 0, 256)), 64);
  EXPECT_EQ(RAS_GETR(Pix<O>(RAS_RGBA(255, 0, 0, 0), 255, 0, 0, 0, 256)), 255);
}

TEST(RasterCombiners, SourceAlphaForms) {
  using SA = _RAS_CombinePixelsCopySourceAlphaNoClamp;
  using SAI = _RAS_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp;
  const RAS_pixel d = RAS_RGBA(100, 50, 0, 200);
  // Alpha 0 never draws, whatever the weight.
  for (int w : {1, 128, 256, 1000}) {
    EXPECT_EQ(Pix<SA>(d, 255, 255, 255, 0, w), d);
    EXPECT_EQ(Pix<SAI>(d, 255, 255, 255, 0, w), d);
    EXPECT_EQ(Pix<_RAS_CombinePixelsAddSourceAlpha>(d, 255, 255, 255, 0, w), d);
    EXPECT_EQ(Pix<_RAS_CombinePixelsMulSourceAlphaNoClamp>(d, 0, 0, 0, 0, w), d);
  }
  // Opaque at full weight writes the colour and alpha 255.
  EXPECT_EQ(Pix<SAI>(d, 1, 2, 3, 255, 256), RAS_RGBA(1, 2, 3, 255));
  // a = 128 ignoring the weight: 200 + (100 - 200) * 127 / 256 = 151; alpha min(255, 200+128).
  EXPECT_EQ(Pix<SAI>(d, 200, 200, 200, 128, 256), RAS_RGBA(151, 126, 101, 255));
  EXPECT_EQ(Pix<SAI>(RAS_RGBA(0, 0, 0, 10), 200, 0, 0, 128, 256), RAS_RGBA(101, 0, 0, 138));
  // w' = 128 * 256 / 256 = 128 with a = 255: half way; alpha 200 + 128 clamps.
  EXPECT_EQ(Pix<SA>(d, 200, 250, 100, 255, 128), RAS_RGBA(150, 150, 50, 255));
  // w' = 256 * 64 / 256 = 64 with a = 63: 0 + (200 - 0) * 192 / 256 = 150; alpha 10 + 64.
  EXPECT_EQ(Pix<SA>(RAS_RGBA(200, 0, 0, 10), 0, 0, 0, 63, 256), RAS_RGBA(150, 0, 0, 74));

  // Add with w' = 128 (a = 127): the alpha byte adds 127 * 128 / 256 = 63.
  EXPECT_EQ(Pix<_RAS_CombinePixelsAddSourceAlpha>(RAS_RGBA(10, 0, 0, 1), 200, 0, 0, 127, 256),
            RAS_RGBA(110, 0, 0, 64));
  // Dodge has no early exit at alpha 0: weight 4096 still leaves w' = 16, t = 15.
  EXPECT_EQ(RAS_GETR(Pix<_RAS_CombinePixelsColorDodgeSourceAlpha>(RAS_RGBA(100, 0, 0, 0), 255, 0, 0,
                                                                  0, 4096)),
            100 * 256 / (256 - 15));
  EXPECT_EQ(Pix<_RAS_CombinePixelsMulSourceAlphaNoClamp>(RAS_RGBA(200, 0, 0, 0), 0, 0, 0, 255, 256),
            RAS_RGBA(0, 0, 0, 0));
  // Overlay and HSV with w': mid-grey at a = 255 keeps d; HSV writes the source alpha.
  EXPECT_EQ(Pix<_RAS_CombinePixelsOverlaySourceAlpha>(d, 128, 128, 128, 128, 256),
            RAS_RGBA(100, 50, 0, 200));
  EXPECT_EQ(RAS_GETA(Pix<_RAS_CombinePixelsHSVAdjustSourceAlpha>(d, 128, 128, 128, 77, 256)), 77);
}

TEST(RasterCombiners, WordWiseRulesTruncateEachByte) {
  RAS_pixel x = 0xffffffff;
  _RAS_CombinePixelsHalfMix2FAST::doPix(&x, RAS_HalfWord(0xffffffff));
  EXPECT_EQ(x, 0xfefefefeu);
  x = 0xffffffff;
  _RAS_CombinePixelsHalfMixFAST::doPix(&x, 0xffffffff);
  EXPECT_EQ(x, 0xfefefefeu);
  x = 0x00ff8040;
  _RAS_CombinePixelsQuarterMix2FAST::doPix(&x, RAS_QuarterWord(0xff00ff00));
  // Per byte (low to high): c/4 + x/4 + x/2: 0+16+32, 63+32+64, 0+63+127, 63+0+0.
  EXPECT_EQ(x, RAS_RGBA(159, 190, 63, 48));
  x = 0x00ff8040;
  _RAS_CombinePixelsThreeQuarterMix2FAST::doPix(
      &x, RAS_HalfWord(0xff00ff00) + RAS_QuarterWord(0xff00ff00));
  EXPECT_EQ(x, RAS_RGBA(127 + 63 + 32, 0 + 63, 127 + 63, 16));
  _RAS_CombinePixelsClobberFAST::doPix(&x, 0xdeadbeef);
  EXPECT_EQ(x, 0xdeadbeefu);
}

TEST(RasterCombiners, HsvAdjustShiftsHueSaturationValue) {
  using H = _RAS_CombinePixelsHSVAdjust;
  EXPECT_EQ(RAS_RGB2HSV_invtab[0], 0);
  EXPECT_EQ(RAS_RGB2HSV_invtab[1], 65535);
  EXPECT_EQ(RAS_RGB2HSV_invtab[150], 65536 / 150 - 1);
  EXPECT_EQ(RAS_RGB2HSV_invtab[255], 256);

  // Red largest: hue 21, value 200, saturation 191, low channel 50.
  EXPECT_EQ(Pix<H>(RAS_RGBA(200, 100, 50, 0), 128, 128, 128, 99, 256), RAS_RGBA(200, 99, 50, 99));
  // Source red 255 turns the hue forward by 190 steps into the cyan-to-blue sector.
  EXPECT_EQ(Pix<H>(RAS_RGBA(200, 100, 50, 0), 255, 128, 128, 1, 256), RAS_RGBA(50, 155, 200, 1));
  // Red largest with green below blue starts at 383 and runs backwards.
  EXPECT_EQ(Pix<H>(RAS_RGBA(200, 50, 100, 0), 128, 128, 128, 0, 256), RAS_RGBA(200, 50, 102, 0));
  // Value and saturation controls: blue 0 at full weight drops the value by 128.
  EXPECT_EQ(RAS_GETR(Pix<H>(RAS_RGBA(200, 100, 50, 0), 128, 128, 0, 0, 128)), 72);
  // Green 0 at full weight removes saturation: all channels equal the value.
  EXPECT_EQ(Pix<H>(RAS_RGBA(200, 100, 50, 0), 128, 0, 128, 5, 256), RAS_RGBA(200, 200, 200, 5));

  // Neutral controls keep any colour close at any weight, greys included.
  const RAS_pixel colours[] = {RAS_RGBA(10, 200, 30, 0),  RAS_RGBA(0, 0, 255, 0),
                               RAS_RGBA(90, 90, 90, 0),   RAS_RGBA(255, 0, 255, 0),
                               RAS_RGBA(40, 200, 220, 0), RAS_RGBA(0, 0, 0, 0)};
  for (RAS_pixel c : colours) {
    for (int w : {1, 100, 256}) {
      const RAS_pixel out = Pix<H>(c, 128, 128, 128, 42, w);
      EXPECT_EQ(RAS_GETA(out), 42);
      EXPECT_LE(std::abs(RAS_GETR(out) - RAS_GETR(c)), 6) << std::hex << c;
      EXPECT_LE(std::abs(RAS_GETG(out) - RAS_GETG(c)), 6) << std::hex << c;
      EXPECT_LE(std::abs(RAS_GETB(out) - RAS_GETB(c)), 6) << std::hex << c;
    }
  }
  // Weights far beyond 256 wrap the hue as often as needed and stay in range.
  // Here the hue turns back by 3072 steps, a whole number of turns plus nothing: hue 21 again,
  // with value and saturation saturated.
  EXPECT_EQ(Pix<H>(RAS_RGBA(200, 100, 50, 0), 0, 255, 255, 0, 4096), RAS_RGBA(255, 84, 0, 0));
}

TEST(RasterCombinePixels, EntryPointsDispatchTheTwelveCases) {
  const RAS_pixel d = RAS_RGBA(100, 100, 100, 100), s = RAS_RGBA(200, 0, 50, 128);
  EXPECT_EQ(RAS_CombinePixels(d, s, 1.0f, BLIT_COPY), s);
  EXPECT_EQ(RAS_CombinePixels(d, s, 0.0f, BLIT_COPY), d);
  EXPECT_EQ(RAS_CombinePixels(d, s, 0.5f, BLIT_COPY), RAS_RGBA(150, 50, 75, 114));
  EXPECT_EQ(RAS_CombinePixels(d, s, -0.5f, BLIT_COPY), d);
  EXPECT_EQ(RAS_CombinePixels(d, s, 1.0f, BLIT_ADD), RAS_RGBA(255, 100, 150, 228));
  EXPECT_EQ(RAS_CombinePixels(d, s, 1.0f, BLIT_MUL), RAS_RGBA(78, 0, 19, 50));
  // Source alpha at full weight uses the rule that ignores the weight: 200 + (-100)*127/256.
  EXPECT_EQ(RAS_CombinePixels(d, s, 1.0f, BLIT_COPY | BLIT_FLAG_SOURCE_ALPHA),
            RAS_RGBA(151, 49, 74, 228));
  // At 0.5: w' = 128 * 129 / 256 = 64.
  EXPECT_EQ(RAS_CombinePixels(d, s, 0.5f, BLIT_COPY | BLIT_FLAG_SOURCE_ALPHA),
            RAS_RGBA(125, 75, 87, 164));
  // Filter bit and unrelated high bits are ignored; unknown rules return d.
  EXPECT_EQ(RAS_CombinePixels(d, s, 1.0f, BLIT_ADD | BLIT_FLAG_FILTER | 0x4000),
            RAS_CombinePixels(d, s, 1.0f, BLIT_ADD));
  for (int mode : {6, 0x20, 0xef, 0x10006, 0x100ef})
    EXPECT_EQ(RAS_CombinePixels(d, s, 1.0f, mode), d) << mode;

  RAS_pixel p = d;
  RAS_CombinePixels2(&p, 200, 0, 50, 128, 0, BLIT_ADD);
  EXPECT_EQ(p, d);
  RAS_CombinePixels2(&p, 200, 0, 50, 128, 256, BLIT_DODGE);
  EXPECT_EQ(p, RAS_RGBA(255, 100, 124, 200));
  // Out-of-range components: plain keeps low bits, the clamping form saturates.
  p = d;
  RAS_CombinePixels2(&p, 300, -20, 0, 0, 200, BLIT_COPY);
  EXPECT_EQ(RAS_GETR(p), 257 & 0xff);  // 300 + (100 - 300) * 56 / 256
  p = d;
  RAS_CombinePixels2Clamp(&p, 300, -20, 0, 0, 256, BLIT_COPY);
  EXPECT_EQ(p, RAS_RGBA(255, 0, 0, 0));
  p = d;
  // Multiply by 0 at weight -1024: (1280 * 256 * 100) >> 16 = 500.
  RAS_CombinePixels2Clamp(&p, 0, 0, 0, 0, -1024, BLIT_MUL);
  EXPECT_EQ(p, RAS_RGBA(255, 255, 255, 255));
  p = d;
  RAS_CombinePixels2(&p, 0, 0, 0, 0, -1024, BLIT_MUL);
  EXPECT_EQ(p, RAS_RGBA(500 & 0xff, 500 & 0xff, 500 & 0xff, 500 & 0xff));
  p = d;
  RAS_CombinePixels2(&p, 1, 2, 3, 4, 256, 7);
  EXPECT_EQ(p, d);
  RAS_CombinePixels2(nullptr, 1, 2, 3, 4, 256, BLIT_COPY);  // ignored
}

// Each vector row against the rule it stands in for, over random pixels (alphas 0 and 255
// a quarter of the time each) at every weight, on each instruction set the CPU has. Rows of
// odd length: the pixels past what a row function reports done must be left untouched.
TEST(RasterVectorRows, MatchTheScalarRulesOverRandomPixels) {
  std::vector<const RAS_VectorRows*> sets = {RAS_VectorRowsSSE2()};
  if (RAS_VectorRowsAVX2()) sets.push_back(RAS_VectorRowsAVX2());
  uint32_t seed = 0x9e3779b9;
  auto next = [&] { return seed ^= seed << 13, seed ^= seed >> 17, seed ^= seed << 5; };
  auto pixel = [&] {
    const RAS_pixel p = next();
    const uint32_t pick = next() % 4;
    return pick == 0 ? p & ~0xffu : pick == 1 ? p | 0xff : p;
  };
  using SA = _RAS_CombinePixelsCopySourceAlphaNoClamp;
  using SAI = _RAS_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp;
  using Copy = _RAS_CombinePixelsCopyNoClamp;
  // scalar(d, source pixel, colour, weight); the colour rows take their colour from the
  // first source pixel (the weighted fill with the weight as its alpha).
  struct Case {
    const char* name;
    std::function<int(const RAS_VectorRows&, RAS_pixel*, const RAS_pixel*, int, int)> vector;
    std::function<RAS_pixel(RAS_pixel, RAS_pixel, RAS_pixel, int)> scalar;
  };
  auto rule = [](auto tag, RAS_pixel d, RAS_pixel s, int a, int w) {
    return Pix<typename decltype(tag)::type>(d, RAS_GETR(s), RAS_GETG(s), RAS_GETB(s), a, w);
  };
  using ras_shape::Tag;
  const Case cases[] = {
      {"fill", [](auto& v, auto d, auto s, int n, int) { return v.fill(d, s[0], n); },
       [](RAS_pixel, RAS_pixel, RAS_pixel c, int) { return c; }},
      {"copy", [](auto& v, auto d, auto s, int n, int) { return v.copy(d, s, n); },
       [](RAS_pixel, RAS_pixel s, RAS_pixel, int) { return s; }},
      {"copyWeighted",
       [](auto& v, auto d, auto s, int n, int w) { return v.copyWeighted(d, s, n, w); },
       [&](RAS_pixel d, RAS_pixel s, RAS_pixel, int w) {
         return rule(Tag<Copy>(), d, s, RAS_GETA(s), w);
       }},
      {"fillWeighted",
       [](auto& v, auto d, auto s, int n, int w) {
         return v.fillWeighted(d, (s[0] & ~0xffu) | RAS_pixel(w), n, w);
       },
       [&](RAS_pixel d, RAS_pixel, RAS_pixel c, int w) { return rule(Tag<Copy>(), d, c, w, w); }},
      {"sourceAlphaFull",
       [](auto& v, auto d, auto s, int n, int) { return v.sourceAlphaFull(d, s, n); },
       [&](RAS_pixel d, RAS_pixel s, RAS_pixel, int) {
         return rule(Tag<SAI>(), d, s, RAS_GETA(s), 256);
       }},
      {"sourceAlphaWeighted",
       [](auto& v, auto d, auto s, int n, int w) { return v.sourceAlphaWeighted(d, s, n, w); },
       [&](RAS_pixel d, RAS_pixel s, RAS_pixel, int w) {
         return rule(Tag<SA>(), d, s, RAS_GETA(s), w);
       }},
  };
  constexpr int n = 37;
  for (const RAS_VectorRows* v : sets) {
    SCOPED_TRACE(v->name);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      for (int w = 1; w <= 255; ++w) {
        RAS_pixel d[n], s[n], before[n];
        for (int i = 0; i < n; ++i) before[i] = d[i] = pixel(), s[i] = pixel();
        const int done = c.vector(*v, d, s, n, w);
        ASSERT_GT(done, n - 8);
        for (int i = 0; i < n; ++i) {
          const RAS_pixel expect = i >= done ? before[i] : c.scalar(before[i], s[i], s[0], w);
          ASSERT_EQ(d[i], expect) << "weight " << w << " pixel " << i;
        }
      }
    }
    // The bilinear mix, with fractions at 0 and 0xffff a quarter of the time each.
    for (int round = 0; round < 200; ++round) {
      RAS_pixel p[4][n], out[n];
      unsigned short f[2][n];
      for (int i = 0; i < n; ++i) {
        for (auto& q : p) q[i] = next();
        for (auto& q : f) {
          const uint32_t pick = next() % 4;
          q[i] = pick == 0 ? 0 : pick == 1 ? 0xffff : (unsigned short)next();
        }
        out[i] = 0xdeadbeef;
      }
      const int done = v->mix4(out, p[0], p[1], p[2], p[3], f[0], f[1], n);
      ASSERT_GT(done, n - 8);
      for (int i = 0; i < n; ++i)
        ASSERT_EQ(out[i],
                  i >= done ? 0xdeadbeef
                            : ras_shape::Mix4(p[0][i], p[1][i], p[2][i], p[3][i], f[0][i], f[1][i]))
            << "sample " << i;
    }
    // Scaling runs: windows of random width, with and without the source's edge column.
    for (int round = 0; round < 300; ++round) {
      RAS_pixel top[41], bottom[41], out[n];
      int col[n], A[4 * 40];
      short E[8 * 40];
      unsigned short f[n];
      for (int k = 0; k < 41; ++k) top[k] = next(), bottom[k] = next();
      const int m = 1 + int(next() % 40);
      const bool edge = next() % 2;
      const unsigned fy = round % 3 == 0 ? 0 : round % 3 == 1 ? 0xffff : next() & 0xffff;
      for (int i = 0; i < n; ++i) {
        col[i] = int(next() % unsigned(m));
        f[i] = edge && col[i] == m - 1 ? 0 : next() % 4 == 0 ? 0xffff : (unsigned short)next();
      }
      v->scaleRun(out, top, bottom, m, edge, col, f, fy, n, A, E);
      for (int i = 0; i < n; ++i) {
        const int c = col[i], right = edge && c == m - 1 ? c : c + 1;
        ASSERT_EQ(out[i], ras_shape::Mix4(top[c], top[right], bottom[c], bottom[right], f[i], fy))
            << "sample " << i << " of window " << m;
      }
    }
  }
}

}  // namespace
