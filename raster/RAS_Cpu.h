#pragma once
// Whether the processor and the system can run AVX2 code, for choosing a vector path.
//
// Asked without the CPUID instruction where the C library can answer: under virtualisation
// every CPUID traps to the hypervisor (microseconds each), and the compiler's own check links
// a start-up routine that runs a dozen of them each time a library using it is loaded, which
// for an LV2 audio library is every instance a host makes. The GNU C library's dynamic loader
// has asked once for the process, and tells.

#if defined(__x86_64__) || defined(__i386__)
#if __has_include(<sys/platform/x86.h>)
#if defined(__clang__)
// The header is written for C, where _Bool is a type; GCC accepts it in C++, clang does not.
#define _Bool bool
#include <sys/platform/x86.h>
#undef _Bool
#else
#include <sys/platform/x86.h>
#endif

inline bool RAS_CpuHasAVX2() { return CPU_FEATURE_ACTIVE(AVX2); }
#else
inline bool RAS_CpuHasAVX2() {
  __builtin_cpu_init();  // may run before the run-time library's own initialisation
  return __builtin_cpu_supports("avx2");
}
#endif
#endif
