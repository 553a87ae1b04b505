#pragma once
// The stereo image as one picture: goniometers of the input and the output side by side, the
// headline figures beside them, and correlation and width over time beneath, drawn with the
// raster library and its cached-font text.

#include <string>

#include "StereoImage.h"
#include "StereoImageReport.h"
#include "raster/Raster.h"

struct StereoPlotLayout {
  static constexpr int kWidth = 1200, kHeight = 700;
  RECT scopes[2];  // input, output; each StereoDensity::kCells pixels square
  RECT figures, correlation, width;
};
const StereoPlotLayout& StereoPlotGeometry();

// Draws into `bitmap`, resized to the layout's size. Without `output` the second goniometer
// and the output's traces stay empty.
void DrawStereoImagePlot(RAS_IBitmap* bitmap, const StereoImageSubject& subject,
                         const StereoImageMeter& input, const StereoImageMeter* output);

// Draws and writes the picture as a PNG file; false with a message naming the file.
bool WriteStereoImagePlot(const std::string& path, const StereoImageSubject& subject,
                          const StereoImageMeter& input, const StereoImageMeter* output,
                          std::string* error);
