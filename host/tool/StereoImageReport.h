#pragma once
// The stereo-image figures put into words: a table for people and one JSON object for
// programs. Figures that do not exist for a signal are said as such ("mono", "silent",
// "cancels"), never printed as -inf or nan.

#include <string>
#include <vector>

#include "StereoImage.h"

// What was measured: the file, and the unit's settings when its output was measured too.
struct StereoImageSubject {
  std::string file;
  double sampleRate = 0;
  std::string settings;  // e.g. "Stereo Enhance: Gain 0 dB, Mono 0 dB, Stereo 3 dB"; empty: none
  std::string warning;   // what went wrong on the way out, e.g. clipping; empty: nothing
};

// Samples that are no audio, in words: "3 samples NaN or infinite", "2 samples beyond the 32-bit
// float range" or both, of `nonFinite` counted in all, `beyondFloat` of them finite values too
// large for a float (read from a 64-bit file). Empty when there are none.
std::string NonFiniteText(uint64_t nonFinite, uint64_t beyondFloat);

// The width as a reader wants it: "mono", "side only", "silent" or "-9.3 dB".
std::string StereoWidthText(const StereoImageFigures& f);
// Peak and RMS in dBFS, "-5.6 / -16.5", or "silent".
std::string StereoLevelText(const StereoLevel& level);

// A figure's name and how it reads for a signal.
struct StereoFigureLine {
  const char* name;
  std::string (*text)(const StereoImageFigures&);
};
// Width, correlation (whole and lowest window), time negative, mono sum change and balance,
// in the order reports show them.
const std::vector<StereoFigureLine>& StereoHeadlineFigures();

// A table with one column for the input and, when `output` is set, one for the output.
std::string StereoImageTable(const StereoImageSubject& subject, const StereoImageFigures& input,
                             const StereoImageFigures* output);

// One JSON object; the keys are listed in the analyze command's help.
std::string StereoImageJson(const StereoImageSubject& subject, const StereoImageFigures& input,
                            const StereoImageFigures* output);
