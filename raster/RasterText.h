#pragma once
// The raster library's text: cached fonts over the drawing-context layer's fonts.

#include "raster/RAS_Font.h"
