// Saved states as hosts hand them to the unit: any bytes read as a property list and restored
// through the ClassInfo property of the plug-in bundle, then saved again.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "host/Host.h"

namespace {
HostUnit& Unit() {
  static std::unique_ptr<HostComponent> component = HostComponent::Load(ORVANTA_BUNDLE, nullptr);
  static std::unique_ptr<HostUnit> unit = component ? HostUnit::Open(*component, nullptr) : nullptr;
  if (!unit) std::abort();
  return *unit;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  HostUnit& unit = Unit();
  CFDataRef bytes = CFDataCreate(nullptr, data, static_cast<CFIndex>(size));
  CFPropertyListRef state = CFPropertyListCreateWithData(nullptr, bytes, 0, nullptr, nullptr);
  CFRelease(bytes);
  if (!state) return 0;
  if (unit.SetClassInfo(state) == noErr) {
    CFPropertyListRef saved = nullptr;
    if (unit.GetClassInfo(&saved) != noErr || !saved) __builtin_trap();
    CFRelease(saved);
  }
  CFRelease(state);
  return 0;
}
