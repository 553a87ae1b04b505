#pragma once
// One connection to the X server for one editor window. Errors on it never end the
// process: protocol errors are recorded (so that a bad parent window id or a window the
// host destroyed becomes a failed call), and a lost server marks the connection dead
// instead of calling exit(), which Xlib does by default.

#include <X11/Xlib.h>

class X11Connection {
 public:
  // Null when no display can be opened.
  static X11Connection* Open(const char* displayName = nullptr);
  ~X11Connection();
  X11Connection(const X11Connection&) = delete;
  X11Connection& operator=(const X11Connection&) = delete;

  Display* Get() const { return mDisplay; }
  int Screen() const { return DefaultScreen(mDisplay); }
  Window Root() const { return RootWindow(mDisplay, Screen()); }

  // The server went away; nothing more can be done with this connection.
  bool IsLost() const { return mLost; }

  // Starts recording protocol errors; Succeeded() syncs with the server and reports
  // whether any request since BeginTrap failed.
  void BeginTrap();
  bool Succeeded();
  int LastErrorCode() const { return mLastError; }

  Atom Intern(const char* name);
  // The default colormap's pixel for 0xRRGGBB; black when the colormap has no room.
  unsigned long Pixel(unsigned rgb);
  // Gives window the keyboard focus; false when the server refuses (a window that is not
  // viewable yet, or gone).
  bool Focus(Window window, Time time = CurrentTime);

  // Waits for the next event of any window on this connection, for the modal loops of
  // menus and dialogs; false once the server is gone.
  bool NextEvent(XEvent* event);

 private:
  explicit X11Connection(Display* display);
  static int OnError(Display* display, XErrorEvent* error);
  static int OnIOError(Display* display);
  static void OnIOErrorExit(Display* display, void* self);
  static X11Connection* Find(Display* display);

  Display* mDisplay;
  bool mLost = false;
  int mLastError = 0;
  X11Connection* mNext = nullptr;  // registry of open connections
};
