// Plug-in shapes the Orvanta bundle does not have — an instrument with two output buses, a
// side-chain input, parameters of every type in groups — built on the wrapper in this test
// and registered with the Component Manager under the wrapper's own entry.

#include <gtest/gtest.h>

#include <new>
#include <string>

#include "au/AU.h"
#include "au/AUTestHost.h"
#include "host/Host.h"
#include "tests/support/HeadlessGraphics.h"

namespace {

constexpr AudioUnitScope G = kAudioUnitScope_Global, I = kAudioUnitScope_Input,
                         O = kAudioUnitScope_Output;

enum class Shape { kInstrument, kSideChain, kFailing };
Shape gNextShape = Shape::kInstrument;

IPluginInstanceInfo Info(const char* bundleID, const char* viewClass) {
  IPluginInstanceInfo info;
  info.mBundleID.Set(bundleID);
  info.mViewFactoryClassName.Set(viewClass);
  return info;
}

// Two inputs, four outputs in two buses, parameters of every type, and an editor; its view
// class would live in the Orvanta bundle.
class InstrumentPlug : public IPluginAU {
 public:
  InstrumentPlug()
      : IPluginAU(Info("com.Quev.audiounit.Orvanta", "Shapes_View"), 5, "2-4", 0, "Shapes", "",
                  "Test", 0x10000, 0x53687073, 0x54657374, 0, true, false, true) {
    GetParam(0)->InitDouble("Cutoff", 1000.0, 20.0, 20000.0, 1.0, "Hz", "Filter");
    GetParam(1)->InitInt("Voices", 4, 1, 16, "", "Filter");
    GetParam(2)->InitBool("Bypass", false);
    GetParam(3)->InitEnum("Mode", 0, 3, "", "Amp");
    GetParam(3)->SetDisplayText(0, "Soft");
    GetParam(3)->SetDisplayText(1, "Hard");
    GetParam(3)->SetDisplayText(2, "Fold");
    GetParam(4)->InitDouble("Trim", 0.0, -12.0, 12.0, 0.1, "", "");
    AttachGraphics(new HeadlessGraphics(this, 64, 64));
  }
};

// A main stereo input and a mono side chain; the side chain is added to the left output. Its
// editor names a bundle that does not exist.
class SideChainPlug : public IPluginAU {
 public:
  SideChainPlug()
      : IPluginAU(Info("org.example.missing", "Missing_View"), {.channelIO = "2-2 3-2",
                                                                .nPresets = 0,
                                                                .effectName = "SideChain",
                                                                .mfrName = "Test",
                                                                .uniqueID = 0x53646368,
                                                                .mfrID = 0x54657374,
                                                                .scChans = 1}) {
    AttachGraphics(new HeadlessGraphics(this, 64, 64));
  }
  void ProcessDoubleReplacing(double** in, double** out, int nFrames) override {
    for (int i = 0; i < nFrames; ++i) {
      out[0][i] = in[0][i] + in[2][i];
      out[1][i] = in[1][i];
    }
  }
};

class AUShapesTest : public ::testing::Test {
 protected:
  OSStatus TryOpen(Shape shape) {
    static Component component = [] {
      ComponentDescription desc = {kAudioUnitType_MusicDevice, 0x53687073, 0x54657374, 0, 0};
      return RegisterComponent(&desc, (ComponentRoutineUPP)IPluginAU::IPluginAUEntry, 0, nullptr,
                               nullptr, nullptr);
    }();
    gNextShape = shape;
    return component ? OpenAComponent(component, &unit) : -1;
  }
  void Open(Shape shape) { ASSERT_EQ(TryOpen(shape), noErr); }
  void TearDown() override {
    if (unit) CloseComponent(unit);
  }
  template <class T>
  OSStatus Get(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, T* pValue) {
    UInt32 size = sizeof(T);
    return AudioUnitGetProperty(unit, id, scope, element, pValue, &size);
  }
  std::string Name(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element) {
    CFStringRef name = nullptr;
    if (Get(id, scope, element, &name) != noErr || !name) return "<none>";
    std::string text = Text(name);
    CFRelease(name);
    return text;
  }
  static std::string Text(CFStringRef s) {
    char buf[128] = "";
    if (s) CFStringGetCString(s, buf, sizeof(buf), kCFStringEncodingUTF8);
    return buf;
  }

