#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "host/Host.h"

namespace {

// A render callback that fills every channel with a ramp, channel c, frame i = c + i / 8, and
// counts its calls.
struct Ramp {
  int calls = 0;
  static OSStatus Fill(void* ref, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32,
                       UInt32 frames, AudioBufferList* io) {
    auto* ramp = static_cast<Ramp*>(ref);
    ++ramp->calls;
    for (UInt32 c = 0; c < io->mNumberBuffers; ++c) {
      auto* samples = static_cast<float*>(io->mBuffers[c].mData);
      for (UInt32 i = 0; i < frames; ++i) samples[i] = c + i / 8.0f;
    }
    return noErr;
  }
};

class HostUnitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HostError error;
    mComponent = HostComponent::Load(TEST_UNIT_BUNDLE, &error);
    ASSERT_NE(mComponent, nullptr) << error.message;
    mUnit = HostUnit::Open(*mComponent, &error);
    ASSERT_NE(mUnit, nullptr) << error.message;
  }
  void TearDown() override {
    mUnit.reset();
    mComponent.reset();
  }
  void ExpectRamp(HostBuffers& out, float gain) {
    for (UInt32 c = 0; c < out.Channels(); ++c)
      for (UInt32 i = 0; i < out.Frames(); ++i)
        ASSERT_FLOAT_EQ(out.Channel(c)[i], gain * (c + i / 8.0f)) << c << ":" << i;
  }

  std::unique_ptr<HostComponent> mComponent;
  std::unique_ptr<HostUnit> mUnit;
};

}  // namespace

TEST_F(HostUnitTest, RendersFromACallbackThroughEntryAndFastProcedure) {
  Ramp ramp;
  ASSERT_EQ(mUnit->SetStreamFormat(kAudioUnitScope_Input, 0, 2), noErr);
  EXPECT_EQ(mUnit->SetStreamFormat(kAudioUnitScope_Output, 0, 3), kAudioUnitErr_FormatNotSupported);
  ASSERT_EQ(mUnit->SetRenderCallback(0, Ramp::Fill, &ramp), noErr);
  ASSERT_EQ(mUnit->SetParameter(0, 0.5f), noErr);
  ASSERT_EQ(mUnit->Initialize(), noErr);

  HostBuffers out(2, 64);
  ASSERT_EQ(mUnit->Render(0, 0, 64, out.List()), noErr);
  ExpectRamp(out, 0.5f);
  EXPECT_EQ(ramp.calls, 1);

  HostBuffers fast(2, 64);
  ASSERT_NE(mUnit->FastRenderProc(), nullptr);
  ASSERT_EQ(mUnit->FastRender(0, 64, 64, fast.List()), noErr);
  ExpectRamp(fast, 0.5f);
  EXPECT_EQ(ramp.calls, 2);
  EXPECT_EQ(mUnit->FastGetParameterProc(), nullptr);  // this unit offers only render

  UInt32 maxFrames = 0;
  ASSERT_EQ(mUnit->SetMaximumFramesPerSlice(32), noErr);
  ASSERT_EQ(mUnit->GetProperty(kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0,
                               &maxFrames),
            noErr);
  EXPECT_EQ(maxFrames, 32u);
  EXPECT_EQ(mUnit->Render(0, 128, 64, out.List()), kAudioUnitErr_InvalidPropertyValue);
  UInt32 size = 0;
  bool writable = false;
  EXPECT_EQ(mUnit->GetPropertyInfo(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0,
                                   &size, &writable),
            noErr);
  EXPECT_EQ(size, sizeof(AudioStreamBasicDescription));
  EXPECT_TRUE(writable);
}

TEST_F(HostUnitTest, ChainsUnitsThroughMakeConnection) {
  HostError error;
  auto upstream = HostUnit::Open(*mComponent, &error);
  ASSERT_NE(upstream, nullptr);
  Ramp ramp;
  upstream->SetRenderCallback(0, Ramp::Fill, &ramp);
  upstream->SetParameter(0, 2.0f);
  mUnit->SetParameter(0, 0.25f);
  ASSERT_EQ(mUnit->ConnectInput(0, *upstream, 0), noErr);
  HostBuffers out(2, 16);
  ASSERT_EQ(mUnit->Render(0, 0, 16, out.List()), noErr);
  ExpectRamp(out, 0.5f);
  ASSERT_EQ(mUnit->DisconnectInput(0), noErr);
  ASSERT_EQ(mUnit->Render(0, 16, 16, out.List()), noErr);
  ExpectRamp(out, 0.0f);
  EXPECT_EQ(ramp.calls, 1);
}

