#pragma once
// Flushes denormal numbers to zero, as inputs and as results, for the life of the object and
// then restores the caller's floating-point mode. Decaying audio produces denormals, which are
// inaudible but cost many times a normal number on most processors; a wrapper holds one of
// these while the plug-in processes a block.

#if defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>
#define ORVANTA_HAS_MXCSR 1
#endif

class ScopedFlushDenormals {
 public:
#ifdef ORVANTA_HAS_MXCSR
  // Control and status register bits: denormal results become zero, denormal inputs read
  // as zero.
  static constexpr unsigned kFlushToZero = 0x8000;
  static constexpr unsigned kDenormalsAreZero = 0x0040;

  ScopedFlushDenormals() : mSaved(_mm_getcsr()) {
    const unsigned flushing = mSaved | kFlushToZero | kDenormalsAreZero;
    // Many hosts already flush; writing the register only when needed keeps the call cheap.
    mChanged = flushing != mSaved;
    if (mChanged) _mm_setcsr(flushing);
  }
  ~ScopedFlushDenormals() {
    // The caller's register comes back as it was. Reading it first to keep the exception
    // flags raised meanwhile would wait for every calculation in flight, which costs more
    // than a small block's processing.
    if (mChanged) _mm_setcsr(mSaved);
  }

 private:
  unsigned mSaved;
  bool mChanged;
#endif
 public:
  ScopedFlushDenormals(const ScopedFlushDenormals&) = delete;
  ScopedFlushDenormals& operator=(const ScopedFlushDenormals&) = delete;
};
