#pragma once
// A component bundle loaded the way a host loads it: its Info.plist read, the first
// AudioComponents entry taken, the executable opened with dlopen, the entry found by name and
// registered with the Component Manager.

#include <CoreServices/CoreServices.h>

#include <memory>
#include <string>

#include "host/HostError.h"

class HostComponent {
 public:
  // Null with *error filled in when the bundle is missing, its Info.plist is malformed or
  // lacks an AudioComponents entry, or the executable or the entry cannot be found.
  static std::unique_ptr<HostComponent> Load(const std::string& bundlePath, HostError* error);
  // Unregisters the component and closes the executable. Every unit opened from it must be
  // closed first; otherwise both stay as they are.
  ~HostComponent();
  HostComponent(const HostComponent&) = delete;
  HostComponent& operator=(const HostComponent&) = delete;

  Component GetComponent() const { return mComponent; }
  const ComponentDescription& Description() const { return mDescription; }
  const std::string& Name() const { return mName; }
  UInt32 Version() const { return mVersion; }
  const std::string& EntryName() const { return mEntryName; }
  const std::string& BundleIdentifier() const { return mBundleIdentifier; }
  const std::string& BundlePath() const { return mBundlePath; }
  const std::string& ExecutablePath() const { return mExecutablePath; }
  // The executable's entry routine, for hosts that call it directly (valid while loaded).
  ComponentRoutineUPP EntryRoutine() const { return mEntry; }

 private:
  HostComponent() = default;

  Component mComponent = nullptr;
  ComponentRoutineUPP mEntry = nullptr;
  ComponentDescription mDescription = {};
  std::string mName, mEntryName, mBundleIdentifier, mBundlePath, mExecutablePath;
  UInt32 mVersion = 0;
  void* mLibrary = nullptr;
};

// "aufx" as the four-character code 0x61756678; 0 unless the text is exactly four bytes.
OSType HostFourCC(const char* text);
