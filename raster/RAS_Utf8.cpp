#include "raster/RAS_Font.h"

namespace {
// Continuation bytes are 0x80-0xbf; a stop at the text's end or the byte limit counts as none.
bool isCont(const unsigned char* p, int i, int maxBytes) {
  if (maxBytes >= 0 && i >= maxBytes) return false;
  return (p[i] & 0xc0) == 0x80;
}
}  // namespace

int utf8char(const char* ptr, unsigned short* code, int maxBytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(ptr);
  const unsigned c = p[0];
  if (c > 0xc1 && (c & 0x80) && isCont(p, 1, maxBytes)) {
    if (c < 0xe0) {
      *code = (unsigned short)(((c & 0x1f) << 6) | (p[1] & 0x3f));
      return 2;
    }
    if (isCont(p, 2, maxBytes)) {
      if (c < 0xf0) {
        *code = (unsigned short)((c << 12) | ((p[1] & 0x3f) << 6) | (p[2] & 0x3f));
        return 3;
      }
      if (isCont(p, 3, maxBytes)) {
        // Beyond 16 bits: drawn as a space.
        *code = ' ';
        return 4;
      }
    }
  }
  *code = (unsigned short)c;
  return 1;
}
