// Error objects.

#include "CFRuntime.h"

struct __CFError : CFRuntimeObject {
  static constexpr CFTypeID kTypeID = kCFRuntimeError;
  __CFError(CFAllocatorRef alloc, CFStringRef domain, CFIndex code, CFDictionaryRef userInfo)
      : CFRuntimeObject(alloc),
        mDomain(static_cast<CFStringRef>(CFRetain(domain))),
        mCode(code),
        mUserInfo(static_cast<CFDictionaryRef>(CFRetain(userInfo))) {}
  ~__CFError() override {
    CFRelease(mDomain);
    CFRelease(mUserInfo);
  }
  CFTypeID TypeID() const override { return kTypeID; }
  std::string Describe() const override {
    CFTypeRef text = mUserInfo ? CFDictionaryGetValue(mUserInfo, kCFErrorDescriptionKey) : nullptr;
    if (CFGetTypeID(text) == CFStringGetTypeID())
      return CFStringUTF8(static_cast<CFStringRef>(text));
    return "The operation couldn't be completed. (" + CFStringUTF8(mDomain) + " error " +
           std::to_string(mCode) + ".)";
  }
  CFStringRef mDomain;
  CFIndex mCode;
  CFDictionaryRef mUserInfo;
};

const CFErrorDomain kCFErrorDomainPOSIX = CFSTR("NSPOSIXErrorDomain");
const CFErrorDomain kCFErrorDomainOSStatus = CFSTR("NSOSStatusErrorDomain");
const CFErrorDomain kCFErrorDomainCocoa = CFSTR("NSCocoaErrorDomain");
const CFStringRef kCFErrorDescriptionKey = CFSTR("NSDescription");

CFTypeID CFErrorGetTypeID(void) { return kCFRuntimeError; }

CFErrorRef CFErrorCreate(CFAllocatorRef allocator, CFErrorDomain domain, CFIndex code,
                         CFDictionaryRef userInfo) {
  if (!domain) return nullptr;
  return new __CFError(allocator, domain, code, userInfo);
}

CFErrorDomain CFErrorGetDomain(CFErrorRef err) {
  const __CFError* e = CFCast<__CFError>(err);
  return e ? e->mDomain : nullptr;
}

CFIndex CFErrorGetCode(CFErrorRef err) {
  const __CFError* e = CFCast<__CFError>(err);
  return e ? e->mCode : 0;
}

CFDictionaryRef CFErrorCopyUserInfo(CFErrorRef err) {
  const __CFError* e = CFCast<__CFError>(err);
  if (!e) return nullptr;
  if (e->mUserInfo) return static_cast<CFDictionaryRef>(CFRetain(e->mUserInfo));
  return CFDictionaryCreate(nullptr, nullptr, nullptr, 0, &kCFTypeDictionaryKeyCallBacks,
                            &kCFTypeDictionaryValueCallBacks);
}

CFStringRef CFErrorCopyDescription(CFErrorRef err) {
  const __CFError* e = CFCast<__CFError>(err);
  return e ? CFStringCreateFromUTF8(e->Describe()) : nullptr;
}
