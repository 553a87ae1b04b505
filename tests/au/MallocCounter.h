#pragma once
// Counts the C allocations (malloc, calloc, realloc) made by the calling thread, wherever they
// come from: the test, the plug-in or the platform library. Operator new ends up here too.
// Sanitizer builds replace the allocator themselves; there the counter is not available.

namespace malloc_counter {

bool Available();
long long Count();

}  // namespace malloc_counter
