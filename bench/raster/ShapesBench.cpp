// Resampling blits on editor-sized and large images, each beside pixman's equivalent transform and
// filter on the same sizes, with a table of time ratios at the end; then lines and filled
// circles per second.
//
// pixman samples pixel centres and works on premultiplied a8r8g8b8; the pairs move the same
// pixels through the same kind of filter, not the same formulas.

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "RandomPixels.h"
#include "RatioReporter.h"
#include "raster/Raster.h"

namespace {

constexpr int kW = 274, kH = 438;  // the editor's size
constexpr double kAngle = 0.52;

// Destination sizes of the ratio table: the editor's, and a large one.
struct Size {
  int w, h;
};
constexpr Size kSizes[] = {{kW, kH}, {1024, 1024}};

// Source size over destination size: half (scaling up by 2), the same (rotation), four
// times (scaling down by 4).
struct Case {
  const char* name;
  int srcNum, srcDen;
  bool filter;
  bool rotate;
};

const Case kCases[] = {
    {"scale up nearest", 1, 2, false, false},   {"scale up bilinear", 1, 2, true, false},
    {"scale down filtered", 4, 1, true, false}, {"rotate nearest", 1, 1, false, true},
    {"rotate bilinear", 1, 1, true, true},
};

struct Geometry {
  int w, h, srcW, srcH;
  Geometry(const benchmark::State& state, const Case& c) {
    const Size sz = kSizes[state.range(0)];
    w = sz.w, h = sz.h;
    srcW = w * c.srcNum / c.srcDen, srcH = h * c.srcNum / c.srcDen;
  }
};

void Ours(benchmark::State& state, const Case& c) {
  const Geometry g(state, c);
  RAS_MemBitmap src(g.srcW, g.srcH, 4), dest(g.w, g.h, 4);
  Randomise(src, 1);
  Randomise(dest, 2);
  const int mode = c.filter ? BLIT_FLAG_FILTER : 0;
  for (auto _ : state) {
    if (c.rotate)
      RAS_RotatedBlit(&dest, &src, 0, 0, g.w, g.h, 0, 0, float(g.srcW), float(g.srcH),
                      float(kAngle), false, 1.0f, mode);
    else
      RAS_ScaledBlit(&dest, &src, 0, 0, g.w, g.h, 0, 0, float(g.srcW), float(g.srcH), 1.0f, mode);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * g.w * g.h);
}

void Pixman(benchmark::State& state, const Case& c) {
  const Geometry g(state, c);
  std::vector<uint32_t> srcPixels(size_t(g.srcW) * g.srcH), destPixels(size_t(g.w) * g.h);
  RAS_MemBitmap tmp(g.srcW, g.srcH, 1);
  Randomise(tmp, 1);
  for (int y = 0; y < g.srcH; ++y)
    for (int x = 0; x < g.srcW; ++x)
      srcPixels[size_t(y) * g.srcW + x] = tmp.getBits()[y * tmp.getRowSpan() + x];
  pixman_image_t* src =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, g.srcW, g.srcH, srcPixels.data(), g.srcW * 4);
  pixman_image_t* dest =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, g.w, g.h, destPixels.data(), g.w * 4);
  // Destination to source: scale, or rotate about the centres.
  pixman_f_transform ft;
  pixman_f_transform_init_identity(&ft);
  if (c.rotate) {
    pixman_f_transform_translate(&ft, nullptr, -g.w / 2.0, -g.h / 2.0);
    pixman_f_transform_rotate(&ft, nullptr, std::cos(kAngle), -std::sin(kAngle));
    pixman_f_transform_translate(&ft, nullptr, g.srcW / 2.0, g.srcH / 2.0);
  } else {
    pixman_f_transform_scale(&ft, nullptr, double(g.srcW) / g.w, double(g.srcH) / g.h);
  }
  pixman_transform t;
  pixman_transform_from_pixman_f_transform(&t, &ft);
  pixman_image_set_transform(src, &t);
  const bool down = c.filter && g.srcW > g.w;
  if (down) {
    // A box the size of the reduction, the counterpart of the averaging window.
    int n = 0;
    const pixman_fixed_t sx = pixman_double_to_fixed(double(g.srcW) / g.w);
    const pixman_fixed_t sy = pixman_double_to_fixed(double(g.srcH) / g.h);
    pixman_fixed_t* params =
        pixman_filter_create_separable_convolution(&n, sx, sy, PIXMAN_KERNEL_BOX, PIXMAN_KERNEL_BOX,
                                                   PIXMAN_KERNEL_BOX, PIXMAN_KERNEL_BOX, 0, 0);
    pixman_image_set_filter(src, PIXMAN_FILTER_SEPARABLE_CONVOLUTION, params, n);
    free(params);
  } else {
    pixman_image_set_filter(src, c.filter ? PIXMAN_FILTER_BILINEAR : PIXMAN_FILTER_NEAREST, nullptr,
                            0);
  }
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dest, 0, 0, 0, 0, 0, 0, g.w, g.h);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(src);
  pixman_image_unref(dest);
  state.SetItemsProcessed(state.iterations() * g.w * g.h);
}

// Lines of every direction across the editor, plain and anti-aliased.
void Lines(benchmark::State& state) {
  RAS_MemBitmap dest(kW, kH, 4);
  Randomise(dest, 3);
  const bool aa = state.range(0) != 0;
  int k = 0;
  for (auto _ : state) {
    const double a = (k++ % 360) * M_PI / 180;
    RAS_Line(&dest, kW / 2, kH / 2, int(kW / 2 + 130 * std::sin(a)),
             int(kH / 2 - 130 * std::cos(a)), 0xff8040ff, 1.0f, 0, aa);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
  state.SetLabel("lines of 130 pixels");
}

// Filled circles of a knob's size.
void FilledCircles(benchmark::State& state) {
  RAS_MemBitmap dest(kW, kH, 4);
  Randomise(dest, 4);
  const bool aa = state.range(0) != 0;
  for (auto _ : state) {
    RAS_FillCircle(&dest, kW / 2.0f, kH / 2.0f, 40.3f, 0x40c0ffff, 0.8f, 0, aa);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
  state.SetLabel("radius 40");
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<int> sizes = {0, 1};
  for (int k = 0; k < RatioReporter::kRepetitions; ++k)
    for (const Case& c : kCases)
      RatioReporter::Register(
          c.name, [&c](benchmark::State& s) { Ours(s, c); },
          [&c](benchmark::State& s) { Pixman(s, c); }, sizes);
  benchmark::RegisterBenchmark("RAS lines", Lines)->Arg(0)->Arg(1)->ArgName("aa");
  benchmark::RegisterBenchmark("RAS filled circles", FilledCircles)->Arg(0)->Arg(1)->ArgName("aa");
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\n%-24s %12s %12s   (CPU time RAS / pixman, median of %d; below 1 is faster)\n",
              "operation", "274x438", "1024x1024", RatioReporter::kRepetitions);
  for (const Case& c : kCases) reporter.PrintRow(c.name, sizes);
  benchmark::Shutdown();
  return 0;
}
