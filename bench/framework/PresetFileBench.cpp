// Reading a program file whose state chunk is large: the time per byte should not grow with the
// file's size. Reported in bytes per second.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "tests/support/HeadlessGraphics.h"

namespace {
// Keeps its state as one opaque block of the chosen size.
class BlobPlug : public HeadlessPlug {
 public:
  BlobPlug() : HeadlessPlug(0) {}
  bool SerializeState(ByteChunk* chunk) override { return chunk->PutStr(mBlob.c_str()) > 0; }
  int UnserializeState(ByteChunk* chunk, int pos) override { return chunk->GetStr(nullptr, pos); }
  std::string mBlob;
};

void BM_LoadProgramFromFXP(benchmark::State& state) {
  BlobPlug plug;
  plug.mBlob.assign(static_cast<size_t>(state.range(0)), 'x');
  UTL_String path("/tmp/orvanta-bench-large.fxp");
  if (!plug.SaveProgramAsFXP(&path)) state.SkipWithError("cannot write the program file");
  for (auto _ : state) benchmark::DoNotOptimize(plug.LoadProgramFromFXP(&path));
  state.SetBytesProcessed(state.iterations() * state.range(0));
  std::remove(path.Get());
}
}  // namespace

BENCHMARK(BM_LoadProgramFromFXP)->Arg(64 << 10)->Arg(1 << 20)->Arg(10 << 20);
