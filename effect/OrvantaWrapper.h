#pragma once
// The host wrapper the effect derives from: the Audio Unit wrapper, or the LV2 or VST3 wrapper
// when the effect is compiled into that build.

#if defined(ORVANTA_VST3)
#include "vst3/IPluginVST3.h"

using OrvantaWrapper = IPluginVST3;
#elif defined(ORVANTA_LV2)
#include "lv2/IPluginLV2.h"

using OrvantaWrapper = IPluginLV2;
#else
#include "au/AU.h"

using OrvantaWrapper = IPluginAU;
#endif
