#pragma once
// A popup menu shown in its own override-redirect windows: item titles with the menu's
// number prefix, indentation, check marks, separators, disabled items and submenus
// opening to the side. Modal: returns once an item is chosen or the menu is dismissed
// (Escape, or a click outside).

#include <X11/Xlib.h>

#include <functional>

class IPopupMenu;
class X11Connection;

// Shows menu with its top-left at (rootX, rootY). Returns the menu chosen from (the menu
// or one of its submenus, with its chosen index set), or null when nothing was chosen.
// Events for other windows of the connection go to `others` meanwhile.
IPopupMenu* RunPopupMenu(X11Connection* connection, IPopupMenu* menu, int rootX, int rootY,
                         const std::function<void(XEvent&)>& others);