  AudioUnit unit = nullptr;
};

TEST_F(AUShapesTest, ParameterTypesGiveUnitsFlagsAndClumps) {
  Open(Shape::kInstrument);
  struct {
    UInt32 unit;
    const char* unitName;
    UInt32 clump;
  } expected[] = {{kAudioUnitParameterUnit_CustomUnit, "Hz", 1},
                  {kAudioUnitParameterUnit_Indexed, "", 1},
                  {kAudioUnitParameterUnit_Boolean, "", 0},
                  {kAudioUnitParameterUnit_Indexed, "", 2},
                  {kAudioUnitParameterUnit_Generic, "", 0}};
  AudioUnitParameterNameInfo clumpName = {1, -1, nullptr};
  EXPECT_EQ(Get(kAudioUnitProperty_ParameterClumpName, G, 0, &clumpName),
            kAudioUnitErr_PropertyNotInUse);  // no group seen yet
  for (AudioUnitElement p = 0; p < 5; ++p) {
    AudioUnitParameterInfo info;
    ASSERT_EQ(Get(kAudioUnitProperty_ParameterInfo, G, p, &info), noErr);
    EXPECT_EQ(info.unit, expected[p].unit) << p;
    EXPECT_EQ(Text(info.unitName), expected[p].unitName) << p;
    EXPECT_EQ(info.clumpID, expected[p].clump) << p;
    EXPECT_EQ(info.flags, 0xC8000010u | (expected[p].clump ? 0x00100000u : 0u)) << p;
    CFRelease(info.cfNameString);
    if (info.unitName) CFRelease(info.unitName);
  }
  for (auto [clump, name] : {std::pair{1u, "Filter"}, {2u, "Amp"}}) {
    clumpName = {clump, -1, nullptr};
    ASSERT_EQ(Get(kAudioUnitProperty_ParameterClumpName, G, 0, &clumpName), noErr);
    EXPECT_EQ(Text(clumpName.outName), name);
    CFRelease(clumpName.outName);
  }
  clumpName = {3, -1, nullptr};
  EXPECT_EQ(Get(kAudioUnitProperty_ParameterClumpName, G, 0, &clumpName),
            kAudioUnitErr_PropertyNotInUse);
}

TEST_F(AUShapesTest, DisplayTextsAreValueStrings) {
  Open(Shape::kInstrument);
  UInt32 size = 0;
  ASSERT_EQ(AudioUnitGetPropertyInfo(unit, kAudioUnitProperty_ParameterValueStrings, G, 3, &size,
                                     nullptr),
            noErr);
  EXPECT_EQ(size, 8u);
  CFArrayRef strings = nullptr;
  ASSERT_EQ(Get(kAudioUnitProperty_ParameterValueStrings, G, 3, &strings), noErr);
  ASSERT_EQ(CFArrayGetCount(strings), 3);
  EXPECT_EQ(Text((CFStringRef)CFArrayGetValueAtIndex(strings, 0)), "Soft");
  EXPECT_EQ(Text((CFStringRef)CFArrayGetValueAtIndex(strings, 2)), "Fold");
  CFRelease(strings);
  ASSERT_EQ(Get(kAudioUnitProperty_ParameterValueStrings, G, 2, &strings), noErr);
  ASSERT_EQ(CFArrayGetCount(strings), 2);
  EXPECT_EQ(Text((CFStringRef)CFArrayGetValueAtIndex(strings, 1)), "on");
  CFRelease(strings);

  AudioUnitParameterValue value = 2.0f;
  AudioUnitParameterStringFromValue toText = {3, &value, nullptr};
  ASSERT_EQ(Get(kAudioUnitProperty_ParameterStringFromValue, G, 0, &toText), noErr);
  EXPECT_EQ(Text(toText.outString), "Fold");
  CFRelease(toText.outString);
  AudioUnitParameterValueFromString fromText = {3, CFSTR("Hard"), -1.0f};
  ASSERT_EQ(Get(kAudioUnitProperty_ParameterValueFromString, G, 0, &fromText), noErr);
  EXPECT_EQ(fromText.outValue, 1.0f);
  fromText = {3, CFSTR("hard"), -1.0f};  // display texts match exactly
  ASSERT_EQ(Get(kAudioUnitProperty_ParameterValueFromString, G, 0, &fromText), noErr);
  EXPECT_EQ(fromText.outValue, -1.0f);
}

TEST_F(AUShapesTest, InstrumentBusesLayoutsAndCounts) {
  Open(Shape::kInstrument);
  UInt32 count = 0;
  ASSERT_EQ(Get(kAudioUnitProperty_ElementCount, O, 0, &count), noErr);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(Name(kAudioUnitProperty_ElementName, O, 0), "output 1");
  EXPECT_EQ(Name(kAudioUnitProperty_ElementName, O, 1), "output 2");
  ASSERT_EQ(Get(kMusicDeviceProperty_InstrumentCount, G, 0, &count), noErr);
  EXPECT_EQ(count, 1u);
  AUChannelInfo io = {};
  ASSERT_EQ(Get(kAudioUnitProperty_SupportedNumChannels, G, 0, &io), noErr);
  EXPECT_EQ(io.inChannels, 2);
  EXPECT_EQ(io.outChannels, 4);

  UInt32 size = 0;
  Boolean writable = false;
  ASSERT_EQ(AudioUnitGetPropertyInfo(unit, kAudioUnitProperty_SupportedChannelLayoutTags, O, 1,
                                     &size, &writable),
            noErr);
  EXPECT_EQ(size, 4u);
  EXPECT_TRUE(writable);
  AudioChannelLayoutTag tag = 0;
  ASSERT_EQ(Get(kAudioUnitProperty_SupportedChannelLayoutTags, O, 1, &tag), noErr);
  EXPECT_EQ(tag, (AudioChannelLayoutTag)kAudioChannelLayoutTag_Stereo);
  EXPECT_EQ(Get(kAudioUnitProperty_SupportedChannelLayoutTags, O, 2, &tag),
            kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(Get(kAudioUnitProperty_SupportedChannelLayoutTags, G, 0, &tag),
            kAudioUnitErr_InvalidProperty);
}

struct CountingSource {
  int calls = 0;
  static OSStatus Proc(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32 bus,
                       UInt32 nFrames, AudioBufferList* io) {
    CountingSource* self = static_cast<CountingSource*>(refCon);
    ++self->calls;
    for (UInt32 ch = 0; ch < io->mNumberBuffers; ++ch) {
      float* data = static_cast<float*>(io->mBuffers[ch].mData);
      for (UInt32 i = 0; i < nFrames; ++i) data[i] = (float)(100 * bus + 10 * ch + i);
    }
    return noErr;
  }
};

TEST_F(AUShapesTest, ASecondOutputBusForTheSameTimeDoesNotPullAgain) {
  Open(Shape::kInstrument);
  CountingSource source;
  AURenderCallbackStruct cb = {CountingSource::Proc, &source};
  ASSERT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_SetRenderCallback, I, 0, &cb, sizeof(cb)),
            noErr);
  ASSERT_EQ(AudioUnitInitialize(unit), noErr);
  HostBuffers bus0(2, 16), bus1(2, 16);
  AudioTimeStamp ts = HostSampleTime(0);
  ASSERT_EQ(AudioUnitRender(unit, nullptr, &ts, 0, 16, bus0.List()), noErr);
  ASSERT_EQ(AudioUnitRender(unit, nullptr, &ts, 1, 16, bus1.List()), noErr);
  EXPECT_EQ(source.calls, 1);
  for (UInt32 i = 0; i < 16; ++i) {
    ASSERT_EQ(bus0.Channel(0)[i], (float)i);
    ASSERT_EQ(bus0.Channel(1)[i], (float)(10 + i));
    ASSERT_EQ(bus1.Channel(0)[i], 0.0f);  // the base's copy has no input for outputs 2 and 3
  }
  ts = HostSampleTime(16);
  ASSERT_EQ(AudioUnitRender(unit, nullptr, &ts, 0, 16, bus0.List()), noErr);
  EXPECT_EQ(source.calls, 2);
}

