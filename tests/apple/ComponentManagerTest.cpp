#include <AudioToolbox/AudioToolbox.h>
#include <AudioUnit/AudioUnit.h>
#include <CoreServices/CoreServices.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "host/RealtimeCounter.h"

namespace {

// Argument i of a call, as a unit's entry reads it.
template <typename T>
T Arg(const long* slots, int i) {
  T value;
  memcpy(&value, &slots[i + 1], sizeof(T));
  return value;
}

// A component that records every call as it arrives and answers a few selectors the way a
// unit would, so that the host-side calls can be checked slot by slot.
struct Recorder {
  SInt16 what = 0;
  UInt8 paramSize = 0;
  long slots[8] = {};
  Handle storage = nullptr;
  int opens = 0, closes = 0;
  ComponentResult openResult = noErr;
  float parameters[4] = {0.5f, 0.25f, 0, 0};
  std::vector<std::pair<AudioUnitPropertyListenerProc, void*>> listeners;
  ComponentInstance instance = nullptr;
};

Recorder gRecorder;

ComponentResult RecordingEntry(ComponentParameters* p, Handle storage) {
  Recorder& r = gRecorder;
  r.what = p->what;
  r.paramSize = p->paramSize;
  for (int i = 0; i <= p->paramSize / static_cast<int>(sizeof(long)); ++i)
    r.slots[i] = p->params[i];
  r.storage = storage;
  auto ci = reinterpret_cast<ComponentInstance>(p->params[0]);
  switch (p->what) {
    case kComponentOpenSelect:
      ++r.opens;
      r.instance = ci;
      if (r.openResult == noErr) SetComponentInstanceStorage(ci, reinterpret_cast<Handle>(&r));
      return r.openResult;
    case kComponentCloseSelect:
      ++r.closes;
      return noErr;
    case kComponentVersionSelect:
      return 0x20001;
    case kComponentCanDoSelect:
      return Arg<SInt16>(p->params, 0) == kAudioUnitRenderSelect;
    case kAudioUnitGetParameterSelect: {
      auto id = Arg<AudioUnitParameterID>(p->params, 0);
      if (id >= 4) return kAudioUnitErr_InvalidParameter;
      *Arg<AudioUnitParameterValue*>(p->params, 3) = r.parameters[id];
      return noErr;
    }
    case kAudioUnitSetParameterSelect: {
      auto id = Arg<AudioUnitParameterID>(p->params, 0);
      if (id >= 4) return kAudioUnitErr_InvalidParameter;
      r.parameters[id] = Arg<AudioUnitParameterValue>(p->params, 3);
      return noErr;
    }
    case kAudioUnitAddPropertyListenerSelect:
      r.listeners.emplace_back(reinterpret_cast<AudioUnitPropertyListenerProc>(p->params[2]),
                               reinterpret_cast<void*>(p->params[3]));
      return noErr;
    case kAudioUnitRemovePropertyListenerWithUserDataSelect:
      for (auto it = r.listeners.begin(); it != r.listeners.end(); ++it) {
        if (it->second == reinterpret_cast<void*>(p->params[3])) {
          r.listeners.erase(it);
          break;
        }
      }
      return noErr;
    case kAudioUnitSetPropertySelect: {
      auto id = Arg<AudioUnitPropertyID>(p->params, 0);
      auto scope = Arg<AudioUnitScope>(p->params, 1);
      for (auto [proc, data] : std::vector(r.listeners)) proc(data, ci, id, scope, 0);
      return noErr;
    }
    default:
      return noErr;
  }
}

ComponentDescription Description(OSType subtype) {
  return {kAudioUnitType_Effect, subtype, 0x51747374, 0, 0};
}

class ComponentManager : public ::testing::Test {
 protected:
  void SetUp() override {
    gRecorder = Recorder();
    ComponentDescription d = Description(0x54657374);
    mComponent = RegisterComponent(&d, RecordingEntry, 0, nullptr, nullptr, nullptr);
    ASSERT_NE(mComponent, nullptr);
    ASSERT_EQ(OpenAComponent(mComponent, &mUnit), noErr);
  }
  void TearDown() override {
    if (mUnit) CloseComponent(mUnit);
    EXPECT_EQ(UnregisterComponent(mComponent), noErr);
  }
  template <typename T>
  T Arg(int i) {
    return ::Arg<T>(gRecorder.slots, i);
  }

  Component mComponent = nullptr;
  AudioUnit mUnit = nullptr;
};

}  // namespace

