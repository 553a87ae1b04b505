// The vector rows on SSE2, which every x86-64 CPU has.

#include <emmintrin.h>

#include <cstdint>

#include "raster/RAS_Cpu.h"
#include "raster/RAS_VectorRows.h"

namespace {

struct SSE2 {
  using T = __m128i;
  static constexpr int kBytes = 16;
  static constexpr const char* kName = "SSE2";
  static T zero() { return _mm_setzero_si128(); }
  static T load(const void* p) { return _mm_loadu_si128((const T*)p); }
  static void store(void* p, T v) { _mm_storeu_si128((T*)p, v); }
  // Four 16-bit values into the low half.
  static T loadHalf(const unsigned short* p) { return _mm_loadl_epi64((const T*)p); }
  static T set16(short v) { return _mm_set1_epi16(v); }
  static T set32(int v) { return _mm_set1_epi32(v); }
  static T set64(long long v) { return _mm_set1_epi64x(v); }
  static T lo8(T a, T b) { return _mm_unpacklo_epi8(a, b); }
  static T hi8(T a, T b) { return _mm_unpackhi_epi8(a, b); }
  static T lo16(T a, T b) { return _mm_unpacklo_epi16(a, b); }
  static T hi16(T a, T b) { return _mm_unpackhi_epi16(a, b); }
  static T packus16(T a, T b) { return _mm_packus_epi16(a, b); }
  static T packs32(T a, T b) { return _mm_packs_epi32(a, b); }
  static T addsu8(T a, T b) { return _mm_adds_epu8(a, b); }
  static T add16(T a, T b) { return _mm_add_epi16(a, b); }
  static T sub16(T a, T b) { return _mm_sub_epi16(a, b); }
  static T add32(T a, T b) { return _mm_add_epi32(a, b); }
  static T mullo16(T a, T b) { return _mm_mullo_epi16(a, b); }
  static T mulhiu16(T a, T b) { return _mm_mulhi_epu16(a, b); }
  static T srli16(T a, int n) { return _mm_srli_epi16(a, n); }
  static T srai16(T a, int n) { return _mm_srai_epi16(a, n); }
  static T srli32(T a, int n) { return _mm_srli_epi32(a, n); }
  static T and_(T a, T b) { return _mm_and_si128(a, b); }
  static T andnot(T a, T b) { return _mm_andnot_si128(a, b); }
  static T or_(T a, T b) { return _mm_or_si128(a, b); }
  static T xor_(T a, T b) { return _mm_xor_si128(a, b); }
  static T cmpeq16(T a, T b) { return _mm_cmpeq_epi16(a, b); }
  static T cmpeq32(T a, T b) { return _mm_cmpeq_epi32(a, b); }
  static T shufflelo16_0(T a) { return _mm_shufflelo_epi16(a, 0); }
  static T shufflehi16_0(T a) { return _mm_shufflehi_epi16(a, 0); }
  // Per-pixel 16-bit values (low half) spread over the four lanes of the pixels that lo8 /
  // hi8 of a pixel vector hold.
  static T spreadLo(T w) {
    const T x = _mm_unpacklo_epi16(w, w);
    return _mm_unpacklo_epi32(x, x);
  }
  static T spreadHi(T w) {
    const T x = _mm_unpacklo_epi16(w, w);
    return _mm_unpackhi_epi32(x, x);
  }
};

#include "raster/RAS_VectorRowsImpl.h"

}  // namespace

const RAS_VectorRows* RAS_VectorRowsSSE2() { return &Kernels<SSE2>::kRows; }

const RAS_VectorRows* RAS_VectorRowsAVX2() {
  // Asked here, in code built for any x86-64, before any AVX2 code is touched.
  return RAS_CpuHasAVX2() ? RAS_VectorRowsAVX2Unchecked() : nullptr;
}

// SSE2 from the start, so that drawing during another file's start-up is safe; AVX2 as soon
// as this file's initialisation has asked the CPU.
const RAS_VectorRows* RAS_Vector = &Kernels<SSE2>::kRows;
namespace {
[[maybe_unused]] const bool kPicked = [] {
  if (const RAS_VectorRows* avx2 = RAS_VectorRowsAVX2()) RAS_Vector = avx2;
  return true;
}();
}  // namespace
