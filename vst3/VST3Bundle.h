#pragma once
// What the module knows about where it was loaded from.

#include <string>

namespace vst3 {

// The bundle folder (<Name>.vst3) holding the loaded module; "" when it cannot be told.
const std::string& ModuleBundlePath();

}  // namespace vst3
