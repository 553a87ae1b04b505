#include "X11TestSupport.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace x11test {

bool HaveDisplay() {
  // One connection stays open for the whole run: a server whose last client leaves
  // resets, and refuses connections while it does.
  static Display* keepAlive = nullptr;
  const char* d = std::getenv("DISPLAY");
  if (!d || !*d) return false;
  if (keepAlive && XDisplayString(keepAlive) == std::string(d)) return true;
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (Display* display = XOpenDisplay(nullptr)) {
      if (!keepAlive) {
        keepAlive = display;
      } else {
        XCloseDisplay(display);
      }
      return true;
    }
    usleep(50000);
  }
  return false;
}

bool HaveProgram(const char* name) {
  std::string cmd = std::string("command -v ") + name + " >/dev/null 2>&1";
  return std::system(cmd.c_str()) == 0;
}

bool Xdo(const std::string& args) {
  std::string cmd = "xdotool " + args + " >/dev/null 2>&1";
  return std::system(cmd.c_str()) == 0;
}

bool Pointer::Do(const std::string& args) {
  const bool ok = Xdo(args);
  mSettle(60);
  return ok;
}

bool Pointer::MoveTo(int x, int y) {
  return Do("mousemove --window " + std::to_string(mWindow()) + " " + std::to_string(x) + " " +
            std::to_string(y));
}

bool Pointer::Drag(int x0, int y0, int x1, int y1) {
  bool ok = MoveTo(x0, y0) && Do("mousedown 1");
  const int steps = 5;
  for (int i = 1; ok && i <= steps; ++i)
    ok = MoveTo(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
  // Released even after a failed step, so that no button stays down for the next test.
  ok = Do("mouseup 1") && ok;
  mSettle(100);
  return ok;
}

bool WaitForFocus(const std::string& windowName) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (FILE* p = popen("xdotool getwindowfocus getwindowname 2>/dev/null", "r")) {
      char line[256] = {};
      bool got = std::fgets(line, sizeof line, p) != nullptr;
      pclose(p);
      std::string name = got ? line : "";
      while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
      if (name == windowName) return true;
    }
    usleep(50000);
  }
  return false;
}

std::vector<uint32_t> ReadWindow(unsigned long window, int w, int h) {
  std::vector<uint32_t> pixels;
  Display* d = XOpenDisplay(nullptr);
  if (!d) return pixels;
  XImage* image = XGetImage(d, window, 0, 0, w, h, AllPlanes, ZPixmap);
  if (image) {
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) pixels.push_back((uint32_t)XGetPixel(image, x, y) & 0xffffff);
    }
    XDestroyImage(image);
  }
  XCloseDisplay(d);
  return pixels;
}

PrivateServer::PrivateServer() {
  // Display numbers away from the ones the test runner picks for the suite's own server.
  for (int number = 150 + getpid() % 50; number < 250 && !mUp; number += 50) {
    mName = ":" + std::to_string(number);
    std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
    if (access(lock.c_str(), F_OK) == 0) continue;
    mPid = fork();
    if (mPid == 0) {
      execlp("Xvfb", "Xvfb", mName.c_str(), "-nolisten", "tcp", "-noreset", (char*)nullptr);
      _exit(127);
    }
    for (int attempt = 0; attempt < 50 && !mUp; ++attempt) {
      usleep(100000);
      if (Display* d = XOpenDisplay(mName.c_str())) {
        XCloseDisplay(d);
        mUp = true;
      }
    }
    if (!mUp) Stop();
  }
}

void PrivateServer::Stop() {
  if (mPid <= 0) return;
  kill(mPid, SIGTERM);
  waitpid(mPid, nullptr, 0);
  mPid = -1;
  mUp = false;
}

}  // namespace x11test
