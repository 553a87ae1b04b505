#pragma once
// What a key press types, as UTF-8: through the display's input method when one opens (so
// that composed and non-Latin input arrives whole), otherwise from the key's symbol.

#include <X11/Xlib.h>

#include <string>

// The UTF-8 text of a key symbol (Latin-1 symbols and Unicode symbols 0x01000000 + code);
// empty for keys that type nothing (controls, function keys).
std::string KeySymUtf8(unsigned long keysym);

class X11Typing {
 public:
  X11Typing(Display* display, Window window);
  ~X11Typing();
  X11Typing(const X11Typing&) = delete;
  X11Typing& operator=(const X11Typing&) = delete;

  // The key's symbol into *key and the text it types; control characters are not text.
  std::string Read(XKeyEvent* event, KeySym* key);

 private:
  XIM mIM = nullptr;
  XIC mIC = nullptr;
};
