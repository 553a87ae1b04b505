// Reference counting, allocators and the generic object operations.

#include <cstdio>
#include <cstdlib>

#include "CFRuntime.h"

std::string CFRuntimeObject::Describe() const {
  char text[64];
  snprintf(text, sizeof(text), "<CFType %p [type %lu]>", static_cast<const void*>(this), TypeID());
  return text;
}

std::string CFDescribe(CFTypeRef cf) { return cf ? CFObj(cf)->Describe() : "(null)"; }

// ---- allocators

struct __CFAllocator : CFRuntimeObject {
  static constexpr CFTypeID kTypeID = kCFRuntimeAllocator;
  CFTypeID TypeID() const override { return kTypeID; }
  explicit __CFAllocator(const CFAllocatorContext& context) : mContext(context) {
    if (mContext.retain) mContext.info = const_cast<void*>(mContext.retain(mContext.info));
  }
  ~__CFAllocator() override {
    if (mContext.release) mContext.release(mContext.info);
  }
  CFAllocatorContext mContext;
};

namespace {

void* MallocAllocate(CFIndex size, CFOptionFlags, void*) {
  return size > 0 ? malloc(static_cast<size_t>(size)) : nullptr;
}
void* MallocReallocate(void* ptr, CFIndex size, CFOptionFlags, void*) {
  return size > 0 ? realloc(ptr, static_cast<size_t>(size)) : nullptr;
}
void MallocDeallocate(void* ptr, void*) { free(ptr); }
void* NullAllocate(CFIndex, CFOptionFlags, void*) { return nullptr; }
void* NullReallocate(void*, CFIndex, CFOptionFlags, void*) { return nullptr; }
void NullDeallocate(void*, void*) {}

__CFAllocator* MakeImmortalAllocator(CFLibraryStorage<__CFAllocator>& storage,
                                     CFAllocatorAllocateCallBack allocate,
                                     CFAllocatorReallocateCallBack reallocate,
                                     CFAllocatorDeallocateCallBack deallocate) {
  CFAllocatorContext context = {0,        nullptr,    nullptr,    nullptr, nullptr,
                                allocate, reallocate, deallocate, nullptr};
  __CFAllocator* a = storage.Construct(context);
  a->mImmortal = true;
  return a;
}

CFLibraryStorage<__CFAllocator> gSystemAllocator, gNullAllocator;

__CFAllocator* SystemAllocator() {
  static __CFAllocator* allocator =
      MakeImmortalAllocator(gSystemAllocator, MallocAllocate, MallocReallocate, MallocDeallocate);
  return allocator;
}

const __CFAllocator* Resolve(CFAllocatorRef allocator) {
  return allocator ? allocator : SystemAllocator();
}

}  // namespace

const CFAllocatorRef kCFAllocatorSystemDefault = SystemAllocator();
const CFAllocatorRef kCFAllocatorMalloc = SystemAllocator();
const CFAllocatorRef kCFAllocatorNull =
    MakeImmortalAllocator(gNullAllocator, NullAllocate, NullReallocate, NullDeallocate);

CFTypeID CFAllocatorGetTypeID(void) { return kCFRuntimeAllocator; }
CFAllocatorRef CFAllocatorGetDefault(void) { return SystemAllocator(); }

CFAllocatorRef CFAllocatorCreate(CFAllocatorRef, CFAllocatorContext* context) {
  if (!context || !context->allocate) return nullptr;
  return new __CFAllocator(*context);
}

void* CFAllocatorAllocate(CFAllocatorRef allocator, CFIndex size, CFOptionFlags hint) {
  const __CFAllocator* a = Resolve(allocator);
  if (size <= 0) return nullptr;
  return a->mContext.allocate(size, hint, a->mContext.info);
}

void* CFAllocatorReallocate(CFAllocatorRef allocator, void* ptr, CFIndex newsize,
                            CFOptionFlags hint) {
  const __CFAllocator* a = Resolve(allocator);
  if (!ptr) return CFAllocatorAllocate(allocator, newsize, hint);
  if (newsize <= 0) {
    CFAllocatorDeallocate(allocator, ptr);
    return nullptr;
  }
  if (!a->mContext.reallocate) return nullptr;
  return a->mContext.reallocate(ptr, newsize, hint, a->mContext.info);
}

void CFAllocatorDeallocate(CFAllocatorRef allocator, void* ptr) {
  const __CFAllocator* a = Resolve(allocator);
  if (ptr && a->mContext.deallocate) a->mContext.deallocate(ptr, a->mContext.info);
}

// ---- generic operations

CFTypeID CFGetTypeID(CFTypeRef cf) { return cf ? CFObj(cf)->TypeID() : 0; }

