#pragma once
// How hosts obtain the editor of a unit built on the wrapper: the view factory class they
// instantiate by the name the CocoaUI property gives, and the Carbon view component entry
// (IPluginAU::IPluginAUCarbonViewEntry). A plug-in names its class once, beside its entries:
//
//   static IPluginAUViewFactory gViewFactory("MyPlug_View", "MyPlug View",
//                                            {MyGraphics::ProcessAllEvents,
//                                             MyGraphics::MillisecondsToNextTickOfAll});

#include "au/IPluginAU.h"

class IPluginAUViewFactory {
 public:
  // What the run loop does for open views on the Mac, supplied by the platform's engine:
  // handle pending events and due redraws (answering how many views are open), and the
  // milliseconds until the next is due (-1 with none open).
  struct Idle {
    int (*processEvents)();
    int (*millisecondsToNextIdle)();
  };

  // Registers the class under the name for as long as the plug-in is loaded. The texts must
  // outlive the object; one factory per plug-in.
  IPluginAUViewFactory(const char* className, const char* description, Idle idle);
  ~IPluginAUViewFactory();
  IPluginAUViewFactory(const IPluginAUViewFactory&) = delete;
  IPluginAUViewFactory& operator=(const IPluginAUViewFactory&) = delete;

 private:
  const char* mClassName;
};
