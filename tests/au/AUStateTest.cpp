// Saved state through the ClassInfo property, .aupreset files, and the factory-preset list.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "au/AUTestHost.h"
#include "au/CFAUPreset.h"
#include "support/RandomRun.h"

using namespace autest;

namespace {

constexpr OSStatus kBadValue = kAudioUnitErr_InvalidPropertyValue;
constexpr AudioUnitScope G = kAudioUnitScope_Global;

std::string Text(CFStringRef s) {
  char buf[256] = "";
  if (s) CFStringGetCString(s, buf, sizeof(buf), kCFStringEncodingUTF8);
  return buf;
}

SInt32 Number(CFDictionaryRef dict, const char* key) {
  CFStringRef cfKey = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
  CFNumberRef number = (CFNumberRef)CFDictionaryGetValue(dict, cfKey);
  CFRelease(cfKey);
  SInt32 value = -1;
  if (number) CFNumberGetValue(number, kCFNumberSInt32Type, &value);
  return value;
}

class AUStateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_NE(OrvantaComponent(&error), nullptr) << error;
  }

  CFMutableDictionaryRef Save() {
    CFPropertyListRef state = nullptr;
    UInt32 size = sizeof(state);
    EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_ClassInfo, G, 0, &state, &size), noErr);
    EXPECT_EQ(size, sizeof(state));
    if (!state) return nullptr;
    CFMutableDictionaryRef copy = CFDictionaryCreateMutableCopy(nullptr, 0, (CFDictionaryRef)state);
    CFRelease(state);
    return copy;
  }
  OSStatus Restore(CFPropertyListRef state) {
    return AudioUnitSetProperty(unit, kAudioUnitProperty_ClassInfo, G, 0, &state, sizeof(state));
  }
  int CurrentPreset() {
    AUPreset preset = {-1, nullptr};
    UInt32 size = sizeof(preset);
    AudioUnitGetProperty(unit, kAudioUnitProperty_PresentPreset, G, 0, &preset, &size);
    if (preset.presetName) CFRelease(preset.presetName);
    return preset.presetNumber;
  }
  void SetParams(float gain, float mono, float stereo) {
    ASSERT_EQ(SetParam(unit, 0, gain), noErr);
    ASSERT_EQ(SetParam(unit, 1, mono), noErr);
    ASSERT_EQ(SetParam(unit, 2, stereo), noErr);
  }
  void ExpectParams(float gain, float mono, float stereo) {
    EXPECT_EQ(GetParam(unit, 0), gain);
    EXPECT_EQ(GetParam(unit, 1), mono);
    EXPECT_EQ(GetParam(unit, 2), stereo);
  }

  Unit unit;
};

// The same dictionary with one key replaced (or removed when value is null).
CFMutableDictionaryRef With(CFDictionaryRef dict, const char* key, CFTypeRef value) {
  CFMutableDictionaryRef copy = CFDictionaryCreateMutableCopy(nullptr, 0, dict);
  CFStringRef cfKey = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
  if (value) {
    CFDictionarySetValue(copy, cfKey, value);
  } else {
    CFDictionaryRemoveValue(copy, cfKey);
  }
  CFRelease(cfKey);
  return copy;
}

TEST_F(AUStateTest, ClassInfoHoldsIdentityPresetNameAndParameterChunk) {
  SetParams(-3.0f, 1.5f, -20.0f);
  CFMutableDictionaryRef state = Save();
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(Number(state, "version"), 0x20001);
  EXPECT_EQ(Number(state, "type"), (SInt32)kAudioUnitType_Effect);
  EXPECT_EQ(Number(state, "subtype"), 0x517a766b);
  EXPECT_EQ(Number(state, "manufacturer"), 0x517a766b);
  EXPECT_EQ(Text((CFStringRef)CFDictionaryGetValue(state, CFSTR("name"))), "No Change");
  CFDataRef data = (CFDataRef)CFDictionaryGetValue(state, CFSTR("data"));
  ASSERT_NE(data, nullptr);
  ASSERT_EQ(CFDataGetLength(data), 24);
  double values[3];
  std::memcpy(values, CFDataGetBytePtr(data), sizeof(values));
  EXPECT_EQ(values[0], -3.0);
  EXPECT_EQ(values[1], 1.5);
  EXPECT_EQ(values[2], -20.0);
  CFRelease(state);
}

