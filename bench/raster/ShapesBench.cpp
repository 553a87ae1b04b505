// Resampling blits on editor-sized images, each beside pixman's equivalent transform and
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

// Source sizes: half (scaling up by 2), the same (rotation), four times (scaling down by 4).
struct Case {
  const char* name;
  int srcW, srcH;
  bool filter;
  bool rotate;
};

const Case kCases[] = {
    {"scale up nearest", kW / 2, kH / 2, false, false},
    {"scale up bilinear", kW / 2, kH / 2, true, false},
    {"scale down filtered", kW * 4, kH * 4, true, false},
    {"rotate nearest", kW, kH, false, true},
    {"rotate bilinear", kW, kH, true, true},
};

void Ours(benchmark::State& state, const Case& c) {
  RAS_MemBitmap src(c.srcW, c.srcH, 4), dest(kW, kH, 4);
  Randomise(src, 1);
  Randomise(dest, 2);
  const int mode = c.filter ? BLIT_FLAG_FILTER : 0;
  for (auto _ : state) {
    if (c.rotate)
      RAS_RotatedBlit(&dest, &src, 0, 0, kW, kH, 0, 0, float(c.srcW), float(c.srcH), float(kAngle),
                      false, 1.0f, mode);
    else
      RAS_ScaledBlit(&dest, &src, 0, 0, kW, kH, 0, 0, float(c.srcW), float(c.srcH), 1.0f, mode);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kW * kH);
}

void Pixman(benchmark::State& state, const Case& c) {
  std::vector<uint32_t> srcPixels(size_t(c.srcW) * c.srcH), destPixels(size_t(kW) * kH);
  RAS_MemBitmap tmp(c.srcW, c.srcH, 1);
  Randomise(tmp, 1);
  for (int y = 0; y < c.srcH; ++y)
    for (int x = 0; x < c.srcW; ++x)
      srcPixels[size_t(y) * c.srcW + x] = tmp.getBits()[y * tmp.getRowSpan() + x];
  pixman_image_t* src =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, c.srcW, c.srcH, srcPixels.data(), c.srcW * 4);
  pixman_image_t* dest =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, kW, kH, destPixels.data(), kW * 4);
  // Destination to source: scale, or rotate about the centres.
  pixman_f_transform ft;
  pixman_f_transform_init_identity(&ft);
  if (c.rotate) {
    pixman_f_transform_translate(&ft, nullptr, -kW / 2.0, -kH / 2.0);
    pixman_f_transform_rotate(&ft, nullptr, std::cos(kAngle), -std::sin(kAngle));
    pixman_f_transform_translate(&ft, nullptr, c.srcW / 2.0, c.srcH / 2.0);
  } else {
    pixman_f_transform_scale(&ft, nullptr, double(c.srcW) / kW, double(c.srcH) / kH);
  }
  pixman_transform t;
  pixman_transform_from_pixman_f_transform(&t, &ft);
  pixman_image_set_transform(src, &t);
  const bool down = c.filter && c.srcW > kW;
  if (down) {
    // A box the size of the reduction, the counterpart of the averaging window.
    int n = 0;
    const pixman_fixed_t sx = pixman_double_to_fixed(double(c.srcW) / kW);
    const pixman_fixed_t sy = pixman_double_to_fixed(double(c.srcH) / kH);
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
    pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dest, 0, 0, 0, 0, 0, 0, kW, kH);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(src);
  pixman_image_unref(dest);
  state.SetItemsProcessed(state.iterations() * kW * kH);
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
  for (const Case& c : kCases) {
    benchmark::RegisterBenchmark((std::string("RAS ") + c.name).c_str(),
                                 [&c](benchmark::State& s) { Ours(s, c); });
    benchmark::RegisterBenchmark((std::string("pixman ") + c.name).c_str(),
                                 [&c](benchmark::State& s) { Pixman(s, c); });
  }
  benchmark::RegisterBenchmark("RAS lines", Lines)->Arg(0)->Arg(1)->ArgName("aa");
  benchmark::RegisterBenchmark("RAS filled circles", FilledCircles)->Arg(0)->Arg(1)->ArgName("aa");
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\n%-24s %10s   (CPU time RAS / pixman at %dx%d; below 1 is faster)\n", "operation",
              "ratio", kW, kH);
  for (const Case& c : kCases) {
    const double ratio = reporter.Ratio(c.name);
    if (ratio < 0)
      std::printf("%-24s %10s\n", c.name, "-");
    else
      std::printf("%-24s %10.2f\n", c.name, ratio);
  }
  benchmark::Shutdown();
  return 0;
}
