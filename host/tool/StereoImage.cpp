#include "StereoImage.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kSilentEnergy = 1e-10;  // -100 dBFS mean square per channel
// A side (or mid) this far below the other, -120 dB, is rounding noise, not signal.
constexpr double kNegligibleEnergyRatio = 1e-12;

double Db(double energyRatio) { return 10 * std::log10(energyRatio); }

}  // namespace

void StereoSums::Merge(const StereoSums& other) {
  ll += other.ll;
  rr += other.rr;
  lr += other.lr;
  frames += other.frames;
}

bool StereoSums::Silent() const {
  return frames == 0 || (ll + rr) / 2 <= kSilentEnergy * double(frames);
}

double StereoSums::Correlation() const {
  const double denominator = std::sqrt(ll * rr);
  return denominator > 0 ? std::clamp(lr / denominator, -1.0, 1.0) : 0.0;
}

double StereoSums::SideToMidDb() const {
  const double mid = std::max(0.0, ll + rr + 2 * lr), side = std::max(0.0, ll + rr - 2 * lr);
  if (side <= kNegligibleEnergyRatio * mid) return -kInfinity;
  if (mid <= kNegligibleEnergyRatio * side) return kInfinity;
  return Db(side / mid);
}

const char* StereoImageKindName(StereoImageKind kind) {
  switch (kind) {
    case StereoImageKind::kSilent:
      return "silent";
    case StereoImageKind::kMono:
      return "mono";
    case StereoImageKind::kStereo:
      return "stereo";
    case StereoImageKind::kSideOnly:
      return "side only";
  }
  return "?";
}

uint32_t StereoDensity::MaxCount() const { return *std::max_element(mCells.begin(), mCells.end()); }

void StereoDensity::Double() {
  std::vector<uint32_t> merged(mCells.size());
  for (int row = 0; row < kCells; ++row)
    for (int column = 0; column < kCells; ++column) {
      uint32_t& into = merged[size_t(row / 2 + kCells / 4) * kCells + column / 2 + kCells / 4];
      // Saturate rather than wrap: a cell this full is drawn at full ink either way.
      into = uint32_t(std::min<uint64_t>(uint64_t(into) + Count(column, row), UINT32_MAX));
    }
  mCells.swap(merged);
  mSpan *= 2;
}

void StereoDensity::GrowTo(double span) {
  while (mSpan < span) Double();
}

void StereoDensity::Add(double mid, double side) {
  const double reach = std::max(std::fabs(mid), std::fabs(side));
  if (reach > mSpan) GrowTo(reach);
  const double scale = kCells / 2 / mSpan;
  // The left channel alone (side = mid) leans to the upper left, as on a goniometer.
  const int column = std::min(kCells - 1, int((mSpan - side) * scale));
  const int row = std::min(kCells - 1, int((mSpan - mid) * scale));
  uint32_t& cell = mCells[size_t(row) * kCells + column];
  if (cell != UINT32_MAX) ++cell;
}

StereoImageMeter::StereoImageMeter(double sampleRate)
    : mRate(sampleRate > 0 ? sampleRate : 44100),
      mWindowFrames(std::max<size_t>(1, size_t(std::lround(mRate * kWindowSeconds)))) {}

void MidSideMeter::Sums::Merge(const Sums& other) {
  midSquares += other.midSquares;
  sideSquares += other.sideSquares;
  midPeak = std::max(midPeak, other.midPeak);
  sidePeak = std::max(sidePeak, other.sidePeak);
}

namespace {

// Pairs of frames side by side in the processor's baseline vectors, so that no single chain of
// additions sets the pace.
MidSideMeter::Sums MeasureBlock(const float* left, const float* right, size_t frames) {
  typedef double Pair __attribute__((vector_size(16)));
  const Pair half = Pair{} + 0.5;
  Pair mm{}, ss{}, midPeak{}, sidePeak{};
  size_t i = 0;
  for (; i + 2 <= frames; i += 2) {
    const Pair l = {left[i], left[i + 1]}, r = {right[i], right[i + 1]};
    const Pair mid = (l + r) * half, side = (l - r) * half;
    const Pair midSize = mid < 0 ? -mid : mid, sideSize = side < 0 ? -side : side;
    mm += mid * mid;
    ss += side * side;
    midPeak = midSize > midPeak ? midSize : midPeak;
    sidePeak = sideSize > sidePeak ? sideSize : sidePeak;
  }
  MidSideMeter::Sums sums{mm[0] + mm[1], ss[0] + ss[1], std::max(midPeak[0], midPeak[1]),
                          std::max(sidePeak[0], sidePeak[1])};
  for (; i < frames; ++i) {
    const double mid = (double(left[i]) + right[i]) * 0.5;
    const double side = (double(left[i]) - right[i]) * 0.5;
    sums.Merge({mid * mid, side * side, std::fabs(mid), std::fabs(side)});
  }
  return sums;
}

}  // namespace

void MidSideMeter::Add(const float* left, const float* right, size_t frames) {
  Sums block = MeasureBlock(left, right, frames);
  // NaN or infinity in either channel makes mid or side, and so the sums, non-finite: only
  // then is the block measured again sample by sample, those samples counted as silence.
  if (!std::isfinite(block.midSquares + block.sideSquares)) {
    block = {};
    for (size_t i = 0; i < frames; ++i) {
      const bool finiteL = std::isfinite(left[i]), finiteR = std::isfinite(right[i]);
      mNonFinite += !finiteL + !finiteR;
      const float l = finiteL ? left[i] : 0, r = finiteR ? right[i] : 0;
      block.Merge(MeasureBlock(&l, &r, 1));
    }
  }
  mSums.Merge(block);
  mFrames += frames;
}

