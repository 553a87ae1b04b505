#include "LV2HostWindow.h"

#include <X11/Xlib.h>

LV2HostWindow::LV2HostWindow(int w, int h) {
  Display* d = XOpenDisplay(nullptr);
  if (!d) return;
  mDisplay = d;
  mWindow = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, w, h, 0, 0, 0);
  XStoreName(d, mWindow, "LV2 host");
  XMapWindow(d, mWindow);
  XSync(d, False);
}

LV2HostWindow::~LV2HostWindow() {
  if (!mDisplay) return;
  Display* d = static_cast<Display*>(mDisplay);
  XDestroyWindow(d, mWindow);
  XCloseDisplay(d);
}

unsigned long LV2HostWindow::ParentOf(unsigned long window) const {
  if (!mDisplay) return 0;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned n = 0;
  if (!XQueryTree(static_cast<Display*>(mDisplay), window, &root, &parent, &children, &n)) return 0;
  if (children) XFree(children);
  return parent;
}
