#include "platform/x11/X11Connection.h"

#include <poll.h>

#include <mutex>

namespace {

// Xlib's error handlers are process-wide; ours handle our connections and pass every
// other display to whatever handler was installed before (the host's, or Xlib's).
std::mutex gRegistryLock;
X11Connection* gConnections = nullptr;
XErrorHandler gPreviousError = nullptr;
XIOErrorHandler gPreviousIOError = nullptr;
bool gHandlersInstalled = false;

}  // namespace

X11Connection* X11Connection::Open(const char* displayName) {
  Display* display = XOpenDisplay(displayName);
  if (!display) return nullptr;
  return new X11Connection(display);
}

X11Connection::X11Connection(Display* display) : mDisplay(display) {
  std::lock_guard<std::mutex> lock(gRegistryLock);
  if (!gHandlersInstalled) {
    gPreviousError = XSetErrorHandler(OnError);
    gPreviousIOError = XSetIOErrorHandler(OnIOError);
    gHandlersInstalled = true;
  }
  XSetIOErrorExitHandler(mDisplay, OnIOErrorExit, this);
  mNext = gConnections;
  gConnections = this;
}

X11Connection::~X11Connection() {
  // Closed while still registered: closing a lost connection reports the loss again.
  XCloseDisplay(mDisplay);
  {
    std::lock_guard<std::mutex> lock(gRegistryLock);
    for (X11Connection** p = &gConnections; *p; p = &(*p)->mNext) {
      if (*p == this) {
        *p = mNext;
        break;
      }
    }
    // The plug-in may be unloaded after its last window: Xlib must not keep calling
    // into it. A handler installed over ours since then stays where it is.
    if (!gConnections && gHandlersInstalled) {
      XErrorHandler current = XSetErrorHandler(gPreviousError);
      if (current != OnError) XSetErrorHandler(current);
      XIOErrorHandler currentIO = XSetIOErrorHandler(gPreviousIOError);
      if (currentIO != OnIOError) XSetIOErrorHandler(currentIO);
      gHandlersInstalled = false;
    }
  }
}

X11Connection* X11Connection::Find(Display* display) {
  std::lock_guard<std::mutex> lock(gRegistryLock);
  for (X11Connection* c = gConnections; c; c = c->mNext) {
    if (c->mDisplay == display) return c;
  }
  return nullptr;
}

int X11Connection::OnError(Display* display, XErrorEvent* error) {
  if (X11Connection* c = Find(display)) {
    c->mLastError = error->error_code;
    return 0;
  }
  return gPreviousError ? gPreviousError(display, error) : 0;
}

int X11Connection::OnIOError(Display* display) {
  if (Find(display)) return 0;  // the exit handler marks the connection
  return gPreviousIOError ? gPreviousIOError(display) : 0;
}

void X11Connection::OnIOErrorExit(Display*, void* self) {
  static_cast<X11Connection*>(self)->mLost = true;
}

void X11Connection::BeginTrap() {
  if (!mLost) XSync(mDisplay, False);
  mLastError = 0;
}

bool X11Connection::Succeeded() {
  if (mLost) return false;
  XSync(mDisplay, False);
  return !mLost && mLastError == 0;
}

Atom X11Connection::Intern(const char* name) {
  return mLost ? None : XInternAtom(mDisplay, name, False);
}

unsigned long X11Connection::Pixel(unsigned rgb) {
  XColor c;
  c.red = (unsigned short)(((rgb >> 16) & 255) * 257);
  c.green = (unsigned short)(((rgb >> 8) & 255) * 257);
  c.blue = (unsigned short)((rgb & 255) * 257);
  c.flags = DoRed | DoGreen | DoBlue;
  if (mLost || !XAllocColor(mDisplay, DefaultColormap(mDisplay, Screen()), &c)) {
    return BlackPixel(mDisplay, Screen());
  }
  return c.pixel;
}

bool X11Connection::Focus(Window window, Time time) {
  BeginTrap();
  XSetInputFocus(mDisplay, window, RevertToParent, time);
  return Succeeded();
}

bool X11Connection::NextEvent(XEvent* event) {
  while (!mLost) {
    if (XPending(mDisplay)) {
      XNextEvent(mDisplay, event);
      return true;
    }
    pollfd p{ConnectionNumber(mDisplay), POLLIN, 0};
    poll(&p, 1, 50);
    // Keep Xlib reading: a dead server is noticed here.
    if (!XPending(mDisplay)) XSync(mDisplay, False);
  }
  return false;
}
