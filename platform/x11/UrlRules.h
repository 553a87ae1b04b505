#pragma once
// What an address handed to OpenURL is, and the form the desktop's opener receives.

#include "framework/UTL_String.h"

namespace viewrules {

// Any text containing "http" is a web address; anything else names a file.
bool IsWebAddress(const char* text);

// The address to hand to the opener: a web address as given, a file path as a
// "file://" URL (relative paths taken from currentDir, unsafe bytes percent-encoded).
// False, with target emptied, for a null or empty text or a relative path without a
// current folder: nothing can be opened then.
bool OpenableAddress(const char* text, const char* currentDir, UTL_String* target);

}  // namespace viewrules
