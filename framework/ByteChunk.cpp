#include "framework/ByteChunk.h"

#include <climits>
#include <cstring>

int ByteChunk::PutBytes(const void* data, int n) {
  int size = Size();
  if (n <= 0) return size;
  if (!data || n > INT_MAX - size || !mBytes.Resize(size + n)) return -1;
  std::memcpy(GetBytes() + size, data, (size_t)n);
  return size + n;
}

int ByteChunk::GetBytes(void* out, int n, int startPos) const {
  if (startPos < 0 || n < 0 || n > Size() - startPos) return -1;
  if (n > 0) std::memcpy(out, GetBytes() + startPos, (size_t)n);
  return startPos + n;
}

int ByteChunk::PutStr(const char* text) {
  size_t len = text ? std::strlen(text) : 0;
  if (len > (size_t)INT_MAX - 4) return -1;
  int n = (int)len;
  int size = Put(&n);
  if (size < 0) return -1;
  return PutBytes(text, n);
}

int ByteChunk::GetStr(UTL_String* out, int startPos) const {
  int len = 0;
  int pos = Get(&len, startPos);
  if (pos < 0) return -1;
  // A negative length would step backwards into data already read.
  if (len < 0 || (long long)pos + len > INT_MAX) return -1;
  int end = pos + len;
  if (len > 0 && end <= Size() && out) {
    const char* text = reinterpret_cast<const char*>(GetBytes() + pos);
    int n = (int)strnlen(text, (size_t)len);
    if (n > 0) {
      out->Set(text, n);
    } else {
      out->Set("");
    }
  }
  return end;
}

int ByteChunk::PutChunk(const ByteChunk* other) {
  if (!other) return Size();
  return PutBytes(other->GetBytes(), other->Size());
}

int ByteChunk::Resize(int newSize) {
  int old = Size();
  if (newSize < 0 || !mBytes.Resize(newSize)) return old;
  if (newSize > old) std::memset(GetBytes() + old, 0, (size_t)(newSize - old));
  return newSize;
}

bool ByteChunk::IsEqual(const ByteChunk& other) const {
  return Size() == other.Size() &&
         (Size() == 0 || std::memcmp(GetBytes(), other.GetBytes(), (size_t)Size()) == 0);
}
