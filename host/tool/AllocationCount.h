#pragma once
// Heap allocations made anywhere in the process (operator new and the C allocator) while
// counting is on, so the validator can show that rendering allocates nothing.

namespace allocation_count {

void Start();
// Stops counting and returns the allocations since Start.
long long Stop();

}  // namespace allocation_count
