// Properties through GetPropertyInfo, GetProperty and SetProperty: the table row by row, then
// the content of each property and the answers to bad input.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "au/AUTestHost.h"

using namespace autest;

namespace {

std::string Text(CFStringRef s) {
  char buf[256] = "";
  if (s) CFStringGetCString(s, buf, sizeof(buf), kCFStringEncodingUTF8);
  return buf;
}

class AUPropertiesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_NE(OrvantaComponent(&error), nullptr) << error;
    UInt32 size = 0;
    hasEditor = AudioUnitGetPropertyInfo(unit, kAudioUnitProperty_GetUIComponentList,
                                         kAudioUnitScope_Global, 0, &size, nullptr) == noErr;
  }

  template <class T>
  OSStatus Get(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, T* pValue) {
    UInt32 size = sizeof(T);
    return AudioUnitGetProperty(unit, id, scope, element, pValue, &size);
  }

  Unit unit;
  bool hasEditor = false;
};

struct InfoRow {
  AudioUnitPropertyID id;
  AudioUnitScope scope;
  AudioUnitElement element;
  OSStatus result;
  UInt32 size;  // checked when the result is noErr
  bool writable;
};

constexpr AudioUnitScope G = kAudioUnitScope_Global, I = kAudioUnitScope_Input,
                         O = kAudioUnitScope_Output, Grp = kAudioUnitScope_Group;
constexpr OSStatus kBadProp = kAudioUnitErr_InvalidProperty;
constexpr OSStatus kBadElement = kAudioUnitErr_InvalidElement;

