#include <objc/ViewFactoryRegistry.h>

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct Entry {
  std::string name;
  const AUViewFactoryClass* factoryClass;
};

std::mutex& RegistryMutex() {
  static std::mutex mutex;
  return mutex;
}

// Never destroyed: plug-ins may unregister from their own unload after static destructors.
std::vector<Entry>& Registry() {
  static auto* entries = new std::vector<Entry>;
  return *entries;
}

}  // namespace

Boolean AUViewFactoryRegisterClass(const char* className, const AUViewFactoryClass* factoryClass) {
  if (!className || !*className || !factoryClass ||
      factoryClass->version != kAUViewFactoryClassVersion)
    return false;
  std::lock_guard<std::mutex> lock(RegistryMutex());
  for (const Entry& e : Registry())
    if (e.name == className) return false;
  Registry().push_back({className, factoryClass});
  return true;
}

void AUViewFactoryUnregisterClass(const char* className, const AUViewFactoryClass* factoryClass) {
  if (!className) return;
  std::lock_guard<std::mutex> lock(RegistryMutex());
  std::vector<Entry>& entries = Registry();
  for (auto it = entries.begin(); it != entries.end(); ++it) {
    if (it->name == className && it->factoryClass == factoryClass) {
      entries.erase(it);
      return;
    }
  }
}

const AUViewFactoryClass* AUViewFactoryLookUpClass(const char* className) {
  if (!className) return nullptr;
  std::lock_guard<std::mutex> lock(RegistryMutex());
  for (const Entry& e : Registry())
    if (e.name == className) return e.factoryClass;
  return nullptr;
}