CFTypeRef CFRetain(CFTypeRef cf) {
  if (!cf) return nullptr;
  auto* obj = const_cast<CFRuntimeObject*>(CFObj(cf));
  if (!obj->mImmortal) obj->mRetainCount.fetch_add(1, std::memory_order_relaxed);
  return cf;
}

void CFRelease(CFTypeRef cf) {
  if (!cf) return;
  auto* obj = const_cast<CFRuntimeObject*>(CFObj(cf));
  if (obj->mImmortal) return;
  if (obj->mRetainCount.fetch_sub(1, std::memory_order_acq_rel) == 1) delete obj;
}

CFIndex CFGetRetainCount(CFTypeRef cf) {
  if (!cf) return 0;
  const CFRuntimeObject* obj = CFObj(cf);
  // What the Mac reports for objects that are never freed.
  if (obj->mImmortal) return 0x0FFFFFFFFFFFFFFFL;
  return obj->mRetainCount.load(std::memory_order_relaxed);
}

Boolean CFEqual(CFTypeRef cf1, CFTypeRef cf2) {
  if (cf1 == cf2) return true;
  if (!cf1 || !cf2) return false;
  const CFRuntimeObject* a = CFObj(cf1);
  const CFRuntimeObject* b = CFObj(cf2);
  return a->TypeID() == b->TypeID() && a->Equals(*b);
}

CFHashCode CFHash(CFTypeRef cf) { return cf ? CFObj(cf)->Hash() : 0; }

CFStringRef CFCopyDescription(CFTypeRef cf) {
  return cf ? CFStringCreateFromUTF8(CFObj(cf)->Describe()) : nullptr;
}

CFStringRef CFCopyTypeIDDescription(CFTypeID typeID) {
  static const char* const names[] = {
      "",        "CFAllocator",  "CFNull", "CFBoolean", "CFString", "CFNumber", "CFData",
      "CFArray", "CFDictionary", "CFDate", "CFError",   "CFURL",    "CFBundle"};
  if (typeID == 0 || typeID >= sizeof(names) / sizeof(names[0])) return nullptr;
  return CFStringCreateFromUTF8(names[typeID]);
}

CFAllocatorRef CFGetAllocator(CFTypeRef cf) {
  return cf && CFObj(cf)->mAllocator ? CFObj(cf)->mAllocator : SystemAllocator();
}

void CFShow(CFTypeRef obj) { fprintf(stderr, "%s\n", CFDescribe(obj).c_str()); }

// ---- null and booleans

struct __CFNull : CFRuntimeObject {
  static constexpr CFTypeID kTypeID = kCFRuntimeNull;
  CFTypeID TypeID() const override { return kTypeID; }
  std::string Describe() const override { return "<CFNull>"; }
};

struct __CFBoolean : CFRuntimeObject {
  static constexpr CFTypeID kTypeID = kCFRuntimeBoolean;
  explicit __CFBoolean(bool value) : mValue(value) { mImmortal = true; }
  CFTypeID TypeID() const override { return kTypeID; }
  std::string Describe() const override { return mValue ? "true" : "false"; }
  CFHashCode Hash() const override { return mValue; }
  const bool mValue;
};

namespace {
CFLibraryStorage<__CFNull> gNull;
CFLibraryStorage<__CFBoolean> gTrue, gFalse;

__CFNull* MakeNull() {
  __CFNull* n = gNull.Construct();
  n->mImmortal = true;
  return n;
}
}  // namespace

const CFNullRef kCFNull = MakeNull();
const CFBooleanRef kCFBooleanTrue = gTrue.Construct(true);
const CFBooleanRef kCFBooleanFalse = gFalse.Construct(false);

CFTypeID CFNullGetTypeID(void) { return kCFRuntimeNull; }
CFTypeID CFBooleanGetTypeID(void) { return kCFRuntimeBoolean; }
Boolean CFBooleanGetValue(CFBooleanRef boolean) {
  auto* b = CFCast<__CFBoolean>(boolean);
  return b && b->mValue;
}

// ---- run loops: handles only

struct __CFRunLoop {
  int unused;
};

namespace {
__CFRunLoop gMainRunLoop;
}

const CFStringRef kCFRunLoopDefaultMode = CFSTR("kCFRunLoopDefaultMode");
const CFStringRef kCFRunLoopCommonModes = CFSTR("kCFRunLoopCommonModes");
CFRunLoopRef CFRunLoopGetCurrent(void) { return &gMainRunLoop; }
CFRunLoopRef CFRunLoopGetMain(void) { return &gMainRunLoop; }
