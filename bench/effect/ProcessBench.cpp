// Throughput of the effect's processing in frames per second: the 64-bit and the 32-bit
// routine called directly, the 32-bit host block path through the base (attach, process,
// and for plug-ins without single replacing the conversions), and each kernel version.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "effect/Orvanta.h"
#include "effect/StereoImageKernel.h"

namespace {

template <class T>
struct Stereo {
  std::vector<T> inL, inR, outL, outR;
  explicit Stereo(int n) : inL(n), inR(n), outL(n), outR(n) {
    for (int i = 0; i < n; ++i) {
      inL[i] = (T)std::sin(0.01 * i);
      inR[i] = (T)std::cos(0.013 * i);
    }
  }
};

void ReportFrames(benchmark::State& state, int nFrames) {
  state.counters["frames/s"] =
      benchmark::Counter((double)nFrames * (double)state.iterations(), benchmark::Counter::kIsRate);
}

template <class T>
void BM_Process(benchmark::State& state) {
  const int nFrames = (int)state.range(0);
  Orvanta plug{IPluginInstanceInfo()};
  plug.RestorePreset("Stereo Enhance");
  Stereo<T> io(nFrames);
  T* ins[] = {io.inL.data(), io.inR.data()};
  T* outs[] = {io.outL.data(), io.outR.data()};
  for (auto _ : state) {
    if constexpr (sizeof(T) == sizeof(double)) {
      plug.ProcessDoubleReplacing(ins, outs, nFrames);
    } else {
      plug.ProcessSingleReplacing(ins, outs, nFrames);
    }
    benchmark::DoNotOptimize(io.outL.data());
    benchmark::ClobberMemory();
  }
  ReportFrames(state, nFrames);
}

void BM_HostBlock32(benchmark::State& state) {
  const int nFrames = (int)state.range(0);
  Orvanta plug{IPluginInstanceInfo()};
  plug.RestorePreset("Stereo Enhance");
  plug.SetBlockSize(nFrames);
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  Stereo<float> io(nFrames);
  float* ins[] = {io.inL.data(), io.inR.data()};
  float* outs[] = {io.outL.data(), io.outR.data()};
  for (auto _ : state) {
    plug.AttachInputBuffers(0, 2, ins, nFrames);
    plug.AttachOutputBuffers(0, 2, outs);
    plug.ProcessBuffers(0.0f, nFrames);
    benchmark::DoNotOptimize(io.outL.data());
    benchmark::ClobberMemory();
  }
  ReportFrames(state, nFrames);
}

template <class T>
void RunKernel(benchmark::State& state, KernelPath path) {
  const int nFrames = (int)state.range(0);
  StereoImageFunc<T> kernel = StereoImageKernel<T>(path);
  if (!kernel) {
    state.SkipWithError("this processor lacks the instruction set");
    return;
  }
  Stereo<T> io(nFrames);
  for (auto _ : state) {
    kernel(io.inL.data(), io.inR.data(), io.outL.data(), io.outR.data(), nFrames, (T)0.5, (T)0.7);
    benchmark::DoNotOptimize(io.outL.data());
    benchmark::ClobberMemory();
  }
  ReportFrames(state, nFrames);
}

void BM_KernelFloat(benchmark::State& state, KernelPath path) { RunKernel<float>(state, path); }
void BM_KernelDouble(benchmark::State& state, KernelPath path) { RunKernel<double>(state, path); }

void Blocks(benchmark::internal::Benchmark* b) {
  for (int frames : {16, 512, 4096}) b->Arg(frames);
}

}  // namespace

BENCHMARK(BM_Process<double>)->Apply(Blocks);
BENCHMARK(BM_Process<float>)->Apply(Blocks);
BENCHMARK(BM_HostBlock32)->Apply(Blocks);
BENCHMARK_CAPTURE(BM_KernelFloat, Scalar, KernelPath::kScalar)->Arg(512);
BENCHMARK_CAPTURE(BM_KernelFloat, SSE2, KernelPath::kSSE2)->Arg(512);
BENCHMARK_CAPTURE(BM_KernelFloat, AVX2, KernelPath::kAVX2)->Arg(512);
BENCHMARK_CAPTURE(BM_KernelDouble, Scalar, KernelPath::kScalar)->Arg(512);
BENCHMARK_CAPTURE(BM_KernelDouble, SSE2, KernelPath::kSSE2)->Arg(512);
BENCHMARK_CAPTURE(BM_KernelDouble, AVX2, KernelPath::kAVX2)->Arg(512);
