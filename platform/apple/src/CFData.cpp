// Byte buffers.

#include <cstdio>
#include <cstring>
#include <vector>

#include "CFRuntime.h"

struct __CFData : CFRuntimeObject {
  static constexpr CFTypeID kTypeID = kCFRuntimeData;
  __CFData(CFAllocatorRef alloc, bool isMutable) : CFRuntimeObject(alloc), mMutable(isMutable) {}
  CFTypeID TypeID() const override { return kTypeID; }
  bool Equals(const CFRuntimeObject& other) const override {
    return mBytes == static_cast<const __CFData&>(other).mBytes;
  }
  CFHashCode Hash() const override { return mBytes.size(); }
  std::string Describe() const override {
    std::string text = "<";
    char hex[4];
    for (size_t i = 0; i < mBytes.size(); ++i) {
      if (i && i % 4 == 0) text += ' ';
      snprintf(hex, sizeof(hex), "%02x", mBytes[i]);
      text += hex;
    }
    return text + ">";
  }

  std::vector<UInt8> mBytes;
  const bool mMutable;
};

namespace {
__CFData* Data(CFTypeRef d) { return CFCast<__CFData>(d); }
__CFData* MutableData(CFTypeRef d) { return CFMutableCast<__CFData>(d); }
}  // namespace

CFTypeID CFDataGetTypeID(void) { return kCFRuntimeData; }

CFDataRef CFDataCreate(CFAllocatorRef allocator, const UInt8* bytes, CFIndex length) {
  if (length < 0 || (!bytes && length > 0)) return nullptr;
  auto* d = new __CFData(allocator, false);
  d->mBytes.assign(bytes, bytes + length);
  return d;
}

CFDataRef CFDataCreateCopy(CFAllocatorRef allocator, CFDataRef theData) {
  const __CFData* src = Data(theData);
  if (!src) return nullptr;
  return CFDataCreate(allocator, src->mBytes.data(), static_cast<CFIndex>(src->mBytes.size()));
}

CFMutableDataRef CFDataCreateMutable(CFAllocatorRef allocator, CFIndex capacity) {
  auto* d = new __CFData(allocator, true);
  if (capacity > 0) d->mBytes.reserve(static_cast<size_t>(capacity));
  return d;
}

CFMutableDataRef CFDataCreateMutableCopy(CFAllocatorRef allocator, CFIndex capacity,
                                         CFDataRef theData) {
  const __CFData* src = Data(theData);
  if (!src) return nullptr;
  CFMutableDataRef d = CFDataCreateMutable(allocator, capacity);
  d->mBytes = src->mBytes;
  return d;
}

CFIndex CFDataGetLength(CFDataRef theData) {
  const __CFData* d = Data(theData);
  return d ? static_cast<CFIndex>(d->mBytes.size()) : 0;
}

const UInt8* CFDataGetBytePtr(CFDataRef theData) {
  const __CFData* d = Data(theData);
  return d ? d->mBytes.data() : nullptr;
}

UInt8* CFDataGetMutableBytePtr(CFMutableDataRef theData) {
  __CFData* d = MutableData(theData);
  return d ? d->mBytes.data() : nullptr;
}

void CFDataGetBytes(CFDataRef theData, CFRange range, UInt8* buffer) {
  const __CFData* d = Data(theData);
  if (!d || !buffer || range.location < 0 || range.length < 0 ||
      static_cast<size_t>(range.location + range.length) > d->mBytes.size())
    return;
  if (range.length > 0) memcpy(buffer, d->mBytes.data() + range.location, range.length);
}

void CFDataSetLength(CFMutableDataRef theData, CFIndex length) {
  __CFData* d = MutableData(theData);
  if (d && length >= 0) d->mBytes.resize(static_cast<size_t>(length), 0);
}

void CFDataIncreaseLength(CFMutableDataRef theData, CFIndex extraLength) {
  __CFData* d = MutableData(theData);
  if (d && extraLength > 0) d->mBytes.resize(d->mBytes.size() + extraLength, 0);
}

void CFDataAppendBytes(CFMutableDataRef theData, const UInt8* bytes, CFIndex length) {
  __CFData* d = MutableData(theData);
  if (d && bytes && length > 0) d->mBytes.insert(d->mBytes.end(), bytes, bytes + length);
}
