// Rendering through the entry and the fast-dispatch procedure: pulls, buffers, refusals,
// chained units, the effect's arithmetic for every factory preset, and allocations.

#include <gtest/gtest.h>
#include <xmmintrin.h>

#include <algorithm>

#include "au/AUTestHost.h"
#include "host/RealtimeCounter.h"

using namespace autest;

namespace {

constexpr UInt32 kFrames = 256;

// Values of the factory presets in dB: gain, mono, stereo.
const double kPresetValues[4][3] = {{0, 0, 0}, {0, 0, 3}, {0, -94, 0}, {0, 0, -94}};

class AURenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_NE(OrvantaComponent(&error), nullptr) << error;
    ASSERT_EQ(SetFormat(unit, kAudioUnitScope_Input, 0, 2), noErr);
    ASSERT_EQ(SetFormat(unit, kAudioUnitScope_Output, 0, 2), noErr);
    ASSERT_EQ(SetMaxFrames(unit, 512), noErr);
    ASSERT_EQ(source.Attach(unit), noErr);
    ASSERT_EQ(unit.Host().Initialize(), noErr);
  }

  OSStatus Render(Buffers& out, double sampleTime, UInt32 bus = 0) {
    AudioTimeStamp ts = TimeAt(sampleTime);
    return AudioUnitRender(unit, nullptr, &ts, bus, out.Frames(), out.List());
  }

  // Expects out to hold the effect's output for the signal at sampleTime.
  static void ExpectProcessed(Buffers& out, const double* db, double sampleTime, const char* what) {
    for (UInt32 i = 0; i < out.Frames(); ++i) {
      float e0, e1;
      ExpectedFrame(db[0], db[1], db[2], Signal(0, i, sampleTime), Signal(1, i, sampleTime), &e0,
                    &e1);
      ASSERT_NEAR(out.Channel(0)[i], e0, 1e-6) << what << " frame " << i;
      ASSERT_NEAR(out.Channel(1)[i], e1, 1e-6) << what << " frame " << i;
    }
  }

  Unit unit;
  SignalSource source;
};

TEST_F(AURenderTest, EveryFactoryPresetGivesTheMidSideArithmetic) {
  for (int preset = 0; preset < 4; ++preset) {
    ASSERT_EQ(SelectPreset(unit, preset), noErr);
    Buffers out(2, kFrames);
    ASSERT_EQ(Render(out, preset * 1000.0), noErr);
    ExpectProcessed(out, kPresetValues[preset], preset * 1000.0, "preset");
  }
  // A host parameter change reaches the next block.
  ASSERT_EQ(SetParam(unit, 0, -6.0f), noErr);
  ASSERT_EQ(SetParam(unit, 1, 2.5f), noErr);
  Buffers out(2, kFrames);
  ASSERT_EQ(Render(out, 9000.0), noErr);
  const double db[3] = {-6.0, 2.5, -94.0};
  ExpectProcessed(out, db, 9000.0, "parameters");
}

// Gain -6 dB from frame 100; a stereo ramp from -10 to 6 dB over frames -64 .. 64, stepped
// every 32 frames; a mono change past the block's end holds from the next one.
TEST_F(AURenderTest, ScheduledChangesLandOnTheirFramesAndRampsStep) {
  AudioUnitParameterEvent events[3] = {};
  events[0].eventType = kParameterEvent_Immediate;
  events[0].eventValues.immediate = {100, -6.0f};
  events[1].parameter = 2;
  events[1].eventType = kParameterEvent_Ramped;
  events[1].eventValues.ramp = {-64, 128, -10.0f, 6.0f};
  events[2].parameter = 1;
  events[2].eventType = kParameterEvent_Immediate;
  events[2].eventValues.immediate = {kFrames + 5, -94.0f};
  ASSERT_EQ(AudioUnitScheduleParameters(unit, events, 3), noErr);
  Buffers out(2, kFrames);
  ASSERT_EQ(Render(out, 0), noErr);
  for (UInt32 i = 0; i < kFrames; ++i) {
    float e0, e1;
    ExpectedFrame(i < 100 ? 0 : -6, 0,
                  i < 32   ? -2
                  : i < 64 ? 2
                           : 6,
                  Signal(0, i), Signal(1, i), &e0, &e1);
    ASSERT_NEAR(out.Channel(0)[i], e0, 1e-6) << i;
    ASSERT_NEAR(out.Channel(1)[i], e1, 1e-6) << i;
  }
  EXPECT_EQ(GetParam(unit, 1), -94.0f);
}

