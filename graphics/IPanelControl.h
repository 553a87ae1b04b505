#pragma once
// A rectangle filled with one colour; the engine uses it as a plain background.

#include "graphics/IColor.h"
#include "graphics/IControl.h"

class IPanelControl : public IControl {
 public:
  IPanelControl(IPluginBase* pPlug, IRECT pR, const IColor* pColor,
                IChannelBlend blend = IChannelBlend(IChannelBlend::BlendNone))
      : IControl(pPlug, pR, -1, blend), mColor(pColor ? *pColor : COLOR_BLACK) {}

  bool Draw(IGraphics* pGraphics) override;

 protected:
  IColor mColor;
};
