#include "platform/x11/X11Fonts.h"

#include <algorithm>

X11UiFont::X11UiFont(Display* display, int pixelSize, const char* family) : mDisplay(display) {
  const double size = std::max(6, pixelSize);
  mXft = XftFontOpen(display, DefaultScreen(display), XFT_FAMILY, XftTypeString,
                     family && *family ? family : "sans-serif", XFT_PIXEL_SIZE, XftTypeDouble, size,
                     nullptr);
  if (!mXft) mCore = XLoadQueryFont(display, "fixed");
}

X11UiFont::~X11UiFont() {
  // Also on a lost connection, whose requests Xlib drops: the client memory is freed.
  if (mXft) XftFontClose(mDisplay, mXft);
  if (mCore) XFreeFont(mDisplay, mCore);
}

void X11UiFont::Draw(Drawable drawable, GC gc, int x, int y, const char* text, int length) const {
  if (length <= 0) return;
  if (!mXft) {
    if (!mCore) return;
    XSetFont(mDisplay, gc, mCore->fid);
    XDrawString(mDisplay, drawable, gc, x, y, text, length);
    return;
  }
  // The drawable's own visual and colours, so that text matches what the GC draws.
  XWindowAttributes a;
  XGCValues values;
  if (!XGetWindowAttributes(mDisplay, drawable, &a) ||
      !XGetGCValues(mDisplay, gc, GCForeground, &values)) {
    return;
  }
  XColor ink;
  ink.pixel = values.foreground;
  XQueryColor(mDisplay, a.colormap, &ink);
  XRenderColor render{ink.red, ink.green, ink.blue, 0xffff};
  XftColor color;
  if (!XftColorAllocValue(mDisplay, a.visual, a.colormap, &render, &color)) return;
  if (XftDraw* draw = XftDrawCreate(mDisplay, drawable, a.visual, a.colormap)) {
    XftDrawStringUtf8(draw, &color, mXft, x, y, (const FcChar8*)text, length);
    XftDrawDestroy(draw);
  }
  XftColorFree(mDisplay, a.visual, a.colormap, &color);
}

int X11UiFont::Width(const char* text, int length) const {
  if (length <= 0) return 0;
  if (mXft) {
    XGlyphInfo extents;
    XftTextExtentsUtf8(mDisplay, mXft, (const FcChar8*)text, length, &extents);
    return extents.xOff;
  }
  return mCore ? XTextWidth(mCore, text, length) : 6 * length;
}

int X11UiFont::Ascent() const { return mXft ? mXft->ascent : mCore ? mCore->ascent : 10; }
int X11UiFont::Descent() const { return mXft ? mXft->descent : mCore ? mCore->descent : 2; }