TEST_F(ComponentManager, OpenRegistersStorageAndCloseFreesTheInstance) {
  EXPECT_EQ(gRecorder.opens, 1);
  EXPECT_EQ(gRecorder.instance, mUnit);
  EXPECT_EQ(GetComponentInstanceStorage(mUnit), reinterpret_cast<Handle>(&gRecorder));
  EXPECT_EQ(UnregisterComponent(mComponent), validInstancesExist);
  EXPECT_EQ(CloseComponent(mUnit), noErr);
  EXPECT_EQ(gRecorder.closes, 1);
  EXPECT_EQ(gRecorder.storage, reinterpret_cast<Handle>(&gRecorder));
  // Hosts keep stale handles around; calls with them are refused, not misread.
  EXPECT_EQ(AudioUnitInitialize(mUnit), badComponentInstance);
  EXPECT_EQ(GetComponentInstanceStorage(mUnit), nullptr);
  EXPECT_EQ(
      GetComponentInfo(reinterpret_cast<Component>(mUnit), nullptr, nullptr, nullptr, nullptr),
      invalidComponentID);
  EXPECT_EQ(CloseComponent(mUnit), static_cast<OSErr>(badComponentInstance));
  EXPECT_EQ(gRecorder.closes, 1);
  mUnit = nullptr;

  // A component that refuses to open leaves no instance behind.
  gRecorder.openResult = -108;
  AudioUnit refused = reinterpret_cast<AudioUnit>(1);
  EXPECT_EQ(OpenAComponent(mComponent, &refused), -108);
  EXPECT_EQ(refused, nullptr);
  EXPECT_EQ(OpenComponent(mComponent), nullptr);
}

TEST_F(ComponentManager, InfoFindAndVersion) {
  ComponentDescription d = {};
  ASSERT_EQ(GetComponentInfo(reinterpret_cast<Component>(mUnit), &d, nullptr, nullptr, nullptr),
            noErr);
  EXPECT_EQ(d.componentSubType, 0x54657374u);
  ASSERT_EQ(GetComponentInfo(mComponent, &d, nullptr, nullptr, nullptr), noErr);
  EXPECT_EQ(d.componentManufacturer, 0x51747374u);

  ComponentDescription other = Description(0x4F746872);
  Component second = RegisterComponent(&other, RecordingEntry, 0, nullptr, nullptr, nullptr);
  ComponentDescription anyEffect = {kAudioUnitType_Effect, 0, 0, 0, 0};
  EXPECT_GE(CountComponents(&anyEffect), 2);
  ComponentDescription exact = Description(0x4F746872);
  EXPECT_EQ(FindNextComponent(nullptr, &exact), second);
  EXPECT_EQ(FindNextComponent(second, &exact), nullptr);
  EXPECT_EQ(UnregisterComponent(second), noErr);
  EXPECT_EQ(UnregisterComponent(second), invalidComponentID);
  EXPECT_EQ(GetComponentInfo(second, &d, nullptr, nullptr, nullptr), invalidComponentID);
  EXPECT_EQ(OpenComponent(second), nullptr);
  EXPECT_EQ(FindNextComponent(nullptr, &exact), nullptr);

  EXPECT_EQ(GetComponentVersion(mUnit), 0x20001);
  EXPECT_EQ(ComponentFunctionImplemented(mUnit, kAudioUnitRenderSelect), 1);
  EXPECT_EQ(ComponentFunctionImplemented(mUnit, kAudioUnitResetSelect), 0);
  // The queried selector is widened with its sign, so it also reads back as a long.
  ComponentFunctionImplemented(mUnit, kComponentCloseSelect);
  EXPECT_EQ(gRecorder.slots[1], -2);
}

