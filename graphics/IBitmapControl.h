#pragma once
// An image, or the frame of a multi-frame image that matches the control's value; base of the
// switch family.

#include "graphics/IBitmap.h"
#include "graphics/IControl.h"

class IBitmapControl : public IControl {
 public:
  // One frame of the image, with its top left at (x, y).
  IBitmapControl(IPluginBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                 IChannelBlend blend = IChannelBlend(IChannelBlend::BlendNone));
  // Unbound, drawing the image's first frame over the given rectangle.
  IBitmapControl(IPluginBase* pPlug, int x, int y, IBitmap* pBitmap,
                 IChannelBlend blend = IChannelBlend(IChannelBlend::BlendNone))
      : IBitmapControl(pPlug, x, y, -1, pBitmap, blend) {}

  bool Draw(IGraphics* pGraphics) override;

 protected:
  // Frame number (from 1) showing the current value.
  int FrameForValue() const;

  IBitmap mBitmap;
};