TEST_F(HostUnitTest, PresetFilesRoundTrip) {
  const std::string path =
      ::testing::TempDir() + "host-test-" + std::to_string(getpid()) + ".aupreset";
  mUnit->SetParameter(0, 1.5f);
  HostError error;
  ASSERT_EQ(mUnit->SavePresetFile(path, &error), noErr) << error.message;
  std::ifstream in(path);
  std::string xml((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string subtype = std::to_string(HostFourCC("Tstu"));
  EXPECT_NE(xml.find("<key>subtype</key>\n\t<integer>" + subtype + "</integer>"),
            std::string::npos);
  EXPECT_NE(xml.find("<data>"), std::string::npos);

  mUnit->SetParameter(0, 0.0f);
  ASSERT_EQ(mUnit->LoadPresetFile(path, &error), noErr) << error.message;
  AudioUnitParameterValue gain = 0;
  mUnit->GetParameter(0, &gain);
  EXPECT_EQ(gain, 1.5f);

  // Reading the file and writing it again gives the same bytes.
  CFDictionaryRef state = ReadAUPresetFile(path, &error);
  ASSERT_NE(state, nullptr);
  ASSERT_TRUE(WriteAUPresetFile(path + "2", state, kCFPropertyListXMLFormat_v1_0, &error));
  CFRelease(state);
  std::ifstream in2(path + "2");
  std::string xml2((std::istreambuf_iterator<char>(in2)), std::istreambuf_iterator<char>());
  EXPECT_EQ(xml2, xml);

  std::ofstream(path) << xml.substr(0, xml.size() - 20);
  EXPECT_EQ(mUnit->LoadPresetFile(path, &error), kHostErr_BadFile);
  EXPECT_NE(error.message.find("is not a preset file"), std::string::npos) << error.message;
  std::ofstream(path) << "<plist version=\"1.0\"><string>x</string></plist>";
  EXPECT_EQ(mUnit->LoadPresetFile(path, &error), kHostErr_BadFile);
  EXPECT_NE(error.message.find("does not hold a dictionary"), std::string::npos);
  std::remove(path.c_str());
  std::remove((path + "2").c_str());
  EXPECT_EQ(mUnit->LoadPresetFile(path, &error), kHostErr_FileNotFound);
  // A dictionary the unit refuses reports the unit's status.
  std::ofstream(path) << "<plist version=\"1.0\"><dict/></plist>";
  EXPECT_EQ(mUnit->LoadPresetFile(path, &error), kAudioUnitErr_InvalidPropertyValue);
  std::remove(path.c_str());
  EXPECT_FALSE(WriteAUPresetFile("/nonexistent-folder/x.aupreset", CFSTR("x"),
                                 kCFPropertyListXMLFormat_v1_0, &error));
  EXPECT_EQ(error.status, kHostErr_BadFile);
}

TEST_F(HostUnitTest, EventLogHearsParameterEventsInOrder) {
  HostEventLog log(mUnit->Unit());
  ASSERT_TRUE(log.Listening());
  auto send = [&](AudioUnitEventType type, AudioUnitScope scope) {
    AudioUnitEvent e = {};
    e.mEventType = type;
    e.mArgument.mParameter = {mUnit->Unit(), 1, scope, 0};
    AUEventListenerNotify(nullptr, nullptr, &e);
  };
  send(kAudioUnitEvent_BeginParameterChangeGesture, kAudioUnitScope_Global);
  mUnit->SetParameter(1, 1.25f);
  send(kAudioUnitEvent_ParameterValueChange, kAudioUnitScope_Global);
  send(kAudioUnitEvent_ParameterValueChange, kAudioUnitScope_Input);  // not global: unheard
  send(kAudioUnitEvent_EndParameterChangeGesture, kAudioUnitScope_Global);
  auto events = log.Events();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].type, kAudioUnitEvent_BeginParameterChangeGesture);
  EXPECT_EQ(events[1].type, kAudioUnitEvent_ParameterValueChange);
  EXPECT_EQ(events[1].value, 1.25f);
  EXPECT_EQ(events[2].type, kAudioUnitEvent_EndParameterChangeGesture);
  for (const auto& e : events) EXPECT_EQ(e.parameter, 1u);
}

TEST(HostTransport, AnswersWhatTheHostKnows) {
  HostTransport transport;
  transport.mTempo = 96;
  transport.mTimeSigNumerator = 7;
  transport.mTimeSigDenominator = 8;
  transport.mIsPlaying = true;
  transport.mCurrentSampleInTimeLine = 4410.6;
  transport.mHasMusicalTime = false;
  HostCallbackInfo info = transport.Callbacks();
  EXPECT_EQ(info.musicalTimeLocationProc, nullptr);
  Float64 tempo = 0;
  ASSERT_NE(info.beatAndTempoProc, nullptr);
  EXPECT_EQ(info.beatAndTempoProc(info.hostUserData, nullptr, &tempo), noErr);
  EXPECT_EQ(tempo, 96);
  Boolean playing = false;
  Float64 sample = 0;
  ASSERT_NE(info.transportStateProc, nullptr);
  info.transportStateProc(info.hostUserData, &playing, nullptr, &sample, nullptr, nullptr, nullptr);
  EXPECT_TRUE(playing);
  EXPECT_EQ(sample, 4410.6);
}
