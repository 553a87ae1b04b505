#include "host/AUPresetFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

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
  // Write beside the target and rename, so a failed write never leaves half a preset.
  const std::string temporary = path + ".partial";
  std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(CFDataGetBytePtr(data)), CFDataGetLength(data));
  file.close();
  CFRelease(data);
  if (!file || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    err.Set(kHostErr_BadFile, "cannot write " + path + ": " + strerror(errno));
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
