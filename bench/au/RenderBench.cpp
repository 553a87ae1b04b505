// Rendering through the component entry: the Render selector (locked dispatch) against the
// fast-dispatch render procedure, beside the framework's and the effect's own figures, so the
// wrapper's overhead is visible. Reported in frames per second.

#include <benchmark/benchmark.h>

#include "au/AUTestHost.h"

namespace {

using namespace autest;

// An open, initialised unit fed by a render callback, at the preset "Stereo Enhance".
struct BenchUnit {
  Unit unit;
  SignalSource source;
  bool Prepare(UInt32 frames) {
    return unit.Get() && SetFormat(unit, kAudioUnitScope_Input, 0, 2) == noErr &&
           SetFormat(unit, kAudioUnitScope_Output, 0, 2) == noErr &&
           SetMaxFrames(unit, frames) == noErr && source.Attach(unit) == noErr &&
           SelectPreset(unit, 1) == noErr && AudioUnitInitialize(unit) == noErr;
  }
};

void ReportFrames(benchmark::State& state, UInt32 frames) {
  state.counters["frames/s"] =
      benchmark::Counter((double)frames * (double)state.iterations(), benchmark::Counter::kIsRate);
}

void BM_RenderSelector(benchmark::State& state) {
  const UInt32 frames = (UInt32)state.range(0);
  BenchUnit bench;
  if (!bench.Prepare(frames)) {
    state.SkipWithError("the Orvanta bundle could not be opened");
    return;
  }
  Buffers out(2, frames);
  double sampleTime = 0;
  for (auto _ : state) {
    AudioTimeStamp ts = TimeAt(sampleTime);
    AudioUnitRender(bench.unit, nullptr, &ts, 0, frames, out.List());
    sampleTime += frames;
    benchmark::DoNotOptimize(out.Channel(0));
    benchmark::ClobberMemory();
  }
  ReportFrames(state, frames);
}

void BM_FastRenderProc(benchmark::State& state) {
  const UInt32 frames = (UInt32)state.range(0);
  BenchUnit bench;
  AudioUnitRenderProc render = nullptr;
  UInt32 size = sizeof(render);
  if (!bench.Prepare(frames) ||
      AudioUnitGetProperty(bench.unit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                           kAudioUnitRenderSelect, &render, &size) != noErr) {
    state.SkipWithError("the Orvanta bundle could not be opened");
    return;
  }
  void* storage = bench.unit.Storage();
  Buffers out(2, frames);
  double sampleTime = 0;
  for (auto _ : state) {
    AudioTimeStamp ts = TimeAt(sampleTime);
    render(storage, nullptr, &ts, 0, frames, out.List());
    sampleTime += frames;
    benchmark::DoNotOptimize(out.Channel(0));
    benchmark::ClobberMemory();
  }
  ReportFrames(state, frames);
}

}  // namespace

BENCHMARK(BM_RenderSelector)->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK(BM_FastRenderProc)->Arg(64)->Arg(512)->Arg(4096);