TEST_F(AURenderTest, BypassPassesTheInputThrough) {
  ASSERT_EQ(SelectPreset(unit, 2), noErr);
  const UInt32 on = 1;
  ASSERT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global, 0,
                                 &on, sizeof(on)),
            noErr);
  Buffers out(2, kFrames);
  ASSERT_EQ(Render(out, 0), noErr);
  for (UInt32 i = 0; i < kFrames; ++i) {
    ASSERT_EQ(out.Channel(0)[i], Signal(0, i));
    ASSERT_EQ(out.Channel(1)[i], Signal(1, i));
  }
}

TEST_F(AURenderTest, InputsArePulledOncePerSampleTime) {
  Buffers first(2, kFrames), again(2, kFrames);
  ASSERT_EQ(Render(first, 0), noErr);
  ASSERT_EQ(Render(again, 0), noErr);
  EXPECT_EQ(source.calls, 1);
  EXPECT_EQ(source.lastBus, 0u);
  for (UInt32 i = 0; i < kFrames; ++i) ASSERT_EQ(again.Channel(1)[i], first.Channel(1)[i]);
  ASSERT_EQ(Render(again, kFrames), noErr);
  EXPECT_EQ(source.calls, 2);
  // After a reset or a new connection the same time is new input again.
  ASSERT_EQ(AudioUnitReset(unit, kAudioUnitScope_Global, 0), noErr);
  ASSERT_EQ(Render(again, kFrames), noErr);
  EXPECT_EQ(source.calls, 3);
  ASSERT_EQ(source.Attach(unit), noErr);
  ASSERT_EQ(Render(again, kFrames), noErr);
  EXPECT_EQ(source.calls, 4);
  // A block of no frames reads nothing, so a block at the same time still pulls its input.
  Buffers none(2, 0);
  ASSERT_EQ(Render(none, 2 * kFrames), noErr);
  ASSERT_EQ(Render(again, 2 * kFrames), noErr);
  EXPECT_EQ(source.calls, 6);
  ExpectProcessed(again, kPresetValues[0], 2 * kFrames, "after an empty block");
}

TEST_F(AURenderTest, NullOutputPointersGetTheUnitsMemoryInChannelOrder) {
  ASSERT_EQ(SelectPreset(unit, 1), noErr);
  Buffers out(2, kFrames, false);
  ASSERT_EQ(Render(out, 0), noErr);
  ASSERT_NE(out.Channel(0), nullptr);
  EXPECT_EQ(out.Channel(1), out.Channel(0) + kFrames);
  EXPECT_EQ(out.List()->mBuffers[0].mDataByteSize, kFrames * sizeof(float));
  ExpectProcessed(out, kPresetValues[1], 0, "unit memory");
}

TEST_F(AURenderTest, OneHostBufferOnTheStereoBusTakesTheFirstChannel) {
  ASSERT_EQ(SelectPreset(unit, 1), noErr);
  Buffers out(1, kFrames);
  ASSERT_EQ(Render(out, 0), noErr);
  for (UInt32 i = 0; i < kFrames; ++i) {
    float e0, e1;
    ExpectedFrame(0, 0, 3, Signal(0, i), Signal(1, i), &e0, &e1);
    ASSERT_NEAR(out.Channel(0)[i], e0, 1e-6);
  }
}

// Records whether a render notification was sent.
OSStatus CountNotify(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32,
                     UInt32, AudioBufferList*) {
  ++*static_cast<int*>(refCon);
  return noErr;
}

