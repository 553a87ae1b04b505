#pragma once
// The host wrapper a plug-in derives from, chosen by the format its sources are compiled for:
// orvanta_add_plugin compiles them once per format with ORVANTA_AU, ORVANTA_LV2, ... defined,
// so that `class MyPlug : public IPluginWrapper` builds unchanged for every format.

#if defined(ORVANTA_VST3)
#include "vst3/IPluginVST3.h"

using IPluginWrapper = IPluginVST3;
#elif defined(ORVANTA_LV2)
#include "lv2/IPluginLV2.h"

using IPluginWrapper = IPluginLV2;
#elif defined(ORVANTA_AU)
#include "au/AU.h"

using IPluginWrapper = IPluginAU;
#else
#error "a plug-in is compiled through orvanta_add_plugin, which names its format"
#endif
