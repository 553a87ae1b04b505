// Frames per second of the editor in its X window: a full redraw (with each copy method,
// the median of several runs) and the redraw after one fader move, each including the copy
// to the window. A frame counts once the server has finished copying it, so no frame's copy
// overlaps the next frame's drawing; the full redraw is also measured with frames following
// each other as fast as the window takes them (every copy still completes before its memory
// is written again). Without a display the window benchmarks are skipped and the headless
// redraw is measured alone.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "graphics/IBitmapTextControl.h"
#include "graphics/IFaderControl.h"
#include "graphics/IKnobControl.h"
#include "platform/x11/IGraphicsLinux.h"

namespace {

// The effect's editor, built from the committed pictures with no plug-in behind it.
struct Editor {
  IGraphicsLinux g{nullptr, 274, 438};
  IFaderControl* mono = nullptr;
  Editor() {
    g.SetResourceFolder(ORVANTA_SOURCE_DIR "/resources/img");
    g.AttachBackground(102, "resources/img/orvantaBack.png");
    IBitmap knob = g.LoadIBitmap(101, "resources/img/knob.png", 100);
    g.AttachControl(new IKnobMultiControl(nullptr, 113, 333, 0, &knob, Vertical, 4.0));
    IBitmap cap = g.LoadIBitmap(104, "resources/img/SliderCap.png", 1);
    mono = new IFaderControl(nullptr, 48, 106, 287, 1, &cap, Vertical, false);
    g.AttachControl(mono);
    g.AttachControl(new IFaderControl(nullptr, 197, 106, 287, 2, &cap, Vertical, false));
    IBitmap font = g.LoadIBitmap(103, "resources/img/font-white.png", 95, true);
    IText readout(12);
    g.AttachControl(
        new IBitmapTextControl(nullptr, IRECT(103, 315, 171, 330), &font, "-2.5", &readout));
    g.AttachControl(
        new IBitmapTextControl(nullptr, IRECT(21, 95, 103, 110), &font, "0.00", &readout));
    g.AttachControl(
        new IBitmapTextControl(nullptr, IRECT(171, 95, 249, 110), &font, "-#$", &readout));
    IText version(12, nullptr, nullptr, IText::kStyleNormal, IText::kAlignFar);
    g.AttachControl(
        new IBitmapTextControl(nullptr, IRECT(200, 422, 268, 435), &font, "v2.0.1", &version));
    g.PrepDraw();
  }
  // The screen copy goes through shared memory where the server offers it, unless the
  // environment turns that off.
  bool OpenWindow(bool sharedMemory = true) {
    if (sharedMemory)
      unsetenv("ORVANTA_X11_NO_SHM");
    else
      setenv("ORVANTA_X11_NO_SHM", "1", 1);
    if (!std::getenv("DISPLAY") || !g.OpenWindow(nullptr)) return false;
    g.RunEventLoop(200);
    return g.WindowIsOpen();
  }
  void FullRedraw() {
    g.SetAllControlsDirty();
    IRECT dirty;
    g.IsDirty(&dirty);
    g.Draw(&dirty);
  }
  void FaderMove(double value) {
    mono->SetValueFromPlug(value);
    IRECT dirty;
    if (g.IsDirty(&dirty)) g.Draw(&dirty);
  }
};

void BM_FullRedrawHeadless(benchmark::State& state) {
  Editor e;
  for (auto _ : state) e.FullRedraw();
  state.counters["fps"] =
      benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FullRedrawHeadless)->UseRealTime();

void BM_FullRedrawWithScreenCopy(benchmark::State& state) {
  Editor e;
  const bool sharedMemory = state.range(0) != 0, overlap = state.range(1) != 0;
  state.SetLabel(std::string(sharedMemory ? "shared memory" : "XPutImage") +
                 (overlap ? ", frames overlap" : ""));
  if (!e.OpenWindow(sharedMemory)) {
    state.SkipWithError("no X display");
    return;
  }
  if (sharedMemory && !e.g.CopiesThroughSharedMemory()) {
    state.SkipWithError("the display offers no shared memory");
    return;
  }
  for (auto _ : state) {
    e.FullRedraw();
    e.g.ProcessEvents();  // sends the copy to the server
    if (!overlap) e.g.WaitForScreenCopies();
  }
  e.g.WaitForScreenCopies();  // the last frame of a run with overlap, not timed
  state.counters["fps"] =
      benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FullRedrawWithScreenCopy)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({1, 1})
    ->ArgNames({"shm", "overlap"})
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_FaderMoveWithScreenCopy(benchmark::State& state) {
  Editor e;
  if (!e.OpenWindow()) {
    state.SkipWithError("no X display");
    return;
  }
  double value = 0.0;
  for (auto _ : state) {
    value = value > 0.9 ? 0.0 : value + 0.05;
    e.FaderMove(value);
    e.g.ProcessEvents();
    e.g.WaitForScreenCopies();
  }
  state.counters["fps"] =
      benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FaderMoveWithScreenCopy)->UseRealTime();

}  // namespace
