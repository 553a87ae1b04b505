#pragma once
// The text sheet: the cached font's text in several sizes, styles, alignments, renderers and
// both drawing paths on one picture, used as a golden image.

#include "raster/Raster.h"

constexpr int kTextSheetWidth = 480;
constexpr int kTextSheetHeight = 410;

// Draws the whole sheet into a bitmap of at least the sheet's size.
void DrawTextSheet(RAS_IBitmap* sheet);
