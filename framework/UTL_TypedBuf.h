#pragma once
// Growable array of a trivially copyable type over UTL_HeapBuf.

#include <type_traits>

#include "framework/UTL_HeapBuf.h"

template <class T>
class UTL_TypedBuf {
  static_assert(std::is_trivially_copyable_v<T>, "UTL_TypedBuf holds plain records");

 public:
  explicit UTL_TypedBuf(int granularityBytes = 4096) : mHeap(granularityBytes) {}

  T* Get() const { return static_cast<T*>(mHeap.Get()); }
  int GetSize() const { return mHeap.GetSize() / (int)sizeof(T); }

  // Returns null (and keeps the contents) when the count is negative or memory is short.
  T* Resize(int count) {
    if (count < 0 || (long long)count * (long long)sizeof(T) > 0x7fffffffLL) return nullptr;
    void* p = mHeap.Resize(count * (int)sizeof(T));
    return (count == 0 || p) ? Get() : nullptr;
  }

  T* Add(const T& item) {
    int n = GetSize();
    if (!Resize(n + 1)) return nullptr;
    Get()[n] = item;
    return Get() + n;
  }

 private:
  UTL_HeapBuf mHeap;
};
