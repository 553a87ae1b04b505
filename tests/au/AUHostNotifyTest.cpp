// Traffic towards the host: gesture events, property-change notifications and the host
// queries. The editor's side of a gesture is played by calling the plug-in's hooks on the
// instance the unit registered, as the editor engine does.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "au/AUTestHost.h"
#include "framework/IPluginBase.h"

using namespace autest;

namespace {

constexpr AudioUnitScope G = kAudioUnitScope_Global;

IPluginBase* Plug(const Unit& unit) { return static_cast<IPluginBase*>(unit.Storage()); }

struct EventLog {
  struct Entry {
    AudioUnitEventType type;
    AudioUnit unit;
    AudioUnitParameterID id;
    AudioUnitScope scope;
    AudioUnitElement element;
    float value;
  };
  std::vector<Entry> events;
  static void Proc(void* refCon, void*, const AudioUnitEvent* event, UInt64, float value) {
    const AudioUnitParameter& p = event->mArgument.mParameter;
    static_cast<EventLog*>(refCon)->events.push_back(
        {event->mEventType, p.mAudioUnit, p.mParameterID, p.mScope, p.mElement, value});
  }
};

class AUHostNotifyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_NE(OrvantaComponent(&error), nullptr) << error;
    ASSERT_NE(Plug(unit), nullptr);
  }
  Unit unit;
};

TEST_F(AUHostNotifyTest, AGestureReachesEventListenersInOrder) {
  EventLog log;
  AUEventListenerRef listener = nullptr;
  ASSERT_EQ(AUEventListenerCreate(EventLog::Proc, &log, nullptr, nullptr, 0, 0, &listener), noErr);
  for (AudioUnitEventType type :
       {kAudioUnitEvent_BeginParameterChangeGesture, kAudioUnitEvent_ParameterValueChange,
        kAudioUnitEvent_EndParameterChangeGesture}) {
    AudioUnitEvent event = {};
    event.mEventType = type;
    event.mArgument.mParameter = {unit, 1, G, 0};
    ASSERT_EQ(AUEventListenerAddEventType(listener, nullptr, &event), noErr);
  }

  IPluginBase* plug = Plug(unit);
  plug->BeginInformHostOfParamChange(1);
  plug->SetParameterFromGUI(1, 0.5);
  plug->SetParameterFromGUI(1, 0.25);
  plug->EndInformHostOfParamChange(1);
  plug->BeginInformHostOfParamChange(2);  // not registered: not delivered

  ASSERT_EQ(log.events.size(), 4u);
  const AudioUnitEventType types[] = {
      kAudioUnitEvent_BeginParameterChangeGesture, kAudioUnitEvent_ParameterValueChange,
      kAudioUnitEvent_ParameterValueChange, kAudioUnitEvent_EndParameterChangeGesture};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(log.events[i].type, types[i]) << i;
    EXPECT_EQ(log.events[i].unit, unit.Get());
    EXPECT_EQ(log.events[i].id, 1u);
    EXPECT_EQ(log.events[i].scope, G);
    EXPECT_EQ(log.events[i].element, 0u);
  }
  // Listeners read the value back; it was stored before the event went out.
  EXPECT_NEAR(log.events[1].value, -94.0 + 100.0 * std::pow(0.5, 0.19), 1e-4);
  EXPECT_NEAR(log.events[2].value, -94.0 + 100.0 * std::pow(0.25, 0.19), 1e-4);
  EXPECT_EQ(GetParam(unit, 1), log.events[2].value);
  AUListenerDispose(listener);
}

struct LatencyProbe {
  AudioUnit unit;
  std::vector<Float64> seen;
  static void Proc(void* refCon, AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope,
                   AudioUnitElement element) {
    LatencyProbe* self = static_cast<LatencyProbe*>(refCon);
    EXPECT_EQ(unit, self->unit);
    EXPECT_EQ(scope, G);
    EXPECT_EQ(element, 0u);
    Float64 latency = -1;
    UInt32 size = sizeof(latency);
    if (id == kAudioUnitProperty_Latency || id == kAudioUnitProperty_TailTime)
      AudioUnitGetProperty(unit, id, G, 0, &latency, &size);
    self->seen.push_back(latency);
  }
};

