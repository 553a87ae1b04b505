// Frames per second of the effect's own editor: a full redraw and the redraw after one
// fader move (parameter, readout and handle), each with the copy to its X window. Without a
// display the copy is skipped and only the drawing into the bitmap is measured.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

#include "effect/Orvanta.h"
#include "tools/editor-snapshot/EditorSnapshot.h"

namespace {

struct Editor {
  std::unique_ptr<OrvantaWrapper> plug;
  OrvantaGraphics* graphics = nullptr;
  bool window = false;

  explicit Editor(bool openWindow) {
    editor_snapshot::UseBundle(ORVANTA_BUNDLE);
    plug.reset(MakePlug());
    plug->OnParamReset();
    graphics = static_cast<OrvantaGraphics*>(plug->GetGUI());
    // A server whose last client just left resets for a moment: try a few times.
    for (int attempt = 0; openWindow && std::getenv("DISPLAY") && attempt < 20; ++attempt) {
      if (graphics->OpenWindow(nullptr)) {
        graphics->RunEventLoop(200);
        window = graphics->WindowIsOpen();
        break;
      }
      usleep(50000);
    }
  }
  void Redraw() {
    IRECT dirty;
    if (graphics->IsDirty(&dirty)) graphics->Draw(&dirty);
  }
};

void Run(benchmark::State& state, bool openWindow, bool faderMove) {
  Editor e(openWindow);
  if (openWindow && !e.window) {
    state.SkipWithError("no display");
    return;
  }
  IMouseMod mod;
  mod.L = true;
  int step = 0;
  for (auto _ : state) {
    if (faderMove) {
      // Alternate between two handle positions so every click changes the value.
      int y = (step++ & 1) ? 180 : 300;
      e.graphics->OnMouseDown(58, y, &mod);
      e.graphics->OnMouseUp(58, y, &mod);
    } else {
      e.graphics->SetAllControlsDirty();
    }
    e.Redraw();
  }
  state.counters["fps"] =
      benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
}

void BM_FullRedrawHeadless(benchmark::State& s) { Run(s, false, false); }
void BM_FaderMoveHeadless(benchmark::State& s) { Run(s, false, true); }
void BM_FullRedrawWithScreenCopy(benchmark::State& s) { Run(s, true, false); }
void BM_FaderMoveWithScreenCopy(benchmark::State& s) { Run(s, true, true); }

BENCHMARK(BM_FullRedrawHeadless)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FaderMoveHeadless)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FullRedrawWithScreenCopy)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FaderMoveWithScreenCopy)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
