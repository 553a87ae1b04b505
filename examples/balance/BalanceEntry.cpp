// The Audio Unit entries: the functions a host looks up by name in Balance.so (Info.plist
// names Balance_Entry), and the editor's view factory. The wrapper does the work.

#include "BalanceIdentity.h"
#include "au/AU.h"
#include "au/IPluginAUView.h"
#include "platform/x11/IGraphicsLinux.h"

namespace {

IPluginAUViewFactory gViewFactory(balance_identity::kViewClass, balance_identity::kViewDescription,
                                  {IGraphicsLinux::ProcessAllEvents,
                                   IGraphicsLinux::MillisecondsToNextTickOfAll});

}  // namespace

extern "C" __attribute__((visibility("default"))) ComponentResult Balance_Entry(
    ComponentParameters* params, Handle storage) {
  return IPluginAU::IPluginAUEntry(params, storage);
}

extern "C" __attribute__((visibility("default"))) ComponentResult Balance_ViewEntry(
    ComponentParameters* params, void* storage) {
  return IPluginAU::IPluginAUCarbonViewEntry(params, storage);
}
