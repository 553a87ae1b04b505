#pragma once
// The channels a processing benchmark hands a plug-in, laid out alike for every format: one
// block of memory, each channel starting on a cache line and one cache line further into a
// 4 KiB page than the one before. Separate vectors land wherever the heap puts them, and when
// an output sits a whole number of pages from its input the processor stalls stores behind
// loads of the same page offset: that alone moved one format's 4096-frame figure by a fifth.

#include <cmath>
#include <cstdint>
#include <vector>

class StereoSignal {
 public:
  explicit StereoSignal(int frames)
      : mStride(((frames + kLine - 1) / kLine + 1) * kLine), mStorage(4 * mStride + kLine) {
    const uintptr_t at = reinterpret_cast<uintptr_t>(mStorage.data());
    mBase = mStorage.data() + (kLine - (at / sizeof(float)) % kLine) % kLine;
    for (int i = 0; i < frames; ++i) {
      In(0)[i] = (float)(0.5 * std::sin(0.013 * i));
      In(1)[i] = (float)(0.35 * std::cos(0.029 * i));
    }
  }
  float* In(int channel) { return mBase + channel * mStride; }
  float* Out(int channel) { return mBase + (2 + channel) * mStride; }

 private:
  static constexpr int kLine = 64 / sizeof(float);
  int mStride;
  std::vector<float> mStorage;
  float* mBase;
};
