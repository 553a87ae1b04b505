#include "platform/gdi/GDI_Text.h"

#include <algorithm>
#include <cmath>

#include "platform/gdi/GDI.h"

namespace gdi {

int PrepareText(const char* text, int len, unsigned flags, char* out, bool* multiLine) {
  bool lines = false;
  int n = 0;
  if (text) {
    const int cap = GDI_TEXT_BUFFER_SIZE - 1;
    bool literal = false;
    for (int i = 0; (len < 0 || i < len) && text[i] && n < cap; ++i) {
      char c = text[i];
      if (c == '\r') continue;
      if (c == '&' && !literal && !(flags & DT_NOPREFIX)) {
        literal = true;
        continue;
      }
      literal = false;
      if (c == '\n') {
        if (flags & DT_SINGLELINE)
          c = ' ';
        else
          lines = true;
      }
      out[n++] = c;
    }
    // A text cut at the buffer's end must not end inside a multi-byte character.
    if (n == cap) {
      int start = n;  // just past the last lead byte
      while (start > 0 && n - start < 3 && ((unsigned char)out[start - 1] & 0xc0) == 0x80) --start;
      if (start > 0) {
        const unsigned lead = (unsigned char)out[start - 1];
        const int need = lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc2 ? 2 : 1;
        if (need > n - (start - 1)) n = start - 1;
      }
    }
  }
  out[n] = 0;
  if (multiLine) *multiLine = lines;
  return n;
}

int DecodeUtf8(const char* text, int n, uint32_t* code) {
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  if (n <= 0) {
    *code = 0;
    return 0;
  }
  const unsigned c = s[0];
  auto cont = [&](int i) { return i < n && (s[i] & 0xc0) == 0x80; };
  if (c >= 0xc2 && c < 0xe0 && cont(1)) {
    *code = ((c & 0x1f) << 6) | (s[1] & 0x3f);
    return 2;
  }
  if (c >= 0xe0 && c < 0xf0 && cont(1) && cont(2)) {
    const uint32_t v = ((c & 0x0f) << 12) | ((s[1] & 0x3f) << 6) | (s[2] & 0x3f);
    if (v >= 0x800 && (v < 0xd800 || v > 0xdfff)) {
      *code = v;
      return 3;
    }
  }
  if (c >= 0xf0 && c < 0xf5 && cont(1) && cont(2) && cont(3)) {
    const uint32_t v =
        ((c & 0x07) << 18) | ((s[1] & 0x3f) << 12) | ((s[2] & 0x3f) << 6) | (s[3] & 0x3f);
    if (v >= 0x10000 && v <= 0x10ffff) {
      *code = v;
      return 4;
    }
  }
  *code = c;
  return 1;
}

TextExtent MeasureExtent(const double* lineWidths, int lineCount, double lineExtent) {
  TextExtent e{0, 0};
  for (int i = 0; i < lineCount; ++i) {
    e.width = std::max(e.width, (int)std::floor(lineWidths[i] + 0.5));
    e.height += (int)std::floor(lineExtent + 1.5);
  }
  if (e.height != 0) e.height++;
  return e;
}

}  // namespace gdi
