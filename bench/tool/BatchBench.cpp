// `orvanta render --out-dir` on eight files of 20 s of 48 kHz stereo, one at a time and two at
// a time, in the temporary folder (on disk) and in /dev/shm (in memory). The aim: two at a time
// on two cores takes at most 0.6x the time of one at a time. Every output is synced to its
// storage before it is renamed into place, so on disk the disk's write rate bounds the time:
// compare with `dd bs=1M count=61 conv=fsync` there. On a machine shared with other work the
// scheduler may hand the process's threads no more time than one, so read the ratio together
// with the machine's load.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "AudioFile.h"
#include "ToolBatch.h"

namespace {

constexpr double kRate = 48000, kSeconds = 20;
constexpr int kFiles = 8;

struct Scratch {
  explicit Scratch(bool inMemory)
      : dir((inMemory ? std::filesystem::path("/dev/shm")
                      : std::filesystem::temp_directory_path()) /
            ("orvanta-batch-bench-" + std::to_string(getpid()))) {}
  ~Scratch() { std::filesystem::remove_all(dir); }
  std::filesystem::path dir;
};

void BatchEightFiles(benchmark::State& state) {
  Scratch scratch(state.range(1) != 0);
  std::error_code made;
  if (!std::filesystem::create_directories(scratch.dir, made) && made) {
    state.SkipWithError(("cannot make " + scratch.dir.string()).c_str());
    return;
  }
  std::vector<float> left(size_t(kRate * kSeconds)), right(left.size());
  for (size_t i = 0; i < left.size(); ++i) {
    left[i] = float(0.5 * std::sin(i * 0.013) + 0.2 * std::sin(i * 0.07));
    right[i] = float(0.5 * std::sin(i * 0.013) - 0.2 * std::sin(i * 0.05));
  }
  const float* const channels[2] = {left.data(), right.data()};
  BatchRequest request;
  request.outDir = (scratch.dir / "out").string();
  request.jobs = unsigned(state.range(0));
  request.report = nullptr;
  std::string error;
  for (int i = 0; i < kFiles; ++i) {
    request.inputs.push_back((scratch.dir / ("in" + std::to_string(i) + ".wav")).string());
    AudioWriter writer;
    if (!writer.Open(request.inputs.back(), kRate, 2, SF_FORMAT_FLOAT, &error) ||
        !writer.Write(channels, left.size(), &error) || !writer.Commit(&error)) {
      state.SkipWithError(error.c_str());
      return;
    }
  }
  HostError failure;
  auto component = HostComponent::Load(ORVANTA_BUNDLE_PATH, &failure);
  if (!component) {
    state.SkipWithError(failure.message.c_str());
    return;
  }
  const auto preset = [](HostUnit& unit, std::string*) {
    return unit.SetPresentPreset(1) == noErr;
  };
  for (auto _ : state)
    if (ToolBatchRender(*component, request, preset) != 0) state.SkipWithError("a render failed");
  state.counters["files_per_s"] =
      benchmark::Counter(kFiles * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BatchEightFiles)
    ->ArgNames({"jobs", "in_memory"})
    ->ArgsProduct({{1, 2}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
