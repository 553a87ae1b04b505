// Redraw cost of an editor-sized surface: a full strict redraw over a background image with a
// knob, two faders and three bitmap-font readouts, and the redraw of a single dirty knob.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "graphics/Graphics.h"
#include "tests/support/HeadlessGraphics.h"
#include "tools/graphics-sheet/GraphicsSheet.h"

namespace {

constexpr int kW = 274, kH = 438;

// Writes the editor's images into a scratch folder; returns it, or "" on failure.
std::string WriteArt() {
  std::string folder = (std::filesystem::temp_directory_path() /
                        ("orvanta_graphics_bench_" + std::to_string(getpid())))
                           .string();
  std::filesystem::create_directories(folder);
  RAS_MemBitmap bg(kW, kH, 4);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) bg.getBits()[y * bg.getRowSpan() + x] = RAS_RGBA(x, y, 90, 255);
  RAS_MemBitmap knob(48, 4800, 4);
  RAS_Clear(&knob, RAS_RGBA(200, 200, 200, 180));
  RAS_MemBitmap handle(30, 20, 4);
  RAS_Clear(&handle, RAS_RGBA(220, 220, 220, 255));
  RAS_MemBitmap font(570, 12, 4);
  sheets::DrawBlockFont(&font);
  bool ok = WritePng(&bg, (folder + "/bg.png").c_str()) &&
            WritePng(&knob, (folder + "/knob.png").c_str()) &&
            WritePng(&handle, (folder + "/handle.png").c_str()) &&
            WritePng(&font, (folder + "/font.png").c_str());
  return ok ? folder : "";
}

struct Editor {
  HeadlessPlug plug{3};
  HeadlessGraphics* g = nullptr;
  IControl* knob = nullptr;

  explicit Editor(const std::string& folder) {
    for (int i = 0; i < 3; ++i)
      plug.GetParam(i)->InitDouble("Gain", 0.0, -94.0, 6.0, 0.01, "dB", "", 0.2);
    g = new HeadlessGraphics(&plug, kW, kH, folder.c_str());
    g->AttachBackground(500, "bg.png");
    IBitmap knobImg = g->LoadIBitmap(501, "knob.png", 100);
    IBitmap handle = g->LoadIBitmap(502, "handle.png");
    IBitmap font = g->LoadIBitmap(503, "font.png", 95, true);
    knob = new IKnobMultiControl(&plug, 113, 60, 0, &knobImg);
    g->AttachControl(knob);
    g->AttachControl(new IFaderControl(&plug, 60, 160, 200, 1, &handle));
    g->AttachControl(new IFaderControl(&plug, 184, 160, 200, 2, &handle));
    IText centre;
    for (int i = 0; i < 3; ++i)
      g->AttachControl(new IBitmapTextControl(&plug, IRECT(20 + 80 * i, 390, 96 + 80 * i, 402),
                                              &font, "-12.3 dB", &centre));
    plug.AttachGraphics(g);
  }
};

void BM_FullStrictRedraw(benchmark::State& state) {
  std::string folder = WriteArt();
  if (folder.empty()) {
    state.SkipWithError("could not write the images");
    return;
  }
  Editor editor(folder);
  std::filesystem::remove_all(folder);  // the images are cached by now
  for (auto _ : state) {
    editor.g->SetAllControlsDirty();
    IRECT r;
    editor.g->IsDirty(&r);
    editor.g->Draw(&r);
  }
  state.counters["px"] = kW * kH;
}
BENCHMARK(BM_FullStrictRedraw)->Unit(benchmark::kMicrosecond);

void BM_SingleKnobRedraw(benchmark::State& state) {
  std::string folder = WriteArt();
  if (folder.empty()) {
    state.SkipWithError("could not write the images");
    return;
  }
  Editor editor(folder);
  std::filesystem::remove_all(folder);
  editor.g->SetStrictDrawing(state.range(0) != 0);
  double v = 0.0;
  for (auto _ : state) {
    v = v >= 1.0 ? 0.0 : v + 0.01;
    editor.knob->SetValueFromPlug(v);
    IRECT r;
    editor.g->IsDirty(&r);
    editor.g->Draw(&r);
  }
}
BENCHMARK(BM_SingleKnobRedraw)->Arg(1)->Arg(0)->ArgName("strict")->Unit(benchmark::kMicrosecond);

}  // namespace
