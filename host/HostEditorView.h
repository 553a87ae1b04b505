#pragma once
// A unit's editor opened the way a Mac host opens a Cocoa view: the CocoaUI property gives
// the bundle and the factory class name, the class is found by name (loading the bundle's
// executable if the class is not yet known), an instance of it makes the view.
// On Linux the view is an X window; the host keeps it alive by calling Idle().

#include <AudioUnit/AudioUnit.h>
#include <objc/ViewFactoryRegistry.h>

#include <memory>
#include <string>

#include "host/HostError.h"
#include "host/HostUnit.h"

class HostEditorView {
 public:
  // Null with *error filled in when the unit offers no Cocoa view, its class is unknown or
  // of another version, or the factory makes no view (no editor, no display, ...).
  static std::unique_ptr<HostEditorView> Open(const HostUnit& unit, HostError* error);
  // Removes the view (the editor closes) and frees the factory instance.
  ~HostEditorView();
  HostEditorView(const HostEditorView&) = delete;
  HostEditorView& operator=(const HostEditorView&) = delete;

  // The editor's X window id.
  unsigned long Window() const { return mWindow; }
  const std::string& ClassName() const { return mClassName; }
  // The factory's own answers.
  std::string Description() const;
  UInt32 InterfaceVersion() const;

  // Handles the editor's pending events and due redraws; returns how many views of the
  // class are open.
  int Idle();
  // Calls Idle for the given time, sleeping until the next redraw is due in between.
  void IdleFor(int milliseconds);
  // Removes the view now; the instance stays until destruction.
  void Remove();

 private:
  HostEditorView() = default;

  const AUViewFactoryClass* mClass = nullptr;
  void* mFactory = nullptr;
  unsigned long mWindow = 0;
  bool mRemoved = false;
  std::string mClassName;
};

// The unit's Carbon view component (the entry its bundle exports, registered as an 'auvw'
// component) asked to create a view in a host window. Returns the create call's status;
// *outControl receives what the view handed back.
OSStatus HostCreateCarbonView(const HostUnit& unit, const std::string& bundlePath,
                              const char* entryName, void* hostWindow, void** outControl,
                              HostError* error);
