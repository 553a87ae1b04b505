// The entries the host looks up in the plug-in by their plain C names, and the name of the
// editor's view factory class. The wrapper does the work; the effect only names them.

#include "au/AU.h"
#include "au/IPluginAUView.h"
#include "effect/OrvantaGraphics.h"
#include "effect/OrvantaIdentity.h"

namespace {

IPluginAUViewFactory gViewFactory(orvanta_identity::kViewClass, orvanta_identity::kViewDescription,
                                  {OrvantaGraphics::ProcessAllEvents,
                                   OrvantaGraphics::MillisecondsToNextTickOfAll});

}  // namespace

// The Component Manager calls this through a ComponentRoutineUPP, so it has exactly that type.
extern "C" __attribute__((visibility("default"))) ComponentResult Orvanta_Entry(
    ComponentParameters* params, Handle storage) {
  return IPluginAU::IPluginAUEntry(params, storage);
}

extern "C" __attribute__((visibility("default"))) ComponentResult Orvanta_ViewEntry(
    ComponentParameters* params, void* storage) {
  return IPluginAU::IPluginAUCarbonViewEntry(params, storage);
}
