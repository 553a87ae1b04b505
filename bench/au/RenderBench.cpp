// Rendering through the component entry, by the Render selector (locked dispatch) and by the
// fast-dispatch render procedure, against the floor of copying the same frames (two float
// channels in and two out), measured in the same run. The input callback only copies a
// prepared block, so the figures are the unit's cost rather than a test signal's.
//   frames/s   rendered frames per second of processor time
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

// Frames per second of copying two float channels in and two out, the median of several
// runs of at least 20 ms each; measured once per block length.
double FloorRate(UInt32 frames) {
  static std::map<UInt32, double> sRates;
  if (sRates.count(frames)) return sRates[frames];
  std::vector<float> inL(frames, 0.25f), inR(frames, -0.5f), outL(frames), outR(frames);
  std::vector<double> rates;
  for (int run = 0; run < 7; ++run) {
    long long copies = 0;
    const double start = ThreadSeconds();
    double elapsed = 0;
    do {
      for (int i = 0; i < 256; ++i) {
        std::memcpy(outL.data(), inL.data(), frames * sizeof(float));
        std::memcpy(outR.data(), inR.data(), frames * sizeof(float));
        benchmark::DoNotOptimize(outL.data());
        benchmark::DoNotOptimize(outR.data());
        benchmark::ClobberMemory();
      }
      copies += 256;
      elapsed = ThreadSeconds() - start;
    } while (elapsed < 0.02);
    rates.push_back((double)frames * (double)copies / elapsed);
  }
  std::nth_element(rates.begin(), rates.begin() + 3, rates.end());
  return sRates[frames] = rates[3];
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
  const double floor = FloorRate(frames);
  Unit unit;
  PreparedInput input(frames, denormal);
  AURenderCallbackStruct callback = {PreparedInput::Proc, &input};
  AudioUnitRenderProc render = nullptr;
  UInt32 size = sizeof(render);
  // At the preset "Stereo Enhance".
  if (!unit.Get() || SetFormat(unit, kAudioUnitScope_Input, 0, 2) != noErr ||
      SetFormat(unit, kAudioUnitScope_Output, 0, 2) != noErr ||
      SetMaxFrames(unit, frames) != noErr ||
      AudioUnitSetProperty(unit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0,
                           &callback, sizeof(callback)) != noErr ||
      SelectPreset(unit, 1) != noErr || AudioUnitInitialize(unit) != noErr ||
      AudioUnitGetProperty(unit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                           kAudioUnitRenderSelect, &render, &size) != noErr) {
    state.SkipWithError("the Orvanta bundle could not be opened");
    return;
  }
  void* storage = unit.Storage();
  Buffers out(2, frames);
  double sampleTime = 0;
  const double start = ThreadSeconds();
  for (auto _ : state) {
    AudioTimeStamp ts = TimeAt(sampleTime);
    if (entry == Entry::kSelector) {
      AudioUnitRender(unit, nullptr, &ts, 0, frames, out.List());
    } else {
      render(storage, nullptr, &ts, 0, frames, out.List());
    }
    sampleTime += frames;
    benchmark::DoNotOptimize(out.Channel(0));
    benchmark::ClobberMemory();
  }
  const double seconds = ThreadSeconds() - start;
  const double rendered = (double)frames * (double)state.iterations();
  state.counters["frames/s"] = rendered / seconds;
  state.counters["s/frame"] = seconds / rendered;
  state.counters["floor/s"] = floor;
  state.counters["x floor"] = rendered / seconds / floor;
}

void Blocks(benchmark::internal::Benchmark* b) {
  for (int frames : {16, 64, 512, 4096}) b->Arg(frames);
}

}  // namespace

BENCHMARK_CAPTURE(BM_Render, Selector, Entry::kSelector, false)->Apply(Blocks);
BENCHMARK_CAPTURE(BM_Render, FastProc, Entry::kFastProc, false)->Apply(Blocks);
BENCHMARK_CAPTURE(BM_Render, FastProcDenormalInput, Entry::kFastProc, true)->Apply(Blocks);
