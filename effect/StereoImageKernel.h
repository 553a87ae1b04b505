#pragma once
// The effect's per-frame rule, for 32-bit and 64-bit samples:
//   mid = (l + r) * midWeight, side = (l - r) * sideWeight, outL = mid + side, outR = mid - side
// (the output gain is folded into both weights). Vector versions run several frames side by
// side; each performs exactly these operations in this order on every frame, with no fused
// multiply-add, so every version gives the same samples for any block length and any split
// of a buffer into blocks. The outputs may be the input arrays.

enum class KernelPath { kScalar, kSSE2, kAVX2 };

template <class T>
using StereoImageFunc = void (*)(const T* inL, const T* inR, T* outL, T* outR, int nFrames,
                                 T midWeight, T sideWeight);

// The version of a path, or null when this processor cannot run it.
template <class T>
StereoImageFunc<T> StereoImageKernel(KernelPath path);

// The fastest path this processor runs, found once when the plug-in is loaded.
KernelPath BestKernelPath();

// The rule on the fastest path. nFrames <= 0 does nothing.
void StereoImage(const float* inL, const float* inR, float* outL, float* outR, int nFrames,
                 float midWeight, float sideWeight);
void StereoImage(const double* inL, const double* inR, double* outL, double* outR, int nFrames,
                 double midWeight, double sideWeight);
