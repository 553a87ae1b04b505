// Reading a property list (a preset file, a saved state, an Info.plist) of n entries: the time
// per entry should not grow with n. Reported in entries and bytes per second; the largest XML
// case is a document of about 4.5 MB.

#include <CoreFoundation/CoreFoundation.h>
#include <benchmark/benchmark.h>

#include <string>

namespace {

enum Shape { kArray, kDictionary };

// One array of n numbers, or one dictionary of n keys.
CFPropertyListRef Make(Shape shape, int n) {
  CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
  CFMutableDictionaryRef dictionary = CFDictionaryCreateMutable(
      nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  for (SInt32 i = 0; i < n; ++i) {
    CFNumberRef number = CFNumberCreate(nullptr, kCFNumberSInt32Type, &i);
    CFStringRef key = CFStringCreateWithCString(nullptr, ("key " + std::to_string(i)).c_str(),
                                                kCFStringEncodingUTF8);
    CFArrayAppendValue(array, number);
    CFDictionarySetValue(dictionary, key, number);
    CFRelease(key);
    CFRelease(number);
  }
  if (shape == kArray) {
    CFRelease(dictionary);
    return array;
  }
  CFRelease(array);
  return dictionary;
}

void BM_ReadPropertyList(benchmark::State& state, Shape shape, CFPropertyListFormat format) {
  const int n = static_cast<int>(state.range(0));
  CFPropertyListRef list = Make(shape, n);
  CFDataRef bytes = CFPropertyListCreateData(nullptr, list, format, 0, nullptr);
  CFRelease(list);
  for (auto _ : state) {
    CFPropertyListRef read = CFPropertyListCreateWithData(nullptr, bytes, 0, nullptr, nullptr);
    if (!read) state.SkipWithError("the list was not read");
    CFRelease(read);
  }
  state.SetItemsProcessed(state.iterations() * n);
  state.SetBytesProcessed(state.iterations() * CFDataGetLength(bytes));
  CFRelease(bytes);
}

}  // namespace

BENCHMARK_CAPTURE(BM_ReadPropertyList, binary_array, kArray, kCFPropertyListBinaryFormat_v1_0)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadPropertyList, binary_dictionary, kDictionary,
                  kCFPropertyListBinaryFormat_v1_0)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadPropertyList, xml_dictionary, kDictionary, kCFPropertyListXMLFormat_v1_0)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond);