TEST_F(AUShapesTest, SideChainBusIsPulledIntoItsOwnChannel) {
  Open(Shape::kSideChain);
  UInt32 count = 0;
  ASSERT_EQ(Get(kAudioUnitProperty_ElementCount, I, 0, &count), noErr);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(Name(kAudioUnitProperty_ElementName, I, 0), "main input");
  EXPECT_EQ(Name(kAudioUnitProperty_ElementName, I, 1), "aux input");

  // Formats add up across the input buses: 2 alone is legal, then 2 + 1.
  AudioStreamBasicDescription f = HostCanonicalFormat(2, 44100.0);
  ASSERT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_StreamFormat, I, 0, &f, sizeof(f)),
            noErr);
  f = HostCanonicalFormat(2, 44100.0);
  EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_StreamFormat, I, 1, &f, sizeof(f)),
            kAudioUnitErr_InvalidProperty);
  f = HostCanonicalFormat(1, 44100.0);
  ASSERT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_StreamFormat, I, 1, &f, sizeof(f)),
            noErr);

  CountingSource main, side;
  AURenderCallbackStruct cb = {CountingSource::Proc, &main};
  ASSERT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_SetRenderCallback, I, 0, &cb, sizeof(cb)),
            noErr);
  cb = {CountingSource::Proc, &side};
  ASSERT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_SetRenderCallback, I, 1, &cb, sizeof(cb)),
            noErr);
  ASSERT_EQ(AudioUnitInitialize(unit), noErr);
  HostBuffers out(2, 8);
  AudioTimeStamp ts = HostSampleTime(0);
  ASSERT_EQ(AudioUnitRender(unit, nullptr, &ts, 0, 8, out.List()), noErr);
  EXPECT_EQ(main.calls, 1);
  EXPECT_EQ(side.calls, 1);
  for (UInt32 i = 0; i < 8; ++i) {
    ASSERT_EQ(out.Channel(0)[i], (float)i + (float)(100 + i));
    ASSERT_EQ(out.Channel(1)[i], (float)(10 + i));
  }
}

