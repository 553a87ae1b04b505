#pragma once
// Our own windows on the root, as a window manager sees them. Managed ones (the editor
// without a host parent, dialogs) carry a title, the class "Orvanta", a fixed size and a
// close button; popups (menus, tooltips) bypass the window manager and go where we put them.

#include <X11/Xlib.h>

class X11Connection;

// Sets the title, the class with this instance name, the fixed size and the close
// protocol. Returns the WM_DELETE_WINDOW atom that the close button sends.
Atom PresentManagedWindow(X11Connection* connection, Window window, const char* title,
                          const char* instanceName, int width, int height);

// Asks the window manager to keep the window at this size, after a resize too.
void FixManagedSize(Display* display, Window window, int width, int height);

// Creates an override-redirect window with a one-pixel border at (x, y) on the root,
// names it, and maps it above the others.
Window CreatePopupWindow(X11Connection* connection, int x, int y, int width, int height,
                         long eventMask, const char* name, unsigned long background,
                         unsigned long border);
