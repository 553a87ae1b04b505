#pragma once
// Console output as usual, plus the time per iteration of every run, so that a benchmark
// can close with a table of our times over pixman's.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration) times[r.benchmark_name()] = r.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }

  // CPU time of "RAS <name>" over "pixman <name>"; negative when either did not run.
  double Ratio(const std::string& name) const {
    const auto ours = times.find("RAS " + name);
    const auto theirs = times.find("pixman " + name);
    if (ours == times.end() || theirs == times.end() || theirs->second <= 0) return -1;
    return ours->second / theirs->second;
  }

  std::map<std::string, double> times;
};