StereoLevel MidSideMeter::Mid() const {
  return {mSums.midPeak, std::sqrt(mSums.midSquares / std::max<double>(1, double(mFrames)))};
}

StereoLevel MidSideMeter::Side() const {
  return {mSums.sidePeak, std::sqrt(mSums.sideSquares / std::max<double>(1, double(mFrames)))};
}

void StereoImageMeter::Add(const float* left, const float* right, size_t frames) {
  mMidSide.Add(left, right, frames);
  while (frames > 0) {
    const size_t take = std::min(frames, mWindowFrames - size_t(mWindow.frames));
    double ll = 0, rr = 0, lr = 0;
    double peakL = mPeaks[0], peakR = mPeaks[1];
    for (size_t i = 0; i < take; ++i) {
      double l = left[i], r = right[i];
      l = std::isfinite(l) ? l : 0;
      r = std::isfinite(r) ? r : 0;
      ll += l * l;
      rr += r * r;
      lr += l * r;
      peakL = std::max(peakL, std::fabs(l));
      peakR = std::max(peakR, std::fabs(r));
      // Digital silence would pile up in the centre and dim everything else.
      if (l != 0 || r != 0) mDensity.Add((l + r) * 0.5, (l - r) * 0.5);
    }
    mPeaks = {peakL, peakR};
    mWindow.ll += ll;
    mWindow.rr += rr;
    mWindow.lr += lr;
    mWindow.frames += take;
    if (mWindow.frames == mWindowFrames) CloseWindow();
    left += take;
    right += take;
    frames -= take;
  }
}

void StereoImageMeter::CloseWindow() {
  mTotal.Merge(mWindow);
  if (!mWindow.Silent()) {
    ++mSoundingWindows;
    const double correlation = mWindow.Correlation();
    mLowest = std::min(mLowest, correlation);
    mNegativeWindows += correlation < 0;
  }
  mPending.Merge(mWindow);
  mWindow = StereoSums();
  if (++mPendingWindows < mWindowsPerPoint) return;
  mSeries.push_back(mPending);
  mPending = StereoSums();
  mPendingWindows = 0;
  if (mSeries.size() < kMaxPoints) return;
  for (size_t i = 0; i < mSeries.size() / 2; ++i) {
    mSeries[i] = mSeries[2 * i];
    mSeries[i].Merge(mSeries[2 * i + 1]);
  }
  mSeries.resize(mSeries.size() / 2);
  mWindowsPerPoint *= 2;
}

void StereoImageMeter::Finish() {
  if (mFinished) return;
  mFinished = true;
  // A short tail window says little about the image; it still counts when it is all there is.
  if (mWindow.frames > 0 && (mWindow.frames * 3 >= mWindowFrames || mTotal.frames == 0))
    CloseWindow();
  else
    mTotal.Merge(mWindow);
  if (mPending.frames > 0) mSeries.push_back(mPending);
}

StereoImageFigures StereoImageMeter::Figures() const {
  StereoImageFigures f;
  StereoSums total = mTotal;
  if (!mFinished) total.Merge(mWindow);
  f.frames = total.frames;
  f.seconds = double(total.frames) / mRate;
  f.nonFinite = mMidSide.NonFinite();
  const double n = std::max<double>(1, double(total.frames));
  f.left = {mPeaks[0], std::sqrt(total.ll / n)};
  f.right = {mPeaks[1], std::sqrt(total.rr / n)};
  f.mid = mMidSide.Mid();
  f.side = mMidSide.Side();
  const double midSquares = mMidSide.MidSquares(), sideSquares = mMidSide.SideSquares();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  if (total.Silent()) {
    f.kind = StereoImageKind::kSilent;
    f.sideToMidDb = f.correlation = f.lowestCorrelation = f.monoSumChangeDb = f.balanceDb = nan;
    return f;
  }
  // Mid and side measured directly, not from the channel sums, so that exact mono stays exact.
  f.kind = sideSquares <= kNegligibleEnergyRatio * midSquares   ? StereoImageKind::kMono
           : midSquares <= kNegligibleEnergyRatio * sideSquares ? StereoImageKind::kSideOnly
                                                                : StereoImageKind::kStereo;
  f.sideToMidDb = f.kind == StereoImageKind::kMono       ? -kInfinity
                  : f.kind == StereoImageKind::kSideOnly ? kInfinity
                                                         : Db(sideSquares / midSquares);
  f.correlation = total.Correlation();
  f.lowestCorrelation = mSoundingWindows ? mLowest : nan;
  f.negativeShare = mSoundingWindows ? double(mNegativeWindows) / double(mSoundingWindows) : 0;
  f.monoSumChangeDb = f.kind == StereoImageKind::kSideOnly
                          ? -kInfinity
                          : Db(midSquares / ((total.ll + total.rr) / 2));
  f.balanceDb = total.rr <= 0 ? kInfinity : total.ll <= 0 ? -kInfinity : Db(total.ll / total.rr);
  return f;
}
