#include "graphics/IBitmapControl.h"

#include "graphics/IGraphics.h"

IBitmapControl::IBitmapControl(IPluginBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                               IChannelBlend blend)
    : IControl(pPlug, IRECT(x, y, x + pBitmap->FrameW(), y + pBitmap->FrameH()), paramIdx, blend),
      mBitmap(*pBitmap) {}

int IBitmapControl::FrameForValue() const {
  int n = mBitmap.N;
  if (n < 2) return 1;
  int i = (int)((double)(n - 1) * mValue + 0.5);
  return i < 0 ? 1 : (i >= n ? n : i + 1);
}

bool IBitmapControl::Draw(IGraphics* pGraphics) {
  pGraphics->DrawBitmap(&mBitmap, &mRECT, FrameForValue(), &mBlend);
  return true;
}
