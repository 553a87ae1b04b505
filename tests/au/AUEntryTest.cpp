// The exported entry: symbols, selector dispatch, locking, initialisation, parameters,
// property listeners and render notifications, all through the host-side calls.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "au/AUTestHost.h"

using namespace autest;

namespace {

constexpr OSStatus kBadSelector = (OSStatus)0x80008002;

// Sends a selector with raw arguments, as the Component Manager lays them out.
OSStatus Dispatch(AudioUnit unit, SInt16 what, std::initializer_list<long> args = {}) {
  struct {
    ComponentParameters head;
    long more[8];
  } record = {};
  record.head.what = what;
  record.head.paramSize = (UInt8)(args.size() * sizeof(long));
  record.head.params[0] = (long)unit;
  long* slots = &record.head.params[1];
  for (long arg : args) *slots++ = arg;
  return CallComponentDispatch(&record.head);
}

class AUEntryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_NE(OrvantaComponent(&error), nullptr) << error;
    ASSERT_NE(unit.Get(), nullptr);
  }
  Unit unit;
};

TEST(AUBundleTest, PluginExportsOnlyItsEntries) {
  ASSERT_NE(OrvantaComponent(), nullptr);
  std::string command = "nm -D --defined-only '" + PluginPath() + "'";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::set<std::string> names;
  char line[1024];
  while (fgets(line, sizeof(line), pipe)) {
    char address[64], type[8], name[900];
    if (sscanf(line, "%63s %7s %899s", address, type, name) == 3) names.insert(name);
  }
  ASSERT_EQ(pclose(pipe), 0);
  EXPECT_TRUE(names.count("Orvanta_Entry"));
  for (const std::string& name : names) {
    EXPECT_NE(name.rfind("_Z", 0), 0u) << "C++ symbol exported: " << name;
    EXPECT_TRUE(name == "Orvanta_Entry" || name == "Orvanta_ViewEntry") << name;
  }
}

// A copy of the bundle whose Info.plist is replaced, to see the host refuse it clearly.
HostError LoadWithInfoPlist(const std::string& plist) {
  const std::string dir = TempPath("orvanta-broken.component");
  std::string command = "rm -rf '" + dir + "' && cp -r '" + BundlePath() + "' '" + dir + "'";
  EXPECT_EQ(std::system(command.c_str()), 0);
  FILE* file = fopen((dir + "/Contents/Info.plist").c_str(), "wb");
  fwrite(plist.data(), 1, plist.size(), file);
  fclose(file);
  HostError error;
  EXPECT_EQ(HostComponent::Load(dir, &error), nullptr);
  std::system(("rm -rf '" + dir + "'").c_str());
  return error;
}

TEST(AUBundleTest, InfoPlistNamesTheComponentAndItsEntry) {
  const HostComponent* bundle = OrvantaBundle();
  ASSERT_NE(bundle, nullptr);
  EXPECT_EQ(bundle->Description().componentType, (OSType)kAudioUnitType_Effect);
  EXPECT_EQ(bundle->Description().componentSubType, 0x517a766bu);
  EXPECT_EQ(bundle->Description().componentManufacturer, 0x517a766bu);
  EXPECT_EQ(bundle->EntryName(), "Orvanta_Entry");
  EXPECT_EQ(bundle->BundleIdentifier(), "com.Quev.audiounit.Orvanta");
  EXPECT_EQ(bundle->Version(), 0x20001u);

  HostError garbage = LoadWithInfoPlist("<?xml version=\"1.0\"?><plist><dict><key>");
  EXPECT_TRUE(garbage.Failed());
  EXPECT_FALSE(garbage.message.empty());
  HostError noExecutable = LoadWithInfoPlist(
      "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>CFBundleExecutable</key>"
      "<string>Missing</string><key>AudioComponents</key><array><dict><key>type</key>"
      "<string>aufx</string><key>subtype</key><string>Qzvk</string><key>manufacturer</key>"
      "<string>Qzvk</string><key>factoryFunction</key><string>Missing_Entry</string>"
      "</dict></array></dict></plist>");
  EXPECT_TRUE(noExecutable.Failed());
  EXPECT_FALSE(noExecutable.message.empty());
}

