#pragma once
// Instance benchmarks make and free everything in every round. With glibc's default settings
// the top of the heap goes back to the kernel whenever more than 128 KiB of it is free, unless
// the process once freed a large mapped block (which raises that limit): each round then pays
// for brk calls and fresh pages or not, depending on what ran before in the process. A host's
// heap is long past that point; fixing both limits there lets the rounds compare the code.

#include <malloc.h>

inline const bool kHostLikeHeap =
    mallopt(M_MMAP_THRESHOLD, 32 << 20) == 1 && mallopt(M_TRIM_THRESHOLD, 64 << 20) == 1;
