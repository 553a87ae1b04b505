#include "vst3/VST3Bundle.h"

#include <dlfcn.h>

#include "graphics/EditorResourceFolder.h"

namespace vst3 {

const std::string& ModuleBundlePath() {
  // The module is <bundle>/Contents/<arch>-linux/<Name>.so, wherever the host loaded it from.
  static const std::string path = [] {
    Dl_info info = {};
    if (!dladdr(reinterpret_cast<void*>(&ModuleBundlePath), &info) || !info.dli_fname)
      return std::string();
    std::string p = info.dli_fname;
    for (int up = 0; up < 3; ++up) {
      const size_t slash = p.rfind('/');
      if (slash == std::string::npos) return std::string();
      p.erase(slash);
    }
    return p;
  }();
  return path;
}

std::string ModuleResourcesFolder() {
  return ModuleBundlePath().empty() ? std::string() : ModuleBundlePath() + "/Contents/Resources";
}

void FindEditorImagesInBundle() { SetEditorResourceFolder(ModuleResourcesFolder().c_str()); }

}  // namespace vst3