TEST_F(AUStateTest, RestoringBringsBackParametersGainsAndThePreset) {
  ASSERT_EQ(SelectPreset(unit, 2), noErr);
  SetParams(-3.0f, 1.5f, -20.0f);
  CFMutableDictionaryRef state = Save();
  SetParams(4.0f, -50.0f, 2.0f);
  ASSERT_EQ(SelectPreset(unit, 1), noErr);

  ASSERT_EQ(Restore(state), noErr);
  ExpectParams(-3.0f, 1.5f, -20.0f);
  EXPECT_EQ(CurrentPreset(), 2);

  // The gains follow the restored values.
  SignalSource source;
  ASSERT_EQ(source.Attach(unit), noErr);
  ASSERT_EQ(AudioUnitInitialize(unit), noErr);
  Buffers out(2, 128);
  AudioTimeStamp ts = TimeAt(0);
  ASSERT_EQ(AudioUnitRender(unit, nullptr, &ts, 0, 128, out.List()), noErr);
  for (UInt32 i = 0; i < 128; ++i) {
    float e0, e1;
    ExpectedFrame(-3.0, 1.5, -20.0, Signal(0, i), Signal(1, i), &e0, &e1);
    ASSERT_NEAR(out.Channel(0)[i], e0, 1e-6);
    ASSERT_NEAR(out.Channel(1)[i], e1, 1e-6);
  }
  CFRelease(state);
}

TEST_F(AUStateTest, ForeignOrIncompleteStateIsRefused) {
  CFMutableDictionaryRef state = Save();
  ASSERT_EQ(SelectPreset(unit, 3), noErr);
  SetParams(-1.0f, -2.0f, -3.0f);

  SInt32 otherSubtype = 0x51747374;
  CFNumberRef number = CFNumberCreate(nullptr, kCFNumberSInt32Type, &otherSubtype);
  CFMutableDictionaryRef foreign = With(state, "subtype", number);
  CFRelease(number);
  EXPECT_EQ(Restore(foreign), kBadValue);
  ExpectParams(-1.0f, -2.0f, -3.0f);
  EXPECT_EQ(CurrentPreset(), 3);
  CFRelease(foreign);

  // Without "data" the named preset is still chosen.
  CFMutableDictionaryRef noData = With(state, "data", nullptr);
  EXPECT_EQ(Restore(noData), kBadValue);
  EXPECT_EQ(CurrentPreset(), 0);
  ExpectParams(0.0f, 0.0f, 0.0f);
  CFRelease(noData);

  for (const char* key : {"version", "type", "subtype", "manufacturer", "name"}) {
    CFMutableDictionaryRef missing = With(state, key, nullptr);
    SetParams(-1.0f, -2.0f, -3.0f);
    EXPECT_EQ(Restore(missing), kBadValue) << key;
    ExpectParams(-1.0f, -2.0f, -3.0f);
    CFRelease(missing);
  }
  CFRelease(state);
}

TEST_F(AUStateTest, MalformedStateLeavesTheUnitAsItWas) {
  CFMutableDictionaryRef state = Save();
  SetParams(-1.0f, -2.0f, -3.0f);
  ASSERT_EQ(SelectPreset(unit, 3), noErr);
  SetParams(-1.0f, -2.0f, -3.0f);

  std::vector<CFTypeRef> bad;
  bad.push_back(With(state, "version", CFSTR("1")));
  bad.push_back(With(state, "type", CFSTR("aufx")));
  bad.push_back(With(state, "name", kCFBooleanTrue));
  // Under a name no preset has, a bad "data" entry must change nothing at all.
  CFMutableDictionaryRef unnamed = With(state, "name", CFSTR("none such"));
  bad.push_back(With(unnamed, "data", CFSTR("AAAA")));
  // Damaged: no whole number of values, or a value that is not a number.
  const double partial[2] = {5.0, std::nan("")};
  for (CFIndex size : {12, 16}) {
    CFDataRef damaged = CFDataCreate(nullptr, (const UInt8*)partial, size);
    bad.push_back(With(unnamed, "data", damaged));
    CFRelease(damaged);
  }
  CFDataRef empty = CFDataCreate(nullptr, nullptr, 0);
  bad.push_back(With(unnamed, "data", empty));
  CFRelease(empty);
  CFRelease(unnamed);
  bad.push_back(CFRetain(CFSTR("not a dictionary")));
  for (size_t i = 0; i < bad.size(); ++i) {
    EXPECT_EQ(Restore(bad[i]), kBadValue) << i;
    ExpectParams(-1.0f, -2.0f, -3.0f);
    CFRelease(bad[i]);
  }
  EXPECT_EQ(Restore(nullptr), kBadValue);
  ExpectParams(-1.0f, -2.0f, -3.0f);
  CFRelease(state);
}

