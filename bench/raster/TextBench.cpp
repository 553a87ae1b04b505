// Text drawing speed for a 20-character readout on each path, in characters per second.

#include <benchmark/benchmark.h>

#include <cstring>

#include "raster/Raster.h"

namespace {

const char kReadout[] = "Stereo: -12.5 dB (L)";
constexpr int kChars = sizeof(kReadout) - 1;
static_assert(kChars == 20, "the readout is 20 characters");

template <class Bitmap>
void DrawReadout(benchmark::State& state, int fontFlags) {
  RAS_CachedFont font;
  font.SetFromHFont(CreateFont(-12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 4, 0, "DejaVu Sans"),
                    fontFlags);
  font.SetTextColor(RAS_RGBA(240, 240, 240, 255));
  Bitmap bm(200, 40);
  RAS_Clear(&bm, RAS_RGBA(30, 30, 30, 255));
  for (auto _ : state) {
    RECT r{4, 4, 196, 36};
    benchmark::DoNotOptimize(font.DrawText(&bm, kReadout, -1, &r, DT_CENTER | DT_VCENTER));
  }
  state.counters["chars/s"] =
      benchmark::Counter((double)state.iterations() * kChars, benchmark::Counter::kIsRate);
}

void BM_TextGlyphPath(benchmark::State& state) {
  DrawReadout<RAS_MemBitmap>(state, RAS_FONT_FLAG_OWNS_HFONT);
}
void BM_TextGlyphPathMono(benchmark::State& state) {
  DrawReadout<RAS_MemBitmap>(state, RAS_FONT_FLAG_OWNS_HFONT | RAS_FONT_FLAG_MONO);
}
void BM_TextNativeIntoContext(benchmark::State& state) {
  DrawReadout<RAS_SysBitmap>(state, RAS_FONT_FLAG_OWNS_HFONT | RAS_FONT_FLAG_NATIVE);
}
void BM_TextNativeViaScratch(benchmark::State& state) {
  DrawReadout<RAS_MemBitmap>(state, RAS_FONT_FLAG_OWNS_HFONT | RAS_FONT_FLAG_NATIVE);
}

}  // namespace

BENCHMARK(BM_TextGlyphPath);
BENCHMARK(BM_TextGlyphPathMono);
BENCHMARK(BM_TextNativeIntoContext);
BENCHMARK(BM_TextNativeViaScratch);
