#include "host/RealtimeCounter.h"

#include <pthread.h>

#include <cstddef>

namespace {
thread_local int tArmed = 0;
thread_local long long tAllocations = 0;
thread_local long long tLocks = 0;

inline void NoteAllocation() {
  if (tArmed) ++tAllocations;
}
}  // namespace

namespace realtime_counter {

Scope::Scope() : mAllocations(tAllocations), mLocks(tLocks) { ++tArmed; }
Scope::~Scope() { --tArmed; }
long long Scope::Allocations() const { return tAllocations - mAllocations; }
long long Scope::Locks() const { return tLocks - mLocks; }

}  // namespace realtime_counter

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)

// The sanitizer allocator reports every allocation to one installed hook.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*));
namespace {
void OnMalloc(const volatile void*, size_t) { NoteAllocation(); }
void OnFree(const volatile void*) {}
[[maybe_unused]] const int gHooked = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
}  // namespace

bool realtime_counter::CountsLocks() { return false; }

#else

// glibc's own entry points, which the replacements below forward to. The mutex ones are
// exported only under their original version.
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
int __pthread_mutex_lock(pthread_mutex_t*);
int __pthread_mutex_trylock(pthread_mutex_t*);
}
__asm__(".symver __pthread_mutex_lock,__pthread_mutex_lock@GLIBC_2.2.5");
__asm__(".symver __pthread_mutex_trylock,__pthread_mutex_trylock@GLIBC_2.2.5");

bool realtime_counter::CountsLocks() { return true; }

// Exported from the executable, these take precedence over the C library's for every loaded
// library, the plug-in included. Operator new and std::mutex end up here too.
#define COUNTED extern "C" __attribute__((visibility("default")))

COUNTED void* malloc(size_t size) {
  NoteAllocation();
  return __libc_malloc(size);
}
COUNTED void* calloc(size_t count, size_t size) {
  NoteAllocation();
  return __libc_calloc(count, size);
}
COUNTED void* realloc(void* p, size_t size) {
  NoteAllocation();
  return __libc_realloc(p, size);
}
COUNTED int pthread_mutex_lock(pthread_mutex_t* mutex) {
  if (tArmed) ++tLocks;
  return __pthread_mutex_lock(mutex);
}
COUNTED int pthread_mutex_trylock(pthread_mutex_t* mutex) {
  if (tArmed) ++tLocks;
  return __pthread_mutex_trylock(mutex);
}

#endif
