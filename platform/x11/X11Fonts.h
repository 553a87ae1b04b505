#pragma once
// The font of the entry, menus, tooltips and dialogs: UTF-8 text drawn with Xft over
// fontconfig, in the family asked for (or the sans face fontconfig picks) at a pixel size.
// Should Xft find no font at all, the server's core "fixed" font draws what it can, and
// without even that text is measured as "fixed" would be, so that layouts keep their shape.

#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>

class X11UiFont {
 public:
  // family: a fontconfig family name; null or empty for the default sans face.
  X11UiFont(Display* display, int pixelSize, const char* family = nullptr);
  ~X11UiFont();
  X11UiFont(const X11UiFont&) = delete;
  X11UiFont& operator=(const X11UiFont&) = delete;

  // Draws length bytes of UTF-8 text with its baseline at y, in gc's foreground colour.
  void Draw(Drawable drawable, GC gc, int x, int y, const char* text, int length) const;
  int Width(const char* text, int length) const;
  int Ascent() const;
  int Descent() const;

 private:
  Display* mDisplay;
  XftFont* mXft = nullptr;
  XFontStruct* mCore = nullptr;
};