const InfoRow kInfoTable[] = {
    {kAudioUnitProperty_ClassInfo, G, 0, noErr, 8, true},
    {kAudioUnitProperty_ClassInfo, I, 3, noErr, 8, true},
    {kAudioUnitProperty_MakeConnection, G, 0, noErr, 16, true},
    {kAudioUnitProperty_MakeConnection, I, 0, noErr, 16, true},
    {kAudioUnitProperty_MakeConnection, O, 0, kBadProp, 0, false},
    {kAudioUnitProperty_SampleRate, G, 0, noErr, 8, true},
    {kAudioUnitProperty_SampleRate, O, 0, noErr, 8, true},
    {kAudioUnitProperty_ParameterList, G, 0, noErr, 12, false},
    {kAudioUnitProperty_ParameterList, I, 0, noErr, 0, false},
    {kAudioUnitProperty_ParameterInfo, G, 0, noErr, 104, false},
    {kAudioUnitProperty_ParameterInfo, G, 2, noErr, 104, false},
    {kAudioUnitProperty_ParameterInfo, G, 3, kBadElement, 0, false},
    {kAudioUnitProperty_ParameterInfo, I, 0, kBadProp, 0, false},
    {kAudioUnitProperty_FastDispatch, G, kAudioUnitGetParameterSelect, noErr, 8, false},
    {kAudioUnitProperty_FastDispatch, G, kAudioUnitSetParameterSelect, noErr, 8, false},
    {kAudioUnitProperty_FastDispatch, G, kAudioUnitRenderSelect, noErr, 8, false},
    {kAudioUnitProperty_FastDispatch, G, kAudioUnitInitializeSelect, kBadElement, 0, false},
    {kAudioUnitProperty_StreamFormat, G, 0, noErr, 40, true},
    {kAudioUnitProperty_StreamFormat, I, 0, noErr, 40, true},
    {kAudioUnitProperty_StreamFormat, O, 0, noErr, 40, true},
    {kAudioUnitProperty_StreamFormat, I, 1, kBadProp, 0, false},
    {kAudioUnitProperty_StreamFormat, O, 1, kBadProp, 0, false},
    {kAudioUnitProperty_StreamFormat, Grp, 0, kBadProp, 0, false},
    {kAudioUnitProperty_ElementCount, G, 0, noErr, 4, false},
    {kAudioUnitProperty_ElementCount, Grp, 0, noErr, 4, false},
    {kAudioUnitProperty_Latency, G, 0, noErr, 8, false},
    {kAudioUnitProperty_Latency, I, 0, kBadProp, 0, false},
    {kAudioUnitProperty_SupportedNumChannels, G, 0, noErr, 4, false},
    {kAudioUnitProperty_SupportedNumChannels, O, 0, kBadProp, 0, false},
    {kAudioUnitProperty_MaximumFramesPerSlice, G, 0, noErr, 4, true},
    {kAudioUnitProperty_MaximumFramesPerSlice, O, 0, kBadProp, 0, false},
    {kAudioUnitProperty_ParameterValueStrings, G, 0, kBadProp, 0, false},
    {kAudioUnitProperty_ParameterValueStrings, G, 3, kBadElement, 0, false},
    {kAudioUnitProperty_ParameterValueStrings, I, 0, kBadProp, 0, false},
    {kAudioUnitProperty_AudioChannelLayout, O, 0, kAudioUnitErr_InvalidPropertyValue, 0, false},
    {kAudioUnitProperty_TailTime, G, 0, noErr, 8, false},
    {kAudioUnitProperty_TailTime, I, 0, kBadProp, 0, false},
    {kAudioUnitProperty_BypassEffect, G, 0, noErr, 4, true},
    {kAudioUnitProperty_BypassEffect, O, 0, kBadProp, 0, false},
    {kAudioUnitProperty_LastRenderError, G, 0, noErr, 4, false},
    {kAudioUnitProperty_SetRenderCallback, I, 0, noErr, 16, true},
    {kAudioUnitProperty_SetRenderCallback, G, 0, noErr, 16, true},
    {kAudioUnitProperty_SetRenderCallback, I, 1, kBadProp, 0, false},
    {kAudioUnitProperty_SetRenderCallback, O, 0, kBadProp, 0, false},
    {kAudioUnitProperty_FactoryPresets, G, 0, noErr, 8, false},
    {kAudioUnitProperty_HostCallbacks, G, 0, noErr, 32, true},
    {kAudioUnitProperty_HostCallbacks, I, 0, kBadProp, 0, false},
    {kAudioUnitProperty_CurrentPreset, G, 0, noErr, 16, true},
    {kAudioUnitProperty_PresentPreset, O, 0, noErr, 16, true},
    {kAudioUnitProperty_ElementName, I, 0, kBadProp, 0, false},
    {kAudioUnitProperty_SupportedChannelLayoutTags, O, 0, kBadProp, 0, false},
    {kAudioUnitProperty_ParameterStringFromValue, G, 0, noErr, 24, false},
    {kAudioUnitProperty_ParameterStringFromValue, I, 0, noErr, 24, false},
    {kAudioUnitProperty_ParameterIDName, G, 0, noErr, 16, false},
    {kAudioUnitProperty_ParameterClumpName, G, 0, noErr, 16, false},
    {kAudioUnitProperty_ParameterValueFromString, G, 0, noErr, 24, false},
    {kMusicDeviceProperty_InstrumentCount, G, 0, kBadProp, 0, false},
    {kAudioUnitProperty_CPULoad, G, 0, kBadProp, 0, false},
    {7, G, 0, kBadProp, 0, false},
    {9, G, 0, kBadProp, 0, false},
    {10, G, 0, kBadProp, 0, false},
    {15, G, 0, kBadProp, 0, false},
    {17, G, 0, kBadProp, 0, false},
    {kAudioUnitProperty_ContextName, G, 0, kBadProp, 0, false},
    {kAudioUnitProperty_RenderQuality, G, 0, kBadProp, 0, false},
    {kAudioUnitProperty_InPlaceProcessing, G, 0, kBadProp, 0, false},
    {kAudioUnitProperty_OfflineRender, G, 0, kBadProp, 0, false},
    {kAudioUnitProperty_AUHostIdentifier, G, 0, kBadProp, 0, false},
    {39, G, 0, kBadProp, 0, false},
    {999, G, 0, kBadProp, 0, false},
    {1001, G, 0, kBadProp, 0, false},
    {0xFFFFFFFF, G, 0, kBadProp, 0, false},
};

TEST_F(AUPropertiesTest, InfoTable) {
  for (const InfoRow& row : kInfoTable) {
    UInt32 size = 12345;
    Boolean writable = true;
    EXPECT_EQ(AudioUnitGetPropertyInfo(unit, row.id, row.scope, row.element, &size, &writable),
              row.result)
        << "property " << row.id << " scope " << row.scope << " element " << row.element;
    if (row.result == noErr) {
      EXPECT_EQ(size, row.size) << "property " << row.id;
    }
    EXPECT_EQ((bool)writable, row.writable) << "property " << row.id;
    // Hosts may leave out either pointer.
    EXPECT_EQ(AudioUnitGetPropertyInfo(unit, row.id, row.scope, row.element, nullptr, nullptr),
              row.result);
  }
}