// A latency listener hears before the new value is stored, a tail listener after it; the tail
// property then becomes writable.
TEST_F(AUHostNotifyTest, LatencyAndTailListenersHearInTheirOrder) {
  LatencyProbe latencyProbe{unit, {}}, tailProbe{unit, {}};
  ASSERT_EQ(AudioUnitAddPropertyListener(unit, kAudioUnitProperty_Latency, LatencyProbe::Proc,
                                         &latencyProbe),
            noErr);
  ASSERT_EQ(AudioUnitAddPropertyListener(unit, kAudioUnitProperty_TailTime, LatencyProbe::Proc,
                                         &tailProbe),
            noErr);
  Plug(unit)->SetLatency(441);
  Plug(unit)->SetTailSize(441);
  ASSERT_EQ(latencyProbe.seen.size(), 1u);
  EXPECT_EQ(latencyProbe.seen[0], 0.0);
  ASSERT_EQ(tailProbe.seen.size(), 1u);
  EXPECT_DOUBLE_EQ(tailProbe.seen[0], 0.01);
  Float64 latency = 0;
  UInt32 size = sizeof(latency);
  ASSERT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_Latency, G, 0, &latency, &size), noErr);
  EXPECT_DOUBLE_EQ(latency, 0.01);
  Boolean writable = false;
  ASSERT_EQ(AudioUnitGetPropertyInfo(unit, kAudioUnitProperty_TailTime, G, 0, &size, &writable),
            noErr);
  EXPECT_TRUE(writable);
}

TEST_F(AUHostNotifyTest, ProgramChangesNotifyPresentPresetListeners) {
  LatencyProbe probe{unit, {}};
  ASSERT_EQ(AudioUnitAddPropertyListener(unit, kAudioUnitProperty_PresentPreset, LatencyProbe::Proc,
                                         &probe),
            noErr);
  Plug(unit)->InformHostOfProgramChange();
  EXPECT_EQ(probe.seen.size(), 1u);
}

// A host's transport, answering through the HostCallbacks procedures.
struct TestHost {
  Float64 beat = 17.25, tempo = 98.5;
  Boolean playing = true, cycling = true;
  Float64 sample = 44100.4, cycleStart = 4.0, cycleEnd = 12.0;
  Float32 numerator = 7.9f;
  UInt32 denominator = 8;
  Float64 downBeat = 16.0;
  OSStatus result = noErr;

  static OSStatus BeatAndTempo(void* data, Float64* beat, Float64* tempo) {
    TestHost* h = static_cast<TestHost*>(data);
    if (beat) *beat = h->beat;
    if (tempo) *tempo = h->tempo;
    return h->result;
  }
  static OSStatus MusicalTime(void* data, UInt32* delta, Float32* num, UInt32* den,
                              Float64* downBeat) {
    TestHost* h = static_cast<TestHost*>(data);
    if (delta) *delta = 0;
    if (num) *num = h->numerator;
    if (den) *den = h->denominator;
    if (downBeat) *downBeat = h->downBeat;
    return h->result;
  }
  static OSStatus Transport(void* data, Boolean* playing, Boolean* changed, Float64* sample,
                            Boolean* cycling, Float64* start, Float64* end) {
    TestHost* h = static_cast<TestHost*>(data);
    if (playing) *playing = h->playing;
    if (changed) *changed = false;
    if (sample) *sample = h->sample;
    if (cycling) *cycling = h->cycling;
    if (start) *start = h->cycleStart;
    if (end) *end = h->cycleEnd;
    return h->result;
  }
};

TEST_F(AUHostNotifyTest, WithoutHostCallbacksTheDefaultsStand) {
  IPluginBase* plug = Plug(unit);
  EXPECT_EQ(plug->GetTempo(), 120.0);
  EXPECT_EQ(plug->GetSamplePos(), 0);
  int num = 3, den = 5;
  plug->GetTimeSig(&num, &den);
  EXPECT_EQ(num, 3);
  EXPECT_EQ(den, 5);
  ITimeInfo info;
  plug->GetTime(&info);
  EXPECT_EQ(info.mBeatsPerMinute, 120.0);
  EXPECT_EQ(info.mSamplePosition, -1.0);
  EXPECT_EQ(info.mTimeSigNumerator, 4);
  EXPECT_FALSE(info.mPlaying);
  EXPECT_FALSE(plug->IsRenderingOffline());
  EXPECT_FALSE(plug->SendMidiMsg(nullptr));
}

