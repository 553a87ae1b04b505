// Arrays. Each array keeps its own copy of the callbacks it was created with and calls them
// for every value it takes in, gives up, describes or compares.

#include <cstdio>
#include <vector>

#include "CFRuntime.h"

namespace {

const void* TypeRetain(CFAllocatorRef, const void* value) { return CFRetain(value); }
void TypeRelease(CFAllocatorRef, const void* value) { CFRelease(value); }
Boolean TypeEqual(const void* a, const void* b) { return CFEqual(a, b); }

}  // namespace

const CFArrayCallBacks kCFTypeArrayCallBacks = {0, TypeRetain, TypeRelease, CFCopyDescription,
                                                TypeEqual};

struct __CFArray : CFRuntimeObject {
  static constexpr CFTypeID kTypeID = kCFRuntimeArray;
  __CFArray(CFAllocatorRef alloc, const CFArrayCallBacks* callBacks, bool isMutable)
      : CFRuntimeObject(alloc), mMutable(isMutable) {
    if (callBacks) mCallBacks = *callBacks;
  }
  ~__CFArray() override {
    for (const void* v : mValues) Release(v);
  }
  CFTypeID TypeID() const override { return kTypeID; }
  bool Equals(const CFRuntimeObject& other) const override {
    const auto& o = static_cast<const __CFArray&>(other);
    if (mValues.size() != o.mValues.size()) return false;
    for (size_t i = 0; i < mValues.size(); ++i)
      if (!Same(mValues[i], o.mValues[i])) return false;
    return true;
  }
  CFHashCode Hash() const override { return mValues.size(); }
  std::string Describe() const override {
    std::string text = "(\n";
    for (const void* v : mValues) {
      text += "    ";
      if (mCallBacks.copyDescription) {
        CFStringRef d = mCallBacks.copyDescription(v);
        text += d ? CFStringUTF8(d) : "(null)";
        CFRelease(d);
      } else {
        char ptr[32];
        snprintf(ptr, sizeof(ptr), "%p", v);
        text += ptr;
      }
      text += ",\n";
    }
    return text + ")";
  }

  const void* Retain(const void* v) const {
    return mCallBacks.retain ? mCallBacks.retain(mAllocator, v) : v;
  }
  void Release(const void* v) const {
    if (mCallBacks.release) mCallBacks.release(mAllocator, v);
  }
  bool Same(const void* a, const void* b) const {
    return mCallBacks.equal ? mCallBacks.equal(a, b) : a == b;
  }
  bool ValidRange(CFRange r) const {
    return r.location >= 0 && r.length >= 0 &&
           static_cast<size_t>(r.location + r.length) <= mValues.size();
  }

  CFArrayCallBacks mCallBacks = {0, nullptr, nullptr, nullptr, nullptr};
  std::vector<const void*> mValues;
  const bool mMutable;
};

namespace {
__CFArray* Array(CFTypeRef a) { return CFCast<__CFArray>(a); }
__CFArray* MutableArray(CFTypeRef a) { return CFMutableCast<__CFArray>(a); }
}  // namespace

CFTypeID CFArrayGetTypeID(void) { return kCFRuntimeArray; }

CFArrayRef CFArrayCreate(CFAllocatorRef allocator, const void** values, CFIndex numValues,
                         const CFArrayCallBacks* callBacks) {
  if (numValues < 0 || (!values && numValues > 0)) return nullptr;
  auto* a = new __CFArray(allocator, callBacks, false);
  a->mValues.reserve(static_cast<size_t>(numValues));
  for (CFIndex i = 0; i < numValues; ++i) a->mValues.push_back(a->Retain(values[i]));
  return a;
}

CFArrayRef CFArrayCreateCopy(CFAllocatorRef allocator, CFArrayRef theArray) {
  const __CFArray* src = Array(theArray);
  if (!src) return nullptr;
  auto* a = new __CFArray(allocator, &src->mCallBacks, false);
  for (const void* v : src->mValues) a->mValues.push_back(a->Retain(v));
  return a;
}

CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef allocator, CFIndex capacity,
                                       const CFArrayCallBacks* callBacks) {
  if (capacity < 0) return nullptr;
  auto* a = new __CFArray(allocator, callBacks, true);
  a->mValues.reserve(static_cast<size_t>(capacity));
  return a;
}

CFMutableArrayRef CFArrayCreateMutableCopy(CFAllocatorRef allocator, CFIndex capacity,
                                           CFArrayRef theArray) {
  const __CFArray* src = Array(theArray);
  if (!src || capacity < 0) return nullptr;
  auto* a = new __CFArray(allocator, &src->mCallBacks, true);
  for (const void* v : src->mValues) a->mValues.push_back(a->Retain(v));
  return a;
}

CFIndex CFArrayGetCount(CFArrayRef theArray) {
  const __CFArray* a = Array(theArray);
  return a ? static_cast<CFIndex>(a->mValues.size()) : 0;
}

