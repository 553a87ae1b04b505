// The module's exported functions and its factory, with the one class of this plug-in. Hosts
// are C++ but unwind nothing: no exception leaves these functions.

#include <atomic>
#include <cstring>
#include <new>

#include "VST3PluginIdentity.h"
#include "vst3/VST3Factory.h"
#include "vst3/VST3Plugin.h"
#include "vst3/VST3Strings.h"

namespace vst3 {

namespace {

constexpr char kAudioEffectClass[] = "Audio Module Class";
constexpr char kSDKVersion[] = "VST 3.7.14";

class Factory final : public IPluginFactory3 {
 public:
  tresult queryInterface(const char* iid, void** obj) override {
    if (!obj) return kInvalidArgument;
    if (FUnknown::kIID.Matches(iid) || IPluginFactory::kIID.Matches(iid) ||
        IPluginFactory2::kIID.Matches(iid) || IPluginFactory3::kIID.Matches(iid)) {
      addRef();
      *obj = static_cast<IPluginFactory3*>(this);
      return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
  }
  // One factory for the life of the module: the count only tells.
  uint32 addRef() override { return ++mRefs; }
  uint32 release() override { return mRefs > 0 ? --mRefs : 0; }

  tresult getFactoryInfo(PFactoryInfo* info) override {
    if (!info) return kInvalidArgument;
    *info = {};
    CopyField(kVST3Vendor, info->vendor, sizeof info->vendor);
    CopyField(kVST3URL, info->url, sizeof info->url);
    CopyField(kVST3Email, info->email, sizeof info->email);
    info->flags = PFactoryInfo::kUnicode;
    return kResultOk;
  }
  int32 countClasses() override { return 1; }
  tresult getClassInfo(int32 index, PClassInfo* info) override {
    if (index != 0 || !info) return kInvalidArgument;
    *info = {};
    std::memcpy(info->cid, kVST3ClassID.mBytes, 16);
    info->cardinality = kManyInstances;
    CopyField(kAudioEffectClass, info->category, sizeof info->category);
    CopyField(kVST3Name, info->name, sizeof info->name);
    return kResultOk;
  }
  tresult getClassInfo2(int32 index, PClassInfo2* info) override {
    if (index != 0 || !info) return kInvalidArgument;
    *info = {};
    std::memcpy(info->cid, kVST3ClassID.mBytes, 16);
    info->cardinality = kManyInstances;
    CopyField(kAudioEffectClass, info->category, sizeof info->category);
    CopyField(kVST3Name, info->name, sizeof info->name);
    CopyField(kVST3SubCategories, info->subCategories, sizeof info->subCategories);
    CopyField(kVST3Vendor, info->vendor, sizeof info->vendor);
    CopyField(kVST3Version, info->version, sizeof info->version);
    CopyField(kSDKVersion, info->sdkVersion, sizeof info->sdkVersion);
    return kResultOk;
  }
  tresult getClassInfoUnicode(int32 index, PClassInfoW* info) override {
    if (index != 0 || !info) return kInvalidArgument;
    *info = {};
    std::memcpy(info->cid, kVST3ClassID.mBytes, 16);
    info->cardinality = kManyInstances;
    CopyField(kAudioEffectClass, info->category, sizeof info->category);
    CopyToUtf16(kVST3Name, info->name, 64);
    CopyField(kVST3SubCategories, info->subCategories, sizeof info->subCategories);
    CopyToUtf16(kVST3Vendor, info->vendor, 64);
    CopyToUtf16(kVST3Version, info->version, 64);
    CopyToUtf16(kSDKVersion, info->sdkVersion, 64);
    return kResultOk;
  }
  tresult setHostContext(FUnknown*) override { return kResultOk; }

  tresult createInstance(FIDString cid, FIDString iid, void** obj) override {
    if (!obj) return kInvalidArgument;
    *obj = nullptr;
    if (!kVST3ClassID.Matches(cid)) return kNoInterface;
    VST3Plugin* plugin = new (std::nothrow) VST3Plugin();
    if (!plugin) return kOutOfMemory;
    const tresult result = plugin->queryInterface(iid, obj);
    plugin->release();
    return result;
  }

 private:
  std::atomic<uint32> mRefs = 0;
};

Factory gFactory;
std::atomic<int> gEntries = 0;

}  // namespace

}  // namespace vst3

extern "C" {

__attribute__((visibility("default"))) vst3::IPluginFactory* GetPluginFactory() {
  vst3::gFactory.addRef();
  return &vst3::gFactory;
}

// Counted, since a process may load the module more than once; there is no global set-up.
__attribute__((visibility("default"))) bool ModuleEntry(void*) {
  ++vst3::gEntries;
  return true;
}

__attribute__((visibility("default"))) bool ModuleExit() {
  if (vst3::gEntries > 0) --vst3::gEntries;
  return true;
}

}  // extern "C"
