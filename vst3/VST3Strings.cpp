#include "vst3/VST3Strings.h"

namespace vst3 {

void CopyToUtf16(const char* text, char16_t* out, int capacity) {
  if (!out || capacity <= 0) return;
  int n = 0;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text ? text : "");
  while (*p && n < capacity - 1) {
    uint32 c = *p++;
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    c &= extra == 3 ? 0x07 : extra == 2 ? 0x0F : extra == 1 ? 0x1F : 0x7F;
    for (; extra > 0 && (*p & 0xC0) == 0x80; --extra) c = (c << 6) | (*p++ & 0x3F);
    if (extra > 0 || c > 0x10FFFF) c = 0xFFFD;  // cut or malformed sequence
    if (c >= 0x10000) {
      if (n + 2 > capacity - 1) break;
      c -= 0x10000;
      out[n++] = (char16_t)(0xD800 + (c >> 10));
      out[n++] = (char16_t)(0xDC00 + (c & 0x3FF));
    } else {
      out[n++] = (char16_t)c;
    }
  }
  out[n] = 0;
}

void CopyToUtf8(const char16_t* text, int maxUnits, char* out, int size) {
  if (!out || size <= 0) return;
  int n = 0;
  for (int i = 0; text && i < maxUnits && text[i]; ++i) {
    uint32 c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < maxUnits && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    unsigned char bytes[4];
    int len;
    if (c < 0x80) {
      bytes[0] = (unsigned char)c;
      len = 1;
    } else if (c < 0x800) {
      bytes[0] = (unsigned char)(0xC0 | (c >> 6));
      bytes[1] = (unsigned char)(0x80 | (c & 0x3F));
      len = 2;
    } else if (c < 0x10000) {
      bytes[0] = (unsigned char)(0xE0 | (c >> 12));
      bytes[1] = (unsigned char)(0x80 | ((c >> 6) & 0x3F));
      bytes[2] = (unsigned char)(0x80 | (c & 0x3F));
      len = 3;
    } else {
      bytes[0] = (unsigned char)(0xF0 | (c >> 18));
      bytes[1] = (unsigned char)(0x80 | ((c >> 12) & 0x3F));
      bytes[2] = (unsigned char)(0x80 | ((c >> 6) & 0x3F));
      bytes[3] = (unsigned char)(0x80 | (c & 0x3F));
      len = 4;
    }
    if (n + len > size - 1) break;
    for (int k = 0; k < len; ++k) out[n++] = (char)bytes[k];
  }
  out[n] = 0;
}

void CopyField(const char* text, char* out, int size) {
  if (!out || size <= 0) return;
  int n = 0;
  for (; text && text[n] && n < size - 1; ++n) out[n] = text[n];
  out[n] = 0;
}

}  // namespace vst3
