// Rendering through the component entry, by the Render selector (locked dispatch) and by the
// fast-dispatch render procedure, against the floor of copying the same frames (two float
// channels in and two out), measured in the same run. The input callback only copies a
// prepared block, so the figures are the unit's cost rather than a test signal's.
//   frames/s   rendered frames per second of processor time (median of the slices)
//   s/frame    processor time per frame (compare 16-frame with 512-frame blocks)
//   floor/s    frames per second of the plain copy
//   x floor    frames/s divided by floor/s

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <map>
#include <vector>

#include "au/AUTestHost.h"

namespace {

using namespace autest;

double ThreadSeconds() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return (double)ts.tv_sec + 1e-9 * (double)ts.tv_nsec;
}

// Copies of the same frames, two float channels in and two out: the floor.
struct FloorCopy {
  std::vector<float> inL, inR, outL, outR;
  explicit FloorCopy(UInt32 frames)
      : inL(frames, 0.25f), inR(frames, -0.5f), outL(frames), outR(frames) {}
  void operator()() {
    std::memcpy(outL.data(), inL.data(), outL.size() * sizeof(float));
    std::memcpy(outR.data(), inR.data(), outR.size() * sizeof(float));
    benchmark::DoNotOptimize(outL.data());
    benchmark::DoNotOptimize(outR.data());
    benchmark::ClobberMemory();
  }
};

// Seconds per call of `calls` calls of f, timed on this thread's processor clock.
template <class F>
double SecondsPerCall(F&& f, long calls) {
  const double start = ThreadSeconds();
  for (long i = 0; i < calls; ++i) f();
  return (ThreadSeconds() - start) / (double)calls;
}

double Median(std::vector<double> v) {
  std::nth_element(v.begin(), v.begin() + (long)v.size() / 2, v.end());
  return v[v.size() / 2];
}

// A stereo block prepared once; the render callback copies it into the unit's buffers.
struct PreparedInput {
  std::vector<float> left, right;
  PreparedInput(UInt32 frames, bool denormal) : left(frames), right(frames) {
    for (UInt32 i = 0; i < frames; ++i) {
      // Denormal input is what a decaying tail feeds a unit; it must cost no more.
      const float scale = denormal ? 1e-39f : 1.0f;
      left[i] = scale * (float)((i % 97) + 1) / 97.0f;
      right[i] = -scale * (float)((i % 89) + 1) / 89.0f;
    }
  }
  static OSStatus Proc(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32,
                       UInt32 nFrames, AudioBufferList* ioData) {
    const PreparedInput* self = static_cast<const PreparedInput*>(refCon);
    std::memcpy(ioData->mBuffers[0].mData, self->left.data(), nFrames * sizeof(float));
    std::memcpy(ioData->mBuffers[1].mData, self->right.data(), nFrames * sizeof(float));
    return noErr;
  }
};

enum class Entry { kSelector, kFastProc };

void BM_Render(benchmark::State& state, Entry entry, bool denormal) {
  const UInt32 frames = (UInt32)state.range(0);
  Unit unit;
  PreparedInput input(frames, denormal);
  AURenderCallbackStruct callback = {PreparedInput::Proc, &input};
  AudioUnitRenderProc renderProc = nullptr;
  UInt32 size = sizeof(renderProc);
  // At the preset "Stereo Enhance".
  if (!unit.Get() || SetFormat(unit, kAudioUnitScope_Input, 0, 2) != noErr ||
      SetFormat(unit, kAudioUnitScope_Output, 0, 2) != noErr ||
      SetMaxFrames(unit, frames) != noErr ||
      AudioUnitSetProperty(unit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0,
                           &callback, sizeof(callback)) != noErr ||
      SelectPreset(unit, 1) != noErr || AudioUnitInitialize(unit) != noErr ||
      AudioUnitGetProperty(unit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                           kAudioUnitRenderSelect, &renderProc, &size) != noErr) {
    state.SkipWithError("the Orvanta bundle could not be opened");
    return;
  }
  void* storage = unit.Storage();
  Buffers out(2, frames);
  FloorCopy floor(frames);
  double sampleTime = 0;
  auto render = [&] {
    AudioTimeStamp ts = TimeAt(sampleTime);
    if (entry == Entry::kSelector) {
      AudioUnitRender(unit, nullptr, &ts, 0, frames, out.List());
    } else {
      renderProc(storage, nullptr, &ts, 0, frames, out.List());
    }
    sampleTime += frames;
    benchmark::DoNotOptimize(out.Channel(0));
    benchmark::ClobberMemory();
  };
  // Render and floor take turns in slices of about a millisecond, so that what else the
  // machine does falls on both alike; the figures are the medians of the slices.
  const long calls = std::max<long>(16, 1000000 / (long)(frames + 64));
  std::vector<double> renderTimes, floorTimes;
  for (auto _ : state) {
    const double perCall = SecondsPerCall(render, calls);
    floorTimes.push_back(SecondsPerCall(floor, calls));
    renderTimes.push_back(perCall);
    state.SetIterationTime(perCall * (double)calls);
  }
  const double renderRate = (double)frames / Median(renderTimes);
  const double floorRate = (double)frames / Median(floorTimes);
  state.counters["frames/s"] = renderRate;
  state.counters["s/frame"] = 1.0 / renderRate;
  state.counters["floor/s"] = floorRate;
  state.counters["x floor"] = renderRate / floorRate;
}

void Blocks(benchmark::internal::Benchmark* b) {
  for (int frames : {16, 64, 512, 4096}) b->Arg(frames);
  b->UseManualTime();
}

}  // namespace

BENCHMARK_CAPTURE(BM_Render, Selector, Entry::kSelector, false)->Apply(Blocks);
BENCHMARK_CAPTURE(BM_Render, FastProc, Entry::kFastProc, false)->Apply(Blocks);
BENCHMARK_CAPTURE(BM_Render, FastProcDenormalInput, Entry::kFastProc, true)->Apply(Blocks);
