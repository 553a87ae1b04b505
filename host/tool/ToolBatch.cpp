#include "ToolBatch.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "AudioFile.h"

namespace {

struct Outcome {
  std::string output, error, clipping;
  bool done = false, ok = false;
  double audioSeconds = 0, elapsed = 0;
};

// What tells files apart: device and inode, whatever the name; a name for what is not there.
std::string FileIdentity(const std::string& path) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0) return "name " + path;
  return std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
}

// As many jobs as the open-file limit leaves room for: each holds its input and its output
// open, and a few more are kept for what libraries open on the way.
size_t JobsWithinFileLimit(rlim_t* fileLimit) {
  constexpr size_t kFilesPerJob = 2, kSpare = 8;
  rlimit limit;
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return SIZE_MAX;
  *fileLimit = limit.rlim_cur;
  size_t open = 0;
  std::error_code failed;
  for (auto it = std::filesystem::directory_iterator("/proc/self/fd", failed);
       !failed && it != std::filesystem::directory_iterator(); it.increment(failed))
    ++open;
  const size_t used = open + kSpare;
  return limit.rlim_cur > used ? std::max<size_t>(1, (limit.rlim_cur - used) / kFilesPerJob) : 1;
}

// Read, render and write one file: what a single `render` does, less the printing.
bool RenderOne(HostUnit& unit, const std::string& inPath, const BatchRequest& request,
               Outcome* outcome) {
  AudioReader in;
  AudioWriter out;
  RenderSummary summary;
  RenderOptions options = request.render;
  options.progress = false;
  std::string& error = outcome->error;
  if (!in.Open(inPath, &error) ||
      !out.Open(outcome->output, in.SampleRate(), 2,
                request.floatSamples ? SF_FORMAT_FLOAT : in.Format(), &error) ||
      !RenderStream(unit, in, &out, options, &summary, &error) || !out.Commit(&error))
    return false;
  outcome->audioSeconds = double(summary.frames) / in.SampleRate();
  outcome->clipping = ClippingText(out);
  return true;
}

void PrintSummary(const BatchRequest& request, const std::vector<Outcome>& outcomes) {
  FILE* out = request.report;
  if (!out) return;
  size_t width = 5;
  for (const std::string& in : request.inputs) width = std::max(width, in.size());
  width = std::min<size_t>(width, 60);
  fprintf(out, "\n%-*s  %-6s %10s %9s %8s  %s\n", int(width), "input", "result", "audio (s)",
          "time (s)", "speed", "output or reason");
  for (size_t i = 0; i < outcomes.size(); ++i) {
    const Outcome& o = outcomes[i];
    if (o.ok)
      fprintf(out, "%-*s  %-6s %10.2f %9.2f %7.0fx  %s\n", int(width), request.inputs[i].c_str(),
              "ok", o.audioSeconds, o.elapsed, o.elapsed > 0 ? o.audioSeconds / o.elapsed : 0.0,
              o.output.c_str());
    else
      fprintf(out, "%-*s  %-6s %10s %9s %8s  %s\n", int(width), request.inputs[i].c_str(), "FAILED",
              "-", "-", "-", o.error.c_str());
  }
}

}  // namespace

std::string BatchOutputPath(const std::string& input, const std::string& outDir,
                            const std::string& suffix) {
  const size_t slash = input.find_last_of('/');
  const std::string name = slash == std::string::npos ? input : input.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
  const std::string extension = stem.size() == name.size() ? "" : name.substr(stem.size());
  return (outDir.empty() ? "." : outDir) + "/" + stem + suffix + extension;
}

