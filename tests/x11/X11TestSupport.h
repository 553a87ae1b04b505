#pragma once
// Shared helpers of the window tests: a display check, xdotool, reading a window's pixels
// back from the server, a server of a test's own, and a control that records what the
// engine hands it.

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "graphics/IControl.h"
#include "graphics/IGraphics.h"
#include "graphics/IMouseMod.h"

namespace x11test {

// A display is set and answers.
bool HaveDisplay();
bool HaveProgram(const char* name);
// Runs xdotool with the arguments; true when it succeeded.
bool Xdo(const std::string& args);

// xdotool's pointer over one window. After each step the code under test gets time to take
// the events in: settle(milliseconds) runs its event loop for that long.
class Pointer {
 public:
  Pointer(std::function<unsigned long()> window, std::function<void(int)> settle)
      : mWindow(std::move(window)), mSettle(std::move(settle)) {}
  // Each is false when xdotool failed.
  bool Do(const std::string& args);
  bool MoveTo(int x, int y);
  // Presses at the start, moves there in five steps to the end and releases.
  bool Drag(int x0, int y0, int x1, int y1);

 private:
  std::function<unsigned long()> mWindow;
  std::function<void(int)> mSettle;
};
// Waits (up to about five seconds) until the window with the keyboard focus has this
// name; keys sent before then would go elsewhere.
bool WaitForFocus(const std::string& windowName);
// The window's pixels as 0xRRGGBB, read from the server with a connection of our own.
std::vector<uint32_t> ReadWindow(unsigned long window, int w, int h);

// An Xvfb of a test's own, for tests in which the server goes away. Started on a free
// display number; Stop (or the destructor) ends it.
class PrivateServer {
 public:
  PrivateServer();
  ~PrivateServer() { Stop(); }
  PrivateServer(const PrivateServer&) = delete;
  PrivateServer& operator=(const PrivateServer&) = delete;

  // The server answers connections.
  bool IsUp() const { return mUp; }
  // Its display name, ":N".
  const std::string& Name() const { return mName; }
  void Stop();

 private:
  std::string mName;
  pid_t mPid = -1;
  bool mUp = false;
};

struct Event {
  std::string kind;
  int x = 0, y = 0, d = 0;
  IMouseMod mod;
};

// Fills its rectangle with one colour and records every event it receives.
class RecordingControl : public IControl {
 public:
  RecordingControl(IRECT r, IColor color, int paramIdx = -1)
      : IControl(nullptr, r, paramIdx), mColor(color) {}

  bool Draw(IGraphics* g) override {
    ++mDraws;
    return g->FillIRect(&mColor, &mRECT);
  }
  void OnMouseDown(int x, int y, IMouseMod* m) override {
    Add("down", x, y, 0, m);
    if (mOnDown) mOnDown();
  }
  void OnMouseUp(int x, int y, IMouseMod* m) override { Add("up", x, y, 0, m); }
  void OnMouseDrag(int x, int y, int, int, IMouseMod* m) override { Add("drag", x, y, 0, m); }
  void OnMouseDblClick(int x, int y, IMouseMod* m) override { Add("double", x, y, 0, m); }
  void OnMouseWheel(int x, int y, IMouseMod* m, int d) override { Add("wheel", x, y, d, m); }
  void OnMouseOut() override { Add("out", 0, 0, 0, nullptr); }
  bool OnKeyDown(int x, int y, int key) override {
    Add("key", x, y, key, nullptr);
    return true;
  }
  void TextFromTextEntry(const char* txt) override { mEntered = txt; }

  std::function<void()> mOnDown;
  std::vector<Event> mEvents;
  std::string mEntered = "(none)";
  int mDraws = 0;
  IColor mColor;

 private:
  void Add(const char* kind, int x, int y, int d, IMouseMod* m) {
    Event e;
    e.kind = kind;
    e.x = x;
    e.y = y;
    e.d = d;
    if (m) e.mod = *m;
    mEvents.push_back(e);
  }
};

}  // namespace x11test
