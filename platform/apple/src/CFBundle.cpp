// Bundles. Every bundle opened in the process is kept in one registry for the life of the
// process (as on the Mac), so that a look-up by identifier or path returns the same object.

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "CFRuntime.h"

struct __CFBundle : CFRuntimeObject {
  static constexpr CFTypeID kTypeID = kCFRuntimeBundle;
  CFTypeID TypeID() const override { return kTypeID; }
  std::string Describe() const override { return "CFBundle <" + mRoot + ">"; }
  ~__CFBundle() override {
    CFRelease(mInfo);
    CFRelease(mIdentifierOverride);
  }

  std::string mRoot;  // the bundle folder
  bool mDeep = true;  // Contents/ layout; false for a flat folder
  CFDictionaryRef mInfo = nullptr;
  CFStringRef mIdentifierOverride = nullptr;
  void* mHandle = nullptr;  // dlopen handle once the executable is loaded by us
};

namespace {

bool IsDirectory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string Parent(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string LastComponent(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// The Info.plist as a dictionary; an empty one when it is missing or unreadable.
CFDictionaryRef ReadInfo(const std::string& path) {
  CFDictionaryRef info = nullptr;
  if (FILE* f = fopen(path.c_str(), "rb")) {
    std::string bytes;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof(chunk), f)) > 0) bytes.append(chunk, n);
    fclose(f);
    CFDataRef data = CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(bytes.data()),
                                  static_cast<CFIndex>(bytes.size()));
    CFPropertyListRef plist =
        CFPropertyListCreateWithData(nullptr, data, kCFPropertyListImmutable, nullptr, nullptr);
    CFRelease(data);
    if (CFGetTypeID(plist) == CFDictionaryGetTypeID())
      info = static_cast<CFDictionaryRef>(plist);
    else
      CFRelease(plist);
  }
  if (!info)
    info = CFDictionaryCreate(nullptr, nullptr, nullptr, 0, &kCFTypeDictionaryKeyCallBacks,
                              &kCFTypeDictionaryValueCallBacks);
  return info;
}

std::mutex& RegistryMutex() {
  static std::mutex mutex;
  return mutex;
}

std::vector<__CFBundle*>& Registry() {
  static auto* bundles = new std::vector<__CFBundle*>;
  return *bundles;
}

// Under the registry lock: the bundle at a folder, opened on first use. Null when the folder
// does not exist.
__CFBundle* BundleAt(const std::string& path, bool flatOnly = false) {
  // One bundle per folder, however the folder was named (relative, through links).
  char resolved[PATH_MAX];
  if (!realpath(path.c_str(), resolved)) return nullptr;
  const std::string root = resolved;
  for (__CFBundle* b : Registry())
    if (b->mRoot == root) return b;
  if (!IsDirectory(root)) return nullptr;
  auto* b = new __CFBundle;
  b->mImmortal = true;
  b->mRoot = root;
  b->mDeep = !flatOnly && IsDirectory(root + "/Contents");
  b->mInfo = ReadInfo(root + (b->mDeep ? "/Contents/Info.plist" : "/Info.plist"));
  Registry().push_back(b);
  return b;
}

// The bundle folder of an executable inside Name.ext/Contents/Linux (or MacOS); empty if the
// executable does not lie in such a layout.
std::string EnclosingBundle(const std::string& executable) {
  std::string dir = Parent(executable);
  std::string name = LastComponent(dir);
  if (name != "Linux" && name != "MacOS") return std::string();
  std::string contents = Parent(dir);
  if (LastComponent(contents) != "Contents") return std::string();
  return Parent(contents);
}

// Under the registry lock: opens the bundles of every loaded shared object that lies in a
// bundle layout, so that a plug-in can find its own bundle by identifier.
void DiscoverLoadedBundles() {
  std::vector<std::string> roots;
  dl_iterate_phdr(
      [](struct dl_phdr_info* info, size_t, void* data) {
        if (info->dlpi_name && info->dlpi_name[0]) {
          std::string root = EnclosingBundle(info->dlpi_name);
          if (!root.empty()) static_cast<std::vector<std::string>*>(data)->push_back(root);
        }
        return 0;
      },
      &roots);
  for (const std::string& root : roots) BundleAt(root);
}

