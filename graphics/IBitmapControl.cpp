#include "graphics/IBitmapControl.h"

#include "graphics/ControlImage.h"
#include "graphics/IGraphics.h"

using namespace control_image;

namespace {

IRECT FrameAt(const IBitmap& bitmap, int x, int y) {
  return IRECT(x, y, x + bitmap.FrameW(), y + bitmap.FrameH());
}

}  // namespace

IBitmapControl::IBitmapControl(IPluginBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                               IChannelBlend blend)
    : IControl(pPlug, FrameAt(OrEmpty(pBitmap), x, y), paramIdx, blend),
      mBitmap(OrEmpty(pBitmap)) {}

int IBitmapControl::FrameForValue() const {
  int n = mBitmap.N;
  if (n < 2) return 1;
  int i = (int)((double)(n - 1) * mValue + 0.5);
  return i < 0 ? 1 : (i >= n ? n : i + 1);
}

bool IBitmapControl::Draw(IGraphics* pGraphics) {
  if (!HasPixels(mBitmap)) return true;
  pGraphics->DrawBitmap(&mBitmap, &mRECT, FrameForValue(), &mBlend);
  return true;
}
