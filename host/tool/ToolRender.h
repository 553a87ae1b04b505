#pragma once
// Rendering a stereo file through the unit as a host does (formats, maximum frames per slice,
// Initialize, a render callback feeding the input, Render in blocks), streamed: each block is
// read, rendered, measured and written before the next is read, so memory does not grow with
// the file's length.

#include <cstdint>
#include <functional>
#include <string>

#include "AudioFile.h"
#include "host/Host.h"

struct RenderOptions {
  UInt32 block = 512;
  bool bypass = false;
  bool progress = false;  // a bar on stderr, redrawn as the blocks go by
  bool upmix = false;     // a mono file feeds both inputs
};

// Peak and RMS of the mid (L+R)/2 and side (L-R)/2 signals. Samples that are NaN or infinite
// are counted, and their frames left out of the figures.
struct StereoLevels {
  double midPeak = 0, midRms = 0, sidePeak = 0, sideRms = 0;
  uint64_t nonFinite = 0;
};

// Adds up the levels block by block.
class StereoMeter {
 public:
  void Add(const float* left, const float* right, size_t frames);
  StereoLevels Levels() const;

 private:
  StereoLevels mPeaks;
  double mMidSum = 0, mSideSum = 0;
  uint64_t mFrames = 0;
};

struct RenderSummary {
  uint64_t frames = 0;
  StereoLevels before, after;  // of the two channels fed to the unit, and of its output
};

// Sees every block after it was rendered: the two input channels and the unit's two outputs,
// `frames` samples each. For figures beyond the summary's.
using RenderObserver =
    std::function<void(const float* const* in, const float* const* out, size_t frames)>;

// Reads the opened reader to its end through the unit into the opened writer (none: the audio
// is only measured), filling the summary. False with a message for input that is not stereo
// (mono without upmix), a set-up the unit refuses, a failed render, read or write, or a file
// holding less than its header promised. The writer is not committed; the unit is left
// uninitialized.
bool RenderStream(HostUnit& unit, AudioReader& reader, AudioWriter* writer,
                  const RenderOptions& options, RenderSummary* summary, std::string* error,
                  const RenderObserver& observer = {});
