#pragma once
// Rendering a stereo file through the unit as a host does (formats, maximum frames per slice,
// Initialize, a render callback feeding the input, Render in blocks), streamed: a chunk of
// blocks is read, rendered, measured and written before the next is read, so memory does not
// grow with the file's length.

#include <cstdint>
#include <functional>
#include <string>

#include "AudioFile.h"
#include "StereoImage.h"
#include "host/Host.h"

struct RenderOptions {
  UInt32 block = 512;
  bool bypass = false;
  bool progress = false;  // a bar on stderr, redrawn as the blocks go by
  bool upmix = false;     // a mono file feeds both inputs
};

struct RenderSummary {
  uint64_t frames = 0;
  MidSideMeter before, after;  // of the two channels fed to the unit, and of its output
};

// Sees every chunk after it was rendered: the two input channels and the unit's two outputs,
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

// The samples the writer clipped at full scale, per channel, with the remedies; empty for none.
std::string ClippingText(const AudioWriter& out);