TEST_F(AURenderTest, InvalidRenderCallsAreRefusedBeforeAnyNotification) {
  int notified = 0;
  ASSERT_EQ(AudioUnitAddRenderNotify(unit, CountNotify, &notified), noErr);
  Buffers full(2, 512), over(2, 513), out(2, kFrames);

  AudioTimeStamp noSampleTime = TimeAt(0);
  noSampleTime.mFlags = kAudioTimeStampHostTimeValid;
  EXPECT_EQ(AudioUnitRender(unit, nullptr, &noSampleTime, 0, kFrames, out.List()),
            kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(Render(over, 0), kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(Render(out, 0, 1), kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(AudioUnitRender(unit, nullptr, nullptr, 0, kFrames, out.List()),
            kAudioUnitErr_InvalidPropertyValue);
  AudioTimeStamp ts = TimeAt(0);
  EXPECT_EQ(AudioUnitRender(unit, nullptr, &ts, 0, kFrames, nullptr),
            kAudioUnitErr_InvalidPropertyValue);
  // A host list wider than the bus, or a buffer too small for the block, would be overrun.
  Buffers wide(3, kFrames);
  EXPECT_EQ(Render(wide, 0), kAudioUnitErr_InvalidPropertyValue);
  Buffers small(2, kFrames);
  small.List()->mBuffers[1].mDataByteSize = kFrames * sizeof(float) - 4;
  EXPECT_EQ(Render(small, 0), kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(notified, 0);
  EXPECT_EQ(source.calls, 0);

  EXPECT_EQ(Render(full, 0), noErr);
  EXPECT_EQ(notified, 2);
}

TEST_F(AURenderTest, PullErrorsAreReturnedWithoutProcessing) {
  struct Failing {
    static OSStatus Proc(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32,
                         AudioBufferList*) {
      return -1234;
    }
  };
  AURenderCallbackStruct cb = {Failing::Proc, nullptr};
  ASSERT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input,
                                 0, &cb, sizeof(cb)),
            noErr);
  int notified = 0;
  ASSERT_EQ(AudioUnitAddRenderNotify(unit, CountNotify, &notified), noErr);
  Buffers out(2, kFrames);
  EXPECT_EQ(Render(out, 0), -1234);
  EXPECT_EQ(notified, 1);  // the pre-render notification only
  EXPECT_EQ(out.Channel(0)[0], -7.0f);
}

TEST_F(AURenderTest, DisconnectedInputRendersSilence) {
  const AudioUnitConnection none = {nullptr, 0, 0};
  const AURenderCallbackStruct noCallback = {nullptr, nullptr};
  auto disconnect = [&](bool byConnection) {
    return byConnection
               ? AudioUnitSetProperty(unit, kAudioUnitProperty_MakeConnection,
                                      kAudioUnitScope_Input, 0, &none, sizeof(none))
               : AudioUnitSetProperty(unit, kAudioUnitProperty_SetRenderCallback,
                                      kAudioUnitScope_Input, 0, &noCallback, sizeof(noCallback));
  };
  auto expectSilence = [](Buffers& out, const char* what) {
    for (UInt32 ch = 0; ch < 2; ++ch)
      for (UInt32 i = 0; i < kFrames; ++i) ASSERT_EQ(out.Channel(ch)[i], 0.0f) << what;
  };
  ASSERT_EQ(disconnect(true), noErr);
  Buffers out(2, kFrames);
  ASSERT_EQ(Render(out, 0), noErr);
  EXPECT_EQ(source.calls, 0);
  expectSilence(out, "never connected");

  // After the input carried audio, processed and bypassed, whichever way it is removed.
  double sampleTime = kFrames;
  for (bool byConnection : {false, true}) {
    for (UInt32 bypass : {0u, 1u}) {
      ASSERT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global,
                                     0, &bypass, sizeof(bypass)),
                noErr);
      ASSERT_EQ(source.Attach(unit), noErr);
      ASSERT_EQ(Render(out, sampleTime), noErr);
      EXPECT_NEAR(out.Channel(1)[0], Signal(1, 0, sampleTime), 1e-6);
      ASSERT_EQ(disconnect(byConnection), noErr);
      for (int block = 1; block <= 2; ++block) {
        ASSERT_EQ(Render(out, sampleTime + block * kFrames), noErr);
        expectSilence(out, byConnection ? "no source unit" : "no render callback");
      }
      sampleTime += 3 * kFrames;
    }
  }
}

