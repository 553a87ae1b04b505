#pragma once
// Rendering a whole stereo signal through the unit as a host does: formats, maximum frames
// per slice, Initialize, a render callback feeding the input, Render in blocks.

#include <string>

#include "AudioFile.h"
#include "host/Host.h"

struct RenderOptions {
  UInt32 block = 512;
  bool bypass = false;
  bool progress = false;  // a bar on stderr, redrawn as the blocks go by
};

// Peak and RMS of the mid (L+R)/2 and side (L-R)/2 signals of a stereo file.
struct StereoLevels {
  double midPeak = 0, midRms = 0, sidePeak = 0, sideRms = 0;
};
StereoLevels MeasureStereo(const AudioFile& audio);

// Renders the two channels of `in` into `out` (same rate, format and length). False with a
// message when the unit refuses the set-up or a render fails. The unit is left uninitialized.
bool RenderThroughUnit(HostUnit& unit, const AudioFile& in, AudioFile* out,
                       const RenderOptions& options, std::string* error);