CFStringRef IdentifierOf(const __CFBundle* b) {
  if (b->mIdentifierOverride) return b->mIdentifierOverride;
  CFTypeRef id = CFDictionaryGetValue(b->mInfo, kCFBundleIdentifierKey);
  return CFGetTypeID(id) == CFStringGetTypeID() ? static_cast<CFStringRef>(id) : nullptr;
}

__CFBundle* Bundle(CFTypeRef b) { return CFCast<__CFBundle>(b); }

CFURLRef URLFor(const std::string& path, bool isDirectory) {
  return CFURLCreateFromFileSystemRepresentation(nullptr,
                                                 reinterpret_cast<const UInt8*>(path.c_str()),
                                                 static_cast<CFIndex>(path.size()), isDirectory);
}

std::string ResourcesFolder(const __CFBundle* b) {
  return b->mDeep ? b->mRoot + "/Contents/Resources" : b->mRoot;
}

std::string ExecutablePath(const __CFBundle* b) {
  CFTypeRef name = CFDictionaryGetValue(b->mInfo, kCFBundleExecutableKey);
  if (CFGetTypeID(name) != CFStringGetTypeID()) return std::string();
  const std::string& exe = CFStringUTF8(static_cast<CFStringRef>(name));
  if (exe.empty() || exe.find('/') != std::string::npos) return std::string();
  const std::vector<std::string> candidates =
      b->mDeep ? std::vector<std::string>{b->mRoot + "/Contents/Linux/" + exe,
                                          b->mRoot + "/Contents/Linux/" + exe + ".so",
                                          b->mRoot + "/Contents/MacOS/" + exe}
               : std::vector<std::string>{b->mRoot + "/" + exe, b->mRoot + "/" + exe + ".so"};
  for (const std::string& path : candidates)
    if (IsFile(path)) return path;
  return std::string();
}

}  // namespace

const CFStringRef kCFBundleInfoDictionaryVersionKey = CFSTR("CFBundleInfoDictionaryVersion");
const CFStringRef kCFBundleExecutableKey = CFSTR("CFBundleExecutable");
const CFStringRef kCFBundleIdentifierKey = CFSTR("CFBundleIdentifier");
const CFStringRef kCFBundleVersionKey = CFSTR("CFBundleVersion");
const CFStringRef kCFBundleNameKey = CFSTR("CFBundleName");

CFTypeID CFBundleGetTypeID(void) { return kCFRuntimeBundle; }

CFBundleRef CFBundleGetMainBundle(void) {
  static __CFBundle* main = [] {
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
    if (n <= 0) return static_cast<__CFBundle*>(nullptr);
    exe[n] = '\0';
    std::string root = EnclosingBundle(exe);
    std::lock_guard<std::mutex> lock(RegistryMutex());
    return root.empty() ? BundleAt(Parent(exe), true) : BundleAt(root);
  }();
  return main;
}

CFBundleRef CFBundleGetBundleWithIdentifier(CFStringRef bundleID) {
  if (!bundleID) return nullptr;
  CFBundleGetMainBundle();
  std::lock_guard<std::mutex> lock(RegistryMutex());
  for (int pass = 0; pass < 2; ++pass) {
    for (__CFBundle* b : Registry())
      if (CFEqual(IdentifierOf(b), bundleID)) return b;
    if (pass == 0) DiscoverLoadedBundles();
  }
  return nullptr;
}

CFBundleRef CFBundleCreate(CFAllocatorRef, CFURLRef bundleURL) {
  UInt8 path[4096];
  if (!CFURLGetFileSystemRepresentation(bundleURL, true, path, sizeof(path))) return nullptr;
  std::lock_guard<std::mutex> lock(RegistryMutex());
  return BundleAt(reinterpret_cast<const char*>(path));
}

CFStringRef CFBundleGetIdentifier(CFBundleRef bundle) {
  const __CFBundle* b = Bundle(bundle);
  if (!b) return nullptr;
  std::lock_guard<std::mutex> lock(RegistryMutex());
  return IdentifierOf(b);
}

CFDictionaryRef CFBundleGetInfoDictionary(CFBundleRef bundle) {
  const __CFBundle* b = Bundle(bundle);
  return b ? b->mInfo : nullptr;
}

CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key) {
  const __CFBundle* b = Bundle(bundle);
  if (!b) return nullptr;
  if (CFEqual(key, kCFBundleIdentifierKey)) return CFBundleGetIdentifier(bundle);
  return CFDictionaryGetValue(b->mInfo, key);
}

UInt32 CFBundleGetVersionNumber(CFBundleRef bundle) {
  const __CFBundle* b = Bundle(bundle);
  if (!b) return 0;
  // "major.minor.bugfix" packed as the Mac packs it: major in BCD in the top byte,
  // minor and bug fix as two BCD nibbles.
  CFTypeRef v = CFDictionaryGetValue(b->mInfo, kCFBundleVersionKey);
  if (CFGetTypeID(v) != CFStringGetTypeID()) return 0;
  unsigned major = 0, minor = 0, bugfix = 0;
  if (sscanf(CFStringUTF8(static_cast<CFStringRef>(v)).c_str(), "%u.%u.%u", &major, &minor,
             &bugfix) < 1 ||
      major > 99 || minor > 9 || bugfix > 9)
    return 0;
  return ((major / 10) << 28) | ((major % 10) << 24) | (minor << 20) | (bugfix << 16) | 0x8000;
}

CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle) {
  const __CFBundle* b = Bundle(bundle);
  return b ? URLFor(b->mRoot, true) : nullptr;
}

CFURLRef CFBundleCopyResourcesDirectoryURL(CFBundleRef bundle) {
  const __CFBundle* b = Bundle(bundle);
  return b ? URLFor(ResourcesFolder(b), true) : nullptr;
}

CFURLRef CFBundleCopyExecutableURL(CFBundleRef bundle) {
  const __CFBundle* b = Bundle(bundle);
  if (!b) return nullptr;
  std::string path = ExecutablePath(b);
  return path.empty() ? nullptr : URLFor(path, false);
}

CFURLRef CFBundleCopyResourceURL(CFBundleRef bundle, CFStringRef resourceName,
                                 CFStringRef resourceType, CFStringRef subDirName) {
  const __CFBundle* b = Bundle(bundle);
  if (!b || !resourceName) return nullptr;
  std::string name = CFStringUTF8(resourceName);
  std::string type = CFStringUTF8(resourceType);
  std::string sub = CFStringUTF8(subDirName);
  // Names stay inside the Resources folder.
  if (name.empty() || name.find("..") != std::string::npos || name[0] == '/' ||
      sub.find("..") != std::string::npos)
    return nullptr;
  if (!type.empty() && type[0] == '.') type.erase(0, 1);
  std::string path = ResourcesFolder(b) + (sub.empty() ? "" : "/" + sub) + "/" + name;
  if (!type.empty()) path += "." + type;
  if (IsFile(path)) return URLFor(path, false);
  if (IsDirectory(path)) return URLFor(path, true);
  return nullptr;
}

Boolean CFBundleIsExecutableLoaded(CFBundleRef bundle) {
  const __CFBundle* b = Bundle(bundle);
  if (!b) return false;
  if (b->mHandle) return true;
  std::string path = ExecutablePath(b);
  if (path.empty()) return false;
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle) dlclose(handle);
  return handle != nullptr;
}

Boolean CFBundleLoadExecutable(CFBundleRef bundle) {
  __CFBundle* b = Bundle(bundle);
  if (!b) return false;
  std::lock_guard<std::mutex> lock(RegistryMutex());
  if (b->mHandle) return true;
  std::string path = ExecutablePath(b);
  if (path.empty()) return false;
  b->mHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  return b->mHandle != nullptr;
}

void* CFBundleGetFunctionPointerForName(CFBundleRef bundle, CFStringRef functionName) {
  __CFBundle* b = Bundle(bundle);
  if (!b || !functionName || !CFBundleLoadExecutable(bundle)) return nullptr;
  return dlsym(b->mHandle, CFStringUTF8(functionName).c_str());
}

void CFBundleLinuxSetMainBundleIdentifier(CFStringRef bundleID) {
  __CFBundle* main = Bundle(CFBundleGetMainBundle());
  if (!main) return;
  CFStringRef copy = bundleID ? CFStringCreateCopy(nullptr, bundleID) : nullptr;
  std::lock_guard<std::mutex> lock(RegistryMutex());
  CFRelease(main->mIdentifierOverride);
  main->mIdentifierOverride = copy;
}
