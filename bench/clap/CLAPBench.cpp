// CLAP against LV2 in the same run: the two bundles of the effect, each driven as its hosts
// drive it (CLAP's process with an empty event list, LV2's run on connected ports), at blocks
// of 16, 512 and 4096 frames, and a new instance of each. On a busy machine compare CPU times
// with the two taking turns: --benchmark_enable_random_interleaving=true
// --benchmark_repetitions=15 --benchmark_report_aggregates_only=true.

#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <lv2/core/lv2.h>

#include <cmath>
#include <string>
#include <vector>

#include "bench/HostLikeHeap.h"
#include "bench/StereoSignal.h"
#include "clap/CLAPTestHost.h"

namespace {

constexpr double kRate = 48000.0;
constexpr int kMaxBlock = 4096;

const LV2_Descriptor* LV2Descriptor() {
  static const LV2_Descriptor* descriptor = [] {
    void* lib = dlopen(ORVANTA_LV2_BUNDLE "/orvanta.so", RTLD_NOW | RTLD_LOCAL);
    auto entry =
        lib ? reinterpret_cast<LV2_Descriptor_Function>(dlsym(lib, "lv2_descriptor")) : nullptr;
    return entry ? entry(0) : nullptr;
  }();
  return descriptor;
}

void BM_LV2Run(benchmark::State& state) {
  const LV2_Descriptor* d = LV2Descriptor();
  if (!d) return state.SkipWithError("no LV2 bundle");
  LV2_Handle h = d->instantiate(d, kRate, ORVANTA_LV2_BUNDLE, nullptr);
  float controls[3] = {-3.0f, 1.0f, 2.0f}, enabled = 1.0f;
  StereoSignal s(kMaxBlock);
  for (uint32_t i = 0; i < 3; ++i) d->connect_port(h, i, &controls[i]);
  d->connect_port(h, 3, s.In(0));
  d->connect_port(h, 4, s.In(1));
  d->connect_port(h, 5, s.Out(0));
  d->connect_port(h, 6, s.Out(1));
  d->connect_port(h, 7, &enabled);
  d->activate(h);
  const uint32_t frames = (uint32_t)state.range(0);
  for (auto _ : state) d->run(h, frames);
  state.SetItemsProcessed(state.iterations() * frames);
  d->deactivate(h);
  d->cleanup(h);
}

void BM_CLAPProcess(benchmark::State& state) {
  CLAPTestHost host(false);
  if (!host.Create()) return state.SkipWithError("no CLAP bundle");
  host.SetValues({-3.0, 1.0, 2.0});
  host.Start(kRate, kMaxBlock);
  // The host's part is set up once, as LV2's ports are: the loop times the plug-in alone.
  StereoSignal s(kMaxBlock);
  float* in[2] = {s.In(0), s.In(1)};
  float* out[2] = {s.Out(0), s.Out(1)};
  const clap::clap_audio_buffer_t inBuffer{in, nullptr, 2, 0, 0};
  clap::clap_audio_buffer_t outBuffer{out, nullptr, 2, 0, 0};
  const clap::clap_input_events_t inEvents{
      nullptr, [](const clap::clap_input_events_t*) { return 0u; },
      [](const clap::clap_input_events_t*, uint32_t) -> const clap::clap_event_header_t* {
        return nullptr;
      }};
  const clap::clap_output_events_t outEvents{
      nullptr,
      [](const clap::clap_output_events_t*, const clap::clap_event_header_t*) { return true; }};
  const uint32_t frames = (uint32_t)state.range(0);
  const clap::clap_process_t process{-1, frames, nullptr,   &inBuffer, &outBuffer,
                                     1,  1,      &inEvents, &outEvents};
  const clap::clap_plugin_t* p = host.Plugin();
  for (auto _ : state) p->process(p, &process);
  state.SetItemsProcessed(state.iterations() * frames);
}

void BM_LV2Instantiate(benchmark::State& state) {
  const LV2_Descriptor* d = LV2Descriptor();
  if (!d) return state.SkipWithError("no LV2 bundle");
  for (auto _ : state) d->cleanup(d->instantiate(d, kRate, ORVANTA_LV2_BUNDLE, nullptr));
}

void BM_CLAPCreate(benchmark::State& state) {
  CLAPTestHost host(false);
  for (auto _ : state) {
    if (!host.Create()) return state.SkipWithError("no CLAP bundle");
    host.Destroy();
  }
}

BENCHMARK(BM_LV2Run)->Arg(16)->Arg(512)->Arg(4096);
BENCHMARK(BM_CLAPProcess)->Arg(16)->Arg(512)->Arg(4096);
BENCHMARK(BM_LV2Instantiate);
BENCHMARK(BM_CLAPCreate);

}  // namespace
