// Baseline throughput of the 32-bit block path: attach, process (the base's copy),
// convert back. Reported in frames per second.

#include <benchmark/benchmark.h>

#include <vector>

#include "tests/support/HeadlessGraphics.h"

namespace {

void BM_ProcessBuffersFloat(benchmark::State& state) {
  int nFrames = (int)state.range(0);
  HeadlessPlug plug(0);
  plug.SetBlockSize(nFrames);
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<float> inL(nFrames, 0.25f), inR(nFrames, -0.5f), outL(nFrames), outR(nFrames);
  float* ins[] = {inL.data(), inR.data()};
  float* outs[] = {outL.data(), outR.data()};
  for (auto _ : state) {
    plug.AttachInputBuffers(0, 2, ins, nFrames);
    plug.AttachOutputBuffers(0, 2, outs);
    plug.ProcessBuffers(0.0f, nFrames);
    benchmark::DoNotOptimize(outL.data());
    benchmark::ClobberMemory();
  }
  state.counters["frames/s"] =
      benchmark::Counter((double)nFrames * (double)state.iterations(), benchmark::Counter::kIsRate);
}
}  // namespace

BENCHMARK(BM_ProcessBuffersFloat)->Arg(64)->Arg(512)->Arg(4096);
