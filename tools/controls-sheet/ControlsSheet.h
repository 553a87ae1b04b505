#pragma once
// The controls sheet: one of each stock control, in two columns showing two values, drawn
// through the engine and used as a golden picture.

#include <string>

#include "raster/Raster.h"

namespace sheets {

constexpr int kControlsSheetW = 320;
constexpr int kControlsSheetH = 200;

// Writes the sheet's images into scratchFolder, builds the editor, draws it once and copies
// the surface into out with alpha set to 255. False on failure.
bool RenderControlsSheet(const std::string& scratchFolder, RAS_MemBitmap* out);

// The generic editor of a plug-in with a parameter of each kind, some moved from their
// defaults and one switch on, drawn once; the folder is not used.
bool RenderGenericEditorSheet(const std::string& scratchFolder, RAS_MemBitmap* out);

}  // namespace sheets
