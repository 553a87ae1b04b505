#pragma once
// How a blend and a colour become the mode word, weight and pixel word of a raster call, and
// whether an image argument has anything to draw.

#include "graphics/ControlImage.h"
#include "graphics/IBitmap.h"
#include "graphics/IChannelBlend.h"
#include "graphics/IColor.h"
#include "raster/RAS_Pixel.h"

namespace drawing {

inline int BlendMode(const IChannelBlend* pBlend) {
  if (!pBlend) return BLIT_COPY | BLIT_FLAG_SOURCE_ALPHA;
  switch (pBlend->mMethod) {
    case IChannelBlend::BlendClobber:
      return BLIT_COPY;
    case IChannelBlend::BlendAdd:
      return BLIT_ADD | BLIT_FLAG_SOURCE_ALPHA;
    case IChannelBlend::BlendColorDodge:
      return BLIT_DODGE | BLIT_FLAG_SOURCE_ALPHA;
    default:
      return BLIT_COPY | BLIT_FLAG_SOURCE_ALPHA;
  }
}

inline float BlendWeight(const IChannelBlend* pBlend) { return pBlend ? pBlend->mWeight : 1.0f; }

inline RAS_pixel Pack(const IColor* pColor) { return (RAS_pixel)pColor->Pack(); }

// Editors may pass no image, or the empty handle of an image that failed to load: the drawing
// calls then draw nothing, as the stock controls do.
inline bool HasPixels(const IBitmap* pBitmap) {
  return pBitmap && control_image::HasPixels(*pBitmap);
}

}  // namespace drawing
