#pragma once
// Growable byte buffer for serialized state. Reads take a start position and return the
// position after what they read, or -1 when the read does not fit (the output is then
// left unchanged). Multi-byte values are stored in the machine's (little-endian) order.

#include <type_traits>

#include "framework/UTL_HeapBuf.h"
#include "framework/UTL_String.h"

class ByteChunk {
 public:
  ByteChunk() : mBytes(4096) {}
  ByteChunk(const ByteChunk&) = delete;
  ByteChunk& operator=(const ByteChunk&) = delete;

  // Appends the value's bytes; returns the new size, or -1 when memory ran out.
  template <class T>
  int Put(const T* pVal) {
    static_assert(std::is_trivially_copyable_v<T>, "chunks hold plain values");
    if constexpr (std::is_same_v<T, bool>) {
      unsigned char b = *pVal ? 1 : 0;
      return PutBytes(&b, 1);
    } else {
      return PutBytes(pVal, (int)sizeof(T));
    }
  }

  template <class T>
  int Get(T* pVal, int startPos) const {
    static_assert(std::is_trivially_copyable_v<T>, "chunks hold plain values");
    if constexpr (std::is_same_v<T, bool>) {
      // Any non-zero byte reads as true, so stored garbage cannot make an invalid bool.
      unsigned char b = 0;
      int pos = GetBytes(&b, 1, startPos);
      if (pos >= 0) *pVal = b != 0;
      return pos;
    } else {
      return GetBytes(pVal, (int)sizeof(T), startPos);
    }
  }

  int PutBytes(const void* data, int n);
  int GetBytes(void* out, int n, int startPos) const;

  // 32-bit length (without terminator) followed by the text's bytes.
  int PutStr(const char* text);
  // Reads a string written by PutStr. A length of 0 leaves out unchanged; the text stops
  // early at a 0 byte. Returns the position after the stored text, or -1 when the length
  // cannot be read, is negative or points past what a position can hold.
  int GetStr(UTL_String* out, int startPos) const;

  int PutChunk(const ByteChunk* other);

  void Clear() { mBytes.Resize(0); }
  int Size() const { return mBytes.GetSize(); }
  // Sets the size; grown bytes read as zero. Returns the new size, or the old on failure.
  int Resize(int newSize);
  unsigned char* GetBytes() { return static_cast<unsigned char*>(mBytes.Get()); }
  const unsigned char* GetBytes() const { return static_cast<const unsigned char*>(mBytes.Get()); }
  bool IsEqual(const ByteChunk& other) const;

 private:
  UTL_HeapBuf mBytes;
};