TEST_F(AUEntryTest, OpenRegistersThePlugInAsInstanceStorage) {
  EXPECT_NE(unit.Storage(), nullptr);
  Unit second;
  EXPECT_NE(second.Storage(), unit.Storage());
}

TEST_F(AUEntryTest, CanDoAnswersTheAdvertisedSelectorsOnly) {
  const std::set<int> yes = {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 14, 15, 16, 17};
  for (int select = -12; select <= 300; ++select) {
    EXPECT_EQ(ComponentFunctionImplemented(unit, (SInt16)select), yes.count(select) ? 1 : 0)
        << select;
  }
}

TEST_F(AUEntryTest, VersionIsThePackedEffectVersion) {
  EXPECT_EQ(GetComponentVersion(unit), 0x20001);
}

TEST_F(AUEntryTest, SelectorsOutsideTheTableAreRefused) {
  for (int select : {0, 8, 12, 13, 19, 20, 255, 256, 263, 300, 0x301, 32767, -5, -10, -32768}) {
    EXPECT_EQ(Dispatch(unit, (SInt16)select, {0, 0, 0, 0, 0, 0}), kBadSelector) << select;
  }
}

TEST_F(AUEntryTest, MusicDeviceSelectorsAreAnsweredWithoutEffect) {
  const float before = GetParam(unit, 1);
  EXPECT_EQ(MusicDeviceMIDIEvent(unit, 0x90, 60, 100, 0), noErr);
  const UInt8 sysex[] = {0xF0, 0x7E, 0xF7};
  EXPECT_EQ(MusicDeviceSysEx(unit, sysex, sizeof(sysex)), noErr);
  EXPECT_EQ(MusicDevicePrepareInstrument(unit, 0), noErr);
  EXPECT_EQ(MusicDeviceReleaseInstrument(unit, 0), noErr);
  MusicDeviceNoteParams note = {2, 60.7f, 90.0f, {}};
  NoteInstanceID id = 0;
  EXPECT_EQ(MusicDeviceStartNote(unit, 0, 0, &id, 0, &note), noErr);
  EXPECT_EQ(id, 60u);
  EXPECT_EQ(MusicDeviceStartNote(unit, 0, 0, nullptr, 0, &note), noErr);
  EXPECT_EQ(MusicDeviceStopNote(unit, 0, id, 0), noErr);
  EXPECT_EQ(GetParam(unit, 1), before);
}

TEST_F(AUEntryTest, NullRecordsAndMissingInstancesAreRefused) {
  ComponentRoutineUPP entry = OrvantaEntry();
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry(nullptr, nullptr), kBadSelector);
  ComponentParameters params = {};
  params.what = kAudioUnitInitializeSelect;
  EXPECT_EQ(entry(&params, nullptr), (OSStatus)0x80008001);
  params.what = kComponentCloseSelect;
  EXPECT_EQ(entry(&params, nullptr), (OSStatus)0x80008001);
}

TEST_F(AUEntryTest, InitializeWithoutFormatsAcceptsTheDefaultConfiguration) {
  EXPECT_EQ(AudioUnitInitialize(unit), noErr);
  EXPECT_EQ(AudioUnitUninitialize(unit), noErr);
  EXPECT_EQ(AudioUnitInitialize(unit), noErr);
}

