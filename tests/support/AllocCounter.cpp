#include "support/AllocCounter.h"

#include <cstdlib>
#include <new>

namespace {
thread_local long long tAllocations = 0;

void* CountedAlloc(std::size_t size) {
  ++tAllocations;
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  return p;
}

void* CountedAlignedAlloc(std::size_t size, std::align_val_t align) {
  ++tAllocations;
  void* p = nullptr;
  if (posix_memalign(&p,
                     static_cast<std::size_t>(align) < sizeof(void*)
                         ? sizeof(void*)
                         : static_cast<std::size_t>(align),
                     size ? size : 1) != 0)
    throw std::bad_alloc();
  return p;
}
}  // namespace

long long alloc_counter::Count() { return tAllocations; }

void* operator new(std::size_t size) { return CountedAlloc(size); }
void* operator new[](std::size_t size) { return CountedAlloc(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  ++tAllocations;
  return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  ++tAllocations;
  return std::malloc(size ? size : 1);
}
void* operator new(std::size_t size, std::align_val_t a) { return CountedAlignedAlloc(size, a); }
void* operator new[](std::size_t size, std::align_val_t a) { return CountedAlignedAlloc(size, a); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
