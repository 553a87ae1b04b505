// The VST3 bundle beside the LV2 one in the same run, both driven as their hosts drive them:
// processing per frame at blocks of 16, 512 and 4096 frames, and making an instance (module
// loaded, instance made and activated, everything released and unloaded again; and with the
// module staying loaded).

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "bench/HostLikeHeap.h"
#include "lv2/LV2TestHost.h"
#include "vst3/VST3TestHost.h"

namespace {

struct Signal {
  explicit Signal(int n) : l(n), r(n), outL(n), outR(n) {
    for (int i = 0; i < n; ++i) {
      l[i] = (float)std::sin(0.013 * i);
      r[i] = (float)(0.7 * std::cos(0.029 * i));
    }
  }
  std::vector<float> l, r, outL, outR;
};

void Report(benchmark::State& state, int block) {
  state.SetItemsProcessed(state.iterations() * block);
  state.counters["ns/frame"] =
      benchmark::Counter((double)state.iterations() * block * 1e-9,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_LV2Process(benchmark::State& state) {
  const int block = (int)state.range(0);
  LV2TestHost host;
  if (!host.Loaded() || !host.Instantiate()) return state.SkipWithError("no LV2 instance");
  Signal s(block);
  host.ConnectAudio(s.l.data(), s.r.data(), s.outL.data(), s.outR.data());
  for (auto _ : state) host.Run((uint32_t)block);
  Report(state, block);
}

void BM_VST3Process(benchmark::State& state) {
  const int block = (int)state.range(0);
  vst3test::Host host(vst3test::OrvantaBundle());
  if (!host.Factory() || !host.Create() || !host.Start(48000, block))
    return state.SkipWithError("no VST3 instance");
  Signal s(block);
  float* in[2] = {s.l.data(), s.r.data()};
  float* out[2] = {s.outL.data(), s.outR.data()};
  // Hosts always pass a change list, mostly empty.
  vst3test::Changes changes;
  for (auto _ : state) host.Process(in, out, block, &changes);
  Report(state, block);
}

void BM_LV2Instance(benchmark::State& state) {
  for (auto _ : state) {
    LV2TestHost host;
    if (!host.Loaded() || !host.Instantiate()) return state.SkipWithError("no LV2 instance");
  }
}

void BM_VST3Instance(benchmark::State& state) {
  for (auto _ : state) {
    vst3test::Host host(vst3test::OrvantaBundle());
    if (!host.Factory() || !host.Create() || !host.Start())
      return state.SkipWithError("no VST3 instance");
  }
}

// Instances of a module already loaded, as a host adds a second one to a session.
void BM_LV2InstanceLoaded(benchmark::State& state) {
  LV2TestHost host;
  for (auto _ : state)
    if (!host.Loaded() || !host.Instantiate()) return state.SkipWithError("no LV2 instance");
}

void BM_VST3InstanceLoaded(benchmark::State& state) {
  vst3test::Host host(vst3test::OrvantaBundle());
  for (auto _ : state)
    if (!host.Factory() || !host.Create() || !host.Start())
      return state.SkipWithError("no VST3 instance");
}

BENCHMARK(BM_LV2Process)->Arg(16)->Arg(512)->Arg(4096);
BENCHMARK(BM_VST3Process)->Arg(16)->Arg(512)->Arg(4096);
BENCHMARK(BM_LV2Instance);
BENCHMARK(BM_VST3Instance);
BENCHMARK(BM_LV2InstanceLoaded);
BENCHMARK(BM_VST3InstanceLoaded);

}  // namespace

BENCHMARK_MAIN();
