#pragma once
// Private object model of the Core Foundation stand-in: every CF object derives from
// CFRuntimeObject, which carries the reference count and the behaviour CFEqual, CFHash and
// CFCopyDescription dispatch to.

#include <CoreFoundation/CoreFoundation.h>

#include <atomic>
#include <new>
#include <string>
#include <utility>

enum CFRuntimeTypeID : CFTypeID {
  kCFRuntimeAllocator = 1,
  kCFRuntimeNull,
  kCFRuntimeBoolean,
  kCFRuntimeString,
  kCFRuntimeNumber,
  kCFRuntimeData,
  kCFRuntimeArray,
  kCFRuntimeDictionary,
  kCFRuntimeDate,
  kCFRuntimeError,
  kCFRuntimeURL,
  kCFRuntimeBundle,
};

struct CFRuntimeObject {
  explicit CFRuntimeObject(CFAllocatorRef alloc = nullptr) : mAllocator(alloc) {}
  CFRuntimeObject(const CFRuntimeObject&) = delete;
  CFRuntimeObject& operator=(const CFRuntimeObject&) = delete;
  virtual ~CFRuntimeObject() = default;

  virtual CFTypeID TypeID() const = 0;
  // Called only with an object of the same type id.
  virtual bool Equals(const CFRuntimeObject& other) const { return this == &other; }
  virtual CFHashCode Hash() const { return reinterpret_cast<CFHashCode>(this); }
  virtual std::string Describe() const;

  std::atomic<CFIndex> mRetainCount{1};
  // Immortal objects (constant strings, singletons) ignore retain and release.
  bool mImmortal = false;
  CFAllocatorRef mAllocator;
};

// Room in the library's own storage for one object that lives as long as the library: built in
// place and never destroyed, so that users in other static objects' destructors keep working, and
// not on the heap, so that unloading the library takes it along. Needs no initialisation of its
// own, so it is ready before any constructor of the library runs.
template <typename T>
class CFLibraryStorage {
 public:
  template <typename... Args>
  T* Construct(Args&&... args) {
    return ::new (static_cast<void*>(mBytes)) T(std::forward<Args>(args)...);
  }

 private:
  alignas(T) unsigned char mBytes[sizeof(T)];
};

// Null for a null reference.
inline const CFRuntimeObject* CFObj(CFTypeRef cf) {
  return static_cast<const CFRuntimeObject*>(cf);
}

// The object as type T when its type id matches, else null; CF calls use it so that a
// reference of the wrong type is refused instead of misread.
template <typename T>
T* CFCast(CFTypeRef cf) {
  auto* obj = const_cast<CFRuntimeObject*>(CFObj(cf));
  return obj && obj->TypeID() == T::kTypeID ? static_cast<T*>(obj) : nullptr;
}

// As CFCast, but also null for an immutable object, so that mutating calls leave it alone.
template <typename T>
T* CFMutableCast(CFTypeRef cf) {
  T* obj = CFCast<T>(cf);
  return obj && obj->mMutable ? obj : nullptr;
}

// Helpers shared by the implementation files.
std::string CFDescribe(CFTypeRef cf);                         // "(null)" for null
CFStringRef CFStringCreateFromUTF8(const std::string& text);  // never null
const std::string& CFStringUTF8(CFStringRef s);               // empty for null or non-strings
