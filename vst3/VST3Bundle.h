#pragma once
// What the module knows about where it was loaded from.

#include <string>

namespace vst3 {

// The bundle folder (<Name>.vst3) holding the loaded module; "" when it cannot be told.
const std::string& ModuleBundlePath();
// The bundle's Resources folder.
std::string ModuleResourcesFolder();
// Makes the editors of this module find their images by name in the Resources folder (no
// bundle is registered under their identifier); before an instance builds its editor.
void FindEditorImagesInBundle();

}  // namespace vst3
