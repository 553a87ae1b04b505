#pragma once
// View factory classes by name, as a Mac host finds the class that the CocoaUI property
// names: a plug-in registers its factory class when its executable is loaded, the host looks
// the class up by name, makes an instance and asks it for the view of a unit.
//
// A class is a table of C functions. The table and the name must stay valid until the class
// is unregistered (a plug-in does so before its executable is unloaded).

#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>

CF_EXTERN_C_BEGIN

// The table's layout version; a host refuses classes of another version.
enum { kAUViewFactoryClassVersion = 1 };

struct AUViewFactoryClass {
  UInt32 version;  // kAUViewFactoryClassVersion
  // Storage for a new instance, and its initialisation (which returns the instance).
  void* (*alloc)(void);
  void* (*init)(void* self);
  // Frees an instance; a view it made is not closed by this.
  void (*dealloc)(void* self);
  // The editor view of the unit (an X window id as a pointer), or null when the unit has
  // no editor. The size is a hint; views keep the editor's own size.
  void* (*uiViewForAudioUnit)(void* self, AudioUnit unit, Float32 width, Float32 height);
  UInt32 (*interfaceVersion)(void* self);
  // A new string the caller releases.
  CFStringRef (*description)(void* self);
  // Removes the view the instance made, as a host does when it takes the view out of its
  // window; the editor closes.
  void (*removeView)(void* self);
  // What the run loop does for views on the Mac: handles pending window events and due
  // redraws of every open view of the class. Returns how many views are open.
  int (*idle)(void);
  // Milliseconds until a view of the class next needs idle; -1 when none is open.
  int (*millisecondsToNextIdle)(void);
};
typedef struct AUViewFactoryClass AUViewFactoryClass;

// False when the name is empty, the table is null or of another version, or another class
// already has the name.
CF_EXPORT Boolean AUViewFactoryRegisterClass(const char* className,
                                             const AUViewFactoryClass* factoryClass);
// Removes the class only if it is the one registered under the name.
CF_EXPORT void AUViewFactoryUnregisterClass(const char* className,
                                            const AUViewFactoryClass* factoryClass);
// The class registered under the name, or null.
CF_EXPORT const AUViewFactoryClass* AUViewFactoryLookUpClass(const char* className);

CF_EXTERN_C_END
