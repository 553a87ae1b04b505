#pragma once
// `orvanta render IN... --out-dir DIR`: many files through the same settings, several at a
// time, each worker with its own instance of the unit. A file that fails does not stop the
// others; every failure is named at the end.

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "ToolRender.h"
#include "host/Host.h"

struct BatchRequest {
  std::vector<std::string> inputs;
  std::string outDir, suffix;
  unsigned jobs = 0;          // 0: one per core
  RenderOptions render;       // its upmix choice applies to every file
  bool floatSamples = false;  // 32-bit float outputs where the container holds them

  FILE* report = stdout;  // progress lines and the summary table; null for none
};

// The output a batch writes for an input: DIR/<name><suffix>.<extension>.
std::string BatchOutputPath(const std::string& input, const std::string& outDir,
                            const std::string& suffix);

// Puts a freshly opened unit into the command line's settings; false with a message.
using BatchPrepare = std::function<bool(HostUnit&, std::string*)>;

// Renders every input; progress lines and the summary table go to stdout, and the exit code
// is returned: 0 when every file was written, 1 otherwise.
int ToolBatchRender(const HostComponent& component, const BatchRequest& request,
                    const BatchPrepare& prepare);
