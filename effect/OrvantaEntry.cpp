// The entries the host looks up in the plug-in by their plain C names.

#include "au/AU.h"

// The Component Manager calls this through a ComponentRoutineUPP, so it has exactly that type.
extern "C" __attribute__((visibility("default"))) ComponentResult Orvanta_Entry(
    ComponentParameters* params, Handle storage) {
  return IPluginAU::IPluginAUEntry(params, storage);
}
