#pragma once
// The engine sheet: a small editor (panel, images, cached-font and bitmap-font text, shapes)
// drawn through the engine, used as a golden picture.

#include <string>

#include "raster/Raster.h"

namespace sheets {

constexpr int kGraphicsSheetW = 240;
constexpr int kGraphicsSheetH = 160;

// Writes the sheet's images into scratchFolder, builds the editor, draws it once and copies
// the surface into out with alpha set to 255 (the platform ignores it). False on failure.
bool RenderGraphicsSheet(const std::string& scratchFolder, RAS_MemBitmap* out);

// Shared helpers for sheet artwork.
// A 95-frame bitmap font, 6 by 12 cells, with simple block glyphs derived from each code.
void DrawBlockFont(RAS_MemBitmap* font);
// Copies src into out with every alpha byte set to 255.
void CopyOpaque(RAS_IBitmap* src, RAS_MemBitmap* out);

}  // namespace sheets
