#include <CoreFoundation/CoreFoundation.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/RandomRun.h"

namespace {

CFNumberRef Int(SInt32 v) { return CFNumberCreate(nullptr, kCFNumberSInt32Type, &v); }

// A ClassInfo-shaped dictionary with every value type a property list holds.
CFDictionaryRef MakeSample() {
  CFMutableDictionaryRef d = CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks,
                                                       &kCFTypeDictionaryValueCallBacks);
  auto put = [&](const char* key, CFTypeRef value) {
    CFStringRef k = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
    CFDictionarySetValue(d, k, value);
    CFRelease(k);
    CFRelease(value);
  };
  put("version", Int(0x20001));
  put("type", Int(0x61756678));
  put("negative", Int(-10851));
  put("name",
      CFStringCreateWithCString(nullptr, "Stereo \xE2\x80\x93 wide", kCFStringEncodingUTF8));
  const UInt8 chunk[24] = {0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 0xFF, 0, 1, 2};
  put("data", CFDataCreate(nullptr, chunk, sizeof(chunk)));
  put("empty", CFDataCreate(nullptr, nullptr, 0));
  double real = 0.125;
  put("real", CFNumberCreate(nullptr, kCFNumberFloat64Type, &real));
  CFRetain(kCFBooleanTrue);
  put("flag", kCFBooleanTrue);
  const void* items[] = {CFSTR("a"), CFSTR("b")};
  put("list", CFArrayCreate(nullptr, items, 2, &kCFTypeArrayCallBacks));
  return d;
}

CFDataRef Bytes(const std::string& s) {
  return CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(s.data()),
                      static_cast<CFIndex>(s.size()));
}

// A binary list of the given objects (marker and payload each), the first one at the top.
std::string BinaryList(const std::vector<std::string>& objects, int refSize = 1) {
  std::string bytes = "bplist00";
  std::vector<size_t> offsets;
  for (const std::string& object : objects) {
    offsets.push_back(bytes.size());
    bytes += object;
  }
  auto bigEndian = [&](uint64_t v, int size) {
    for (int i = size - 1; i >= 0; --i) bytes += static_cast<char>(v >> (8 * i));
  };
  const size_t table = bytes.size();
  for (size_t offset : offsets) bigEndian(offset, 4);
  bytes += std::string(6, '\0') + '\4' + static_cast<char>(refSize);
  bigEndian(objects.size(), 8);
  bigEndian(0, 8);
  bigEndian(table, 8);
  return bytes;
}

// Container objects of a binary list: an array or a one-entry dictionary.
std::string Array(const std::vector<int>& refs, int refSize = 1) {
  std::string o(1, static_cast<char>(0xA0 | refs.size()));
  for (int r : refs)
    for (int i = refSize - 1; i >= 0; --i) o += static_cast<char>(r >> (8 * i));
  return o;
}

}  // namespace

TEST(CFPropertyList, RoundTripsInBothFormats) {
  CFDictionaryRef sample = MakeSample();
  for (CFPropertyListFormat format :
       {kCFPropertyListXMLFormat_v1_0, kCFPropertyListBinaryFormat_v1_0}) {
    CFErrorRef error = nullptr;
    CFDataRef data = CFPropertyListCreateData(nullptr, sample, format, 0, &error);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(error, nullptr);
    CFPropertyListFormat read = 0;
    CFPropertyListRef back =
        CFPropertyListCreateWithData(nullptr, data, kCFPropertyListImmutable, &read, &error);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(read, format);
    EXPECT_TRUE(CFEqual(back, sample));
    SInt32 negative = 0;
    EXPECT_TRUE(CFNumberGetValue(static_cast<CFNumberRef>(CFDictionaryGetValue(
                                     static_cast<CFDictionaryRef>(back), CFSTR("negative"))),
                                 kCFNumberSInt32Type, &negative));
    EXPECT_EQ(negative, -10851);
    // Writing what was read gives the same bytes again.
    CFDataRef again = CFPropertyListCreateData(nullptr, back, format, 0, nullptr);
    EXPECT_TRUE(CFEqual(again, data));
    CFRelease(again);
    CFRelease(back);
    CFRelease(data);
  }
  CFRelease(sample);
}