CFIndex CFArrayGetCountOfValue(CFArrayRef theArray, CFRange range, const void* value) {
  const __CFArray* a = Array(theArray);
  if (!a || !a->ValidRange(range)) return 0;
  CFIndex count = 0;
  for (CFIndex i = range.location; i < range.location + range.length; ++i)
    count += a->Same(a->mValues[i], value);
  return count;
}

Boolean CFArrayContainsValue(CFArrayRef theArray, CFRange range, const void* value) {
  return CFArrayGetFirstIndexOfValue(theArray, range, value) != kCFNotFound;
}

const void* CFArrayGetValueAtIndex(CFArrayRef theArray, CFIndex idx) {
  const __CFArray* a = Array(theArray);
  if (!a || idx < 0 || static_cast<size_t>(idx) >= a->mValues.size()) return nullptr;
  return a->mValues[idx];
}

void CFArrayGetValues(CFArrayRef theArray, CFRange range, const void** values) {
  const __CFArray* a = Array(theArray);
  if (!a || !values || !a->ValidRange(range)) return;
  for (CFIndex i = 0; i < range.length; ++i) values[i] = a->mValues[range.location + i];
}

void CFArrayApplyFunction(CFArrayRef theArray, CFRange range, CFArrayApplierFunction applier,
                          void* context) {
  const __CFArray* a = Array(theArray);
  if (!a || !applier || !a->ValidRange(range)) return;
  for (CFIndex i = range.location; i < range.location + range.length; ++i)
    applier(a->mValues[i], context);
}

CFIndex CFArrayGetFirstIndexOfValue(CFArrayRef theArray, CFRange range, const void* value) {
  const __CFArray* a = Array(theArray);
  if (!a || !a->ValidRange(range)) return kCFNotFound;
  for (CFIndex i = range.location; i < range.location + range.length; ++i)
    if (a->Same(a->mValues[i], value)) return i;
  return kCFNotFound;
}

CFIndex CFArrayGetLastIndexOfValue(CFArrayRef theArray, CFRange range, const void* value) {
  const __CFArray* a = Array(theArray);
  if (!a || !a->ValidRange(range)) return kCFNotFound;
  for (CFIndex i = range.location + range.length - 1; i >= range.location; --i)
    if (a->Same(a->mValues[i], value)) return i;
  return kCFNotFound;
}

void CFArrayAppendValue(CFMutableArrayRef theArray, const void* value) {
  __CFArray* a = MutableArray(theArray);
  if (a) a->mValues.push_back(a->Retain(value));
}

void CFArrayInsertValueAtIndex(CFMutableArrayRef theArray, CFIndex idx, const void* value) {
  __CFArray* a = MutableArray(theArray);
  if (!a || idx < 0 || static_cast<size_t>(idx) > a->mValues.size()) return;
  a->mValues.insert(a->mValues.begin() + idx, a->Retain(value));
}

void CFArraySetValueAtIndex(CFMutableArrayRef theArray, CFIndex idx, const void* value) {
  __CFArray* a = MutableArray(theArray);
  if (!a || idx < 0 || static_cast<size_t>(idx) > a->mValues.size()) return;
  if (static_cast<size_t>(idx) == a->mValues.size()) {
    a->mValues.push_back(a->Retain(value));
    return;
  }
  // Retain first: the new value may be the one being replaced.
  const void* old = a->mValues[idx];
  a->mValues[idx] = a->Retain(value);
  a->Release(old);
}

void CFArrayRemoveValueAtIndex(CFMutableArrayRef theArray, CFIndex idx) {
  __CFArray* a = MutableArray(theArray);
  if (!a || idx < 0 || static_cast<size_t>(idx) >= a->mValues.size()) return;
  const void* old = a->mValues[idx];
  a->mValues.erase(a->mValues.begin() + idx);
  a->Release(old);
}

void CFArrayRemoveAllValues(CFMutableArrayRef theArray) {
  __CFArray* a = MutableArray(theArray);
  if (!a) return;
  std::vector<const void*> old;
  old.swap(a->mValues);
  for (const void* v : old) a->Release(v);
}

void CFArrayExchangeValuesAtIndices(CFMutableArrayRef theArray, CFIndex idx1, CFIndex idx2) {
  __CFArray* a = MutableArray(theArray);
  const CFIndex n = a ? static_cast<CFIndex>(a->mValues.size()) : 0;
  if (!a || idx1 < 0 || idx2 < 0 || idx1 >= n || idx2 >= n) return;
  std::swap(a->mValues[idx1], a->mValues[idx2]);
}

void CFArrayAppendArray(CFMutableArrayRef theArray, CFArrayRef otherArray, CFRange otherRange) {
  __CFArray* a = MutableArray(theArray);
  const __CFArray* other = Array(otherArray);
  if (!a || !other || !other->ValidRange(otherRange)) return;
  // Copy first so that appending an array to itself is safe.
  std::vector<const void*> values(other->mValues.begin() + otherRange.location,
                                  other->mValues.begin() + otherRange.location + otherRange.length);
  for (const void* v : values) a->mValues.push_back(a->Retain(v));
}
