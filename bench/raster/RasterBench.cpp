// Fills and blits of the editor's per-frame work, each measured beside the nearest pixman
// operation on the same size, with a table of time ratios at the end.
//
// pixman works on premultiplied pixels in its native a8r8g8b8 layout, so its "source-alpha"
// rows use OVER and its weighted fills OVER with a translucent solid: the same amount of
// memory traffic and per-pixel blending, not the same formulas.

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "RandomPixels.h"
#include "RatioReporter.h"
#include "raster/Raster.h"

namespace {

struct Size {
  int w, h;
};
constexpr Size kSizes[] = {{274, 438}, {1024, 1024}};

// ---- ours ----

void OursBlit(benchmark::State& state, float alpha, int mode) {
  const Size sz = kSizes[state.range(0)];
  RAS_MemBitmap src(sz.w, sz.h, 4), dest(sz.w, sz.h, 4);
  Randomise(src, 1);
  Randomise(dest, 2);
  for (auto _ : state) {
    RAS_Blit(&dest, &src, 0, 0, nullptr, alpha, mode);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * sz.w * sz.h);
}

void OursFill(benchmark::State& state, float alpha) {
  const Size sz = kSizes[state.range(0)];
  RAS_MemBitmap dest(sz.w, sz.h, 4);
  Randomise(dest, 3);
  for (auto _ : state) {
    RAS_FillRect(&dest, 0, 0, sz.w, sz.h, 0x80402010, alpha, BLIT_COPY);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * sz.w * sz.h);
}

// ---- pixman ----

struct PixmanImage {
  std::vector<uint32_t> pixels;
  pixman_image_t* image = nullptr;
  PixmanImage(int w, int h, uint32_t seed) : pixels(size_t(w) * h) {
    uint32_t s = seed * 2654435761u + 1;
    for (uint32_t& p : pixels) s ^= s << 13, s ^= s >> 17, s ^= s << 5, p = s;
    image = pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, pixels.data(), w * 4);
  }
  ~PixmanImage() { pixman_image_unref(image); }
};

pixman_image_t* Solid(double alpha) {
  const uint16_t a = uint16_t(alpha * 0xffff);
  const pixman_color_t c = {uint16_t(0x8040 * alpha), uint16_t(0x2010 * alpha),
                            uint16_t(0x1000 * alpha), a};
  return pixman_image_create_solid_fill(&c);
}

void PixmanBlit(benchmark::State& state, pixman_op_t op, double maskAlpha) {
  const Size sz = kSizes[state.range(0)];
  PixmanImage src(sz.w, sz.h, 1), dest(sz.w, sz.h, 2);
  pixman_image_t* mask = maskAlpha < 1.0 ? Solid(maskAlpha) : nullptr;
  for (auto _ : state) {
    pixman_image_composite32(op, src.image, mask, dest.image, 0, 0, 0, 0, 0, 0, sz.w, sz.h);
    benchmark::ClobberMemory();
  }
  if (mask) pixman_image_unref(mask);
  state.SetItemsProcessed(state.iterations() * sz.w * sz.h);
}

void PixmanFill(benchmark::State& state, double alpha) {
  const Size sz = kSizes[state.range(0)];
  PixmanImage dest(sz.w, sz.h, 3);
  pixman_image_t* solid = Solid(alpha);
  const pixman_op_t op = alpha >= 1.0 ? PIXMAN_OP_SRC : PIXMAN_OP_OVER;
  for (auto _ : state) {
    pixman_image_composite32(op, solid, nullptr, dest.image, 0, 0, 0, 0, 0, 0, sz.w, sz.h);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(solid);
  state.SetItemsProcessed(state.iterations() * sz.w * sz.h);
}

// Each pair: our operation and pixman's nearest one.
struct Pair {
  const char* name;
  void (*ours)(benchmark::State&);
  void (*pixman)(benchmark::State&);
};

const Pair kPairs[] = {
    {"blit copy", [](benchmark::State& s) { OursBlit(s, 1.0f, BLIT_COPY); },
     [](benchmark::State& s) { PixmanBlit(s, PIXMAN_OP_SRC, 1.0); }},
    {"blit source-alpha 1.0",
     [](benchmark::State& s) { OursBlit(s, 1.0f, BLIT_COPY | BLIT_FLAG_SOURCE_ALPHA); },
     [](benchmark::State& s) { PixmanBlit(s, PIXMAN_OP_OVER, 1.0); }},
    {"blit source-alpha 0.5",
     [](benchmark::State& s) { OursBlit(s, 0.5f, BLIT_COPY | BLIT_FLAG_SOURCE_ALPHA); },
     [](benchmark::State& s) { PixmanBlit(s, PIXMAN_OP_OVER, 0.5); }},
    {"fill weight 256", [](benchmark::State& s) { OursFill(s, 1.0f); },
     [](benchmark::State& s) { PixmanFill(s, 1.0); }},
    {"fill weight 128", [](benchmark::State& s) { OursFill(s, 0.5f); },
     [](benchmark::State& s) { PixmanFill(s, 0.5); }},
    {"fill weight 100", [](benchmark::State& s) { OursFill(s, 100 / 256.0f); },
     [](benchmark::State& s) { PixmanFill(s, 100 / 256.0); }},
};

}  // namespace

int main(int argc, char** argv) {
  const std::vector<int> sizes = {0, 1};
  for (int k = 0; k < RatioReporter::kRepetitions; ++k)
    for (const Pair& p : kPairs) RatioReporter::Register(p.name, p.ours, p.pixman, sizes);
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\n%-24s %12s %12s   (CPU time RAS / pixman, median of %d; below 1 is faster)\n",
              "operation", "274x438", "1024x1024", RatioReporter::kRepetitions);
  for (const Pair& p : kPairs) reporter.PrintRow(p.name, sizes);
  benchmark::Shutdown();
  return 0;
}
