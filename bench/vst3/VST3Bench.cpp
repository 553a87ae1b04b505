// The VST3 bundle beside the LV2 one in the same run, both driven as their hosts drive them:
// processing per frame at blocks of 16, 512 and 4096 frames, and making an instance (module
// loaded, instance made and activated, everything released and unloaded again; and with the
// module staying loaded).

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "bench/HostLikeHeap.h"
#include "bench/StereoSignal.h"
#include "lv2/LV2TestHost.h"
#include "vst3/VST3TestHost.h"

namespace {

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
  StereoSignal s(block);
  host.ConnectAudio(s.In(0), s.In(1), s.Out(0), s.Out(1));
  for (auto _ : state) host.Run((uint32_t)block);
  Report(state, block);
}

void BM_VST3Process(benchmark::State& state) {
  const int block = (int)state.range(0);
  vst3test::Host host(vst3test::OrvantaBundle());
  if (!host.Factory() || !host.Create() || !host.Start(48000, block))
    return state.SkipWithError("no VST3 instance");
  StereoSignal s(block);
  float* in[2] = {s.In(0), s.In(1)};
  float* out[2] = {s.Out(0), s.Out(1)};
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
