#pragma once
// What a stereo signal's image looks like, measured block by block as the audio streams past:
// levels of left, right, mid and side, how wide it is, how well the channels agree (their
// correlation, over the whole signal and per 300 ms window) and what summing to mono costs.
// Memory stays the same however long the signal is.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// Sums of one stretch of the signal, from which its correlation and width follow.
struct StereoSums {
  double ll = 0, rr = 0, lr = 0;  // sums of L*L, R*R and L*R
  uint64_t frames = 0;

  void Merge(const StereoSums& other);
  // Quiet enough to have no meaningful image (mean energy below -100 dBFS).
  bool Silent() const;
  // Pearson correlation of L and R about zero, -1 .. 1; 0 when a channel is silent.
  double Correlation() const;
  // Side level relative to mid level in dB; -inf for mono, +inf for side only.
  double SideToMidDb() const;
};

enum class StereoImageKind { kSilent, kMono, kStereo, kSideOnly };
const char* StereoImageKindName(StereoImageKind kind);  // "silent", "mono", "stereo", "side only"

struct StereoLevel {
  double peak = 0, rms = 0;  // linear, 1.0 = full scale
};

// Peak and RMS of mid and side, added up block by block: what a render reports, and part of
// the image figures. NaN or infinite samples are counted and measured as silence.
class MidSideMeter {
 public:
  // Sums of squares and peaks, of a block or of everything so far.
  struct Sums {
    double midSquares = 0, sideSquares = 0, midPeak = 0, sidePeak = 0;
    void Merge(const Sums& other);
  };

  void Add(const float* left, const float* right, size_t frames);

  StereoLevel Mid() const;
  StereoLevel Side() const;
  double MidSquares() const { return mSums.midSquares; }
  double SideSquares() const { return mSums.sideSquares; }
  uint64_t NonFinite() const { return mNonFinite; }

 private:
  Sums mSums;
  uint64_t mFrames = 0, mNonFinite = 0;
};

// The headline figures. Values that do not exist for a signal are NaN (correlation of
// silence) or infinite (side-to-mid ratio of mono); the report decides how to say so.
struct StereoImageFigures {
  uint64_t frames = 0;
  double seconds = 0;
  uint64_t nonFinite = 0;    // NaN or infinite samples, measured as silence
  uint64_t beyondFloat = 0;  // of them, finite values too large for a float (set by the reader)
  StereoLevel left, right, mid, side;  // mid = (L+R)/2, side = (L-R)/2
  StereoImageKind kind = StereoImageKind::kSilent;
  double sideToMidDb = 0;
  double correlation = 0;
  double lowestCorrelation = 0;  // over the sounding 300 ms windows
  double negativeShare = 0;      // share of sounding windows with negative correlation, 0 .. 1
  double monoSumChangeDb = 0;    // mid level against the channels' mean level; -inf: cancels
  double balanceDb = 0;          // left RMS against right RMS; positive leans left
};

// Counts of samples over the mid/side plane, the goniometer's picture: mid up, side across
// with the left channel toward the upper left. The span doubles (and cells merge 2x2) whenever
// a sample falls outside, so the picture is always between half and full scale of the peak.
class StereoDensity {
 public:
  static constexpr int kCells = 360;  // per axis, even

  // Half the width of the plane covered: |mid| and |side| up to this value land in a cell.
  double Span() const { return mSpan; }
  uint32_t Count(int column, int row) const { return mCells[size_t(row) * kCells + column]; }
  uint32_t MaxCount() const;
  // Widens the span to at least `span` (a power-of-two multiple of the present one).
  void GrowTo(double span);
  void Add(double mid, double side);

 private:
  void Double();

  double mSpan = 1.0 / 1024;
  std::vector<uint32_t> mCells = std::vector<uint32_t>(size_t(kCells) * kCells);
};

class StereoImageMeter {
 public:
  static constexpr double kWindowSeconds = 0.3;
  // Points of the time series kept at most; beyond it neighbours merge, each point then
  // covering twice as many windows.
  static constexpr size_t kMaxPoints = 1024;

  explicit StereoImageMeter(double sampleRate);

  void Add(const float* left, const float* right, size_t frames);
  // Call once the last block has gone in: counts a trailing partial window.
  void Finish();

  StereoImageFigures Figures() const;
  // Correlation and width over time, one entry per point; each covers WindowsPerPoint() windows.
  const std::vector<StereoSums>& Series() const { return mSeries; }
  size_t WindowsPerPoint() const { return mWindowsPerPoint; }
  double SampleRate() const { return mRate; }
  const StereoDensity& Density() const { return mDensity; }

 private:
  void CloseWindow();

  double mRate;
  size_t mWindowFrames;
  StereoSums mTotal, mWindow, mPending;
  MidSideMeter mMidSide;
  std::array<double, 2> mPeaks = {};  // left, right
  size_t mSoundingWindows = 0, mNegativeWindows = 0, mPendingWindows = 0;
  double mLowest = 1;
  std::vector<StereoSums> mSeries;
  size_t mWindowsPerPoint = 1;
  StereoDensity mDensity;
  bool mFinished = false;
};
