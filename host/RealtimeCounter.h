#pragma once
// Counts what the audio thread must not do: heap allocations (malloc, calloc, realloc and
// everything built on them, operator new included) and mutex acquisitions, made by the calling
// thread while a Scope is open, wherever they come from: the caller, a loaded plug-in or the
// platform libraries. Link the orvanta_realtime_counter library into the executable; it
// replaces the C library's entry points for the whole process.

namespace realtime_counter {

// Sanitizer runtimes own the mutex entry points, so their builds count allocations only.
bool CountsLocks();

// Counting is per thread and nests; a scope counts from its own opening.
class Scope {
 public:
  Scope();
  ~Scope();
  Scope(const Scope&) = delete;
  Scope& operator=(const Scope&) = delete;

  long long Allocations() const;
  long long Locks() const;

 private:
  long long mAllocations, mLocks;
};

}  // namespace realtime_counter
