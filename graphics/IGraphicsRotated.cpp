// Scaled and rotated images: the filtered raster blits.

#include "graphics/BitmapStorage.h"
#include "graphics/DrawingHelpers.h"
#include "graphics/IGraphics.h"
#include "raster/Raster.h"

using namespace drawing;

IBitmap IGraphics::ScaleBitmap(IBitmap* pBitmap, int destW, int destH) {
  if (!HasPixels(pBitmap)) return IBitmap();
  RAS_MemBitmap* pDest = NewImage(destW, destH);
  if (!pDest) return IBitmap();
  RAS_ScaledBlit(pDest, pBitmap->mRaster, 0, 0, destW, destH, 0.0f, 0.0f, (float)pBitmap->W,
                 (float)pBitmap->H, 1.0f, BLIT_FLAG_FILTER);
  IBitmap scaled(pDest, destW, destH, pBitmap->N, false);
  RetainBitmap(&scaled);
  return scaled;
}

bool IGraphics::DrawRotatedBitmap(IBitmap* pBitmap, int destCtrX, int destCtrY, double angle,
                                  int yOffsetZeroDeg, const IChannelBlend* pBlend) {
  if (!HasPixels(pBitmap)) return true;
  int w = pBitmap->W, h = pBitmap->H;
  RAS_RotatedBlit(mDrawBitmap, pBitmap->mRaster, destCtrX - w / 2, destCtrY - h / 2, w, h, 0.0f,
                  0.0f, (float)w, (float)h, (float)angle, false, BlendWeight(pBlend),
                  BlendMode(pBlend) | BLIT_FLAG_FILTER, 0.0f, (float)yOffsetZeroDeg);
  return true;
}

bool IGraphics::DrawRotatedMask(IBitmap* pBase, IBitmap* pMask, IBitmap* pTop, int x, int y,
                                double angle, const IChannelBlend* pBlend) {
  // The knob needs all three layers; without one there is no knob to show.
  if (!HasPixels(pBase) || !HasPixels(pMask) || !HasPixels(pTop)) return true;
  int w = pBase->W, h = pBase->H;
  // Odd widths rotate about the middle of the centre pixel.
  float xOffset = (w % 2) ? -0.5f : 0.0f;
  if (!mTmpBitmap) mTmpBitmap = new RAS_MemBitmap(0, 0, 4);
  RAS_Copy(mTmpBitmap, pBase->mRaster);
  RAS_ClearRect(mTmpBitmap, 0, 0, w, h, 0xFFFFFF00u, 0u);
  float radians = (float)(angle * 3.141592653589793 / 180.0);
  RAS_RotatedBlit(mTmpBitmap, pMask->mRaster, 0, 0, w, h, 0.0f, 0.0f, (float)w, (float)h, radians,
                  true, 1.0f, BLIT_ADD | BLIT_FLAG_FILTER | BLIT_FLAG_SOURCE_ALPHA, xOffset, 0.0f);
  RAS_RotatedBlit(mTmpBitmap, pTop->mRaster, 0, 0, w, h, 0.0f, 0.0f, (float)w, (float)h, radians,
                  true, 1.0f, BLIT_COPY | BLIT_FLAG_FILTER | BLIT_FLAG_SOURCE_ALPHA, xOffset, 0.0f);
  IRECT r = IRECT(x, y, x + w, y + h).Intersect(mDrawRECT);
  RAS_Blit(mDrawBitmap, mTmpBitmap, r.L, r.T, r.L - x, r.T - y, r.W(), r.H(), BlendWeight(pBlend),
           BlendMode(pBlend));
  return true;
}
