// The stereo-image meter on a minute of 48 kHz stereo, fed as a stream delivers it, alone and
// behind the file reader. The real-time factor is seconds of audio measured per second on one
// core; the aim is 200x.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "AudioFile.h"
#include "StereoImage.h"

namespace {

constexpr double kRate = 48000, kSeconds = 60;

void AnalyzeMinute(benchmark::State& state) {
  const size_t frames = size_t(kRate * kSeconds), block = size_t(state.range(0));
  std::vector<float> left(frames), right(frames);
  for (size_t i = 0; i < frames; ++i) {
    left[i] = float(0.5 * std::sin(i * 0.013) + 0.2 * std::sin(i * 0.07));
    right[i] = float(0.5 * std::sin(i * 0.013) - 0.2 * std::sin(i * 0.05));
  }
  for (auto _ : state) {
    StereoImageMeter meter(kRate);
    for (size_t at = 0; at < frames; at += block)
      meter.Add(&left[at], &right[at], std::min(block, frames - at));
    meter.Finish();
    benchmark::DoNotOptimize(meter.Figures());
  }
  state.counters["realtime_factor"] = benchmark::Counter(
      kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(AnalyzeMinute)->Arg(4096)->Arg(512)->Unit(benchmark::kMillisecond)->UseRealTime();

// What `orvanta analyze FILE` does without settings: the file read block by block and measured.
void AnalyzeMinuteFile(benchmark::State& state) {
  const std::string path = "/tmp/orvanta-analyze-bench-" + std::to_string(getpid()) + ".wav";
  const size_t frames = size_t(kRate * kSeconds);
  std::vector<float> left(frames), right(frames);
  for (size_t i = 0; i < frames; ++i) {
    left[i] = float(0.5 * std::sin(i * 0.013) + 0.2 * std::sin(i * 0.07));
    right[i] = float(0.5 * std::sin(i * 0.013) - 0.2 * std::sin(i * 0.05));
  }
  const float* const source[2] = {left.data(), right.data()};
  std::string error;
  AudioWriter writer;
  if (!writer.Open(path, kRate, 2, SF_FORMAT_PCM_24, &error) ||
      !writer.Write(source, frames, &error) || !writer.Commit(&error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  float* const channels[2] = {left.data(), right.data()};
  for (auto _ : state) {
    AudioReader reader;
    StereoImageMeter meter(kRate);
    if (!reader.Open(path, &error)) {
      state.SkipWithError(error.c_str());
      break;
    }
    while (const size_t n = reader.Read(channels, 4096)) meter.Add(left.data(), right.data(), n);
    meter.Finish();
    benchmark::DoNotOptimize(meter.Figures());
  }
  state.counters["realtime_factor"] = benchmark::Counter(
      kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  remove(path.c_str());
}
BENCHMARK(AnalyzeMinuteFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
