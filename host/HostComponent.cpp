#include "host/HostComponent.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "host/ElfObject.h"

namespace {

bool IsFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsDirectory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string Utf8(CFTypeRef value) {
  if (CFGetTypeID(value) != CFStringGetTypeID()) return std::string();
  auto s = static_cast<CFStringRef>(value);
  std::string text(static_cast<size_t>(CFStringGetMaximumSizeForEncoding(CFStringGetLength(s),
                                                                         kCFStringEncodingUTF8)) +
                       1,
                   '\0');
  if (!CFStringGetCString(s, text.data(), static_cast<CFIndex>(text.size()), kCFStringEncodingUTF8))
    return std::string();
  text.resize(strlen(text.c_str()));
  return text;
}

// Reads and parses a property list file; null with a message on failure.
CFPropertyListRef ReadPlist(const std::string& path, HostError* error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error->Set(kHostErr_FileNotFound, "cannot read " + path);
    return nullptr;
  }
  std::stringstream bytes;
  bytes << file.rdbuf();
  std::string content = bytes.str();
  CFDataRef data = CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(content.data()),
                                static_cast<CFIndex>(content.size()));
  CFErrorRef cfError = nullptr;
  CFPropertyListRef plist =
      CFPropertyListCreateWithData(nullptr, data, kCFPropertyListImmutable, nullptr, &cfError);
  CFRelease(data);
  if (!plist) {
    CFStringRef why = CFErrorCopyDescription(cfError);
    error->Set(kHostErr_BadFile, path + " is malformed: " + Utf8(why));
    CFRelease(why);
    CFRelease(cfError);
  }
  return plist;
}

// dlsym finds names in the libraries the executable depends on too; calling `abort` or `free`
// as an entry would end or corrupt the host. Empty when the symbol is a function the
// executable itself defines.
std::string ForeignSymbolProblem(void* library, void* symbol) {
  void* own = nullptr;
  void* holder = nullptr;
  void* entry = nullptr;
  Dl_info info;
  if (dlinfo(library, RTLD_DI_LINKMAP, &own) != 0 ||
      !dladdr1(symbol, &info, &holder, RTLD_DL_LINKMAP) ||
      !dladdr1(symbol, &info, &entry, RTLD_DL_SYMENT))
    return "no loaded object holds it";
  if (holder != own)
    return std::string("the name belongs to ") +
           (info.dli_fname ? info.dli_fname : "another object");
  if (!entry || ELF64_ST_TYPE(static_cast<const ElfW(Sym)*>(entry)->st_info) != STT_FUNC)
    return "the name is not a function";
  return "";
}

}  // namespace

OSType HostFourCC(const char* text) {
  if (!text || strlen(text) != 4) return 0;
  const auto* u = reinterpret_cast<const unsigned char*>(text);
  return (OSType(u[0]) << 24) | (OSType(u[1]) << 16) | (OSType(u[2]) << 8) | OSType(u[3]);
}

