#pragma once
// Counts heap allocations made by the calling thread while a scope is open.
// Link tests/support/AllocCounter.cpp into the test executable to use it.

namespace alloc_counter {

// Allocations (operator new and malloc-family through new) made on this thread so far.
long long Count();

class Scope {
 public:
  Scope() : mStart(Count()) {}
  long long Allocations() const { return Count() - mStart; }

 private:
  long long mStart;
};

}  // namespace alloc_counter