TEST_F(AUStateTest, HugeDataAndLongNamesAreHandled) {
  CFMutableDictionaryRef state = Save();
  ASSERT_EQ(SelectPreset(unit, 1), noErr);

  // Extra bytes after the parameters are ignored.
  std::vector<double> huge(1 << 17, 1.0);
  huge[0] = -7.0;
  huge[1] = -8.0;
  huge[2] = -9.0;
  CFDataRef hugeData =
      CFDataCreate(nullptr, (const UInt8*)huge.data(), (CFIndex)(huge.size() * sizeof(double)));
  CFMutableDictionaryRef big = With(state, "data", hugeData);
  CFRelease(hugeData);
  EXPECT_EQ(Restore(big), noErr);
  ExpectParams(-7.0f, -8.0f, -9.0f);
  CFRelease(big);
  // A version with fewer parameters: the one it lacks goes to its default.
  CFDataRef olderData = CFDataCreate(nullptr, (const UInt8*)huge.data(), 2 * sizeof(double));
  CFMutableDictionaryRef older = With(state, "data", olderData);
  CFRelease(olderData);
  EXPECT_EQ(Restore(older), noErr);
  ExpectParams(-7.0f, -8.0f, 0.0f);
  CFRelease(older);

  // A name matching no preset selects none; the state is still restored in full.
  ASSERT_EQ(SelectPreset(unit, 1), noErr);
  std::string longName(10000, 'x');
  longName.replace(0, 9, "No Change");
  CFStringRef name = CFStringCreateWithCString(nullptr, longName.c_str(), kCFStringEncodingUTF8);
  CFMutableDictionaryRef named = With(state, "name", name);
  CFRelease(name);
  EXPECT_EQ(Restore(named), noErr);
  EXPECT_EQ(CurrentPreset(), 1);
  ExpectParams(0.0f, 0.0f, 0.0f);
  CFRelease(named);
  CFRelease(state);
}

TEST_F(AUStateTest, RandomDictionariesNeverBreakTheUnit) {
  CFMutableDictionaryRef state = Save();
  RandomRun run(1234, 2000);
  std::mt19937 rng((std::mt19937::result_type)run.Seed());
  const char* keys[] = {"version", "type", "subtype", "manufacturer", "name", "data", "other"};
  CFTypeRef values[8];
  for (int round = 0; round < run.Iterations(); ++round) {
    CFMutableDictionaryRef dict =
        (rng() % 3 == 0) ? CFDictionaryCreateMutableCopy(nullptr, 0, state)
                         : CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks,
                                                     &kCFTypeDictionaryValueCallBacks);
    for (const char* key : keys) {
      if (rng() % 2) continue;
      SInt32 n = (SInt32)rng();
      if (rng() % 2) n = Number(state, key);
      std::vector<UInt8> bytes(rng() % 40);
      for (UInt8& b : bytes) b = (UInt8)rng();
      values[0] = CFNumberCreate(nullptr, kCFNumberSInt32Type, &n);
      values[1] =
          CFStringCreateWithCString(nullptr, rng() % 2 ? "No Change" : "?", kCFStringEncodingUTF8);
      values[2] = CFDataCreate(nullptr, bytes.data(), (CFIndex)bytes.size());
      values[3] = CFArrayCreate(nullptr, values, 2, &kCFTypeArrayCallBacks);
      CFStringRef cfKey = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
      CFDictionarySetValue(dict, cfKey, values[rng() % 4]);
      CFRelease(cfKey);
      for (int v = 0; v < 4; ++v) CFRelease(values[v]);
    }
    const OSStatus result = Restore(dict);
    ASSERT_TRUE(result == noErr || result == kBadValue) << result;
    for (AudioUnitParameterID p = 0; p < 3; ++p) {
      const float value = GetParam(unit, p);
      ASSERT_TRUE(value >= -94.0f && value <= 6.0f) << value;
    }
    CFRelease(dict);
  }
  CFRelease(state);
}

std::vector<char> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

