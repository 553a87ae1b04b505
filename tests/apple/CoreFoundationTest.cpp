#include <CoreFoundation/CoreFoundation.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Text(CFStringRef s) {
  char buf[512];
  return CFStringGetCString(s, buf, sizeof(buf), kCFStringEncodingUTF8) ? buf : "<fail>";
}

// Array and dictionary values that record what the container did with them.
struct Tracked {
  int retains = 0;
  int releases = 0;
  int id = 0;
};
const void* TrackedRetain(CFAllocatorRef, const void* v) {
  ++static_cast<Tracked*>(const_cast<void*>(v))->retains;
  return v;
}
void TrackedRelease(CFAllocatorRef, const void* v) {
  ++static_cast<Tracked*>(const_cast<void*>(v))->releases;
}
CFStringRef TrackedDescribe(const void* v) {
  return CFStringCreateWithFormat(nullptr, nullptr, CFSTR("T%d"),
                                  static_cast<const Tracked*>(v)->id);
}
Boolean TrackedEqual(const void* a, const void* b) {
  return static_cast<const Tracked*>(a)->id == static_cast<const Tracked*>(b)->id;
}
const CFArrayCallBacks kTrackedCallBacks = {0, TrackedRetain, TrackedRelease, TrackedDescribe,
                                            TrackedEqual};

}  // namespace

TEST(CFBase, RetainCountsAndNullSafety) {
  CFStringRef s = CFStringCreateWithCString(nullptr, "x", kCFStringEncodingUTF8);
  EXPECT_EQ(CFGetRetainCount(s), 1);
  EXPECT_EQ(CFRetain(s), s);
  EXPECT_EQ(CFGetRetainCount(s), 2);
  CFRelease(s);
  EXPECT_EQ(CFGetRetainCount(s), 1);
  CFRelease(s);
  CFRelease(nullptr);
  EXPECT_EQ(CFRetain(nullptr), nullptr);
  EXPECT_EQ(CFGetTypeID(nullptr), 0u);
  // Constant strings are shared and never freed.
  EXPECT_EQ(CFSTR("same"), CFSTR("same"));
  CFRelease(CFSTR("same"));
  EXPECT_EQ(Text(CFSTR("same")), "same");
}

TEST(CFBase, CustomAllocatorIsUsedAndReleased) {
  struct Counts {
    int allocs = 0, frees = 0, released = 0;
  } counts;
  CFAllocatorContext context = {};
  context.info = &counts;
  context.release = [](const void* info) {
    ++static_cast<Counts*>(const_cast<void*>(info))->released;
  };
  context.allocate = [](CFIndex size, CFOptionFlags, void* info) -> void* {
    ++static_cast<Counts*>(info)->allocs;
    return malloc(size);
  };
  context.deallocate = [](void* p, void* info) {
    ++static_cast<Counts*>(info)->frees;
    free(p);
  };
  CFAllocatorRef a = CFAllocatorCreate(nullptr, &context);
  void* p = CFAllocatorAllocate(a, 16, 0);
  ASSERT_NE(p, nullptr);
  CFAllocatorDeallocate(a, p);
  EXPECT_EQ(counts.allocs, 1);
  EXPECT_EQ(counts.frees, 1);
  CFRelease(a);
  EXPECT_EQ(counts.released, 1);
  EXPECT_EQ(CFAllocatorAllocate(kCFAllocatorNull, 16, 0), nullptr);
}