std::unique_ptr<HostComponent> HostComponent::Load(const std::string& bundlePath,
                                                   HostError* error) {
  HostError local;
  HostError& err = error ? *error : local;
  err = HostError();
  if (!IsDirectory(bundlePath)) {
    err.Set(kHostErr_FileNotFound, "no component bundle at " + bundlePath);
    return nullptr;
  }
  const std::string infoPath = bundlePath + "/Contents/Info.plist";
  if (!IsFile(infoPath)) {
    err.Set(kHostErr_FileNotFound, bundlePath + " has no Contents/Info.plist");
    return nullptr;
  }
  CFPropertyListRef plist = ReadPlist(infoPath, &err);
  if (!plist) return nullptr;

  std::unique_ptr<HostComponent> c(new HostComponent);
  c->mBundlePath = bundlePath;
  bool ok = false;
  do {
    if (CFGetTypeID(plist) != CFDictionaryGetTypeID()) {
      err.Set(kHostErr_BadFile, infoPath + " is not a dictionary");
      break;
    }
    auto info = static_cast<CFDictionaryRef>(plist);
    c->mBundleIdentifier = Utf8(CFDictionaryGetValue(info, CFSTR("CFBundleIdentifier")));
    const std::string executable = Utf8(CFDictionaryGetValue(info, CFSTR("CFBundleExecutable")));
    CFTypeRef components = CFDictionaryGetValue(info, CFSTR("AudioComponents"));
    CFTypeRef first = CFGetTypeID(components) == CFArrayGetTypeID()
                          ? CFArrayGetValueAtIndex(static_cast<CFArrayRef>(components), 0)
                          : nullptr;
    if (CFGetTypeID(first) != CFDictionaryGetTypeID()) {
      err.Set(kHostErr_BadFile, infoPath + " has no AudioComponents entry");
      break;
    }
    auto entry = static_cast<CFDictionaryRef>(first);
    const std::string type = Utf8(CFDictionaryGetValue(entry, CFSTR("type")));
    const std::string subtype = Utf8(CFDictionaryGetValue(entry, CFSTR("subtype")));
    const std::string manufacturer = Utf8(CFDictionaryGetValue(entry, CFSTR("manufacturer")));
    c->mDescription = {HostFourCC(type.c_str()), HostFourCC(subtype.c_str()),
                       HostFourCC(manufacturer.c_str()), 0, 0};
    if (!c->mDescription.componentType || !c->mDescription.componentSubType ||
        !c->mDescription.componentManufacturer) {
      err.Set(kHostErr_BadFile,
              infoPath + ": type, subtype and manufacturer must be four-character codes");
      break;
    }
    c->mName = Utf8(CFDictionaryGetValue(entry, CFSTR("name")));
    CFTypeRef version = CFDictionaryGetValue(entry, CFSTR("version"));
    SInt64 v = 0;
    if (CFGetTypeID(version) == CFNumberGetTypeID() &&
        CFNumberGetValue(static_cast<CFNumberRef>(version), kCFNumberSInt64Type, &v))
      c->mVersion = static_cast<UInt32>(v);
    c->mEntryName = Utf8(CFDictionaryGetValue(entry, CFSTR("factoryFunction")));
    if (c->mEntryName.empty()) {
      err.Set(kHostErr_BadFile, infoPath + ": the AudioComponents entry names no factoryFunction");
      break;
    }
    if (executable.empty() || executable.find('/') != std::string::npos) {
      err.Set(kHostErr_BadFile, infoPath + " names no CFBundleExecutable");
      break;
    }
    for (const char* suffix : {".so", ""}) {
      std::string path = bundlePath + "/Contents/Linux/" + executable + suffix;
      if (IsFile(path)) {
        c->mExecutablePath = path;
        break;
      }
    }
    if (c->mExecutablePath.empty()) {
      err.Set(kHostErr_NoEntry,
              bundlePath + " has no executable Contents/Linux/" + executable + ".so");
      break;
    }
    if (const std::string damage = ElfObjectProblem(c->mExecutablePath); !damage.empty()) {
      err.Set(kHostErr_BadFile,
              bundlePath + " is damaged: " + c->mExecutablePath.substr(bundlePath.size() + 1) +
                  " " + damage);
      break;
    }
    c->mLibrary = dlopen(c->mExecutablePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!c->mLibrary) {
      const char* why = dlerror();
      err.Set(kHostErr_NoEntry, "cannot load " + c->mExecutablePath + ": " + (why ? why : "?"));
      break;
    }
    void* symbol = dlsym(c->mLibrary, c->mEntryName.c_str());
    if (!symbol) {
      err.Set(kHostErr_NoEntry, c->mExecutablePath + " exports no entry named " + c->mEntryName);
      break;
    }
    if (const std::string elsewhere = ForeignSymbolProblem(c->mLibrary, symbol);
        !elsewhere.empty()) {
      err.Set(kHostErr_NoEntry,
              c->mExecutablePath + " defines no entry named " + c->mEntryName + ": " + elsewhere);
      break;
    }
    c->mEntry = reinterpret_cast<ComponentRoutineUPP>(symbol);
    c->mComponent = RegisterComponent(&c->mDescription, c->mEntry, 0, nullptr, nullptr, nullptr);
    if (!c->mComponent) {
      err.Set(kHostErr_NotRegistered, "the Component Manager refused " + bundlePath);
      break;
    }
    ok = true;
  } while (false);
  CFRelease(plist);
  return ok ? std::move(c) : nullptr;
}

HostComponent::~HostComponent() {
  if (mComponent && UnregisterComponent(mComponent) != noErr) return;
  if (mLibrary) dlclose(mLibrary);
}