TEST_F(AUStateTest, AupresetFilesRoundTrip) {
  ASSERT_EQ(SelectPreset(unit, 1), noErr);
  SetParams(-4.5f, 2.0f, -60.25f);
  CFMutableDictionaryRef state = Save();
  const std::string path = TempPath("orvanta-state.aupreset");
  for (CFPropertyListFormat format :
       {kCFPropertyListXMLFormat_v1_0, kCFPropertyListBinaryFormat_v1_0}) {
    CFDataRef file = CFPropertyListCreateData(nullptr, state, format, 0, nullptr);
    ASSERT_NE(file, nullptr);
    {
      std::ofstream out(path, std::ios::binary);
      out.write((const char*)CFDataGetBytePtr(file), CFDataGetLength(file));
    }
    if (format == kCFPropertyListXMLFormat_v1_0) {
      const std::vector<char> bytes = ReadFile(path);
      const std::string text(bytes.begin(), bytes.end());
      EXPECT_NE(text.find("<key>manufacturer</key>"), std::string::npos);
      EXPECT_NE(text.find("<integer>1366980203</integer>"), std::string::npos);
      EXPECT_NE(text.find("<string>Stereo Enhance</string>"), std::string::npos);
      EXPECT_NE(text.find("<data>"), std::string::npos);
    }
    SetParams(0.0f, 0.0f, 0.0f);
    ASSERT_EQ(SelectPreset(unit, 3), noErr);

    const std::vector<char> bytes = ReadFile(path);
    CFDataRef read = CFDataCreate(nullptr, (const UInt8*)bytes.data(), (CFIndex)bytes.size());
    CFPropertyListRef loaded = CFPropertyListCreateWithData(nullptr, read, 0, nullptr, nullptr);
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(Restore(loaded), noErr);
    ExpectParams(-4.5f, 2.0f, -60.25f);
    EXPECT_EQ(CurrentPreset(), 1);

    // Saved again, the state is the same to the byte, and so is its file.
    CFMutableDictionaryRef again = Save();
    EXPECT_TRUE(CFEqual(again, state));
    CFDataRef fileAgain = CFPropertyListCreateData(nullptr, again, format, 0, nullptr);
    EXPECT_TRUE(CFEqual(fileAgain, file));
    CFRelease(fileAgain);
    CFRelease(again);
    CFRelease(loaded);
    CFRelease(read);
    CFRelease(file);
  }
  std::remove(path.c_str());

  const char* garbage = "<?xml version=\"1.0\"?><plist><dict><key>data</key><data>";
  CFDataRef broken = CFDataCreate(nullptr, (const UInt8*)garbage, (CFIndex)std::strlen(garbage));
  CFErrorRef error = nullptr;
  EXPECT_EQ(CFPropertyListCreateWithData(nullptr, broken, 0, nullptr, &error), nullptr);
  EXPECT_NE(error, nullptr);
  if (error) CFRelease(error);
  CFRelease(broken);
  CFRelease(state);
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

TEST_F(AUStateTest, PresetFilesThroughTheHostAndMalformedOnes) {
  ASSERT_EQ(SelectPreset(unit, 2), noErr);
  SetParams(-10.0f, -94.0f, 5.5f);
  const std::string path = TempPath("orvanta-host.aupreset");
  HostError error;
  ASSERT_EQ(unit.Host().SavePresetFile(path, &error), noErr) << error.message;
  SetParams(0.0f, 0.0f, 0.0f);
  ASSERT_EQ(unit.Host().LoadPresetFile(path, &error), noErr) << error.message;
  ExpectParams(-10.0f, -94.0f, 5.5f);
  EXPECT_EQ(CurrentPreset(), 2);

  const std::vector<char> good = ReadFile(path);
  const std::string text(good.begin(), good.end());
  const std::string damaged[] = {
      "",
      "not a property list at all",
      text.substr(0, text.size() / 2),
      "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><integer>1</integer></array></plist>",
      "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>data</key><data>@@@</data>"
      "</dict></plist>",
  };
  for (const std::string& content : damaged) {
    WriteText(path, content);
    HostError failure;
    EXPECT_NE(unit.Host().LoadPresetFile(path, &failure), noErr) << content;
    EXPECT_FALSE(failure.message.empty());
    ExpectParams(-10.0f, -94.0f, 5.5f);
  }
  std::remove(path.c_str());
  HostError missing;
  EXPECT_NE(unit.Host().LoadPresetFile(path, &missing), noErr);
  EXPECT_FALSE(missing.message.empty());
}

TEST_F(AUStateTest, FactoryPresetsAreListedWithCountedRecords) {
  CFArrayRef presets = nullptr;
  UInt32 size = sizeof(presets);
  ASSERT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_FactoryPresets, G, 0, &presets, &size),
            noErr);
  ASSERT_NE(presets, nullptr);
  ASSERT_EQ(CFArrayGetCount(presets), 4);
  const char* names[] = {"No Change", "Stereo Enhance", "Only Stereo", "Only Mono"};
  for (CFIndex i = 0; i < 4; ++i) {
    const AUPreset* preset = (const AUPreset*)CFArrayGetValueAtIndex(presets, i);
    EXPECT_EQ(preset->presetNumber, i);
    EXPECT_EQ(Text(preset->presetName), names[i]);
  }
  // Each record holds its name once; the array's release frees the record and lets go of it.
  CFStringRef name = ((const AUPreset*)CFArrayGetValueAtIndex(presets, 2))->presetName;
  EXPECT_EQ(CFGetRetainCount(name), 1);
  CFRetain(name);
  CFRelease(presets);
  EXPECT_EQ(CFGetRetainCount(name), 1);
  EXPECT_EQ(Text(name), "Only Stereo");
  CFRelease(name);
}

