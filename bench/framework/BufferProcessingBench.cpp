// Baseline throughput of the 32-bit block path: attach, process (the base's copy),
// convert back. Reported in frames per second.

#include <benchmark/benchmark.h>

#include <vector>

#include "framework/Framework.h"

namespace {
class BenchPlug : public IPluginBase {
 public:
  BenchPlug()
      : IPluginBase(0, "2-2", 0, "Bench", "", "", 0x10000, 1, 1, 0, false, false, false, kAPIAU) {}
  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int, double) override {}
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override {}
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return 120.0; }
  void GetTimeSig(int*, int*) override {}
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg*) override { return false; }
};

void BM_ProcessBuffersFloat(benchmark::State& state) {
  int nFrames = (int)state.range(0);
  BenchPlug plug;
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
