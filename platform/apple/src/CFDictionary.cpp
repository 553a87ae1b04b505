// Dictionaries. Entries keep insertion order (property lists are written in that order);
// an index by hash finds a key without a walk over all of them, so that building a dictionary
// of n keys (a property list read, a copy) takes time in proportion to n.

#include <cstdio>
#include <unordered_map>
#include <vector>

#include "CFRuntime.h"

namespace {

const void* TypeRetain(CFAllocatorRef, const void* value) { return CFRetain(value); }
void TypeRelease(CFAllocatorRef, const void* value) { CFRelease(value); }
Boolean TypeEqual(const void* a, const void* b) { return CFEqual(a, b); }
CFHashCode TypeHash(const void* value) { return CFHash(value); }

// Mutable string keys would change under the dictionary; copying makes them immutable.
const void* CopyStringRetain(CFAllocatorRef allocator, const void* value) {
  if (CFGetTypeID(value) == CFStringGetTypeID())
    return CFStringCreateCopy(allocator, static_cast<CFStringRef>(value));
  return CFRetain(value);
}

}  // namespace

const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks = {
    0, TypeRetain, TypeRelease, CFCopyDescription, TypeEqual, TypeHash};
const CFDictionaryKeyCallBacks kCFCopyStringDictionaryKeyCallBacks = {
    0, CopyStringRetain, TypeRelease, CFCopyDescription, TypeEqual, TypeHash};
const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks = {0, TypeRetain, TypeRelease,
                                                                    CFCopyDescription, TypeEqual};

struct __CFDictionary : CFRuntimeObject {
  static constexpr CFTypeID kTypeID = kCFRuntimeDictionary;
  struct Entry {
    const void* key;
    const void* value;
    CFHashCode hash;
  };

  __CFDictionary(CFAllocatorRef alloc, const CFDictionaryKeyCallBacks* keyCallBacks,
                 const CFDictionaryValueCallBacks* valueCallBacks, bool isMutable)
      : CFRuntimeObject(alloc), mMutable(isMutable) {
    if (keyCallBacks) mKeys = *keyCallBacks;
    if (valueCallBacks) mValues = *valueCallBacks;
  }
  ~__CFDictionary() override {
    for (const Entry& e : mEntries) ReleaseEntry(e);
  }
  CFTypeID TypeID() const override { return kTypeID; }
  bool Equals(const CFRuntimeObject& other) const override {
    const auto& o = static_cast<const __CFDictionary&>(other);
    if (mEntries.size() != o.mEntries.size()) return false;
    for (const Entry& e : mEntries) {
      const Entry* match = o.Find(e.key);
      if (!match || !SameValue(e.value, match->value)) return false;
    }
    return true;
  }
  CFHashCode Hash() const override { return mEntries.size(); }
  std::string Describe() const override {
    std::string text = "{\n";
    for (const Entry& e : mEntries) {
      text += "    " + DescribeWith(mKeys.copyDescription, e.key) + " = " +
              DescribeWith(mValues.copyDescription, e.value) + ";\n";
    }
    return text + "}";
  }

