// Property lists from any bytes (XML and binary): read, and what was read written back in both
// formats and read again. Not compared: dates keep microseconds and integers 64 bits when written.

#include <CoreFoundation/CoreFoundation.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CFDataRef bytes = CFDataCreate(nullptr, data, static_cast<CFIndex>(size));
  CFErrorRef error = nullptr;
  CFPropertyListRef plist =
      CFPropertyListCreateWithData(nullptr, bytes, kCFPropertyListImmutable, nullptr, &error);
  CFRelease(bytes);
  // Exactly one of the two comes back.
  if ((plist == nullptr) == (error == nullptr)) __builtin_trap();
  if (error) CFRelease(error);
  if (!plist) return 0;
  for (CFPropertyListFormat format :
       {kCFPropertyListXMLFormat_v1_0, kCFPropertyListBinaryFormat_v1_0}) {
    CFDataRef written = CFPropertyListCreateData(nullptr, plist, format, 0, nullptr);
    if (!written) continue;  // e.g. a text holding NUL, which neither format can carry
    CFPropertyListRef again = CFPropertyListCreateWithData(nullptr, written, 0, nullptr, nullptr);
    if (!again) __builtin_trap();
    CFRelease(again);
    CFRelease(written);
  }
  CFRelease(plist);
  return 0;
}
