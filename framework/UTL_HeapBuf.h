#pragma once
// Growable byte array. Capacity grows in steps of the granularity so that repeated
// small appends do not reallocate every time; growing keeps the contents.

#include <cstdlib>
#include <cstring>
#include <utility>

class UTL_HeapBuf {
 public:
  explicit UTL_HeapBuf(int granularity = 4096) : mGranularity(granularity > 0 ? granularity : 1) {}
  ~UTL_HeapBuf() { std::free(mBuf); }
  UTL_HeapBuf(const UTL_HeapBuf&) = delete;
  UTL_HeapBuf& operator=(const UTL_HeapBuf&) = delete;
  UTL_HeapBuf(UTL_HeapBuf&& other) noexcept { Swap(other); }
  UTL_HeapBuf& operator=(UTL_HeapBuf&& other) noexcept {
    Swap(other);
    return *this;
  }

  void* Get() const { return mBuf; }
  int GetSize() const { return mSize; }
  int GetCapacity() const { return mCapacity; }
  int GetGranularity() const { return mGranularity; }

  // Sets the size in bytes. Returns the buffer, or null when memory could not be had;
  // then size and contents stay as they were. Shrinking keeps the memory unless
  // releaseMemory is set.
  void* Resize(int newSize, bool releaseMemory = false) {
    if (newSize < 0) return nullptr;
    if (newSize > mCapacity || (releaseMemory && newSize < mCapacity)) {
      long long rounded = ((long long)newSize + mGranularity - 1) / mGranularity * mGranularity;
      if (rounded > 0x7fffffff) return nullptr;
      if (rounded == 0) {
        std::free(mBuf);
        mBuf = nullptr;
        mCapacity = 0;
      } else {
        void* grown = std::realloc(mBuf, (size_t)rounded);
        if (!grown) return nullptr;
        mBuf = grown;
        mCapacity = (int)rounded;
      }
    }
    mSize = newSize;
    return mBuf;
  }

  bool CopyFrom(const UTL_HeapBuf& other) {
    if (&other == this) return true;
    if (!Resize(other.mSize) && other.mSize > 0) return false;
    if (other.mSize > 0) std::memcpy(mBuf, other.mBuf, (size_t)other.mSize);
    return true;
  }

  void Swap(UTL_HeapBuf& other) noexcept {
    std::swap(mBuf, other.mBuf);
    std::swap(mSize, other.mSize);
    std::swap(mCapacity, other.mCapacity);
    std::swap(mGranularity, other.mGranularity);
  }

 private:
  void* mBuf = nullptr;
  int mSize = 0;
  int mCapacity = 0;
  int mGranularity = 4096;
};
