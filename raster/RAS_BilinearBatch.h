#pragma once
// Bilinear samples of a resampling loop collected in small batches, mixed by the vector
// rows (exactly Mix4) and then handed to the loop's combiner in the order they were added.

#include "raster/RAS_ShapeKit.h"
#include "raster/RAS_VectorRows.h"

namespace ras_shape {

template <class C>
class BilinearBatch {
 public:
  // A blit of a bitmap onto itself mixes each sample at once, so that later samples see
  // earlier results as they always did.
  explicit BilinearBatch(bool onItself) : mLimit(onItself ? 1 : kSize) {}
  ~BilinearBatch() { Flush(); }
  BilinearBatch(const BilinearBatch&) = delete;
  BilinearBatch& operator=(const BilinearBatch&) = delete;

  // The sample of destination pixel d: neighbours (x, y), (x+1, y), (x, y+1), (x+1, y+1) and
  // the 16-bit fractions, combined at weight w.
  void Add(RAS_pixel* d, RAS_pixel p00, RAS_pixel p10, RAS_pixel p01, RAS_pixel p11, unsigned fx,
           unsigned fy, int w) {
    const int i = mCount;
    mDest[i] = d, mP00[i] = p00, mP10[i] = p10, mP01[i] = p01, mP11[i] = p11;
    mFx[i] = (unsigned short)fx, mFy[i] = (unsigned short)fy, mWeight[i] = w;
    if (++mCount == mLimit) Flush();
  }
  void Add(RAS_pixel* d, const BilinearSample& s, int w) {
    Add(d, s.p00, s.p10, s.p01, s.p11, s.fx, s.fy, w);
  }

  void Flush() {
    const int n = mCount;
    mCount = 0;
    int i = RAS_Vector->mix4(mOut, mP00, mP10, mP01, mP11, mFx, mFy, n);
    for (; i < n; ++i) mOut[i] = Mix4(mP00[i], mP10[i], mP01[i], mP11[i], mFx[i], mFy[i]);
    for (i = 0; i < n; ++i) PlotWord<C>(mDest[i], mOut[i], mWeight[i]);
  }

 private:
  static constexpr int kSize = 64;
  int mLimit;
  int mCount = 0;
  int mWeight[kSize];
  RAS_pixel* mDest[kSize];
  RAS_pixel mP00[kSize], mP10[kSize], mP01[kSize], mP11[kSize], mOut[kSize];
  unsigned short mFx[kSize], mFy[kSize];
};

}  // namespace ras_shape
