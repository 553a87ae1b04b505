// Component Manager: the registry of components, their open instances and call dispatch.
// Dispatch itself takes no lock and allocates nothing, so hosts can render through it.

#include <CoreServices/CoreServices.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <vector>

#include "ComponentDispatch.h"

namespace {

// Tags that tell a live component or instance from anything else passed in its place.
constexpr UInt32 kComponentTag = 0x436D7052;  // 'CmpR'
constexpr UInt32 kInstanceTag = 0x496E7354;   // 'InsT'

}  // namespace

struct ComponentRecord {
  UInt32 mTag = kComponentTag;
  ComponentDescription mDescription;
  ComponentRoutineUPP mEntry;
  std::atomic<int> mOpenInstances{0};
};

struct ComponentInstanceRecord {
  UInt32 mTag = kInstanceTag;
  ComponentRecord* mComponent;
  std::atomic<Handle> mStorage{nullptr};
};

namespace {

std::mutex& RegistryMutex() {
  static std::mutex mutex;
  return mutex;
}

std::vector<ComponentRecord*>& Registry() {
  static auto* components = new std::vector<ComponentRecord*>;
  return *components;
}

// Closed instances and unregistered components are kept, untagged, instead of freed: hosts
// often still hold the handles (a listener disposed after its unit was closed), and a call
// with such a handle must answer badComponentInstance rather than read freed memory. The
// records are a few dozen bytes each.
void Retire(ComponentInstanceRecord* instance) {
  static std::mutex mutex;
  static auto* retired = new std::vector<ComponentInstanceRecord*>;
  instance->mTag = 0;
  instance->mStorage.store(nullptr);
  std::lock_guard<std::mutex> lock(mutex);
  retired->push_back(instance);
}

// Under the registry lock.
void Retire(ComponentRecord* component) {
  static auto* retired = new std::vector<ComponentRecord*>;
  component->mTag = 0;
  retired->push_back(component);
}

// Under the registry lock: the component if it is registered.
ComponentRecord* Registered(Component c) {
  auto& all = Registry();
  return std::find(all.begin(), all.end(), c) != all.end() ? c : nullptr;
}

bool Matches(const ComponentDescription& d, const ComponentDescription* looking) {
  if (!looking) return true;
  auto field = [](OSType want, OSType have) { return want == 0 || want == have; };
  const UInt32 mask = looking->componentFlagsMask;
  return field(looking->componentType, d.componentType) &&
         field(looking->componentSubType, d.componentSubType) &&
         field(looking->componentManufacturer, d.componentManufacturer) &&
         (d.componentFlags & mask) == (looking->componentFlags & mask);
}

ComponentInstanceRecord* LiveInstance(ComponentInstance ci) {
  return ci && ci->mTag == kInstanceTag ? ci : nullptr;
}

}  // namespace

ComponentResult DispatchToComponent(ComponentInstance ci, SInt16 what,
                                    std::initializer_list<long> args) {
  ComponentInstanceRecord* instance = LiveInstance(ci);
  if (!instance) return badComponentInstance;
  ComponentParameterBlock block;
  block.header.flags = 0;
  block.header.what = what;
  block.header.padding = 0;
  block.header.paramSize = static_cast<UInt8>(args.size() * sizeof(long));
  block.slots[0] = reinterpret_cast<long>(ci);
  std::copy(args.begin(), args.end(), block.slots + 1);
  return instance->mComponent->mEntry(&block.header, instance->mStorage.load());
}

Component RegisterComponent(ComponentDescription* cd, ComponentRoutineUPP componentEntryPoint,
                            SInt16, Handle, Handle, Handle) {
  if (!cd || !componentEntryPoint) return nullptr;
  auto* c = new ComponentRecord;
  c->mDescription = *cd;
  c->mEntry = componentEntryPoint;
  std::lock_guard<std::mutex> lock(RegistryMutex());
  Registry().push_back(c);
  return c;
}

OSErr UnregisterComponent(Component aComponent) {
  std::lock_guard<std::mutex> lock(RegistryMutex());
  ComponentRecord* c = Registered(aComponent);
  if (!c) return invalidComponentID;
  if (c->mOpenInstances.load() > 0) return validInstancesExist;
  auto& all = Registry();
  all.erase(std::find(all.begin(), all.end(), c));
  Retire(c);
  return noErr;
}

