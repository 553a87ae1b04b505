#include "AllocationCount.h"

#include <atomic>
#include <cstdlib>
#include <new>

// glibc's own allocator entry points, so the replacements below can forward to them.
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);
}

namespace {

std::atomic<bool> gCounting{false};
std::atomic<long long> gCount{0};

inline void Note() {
  if (gCounting.load(std::memory_order_relaxed)) gCount.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

namespace allocation_count {

void Start() {
  gCount = 0;
  gCounting = true;
}

long long Stop() {
  gCounting = false;
  return gCount.load();
}

}  // namespace allocation_count

// Exported from the executable, these take precedence over libc's for every loaded library,
// the plug-in included.
#define ORVANTA_EXPORT __attribute__((visibility("default")))
extern "C" ORVANTA_EXPORT void* malloc(size_t size) {
  Note();
  return __libc_malloc(size);
}
extern "C" ORVANTA_EXPORT void* calloc(size_t count, size_t size) {
  Note();
  return __libc_calloc(count, size);
}
extern "C" ORVANTA_EXPORT void* realloc(void* p, size_t size) {
  Note();
  return __libc_realloc(p, size);
}
extern "C" ORVANTA_EXPORT void free(void* p) { __libc_free(p); }

ORVANTA_EXPORT void* operator new(size_t size) {
  void* p = malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  return p;
}
ORVANTA_EXPORT void* operator new[](size_t size) { return operator new(size); }
ORVANTA_EXPORT void operator delete(void* p) noexcept { free(p); }
ORVANTA_EXPORT void operator delete[](void* p) noexcept { free(p); }
ORVANTA_EXPORT void operator delete(void* p, size_t) noexcept { free(p); }
ORVANTA_EXPORT void operator delete[](void* p, size_t) noexcept { free(p); }
