#include "platform/x11/X11Fonts.h"

#include <cstdio>

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
