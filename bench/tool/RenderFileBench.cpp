// What `orvanta render` does with a minute of 48 kHz stereo: read the file, render it through
// the unit's entry, write the result. The real-time factor is seconds of audio per second.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "AudioFile.h"
#include "ToolRender.h"
#include "host/Host.h"

namespace {

constexpr double kRate = 48000, kSeconds = 60;

std::string Scratch(const char* name) {
  return "/tmp/orvanta-bench-" + std::to_string(getpid()) + "-" + name;
}

// A minute of two sines per channel, so mid and side both carry signal.
bool WriteSource(const std::string& path, std::string* error) {
  AudioWriter writer;
  if (!writer.Open(path, kRate, 2, SF_FORMAT_FLOAT, error)) return false;
  std::vector<float> left(4800), right(4800);
  const float* const channels[2] = {left.data(), right.data()};
  for (size_t start = 0; start < static_cast<size_t>(kRate * kSeconds); start += left.size()) {
    for (size_t k = 0; k < left.size(); ++k) {
      const double i = double(start + k);
      left[k] = static_cast<float>(0.5 * std::sin(i * 0.013) + 0.2 * std::sin(i * 0.07));
      right[k] = static_cast<float>(0.5 * std::sin(i * 0.013) - 0.2 * std::sin(i * 0.05));
    }
    if (!writer.Write(channels, left.size(), error)) return false;
  }
  return writer.Commit(error);
}

void RenderMinuteFile(benchmark::State& state) {
  const UInt32 block = static_cast<UInt32>(state.range(0));
  const std::string in = Scratch("in.wav"), out = Scratch("out.wav");
  std::string error;
  HostError failure;
  auto component = HostComponent::Load(ORVANTA_BUNDLE_PATH, &failure);
  auto unit = component ? HostUnit::Open(*component, &failure) : nullptr;
  if (!unit || !WriteSource(in, &error)) {
    state.SkipWithError((failure.message + error).c_str());
    return;
  }
  unit->SetPresentPreset(1);
  RenderOptions options;
  options.block = block;
  for (auto _ : state) {
    AudioReader reader;
    AudioWriter writer;
    RenderSummary summary;
    if (!reader.Open(in, &error) ||
        !writer.Open(out, reader.SampleRate(), 2, reader.Format(), &error) ||
        !RenderStream(*unit, reader, &writer, options, &summary, &error) ||
        !writer.Commit(&error)) {
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
