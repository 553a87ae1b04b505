// What `orvanta render` does with a minute of 48 kHz stereo: read the file, render it through
// the unit's entry, write the result. The real-time factor is seconds of audio per second.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "AudioFile.h"
#include "ToolRender.h"
#include "host/Host.h"

namespace {

constexpr double kRate = 48000, kSeconds = 60;

std::string Scratch(const char* name) {
  return "/tmp/orvanta-bench-" + std::to_string(getpid()) + "-" + name;
}

void RenderMinuteFile(benchmark::State& state) {
  const UInt32 block = static_cast<UInt32>(state.range(0));
  AudioFile source;
  source.sampleRate = kRate;
  source.channels.assign(2, std::vector<float>(static_cast<size_t>(kRate * kSeconds)));
  for (size_t i = 0; i < source.Frames(); ++i) {
    source.channels[0][i] =
        static_cast<float>(0.5 * std::sin(i * 0.013) + 0.2 * std::sin(i * 0.07));
    source.channels[1][i] =
        static_cast<float>(0.5 * std::sin(i * 0.013) - 0.2 * std::sin(i * 0.05));
  }
  const std::string in = Scratch("in.wav"), out = Scratch("out.wav");
  std::string error;
  HostError failure;
  auto component = HostComponent::Load(ORVANTA_BUNDLE_PATH, &failure);
  auto unit = component ? HostUnit::Open(*component, &failure) : nullptr;
  if (!unit || !WriteAudioFile(in, source, &error)) {
    state.SkipWithError((failure.message + error).c_str());
    return;
  }
  unit->SetPresentPreset(1);
  RenderOptions options;
  options.block = block;
  for (auto _ : state) {
    AudioFile audio, result;
    if (!ReadAudioFile(in, &audio, &error) ||
        !RenderThroughUnit(*unit, audio, &result, options, &error) ||
        !WriteAudioFile(out, result, &error)) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
  state.counters["realtime_factor"] = benchmark::Counter(
      kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  remove(in.c_str());
  remove(out.c_str());
  unit.reset();
}
BENCHMARK(RenderMinuteFile)->Arg(512)->Arg(64)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