TEST_F(AUPropertiesTest, EditorPropertiesFollowTheEditor) {
  UInt32 size = 0;
  const OSStatus expected = hasEditor ? noErr : kBadProp;
  EXPECT_EQ(AudioUnitGetPropertyInfo(unit, kAudioUnitProperty_CocoaUI, G, 0, &size, nullptr),
            expected);
  if (!hasEditor) return;
  ComponentDescription desc = {};
  ASSERT_EQ(Get(kAudioUnitProperty_GetUIComponentList, G, 0, &desc), noErr);
  EXPECT_EQ(desc.componentType, 0x61757677u);
  EXPECT_EQ(desc.componentSubType, 0x517a766bu);
  EXPECT_EQ(desc.componentManufacturer, 0x517a766bu);
  AudioUnitCocoaViewInfo info = {};
  ASSERT_EQ(Get(kAudioUnitProperty_CocoaUI, G, 0, &info), noErr);
  EXPECT_EQ(Text(info.mCocoaAUViewClass[0]), "Orvanta_View");
  CFStringRef path = CFURLCopyFileSystemPath(info.mCocoaAUViewBundleLocation, kCFURLPOSIXPathStyle);
  EXPECT_NE(Text(path).find("Orvanta.component"), std::string::npos);
  CFRelease(path);
  CFRelease(info.mCocoaAUViewBundleLocation);
  CFRelease(info.mCocoaAUViewClass[0]);
}

TEST_F(AUPropertiesTest, ParameterListAndInfo) {
  AudioUnitParameterID ids[4] = {9, 9, 9, 9};
  UInt32 size = sizeof(ids);
  ASSERT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_ParameterList, G, 0, ids, &size), noErr);
  EXPECT_EQ(size, 12u);
  EXPECT_EQ(ids[0], 0u);
  EXPECT_EQ(ids[2], 2u);
  EXPECT_EQ(ids[3], 9u);

  const char* names[3] = {"Gain", "Mono", "Stereo"};
  ASSERT_EQ(SetParam(unit, 2, -20.0f), noErr);
  for (AudioUnitElement p = 0; p < 3; ++p) {
    AudioUnitParameterInfo info;
    ASSERT_EQ(Get(kAudioUnitProperty_ParameterInfo, G, p, &info), noErr);
    EXPECT_STREQ(info.name, names[p]);
    EXPECT_EQ(Text(info.cfNameString), names[p]);
    EXPECT_EQ(info.unit, (UInt32)kAudioUnitParameterUnit_CustomUnit);
    EXPECT_EQ(Text(info.unitName), "dB");
    EXPECT_EQ(info.minValue, -94.0f);
    EXPECT_EQ(info.maxValue, 6.0f);
    EXPECT_EQ(info.defaultValue, p == 2 ? -20.0f : 0.0f);  // the current value
    EXPECT_EQ(info.flags, 0xC8000010u);
    EXPECT_EQ(info.clumpID, 0u);
    CFRelease(info.cfNameString);
    CFRelease(info.unitName);
  }
}

TEST_F(AUPropertiesTest, FastDispatchProceduresWorkOnTheInstanceStorage) {
  AudioUnitGetParameterProc get = nullptr;
  AudioUnitSetParameterProc set = nullptr;
  ASSERT_EQ(Get(kAudioUnitProperty_FastDispatch, G, kAudioUnitGetParameterSelect, &get), noErr);
  ASSERT_EQ(Get(kAudioUnitProperty_FastDispatch, G, kAudioUnitSetParameterSelect, &set), noErr);
  EXPECT_EQ(set(unit.Storage(), 1, G, 0, -33.0f, 0), noErr);
  AudioUnitParameterValue value = 0;
  EXPECT_EQ(get(unit.Storage(), 1, G, 0, &value), noErr);
  EXPECT_EQ(value, -33.0f);
  EXPECT_EQ(GetParam(unit, 1), -33.0f);
  EXPECT_EQ(get(unit.Storage(), 3, G, 0, &value), kAudioUnitErr_InvalidParameter);
  EXPECT_EQ(set(unit.Storage(), 1, O, 0, 1.0f, 0), kAudioUnitErr_InvalidProperty);
}

