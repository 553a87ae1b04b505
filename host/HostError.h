#pragma once
// What went wrong in a host operation: the status code a caller can test and a message a
// person can read.

#include <MacTypes.h>

#include <string>

struct HostError {
  OSStatus status = noErr;
  std::string message;

  bool Failed() const { return status != noErr; }
  // Records a failure and returns its status, so callers can write `return error.Set(...)`.
  OSStatus Set(OSStatus code, std::string text) {
    status = code;
    message = std::move(text);
    return code;
  }
};

// Statuses the host library itself reports (the others come from the unit or the platform).
enum {
  kHostErr_FileNotFound = -43,     // fnfErr: no bundle, no Info.plist, no preset file
  kHostErr_BadFile = -10871,       // kAudioUnitErr_InvalidFile: unreadable or malformed file
  kHostErr_NoEntry = -3004,        // unresolvedComponentDLLErr: executable or entry missing
  kHostErr_NotRegistered = -3000,  // invalidComponentID
};
