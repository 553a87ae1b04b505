#include "host/AUPresetFile.h"

#include <fstream>
#include <sstream>

#include "host/SafeFileWriter.h"

namespace {

std::string Describe(CFErrorRef error) {
  CFStringRef text = CFErrorCopyDescription(error);
  char buf[512] = "";
  if (text) CFStringGetCString(text, buf, sizeof(buf), kCFStringEncodingUTF8);
  if (text) CFRelease(text);
  return buf;
}

}  // namespace

bool WriteAUPresetFile(const std::string& path, CFPropertyListRef classInfo,
                       CFPropertyListFormat format, HostError* error) {
  HostError local;
  HostError& err = error ? *error : local;
  CFErrorRef cfError = nullptr;
  CFDataRef data = CFPropertyListCreateData(nullptr, classInfo, format, 0, &cfError);
  if (!data) {
    err.Set(kHostErr_BadFile,
            "the state cannot be written as a property list: " + Describe(cfError));
    if (cfError) CFRelease(cfError);
    return false;
  }
  std::string failure;
  const bool written = WriteFileSafely(path, CFDataGetBytePtr(data),
                                       static_cast<size_t>(CFDataGetLength(data)), &failure);
  CFRelease(data);
  if (!written) {
    err.Set(kHostErr_BadFile, failure);
    return false;
  }
  return true;
}

CFDictionaryRef ReadAUPresetFile(const std::string& path, HostError* error) {
  HostError local;
  HostError& err = error ? *error : local;
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    err.Set(kHostErr_FileNotFound, "cannot read " + path);
    return nullptr;
  }
  std::stringstream bytes;
  bytes << file.rdbuf();
  const std::string content = bytes.str();
  CFDataRef data = CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(content.data()),
                                static_cast<CFIndex>(content.size()));
  CFErrorRef cfError = nullptr;
  CFPropertyListRef plist =
      CFPropertyListCreateWithData(nullptr, data, kCFPropertyListImmutable, nullptr, &cfError);
  CFRelease(data);
  if (!plist) {
    err.Set(kHostErr_BadFile, path + " is not a preset file: " + Describe(cfError));
    if (cfError) CFRelease(cfError);
    return nullptr;
  }
  if (CFGetTypeID(plist) != CFDictionaryGetTypeID()) {
    CFRelease(plist);
    err.Set(kHostErr_BadFile, path + " does not hold a dictionary");
    return nullptr;
  }
  return static_cast<CFDictionaryRef>(plist);
}