TEST_F(ComponentManager, HostCallsPackArgumentsInCallOrder) {
  UInt32 size = 0;
  Boolean writable = 0;
  AudioUnitGetPropertyInfo(mUnit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 3, &size,
                           &writable);
  EXPECT_EQ(gRecorder.what, kAudioUnitGetPropertyInfoSelect);
  EXPECT_EQ(gRecorder.paramSize, 5 * sizeof(long));
  EXPECT_EQ(gRecorder.slots[0], reinterpret_cast<long>(mUnit));
  EXPECT_EQ(Arg<AudioUnitPropertyID>(0), kAudioUnitProperty_StreamFormat);
  EXPECT_EQ(Arg<AudioUnitScope>(1), kAudioUnitScope_Input);
  EXPECT_EQ(Arg<AudioUnitElement>(2), 3u);
  EXPECT_EQ(Arg<UInt32*>(3), &size);
  EXPECT_EQ(Arg<Boolean*>(4), &writable);

  AudioStreamBasicDescription format = {};
  AudioUnitSetProperty(mUnit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, &format,
                       sizeof(format));
  EXPECT_EQ(gRecorder.what, kAudioUnitSetPropertySelect);
  EXPECT_EQ(Arg<const void*>(3), &format);
  EXPECT_EQ(Arg<UInt32>(4), sizeof(format));

  AudioUnitParameterValue value = 0;
  EXPECT_EQ(AudioUnitGetParameter(mUnit, 1, kAudioUnitScope_Global, 0, &value), noErr);
  EXPECT_EQ(value, 0.25f);
  EXPECT_EQ(AudioUnitSetParameter(mUnit, 2, kAudioUnitScope_Global, 0, -3.5f, 17), noErr);
  EXPECT_EQ(gRecorder.parameters[2], -3.5f);
  EXPECT_EQ(Arg<UInt32>(4), 17u);
  EXPECT_EQ(AudioUnitGetParameter(mUnit, 9, kAudioUnitScope_Global, 0, &value),
            kAudioUnitErr_InvalidParameter);

  AudioUnitRenderActionFlags flags = 0;
  AudioTimeStamp ts = {};
  AudioBufferList list = {};
  AudioUnitRender(mUnit, &flags, &ts, 1, 512, &list);
  EXPECT_EQ(gRecorder.what, kAudioUnitRenderSelect);
  EXPECT_EQ(Arg<AudioUnitRenderActionFlags*>(0), &flags);
  EXPECT_EQ(Arg<const AudioTimeStamp*>(1), &ts);
  EXPECT_EQ(Arg<UInt32>(2), 1u);
  EXPECT_EQ(Arg<UInt32>(3), 512u);
  EXPECT_EQ(Arg<AudioBufferList*>(4), &list);

  AudioUnitParameterEvent events[2] = {};
  AudioUnitScheduleParameters(mUnit, events, 2);
  EXPECT_EQ(gRecorder.what, kAudioUnitScheduleParametersSelect);
  EXPECT_EQ(Arg<const AudioUnitParameterEvent*>(0), events);
  EXPECT_EQ(Arg<UInt32>(1), 2u);

  auto notify = [](void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32,
                   AudioBufferList*) -> OSStatus { return noErr; };
  AudioUnitRemoveRenderNotify(mUnit, notify, &ts);
  EXPECT_EQ(gRecorder.what, kAudioUnitRemoveRenderNotifySelect);
  EXPECT_EQ(Arg<AURenderCallback>(0), static_cast<AURenderCallback>(notify));
  EXPECT_EQ(Arg<void*>(1), &ts);

  AudioUnitReset(mUnit, kAudioUnitScope_Global, 0);
  EXPECT_EQ(gRecorder.what, kAudioUnitResetSelect);
  EXPECT_EQ(gRecorder.paramSize, 2 * sizeof(long));
  AudioUnitInitialize(mUnit);
  EXPECT_EQ(gRecorder.what, kAudioUnitInitializeSelect);
  EXPECT_EQ(gRecorder.paramSize, 0);

  MusicDeviceMIDIEvent(mUnit, 0x90, 60, 100, 5);
  EXPECT_EQ(gRecorder.what, kMusicDeviceMIDIEventSelect);
  EXPECT_EQ(Arg<UInt32>(0), 0x90u);
  EXPECT_EQ(Arg<UInt32>(3), 5u);
}

TEST_F(ComponentManager, DispatchAllocatesNothingAndRefusesDeadInstances) {
  AudioUnitRenderActionFlags flags = 0;
  AudioTimeStamp ts = {};
  AudioBufferList list = {};
  AudioUnitParameterValue value;
  realtime_counter::Scope scope;
  for (int i = 0; i < 100; ++i) {
    AudioUnitRender(mUnit, &flags, &ts, 0, 64, &list);
    AudioUnitGetParameter(mUnit, 0, 0, 0, &value);
  }
  EXPECT_EQ(scope.Allocations(), 0);

  EXPECT_EQ(AudioUnitInitialize(nullptr), badComponentInstance);
  ComponentParameters bogus = {};
  bogus.params[0] = reinterpret_cast<long>(&bogus);
  EXPECT_EQ(CallComponentDispatch(&bogus), badComponentInstance);
  EXPECT_EQ(CallComponentDispatch(nullptr), badComponentInstance);
  EXPECT_EQ(GetComponentInfo(nullptr, nullptr, nullptr, nullptr, nullptr), invalidComponentID);
  SInt32 version = 0;
  EXPECT_EQ(Gestalt(gestaltSystemVersion, &version), noErr);
  EXPECT_GE(version, 0x1050);
}