TEST(CFPropertyList, XmlIsWhatMacHostsWrite) {
  CFDictionaryRef sample = MakeSample();
  CFDataRef data =
      CFPropertyListCreateData(nullptr, sample, kCFPropertyListXMLFormat_v1_0, 0, nullptr);
  std::string xml(reinterpret_cast<const char*>(CFDataGetBytePtr(data)), CFDataGetLength(data));
  EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);
  EXPECT_NE(xml.find("<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\""), std::string::npos);
  EXPECT_NE(xml.find("<key>type</key>\n\t<integer>1635083896</integer>"), std::string::npos);
  EXPECT_NE(xml.find("<integer>-10851</integer>"), std::string::npos);
  EXPECT_NE(xml.find("AAAAAAAA8D//AAEC"), std::string::npos);  // base64 of the chunk
  // Keys come out sorted, so equal dictionaries give equal files.
  EXPECT_LT(xml.find("<key>data</key>"), xml.find("<key>version</key>"));
  CFRelease(data);
  CFRelease(sample);
}

TEST(CFPropertyList, MutabilityOptions) {
  CFDictionaryRef sample = MakeSample();
  CFDataRef data =
      CFPropertyListCreateData(nullptr, sample, kCFPropertyListBinaryFormat_v1_0, 0, nullptr);
  auto back = static_cast<CFMutableDictionaryRef>(const_cast<void*>(CFPropertyListCreateWithData(
      nullptr, data, kCFPropertyListMutableContainers, nullptr, nullptr)));
  CFDictionarySetValue(back, CFSTR("added"), CFSTR("yes"));
  EXPECT_EQ(CFDictionaryGetCount(back), CFDictionaryGetCount(sample) + 1);
  CFRelease(back);
  auto fixed = static_cast<CFMutableDictionaryRef>(const_cast<void*>(
      CFPropertyListCreateWithData(nullptr, data, kCFPropertyListImmutable, nullptr, nullptr)));
  CFDictionarySetValue(fixed, CFSTR("added"), CFSTR("yes"));
  EXPECT_EQ(CFDictionaryGetCount(fixed), CFDictionaryGetCount(sample));
  CFRelease(fixed);
  CFRelease(data);
  CFRelease(sample);
}

TEST(CFPropertyList, UnwritableTreesFailWithAnError) {
  CFMutableDictionaryRef d = CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks,
                                                       &kCFTypeDictionaryValueCallBacks);
  CFNumberRef key = Int(1);
  CFDictionarySetValue(d, key, CFSTR("value"));
  CFErrorRef error = nullptr;
  EXPECT_EQ(CFPropertyListCreateData(nullptr, d, kCFPropertyListXMLFormat_v1_0, 0, &error),
            nullptr);
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(CFErrorGetCode(error), kCFPropertyListWriteInvalidError);
  CFRelease(error);
  EXPECT_FALSE(CFPropertyListIsValid(d, kCFPropertyListBinaryFormat_v1_0));
  EXPECT_EQ(
      CFPropertyListCreateData(nullptr, CFSTR("x"), kCFPropertyListOpenStepFormat, 0, nullptr),
      nullptr);

  // A container holding itself must be refused, not recursed into forever.
  CFMutableArrayRef loop = CFArrayCreateMutable(nullptr, 0, nullptr);
  CFArrayAppendValue(loop, loop);
  EXPECT_EQ(CFPropertyListCreateData(nullptr, loop, kCFPropertyListBinaryFormat_v1_0, 0, nullptr),
            nullptr);
  CFRelease(loop);
  CFRelease(key);
  CFRelease(d);
}

