#pragma once
// How an image's file name selects a resource of the plug-in bundle: only PNG images
// are resources, looked up by their bare name in the bundle's resource folder.

#include "framework/UTL_String.h"

namespace viewrules {

// The text after the last "." is "png" in any letter case.
bool HasPngExtension(const char* fileName);

// The last path component without its extension: "resources/img/knob.png" gives "knob".
void ResourceBaseName(const char* fileName, UTL_String* baseName);

// resourceDir + "/" + base name + ".png"; false (path emptied) when the name is null, not
// a PNG, has an empty base name, or the folder is empty.
bool ResourcePath(const char* resourceDir, const char* fileName, UTL_String* path);

}  // namespace viewrules
