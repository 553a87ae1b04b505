#include "effect/StereoImageKernel.h"

#include <cstring>

#include "raster/RAS_Cpu.h"

// Built with -ffp-contract=off: a multiply feeding an add must stay two roundings on every
// path, or the vector versions would drift from the scalar one.

namespace {

template <class T>
[[gnu::always_inline]] inline void ScalarFrames(const T* inL, const T* inR, T* outL, T* outR,
                                                int nFrames, T midWeight, T sideWeight) {
  for (int i = 0; i < nFrames; ++i) {
    // Both inputs of a frame are read before either output is written (in place).
    const T left = inL[i], right = inR[i];
    const T mid = (left + right) * midWeight;
    const T side = (left - right) * sideWeight;
    outL[i] = mid + side;
    outR[i] = mid - side;
  }
}

// kBytes wide vectors of T, then the remaining frames one by one. Inlined into functions
// compiled for a given instruction set, which decides the instructions these become.
template <class T, int kBytes>
[[gnu::always_inline]] inline void VectorFrames(const T* inL, const T* inR, T* outL, T* outR,
                                                int nFrames, T midWeight, T sideWeight) {
  typedef T Vec __attribute__((vector_size(kBytes)));
  constexpr int kLanes = kBytes / (int)sizeof(T);
  const Vec midWeights = Vec{} + midWeight;
  const Vec sideWeights = Vec{} + sideWeight;
  int i = 0;
  for (; i + kLanes <= nFrames; i += kLanes) {
    // Host arrays need not be aligned to the vector width.
    Vec left, right;
    std::memcpy(&left, inL + i, sizeof(Vec));
    std::memcpy(&right, inR + i, sizeof(Vec));
    const Vec mid = (left + right) * midWeights;
    const Vec side = (left - right) * sideWeights;
    const Vec outLeft = mid + side, outRight = mid - side;
    std::memcpy(outL + i, &outLeft, sizeof(Vec));
    std::memcpy(outR + i, &outRight, sizeof(Vec));
  }
  ScalarFrames(inL + i, inR + i, outL + i, outR + i, nFrames - i, midWeight, sideWeight);
}

template <class T>
void Scalar(const T* inL, const T* inR, T* outL, T* outR, int nFrames, T midWeight, T sideWeight) {
  ScalarFrames(inL, inR, outL, outR, nFrames, midWeight, sideWeight);
}

#if defined(__x86_64__) || defined(__i386__)
#define ORVANTA_X86 1

// SSE2 is part of every x86-64 processor, so the default instruction set is the baseline.
template <class T>
void SSE2(const T* inL, const T* inR, T* outL, T* outR, int nFrames, T midWeight, T sideWeight) {
  VectorFrames<T, 16>(inL, inR, outL, outR, nFrames, midWeight, sideWeight);
}

template <class T>
__attribute__((target("avx2"))) void AVX2(const T* inL, const T* inR, T* outL, T* outR, int nFrames,
                                          T midWeight, T sideWeight) {
  VectorFrames<T, 32>(inL, inR, outL, outR, nFrames, midWeight, sideWeight);
}

bool Supports(KernelPath path) {
  switch (path) {
    case KernelPath::kScalar:
    case KernelPath::kSSE2:
      return true;
    case KernelPath::kAVX2:
      return RAS_CpuHasAVX2();
  }
  return false;
}
#else
bool Supports(KernelPath path) { return path == KernelPath::kScalar; }
#endif

KernelPath DetectBestPath() {
  if (Supports(KernelPath::kAVX2)) return KernelPath::kAVX2;
  if (Supports(KernelPath::kSSE2)) return KernelPath::kSSE2;
  return KernelPath::kScalar;
}

const KernelPath sBestPath = DetectBestPath();
const StereoImageFunc<float> sBestFloat = StereoImageKernel<float>(sBestPath);
const StereoImageFunc<double> sBestDouble = StereoImageKernel<double>(sBestPath);

}  // namespace

template <class T>
StereoImageFunc<T> StereoImageKernel(KernelPath path) {
  if (!Supports(path)) return nullptr;
  switch (path) {
    case KernelPath::kScalar:
      return Scalar<T>;
#ifdef ORVANTA_X86
    case KernelPath::kSSE2:
      return SSE2<T>;
    case KernelPath::kAVX2:
      return AVX2<T>;
#endif
    default:
      return nullptr;
  }
}

template StereoImageFunc<float> StereoImageKernel<float>(KernelPath);
template StereoImageFunc<double> StereoImageKernel<double>(KernelPath);

KernelPath BestKernelPath() { return sBestPath; }

void StereoImage(const float* inL, const float* inR, float* outL, float* outR, int nFrames,
                 float midWeight, float sideWeight) {
  sBestFloat(inL, inR, outL, outR, nFrames, midWeight, sideWeight);
}

void StereoImage(const double* inL, const double* inR, double* outL, double* outR, int nFrames,
                 double midWeight, double sideWeight) {
  sBestDouble(inL, inR, outL, outR, nFrames, midWeight, sideWeight);
}
