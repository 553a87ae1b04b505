#pragma once
// Resampling blits, lines and curves, circles, outlines, polygons and coverage maps.

#include "raster/RAS_Bezier.h"
#include "raster/RAS_BlitFilters.h"
#include "raster/RAS_Circle.h"
#include "raster/RAS_DeltaBlit.h"
#include "raster/RAS_Glyph.h"
#include "raster/RAS_Line.h"
#include "raster/RAS_Polygon.h"
#include "raster/RAS_RectOutline.h"
#include "raster/RAS_ScaledBlit.h"
