#include "ToolRender.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

StereoLevels MeasureStereo(const AudioFile& audio) {
  StereoLevels levels;
  if (audio.channels.size() < 2 || audio.Frames() == 0) return levels;
  double midSum = 0, sideSum = 0;
  const auto& left = audio.channels[0];
  const auto& right = audio.channels[1];
  for (size_t i = 0; i < left.size(); ++i) {
    const double mid = (double(left[i]) + right[i]) / 2, side = (double(left[i]) - right[i]) / 2;
    levels.midPeak = std::max(levels.midPeak, std::fabs(mid));
    levels.sidePeak = std::max(levels.sidePeak, std::fabs(side));
    midSum += mid * mid;
    sideSum += side * side;
  }
  levels.midRms = std::sqrt(midSum / left.size());
  levels.sideRms = std::sqrt(sideSum / left.size());
  return levels;
}

namespace {

// Feeds the unit's input bus from the file, at the position the current slice starts.
struct InputFeed {
  const AudioFile* audio = nullptr;
  size_t position = 0;

  static OSStatus Pull(void* ref, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32,
                       UInt32 frames, AudioBufferList* io) {
    auto* feed = static_cast<InputFeed*>(ref);
    for (UInt32 c = 0; c < io->mNumberBuffers && c < 2; ++c) {
      const auto& source = feed->audio->channels[c];
      auto* out = static_cast<float*>(io->mBuffers[c].mData);
      if (!out) return kAudioUnitErr_InvalidParameter;
      for (UInt32 i = 0; i < frames; ++i) {
        const size_t at = feed->position + i;
        out[i] = at < source.size() ? source[at] : 0.0f;
      }
    }
    return noErr;
  }
};

void DrawProgress(size_t done, size_t total) {
  constexpr int kWidth = 40;
  const double fraction = total ? double(done) / total : 1.0;
  const int filled = static_cast<int>(fraction * kWidth);
  fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "########################################",
          kWidth - filled, "", static_cast<int>(fraction * 100));
}

}  // namespace

bool RenderThroughUnit(HostUnit& unit, const AudioFile& in, AudioFile* out,
                       const RenderOptions& options, std::string* error) {
  if (in.channels.size() != 2) {
    *error = "the unit takes two channels, not " + std::to_string(in.channels.size());
    return false;
  }
  if (options.block == 0) {
    *error = "the block size must be at least one frame";
    return false;
  }
  InputFeed feed;
  feed.audio = &in;
  const UInt32 bypass = options.bypass ? 1 : 0;
  OSStatus status = unit.SetSampleRate(in.sampleRate);
  if (status == noErr) status = unit.SetMaximumFramesPerSlice(options.block);
  if (status == noErr) status = unit.SetStreamFormat(kAudioUnitScope_Input, 0, 2, in.sampleRate);
  if (status == noErr) status = unit.SetStreamFormat(kAudioUnitScope_Output, 0, 2, in.sampleRate);
  if (status == noErr) status = unit.SetRenderCallback(0, InputFeed::Pull, &feed);
  if (status == noErr && options.bypass)
    status = unit.SetProperty(kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global, 0, bypass);
  if (status == noErr) status = unit.Initialize();
  if (status != noErr) {
    *error = "the unit refused the set-up for " + std::to_string(int(in.sampleRate)) +
             " Hz in blocks of " + std::to_string(options.block) + " (status " +
             std::to_string(status) + ")";
    return false;
  }
  const size_t total = in.Frames();
  out->sampleRate = in.sampleRate;
  out->format = in.format;
  out->channels.assign(2, std::vector<float>(total));
  HostBuffers buffers(2, options.block);
  size_t lastDrawn = SIZE_MAX;
  for (feed.position = 0; feed.position < total; feed.position += options.block) {
    const auto frames = static_cast<UInt32>(std::min<size_t>(options.block, total - feed.position));
    buffers.Reset();
    status = unit.Render(0, static_cast<Float64>(feed.position), frames, buffers.List());
    if (status != noErr) {
      unit.Uninitialize();
      if (options.progress) fprintf(stderr, "\n");
      *error = "rendering failed at frame " + std::to_string(feed.position) + " (status " +
               std::to_string(status) + ")";
      return false;
    }
    for (UInt32 c = 0; c < 2; ++c)
      std::copy(buffers.Channel(c), buffers.Channel(c) + frames,
                out->channels[c].begin() + static_cast<std::ptrdiff_t>(feed.position));
    // Redraw only when the percentage moves, so tiny blocks do not flood the terminal.
    const size_t percent = (feed.position + frames) * 100 / std::max<size_t>(total, 1);
    if (options.progress && percent != lastDrawn) {
      DrawProgress(feed.position + frames, total);
      lastDrawn = percent;
    }
  }
  if (options.progress) fprintf(stderr, "\n");
  unit.Uninitialize();
  return true;
}
