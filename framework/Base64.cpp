#include "framework/Base64.h"

namespace {
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int DecodeChar(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}
}  // namespace

bool Base64Encode(const unsigned char* data, int size, UTL_String* out) {
  if (!out) return false;
  out->Set("");
  if (!data || size <= 0) return true;
  long long length = ((long long)size + 2) / 3 * 4;
  if (length > 0x7ffffff0LL) return false;
  out->SetLen((int)length);
  char* text = out->GetMutable();
  if (!text || out->GetLength() != (int)length) return false;
  int t = 0;
  for (int i = 0; i < size; i += 3) {
    unsigned triple = (unsigned)data[i] << 16;
    int remaining = size - i;
    if (remaining > 1) triple |= (unsigned)data[i + 1] << 8;
    if (remaining > 2) triple |= data[i + 2];
    text[t++] = kAlphabet[(triple >> 18) & 63];
    text[t++] = kAlphabet[(triple >> 12) & 63];
    text[t++] = remaining > 1 ? kAlphabet[(triple >> 6) & 63] : '=';
    text[t++] = remaining > 2 ? kAlphabet[triple & 63] : '=';
  }
  return true;
}

int Base64Decode(const char* text, unsigned char* out, int outSize) {
  if (!text || !out || outSize <= 0) return 0;
  int written = 0;
  unsigned bits = 0;
  int nBits = 0;
  for (const char* p = text; *p && written < outSize; ++p) {
    int v = DecodeChar(*p);
    if (v < 0) break;
    bits = (bits << 6) | (unsigned)v;
    nBits += 6;
    if (nBits >= 8) {
      nBits -= 8;
      out[written++] = (unsigned char)((bits >> nBits) & 0xff);
    }
  }
  return written;
}