TEST_F(AUShapesTest, AnEditorIsOfferedThroughItsBundle) {
  ASSERT_NE(autest::OrvantaBundle(), nullptr);  // the bundle the view class lives in
  Open(Shape::kInstrument);
  ComponentDescription desc = {};
  ASSERT_EQ(Get(kAudioUnitProperty_GetUIComponentList, G, 0, &desc), noErr);
  EXPECT_EQ(desc.componentType, 0x61757677u);  // 'auvw'
  EXPECT_EQ(desc.componentSubType, 0x53687073u);
  EXPECT_EQ(desc.componentManufacturer, 0x54657374u);
  EXPECT_EQ(desc.componentFlags, 0u);
  AudioUnitCocoaViewInfo info = {};
  ASSERT_EQ(Get(kAudioUnitProperty_CocoaUI, G, 0, &info), noErr);
  EXPECT_EQ(Text(info.mCocoaAUViewClass[0]), "Shapes_View");
  CFStringRef path = CFURLCopyFileSystemPath(info.mCocoaAUViewBundleLocation, kCFURLPOSIXPathStyle);
  EXPECT_NE(Text(path).find("Orvanta.component"), std::string::npos) << Text(path);
  CFRelease(path);
  CFRelease(info.mCocoaAUViewBundleLocation);
  CFRelease(info.mCocoaAUViewClass[0]);
  // A host parameter change reaches the editor without trouble.
  EXPECT_EQ(AudioUnitSetParameter(unit, 0, G, 0, 440.0f, 0), noErr);
}

TEST_F(AUShapesTest, AnEditorWithoutItsBundleIsNotOffered) {
  Open(Shape::kSideChain);
  UInt32 size = 0;
  EXPECT_EQ(AudioUnitGetPropertyInfo(unit, kAudioUnitProperty_CocoaUI, G, 0, &size, nullptr),
            noErr);
  EXPECT_EQ(size, 16u);
  AudioUnitCocoaViewInfo info = {};
  EXPECT_EQ(Get(kAudioUnitProperty_CocoaUI, G, 0, &info), kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(info.mCocoaAUViewBundleLocation, nullptr);
}

TEST_F(AUShapesTest, AFailingFactoryIsReportedNotThrown) {
  EXPECT_EQ(TryOpen(Shape::kFailing), -108);  // memFullErr
  unit = nullptr;
  Open(Shape::kSideChain);
}

}  // namespace

// The factory the wrapper's entry calls: the shape the running test asked for.
IPluginAU* MakePlug() {
  if (gNextShape == Shape::kFailing) throw std::bad_alloc();
  if (gNextShape == Shape::kSideChain) return new SideChainPlug();
  return new InstrumentPlug();
}