TEST(CFPropertyList, MalformedInputGivesAnError) {
  const char* bad[] = {"",
                       "not a plist",
                       "<?xml version=\"1.0\"?><plist><dict><key>a</key>",
                       "<plist version=\"1.0\"><dict><key>a</key><integer>x</integer></dict>",
                       "bplist00\xff\xff\xff",
                       "<plist><data>%%%%</data></plist>"};
  for (const char* text : bad) {
    CFDataRef data = Bytes(text);
    CFErrorRef error = nullptr;
    CFPropertyListRef plist =
        CFPropertyListCreateWithData(nullptr, data, kCFPropertyListImmutable, nullptr, &error);
    if (plist) {
      CFRelease(plist);  // libplist is lenient with some text; it must at least not crash
    } else {
      ASSERT_NE(error, nullptr) << text;
      EXPECT_EQ(CFErrorGetCode(error), kCFPropertyListReadCorruptError);
      CFStringRef description = CFErrorCopyDescription(error);
      EXPECT_GT(CFStringGetLength(description), 0);
      CFRelease(description);
      CFRelease(error);
    }
    CFRelease(data);
  }
  EXPECT_EQ(CFPropertyListCreateWithData(nullptr, nullptr, 0, nullptr, nullptr), nullptr);
}

TEST(CFPropertyList, MutatedFilesNeverCrash) {
  CFDictionaryRef sample = MakeSample();
  RandomRun run(1234, 1500);
  std::mt19937 random((std::mt19937::result_type)run.Seed());
  for (CFPropertyListFormat format :
       {kCFPropertyListXMLFormat_v1_0, kCFPropertyListBinaryFormat_v1_0}) {
    CFDataRef data = CFPropertyListCreateData(nullptr, sample, format, 0, nullptr);
    std::string original(reinterpret_cast<const char*>(CFDataGetBytePtr(data)),
                         CFDataGetLength(data));
    CFRelease(data);
    for (int round = 0; round < run.Iterations(); ++round) {
      std::string bytes = original;
      const int edits = 1 + random() % 4;
      for (int e = 0; e < edits && !bytes.empty(); ++e) {
        size_t at = random() % bytes.size();
        switch (random() % 3) {
          case 0:
            bytes[at] = static_cast<char>(random());
            break;
          case 1:
            bytes.erase(at, 1 + random() % 8);
            break;
          default:
            bytes.resize(at + 1);
            break;
        }
      }
      CFDataRef mutated = Bytes(bytes);
      CFErrorRef error = nullptr;
      CFPropertyListRef plist = CFPropertyListCreateWithData(nullptr, mutated, 0, nullptr, &error);
      EXPECT_TRUE((plist != nullptr) != (error != nullptr));
      CFRelease(plist);
      CFRelease(error);
      CFRelease(mutated);
    }
  }
  CFRelease(sample);
}

TEST(CFPropertyList, ReadsAndRewritesAPresetAsTheMacWritesIt) {
  // The layout of an .aupreset saved on the Mac: sorted keys, tab indentation, base64 data
  // wrapped at 68 characters between lines of its own.
  const std::string mac =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
      "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
      "<plist version=\"1.0\">\n<dict>\n"
      "\t<key>data</key>\n\t<data>\n"
      "\tAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA\n"
      "\tAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA\n"
      "\tAAAAAAAA8D8=\n\t</data>\n"
      "\t<key>manufacturer</key>\n\t<integer>1366455915</integer>\n"
      "\t<key>name</key>\n\t<string>Only Stereo</string>\n"
      "\t<key>version</key>\n\t<integer>131073</integer>\n"
      "</dict>\n</plist>\n";
  CFDataRef data = Bytes(mac);
  CFPropertyListRef plist = CFPropertyListCreateWithData(nullptr, data, 0, nullptr, nullptr);
  ASSERT_NE(plist, nullptr);
  auto bytes = static_cast<CFDataRef>(
      CFDictionaryGetValue(static_cast<CFDictionaryRef>(plist), CFSTR("data")));
  ASSERT_EQ(CFDataGetLength(bytes), 110);
  EXPECT_EQ(CFDataGetBytePtr(bytes)[108], 0xF0);  // 1.0 as a little-endian double ends F0 3F
  EXPECT_EQ(CFDataGetBytePtr(bytes)[109], 0x3F);
  CFDataRef again =
      CFPropertyListCreateData(nullptr, plist, kCFPropertyListXMLFormat_v1_0, 0, nullptr);
  EXPECT_EQ(
      std::string(reinterpret_cast<const char*>(CFDataGetBytePtr(again)), CFDataGetLength(again)),
      mac);
  CFRelease(again);
  CFRelease(plist);
  CFRelease(data);
}

