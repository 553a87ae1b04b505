#include "ToolRender.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

void StereoMeter::Add(const float* left, const float* right, size_t frames) {
  for (size_t i = 0; i < frames; ++i) {
    const bool finiteLeft = std::isfinite(left[i]), finiteRight = std::isfinite(right[i]);
    if (!finiteLeft || !finiteRight) {
      mPeaks.nonFinite += !finiteLeft + !finiteRight;
      continue;
    }
    const double mid = (double(left[i]) + right[i]) / 2, side = (double(left[i]) - right[i]) / 2;
    mPeaks.midPeak = std::max(mPeaks.midPeak, std::fabs(mid));
    mPeaks.sidePeak = std::max(mPeaks.sidePeak, std::fabs(side));
    mMidSum += mid * mid;
    mSideSum += side * side;
    ++mFrames;
  }
}

StereoLevels StereoMeter::Levels() const {
  StereoLevels levels = mPeaks;
  if (mFrames) {
    levels.midRms = std::sqrt(mMidSum / double(mFrames));
    levels.sideRms = std::sqrt(mSideSum / double(mFrames));
  }
  return levels;
}

namespace {

// Feeds the unit's input bus from the block just read.
struct InputFeed {
  const float* channels[2] = {};

  static OSStatus Pull(void* ref, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32,
                       UInt32 frames, AudioBufferList* io) {
    auto* feed = static_cast<InputFeed*>(ref);
    for (UInt32 c = 0; c < io->mNumberBuffers && c < 2; ++c) {
      auto* out = static_cast<float*>(io->mBuffers[c].mData);
      if (!out) return kAudioUnitErr_InvalidParameter;
      std::copy(feed->channels[c], feed->channels[c] + frames, out);
    }
    return noErr;
  }
};

// A bar with the percentage done, or, for a file of open length, the seconds done so far.
class Progress {
 public:
  Progress(bool shown, int64_t total, double rate) : mShown(shown), mTotal(total), mRate(rate) {}
  ~Progress() {
    if (mShown && mDrawn != -1) fprintf(stderr, "\n");
  }
  void Show(uint64_t done) {
    if (!mShown) return;
    constexpr int kWidth = 40;
    // Redrawn only when the figure moves, so tiny blocks do not flood the terminal.
    if (mTotal > 0) {
      const double fraction = std::min(1.0, double(done) / double(mTotal));
      const int percent = static_cast<int>(fraction * 100), filled = int(fraction * kWidth);
      if (percent == mDrawn) return;
      fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "########################################",
              kWidth - filled, "", percent);
      mDrawn = percent;
    } else {
      const int seconds = static_cast<int>(double(done) / mRate);
      if (seconds == mDrawn) return;
      fprintf(stderr, "\r%d s of audio done (length unknown)", seconds);
      mDrawn = seconds;
    }
  }

 private:
  bool mShown;
  int64_t mTotal;
  double mRate;
  int mDrawn = -1;
};

}  // namespace

bool RenderStream(HostUnit& unit, AudioReader& reader, AudioWriter* writer,
                  const RenderOptions& options, RenderSummary* summary, std::string* error,
                  const RenderObserver& observer) {
  const int channels = reader.Channels();
  if (channels == 1 && !options.upmix) {
    *error = reader.Path() +
             ": mono input; the unit is two-in two-out (use --upmix to feed the channel to both "
             "inputs)";
    return false;
  }
  if (channels != 1 && channels != 2) {
    *error =
        reader.Path() + ": " + std::to_string(channels) + " channels; the unit takes stereo input";
    return false;
  }
  if (options.block == 0) {
    *error = "the block size must be at least one frame";
    return false;
  }
  const double rate = reader.SampleRate();
  InputFeed feed;
  const UInt32 bypass = options.bypass ? 1 : 0;
  OSStatus status = unit.SetSampleRate(rate);
  if (status == noErr) status = unit.SetMaximumFramesPerSlice(options.block);
  if (status == noErr) status = unit.SetStreamFormat(kAudioUnitScope_Input, 0, 2, rate);
  if (status == noErr) status = unit.SetStreamFormat(kAudioUnitScope_Output, 0, 2, rate);
  if (status == noErr) status = unit.SetRenderCallback(0, InputFeed::Pull, &feed);
  if (status == noErr && options.bypass)
    status = unit.SetProperty(kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global, 0, bypass);
  if (status == noErr) status = unit.Initialize();
  if (status != noErr) {
    *error = "the unit refused the set-up for " + std::to_string(int(rate)) + " Hz in blocks of " +
             std::to_string(options.block) + " (status " + std::to_string(status) + ")";
    return false;
  }
  std::vector<float> left(options.block), right(options.block);
  float* const input[2] = {left.data(), right.data()};
  feed.channels[0] = left.data();
  feed.channels[1] = right.data();
  HostBuffers buffers(2, options.block);
  StereoMeter before, after;
  Progress progress(options.progress, reader.PromisedFrames(), rate);
  uint64_t position = 0;
  bool ok = true;
  while (ok) {
    const size_t frames = reader.Read(input, options.block);
    if (frames == 0) break;
    if (channels == 1) std::copy(left.begin(), left.begin() + long(frames), right.begin());
    buffers.Reset();
    status =
        unit.Render(0, static_cast<Float64>(position), static_cast<UInt32>(frames), buffers.List());
    if (status != noErr) {
      *error = "rendering failed at frame " + std::to_string(position) + " (status " +
               std::to_string(status) + ")";
      ok = false;
      break;
    }
    // The unit may point the buffers at its own memory.
    const float* const output[2] = {buffers.Channel(0), buffers.Channel(1)};
    before.Add(left.data(), right.data(), frames);
    after.Add(output[0], output[1], frames);
    if (observer) observer(input, output, frames);
    ok = !writer || writer->Write(output, frames, error);
    position += frames;
    progress.Show(position);
  }
  unit.Uninitialize();
  if (ok) ok = reader.Finish(error);
  summary->frames = position;
  summary->before = before.Levels();
  summary->after = after.Levels();
  return ok;
}