TEST_F(AUPropertiesTest, StreamFormatsAndCounts) {
  AudioStreamBasicDescription f;
  ASSERT_EQ(Get(kAudioUnitProperty_StreamFormat, I, 0, &f), noErr);
  EXPECT_EQ(f.mSampleRate, 44100.0);
  EXPECT_EQ(f.mFormatID, (UInt32)kAudioFormatLinearPCM);
  EXPECT_EQ(f.mFormatFlags, 41u);
  EXPECT_EQ(f.mBytesPerPacket, 4u);
  EXPECT_EQ(f.mFramesPerPacket, 1u);
  EXPECT_EQ(f.mBytesPerFrame, 4u);
  EXPECT_EQ(f.mChannelsPerFrame, 2u);
  EXPECT_EQ(f.mBitsPerChannel, 32u);
  EXPECT_EQ(f.mReserved, 0u);

  UInt32 count = 9;
  for (auto [scope, expected] : {std::pair{G, 1u}, {I, 1u}, {O, 1u}, {Grp, 0u}}) {
    ASSERT_EQ(Get(kAudioUnitProperty_ElementCount, scope, 0, &count), noErr);
    EXPECT_EQ(count, expected) << scope;
  }
  AUChannelInfo io = {};
  ASSERT_EQ(Get(kAudioUnitProperty_SupportedNumChannels, G, 0, &io), noErr);
  EXPECT_EQ(io.inChannels, 2);
  EXPECT_EQ(io.outChannels, 2);
  UInt32 frames = 0;
  ASSERT_EQ(Get(kAudioUnitProperty_MaximumFramesPerSlice, G, 0, &frames), noErr);
  EXPECT_EQ(frames, 1024u);
  ASSERT_EQ(SetMaxFrames(unit, 4096), noErr);
  ASSERT_EQ(Get(kAudioUnitProperty_MaximumFramesPerSlice, G, 0, &frames), noErr);
  EXPECT_EQ(frames, 4096u);
}

TEST_F(AUPropertiesTest, TimesBypassAndErrors) {
  Float64 seconds = -1;
  ASSERT_EQ(Get(kAudioUnitProperty_Latency, G, 0, &seconds), noErr);
  EXPECT_EQ(seconds, 0.0);
  ASSERT_EQ(Get(kAudioUnitProperty_TailTime, G, 0, &seconds), noErr);
  EXPECT_EQ(seconds, 0.0);
  UInt32 value = 7;
  ASSERT_EQ(Get(kAudioUnitProperty_BypassEffect, G, 0, &value), noErr);
  EXPECT_EQ(value, 0u);
  value = 5;
  ASSERT_EQ(
      AudioUnitSetProperty(unit, kAudioUnitProperty_BypassEffect, G, 0, &value, sizeof(value)),
      noErr);
  ASSERT_EQ(Get(kAudioUnitProperty_BypassEffect, G, 0, &value), noErr);
  EXPECT_EQ(value, 1u);
  OSStatus lastError = 1;
  ASSERT_EQ(Get(kAudioUnitProperty_LastRenderError, G, 0, &lastError), noErr);
  EXPECT_EQ(lastError, noErr);
}

TEST_F(AUPropertiesTest, PresetsAndElementNames) {
  AUPreset preset = {};
  ASSERT_EQ(Get(kAudioUnitProperty_PresentPreset, G, 0, &preset), noErr);
  EXPECT_EQ(preset.presetNumber, 0);
  EXPECT_EQ(Text(preset.presetName), "No Change");
  CFRelease(preset.presetName);
  ASSERT_EQ(SelectPreset(unit, 2), noErr);
  ASSERT_EQ(Get(kAudioUnitProperty_CurrentPreset, G, 0, &preset), noErr);
  EXPECT_EQ(preset.presetNumber, 2);
  EXPECT_EQ(Text(preset.presetName), "Only Stereo");
  CFRelease(preset.presetName);
  EXPECT_EQ(GetParam(unit, 1), -94.0f);

  struct {
    AudioUnitScope scope;
    AudioUnitElement element;
    OSStatus result;
    const char* name;
  } names[] = {{I, 0, noErr, "input"},
               {I, 1, noErr, "aux input"},
               {I, 2, kBadElement, ""},
               {O, 0, noErr, "output"},
               {O, 1, kBadElement, ""},
               {O, 0xFFFFFFFF, kBadElement, ""},
               {G, 0, kAudioUnitErr_InvalidScope, ""}};
  for (const auto& row : names) {
    CFStringRef name = nullptr;
    EXPECT_EQ(Get(kAudioUnitProperty_ElementName, row.scope, row.element, &name), row.result);
    EXPECT_EQ(Text(name), row.name);
    if (name) CFRelease(name);
  }
}

