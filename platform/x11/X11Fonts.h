#pragma once
// The core X font used by the entry, menus and dialogs: a sans face near the pixel size
// asked for, or the server's "fixed" font, which every server has. Should even that be
// missing, text is measured as "fixed" would be, so that layouts keep their shape.

#include <X11/Xlib.h>

class X11UiFont {
 public:
  X11UiFont(Display* display, int pixelSize);
  ~X11UiFont();
  X11UiFont(const X11UiFont&) = delete;
  X11UiFont& operator=(const X11UiFont&) = delete;

  // Draws gc's text in this font.
  void Use(GC gc) const;
  int Width(const char* text, int length) const;
  int Ascent() const { return mFont ? mFont->ascent : 10; }
  int Descent() const { return mFont ? mFont->descent : 2; }

 private:
  Display* mDisplay;
  XFontStruct* mFont;
};
