#include "host/HostEditorView.h"

#include <poll.h>

#include <chrono>
#include <thread>

namespace {

std::string StringOf(CFStringRef s) {
  if (!s) return std::string();
  char text[1024];
  return CFStringGetCString(s, text, sizeof text, kCFStringEncodingUTF8) ? text : std::string();
}

// The class by name; the bundle's executable is loaded first when nobody has yet.
const AUViewFactoryClass* LookUpClass(CFURLRef bundleURL, const std::string& name) {
  if (const AUViewFactoryClass* c = AUViewFactoryLookUpClass(name.c_str())) return c;
  CFBundleRef bundle = bundleURL ? CFBundleCreate(nullptr, bundleURL) : nullptr;
  if (!bundle || !CFBundleLoadExecutable(bundle)) return nullptr;
  return AUViewFactoryLookUpClass(name.c_str());
}

}  // namespace

std::unique_ptr<HostEditorView> HostEditorView::Open(const HostUnit& unit, HostError* error) {
  HostError ignored;
  if (!error) error = &ignored;
  AudioUnitCocoaViewInfo info = {};
  UInt32 size = sizeof info;
  OSStatus result = AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_CocoaUI,
                                         kAudioUnitScope_Global, 0, &info, &size);
  if (result != noErr) {
    error->Set(result, "the unit offers no Cocoa view (status " + std::to_string(result) + ")");
    return nullptr;
  }
  std::unique_ptr<HostEditorView> view(new HostEditorView);
  view->mClassName = StringOf(info.mCocoaAUViewClass[0]);
  view->mClass = LookUpClass(info.mCocoaAUViewBundleLocation, view->mClassName);
  if (info.mCocoaAUViewBundleLocation) CFRelease(info.mCocoaAUViewBundleLocation);
  if (info.mCocoaAUViewClass[0]) CFRelease(info.mCocoaAUViewClass[0]);
  if (!view->mClass) {
    error->Set(kHostErr_NoEntry, "no view factory class named \"" + view->mClassName + "\"");
    return nullptr;
  }
  const AUViewFactoryClass* c = view->mClass;
  view->mFactory = c->alloc ? c->alloc() : nullptr;
  if (view->mFactory && c->init) view->mFactory = c->init(view->mFactory);
  if (!view->mFactory) {
    error->Set(memFullErr, "the view factory " + view->mClassName + " made no instance");
    return nullptr;
  }
  void* window = c->uiViewForAudioUnit
                     ? c->uiViewForAudioUnit(view->mFactory, unit.Unit(), 0.0f, 0.0f)
                     : nullptr;
  if (!window) {
    view->mRemoved = true;  // nothing to remove
    error->Set(kAudioUnitErr_InvalidProperty,
               "the view factory " + view->mClassName + " made no view");
    return nullptr;
  }
  view->mWindow = (unsigned long)(uintptr_t)window;
  return view;
}

HostEditorView::~HostEditorView() {
  Remove();
  if (mFactory && mClass->dealloc) mClass->dealloc(mFactory);
}

void HostEditorView::Remove() {
  if (mRemoved || !mFactory) return;
  mRemoved = true;
  if (mClass->removeView) mClass->removeView(mFactory);
}

std::string HostEditorView::Description() const {
  if (!mClass->description) return std::string();
  CFStringRef s = mClass->description(mFactory);
  std::string text = StringOf(s);
  if (s) CFRelease(s);
  return text;
}

UInt32 HostEditorView::InterfaceVersion() const {
  return mClass->interfaceVersion ? mClass->interfaceVersion(mFactory) : 0;
}

int HostEditorView::Idle() { return mClass->idle ? mClass->idle() : 0; }

void HostEditorView::IdleFor(int milliseconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (Idle() > 0) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    end - std::chrono::steady_clock::now())
                    .count();
    if (left <= 0) break;
    int next = mClass->millisecondsToNextIdle ? mClass->millisecondsToNextIdle() : 5;
    // Short naps keep pointer events flowing between redraws.
    int nap = (int)std::min<long long>(left, next < 0 ? 5 : std::min(next, 5));
    std::this_thread::sleep_for(std::chrono::milliseconds(nap));
  }
}

OSStatus HostCreateCarbonView(const HostUnit& unit, const std::string& bundlePath,
                              const char* entryName, void* hostWindow, void** outControl,
                              HostError* error) {
  HostError ignored;
  if (!error) error = &ignored;
  CFURLRef url = CFURLCreateFromFileSystemRepresentation(nullptr, (const UInt8*)bundlePath.c_str(),
                                                         (CFIndex)bundlePath.size(), true);
  CFBundleRef bundle = url ? CFBundleCreate(nullptr, url) : nullptr;
  if (url) CFRelease(url);
  CFStringRef name = CFStringCreateWithCString(nullptr, entryName, kCFStringEncodingUTF8);
  void* entry = bundle && name && CFBundleLoadExecutable(bundle)
                    ? CFBundleGetFunctionPointerForName(bundle, name)
                    : nullptr;
  if (name) CFRelease(name);
  if (!entry) return error->Set(kHostErr_NoEntry, std::string("no view entry ") + entryName);

  ComponentDescription unitDesc = {};
  GetComponentInfo((Component)unit.Unit(), &unitDesc, nullptr, nullptr, nullptr);
  ComponentDescription viewDesc = {kAudioUnitCarbonViewComponentType, unitDesc.componentSubType,
                                   unitDesc.componentManufacturer, 0, 0};
  Component component =
      RegisterComponent(&viewDesc, (ComponentRoutineUPP)entry, 0, nullptr, nullptr, nullptr);
  if (!component) return error->Set(kHostErr_NotRegistered, "the view entry did not register");
  ComponentInstance view = nullptr;
  OSStatus result = OpenAComponent(component, &view);
  if (result == noErr) {
    Float32Point location = {0, 0}, size = {0, 0};
    ControlRef control = nullptr;
    result = AudioUnitCarbonViewCreate(view, unit.Unit(), (WindowRef)hostWindow, nullptr, &location,
                                       &size, &control);
    if (outControl) *outControl = control;
    CloseComponent(view);
  }
  UnregisterComponent(component);
  if (result != noErr) error->Set(result, "the Carbon view answered " + std::to_string(result));
  return result;
}