  static std::string DescribeWith(CFDictionaryCopyDescriptionCallBack describe, const void* v) {
    if (!describe) {
      char ptr[32];
      snprintf(ptr, sizeof(ptr), "%p", v);
      return ptr;
    }
    CFStringRef d = describe(v);
    std::string text = d ? CFStringUTF8(d) : "(null)";
    CFRelease(d);
    return text;
  }
  CFHashCode HashOf(const void* key) const {
    return mKeys.hash ? mKeys.hash(key) : reinterpret_cast<CFHashCode>(key);
  }
  bool SameKey(const void* a, const void* b) const {
    return mKeys.equal ? mKeys.equal(a, b) : a == b;
  }
  bool SameValue(const void* a, const void* b) const {
    return mValues.equal ? mValues.equal(a, b) : a == b;
  }
  const Entry* Find(const void* key) const {
    const auto [first, last] = mIndex.equal_range(HashOf(key));
    for (auto it = first; it != last; ++it)
      if (SameKey(mEntries[it->second].key, key)) return &mEntries[it->second];
    return nullptr;
  }
  Entry* Find(const void* key) {
    return const_cast<Entry*>(static_cast<const __CFDictionary*>(this)->Find(key));
  }
  void Add(const void* key, const void* value) {
    const void* k = mKeys.retain ? mKeys.retain(mAllocator, key) : key;
    const void* v = mValues.retain ? mValues.retain(mAllocator, value) : value;
    mEntries.push_back({k, v, HashOf(k)});
    mIndex.emplace(mEntries.back().hash, mEntries.size() - 1);
  }
  // Takes out one entry without releasing it; the entries after it move down by one.
  Entry Remove(const Entry& e) {
    const size_t at = static_cast<size_t>(&e - mEntries.data());
    const Entry removed = e;
    mEntries.erase(mEntries.begin() + static_cast<std::ptrdiff_t>(at));
    mIndex.clear();
    for (size_t i = 0; i < mEntries.size(); ++i) mIndex.emplace(mEntries[i].hash, i);
    return removed;
  }
  void Replace(Entry& e, const void* value) {
    // Retain first: the new value may be the one being replaced.
    const void* v = mValues.retain ? mValues.retain(mAllocator, value) : value;
    const void* old = e.value;
    e.value = v;
    if (mValues.release) mValues.release(mAllocator, old);
  }
  void ReleaseEntry(const Entry& e) const {
    if (mKeys.release) mKeys.release(mAllocator, e.key);
    if (mValues.release) mValues.release(mAllocator, e.value);
  }

  CFDictionaryKeyCallBacks mKeys = {0, nullptr, nullptr, nullptr, nullptr, nullptr};
  CFDictionaryValueCallBacks mValues = {0, nullptr, nullptr, nullptr, nullptr};
  std::vector<Entry> mEntries;
  std::unordered_multimap<CFHashCode, size_t> mIndex;  // hash to position in mEntries
  const bool mMutable;
};

namespace {
__CFDictionary* Dict(CFTypeRef d) { return CFCast<__CFDictionary>(d); }
__CFDictionary* MutableDict(CFTypeRef d) { return CFMutableCast<__CFDictionary>(d); }
__CFDictionary* CopyOf(CFAllocatorRef allocator, const __CFDictionary& src, bool isMutable) {
  auto* d = new __CFDictionary(allocator, &src.mKeys, &src.mValues, isMutable);
  for (const auto& e : src.mEntries) d->Add(e.key, e.value);
  return d;
}
}  // namespace

CFTypeID CFDictionaryGetTypeID(void) { return kCFRuntimeDictionary; }

CFDictionaryRef CFDictionaryCreate(CFAllocatorRef allocator, const void** keys, const void** values,
                                   CFIndex numValues, const CFDictionaryKeyCallBacks* keyCallBacks,
                                   const CFDictionaryValueCallBacks* valueCallBacks) {
  if (numValues < 0 || ((!keys || !values) && numValues > 0)) return nullptr;
  auto* d = new __CFDictionary(allocator, keyCallBacks, valueCallBacks, false);
  for (CFIndex i = 0; i < numValues; ++i) {
    // A repeated key keeps the last value, as CFDictionarySetValue would.
    if (auto* e = d->Find(keys[i]))
      d->Replace(*e, values[i]);
    else
      d->Add(keys[i], values[i]);
  }
  return d;
}

CFDictionaryRef CFDictionaryCreateCopy(CFAllocatorRef allocator, CFDictionaryRef theDict) {
  const __CFDictionary* src = Dict(theDict);
  return src ? CopyOf(allocator, *src, false) : nullptr;
}

CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef allocator, CFIndex capacity,
                                                 const CFDictionaryKeyCallBacks* keyCallBacks,
                                                 const CFDictionaryValueCallBacks* valueCallBacks) {
  if (capacity < 0) return nullptr;
  auto* d = new __CFDictionary(allocator, keyCallBacks, valueCallBacks, true);
  d->mEntries.reserve(static_cast<size_t>(capacity));
  d->mIndex.reserve(static_cast<size_t>(capacity));
  return d;
}

CFMutableDictionaryRef CFDictionaryCreateMutableCopy(CFAllocatorRef allocator, CFIndex capacity,
                                                     CFDictionaryRef theDict) {
  const __CFDictionary* src = Dict(theDict);
  if (!src || capacity < 0) return nullptr;
  return CopyOf(allocator, *src, true);
}

CFIndex CFDictionaryGetCount(CFDictionaryRef theDict) {
  const __CFDictionary* d = Dict(theDict);
  return d ? static_cast<CFIndex>(d->mEntries.size()) : 0;
}

Boolean CFDictionaryContainsKey(CFDictionaryRef theDict, const void* key) {
  const __CFDictionary* d = Dict(theDict);
  return d && d->Find(key);
}

Boolean CFDictionaryContainsValue(CFDictionaryRef theDict, const void* value) {
  const __CFDictionary* d = Dict(theDict);
  if (!d) return false;
  for (const auto& e : d->mEntries)
    if (d->SameValue(e.value, value)) return true;
  return false;
}

const void* CFDictionaryGetValue(CFDictionaryRef theDict, const void* key) {
  const __CFDictionary* d = Dict(theDict);
  const auto* e = d ? d->Find(key) : nullptr;
  return e ? e->value : nullptr;
}

Boolean CFDictionaryGetValueIfPresent(CFDictionaryRef theDict, const void* key,
                                      const void** value) {
  const __CFDictionary* d = Dict(theDict);
  const auto* e = d ? d->Find(key) : nullptr;
  if (e && value) *value = e->value;
  return e != nullptr;
}

void CFDictionaryGetKeysAndValues(CFDictionaryRef theDict, const void** keys, const void** values) {
  const __CFDictionary* d = Dict(theDict);
  if (!d) return;
  for (size_t i = 0; i < d->mEntries.size(); ++i) {
    if (keys) keys[i] = d->mEntries[i].key;
    if (values) values[i] = d->mEntries[i].value;
  }
}

void CFDictionaryApplyFunction(CFDictionaryRef theDict, CFDictionaryApplierFunction applier,
                               void* context) {
  const __CFDictionary* d = Dict(theDict);
  if (!d || !applier) return;
  for (const auto& e : d->mEntries) applier(e.key, e.value, context);
}

void CFDictionaryAddValue(CFMutableDictionaryRef theDict, const void* key, const void* value) {
  __CFDictionary* d = MutableDict(theDict);
  if (d && !d->Find(key)) d->Add(key, value);
}

void CFDictionarySetValue(CFMutableDictionaryRef theDict, const void* key, const void* value) {
  __CFDictionary* d = MutableDict(theDict);
  if (!d) return;
  if (auto* e = d->Find(key))
    d->Replace(*e, value);
  else
    d->Add(key, value);
}

void CFDictionaryReplaceValue(CFMutableDictionaryRef theDict, const void* key, const void* value) {
  __CFDictionary* d = MutableDict(theDict);
  if (!d) return;
  if (auto* e = d->Find(key)) d->Replace(*e, value);
}

void CFDictionaryRemoveValue(CFMutableDictionaryRef theDict, const void* key) {
  __CFDictionary* d = MutableDict(theDict);
  if (!d) return;
  auto* e = d->Find(key);
  if (!e) return;
  d->ReleaseEntry(d->Remove(*e));
}

void CFDictionaryRemoveAllValues(CFMutableDictionaryRef theDict) {
  __CFDictionary* d = MutableDict(theDict);
  if (!d) return;
  std::vector<__CFDictionary::Entry> old;
  old.swap(d->mEntries);
  d->mIndex.clear();
  for (const auto& e : old) d->ReleaseEntry(e);
}
