#include "platform/x11/X11TopLevel.h"

#include <X11/Xutil.h>

#include "platform/x11/X11Connection.h"

Atom PresentManagedWindow(X11Connection* connection, Window window, const char* title,
                          const char* instanceName, int width, int height) {
  Display* d = connection->Get();
  XStoreName(d, window, title);
  XClassHint hint{const_cast<char*>(instanceName), const_cast<char*>("Orvanta")};
  XSetClassHint(d, window, &hint);
  FixManagedSize(d, window, width, height);
  Atom deleteWindow = connection->Intern("WM_DELETE_WINDOW");
  XSetWMProtocols(d, window, &deleteWindow, 1);
  return deleteWindow;
}

void FixManagedSize(Display* display, Window window, int width, int height) {
  XSizeHints size{};
  size.flags = PMinSize | PMaxSize;
  size.min_width = size.max_width = width;
  size.min_height = size.max_height = height;
  XSetWMNormalHints(display, window, &size);
}

Window CreatePopupWindow(X11Connection* connection, int x, int y, int width, int height,
                         long eventMask, const char* name, unsigned long background,
                         unsigned long border) {
  Display* d = connection->Get();
  XSetWindowAttributes a;
  a.override_redirect = True;
  a.background_pixel = background;
  a.border_pixel = border;
  a.event_mask = eventMask;
  Window window = XCreateWindow(d, connection->Root(), x, y, width, height, 1, CopyFromParent,
                                InputOutput, CopyFromParent,
                                CWOverrideRedirect | CWBackPixel | CWBorderPixel | CWEventMask, &a);
  XStoreName(d, window, name);
  XMapRaised(d, window);
  return window;
}
