#pragma once
// A plug-in and a control that write what happens to them into one shared log, so tests can
// check the order in which the engine calls the host and the controls.

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "graphics/Graphics.h"
#include "tests/support/HeadlessGraphics.h"

using EventLog = std::vector<std::string>;

inline std::string Fmt(const char* format, ...) __attribute__((format(printf, 1, 2)));
inline std::string Fmt(const char* format, ...) {
  char buf[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buf, sizeof(buf), format, args);
  va_end(args);
  return buf;
}

// Parameters: 0 "Gain" double -94..6 dB, 1 "Mode" enum of three texts, 2 "Bypass" bool,
// 3 "Steps" int 0..10, 4 "Level" double 0..1; the rest stay default.
class EditorTestPlug : public HeadlessPlug {
 public:
  enum { kGain = 0, kMode, kBypass, kSteps, kLevel, kNumParams = 6 };

  explicit EditorTestPlug(EventLog* pLog = nullptr) : HeadlessPlug(kNumParams), mLog(pLog) {
    GetParam(kGain)->InitDouble("Gain", 0.0, -94.0, 6.0, 0.01, "dB");
    GetParam(kMode)->InitEnum("Mode", 1, 3);
    GetParam(kMode)->SetDisplayText(0, "One");
    GetParam(kMode)->SetDisplayText(1, "Two");
    GetParam(kMode)->SetDisplayText(2, "Three");
    GetParam(kBypass)->InitBool("Bypass", false);
    GetParam(kSteps)->InitInt("Steps", 5, 0, 10);
    GetParam(kLevel)->InitDouble("Level", 0.0, 0.0, 1.0, 0.001);
  }

  void BeginInformHostOfParamChange(int idx) override { Log(Fmt("begin %d", idx)); }
  void EndInformHostOfParamChange(int idx) override { Log(Fmt("end %d", idx)); }
  void SetParameterFromGUI(int idx, double value) override {
    Log(Fmt("gui %d %.4f", idx, value));
    HeadlessPlug::SetParameterFromGUI(idx, value);
  }
  void ResizeGraphics(int w, int h) override { Log(Fmt("resize %d %d", w, h)); }

  void Log(const std::string& s) {
    if (mLog) mLog->push_back(s);
  }

  EventLog* mLog;
};

// A control that logs every event and drawing pass under its name.
class ProbeControl : public IControl {
 public:
  ProbeControl(IPluginBase* pPlug, EventLog* pLog, const char* name, IRECT r, int paramIdx = -1)
      : IControl(pPlug, r, paramIdx), mLog(pLog), mName(name) {}
  ~ProbeControl() override { Log("deleted"); }

  void OnMouseDown(int x, int y, IMouseMod* pMod) override {
    Log(Fmt("down %d %d", x, y));
    IControl::OnMouseDown(x, y, pMod);
  }
  void OnMouseUp(int x, int y, IMouseMod*) override { Log(Fmt("up %d %d", x, y)); }
  void OnMouseDrag(int, int, int dX, int dY, IMouseMod*) override {
    Log(Fmt("drag %d %d", dX, dY));
  }
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override {
    Log(Fmt("dbl %d %d", x, y));
    IControl::OnMouseDblClick(x, y, pMod);
  }
  void OnMouseWheel(int, int, IMouseMod*, int d) override { Log(Fmt("wheel %d", d)); }
  bool OnKeyDown(int, int, int key) override {
    Log(Fmt("key %d", key));
    return mTakesKeys;
  }
  void OnMouseOver(int, int, IMouseMod*) override { Log("over"); }
  void OnMouseOut() override { Log("out"); }
  bool Draw(IGraphics*) override {
    Log("draw");
    return true;
  }

  // Widened access for tests.
  using IControl::mBlend;
  using IControl::mDirty;
  using IControl::mRedraw;
  using IControl::mValue;

  bool mTakesKeys = true;

 private:
  void Log(const std::string& s) {
    if (mLog) mLog->push_back(mName + " " + s);
  }
  EventLog* mLog;
  std::string mName;
};

// Draws every control once and cleans them, so tests start from a quiet editor.
inline void DrawAll(IGraphics* pGraphics) {
  IRECT all(0, 0, pGraphics->Width(), pGraphics->Height());
  pGraphics->Draw(&all);
}
