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
#elif defined(ORVANTA_CLAP)
#include "clap/IPluginCLAP.h"

using IPluginWrapper = IPluginCLAP;
#elif defined(ORVANTA_AU)
#include "au/AU.h"

using IPluginWrapper = IPluginAU;
// Hosts of Audio Units on the Mac expect the view to exist as soon as the unit does.
#define ORVANTA_EDITOR_WITH_INSTANCE 1
#else
#error "a plug-in is compiled through orvanta_add_plugin, which names its format"
#endif

#if !defined(ORVANTA_EDITOR_WITH_INSTANCE)
#define ORVANTA_EDITOR_WITH_INSTANCE 0
#endif
// Whether the wrapper wants the editor built in the constructor. Elsewhere it is built on the
// host's first request for a view (IPluginBase::OnMakeEditor), which keeps instances cheap.
inline constexpr bool kEditorWithInstance = ORVANTA_EDITOR_WITH_INSTANCE != 0;
