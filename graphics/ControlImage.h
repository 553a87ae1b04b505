#pragma once
// How a control holds the image it is built with. Editors may hand a control no image, or the
// empty handle of an image that failed to load; the control then keeps an empty handle (no
// pixels, no size, one frame), so its rectangle covers no area, its frame arithmetic stays in
// range and it draws nothing.

#include "graphics/IBitmap.h"

namespace control_image {

inline IBitmap OrEmpty(const IBitmap* pBitmap) { return pBitmap ? *pBitmap : IBitmap(); }

// Whether there is anything to draw.
inline bool HasPixels(const IBitmap& bitmap) {
  return bitmap.mRaster && bitmap.W > 0 && bitmap.H > 0;
}

}  // namespace control_image
