#include "ToolRender.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr size_t kChunkFrames = 16384;

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

// Renders `frames` frames of the input arrays into the output arrays, block by block from the
// file's frame `position`. False with a message when the unit refuses a block.
bool RenderChunk(HostUnit& unit, InputFeed& feed, HostBuffers& buffers, UInt32 blockSize,
                 const float* const in[2], float* const out[2], size_t frames, uint64_t position,
                 std::string* error) {
  for (size_t done = 0; done < frames;) {
    const UInt32 block = UInt32(std::min<size_t>(blockSize, frames - done));
    feed.channels[0] = in[0] + done;
    feed.channels[1] = in[1] + done;
    buffers.Reset();
    const OSStatus status = unit.Render(0, Float64(position + done), block, buffers.List());
    if (status != noErr) {
      *error = "rendering failed at frame " + std::to_string(position + done) + " (status " +
               std::to_string(status) + ")";
      return false;
    }
    // The unit may point the buffers at its own memory.
    std::copy_n(buffers.Channel(0), block, out[0] + done);
    std::copy_n(buffers.Channel(1), block, out[1] + done);
    done += block;
  }
  return true;
}

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
  *summary = RenderSummary();
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
  // Files are read and written in chunks of many blocks: a system call per block would cost
  // more than the rendering.
  const size_t chunk = options.block * std::max<size_t>(1, kChunkFrames / options.block);
  std::vector<float> left(chunk), right(chunk), outLeft(chunk), outRight(chunk);
  float* const input[2] = {left.data(), right.data()};
  float* const output[2] = {outLeft.data(), outRight.data()};
  HostBuffers buffers(2, options.block);
  Progress progress(options.progress, reader.PromisedFrames(), rate);
  uint64_t position = 0;
  bool ok = true;
  while (ok) {
    const size_t frames = reader.Read(input, chunk);
    if (frames == 0) break;
    if (channels == 1) std::copy(left.begin(), left.begin() + long(frames), right.begin());
    ok = RenderChunk(unit, feed, buffers, options.block, input, output, frames, position, error);
    if (!ok) break;
    summary->before.Add(left.data(), right.data(), frames);
    summary->after.Add(outLeft.data(), outRight.data(), frames);
    if (observer) observer(input, output, frames);
    ok = !writer || writer->Write(output, frames, error);
    position += frames;
    progress.Show(position);
  }
  unit.Uninitialize();
  if (ok) ok = reader.Finish(error);
  summary->frames = position;
  return ok;
}

std::string ClippingText(const AudioWriter& out) {
  const auto& clipped = out.Clipped();
  uint64_t total = 0;
  std::string channels;
  for (size_t c = 0; c < clipped.size(); ++c) {
    total += clipped[c];
    channels += (c ? ", " : "") +
                std::string(c == 0   ? "left "
                            : c == 1 ? "right "
                                     : "other ") +
                std::to_string(clipped[c]);
  }
  if (!total) return "";
  char remedy[160];
  snprintf(remedy, sizeof(remedy),
           "lower Gain by %.1f dB or more, or write 32-bit float samples with --float",
           std::ceil(200 * std::log10(out.Peak())) / 10);
  return std::to_string(total) + " samples clipped at full scale (" + channels + "): " + remedy;
}