TEST_F(AUPropertiesTest, ParameterTextConversions) {
  AudioUnitParameterValue value = -5.738f;
  AudioUnitParameterStringFromValue toText = {0, &value, nullptr};
  ASSERT_EQ(Get(kAudioUnitProperty_ParameterStringFromValue, G, 0, &toText), noErr);
  EXPECT_EQ(Text(toText.outString), "-5.74");
  CFRelease(toText.outString);
  // A null value asks for the current one.
  ASSERT_EQ(SetParam(unit, 0, 3.25f), noErr);
  toText = {0, nullptr, nullptr};
  ASSERT_EQ(Get(kAudioUnitProperty_ParameterStringFromValue, G, 0, &toText), noErr);
  EXPECT_EQ(Text(toText.outString), "3.25");
  CFRelease(toText.outString);
  toText = {3, &value, nullptr};
  EXPECT_EQ(Get(kAudioUnitProperty_ParameterStringFromValue, G, 0, &toText),
            kAudioUnitErr_InvalidParameter);
  toText = {0, &value, nullptr};
  EXPECT_EQ(Get(kAudioUnitProperty_ParameterStringFromValue, I, 0, &toText), noErr);
  EXPECT_EQ(toText.outString, nullptr);

  for (auto [length, expected] :
       {std::pair{-1, "Stereo"}, {0, ""}, {3, "Ste"}, {40, "Stereo"}, {-7, "Stereo"}}) {
    AudioUnitParameterIDName idName = {2, length, nullptr};
    ASSERT_EQ(Get(kAudioUnitProperty_ParameterIDName, G, 0, &idName), noErr);
    EXPECT_EQ(Text(idName.outName), expected) << length;
    CFRelease(idName.outName);
  }
  AudioUnitParameterIDName idName = {3, -1, nullptr};
  EXPECT_EQ(Get(kAudioUnitProperty_ParameterIDName, G, 0, &idName), kAudioUnitErr_InvalidParameter);

  // No parameter of the effect has a group, so no clump id is in use.
  for (UInt32 clump : {0u, 1u, 0xFFFFFFFFu}) {
    AudioUnitParameterNameInfo clumpName = {clump, -1, nullptr};
    EXPECT_EQ(Get(kAudioUnitProperty_ParameterClumpName, G, 0, &clumpName),
              kAudioUnitErr_PropertyNotInUse);
  }

  for (auto [text, expected] : {std::pair{"-12.5", -12.5f}, {"4", 4.0f}, {"abc", 0.0f}}) {
    CFStringRef cf = CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8);
    AudioUnitParameterValueFromString fromText = {1, cf, 99.0f};
    ASSERT_EQ(Get(kAudioUnitProperty_ParameterValueFromString, G, 0, &fromText), noErr);
    EXPECT_EQ(fromText.outValue, expected) << text;
    CFRelease(cf);
  }
  AudioUnitParameterValueFromString fromText = {1, nullptr, 99.0f};
  EXPECT_EQ(Get(kAudioUnitProperty_ParameterValueFromString, G, 0, &fromText),
            kAudioUnitErr_InvalidPropertyValue);
  fromText = {7, CFSTR("1"), 99.0f};
  EXPECT_EQ(Get(kAudioUnitProperty_ParameterValueFromString, G, 0, &fromText),
            kAudioUnitErr_InvalidParameter);
  EXPECT_EQ(fromText.outValue, 99.0f);
}

