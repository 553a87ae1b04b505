#include "framework/UTL_String.h"

#include <cstdio>
#include <cstring>

const char* UTL_String::Get() const {
  return mHeap.GetSize() > 0 ? static_cast<const char*>(mHeap.Get()) : "";
}

char* UTL_String::GetMutable() {
  if (mHeap.GetSize() == 0 && !Reserve(0)) return nullptr;
  return static_cast<char*>(mHeap.Get());
}

int UTL_String::GetLength() const { return mHeap.GetSize() > 0 ? mHeap.GetSize() - 1 : 0; }

bool UTL_String::Reserve(int length) {
  int old = GetLength();
  if (!mHeap.Resize(length + 1)) return false;
  if (length > old || old == 0) static_cast<char*>(mHeap.Get())[length] = '\0';
  return true;
}

static int BoundedLength(const char* text, int maxLen) {
  if (!text) return 0;
  // Bounded texts need not be terminated within maxLen bytes.
  if (maxLen > 0) return (int)strnlen(text, (size_t)maxLen);
  return (int)strlen(text);
}

void UTL_String::Set(const char* text, int maxLen) {
  int n = BoundedLength(text, maxLen);
  // text may point into our own buffer; copy through memmove after growing.
  if (text && text >= Get() && text < Get() + GetLength() + 1) {
    int offset = (int)(text - Get());
    char* buf = GetMutable();
    memmove(buf, buf + offset, (size_t)n);
    Reserve(n);
    static_cast<char*>(mHeap.Get())[n] = '\0';
    return;
  }
  if (!Reserve(n)) return;
  char* buf = static_cast<char*>(mHeap.Get());
  if (n) memcpy(buf, text, (size_t)n);
  buf[n] = '\0';
}

void UTL_String::Append(const char* text, int maxLen) { Insert(text, GetLength(), maxLen); }

void UTL_String::Insert(const char* text, int position, int maxLen) {
  int n = BoundedLength(text, maxLen);
  if (n == 0) return;
  int old = GetLength();
  if (position < 0) position = 0;
  if (position > old) position = old;
  UTL_String copy;  // the text may live inside this string
  copy.mHeap.Resize(n + 1);
  memcpy(copy.mHeap.Get(), text, (size_t)n);
  if (!Reserve(old + n)) return;
  char* buf = static_cast<char*>(mHeap.Get());
  memmove(buf + position + n, buf + position, (size_t)(old - position));
  memcpy(buf + position, copy.mHeap.Get(), (size_t)n);
  buf[old + n] = '\0';
}

void UTL_String::DeleteSub(int position, int length) {
  int old = GetLength();
  if (position < 0 || position >= old || length <= 0) return;
  if (length > old - position) length = old - position;
  char* buf = static_cast<char*>(mHeap.Get());
  memmove(buf + position, buf + position + length, (size_t)(old - position - length));
  Reserve(old - length);
  buf = static_cast<char*>(mHeap.Get());
  buf[old - length] = '\0';
}

void UTL_String::SetLen(int length) {
  if (length < 0) length = 0;
  int old = GetLength();
  if (!Reserve(length)) return;
  char* buf = static_cast<char*>(mHeap.Get());
  for (int i = old; i < length; ++i) buf[i] = ' ';
  buf[length] = '\0';
}

void UTL_String::FormatAt(int offset, int maxLen, const char* format, va_list args) {
  if (!format || maxLen <= 0) return;
  if (!Reserve(offset + maxLen)) return;
  char* buf = static_cast<char*>(mHeap.Get());
  int written = vsnprintf(buf + offset, (size_t)maxLen + 1, format, args);
  if (written < 0) written = 0;
  if (written > maxLen) written = maxLen;
  Reserve(offset + written);
  static_cast<char*>(mHeap.Get())[offset + written] = '\0';
}

void UTL_String::SetFormatted(int maxLen, const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatAt(0, maxLen, format, args);
  va_end(args);
}

void UTL_String::AppendFormatted(int maxLen, const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatAt(GetLength(), maxLen, format, args);
  va_end(args);
}