TEST_F(AURenderTest, DenormalsAreFlushedWhileProcessingAndTheCallersModeIsKept) {
  struct Tiny {
    static OSStatus Proc(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32,
                         UInt32 nFrames, AudioBufferList* ioData) {
      for (UInt32 ch = 0; ch < ioData->mNumberBuffers; ++ch)
        std::fill_n(static_cast<float*>(ioData->mBuffers[ch].mData), nFrames, 1e-39f);
      return noErr;
    }
  };
  AURenderCallbackStruct cb = {Tiny::Proc, nullptr};
  ASSERT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input,
                                 0, &cb, sizeof(cb)),
            noErr);
  const unsigned kFlushBits = 0x8040, kExceptionFlags = 0x3f;
  const unsigned callers = _mm_getcsr() & ~kFlushBits;
  _mm_setcsr(callers);
  Buffers out(2, kFrames);
  const OSStatus rendered = Render(out, 0);
  const unsigned after = _mm_getcsr();
  ASSERT_EQ(rendered, noErr);
  EXPECT_EQ(after & ~kExceptionFlags, callers & ~kExceptionFlags);
  for (UInt32 ch = 0; ch < 2; ++ch)
    for (UInt32 i = 0; i < kFrames; ++i) ASSERT_EQ(out.Channel(ch)[i], 0.0f);
}

// An Orvanta whose entry hides its fast render procedure, as an upstream unit without one.
ComponentResult NoFastDispatchEntry(ComponentParameters* params, Handle storage) {
  static ComponentRoutineUPP orvanta = OrvantaEntry();
  if (!orvanta) return badComponentSelector;
  if (params->what == kAudioUnitGetPropertySelect &&
      (AudioUnitPropertyID)params->params[1] == kAudioUnitProperty_FastDispatch)
    return kAudioUnitErr_InvalidProperty;
  return orvanta(params, storage);
}

void ExpectChainedOutput(AudioUnit upstream, bool fast) {
  ASSERT_EQ(SelectPreset(upstream, 1), noErr);
  Unit downstream;
  ASSERT_EQ(SelectPreset(downstream, 2), noErr);
  ASSERT_EQ(SetMaxFrames(downstream, 512), noErr);
  AudioUnitConnection connection = {upstream, 0, 0};
  ASSERT_EQ(AudioUnitSetProperty(downstream, kAudioUnitProperty_MakeConnection,
                                 kAudioUnitScope_Input, 0, &connection, sizeof(connection)),
            noErr);
  ASSERT_EQ(AudioUnitInitialize(downstream), noErr);
  Buffers out(2, kFrames);
  AudioTimeStamp ts = TimeAt(100);
  ASSERT_EQ(AudioUnitRender(downstream, nullptr, &ts, 0, kFrames, out.List()), noErr);
  for (UInt32 i = 0; i < kFrames; ++i) {
    float u0, u1, e0, e1;
    ExpectedFrame(0, 0, 3, Signal(0, i, 100), Signal(1, i, 100), &u0, &u1);
    ExpectedFrame(0, -94, 0, u0, u1, &e0, &e1);
    ASSERT_NEAR(out.Channel(0)[i], e0, 1e-6) << (fast ? "fast" : "not fast") << " frame " << i;
    ASSERT_NEAR(out.Channel(1)[i], e1, 1e-6) << (fast ? "fast" : "not fast") << " frame " << i;
  }
}

TEST_F(AURenderTest, ChainedUnitsWithTheFastRenderProcedure) {
  ExpectChainedOutput(unit, true);
  EXPECT_EQ(source.calls, 1);
}

TEST_F(AURenderTest, ChainedUnitsWithoutTheFastRenderProcedure) {
  ComponentDescription desc = {kAudioUnitType_Effect, 0x51747374 /* 'Qtst' */, 0x517a766b, 0, 0};
  Component plain = RegisterComponent(&desc, NoFastDispatchEntry, 0, nullptr, nullptr, nullptr);
  ASSERT_NE(plain, nullptr);
  ComponentInstance upstream = nullptr;
  ASSERT_EQ(OpenAComponent(plain, &upstream), noErr);
  AudioUnitRenderProc proc = nullptr;
  UInt32 size = sizeof(proc);
  EXPECT_NE(AudioUnitGetProperty(upstream, kAudioUnitProperty_FastDispatch, 0,
                                 kAudioUnitRenderSelect, &proc, &size),
            noErr);
  SignalSource upstreamSource;
  ASSERT_EQ(upstreamSource.Attach(upstream), noErr);
  ExpectChainedOutput(upstream, false);
  EXPECT_EQ(upstreamSource.calls, 1);
  CloseComponent(upstream);
  UnregisterComponent(plain);
}