TEST_F(AUEntryTest, InitializeChecksTheHostChannelCounts) {
  EXPECT_EQ(SetFormat(unit, kAudioUnitScope_Input, 0, 2), noErr);
  EXPECT_EQ(SetFormat(unit, kAudioUnitScope_Output, 0, 2), noErr);
  EXPECT_EQ(AudioUnitInitialize(unit), noErr);
  EXPECT_EQ(AudioUnitUninitialize(unit), noErr);

  // Refused formats leave their bus at 0 channels: 2 in, 0 out is no legal configuration.
  EXPECT_EQ(SetFormat(unit, kAudioUnitScope_Output, 0, 0), kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(AudioUnitInitialize(unit), kBadSelector);
  // ... but 0 in and 0 out is accepted without a configuration test.
  EXPECT_EQ(SetFormat(unit, kAudioUnitScope_Input, 0, 0), kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(AudioUnitInitialize(unit), noErr);
}

TEST_F(AUEntryTest, OneChannelFormatsAreRefusedForAStereoOnlyUnit) {
  EXPECT_EQ(SetFormat(unit, kAudioUnitScope_Input, 0, 1), kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(SetFormat(unit, kAudioUnitScope_Output, 0, 1), kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(SetFormat(unit, kAudioUnitScope_Input, 1, 2), kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(SetFormat(unit, kAudioUnitScope_Global, 0, 2), noErr);
}

TEST_F(AUEntryTest, ParametersAreStoredClampedToTheirRange) {
  EXPECT_EQ(GetParam(unit, 0), 0.0f);
  EXPECT_EQ(SetParam(unit, 0, -12.5f), noErr);
  EXPECT_EQ(GetParam(unit, 0), -12.5f);
  EXPECT_EQ(SetParam(unit, 1, 40.0f), noErr);
  EXPECT_EQ(GetParam(unit, 1), 6.0f);
  EXPECT_EQ(SetParam(unit, 2, -1000.0f), noErr);
  EXPECT_EQ(GetParam(unit, 2), -94.0f);
}

TEST_F(AUEntryTest, ParameterAccessOutsideGlobalScopeOrRangeIsRefused) {
  AudioUnitParameterValue value = 1.0f;
  EXPECT_EQ(AudioUnitGetParameter(unit, 0, kAudioUnitScope_Input, 0, &value),
            kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(AudioUnitSetParameter(unit, 0, kAudioUnitScope_Output, 0, 3.0f, 0),
            kAudioUnitErr_InvalidProperty);
  for (AudioUnitParameterID id : {3u, 4u, 1000u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
    EXPECT_EQ(AudioUnitGetParameter(unit, id, kAudioUnitScope_Global, 0, &value),
              kAudioUnitErr_InvalidParameter);
    EXPECT_EQ(AudioUnitSetParameter(unit, id, kAudioUnitScope_Global, 0, 3.0f, 0),
              kAudioUnitErr_InvalidParameter);
  }
  EXPECT_NE(AudioUnitGetParameter(unit, 0, kAudioUnitScope_Global, 0, nullptr), noErr);
  EXPECT_EQ(GetParam(unit, 0), 0.0f);
}

// They land on their frames in the next render (AURenderTest); here, what is refused.
TEST_F(AUEntryTest, ScheduledParametersAreQueuedInOrderUntilAnError) {
  AudioUnitParameterEvent events[4] = {};
  events[0].parameter = 0;
  events[0].eventType = kParameterEvent_Ramped;
  events[0].eventValues.ramp = {0, 64, -1.0f, -2.0f};
  events[1].parameter = 1;
  events[1].eventType = kParameterEvent_Immediate;
  events[1].eventValues.immediate = {0, -3.0f};
  events[2].parameter = 2;
  events[2].scope = kAudioUnitScope_Input;
  events[2].eventType = kParameterEvent_Immediate;
  events[2].eventValues.immediate = {0, -4.0f};
  events[3].parameter = 2;
  events[3].eventType = kParameterEvent_Immediate;
  events[3].eventValues.immediate = {0, -5.0f};

  EXPECT_EQ(AudioUnitScheduleParameters(unit, events, 2), noErr);
  EXPECT_EQ(GetParam(unit, 1), 0.0f);  // not before the render
  EXPECT_EQ(AudioUnitScheduleParameters(unit, events, 4), kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(AudioUnitScheduleParameters(unit, events, 0), noErr);
  EXPECT_EQ(AudioUnitScheduleParameters(unit, nullptr, 0), noErr);
  EXPECT_NE(AudioUnitScheduleParameters(unit, nullptr, 3), noErr);
  events[3].parameter = 3;
  EXPECT_EQ(AudioUnitScheduleParameters(unit, events + 3, 1), kAudioUnitErr_InvalidParameter);
  // A full queue refuses more rather than dropping them.
  int accepted = 0;
  while (AudioUnitScheduleParameters(unit, events + 1, 1) == noErr && accepted < 1000) ++accepted;
  EXPECT_EQ(accepted, 256 - 4);  // the queue takes 256 events per render
}

// Property-listener calls, recorded in order.
struct ListenerLog {
  std::vector<std::pair<int, void*>> calls;  // (listener number, user data)
  static void One(void* refCon, AudioUnit, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement) {
    Log(refCon)->calls.push_back({1, refCon});
  }
  static void Two(void* refCon, AudioUnit, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement) {
    Log(refCon)->calls.push_back({2, refCon});
  }
  static ListenerLog* Log(void* refCon) { return *static_cast<ListenerLog**>(refCon); }
};

TEST_F(AUEntryTest, PropertyListenersAreKeptOncePerIdAndProcedure) {
  ListenerLog log;
  ListenerLog* tags[3] = {&log, &log, &log};  // distinct user-data addresses, same log
  const AudioUnitPropertyID id = kAudioUnitProperty_BypassEffect;
  const UInt32 off = 0;
  auto set = [&] {
    log.calls.clear();
    AudioUnitSetProperty(unit, id, kAudioUnitScope_Global, 0, &off, sizeof(off));
  };

  EXPECT_EQ(AudioUnitAddPropertyListener(unit, id, ListenerLog::One, &tags[0]), noErr);
  EXPECT_EQ(AudioUnitAddPropertyListener(unit, id, ListenerLog::One, &tags[1]), noErr);
  EXPECT_EQ(AudioUnitAddPropertyListener(unit, id, ListenerLog::Two, &tags[2]), noErr);
  EXPECT_EQ(
      AudioUnitAddPropertyListener(unit, kAudioUnitProperty_Latency, ListenerLog::Two, &tags[2]),
      noErr);
  set();
  ASSERT_EQ(log.calls.size(), 2u);
  EXPECT_EQ(log.calls[0], std::make_pair(1, (void*)&tags[0]));
  EXPECT_EQ(log.calls[1], std::make_pair(2, (void*)&tags[2]));

  // With user data, only an exact match goes.
  EXPECT_EQ(AudioUnitRemovePropertyListenerWithUserData(unit, id, ListenerLog::One, &tags[1]),
            noErr);
  set();
  EXPECT_EQ(log.calls.size(), 2u);
  EXPECT_EQ(AudioUnitRemovePropertyListenerWithUserData(unit, id, ListenerLog::One, &tags[0]),
            noErr);
  set();
  ASSERT_EQ(log.calls.size(), 1u);
  EXPECT_EQ(log.calls[0].first, 2);

  // Without user data, id and procedure decide; a listener of another id stays.
  EXPECT_EQ(AudioUnitRemovePropertyListener(unit, id, ListenerLog::Two), noErr);
  EXPECT_EQ(AudioUnitRemovePropertyListener(unit, id, ListenerLog::Two), noErr);
  set();
  EXPECT_TRUE(log.calls.empty());
  EXPECT_NE(AudioUnitAddPropertyListener(unit, id, nullptr, nullptr), noErr);
  set();
  EXPECT_TRUE(log.calls.empty());
}

struct NotifyLog {
  std::vector<std::pair<int, AudioUnitRenderActionFlags>> calls;  // (tag, flags)
  static OSStatus A(void* refCon, AudioUnitRenderActionFlags* flags, const AudioTimeStamp*, UInt32,
                    UInt32, AudioBufferList*) {
    auto* tag = static_cast<std::pair<NotifyLog*, int>*>(refCon);
    tag->first->calls.push_back({tag->second, *flags});
    return noErr;
  }
  static OSStatus B(void* refCon, AudioUnitRenderActionFlags* flags, const AudioTimeStamp* ts,
                    UInt32 bus, UInt32 n, AudioBufferList* io) {
    return A(refCon, flags, ts, bus, n, io);
  }
};

TEST_F(AUEntryTest, RenderNotificationsRunBeforeAndAfterInOrderAndGoByProcedure) {
  SignalSource source;
  ASSERT_EQ(source.Attach(unit), noErr);
  ASSERT_EQ(AudioUnitInitialize(unit), noErr);
  NotifyLog log;
  std::pair<NotifyLog*, int> tag1{&log, 1}, tag2{&log, 2}, tag3{&log, 3};
  EXPECT_EQ(AudioUnitAddRenderNotify(unit, NotifyLog::A, &tag1), noErr);
  EXPECT_EQ(AudioUnitAddRenderNotify(unit, NotifyLog::B, &tag2), noErr);
  EXPECT_EQ(AudioUnitAddRenderNotify(unit, NotifyLog::A, &tag3), noErr);

  Buffers out(2, 64);
  AudioTimeStamp ts = TimeAt(0);
  ASSERT_EQ(AudioUnitRender(unit, nullptr, &ts, 0, 64, out.List()), noErr);
  const AudioUnitRenderActionFlags pre = kAudioUnitRenderAction_PreRender;
  const AudioUnitRenderActionFlags post = kAudioUnitRenderAction_PostRender;
  std::vector<std::pair<int, AudioUnitRenderActionFlags>> expected = {
      {1, pre}, {2, pre}, {3, pre}, {1, post}, {2, post}, {3, post}};
  EXPECT_EQ(log.calls, expected);

  // Removal compares the procedure only: the first A goes although its reference differs.
  EXPECT_EQ(AudioUnitRemoveRenderNotify(unit, NotifyLog::A, &tag3), noErr);
  log.calls.clear();
  ts = TimeAt(64);
  ASSERT_EQ(AudioUnitRender(unit, nullptr, &ts, 0, 64, out.List()), noErr);
  expected = {{2, pre}, {3, pre}, {2, post}, {3, post}};
  EXPECT_EQ(log.calls, expected);
  EXPECT_NE(AudioUnitAddRenderNotify(unit, nullptr, nullptr), noErr);
}

// Holds the unit's lock from another thread: a property listener that waits inside a
// SetProperty call until released.
class LockHolder {
 public:
  explicit LockHolder(AudioUnit unit) : mUnit(unit) {
    AudioUnitAddPropertyListener(unit, kHoldProperty, Hold, this);
    mThread = std::thread([this] {
      UInt32 value = 0;
      AudioUnitSetProperty(mUnit, kHoldProperty, kAudioUnitScope_Global, 0, &value, sizeof(value));
    });
    std::unique_lock<std::mutex> lock(mMutex);
    mCond.wait(lock, [this] { return mHolding; });
  }
  ~LockHolder() {
    Release();
    AudioUnitRemovePropertyListener(mUnit, kHoldProperty, Hold);
  }
  void Release() {
    {
      std::lock_guard<std::mutex> lock(mMutex);
      mReleased = true;
    }
    mCond.notify_all();
    if (mThread.joinable()) mThread.join();
  }

 private:
  static constexpr AudioUnitPropertyID kHoldProperty = 64000;
  static void Hold(void* refCon, AudioUnit, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement) {
    LockHolder* self = static_cast<LockHolder*>(refCon);
    std::unique_lock<std::mutex> lock(self->mMutex);
    self->mHolding = true;
    self->mCond.notify_all();
    self->mCond.wait(lock, [self] { return self->mReleased; });
  }

  AudioUnit mUnit;
  std::thread mThread;
  std::mutex mMutex;
  std::condition_variable mCond;
  bool mHolding = false;
  bool mReleased = false;
};

// Runs call on another thread while the lock is held; true when it had to wait for the lock
// (it cannot finish before the release and does finish after it).
bool WaitsForTheLock(AudioUnit unit, const std::function<void()>& call) {
  LockHolder holder(unit);
  std::atomic<bool> done{false};
  std::thread caller([&] {
    call();
    done = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const bool waited = !done;
  holder.Release();
  caller.join();
  return waited && done;
}

// Runs call on another thread while the lock is held; true when it finishes regardless.
bool CompletesWhileLocked(AudioUnit unit, const std::function<void()>& call) {
  LockHolder holder(unit);
  std::atomic<bool> done{false};
  std::thread caller([&] {
    call();
    done = true;
  });
  for (int i = 0; i < 500 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const bool completed = done;
  holder.Release();
  caller.join();
  return completed;
}

TEST_F(AUEntryTest, EverySelectorButOpenAndCloseRunsUnderTheLock) {
  SignalSource source;
  ASSERT_EQ(source.Attach(unit), noErr);
  Buffers out(2, 32);
  AudioTimeStamp ts = TimeAt(0);
  NotifyLog log;
  std::pair<NotifyLog*, int> tag{&log, 1};
  const std::vector<std::pair<const char*, std::function<void()>>> calls = {
      {"CanDo", [&] { ComponentFunctionImplemented(unit, 1); }},
      {"Version", [&] { GetComponentVersion(unit); }},
      {"Initialize", [&] { AudioUnitInitialize(unit); }},
      {"Uninitialize", [&] { AudioUnitUninitialize(unit); }},
      {"GetPropertyInfo",
       [&] {
         AudioUnitGetPropertyInfo(unit, kAudioUnitProperty_SampleRate, 0, 0, nullptr, nullptr);
       }},
      {"GetProperty",
       [&] {
         Float64 rate;
         UInt32 size = sizeof(rate);
         AudioUnitGetProperty(unit, kAudioUnitProperty_SampleRate, 0, 0, &rate, &size);
       }},
      {"SetProperty",
       [&] {
         UInt32 off = 0;
         AudioUnitSetProperty(unit, kAudioUnitProperty_BypassEffect, 0, 0, &off, sizeof(off));
       }},
      {"GetParameter", [&] { GetParam(unit, 0); }},
      {"SetParameter", [&] { SetParam(unit, 0, -1.0f); }},
      {"Reset", [&] { AudioUnitReset(unit, kAudioUnitScope_Global, 0); }},
      {"AddPropertyListener",
       [&] { AudioUnitAddPropertyListener(unit, 12, ListenerLog::One, nullptr); }},
      {"RemovePropertyListener",
       [&] { AudioUnitRemovePropertyListener(unit, 12, ListenerLog::One); }},
      {"RemovePropertyListenerWithUserData",
       [&] { AudioUnitRemovePropertyListenerWithUserData(unit, 12, ListenerLog::One, nullptr); }},
      {"Render", [&] { AudioUnitRender(unit, nullptr, &ts, 0, 32, out.List()); }},
      {"AddRenderNotify", [&] { AudioUnitAddRenderNotify(unit, NotifyLog::A, &tag); }},
      {"RemoveRenderNotify", [&] { AudioUnitRemoveRenderNotify(unit, NotifyLog::A, &tag); }},
      {"ScheduleParameters", [&] { AudioUnitScheduleParameters(unit, nullptr, 0); }},
      {"MIDIEvent", [&] { MusicDeviceMIDIEvent(unit, 0x90, 60, 1, 0); }},
      {"SysEx", [&] { MusicDeviceSysEx(unit, nullptr, 0); }},
      {"PrepareInstrument", [&] { MusicDevicePrepareInstrument(unit, 0); }},
      {"ReleaseInstrument", [&] { MusicDeviceReleaseInstrument(unit, 0); }},
      {"StartNote", [&] { MusicDeviceStartNote(unit, 0, 0, nullptr, 0, nullptr); }},
      {"StopNote", [&] { MusicDeviceStopNote(unit, 0, 0, 0); }},
      {"unknown selector",
       [&] {
         Dispatch(unit, 8, {0, 0, 0});
       }},
  };
  for (const auto& [name, call] : calls) EXPECT_TRUE(WaitsForTheLock(unit, call)) << name;
}

TEST_F(AUEntryTest, FastRenderProcedureTakesNoLock) {
  SignalSource source;
  ASSERT_EQ(source.Attach(unit), noErr);
  AudioUnitRenderProc render = nullptr;
  UInt32 size = sizeof(render);
  ASSERT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                                 kAudioUnitRenderSelect, &render, &size),
            noErr);
  ASSERT_NE(render, nullptr);
  Buffers out(2, 32);
  AudioTimeStamp ts = TimeAt(0);
  OSStatus result = -1;
  EXPECT_TRUE(CompletesWhileLocked(
      unit, [&] { result = render(unit.Storage(), nullptr, &ts, 0, 32, out.List()); }));
  EXPECT_EQ(result, noErr);
  EXPECT_EQ(source.calls, 1);
}

}  // namespace
