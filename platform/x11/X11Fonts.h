#pragma once
// The core X font used by the entry, menus and dialogs: a sans face near the pixel size
// asked for, or the server's "fixed" font, which every server has.

#include <X11/Xlib.h>

XFontStruct* LoadUiFont(Display* display, int pixelSize);