TEST(CFString, EncodingsLengthsAndBuffers) {
  // "Größe €" with a character outside the BMP appended.
  CFStringRef s = CFStringCreateWithCString(nullptr,
                                            "Gr\xC3\xB6\xC3\x9F"
                                            "e \xE2\x82\xAC\xF0\x9F\x8E\xB5",
                                            kCFStringEncodingUTF8);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(CFStringGetLength(s), 9);  // the last character counts as a surrogate pair
  char small[8];
  EXPECT_FALSE(CFStringGetCString(s, small, sizeof(small), kCFStringEncodingUTF8));
  EXPECT_STREQ(small, "");
  char latin[32];
  EXPECT_FALSE(CFStringGetCString(s, latin, sizeof(latin), kCFStringEncodingISOLatin1));
  CFRelease(s);

  CFStringRef roman = CFStringCreateWithCString(nullptr, "caf\x8E \xDB", kCFStringEncodingMacRoman);
  EXPECT_EQ(Text(roman), "caf\xC3\xA9 \xE2\x82\xAC");
  char back[16];
  ASSERT_TRUE(CFStringGetCString(roman, back, sizeof(back), kCFStringEncodingMacRoman));
  EXPECT_STREQ(back, "caf\x8E \xDB");
  CFRelease(roman);

  EXPECT_EQ(CFStringCreateWithCString(nullptr, "\xC3\x28", kCFStringEncodingUTF8), nullptr);
  EXPECT_EQ(CFStringCreateWithCString(nullptr, "\xC0\xAF", kCFStringEncodingUTF8), nullptr);
  EXPECT_EQ(CFStringCreateWithCString(nullptr, "\xE9", kCFStringEncodingASCII), nullptr);
  EXPECT_EQ(CFStringCreateWithCString(nullptr, nullptr, kCFStringEncodingUTF8), nullptr);

  const UniChar units[] = {0x48, 0xD83C, 0xDFB5, 0xD800};
  CFStringRef fromUnits = CFStringCreateWithCharacters(nullptr, units, 4);
  EXPECT_EQ(Text(fromUnits), "H\xF0\x9F\x8E\xB5\xEF\xBF\xBD");
  EXPECT_EQ(CFStringGetCharacterAtIndex(fromUnits, 1), 0xD83C);
  CFRelease(fromUnits);
}

TEST(CFString, CompareCopyAndFormat) {
  EXPECT_EQ(CFStringCompare(CFSTR("abc"), CFSTR("abd"), 0), kCFCompareLessThan);
  EXPECT_EQ(CFStringCompare(CFSTR("ABC"), CFSTR("abc"), kCFCompareCaseInsensitive),
            kCFCompareEqualTo);
  EXPECT_NE(CFStringCompare(CFSTR("ABC"), CFSTR("abc"), 0), kCFCompareEqualTo);

  CFMutableStringRef m = CFStringCreateMutable(nullptr, 0);
  CFStringAppendCString(m, "one", kCFStringEncodingUTF8);
  CFStringRef copy = CFStringCreateCopy(nullptr, m);
  CFStringAppend(m, CFSTR(" two"));
  EXPECT_EQ(Text(copy), "one");  // the copy does not follow the mutable original
  EXPECT_EQ(Text(m), "one two");
  EXPECT_TRUE(CFEqual(copy, CFSTR("one")));
  EXPECT_EQ(CFHash(copy), CFHash(CFSTR("one")));
  CFRelease(copy);
  CFRelease(m);

  CFStringRef f =
      CFStringCreateWithFormat(nullptr, nullptr, CFSTR("%@|%d|%5.2f|%s|%lld|%x|%%|%*d|%@"),
                               CFSTR("name"), -7, 3.14159, "c", 1LL << 40, 255, 4, 9, nullptr);
  EXPECT_EQ(Text(f), "name|-7| 3.14|c|1099511627776|ff|%|   9|(null)");
  CFRelease(f);
  CFStringRef cut = CFStringCreateWithFormat(nullptr, nullptr, CFSTR("[%.3s|%-6@|%300d]"), "abcdef",
                                             CFSTR("ab"), 1);
  EXPECT_EQ(Text(cut).substr(0, 14), "[abc|ab    |  ");
  EXPECT_EQ(CFStringGetLength(cut), 313);
  CFRelease(cut);
  std::string longArg(2000, 'x');
  CFStringRef big = CFStringCreateWithFormat(nullptr, nullptr, CFSTR("<%s>"), longArg.c_str());
  EXPECT_EQ(CFStringGetLength(big), 2002);
  CFRelease(big);
}

