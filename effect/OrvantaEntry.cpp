// The entries the host looks up in the plug-in by their plain C names.

#include "au/AU.h"

extern "C" __attribute__((visibility("default"))) ComponentResult Orvanta_Entry(
    ComponentParameters* params, void* pPlug) {
  return IPluginAU::IPluginAUEntry(params, pPlug);
}