int ToolBatchRender(const HostComponent& component, const BatchRequest& given,
                    const BatchPrepare& prepare) {
  // A file listed twice (by any name) is rendered once.
  BatchRequest request = given;
  request.inputs.clear();
  std::map<std::string, size_t> inputs;  // by identity
  for (const std::string& input : given.inputs) {
    const auto [twin, fresh] = inputs.emplace(FileIdentity(input), request.inputs.size());
    if (fresh) {
      request.inputs.push_back(input);
    } else {
      const std::string& kept = request.inputs[twin->second];
      fprintf(stderr, "orvanta: %s is listed twice%s; it is rendered once\n", input.c_str(),
              kept == input ? "" : (" (also as " + kept + ")").c_str());
    }
  }
  const size_t count = request.inputs.size();
  std::vector<Outcome> outcomes(count);
  // Outputs are decided up front, so that clashes fail before anything is written. No output
  // may be an input: it would be replaced before (or after) being read.
  std::map<std::string, size_t> claimed;
  for (size_t i = 0; i < count; ++i) {
    Outcome& o = outcomes[i];
    o.output = BatchOutputPath(request.inputs[i], request.outDir, request.suffix);
    const auto [at, fresh] = claimed.emplace(o.output, i);
    const auto input = inputs.find(FileIdentity(o.output));
    if (!fresh)
      o.error = request.inputs[i] + ": its output " + o.output + " is also that of " +
                request.inputs[at->second] + " (use --suffix or another --out-dir)";
    else if (input != inputs.end())
      o.error = request.inputs[i] + ": its output " + o.output + " would replace the input " +
                request.inputs[input->second] + " (use --suffix or another --out-dir)";
    o.done = !o.error.empty();
  }
  if (mkdir(request.outDir.c_str(), 0777) != 0 && errno != EEXIST) {
    fprintf(stderr, "orvanta: %s: the output folder cannot be made (%s)\n", request.outDir.c_str(),
            strerror(errno));
    return 1;
  }
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  size_t workers =
      std::max<size_t>(1, std::min<size_t>(request.jobs ? request.jobs : cores, count));
  rlim_t fileLimit = 0;
  if (const size_t room = JobsWithinFileLimit(&fileLimit); workers > room) {
    if (request.jobs)
      fprintf(stderr, "orvanta: the limit of %llu open files leaves room for %zu jobs, not %zu\n",
              static_cast<unsigned long long>(fileLimit), room, workers);
    workers = room;
  }
  // Each worker has its own instance, opened and set up here, one after another.
  std::vector<std::unique_ptr<HostUnit>> units;
  for (size_t w = 0; w < workers; ++w) {
    HostError failure;
    auto unit = HostUnit::Open(component, &failure);
    std::string error;
    if (!unit || !prepare(*unit, &error)) {
      fprintf(stderr, "orvanta: %s\n", unit ? error.c_str() : failure.message.c_str());
      return 1;
    }
    units.push_back(std::move(unit));
  }
  std::atomic<size_t> next{0};
  std::mutex printing;
  size_t finished = 0;
  auto report = [&](size_t i) {
    std::lock_guard<std::mutex> lock(printing);
    const Outcome& o = outcomes[i];
    FILE* out = request.report;
    if (!out) return;
    ++finished;
    if (o.ok)
      fprintf(out, "[%zu/%zu] %s -> %s: %.2f s of audio in %.2f s%s%s\n", finished, count,
              request.inputs[i].c_str(), o.output.c_str(), o.audioSeconds, o.elapsed,
              o.clipping.empty() ? "" : "; ", o.clipping.c_str());
    else
      fprintf(out, "[%zu/%zu] %s: FAILED: %s\n", finished, count, request.inputs[i].c_str(),
              o.error.c_str());
    fflush(out);
  };
  for (size_t i = 0; i < count; ++i)
    if (outcomes[i].done) report(i);
  auto work = [&](HostUnit* unit) {
    for (size_t i; (i = next++) < count;) {
      Outcome& o = outcomes[i];
      if (o.done) continue;
      const auto start = std::chrono::steady_clock::now();
      o.ok = RenderOne(*unit, request.inputs[i], request, &o);
      o.elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      report(i);
    }
  };
  std::vector<std::thread> threads;
  for (size_t w = 1; w < workers; ++w) threads.emplace_back(work, units[w].get());
  work(units[0].get());
  for (std::thread& t : threads) t.join();

  PrintSummary(request, outcomes);
  std::string failed;
  size_t failures = 0;
  for (size_t i = 0; i < count; ++i)
    if (!outcomes[i].ok) {
      failed += (failures++ ? ", " : "") + request.inputs[i];
    }
  if (request.report) fflush(request.report);
  if (failures) {
    fprintf(stderr, "orvanta: %zu of %zu files failed: %s\n", failures, count, failed.c_str());
    return 1;
  }
  if (request.report)
    fprintf(request.report, "%zu files rendered into %s\n", count, request.outDir.c_str());
  return 0;
}
