// Dates.

#include <cstdio>
#include <ctime>

#include "CFRuntime.h"

struct __CFDate : CFRuntimeObject {
  static constexpr CFTypeID kTypeID = kCFRuntimeDate;
  __CFDate(CFAllocatorRef alloc, CFAbsoluteTime at) : CFRuntimeObject(alloc), mTime(at) {}
  CFTypeID TypeID() const override { return kTypeID; }
  bool Equals(const CFRuntimeObject& other) const override {
    return mTime == static_cast<const __CFDate&>(other).mTime;
  }
  CFHashCode Hash() const override { return static_cast<CFHashCode>(static_cast<SInt64>(mTime)); }
  std::string Describe() const override {
    char text[64];
    time_t t = static_cast<time_t>(mTime + kCFAbsoluteTimeIntervalSince1970);
    struct tm parts;
    gmtime_r(&t, &parts);
    strftime(text, sizeof(text), "%Y-%m-%d %H:%M:%S +0000", &parts);
    return text;
  }
  const CFAbsoluteTime mTime;
};

const CFTimeInterval kCFAbsoluteTimeIntervalSince1970 = 978307200.0;

CFAbsoluteTime CFAbsoluteTimeGetCurrent(void) {
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9 - kCFAbsoluteTimeIntervalSince1970;
}

CFTypeID CFDateGetTypeID(void) { return kCFRuntimeDate; }

CFDateRef CFDateCreate(CFAllocatorRef allocator, CFAbsoluteTime at) {
  return new __CFDate(allocator, at);
}

CFAbsoluteTime CFDateGetAbsoluteTime(CFDateRef theDate) {
  const __CFDate* d = CFCast<__CFDate>(theDate);
  return d ? d->mTime : 0;
}