TEST_F(ComponentManager, EventListenersHearGesturesInOrder) {
  struct Heard {
    std::vector<AudioUnitEventType> types;
    std::vector<AudioUnitParameterValue> values;
    std::vector<AudioUnitPropertyID> properties;
    void* object = nullptr;
  } heard;
  AUEventListenerRef listener = nullptr;
  ASSERT_EQ(AUEventListenerCreate(
                [](void* ref, void* object, const AudioUnitEvent* e, UInt64,
                   AudioUnitParameterValue value) {
                  auto* h = static_cast<Heard*>(ref);
                  h->object = object;
                  if (e->mEventType == kAudioUnitEvent_PropertyChange) {
                    h->properties.push_back(e->mArgument.mProperty.mPropertyID);
                    return;
                  }
                  h->types.push_back(e->mEventType);
                  h->values.push_back(value);
                },
                &heard, CFRunLoopGetCurrent(), kCFRunLoopDefaultMode, 0.005f, 0.005f, &listener),
            noErr);
  AudioUnitEvent e = {};
  e.mArgument.mParameter = {mUnit, 1, kAudioUnitScope_Global, 0};
  int object = 0;
  for (AudioUnitEventType t :
       {kAudioUnitEvent_BeginParameterChangeGesture, kAudioUnitEvent_ParameterValueChange,
        kAudioUnitEvent_EndParameterChangeGesture}) {
    e.mEventType = t;
    ASSERT_EQ(AUEventListenerAddEventType(listener, &object, &e), noErr);
  }
  e.mEventType = kAudioUnitEvent_PropertyChange;
  e.mArgument.mProperty = {mUnit, kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0};
  ASSERT_EQ(AUEventListenerAddEventType(listener, &object, &e), noErr);
  EXPECT_EQ(gRecorder.listeners.size(), 1u);  // forwarded to the unit as a property listener

  auto send = [&](AudioUnitEventType type, AudioUnitParameterID id) {
    AudioUnitEvent ev = {};
    ev.mEventType = type;
    ev.mArgument.mParameter = {mUnit, id, kAudioUnitScope_Global, 0};
    AUEventListenerNotify(nullptr, nullptr, &ev);
  };
  send(kAudioUnitEvent_BeginParameterChangeGesture, 1);
  gRecorder.parameters[1] = 0.75f;
  send(kAudioUnitEvent_ParameterValueChange, 1);
  send(kAudioUnitEvent_ParameterValueChange, 2);  // another parameter: not heard
  send(kAudioUnitEvent_EndParameterChangeGesture, 1);
  ASSERT_EQ(heard.types.size(), 3u);
  EXPECT_EQ(heard.types[0], kAudioUnitEvent_BeginParameterChangeGesture);
  EXPECT_EQ(heard.types[1], kAudioUnitEvent_ParameterValueChange);
  EXPECT_EQ(heard.types[2], kAudioUnitEvent_EndParameterChangeGesture);
  EXPECT_EQ(heard.values[1], 0.75f);  // read back from the unit
  EXPECT_EQ(heard.object, &object);

  // The sending listener does not hear its own events.
  AudioUnitEvent own = {};
  own.mEventType = kAudioUnitEvent_BeginParameterChangeGesture;
  own.mArgument.mParameter = {mUnit, 1, kAudioUnitScope_Global, 0};
  AUEventListenerNotify(listener, nullptr, &own);
  EXPECT_EQ(heard.types.size(), 3u);

  AudioUnitSetProperty(mUnit, kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0, nullptr, 0);
  ASSERT_EQ(heard.properties.size(), 1u);
  EXPECT_EQ(heard.properties[0], kAudioUnitProperty_Latency);

  ASSERT_EQ(AUListenerDispose(listener), noErr);
  EXPECT_TRUE(gRecorder.listeners.empty());
  send(kAudioUnitEvent_BeginParameterChangeGesture, 1);
  EXPECT_EQ(heard.types.size(), 3u);
  EXPECT_EQ(AUListenerDispose(listener), paramErr);
}