TEST(CFPropertyList, HostileInputIsRefusedWithAnError) {
  // A preset written in binary form whose key "data" becomes a UTF-16 text by one changed byte:
  // its units run into the data's zero bytes, so the key holds U+0000.
  CFDictionaryRef sample = MakeSample();
  CFDataRef data =
      CFPropertyListCreateData(nullptr, sample, kCFPropertyListBinaryFormat_v1_0, 0, nullptr);
  std::string preset(reinterpret_cast<const char*>(CFDataGetBytePtr(data)), CFDataGetLength(data));
  CFRelease(data);
  CFRelease(sample);
  const size_t key = preset.find("Tdata");
  ASSERT_NE(key, std::string::npos);
  ASSERT_EQ(preset.substr(key + 5, 4), std::string("O\x10\x18\0", 4));
  preset[key] = 0x66;

  std::string nestedXml = "<plist>";
  for (int i = 0; i < 100000; ++i) nestedXml += "<array>";
  std::vector<std::string> chain, doubling;
  for (int i = 0; i < 100000; ++i) chain.push_back(Array({i + 1}, 4));
  chain.push_back("\x09");
  for (int i = 0; i < 64; ++i) doubling.push_back(Array({i + 1, i + 1}));
  doubling.push_back("\x09");
  const std::string hostile[] = {
      preset,
      BinaryList({"\xD1\x01\x02", std::string("\x62\0a\0\0", 5), "\x09"}),  // "a\0"
      BinaryList({"\xD1\x01\x02", std::string("\x53\x61\0b", 5), "\x09"}),
      BinaryList({"\xD1\x01\x02", "\x10\x01", "\x09"}),  // a number as key
      BinaryList({"\xD1\x01\x00", "\x51k"}),             // a dictionary inside itself
      BinaryList({"\xD1\x01\x02", "\x51k", "\x5F\x13\x7F\xFF\xFF\xFF\xFF\xFF\xFF\xFF"}),
      BinaryList(chain, 4),  // 100000 levels deep
      BinaryList(doubling),  // 2^64 copies of one object
      std::string("<plist><dict><key>a\0b</key><true/></dict></plist>", 50),
      nestedXml,
      // Integers the reader would otherwise wrap, cut at the first wrong character or invent.
      "<plist><integer>-99999999999999999999999</integer></plist>",
      "<plist><integer>99000000000000000000000000000</integer></plist>",
      "<plist><integer>9223372036854775808</integer></plist>",
      "<plist><integer>131073abc</integer></plist>",
      "<plist><integer>010</integer></plist>",  // octal to one reader, ten to another
      "<plist><integer>1<!---->2</integer></plist>",
      "<plist><integer/></plist>",
      "<plist><integer> </integer></plist>",
  };
  for (const std::string& bytes : hostile) {
    CFDataRef input = Bytes(bytes);
    CFErrorRef error = nullptr;
    EXPECT_EQ(CFPropertyListCreateWithData(nullptr, input, 0, nullptr, &error), nullptr)
        << bytes.substr(0, 80);
    ASSERT_NE(error, nullptr) << bytes.substr(0, 80);
    EXPECT_EQ(CFErrorGetCode(error), kCFPropertyListReadCorruptError);
    CFRelease(error);
    CFRelease(input);
  }
  const std::pair<const char*, SInt64> integers[] = {{"-9223372036854775808", INT64_MIN},
                                                     {"9223372036854775807", INT64_MAX},
                                                     {"0x1F", 31},
                                                     {"\n\t+7 ", 7},
                                                     {"-0", 0}};
  for (const auto& [text, value] : integers) {
    CFDataRef input = Bytes(std::string("<plist><integer>") + text + "</integer></plist>");
    CFPropertyListRef number = CFPropertyListCreateWithData(nullptr, input, 0, nullptr, nullptr);
    SInt64 read = 0;
    EXPECT_TRUE(number &&
                CFNumberGetValue(static_cast<CFNumberRef>(number), kCFNumberSInt64Type, &read));
    EXPECT_EQ(read, value) << text;
    CFRelease(number);
    CFRelease(input);
  }
}
