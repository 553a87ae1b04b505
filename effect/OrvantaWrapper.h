#pragma once
// The host wrapper the effect derives from: the Audio Unit wrapper, or the LV2 or CLAP wrapper
// when the effect is compiled into that build.

#if defined(ORVANTA_CLAP)
#include "clap/IPluginCLAP.h"

using OrvantaWrapper = IPluginCLAP;
#elif defined(ORVANTA_LV2)
#include "lv2/IPluginLV2.h"

using OrvantaWrapper = IPluginLV2;
#else
#include "au/AU.h"

using OrvantaWrapper = IPluginAU;
#endif
