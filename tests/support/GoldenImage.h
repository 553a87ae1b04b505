#pragma once
// Pixel-exact comparison of a picture with a committed golden PNG. On a mismatch the test fails
// naming how many pixels differ and where the first one is, and leaves two pictures in the
// temporary folder: <name>-actual.png (what was drawn) and <name>-difference.png (differing
// pixels red over a faded copy of the golden one). `make golden` redraws the golden pictures.

#include "raster/Raster.h"

// Which channels count: golden PNGs written without alpha read back opaque, so pictures with
// meaningful alpha compare their colour only.
enum class GoldenChannels { kAll, kColour };

// name: the golden picture's path below the source folder, e.g.
// "tests/graphics/golden/engine_sheet.png".
void ExpectMatchesGolden(RAS_IBitmap* actual, const char* name,
                         GoldenChannels channels = GoldenChannels::kAll);
