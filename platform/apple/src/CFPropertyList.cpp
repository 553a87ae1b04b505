// Property lists read and written through libplist (XML and binary formats).

#include <plist/plist.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "CFRuntime.h"
#include "PropertyListCheck.h"

namespace {

using PropertyListCheck::kMaxDepth;

struct PlistDeleter {
  void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

CFErrorRef MakeError(CFIndex code, const std::string& description) {
  CFStringRef text = CFStringCreateFromUTF8(description);
  const void* keys[] = {kCFErrorDescriptionKey};
  const void* values[] = {text};
  CFDictionaryRef info = CFDictionaryCreate(
      nullptr, keys, values, 1, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  CFErrorRef error = CFErrorCreate(nullptr, kCFErrorDomainCocoa, code, info);
  CFRelease(info);
  CFRelease(text);
  return error;
}

void Report(CFErrorRef* error, CFIndex code, const std::string& description) {
  if (error) *error = MakeError(code, description);
}

// CF to libplist. Null (with a reason) when some object cannot be written.
plist_t ToPlist(CFTypeRef cf, bool sortKeys, int depth, std::string& why) {
  if (depth > kMaxDepth) {
    why = "nesting too deep";
    return nullptr;
  }
  const CFTypeID type = CFGetTypeID(cf);
  if (type == CFStringGetTypeID()) {
    const std::string& text = CFStringUTF8(static_cast<CFStringRef>(cf));
    if (text.find('\0') != std::string::npos) {
      why = "string with an embedded NUL";
      return nullptr;
    }
    return plist_new_string(text.c_str());
  }
  if (type == CFNumberGetTypeID()) {
    auto n = static_cast<CFNumberRef>(cf);
    if (CFNumberIsFloatType(n)) {
      double d = 0;
      CFNumberGetValue(n, kCFNumberFloat64Type, &d);
      return plist_new_real(d);
    }
    SInt64 v = 0;
    CFNumberGetValue(n, kCFNumberSInt64Type, &v);
    // libplist keeps integers as 64-bit patterns and writes negative ones as signed.
    return plist_new_uint(static_cast<uint64_t>(v));
  }
  if (type == CFBooleanGetTypeID())
    return plist_new_bool(CFBooleanGetValue(static_cast<CFBooleanRef>(cf)));
  if (type == CFDataGetTypeID()) {
    auto d = static_cast<CFDataRef>(cf);
    return plist_new_data(reinterpret_cast<const char*>(CFDataGetBytePtr(d)),
                          static_cast<uint64_t>(CFDataGetLength(d)));
  }
  if (type == CFDateGetTypeID()) {
    double t = CFDateGetAbsoluteTime(static_cast<CFDateRef>(cf));
    double sec = std::floor(t);
    if (sec < INT32_MIN || sec > INT32_MAX) {
      why = "date out of range";
      return nullptr;
    }
    return plist_new_date(static_cast<int32_t>(sec), static_cast<int32_t>((t - sec) * 1e6));
  }
  if (type == CFArrayGetTypeID()) {
    auto a = static_cast<CFArrayRef>(cf);
    PlistPtr node(plist_new_array());
    for (CFIndex i = 0; i < CFArrayGetCount(a); ++i) {
      plist_t item = ToPlist(CFArrayGetValueAtIndex(a, i), sortKeys, depth + 1, why);
      if (!item) return nullptr;
      plist_array_append_item(node.get(), item);
    }
    return node.release();
  }
  if (type == CFDictionaryGetTypeID()) {
    auto d = static_cast<CFDictionaryRef>(cf);
    const CFIndex n = CFDictionaryGetCount(d);
    std::vector<const void*> keys(n), values(n);
    CFDictionaryGetKeysAndValues(d, keys.data(), values.data());
    std::vector<std::pair<std::string, const void*>> entries;
    for (CFIndex i = 0; i < n; ++i) {
      if (CFGetTypeID(keys[i]) != CFStringGetTypeID()) {
        why = "dictionary key that is not a string";
        return nullptr;
      }
      entries.emplace_back(CFStringUTF8(static_cast<CFStringRef>(keys[i])), values[i]);
    }
    // The Mac writes XML dictionaries with their keys in order.
    if (sortKeys)
      std::stable_sort(entries.begin(), entries.end(),
                       [](const auto& a, const auto& b) { return a.first < b.first; });
    PlistPtr node(plist_new_dict());
    for (const auto& [key, value] : entries) {
      if (key.find('\0') != std::string::npos) {
        why = "key with an embedded NUL";
        return nullptr;
      }
      plist_t item = ToPlist(value, sortKeys, depth + 1, why);
      if (!item) return nullptr;
      plist_dict_set_item(node.get(), key.c_str(), item);
    }
    return node.release();
  }
  why = cf ? "object of a type property lists cannot hold" : "null object";
  return nullptr;
}

// libplist to CF. Null (with a reason) for node types CF does not have.
CFTypeRef FromPlist(plist_t node, CFOptionFlags options, int depth, std::string& why) {
  if (depth > kMaxDepth) {
    why = "nesting too deep";
    return nullptr;
  }
  const bool mutableContainers =
      options & (kCFPropertyListMutableContainers | kCFPropertyListMutableContainersAndLeaves);
  const bool mutableLeaves = options & kCFPropertyListMutableContainersAndLeaves;
  switch (plist_get_node_type(node)) {
    case PLIST_STRING: {
      uint64_t length = 0;
      const char* text = plist_get_string_ptr(node, &length);
      CFStringRef s =
          CFStringCreateWithBytes(nullptr, reinterpret_cast<const UInt8*>(text),
                                  static_cast<CFIndex>(length), kCFStringEncodingUTF8, false);
      if (!s) {
        why = "string that is not UTF-8";
        return nullptr;
      }
      if (!mutableLeaves) return s;
      CFMutableStringRef m = CFStringCreateMutableCopy(nullptr, 0, s);
      CFRelease(s);
      return m;
    }
    case PLIST_UINT: {
      uint64_t raw = 0;
      plist_get_uint_val(node, &raw);
      SInt64 v = static_cast<SInt64>(raw);
      return CFNumberCreate(nullptr, kCFNumberSInt64Type, &v);
    }
    case PLIST_REAL: {
      double d = 0;
      plist_get_real_val(node, &d);
      return CFNumberCreate(nullptr, kCFNumberFloat64Type, &d);
    }
    case PLIST_BOOLEAN: {
      uint8_t b = 0;
      plist_get_bool_val(node, &b);
      return b ? kCFBooleanTrue : kCFBooleanFalse;
    }
    case PLIST_DATA: {
      uint64_t length = 0;
      const char* bytes = plist_get_data_ptr(node, &length);
      auto* u = reinterpret_cast<const UInt8*>(bytes);
      if (!mutableLeaves) return CFDataCreate(nullptr, u, static_cast<CFIndex>(length));
      CFMutableDataRef m = CFDataCreateMutable(nullptr, 0);
      CFDataAppendBytes(m, u, static_cast<CFIndex>(length));
      return m;
    }
    case PLIST_DATE: {
      int32_t sec = 0, usec = 0;
      plist_get_date_val(node, &sec, &usec);
      return CFDateCreate(nullptr, sec + usec * 1e-6);
    }
    case PLIST_ARRAY: {
      CFMutableArrayRef a = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
      // By iterator: the binary reader's arrays have no index, so fetching item i walks i links.
      plist_array_iter it = nullptr;
      plist_array_new_iter(node, &it);
      for (plist_t element = nullptr;;) {
        plist_array_next_item(node, it, &element);
        if (!element) break;
        CFTypeRef item = FromPlist(element, options, depth + 1, why);
        if (!item) {
          free(it);
          CFRelease(a);
          return nullptr;
        }
        CFArrayAppendValue(a, item);
        CFRelease(item);
      }
      free(it);
      if (mutableContainers) return a;
      CFArrayRef copy = CFArrayCreateCopy(nullptr, a);
      CFRelease(a);
      return copy;
    }
    case PLIST_DICT: {
      CFMutableDictionaryRef d = CFDictionaryCreateMutable(
          nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
      plist_dict_iter it = nullptr;
      plist_dict_new_iter(node, &it);
      bool ok = true;
      while (ok) {
        plist_t value = nullptr;
        plist_dict_next_item(node, it, nullptr, &value);
        if (!value) break;
        // Reading a key asserts unless it is a key node; the byte checks kept NULs out of it.
        plist_t keyNode = plist_dict_item_get_key(value);
        char* key = nullptr;
        if (plist_get_node_type(keyNode) == PLIST_KEY) plist_get_key_val(keyNode, &key);
        CFStringRef k =
            key ? CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8) : nullptr;
        free(key);
        CFTypeRef v = k ? FromPlist(value, options, depth + 1, why) : nullptr;
        if (!k && why.empty()) why = "key that is not UTF-8";
        if (k && v) CFDictionarySetValue(d, k, v);
        ok = k && v;
        CFRelease(k);
        CFRelease(v);
      }
      free(it);
      if (!ok) {
        CFRelease(d);
        return nullptr;
      }
      if (mutableContainers) return d;
      CFDictionaryRef copy = CFDictionaryCreateCopy(nullptr, d);
      CFRelease(d);
      return copy;
    }
    default:
      why = "element type without a Core Foundation counterpart";
      return nullptr;
  }
}

bool LooksBinary(const UInt8* bytes, CFIndex length) {
  return length >= 8 && std::equal(bytes, bytes + 6, reinterpret_cast<const UInt8*>("bplist"));
}

}  // namespace

Boolean CFPropertyListIsValid(CFPropertyListRef plist, CFPropertyListFormat format) {
  if (format != kCFPropertyListXMLFormat_v1_0 && format != kCFPropertyListBinaryFormat_v1_0)
    return false;
  std::string why;
  PlistPtr node(ToPlist(plist, false, 0, why));
  return node != nullptr;
}

CFDataRef CFPropertyListCreateData(CFAllocatorRef allocator, CFPropertyListRef propertyList,
                                   CFPropertyListFormat format, CFOptionFlags, CFErrorRef* error) {
  if (error) *error = nullptr;
  if (format != kCFPropertyListXMLFormat_v1_0 && format != kCFPropertyListBinaryFormat_v1_0) {
    Report(error, kCFPropertyListWriteInvalidError, "Property list format cannot be written");
    return nullptr;
  }
  const bool xml = format == kCFPropertyListXMLFormat_v1_0;
  std::string why;
  PlistPtr node(ToPlist(propertyList, xml, 0, why));
  if (!node) {
    Report(error, kCFPropertyListWriteInvalidError, "Property list invalid for format: " + why);
    return nullptr;
  }
  char* bytes = nullptr;
  uint32_t length = 0;
  if (xml)
    plist_to_xml(node.get(), &bytes, &length);
  else
    plist_to_bin(node.get(), &bytes, &length);
  if (!bytes) {
    Report(error, kCFPropertyListWriteStreamError, "Property list could not be written");
    return nullptr;
  }
  CFDataRef data =
      CFDataCreate(allocator, reinterpret_cast<const UInt8*>(bytes), static_cast<CFIndex>(length));
  if (xml)
    plist_to_xml_free(bytes);
  else
    plist_to_bin_free(bytes);
  return data;
}

CFPropertyListRef CFPropertyListCreateWithData(CFAllocatorRef, CFDataRef data,
                                               CFOptionFlags options, CFPropertyListFormat* format,
                                               CFErrorRef* error) {
  if (error) *error = nullptr;
  const CFIndex length = CFDataGetLength(data);
  const UInt8* bytes = CFDataGetBytePtr(data);
  if (!bytes || length <= 0 || length > static_cast<CFIndex>(UINT32_MAX)) {
    Report(error, kCFPropertyListReadCorruptError, "Property list data is empty");
    return nullptr;
  }
  const bool binary = LooksBinary(bytes, length);
  const std::string wrong = binary ? PropertyListCheck::Binary(bytes, static_cast<size_t>(length))
                                   : PropertyListCheck::Xml(bytes, static_cast<size_t>(length));
  if (!wrong.empty()) {
    Report(error, kCFPropertyListReadCorruptError, "Property list not readable: " + wrong);
    return nullptr;
  }
  plist_t root = nullptr;
  if (binary)
    plist_from_bin(reinterpret_cast<const char*>(bytes), static_cast<uint32_t>(length), &root);
  else
    plist_from_xml(reinterpret_cast<const char*>(bytes), static_cast<uint32_t>(length), &root);
  PlistPtr node(root);
  if (!node) {
    Report(error, kCFPropertyListReadCorruptError,
           binary ? "Binary property list is malformed" : "XML property list is malformed");
    return nullptr;
  }
  std::string why;
  CFTypeRef result = FromPlist(node.get(), options, 0, why);
  if (!result) {
    Report(error, kCFPropertyListReadCorruptError, "Property list not readable: " + why);
    return nullptr;
  }
  if (format) *format = binary ? kCFPropertyListBinaryFormat_v1_0 : kCFPropertyListXMLFormat_v1_0;
  return result;
}

CFPropertyListRef CFPropertyListCreateDeepCopy(CFAllocatorRef, CFPropertyListRef propertyList,
                                               CFOptionFlags mutabilityOption) {
  std::string why;
  PlistPtr node(ToPlist(propertyList, false, 0, why));
  return node ? FromPlist(node.get(), mutabilityOption, 0, why) : nullptr;
}
