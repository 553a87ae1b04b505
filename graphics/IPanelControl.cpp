#include "graphics/IPanelControl.h"

#include "graphics/IGraphics.h"

bool IPanelControl::Draw(IGraphics* pGraphics) {
  pGraphics->FillIRect(&mColor, &mRECT, &mBlend);
  return true;
}
