// The engine's off-screen surfaces, image loading and image drawing. Every primitive is one
// raster call into the off-screen surface, with the combine mode and weight taken from the blend.

#include "graphics/BitmapStorage.h"
#include "graphics/DrawingHelpers.h"
#include "graphics/IGraphics.h"
#include "raster/Raster.h"

using namespace drawing;

// ---- Surfaces ----

void IGraphics::PrepDraw() {
  delete mDrawBitmap;
  mDrawBitmap = new RAS_SysBitmap(0, 0);
  mDrawBitmap->resize(mWidth, mHeight);
  delete mTmpBitmap;
  mTmpBitmap = new RAS_MemBitmap(0, 0, 4);
}

void IGraphics::DeleteBitmaps() {
  delete mDrawBitmap;
  mDrawBitmap = nullptr;
  delete mTmpBitmap;
  mTmpBitmap = nullptr;
}

void* IGraphics::GetBits() { return mDrawBitmap ? mDrawBitmap->getBits() : nullptr; }

// ---- Images ----

RAS_MemBitmap* IGraphics::NewImage(int w, int h) {
  if (w <= 0 || h <= 0) return nullptr;
  RAS_MemBitmap* pImage = new RAS_MemBitmap(w, h, 4);
  // A size the heap refuses leaves the bitmap without pixels: no image rather than a handle
  // whose size its pixels do not have.
  if (pImage->getWidth() != w || pImage->getHeight() != h) {
    delete pImage;
    return nullptr;
  }
  return pImage;
}

IBitmap IGraphics::LoadIBitmap(int ID, const char* name, int nStates, bool framesAreHoriz) {
  BitmapStorage& storage = GetBitmapStorage();
  RAS_IBitmap* pRaster = storage.Find(ID);
  if (!pRaster) {
    // Loaded outside the lock: two editors may load one ID at once; both entries are kept.
    pRaster = OSLoadBitmap(ID, name);
    if (pRaster && !storage.Add(pRaster, ID)) pRaster = nullptr;
  }
  // A resource that cannot be loaded yields an empty handle, which draws nothing.
  if (!pRaster) return IBitmap(nullptr, 0, 0, nStates, framesAreHoriz);
  return IBitmap(pRaster, pRaster->getWidth(), pRaster->getHeight(), nStates, framesAreHoriz);
}

void IGraphics::RetainBitmap(IBitmap* pBitmap) {
  if (pBitmap && pBitmap->mRaster) GetBitmapStorage().Retain(pBitmap->mRaster);
}

void IGraphics::ReleaseBitmap(IBitmap* pBitmap) {
  if (pBitmap && pBitmap->mRaster) GetBitmapStorage().Remove(pBitmap->mRaster);
}

IBitmap IGraphics::CropBitmap(IBitmap* pBitmap, IRECT* pR) {
  if (!HasPixels(pBitmap) || !pR) return IBitmap();
  int w = pR->W(), h = pR->H();
  RAS_MemBitmap* pDest = NewImage(w, h);
  if (!pDest) return IBitmap();
  RAS_Blit(pDest, pBitmap->mRaster, 0, 0, pR->L, pR->T, w, h, 1.0f, BLIT_COPY);
  IBitmap cropped(pDest, w, h, pBitmap->N, false);
  RetainBitmap(&cropped);
  return cropped;
}

// ---- Bitmap drawing ----

bool IGraphics::DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int srcX, int srcY,
                           const IChannelBlend* pBlend) {
  if (!HasPixels(pBitmap) || !pDest) return true;
  IRECT r = pDest->Intersect(mDrawRECT);
  RAS_Blit(mDrawBitmap, pBitmap->mRaster, r.L, r.T, srcX + r.L - pDest->L, srcY + r.T - pDest->T,
           r.W(), r.H(), BlendWeight(pBlend), BlendMode(pBlend));
  return true;
}

bool IGraphics::DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int bmpState,
                           const IChannelBlend* pBlend) {
  if (!HasPixels(pBitmap) || !pDest) return true;
  int srcX = 0, srcY = 0;
  if (bmpState > 1 && pBitmap->N > 1) {
    if (pBitmap->mHorizontalFrames)
      srcX = (int)((double)(bmpState - 1) * (double)pBitmap->W / (double)pBitmap->N + 0.5);
    else
      srcY = (int)((double)(bmpState - 1) * (double)pBitmap->H / (double)pBitmap->N + 0.5);
  }
  return DrawBitmap(pBitmap, pDest, srcX, srcY, pBlend);
}
