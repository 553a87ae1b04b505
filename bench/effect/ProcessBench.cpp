// Throughput of the effect's mid/side loop, in frames per second.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "effect/Orvanta.h"

namespace {
void BM_ProcessDoubleReplacing(benchmark::State& state) {
  int nFrames = (int)state.range(0);
  IPluginInstanceInfo info;
  Orvanta plug(info);
  plug.RestorePreset("Stereo Enhance");
  std::vector<double> inL(nFrames), inR(nFrames), outL(nFrames), outR(nFrames);
  for (int i = 0; i < nFrames; ++i) {
    inL[i] = std::sin(0.01 * i);
    inR[i] = std::cos(0.013 * i);
  }
  double* ins[] = {inL.data(), inR.data()};
  double* outs[] = {outL.data(), outR.data()};
  for (auto _ : state) {
    plug.ProcessDoubleReplacing(ins, outs, nFrames);
    benchmark::DoNotOptimize(outL.data());
    benchmark::ClobberMemory();
  }
  state.counters["frames/s"] =
      benchmark::Counter((double)nFrames * (double)state.iterations(), benchmark::Counter::kIsRate);
}
}  // namespace

BENCHMARK(BM_ProcessDoubleReplacing)->Arg(512);
