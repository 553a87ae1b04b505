#pragma once
// .aupreset files: a unit's ClassInfo dictionary stored as a property list, as hosts on the
// Mac write it (XML by default; binary is read as well).

#include <CoreFoundation/CoreFoundation.h>

#include <string>

#include "host/HostError.h"

// False with *error filled in when the dictionary cannot be written or the file not created.
bool WriteAUPresetFile(const std::string& path, CFPropertyListRef classInfo,
                       CFPropertyListFormat format, HostError* error);
// The dictionary (the caller releases it), or null with *error filled in for a missing,
// malformed or non-dictionary file.
CFDictionaryRef ReadAUPresetFile(const std::string& path, HostError* error);