TEST_F(AUHostNotifyTest, HostCallbacksAnswerTempoAndTransport) {
  TestHost host;
  HostCallbackInfo callbacks = {&host, TestHost::BeatAndTempo, TestHost::MusicalTime,
                                TestHost::Transport};
  ASSERT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_HostCallbacks, G, 0, &callbacks,
                                 sizeof(callbacks)),
            noErr);
  IPluginBase* plug = Plug(unit);
  EXPECT_EQ(plug->GetTempo(), 98.5);
  EXPECT_EQ(plug->GetSamplePos(), 44100);
  int num = 0, den = 0;
  plug->GetTimeSig(&num, &den);
  EXPECT_EQ(num, 7);
  EXPECT_EQ(den, 8);
  ITimeInfo info;
  plug->GetTime(&info);
  EXPECT_EQ(info.mBeatsPerMinute, 98.5);
  EXPECT_EQ(info.mQuarterNotePosition, 17.25);
  EXPECT_EQ(info.mSamplePosition, 44100.4);
  EXPECT_EQ(info.mLoopStart, 4.0);
  EXPECT_EQ(info.mLoopEnd, 12.0);
  EXPECT_EQ(info.mTimeSigNumerator, 7);
  EXPECT_EQ(info.mTimeSigDenominator, 8);
  EXPECT_EQ(info.mLastBarStart, 16.0);
  EXPECT_TRUE(info.mPlaying);
  EXPECT_TRUE(info.mLooping);

  // A tempo of 0 keeps the last positive one; a failing host leaves the caller's defaults.
  host.tempo = 0.0;
  EXPECT_EQ(plug->GetTempo(), 98.5);
  host.result = -1;
  host.tempo = 140.0;
  EXPECT_EQ(plug->GetTempo(), 98.5);
  num = 3;
  den = 4;
  plug->GetTimeSig(&num, &den);
  EXPECT_EQ(num, 3);
  EXPECT_EQ(den, 4);
  ITimeInfo untouched;
  plug->GetTime(&untouched);
  EXPECT_EQ(untouched.mBeatsPerMinute, 120.0);
  EXPECT_EQ(untouched.mTimeSigDenominator, 4);
  EXPECT_FALSE(untouched.mPlaying);
}

TEST_F(AUHostNotifyTest, OfflineRenderingAndHostIdentity) {
  const UInt32 on = 1;
  ASSERT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_OfflineRender, G, 0, &on, sizeof(on)),
            noErr);
  EXPECT_TRUE(Plug(unit)->IsRenderingOffline());

  AUHostVersionIdentifier host = {CFSTR("Cubase 8"), {0, 0, 0x52, 8}};
  ASSERT_EQ(
      AudioUnitSetProperty(unit, kAudioUnitProperty_AUHostIdentifier, G, 0, &host, sizeof(host)),
      noErr);
  EXPECT_EQ(Plug(unit)->GetHost(), kHostCubase);
  EXPECT_EQ(Plug(unit)->GetHostVersion(false), 0x80502);  // 8.5.2 from major 8, minor-bugfix 0x52
}

TEST(AUHostIdentityTest, TheHostIsTheMainBundleAtOpen) {
  ASSERT_NE(OrvantaComponent(), nullptr);
  CFBundleLinuxSetMainBundleIdentifier(CFSTR("com.apple.logic10"));
  {
    Unit unit;
    EXPECT_EQ(Plug(unit)->GetHost(), kHostLogic);
  }
  CFBundleLinuxSetMainBundleIdentifier(CFSTR("org.example.somehost"));
  {
    Unit unit;
    EXPECT_EQ(Plug(unit)->GetHost(), kHostUnknown);
  }
  CFBundleLinuxSetMainBundleIdentifier(nullptr);
}

}  // namespace
