#include "platform/x11/X11Typing.h"

#include <X11/Xutil.h>

namespace {

std::string Utf8(unsigned long code) {
  std::string out;
  if (code < 0x80) {
    out += (char)code;
  } else if (code < 0x800) {
    out += (char)(0xC0 | code >> 6);
    out += (char)(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += (char)(0xE0 | code >> 12);
    out += (char)(0x80 | (code >> 6 & 0x3F));
    out += (char)(0x80 | (code & 0x3F));
  } else {
    out += (char)(0xF0 | code >> 18);
    out += (char)(0x80 | (code >> 12 & 0x3F));
    out += (char)(0x80 | (code >> 6 & 0x3F));
    out += (char)(0x80 | (code & 0x3F));
  }
  return out;
}

// Control characters and DEL type nothing.
bool IsText(unsigned long code) {
  return code >= 0x20 && code != 0x7F && !(code >= 0x80 && code < 0xA0);
}

}  // namespace

std::string KeySymUtf8(unsigned long keysym) {
  unsigned long code = 0;
  if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF)) {
    code = keysym;
  } else if ((keysym & 0xFF000000UL) == 0x01000000UL) {
    code = keysym & 0x00FFFFFFUL;
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {};
  }
  return code && IsText(code) ? Utf8(code) : std::string();
}

X11Typing::X11Typing(Display* display, Window window) {
  mIM = XOpenIM(display, nullptr, nullptr, nullptr);
  if (!mIM) return;
  mIC = XCreateIC(mIM, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, window,
                  XNFocusWindow, window, nullptr);
  if (mIC) XSetICFocus(mIC);
}

X11Typing::~X11Typing() {
  if (mIC) XDestroyIC(mIC);
  if (mIM) XCloseIM(mIM);
}

std::string X11Typing::Read(XKeyEvent* event, KeySym* key) {
  *key = NoSymbol;
  // Keys that an input method composes are its own until it hands out the result.
  if (mIC && XFilterEvent(reinterpret_cast<XEvent*>(event), None)) return {};
  if (mIC) {
    char text[64];
    Status status = 0;
    const int n = Xutf8LookupString(mIC, event, text, sizeof text, key, &status);
    if (status == XLookupBoth || status == XLookupChars) {
      std::string typed(text, n > 0 ? (size_t)n : 0);
      return !typed.empty() && IsText((unsigned char)typed[0]) ? typed : std::string();
    }
    if (status == XLookupKeySym) return KeySymUtf8(*key);
    if (status != XBufferOverflow) return {};
  }
  char ignored[8];
  XLookupString(event, ignored, sizeof ignored, key, nullptr);
  return KeySymUtf8(*key);
}