TEST_F(AURenderTest, RenderingAllocatesNothing) {
  int notified = 0;
  ASSERT_EQ(AudioUnitAddRenderNotify(unit, CountNotify, &notified), noErr);
  Buffers out(2, 512), unitMemory(2, 512, false);
  AudioTimeStamp ts = TimeAt(0);
  ASSERT_EQ(AudioUnitRender(unit, nullptr, &ts, 0, 512, out.List()), noErr);  // warm-up
  {
    realtime_counter::Scope scope;
    for (int block = 1; block <= 8; ++block) {
      ts = TimeAt(512.0 * block);
      ASSERT_EQ(AudioUnitRender(unit, nullptr, &ts, 0, 512, out.List()), noErr);
    }
    EXPECT_EQ(scope.Allocations(), 0);
    // The dispatcher holds the plug-in's mutex for each call, and nothing else locks.
    if (realtime_counter::CountsLocks()) {
      EXPECT_EQ(scope.Locks(), 8);
    }
  }
  {
    // The host library's fast path, as hosts drive it.
    realtime_counter::Scope scope;
    for (int block = 9; block <= 16; ++block)
      ASSERT_EQ(unit.Host().FastRender(0, 512.0 * block, 512, unitMemory.List()), noErr);
    EXPECT_EQ(scope.Allocations(), 0);
    EXPECT_EQ(scope.Locks(), 0);
  }
  {
    // Scheduled changes split the slice and run the change hooks on the audio thread.
    AudioUnitParameterEvent events[2] = {};
    events[0].eventType = events[1].eventType = kParameterEvent_Ramped;
    events[0].eventValues.ramp = {0, 512, -20.0f, 3.0f};
    events[1].parameter = 2;
    events[1].eventValues.ramp = {100, 200, 0.0f, -9.0f};
    ASSERT_EQ(AudioUnitScheduleParameters(unit, events, 2), noErr);
    realtime_counter::Scope scope;
    ASSERT_EQ(unit.Host().FastRender(0, 512.0 * 17, 512, unitMemory.List()), noErr);
    EXPECT_EQ(scope.Allocations(), 0);  // the hooks' lock is only tried, never waited for
  }
  // The counter does see the plug-in's allocations: opening a unit makes some.
  {
    realtime_counter::Scope scope;
    Unit another;
    EXPECT_GT(scope.Allocations(), 0);
  }
  EXPECT_EQ(notified, 36);
  EXPECT_EQ(source.calls, 18);
}

TEST_F(AURenderTest, BadStreamFormatsAreRefusedAndLeaveTheBusEmpty) {
  auto channelsOf = [&](AudioUnitScope scope) {
    AudioStreamBasicDescription f = {};
    UInt32 size = sizeof(f);
    EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_StreamFormat, scope, 0, &f, &size),
              noErr);
    return f.mChannelsPerFrame;
  };
  for (UInt32 channels : {0u, 3u, 129u, 1000u, 0x80000000u, 0xFFFFFFFFu}) {
    EXPECT_EQ(SetFormat(unit, kAudioUnitScope_Input, 0, channels), kAudioUnitErr_InvalidProperty)
        << channels;
    EXPECT_EQ(channelsOf(kAudioUnitScope_Input), 0u);
  }
  AudioStreamBasicDescription f = Format(2);
  f.mFormatID = 0x61616320;  // 'aac '
  EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0,
                                 &f, sizeof(f)),
            kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(channelsOf(kAudioUnitScope_Output), 0u);
  f = Format(2);
  f.mFormatFlags = kAudioFormatFlagIsSignedInteger | kAudioFormatFlagIsNonInterleaved;
  EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0,
                                 &f, sizeof(f)),
            kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0,
                                 nullptr, 0),
            kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(SetFormat(unit, kAudioUnitScope_Output, 1, 2), kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(SetFormat(unit, kAudioUnitScope_Group, 0, 2), kAudioUnitErr_InvalidProperty);

  // A good format with a sample rate sets the unit's rate. While initialised, the other side
  // counts: with the input at 0 channels no output format is legal.
  f = Format(2, 96000.0);
  EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0,
                                 &f, sizeof(f)),
            kAudioUnitErr_InvalidProperty);
  ASSERT_EQ(AudioUnitUninitialize(unit), noErr);
  EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0,
                                 &f, sizeof(f)),
            noErr);
  Float64 rate = 0;
  UInt32 size = sizeof(rate);
  EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_SampleRate, 0, 0, &rate, &size), noErr);
  EXPECT_EQ(rate, 96000.0);
}

}  // namespace
