// The vector rows on AVX2, compiled for AVX2 alone (no FMA) and used only when the CPU
// reports it. Everything here has internal linkage, so no AVX2 code can stand in for an
// inline function of another file.

#include <immintrin.h>

#include <cstdint>

#include "raster/RAS_VectorRows.h"

namespace {

struct AVX2 {
  using T = __m256i;
  static constexpr int kBytes = 32;
  static constexpr const char* kName = "AVX2";
  static T zero() { return _mm256_setzero_si256(); }
  static T load(const void* p) { return _mm256_loadu_si256((const T*)p); }
  static void store(void* p, T v) { _mm256_storeu_si256((T*)p, v); }
  // Eight 16-bit values, four into the low half of each 128-bit lane, in the order lo8 and
  // hi8 take pixels (0-3 in the first lane, 4-7 in the second).
  static T loadHalf(const unsigned short* p) {
    const T x = _mm256_castsi128_si256(_mm_loadu_si128((const __m128i*)p));
    return _mm256_permute4x64_epi64(x, _MM_SHUFFLE(3, 1, 2, 0));
  }
  static T set16(short v) { return _mm256_set1_epi16(v); }
  static T set32(int v) { return _mm256_set1_epi32(v); }
  static T set64(long long v) { return _mm256_set1_epi64x(v); }
  static T lo8(T a, T b) { return _mm256_unpacklo_epi8(a, b); }
  static T hi8(T a, T b) { return _mm256_unpackhi_epi8(a, b); }
  static T lo16(T a, T b) { return _mm256_unpacklo_epi16(a, b); }
  static T hi16(T a, T b) { return _mm256_unpackhi_epi16(a, b); }
  static T packus16(T a, T b) { return _mm256_packus_epi16(a, b); }
  static T packs32(T a, T b) { return _mm256_packs_epi32(a, b); }
  static T addsu8(T a, T b) { return _mm256_adds_epu8(a, b); }
  static T add16(T a, T b) { return _mm256_add_epi16(a, b); }
  static T sub16(T a, T b) { return _mm256_sub_epi16(a, b); }
  static T add32(T a, T b) { return _mm256_add_epi32(a, b); }
  static T mullo16(T a, T b) { return _mm256_mullo_epi16(a, b); }
  static T mulhiu16(T a, T b) { return _mm256_mulhi_epu16(a, b); }
  static T srli16(T a, int n) { return _mm256_srli_epi16(a, n); }
  static T srai16(T a, int n) { return _mm256_srai_epi16(a, n); }
  static T srli32(T a, int n) { return _mm256_srli_epi32(a, n); }
  static T and_(T a, T b) { return _mm256_and_si256(a, b); }
  static T andnot(T a, T b) { return _mm256_andnot_si256(a, b); }
  static T or_(T a, T b) { return _mm256_or_si256(a, b); }
  static T xor_(T a, T b) { return _mm256_xor_si256(a, b); }
  static T cmpeq16(T a, T b) { return _mm256_cmpeq_epi16(a, b); }
  static T cmpeq32(T a, T b) { return _mm256_cmpeq_epi32(a, b); }
  static T shufflelo16_0(T a) { return _mm256_shufflelo_epi16(a, 0); }
  static T shufflehi16_0(T a) { return _mm256_shufflehi_epi16(a, 0); }
  static T spreadLo(T w) {
    const T x = _mm256_unpacklo_epi16(w, w);
    return _mm256_unpacklo_epi32(x, x);
  }
  static T spreadHi(T w) {
    const T x = _mm256_unpacklo_epi16(w, w);
    return _mm256_unpackhi_epi32(x, x);
  }
};

#include "raster/RAS_VectorRowsImpl.h"

}  // namespace

// Only the address of the table: no AVX2 instruction runs here.
const RAS_VectorRows* RAS_VectorRowsAVX2Unchecked() { return &Kernels<AVX2>::kRows; }
