// The stereo-image meter on signals whose image is known, and the picture drawn from it.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "host/tool/StereoImagePlot.h"

namespace {

// Two seconds at 48 kHz, fed in uneven blocks as a stream would deliver them.
StereoImageMeter Measure(double (*left)(int, std::mt19937&), double (*right)(int, std::mt19937&)) {
  constexpr int kFrames = 96000;
  std::mt19937 random(7);
  std::vector<float> l(kFrames), r(kFrames);
  for (int i = 0; i < kFrames; ++i) {
    l[size_t(i)] = float(left(i, random));
    r[size_t(i)] = float(right(i, random));
  }
  StereoImageMeter meter(48000);
  for (size_t at = 0, block = 1; at < l.size(); at += block, block = block * 3 % 4093 + 1)
    meter.Add(&l[at], &r[at], std::min(block, l.size() - at));
  meter.Finish();
  return meter;
}

double Tone(int i, std::mt19937&) { return 0.5 * std::sin(i * 0.031); }
double InvertedTone(int i, std::mt19937& random) { return -Tone(i, random); }
double Noise(int, std::mt19937& random) {
  return std::uniform_real_distribution<double>(-0.5, 0.5)(random);
}

TEST(StereoImageTest, KnownImagesGiveTheirFigures) {
  const StereoImageFigures same = Measure(Tone, Tone).Figures();
  EXPECT_DOUBLE_EQ(same.correlation, 1);
  EXPECT_DOUBLE_EQ(same.lowestCorrelation, 1);
  EXPECT_EQ(same.kind, StereoImageKind::kMono);
  EXPECT_EQ(StereoWidthText(same), "mono");
  EXPECT_EQ(same.side.peak, 0);
  EXPECT_NEAR(same.monoSumChangeDb, 0, 1e-9);
  EXPECT_NEAR(same.balanceDb, 0, 1e-9);
  EXPECT_NE(StereoImageJson({"f", 48000, "", ""}, same, nullptr).find("\"side_to_mid_db\": null"),
            std::string::npos);

  const StereoImageFigures opposite = Measure(Tone, InvertedTone).Figures();
  EXPECT_DOUBLE_EQ(opposite.correlation, -1);
  EXPECT_DOUBLE_EQ(opposite.negativeShare, 1);
  EXPECT_EQ(opposite.kind, StereoImageKind::kSideOnly);
  EXPECT_EQ(opposite.mid.rms, 0);  // the mono sum loses all of it
  EXPECT_EQ(opposite.monoSumChangeDb, -std::numeric_limits<double>::infinity());

  const StereoImageMeter noiseMeter = Measure(Noise, Noise);
  const StereoImageFigures noise = noiseMeter.Figures();
  EXPECT_NEAR(noise.correlation, 0, 0.05);
  EXPECT_LT(noise.lowestCorrelation, noise.correlation);
  // Unrelated channels of equal level: side equals mid, and the mono sum loses 3 dB.
  EXPECT_NEAR(noise.sideToMidDb, 0, 0.5);
  EXPECT_NEAR(noise.monoSumChangeDb, 10 * std::log10(0.5), 0.3);
  // Two seconds are six full 300 ms windows and a 200 ms tail, which counts.
  EXPECT_EQ(noiseMeter.Series().size(), 7u);
  EXPECT_EQ(noise.frames, 96000u);

  // NaN and infinity are counted and measured as silence; every figure stays a number.
  StereoImageMeter broken(48000);
  const float left[4] = {NAN, 0.5f, INFINITY, 0.5f}, right[4] = {0.5f, NAN, 0.5f, 0.5f};
  broken.Add(left, right, 4);
  broken.Finish();
  const StereoImageFigures f = broken.Figures();
  EXPECT_EQ(f.nonFinite, 3u);
  EXPECT_EQ(f.left.peak, 0.5);
  EXPECT_TRUE(std::isfinite(f.correlation) && std::isfinite(f.sideToMidDb));
}

TEST(StereoImageTest, LongSignalsKeepABoundedTimeSeries) {
  // At 100 Hz a window is 30 frames: 3000 windows go in, merged pairwise as the series fills.
  StereoImageMeter meter(100);
  const std::vector<float> left(90000, 0.5f), right(90000, -0.25f);
  meter.Add(left.data(), right.data(), left.size());
  meter.Finish();
  EXPECT_LE(meter.Series().size(), StereoImageMeter::kMaxPoints);
  EXPECT_EQ(meter.WindowsPerPoint(), 4u);
  uint64_t frames = 0;
  for (const StereoSums& point : meter.Series()) frames += point.frames;
  EXPECT_EQ(frames, 90000u);
  EXPECT_NEAR(meter.Figures().balanceDb, 20 * std::log10(2.0), 1e-9);
}

TEST(StereoImageTest, MonoInkStaysOnTheVerticalAxis) {
  const StereoImageMeter same = Measure(Tone, Tone);
  StereoImageMeter nothing(48000);
  nothing.Finish();
  RAS_MemBitmap drawn, empty;
  DrawStereoImagePlot(&drawn, {"same.wav", 48000, "", ""}, same, nullptr);
  DrawStereoImagePlot(&empty, {"same.wav", 48000, "", ""}, nothing, nullptr);
  ASSERT_EQ(drawn.getWidth(), StereoPlotLayout::kWidth);
  ASSERT_EQ(drawn.getHeight(), StereoPlotLayout::kHeight);
  const RECT& scope = StereoPlotGeometry().scopes[0];
  const int axis = (scope.left + scope.right) / 2;
  int ink = 0;
  for (int y = scope.top; y < scope.bottom; ++y)
    for (int x = scope.left; x < scope.right; ++x)
      if (RAS_GetPixel(&drawn, x, y) != RAS_GetPixel(&empty, x, y)) {
        ++ink;
        ASSERT_LE(std::abs(x - axis), 1) << x << "," << y;
      }
  EXPECT_GT(ink, 100);
}

}  // namespace