// A counting allocator, to see exactly when preset records are freed.
struct CountingAllocator {
  int allocations = 0, frees = 0;
  CFAllocatorRef ref = nullptr;
  static void* Allocate(CFIndex size, CFOptionFlags, void* info) {
    ++static_cast<CountingAllocator*>(info)->allocations;
    return std::malloc((size_t)size);
  }
  static void Deallocate(void* ptr, void* info) {
    ++static_cast<CountingAllocator*>(info)->frees;
    std::free(ptr);
  }
  CountingAllocator() {
    CFAllocatorContext context = {0,        this,    nullptr,    nullptr, nullptr,
                                  Allocate, nullptr, Deallocate, nullptr};
    ref = CFAllocatorCreate(nullptr, &context);
  }
  ~CountingAllocator() { CFRelease(ref); }
};

TEST(CFAUPresetTest, RetainAndReleaseFreeTheRecordOnce) {
  CountingAllocator allocator;
  ASSERT_NE(allocator.ref, nullptr);
  CFStringRef name = CFStringCreateWithCString(nullptr, "Only Stereo", kCFStringEncodingUTF8);
  CFAUPresetRef preset = CFAUPresetCreate(allocator.ref, 2, name);
  ASSERT_NE(preset, nullptr);
  EXPECT_EQ(preset->auPreset.presetNumber, 2);
  EXPECT_EQ(CFAUPresetRetain(preset), preset);
  EXPECT_EQ(preset->retainCount, 2);
  CFAUPresetRelease(preset);
  EXPECT_EQ(allocator.frees, 0);
  CFAUPresetRelease(preset);
  EXPECT_EQ(allocator.allocations, allocator.frees);
  EXPECT_GE(allocator.frees, 1);
  EXPECT_EQ(CFGetRetainCount(name), 1);
  EXPECT_EQ(CFAUPresetRetain(nullptr), nullptr);
  CFAUPresetRelease(nullptr);

  CFAUPresetRef unnamed = CFAUPresetCreate(nullptr, 7, nullptr);
  ASSERT_NE(unnamed, nullptr);
  CFAUPresetRef named = CFAUPresetCreate(nullptr, 7, name);
  CFAUPresetRef same = CFAUPresetCreate(nullptr, 7, CFSTR("Only Stereo"));
  EXPECT_FALSE(kCFAUPresetArrayCallBacks.equal(unnamed, named));
  EXPECT_TRUE(kCFAUPresetArrayCallBacks.equal(named, same));
  CFStringRef description = kCFAUPresetArrayCallBacks.copyDescription(named);
  EXPECT_EQ(Text(description), "AUPreset:\npreset number = 7\npreset name = Only Stereo");
  CFRelease(description);
  CFAUPresetRelease(unnamed);
  CFAUPresetRelease(named);
  CFAUPresetRelease(same);
  CFRelease(name);

  CFArrayCallBacks callBacks = {};
  CFAUPresetArrayCallBacks_Init(&callBacks);
  EXPECT_EQ(callBacks.version, 0);
  EXPECT_EQ(callBacks.retain, &CFAUPresetArrayRetainCallBack);
  CFAUPresetArrayCallBacks_Init(nullptr);
}

}  // namespace
