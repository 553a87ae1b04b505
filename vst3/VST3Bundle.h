#pragma once
// What the module knows about where it was loaded from.

#include <string>

namespace vst3 {

// The bundle folder (<Name>.vst3) holding the loaded module; "" when it cannot be told.
const std::string& ModuleBundlePath();
// The bundle's Resources folder.
std::string ModuleResourcesFolder();
// Puts the editor's images from the Resources folder into the process-wide image cache, where
// the editor an instance builds finds them (no bundle is registered under its identifier).
void CacheEditorImages();

}  // namespace vst3
