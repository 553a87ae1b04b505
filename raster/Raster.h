#pragma once
// The raster library: software drawing into 32-bit bitmaps.

#include "raster/RAS_Bitmap.h"
#include "raster/RAS_BitmapCmp.h"
#include "raster/RAS_Blit.h"
#include "raster/RAS_Clip.h"
#include "raster/RAS_Combiners.h"
#include "raster/RAS_Fill.h"
#include "raster/RAS_PNG.h"
#include "raster/RAS_Pixel.h"
#include "raster/RAS_Rect.h"
#include "raster/RAS_SysBitmap.h"

#if __has_include("raster/RasterShapes.h")
#include "raster/RasterShapes.h"
#endif
#if __has_include("raster/RasterText.h")
#include "raster/RasterText.h"
#endif