Component FindNextComponent(Component aComponent, ComponentDescription* looking) {
  std::lock_guard<std::mutex> lock(RegistryMutex());
  auto& all = Registry();
  auto it = all.begin();
  if (aComponent) {
    it = std::find(all.begin(), all.end(), aComponent);
    if (it == all.end()) return nullptr;
    ++it;
  }
  for (; it != all.end(); ++it)
    if (Matches((*it)->mDescription, looking)) return *it;
  return nullptr;
}

long CountComponents(ComponentDescription* looking) {
  std::lock_guard<std::mutex> lock(RegistryMutex());
  long n = 0;
  for (ComponentRecord* c : Registry()) n += Matches(c->mDescription, looking);
  return n;
}

OSErr GetComponentInfo(Component aComponent, ComponentDescription* cd, Handle, Handle, Handle) {
  if (!aComponent) return invalidComponentID;
  // Hosts and units pass instances here too; both records start with their tag.
  UInt32 tag;
  std::memcpy(&tag, static_cast<const void*>(aComponent), sizeof(tag));
  ComponentRecord* c = tag == kInstanceTag
                           ? reinterpret_cast<ComponentInstanceRecord*>(aComponent)->mComponent
                           : aComponent;
  std::lock_guard<std::mutex> lock(RegistryMutex());
  if (!Registered(c)) return invalidComponentID;
  if (cd) *cd = c->mDescription;
  return noErr;
}

long GetComponentVersion(ComponentInstance aComponentInstance) {
  return DispatchToComponent(aComponentInstance, kComponentVersionSelect, {});
}

long ComponentFunctionImplemented(ComponentInstance ci, SInt16 ftnNumber) {
  return DispatchToComponent(ci, kComponentCanDoSelect, {Slot(ftnNumber)});
}

OSErr OpenAComponent(Component aComponent, ComponentInstance* ci) {
  if (!ci) return paramErr;
  *ci = nullptr;
  ComponentInstanceRecord* instance;
  {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    ComponentRecord* c = Registered(aComponent);
    if (!c) return invalidComponentID;
    instance = new ComponentInstanceRecord;
    instance->mComponent = c;
    c->mOpenInstances.fetch_add(1);
  }
  ComponentResult result = DispatchToComponent(instance, kComponentOpenSelect, {});
  if (result != noErr) {
    instance->mComponent->mOpenInstances.fetch_sub(1);
    Retire(instance);
    return static_cast<OSErr>(result);
  }
  *ci = instance;
  return noErr;
}

ComponentInstance OpenComponent(Component aComponent) {
  ComponentInstance ci = nullptr;
  OpenAComponent(aComponent, &ci);
  return ci;
}

OSErr CloseComponent(ComponentInstance aComponentInstance) {
  ComponentInstanceRecord* instance = LiveInstance(aComponentInstance);
  if (!instance) return static_cast<OSErr>(badComponentInstance);
  ComponentResult result = DispatchToComponent(instance, kComponentCloseSelect, {});
  instance->mComponent->mOpenInstances.fetch_sub(1);
  Retire(instance);
  return static_cast<OSErr>(result);
}

void SetComponentInstanceStorage(ComponentInstance aComponentInstance, Handle theStorage) {
  if (ComponentInstanceRecord* instance = LiveInstance(aComponentInstance))
    instance->mStorage.store(theStorage);
}

Handle GetComponentInstanceStorage(ComponentInstance aComponentInstance) {
  ComponentInstanceRecord* instance = LiveInstance(aComponentInstance);
  return instance ? instance->mStorage.load() : nullptr;
}

ComponentResult CallComponentDispatch(ComponentParameters* cp) {
  if (!cp) return badComponentInstance;
  ComponentInstanceRecord* instance =
      LiveInstance(reinterpret_cast<ComponentInstance>(cp->params[0]));
  if (!instance) return badComponentInstance;
  return instance->mComponent->mEntry(cp, instance->mStorage.load());
}

OSErr Gestalt(OSType selector, SInt32* response) {
  if (!response) return paramErr;
  switch (selector) {
    case gestaltSystemVersion:
      *response = 0x1099;
      return noErr;
    case gestaltSystemVersionMajor:
      *response = 10;
      return noErr;
    case gestaltSystemVersionMinor:
      *response = 15;
      return noErr;
    case gestaltSystemVersionBugFix:
      *response = 7;
      return noErr;
    default:
      return gestaltUndefSelectorErr;
  }
}
