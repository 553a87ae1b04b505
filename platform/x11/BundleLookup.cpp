#include "platform/x11/BundleLookup.h"

#include <CoreFoundation/CoreFoundation.h>
#include <limits.h>

#include <cstring>

namespace {

enum class Part { kResources, kExecutable, kBundle };

bool BundlePath(const char* bundleID, Part part, UTL_String* out) {
  if (!bundleID || !*bundleID) return false;
  CFStringRef id = CFStringCreateWithCString(nullptr, bundleID, kCFStringEncodingUTF8);
  if (!id) return false;
  CFBundleRef bundle = CFBundleGetBundleWithIdentifier(id);
  CFRelease(id);
  if (!bundle) return false;
  CFURLRef url = part == Part::kResources    ? CFBundleCopyResourcesDirectoryURL(bundle)
                 : part == Part::kExecutable ? CFBundleCopyExecutableURL(bundle)
                                             : CFBundleCopyBundleURL(bundle);
  if (!url) return false;
  char path[PATH_MAX];
  bool ok = CFURLGetFileSystemRepresentation(url, true, (UInt8*)path, sizeof path) && path[0];
  CFRelease(url);
  if (ok) out->Set(path);
  return ok;
}

}  // namespace

bool BundleResourcesFolder(const char* bundleID, UTL_String* folder) {
  return BundlePath(bundleID, Part::kResources, folder);
}

bool BundleExecutablePath(const char* bundleID, UTL_String* path) {
  return BundlePath(bundleID, Part::kExecutable, path);
}

bool BundleParentFolder(const char* bundleID, UTL_String* folder) {
  UTL_String bundle;
  if (!BundlePath(bundleID, Part::kBundle, &bundle)) return false;
  const char* path = bundle.Get();
  int len = bundle.GetLength();
  while (len > 1 && path[len - 1] == '/') --len;  // a folder URL may end in "/"
  while (len > 0 && path[len - 1] != '/') --len;
  if (len == 0) return false;
  folder->Set(path, len);
  return true;
}
