#pragma once
// Helpers shared by the raster tests: bitmaps with known contents and a bitmap whose rows
// lie bottom-up in memory.

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "raster/Raster.h"

namespace raster_test {

// Rows stored bottom-up: picture row y is memory row height - 1 - y. Spans are padded so
// that rows cannot be confused with the width.
class FlippedBitmap : public RAS_IBitmap {
 public:
  FlippedBitmap(int w, int h, int pad = 3)
      : mW(w), mH(h), mSpan(w + pad), mPix(size_t(mSpan) * h) {}
  RAS_pixel* getBits() override { return mPix.empty() ? nullptr : mPix.data(); }
  int getWidth() override { return mW; }
  int getHeight() override { return mH; }
  int getRowSpan() override { return mSpan; }
  bool isFlipped() override { return true; }
  bool resize(int w, int h) override {
    if (w == mW && h == mH) return false;
    mW = w, mH = h, mSpan = w + 3;
    mPix.assign(size_t(mSpan) * h, 0);
    return true;
  }
  // Direct access in memory order, independent of the library's row addressing.
  RAS_pixel& mem(int x, int memRow) { return mPix[size_t(memRow) * mSpan + x]; }

 private:
  int mW, mH, mSpan;
  std::vector<RAS_pixel> mPix;
};

// Picture pixel (x, y) of any bitmap, computed without the library's helpers.
inline RAS_pixel& At(RAS_IBitmap& bm, int x, int y) {
  const int row = bm.isFlipped() ? bm.getHeight() - 1 - y : y;
  return bm.getBits()[size_t(row) * bm.getRowSpan() + x];
}

inline void FillAll(RAS_IBitmap& bm, RAS_pixel v) {
  for (int y = 0; y < bm.getHeight(); ++y)
    for (int x = 0; x < bm.getWidth(); ++x) At(bm, x, y) = v;
}

using Points = std::set<std::pair<int, int>>;

// The pixels that no longer hold the background colour.
inline Points Changed(RAS_IBitmap& bm, RAS_pixel back) {
  Points out;
  for (int y = 0; y < bm.getHeight(); ++y)
    for (int x = 0; x < bm.getWidth(); ++x)
      if (At(bm, x, y) != back) out.insert({x, y});
  return out;
}

// Every pixel distinct: a pattern that shows any misplaced row or column.
inline void FillPattern(RAS_IBitmap& bm, uint32_t seed = 0) {
  for (int y = 0; y < bm.getHeight(); ++y)
    for (int x = 0; x < bm.getWidth(); ++x)
      At(bm, x, y) = (uint32_t(x) * 0x9E3779B1u) ^ (uint32_t(y) * 0x85EBCA77u) ^ seed;
}

// Small deterministic generator so checksums are the same on every platform.
struct Rng {
  uint64_t s;
  explicit Rng(uint64_t seed) : s(seed * 2 + 1) {}
  uint32_t next() {
    s ^= s << 13, s ^= s >> 7, s ^= s << 17;
    return uint32_t(s >> 11);
  }
  int range(int lo, int hi) { return lo + int(next() % uint32_t(hi - lo + 1)); }
};

}  // namespace raster_test
