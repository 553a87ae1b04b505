#include "platform/x11/X11Fonts.h"

#include <cstdio>

namespace {

XFontStruct* LoadUiFont(Display* display, int pixelSize) {
  if (pixelSize < 6) pixelSize = 6;
  static const char* const kPatterns[] = {
      "-*-helvetica-medium-r-normal--%d-*-*-*-*-*-iso8859-1",
      "-*-dejavu sans-medium-r-normal--%d-*-*-*-*-*-*-*",
      "-misc-fixed-medium-r-normal--%d-*-*-*-*-*-iso8859-1",
  };
  char name[128];
  for (const char* pattern : kPatterns) {
    std::snprintf(name, sizeof name, pattern, pixelSize);
    if (XFontStruct* font = XLoadQueryFont(display, name)) return font;
  }
  return XLoadQueryFont(display, "fixed");
}

}  // namespace

X11UiFont::X11UiFont(Display* display, int pixelSize)
    : mDisplay(display), mFont(LoadUiFont(display, pixelSize)) {}

X11UiFont::~X11UiFont() {
  // Also on a lost connection, whose requests Xlib drops: the client memory is freed.
  if (mFont) XFreeFont(mDisplay, mFont);
}

void X11UiFont::Use(GC gc) const {
  if (mFont) XSetFont(mDisplay, gc, mFont->fid);
}

int X11UiFont::Width(const char* text, int length) const {
  return mFont ? XTextWidth(mFont, text, length) : 6 * length;
}
