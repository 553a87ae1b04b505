// Loads the built bundle through the host library, optionally opens and closes one unit, and
// unloads the bundle again, twice over, before exit. Run under LeakSanitizer: memory that the
// plug-in keeps only through its own statics becomes unreachable when the library is unmapped
// and shows up as a leak, as it would pile up in a host that scans plug-ins by loading and
// unloading each. Exits non-zero when a step fails or the library stays mapped (then there
// would be nothing to check).

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "host/Host.h"

namespace {

bool Fail(const std::string& what) {
  fprintf(stderr, "%s\n", what.c_str());
  return false;
}

bool LoadAndUnload(bool openUnit) {
  HostError error;
  std::unique_ptr<HostComponent> component = HostComponent::Load(ORVANTA_BUNDLE_PATH, &error);
  if (!component) return Fail(error.message);
  const std::string library = component->ExecutablePath();
  if (openUnit) {
    std::unique_ptr<HostUnit> unit = HostUnit::Open(*component, &error);
    if (!unit) return Fail(error.message);
    if (OSStatus status = unit->Close()) return Fail("closing the unit: " + std::to_string(status));
  }
  component.reset();
  if (void* still = dlopen(library.c_str(), RTLD_NOW | RTLD_NOLOAD)) {
    dlclose(still);
    return Fail(library + " is still loaded after its component was released");
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const bool openUnit = argc > 1 && std::strcmp(argv[1], "--open-unit") == 0;
  for (int round = 0; round < 2; ++round)
    if (!LoadAndUnload(openUnit)) return 1;
  return 0;
}
