#pragma once
// Where a bundle lies, found by its identifier among the bundles the process knows (the
// plug-in's own bundle is known once its executable is loaded from it).

#include "framework/UTL_String.h"

// Each returns false, leaving the string unchanged, when no bundle has the identifier.
bool BundleResourcesFolder(const char* bundleID, UTL_String* folder);
bool BundleExecutablePath(const char* bundleID, UTL_String* path);
// The folder that contains the bundle, with a trailing "/".
bool BundleParentFolder(const char* bundleID, UTL_String* folder);
