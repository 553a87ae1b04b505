#include "graphics/IControl.h"

IControl::IControl(IPluginBase* pPlug, IRECT pR, int paramIdx, IChannelBlend blendMethod)
    : mPlug(pPlug),
      mRECT(pR),
      mTargetRECT(pR),
      mParamIdx(paramIdx),
      mAuxParams(16 * (int)sizeof(AuxParam)),
      mBlend(blendMethod) {}

IControl::~IControl() {}