TEST(CFNumber, ConversionsReportLoss) {
  SInt32 i = -123456;
  CFNumberRef n = CFNumberCreate(nullptr, kCFNumberSInt32Type, &i);
  SInt64 wide = 0;
  EXPECT_TRUE(CFNumberGetValue(n, kCFNumberSInt64Type, &wide));
  EXPECT_EQ(wide, -123456);
  SInt16 narrow = 0;
  EXPECT_FALSE(CFNumberGetValue(n, kCFNumberSInt16Type, &narrow));
  double d = 0;
  EXPECT_TRUE(CFNumberGetValue(n, kCFNumberFloat64Type, &d));
  EXPECT_EQ(d, -123456.0);
  EXPECT_FALSE(CFNumberIsFloatType(n));

  double half = 2.5;
  CFNumberRef h = CFNumberCreate(nullptr, kCFNumberFloat64Type, &half);
  SInt32 truncated = 0;
  EXPECT_FALSE(CFNumberGetValue(h, kCFNumberSInt32Type, &truncated));
  EXPECT_EQ(truncated, 2);
  double two = -123456.0;
  CFNumberRef same = CFNumberCreate(nullptr, kCFNumberDoubleType, &two);
  EXPECT_TRUE(CFEqual(n, same));
  EXPECT_EQ(CFNumberCompare(n, h, nullptr), kCFCompareLessThan);
  EXPECT_EQ(CFNumberCreate(nullptr, 99, &i), nullptr);
  EXPECT_EQ(CFNumberCreate(nullptr, kCFNumberSInt32Type, nullptr), nullptr);
  CFRelease(n);
  CFRelease(h);
  CFRelease(same);
}

TEST(CFArray, CallbacksAreHonoured) {
  Tracked a{0, 0, 1}, b{0, 0, 2}, b2{0, 0, 2};
  CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 0, &kTrackedCallBacks);
  CFArrayAppendValue(array, &a);
  CFArrayAppendValue(array, &b);
  EXPECT_EQ(a.retains, 1);
  EXPECT_EQ(CFArrayGetCount(array), 2);
  // Search uses the equality callback: b2 equals b.
  EXPECT_EQ(CFArrayGetFirstIndexOfValue(array, CFRangeMake(0, 2), &b2), 1);
  EXPECT_EQ(CFArrayGetValueAtIndex(array, 5), nullptr);

  CFStringRef description = CFCopyDescription(array);
  EXPECT_NE(Text(description).find("T1,\n    T2,"), std::string::npos);
  CFRelease(description);

  // Replacing a value with itself must not free it in between.
  CFArraySetValueAtIndex(array, 0, &a);
  EXPECT_EQ(a.retains, 2);
  EXPECT_EQ(a.releases, 1);

  CFArrayRef copy = CFArrayCreateCopy(nullptr, array);
  EXPECT_EQ(b.retains, 2);
  EXPECT_TRUE(CFEqual(copy, array));
  CFArrayRemoveValueAtIndex(array, 1);
  EXPECT_EQ(b.releases, 1);
  CFRelease(array);
  EXPECT_EQ(a.releases, 2);
  CFRelease(copy);
  EXPECT_EQ(a.retains, a.releases);
  EXPECT_EQ(b.retains, b.releases);
}

TEST(CFArray, TypeCallbacksRetainObjects) {
  CFStringRef s = CFStringCreateWithCString(nullptr, "v", kCFStringEncodingUTF8);
  const void* values[] = {s, s};
  CFArrayRef array = CFArrayCreate(nullptr, values, 2, &kCFTypeArrayCallBacks);
  EXPECT_EQ(CFGetRetainCount(s), 3);
  CFRelease(array);
  EXPECT_EQ(CFGetRetainCount(s), 1);
  CFRelease(s);
}

