#pragma once
// The controls sheet: one of each stock control, in two columns showing two values, drawn
// through the engine and used as a golden picture.

#include <string>

#include "raster/Raster.h"

namespace sheets {

constexpr int kControlsSheetW = 320;
constexpr int kControlsSheetH = 170;

// Writes the sheet's images into scratchFolder, builds the editor, draws it once and copies
// the surface into out with alpha set to 255. False on failure.
bool RenderControlsSheet(const std::string& scratchFolder, RAS_MemBitmap* out);

}  // namespace sheets
