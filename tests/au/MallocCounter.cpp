#include "au/MallocCounter.h"

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)

bool malloc_counter::Available() { return false; }
long long malloc_counter::Count() { return 0; }

#else

// glibc's own entry points, which the replacements below forward to.
extern "C" void* __libc_malloc(size_t size);
extern "C" void* __libc_calloc(size_t count, size_t size);
extern "C" void* __libc_realloc(void* ptr, size_t size);

namespace {
thread_local long long tAllocations = 0;
}

// Visible to the plug-in the host loads later, so that its calls land here as well (the test
// links with its symbols exported).
#define COUNTED_ALLOCATOR extern "C" __attribute__((visibility("default")))

bool malloc_counter::Available() { return true; }
long long malloc_counter::Count() { return tAllocations; }

COUNTED_ALLOCATOR void* malloc(size_t size) {
  ++tAllocations;
  return __libc_malloc(size);
}

COUNTED_ALLOCATOR void* calloc(size_t count, size_t size) {
  ++tAllocations;
  return __libc_calloc(count, size);
}

COUNTED_ALLOCATOR void* realloc(void* ptr, size_t size) {
  ++tAllocations;
  return __libc_realloc(ptr, size);
}

#endif
