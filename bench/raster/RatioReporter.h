#pragma once
// Ratio tables of our operations over pixman's that hold still on a shared machine: each
// pair is registered several times, ours and pixman's alternating at one size, so that load
// from the rest of the machine falls on both alike; a ratio is the median of the
// per-repetition ratios. Console output as usual besides.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  static constexpr int kRepetitions = 5;
  using Fn = std::function<void(benchmark::State&)>;

  // Registers "RAS <name>/<arg>" and "pixman <name>/<arg>" for each arg, alternating, once
  // per repetition; call for every pair inside one loop over the repetitions.
  static void Register(const std::string& name, const Fn& ours, const Fn& theirs,
                       const std::vector<int>& args) {
    for (int arg : args) {
      benchmark::RegisterBenchmark(("RAS " + name).c_str(), ours)->Arg(arg)->MinTime(0.05);
      benchmark::RegisterBenchmark(("pixman " + name).c_str(), theirs)->Arg(arg)->MinTime(0.05);
    }
  }

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration) times[Key(r)].push_back(r.GetAdjustedCPUTime());
    ConsoleReporter::ReportRuns(runs);
  }

  // Median over the repetitions of CPU time of "RAS <name>" over "pixman <name>"; negative
  // when either did not run.
  double Ratio(const std::string& name) const {
    const auto ours = times.find("RAS " + name);
    const auto theirs = times.find("pixman " + name);
    if (ours == times.end() || theirs == times.end()) return -1;
    std::vector<double> ratios;
    for (size_t k = 0; k < std::min(ours->second.size(), theirs->second.size()); ++k)
      if (theirs->second[k] > 0) ratios.push_back(ours->second[k] / theirs->second[k]);
    if (ratios.empty()) return -1;
    std::nth_element(ratios.begin(), ratios.begin() + ratios.size() / 2, ratios.end());
    return ratios[ratios.size() / 2];
  }

  // One line of the table: the name, then the ratio at each arg.
  void PrintRow(const std::string& name, const std::vector<int>& args) const {
    std::printf("%-24s", name.c_str());
    for (int arg : args) {
      const double ratio = Ratio(name + "/" + std::to_string(arg));
      if (ratio < 0)
        std::printf(" %12s", "-");
      else
        std::printf(" %12.2f", ratio);
    }
    std::printf("\n");
  }

  std::map<std::string, std::vector<double>> times;

 private:
  // "<name>/<arg>", without the minimum-time suffix the run's name carries.
  static std::string Key(const Run& r) {
    std::string name = r.benchmark_name();
    const size_t suffix = name.find("/min_time:");
    return suffix == std::string::npos ? name : name.substr(0, suffix);
  }
};
