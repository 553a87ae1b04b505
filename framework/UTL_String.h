#pragma once
// Growable NUL-terminated text. Get() never returns null; a null argument reads as "".

#include <cstdarg>

#include "framework/UTL_HeapBuf.h"

class UTL_String {
 public:
  UTL_String() : mHeap(128) {}
  explicit UTL_String(const char* text) : mHeap(128) { Set(text); }
  UTL_String(const UTL_String& other) : mHeap(128) { Set(other.Get()); }
  UTL_String& operator=(const UTL_String& other) {
    if (this != &other) Set(other.Get());
    return *this;
  }

  const char* Get() const;
  char* GetMutable();  // writable text of GetLength() bytes plus the terminator
  int GetLength() const;

  // maxLen > 0 copies at most that many bytes of text.
  void Set(const char* text, int maxLen = 0);
  void Append(const char* text, int maxLen = 0);
  void Insert(const char* text, int position, int maxLen = 0);
  void DeleteSub(int position, int length);
  // Cuts to length (or pads with spaces when longer).
  void SetLen(int length);

  // printf-style, producing at most maxLen bytes of text.
  void SetFormatted(int maxLen, const char* format, ...) __attribute__((format(printf, 3, 4)));
  void AppendFormatted(int maxLen, const char* format, ...) __attribute__((format(printf, 3, 4)));

 private:
  bool Reserve(int length);
  void FormatAt(int offset, int maxLen, const char* format, va_list args);

  UTL_HeapBuf mHeap;
};
