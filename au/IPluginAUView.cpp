// The view factory class and the Carbon view entry. Both reach the plug-in object through the
// unit's instance storage, so they serve whatever effect the wrapper was built with.

#include "au/IPluginAUView.h"

#include <objc/ViewFactoryRegistry.h>

#include <cstring>
#include <new>

#include "graphics/IGraphics.h"

namespace {

// The one factory class of this plug-in: what its registration said.
const char* gDescription = "";
IPluginAUViewFactory::Idle gIdle = {nullptr, nullptr};

// An instance of the factory class: the plug-in of the unit whose view it made.
struct ViewInstance {
  IPluginAU* mPlug;
};

void* ViewAlloc() { return new (std::nothrow) ViewInstance; }

void* ViewInit(void* self) {
  if (self) static_cast<ViewInstance*>(self)->mPlug = nullptr;
  return self;
}

void ViewDealloc(void* self) { delete static_cast<ViewInstance*>(self); }

void* ViewForAudioUnit(void* self, AudioUnit unit, Float32, Float32) {
  if (!self) return nullptr;
  ViewInstance* view = static_cast<ViewInstance*>(self);
  view->mPlug = static_cast<IPluginAU*>((void*)GetComponentInstanceStorage(unit));
  IGraphics* graphics = view->mPlug ? view->mPlug->MakeEditorOnce() : nullptr;
  if (!graphics) return nullptr;
  void* window = graphics->OpenWindow(nullptr);
  // A window that could not be made is no view: the editor was not opened.
  if (window) view->mPlug->OnGUIOpen();
  return window;
}

UInt32 ViewInterfaceVersion(void*) { return 0; }

CFStringRef ViewDescription(void*) {
  return CFStringCreateWithCString(nullptr, gDescription, kCFStringEncodingUTF8);
}

void ViewRemove(void* self) {
  ViewInstance* view = static_cast<ViewInstance*>(self);
  if (view && view->mPlug && view->mPlug->GetGUI()) view->mPlug->GetGUI()->CloseWindow();
}

int ViewIdle() { return gIdle.processEvents ? gIdle.processEvents() : 0; }

int ViewMillisecondsToNextIdle() {
  return gIdle.millisecondsToNextIdle ? gIdle.millisecondsToNextIdle() : -1;
}

const AUViewFactoryClass kViewClass = {
    kAUViewFactoryClassVersion,
    ViewAlloc,
    ViewInit,
    ViewDealloc,
    ViewForAudioUnit,
    ViewInterfaceVersion,
    ViewDescription,
    ViewRemove,
    ViewIdle,
    ViewMillisecondsToNextIdle,
};

// The Carbon view component's instance: the unit it shows. The plug-in object is looked up
// again whenever it is needed, so a unit closed before its view leaves nothing dangling.
struct CarbonViewRecord {
  ComponentInstance mView;
  AudioUnit mUnit;
};

template <typename T>
T Argument(const ComponentParameters* params, int i) {
  T value;
  std::memcpy(&value, &params->params[i + 1], sizeof(T));
  return value;
}

IPluginAU* PlugOf(AudioUnit unit) {
  return unit ? static_cast<IPluginAU*>((void*)GetComponentInstanceStorage(unit)) : nullptr;
}

}  // namespace

IPluginAUViewFactory::IPluginAUViewFactory(const char* className, const char* description,
                                           Idle idle)
    : mClassName(className) {
  gDescription = description ? description : "";
  gIdle = idle;
  AUViewFactoryRegisterClass(mClassName, &kViewClass);
}

IPluginAUViewFactory::~IPluginAUViewFactory() {
  AUViewFactoryUnregisterClass(mClassName, &kViewClass);
}

ComponentResult IPluginAU::IPluginAUCarbonViewEntry(ComponentParameters* params, void* storage) {
  if (!params) return badComponentSelector;
  const int select = params->what;
  Trace("IPluginAUCarbonViewEntry", __LINE__, "%d:%s", select, AUSelectStr(select));
  CarbonViewRecord* record = static_cast<CarbonViewRecord*>(storage);

  switch (select) {
    case kComponentOpenSelect: {
      ComponentInstance view = (ComponentInstance)params->params[0];
      record = new (std::nothrow) CarbonViewRecord{view, nullptr};
      if (!record) return memFullErr;
      SetComponentInstanceStorage(view, (Handle)record);
      return noErr;
    }
    case kAudioUnitCarbonViewCreateSelect: {
      if (!record) return badComponentSelector;
      record->mUnit = Argument<AudioUnit>(params, 0);
      IPluginAU* plug = PlugOf(record->mUnit);
      if (!plug || !plug->MakeEditorOnce()) return badComponentSelector;
      WindowRef window = Argument<WindowRef>(params, 1);
      ControlRef parentControl = Argument<ControlRef>(params, 2);
      ControlRef* outControl = Argument<ControlRef*>(params, 5);
      // The engine makes no Carbon controls: Carbon hosts get no editor here.
      void* control = plug->GetGUI()->OpenWindow(window, parentControl, 0, 0);
      if (outControl) *outControl = static_cast<ControlRef>(control);
      return noErr;
    }
    case kComponentCloseSelect: {
      if (record) {
        IPluginAU* plug = PlugOf(record->mUnit);
        if (plug && plug->GetGUI()) plug->GetGUI()->CloseWindow();
        delete record;
      }
      return noErr;
    }
    default:
      return badComponentSelector;
  }
}