TEST(CFDictionary, LookUpReplaceRemove) {
  CFMutableDictionaryRef d = CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks,
                                                       &kCFTypeDictionaryValueCallBacks);
  CFStringRef key = CFStringCreateWithCString(nullptr, "name", kCFStringEncodingUTF8);
  CFStringRef v1 = CFStringCreateWithCString(nullptr, "one", kCFStringEncodingUTF8);
  CFStringRef v2 = CFStringCreateWithCString(nullptr, "two", kCFStringEncodingUTF8);
  CFDictionarySetValue(d, key, v1);
  CFDictionaryAddValue(d, CFSTR("name"), v2);             // Add never replaces
  EXPECT_EQ(CFDictionaryGetValue(d, CFSTR("name")), v1);  // equal key, different object
  CFDictionarySetValue(d, CFSTR("name"), v2);
  EXPECT_EQ(CFGetRetainCount(v1), 1);
  EXPECT_EQ(CFGetRetainCount(v2), 2);
  CFDictionaryReplaceValue(d, CFSTR("missing"), v1);
  EXPECT_EQ(CFDictionaryGetCount(d), 1);
  CFDictionarySetValue(d, CFSTR("a"), v1);
  const void* keys[2];
  CFDictionaryGetKeysAndValues(d, keys, nullptr);
  EXPECT_TRUE(CFEqual(keys[0], CFSTR("name")));  // insertion order
  EXPECT_TRUE(CFEqual(keys[1], CFSTR("a")));

  CFDictionaryRef copy = CFDictionaryCreateCopy(nullptr, d);
  EXPECT_TRUE(CFEqual(copy, d));
  CFDictionaryRemoveValue(d, CFSTR("name"));
  EXPECT_FALSE(CFEqual(copy, d));
  EXPECT_FALSE(CFDictionaryContainsKey(d, key));
  CFRelease(copy);
  EXPECT_EQ(CFGetRetainCount(v2), 1);
  CFRelease(d);
  EXPECT_EQ(CFGetRetainCount(v1), 1);
  CFRelease(key);
  CFRelease(v1);
  CFRelease(v2);
}

TEST(CFDictionary, NullCallbacksCompareByPointer) {
  static char k1[] = "k", k2[] = "k";
  CFMutableDictionaryRef d = CFDictionaryCreateMutable(nullptr, 0, nullptr, nullptr);
  CFDictionarySetValue(d, k1, k2);
  EXPECT_EQ(CFDictionaryGetValue(d, k1), k2);
  EXPECT_EQ(CFDictionaryGetValue(d, k2), nullptr);
  CFRelease(d);
}

TEST(CFData, MutableAndImmutable) {
  const UInt8 bytes[] = {1, 2, 3};
  CFDataRef d = CFDataCreate(nullptr, bytes, 3);
  CFMutableDataRef m = CFDataCreateMutableCopy(nullptr, 0, d);
  CFDataAppendBytes(m, bytes, 2);
  CFDataIncreaseLength(m, 1);
  ASSERT_EQ(CFDataGetLength(m), 6);
  EXPECT_EQ(CFDataGetBytePtr(m)[5], 0);
  EXPECT_EQ(CFDataGetMutableBytePtr(reinterpret_cast<CFMutableDataRef>(const_cast<__CFData*>(d))),
            nullptr);  // immutable data cannot be written through
  UInt8 out[2] = {9, 9};
  CFDataGetBytes(m, CFRangeMake(5, 2), out);  // out of range: untouched
  EXPECT_EQ(out[0], 9);
  CFDataGetBytes(m, CFRangeMake(3, 2), out);
  EXPECT_EQ(out[1], 2);
  EXPECT_EQ(CFDataCreate(nullptr, nullptr, 4), nullptr);
  CFRelease(d);
  CFRelease(m);
}