TEST_F(AUPropertiesTest, HostBuffersAreNeverOverrun) {
  AudioUnitParameterID ids[3] = {7, 7, 7};
  UInt32 size = 8;  // room for two of the three ids
  EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_ParameterList, G, 0, ids, &size),
            kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(size, 12u);
  EXPECT_EQ(ids[0], 7u);
  AudioStreamBasicDescription f = {};
  size = sizeof(f) - 1;
  EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_StreamFormat, O, 0, &f, &size),
            kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(f.mChannelsPerFrame, 0u);
  // Data without a size cannot be checked and is refused; a size query without data is fine.
  EXPECT_NE(AudioUnitGetProperty(unit, kAudioUnitProperty_ParameterList, G, 0, ids, nullptr),
            noErr);
  size = 0;
  EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_ParameterList, G, 0, nullptr, &size),
            noErr);
  EXPECT_EQ(size, 12u);
}

// Counts listener calls of one property.
void CountListener(void* refCon, AudioUnit, AudioUnitPropertyID, AudioUnitScope,
                   AudioUnitElement element) {
  ++*static_cast<int*>(refCon);
  EXPECT_EQ(element, 0u);
}

TEST_F(AUPropertiesTest, SetPropertyInformsListenersFirstEvenWhenRefused) {
  int calls = 0;
  ASSERT_EQ(AudioUnitAddPropertyListener(unit, 999, CountListener, &calls), noErr);
  ASSERT_EQ(
      AudioUnitAddPropertyListener(unit, kAudioUnitProperty_SampleRate, CountListener, &calls),
      noErr);
  UInt32 value = 1;
  EXPECT_EQ(AudioUnitSetProperty(unit, 999, G, 0, &value, sizeof(value)), kBadProp);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(
      AudioUnitSetProperty(unit, kAudioUnitProperty_ParameterList, G, 0, &value, sizeof(value)),
      kBadProp);
  // Read-only and unknown ids are refused.
  for (AudioUnitPropertyID id : {3u, 4u, 11u, 12u, 13u, 16u, 19u, 20u, 22u, 24u, 30u, 33u}) {
    EXPECT_EQ(AudioUnitSetProperty(unit, id, G, 0, &value, sizeof(value)), kBadProp) << id;
  }
  Float64 rate = 48000.0;
  EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_SampleRate, O, 3, &rate, sizeof(rate)),
            noErr);
  EXPECT_EQ(calls, 2);
  Float64 read = 0;
  ASSERT_EQ(Get(kAudioUnitProperty_SampleRate, G, 0, &read), noErr);
  EXPECT_EQ(read, 48000.0);
}

TEST_F(AUPropertiesTest, SetPropertyRefusesMissingAndAbsurdValues) {
  for (AudioUnitPropertyID id : {0u, 1u, 2u, 8u, 14u, 21u, 23u, 27u, 28u, 36u, 37u, 46u}) {
    AudioUnitScope scope = id == 23 ? I : G;
    EXPECT_EQ(AudioUnitSetProperty(unit, id, scope, 0, nullptr, 0),
              kAudioUnitErr_InvalidPropertyValue)
        << id;
  }
  for (Float64 rate : {0.0, -44100.0, (double)NAN, (double)INFINITY}) {
    EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_SampleRate, G, 0, &rate, sizeof(rate)),
              kAudioUnitErr_InvalidPropertyValue);
  }
  EXPECT_EQ(SetMaxFrames(unit, 0x7FFFFFFF), kAudioUnitErr_InvalidPropertyValue);
  UInt32 frames = 0;
  ASSERT_EQ(Get(kAudioUnitProperty_MaximumFramesPerSlice, G, 0, &frames), noErr);
  EXPECT_EQ(frames, 1024u);
  HostCallbackInfo callbacks = {};
  EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_HostCallbacks, I, 0, &callbacks,
                                 sizeof(callbacks)),
            kBadProp);
  AudioUnitConnection connection = {nullptr, 0, 1};
  EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_MakeConnection, I, 0, &connection,
                                 sizeof(connection)),
            kBadProp);
  connection.destInputNumber = 0;
  EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_MakeConnection, O, 0, &connection,
                                 sizeof(connection)),
            kBadProp);
  AURenderCallbackStruct cb = {nullptr, nullptr};
  EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_SetRenderCallback, G, 0, &cb, sizeof(cb)),
            kBadProp);
}

}  // namespace
