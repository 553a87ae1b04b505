#pragma once
// Helpers for the cached-font tests: fonts by DejaVu face, ink boxes, distinct pixel values.

#include <set>
#include <string>

#include "platform/gdi/GDI.h"
#include "raster/Raster.h"

namespace text_test {

constexpr RAS_pixel kWhite = 0xffffffff;

inline HFONT Face(int height, int quality = 4, const char* face = "DejaVu Sans", int weight = 400) {
  return CreateFont(height, 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, (char)quality, 0, face);
}

inline RAS_pixel& Pix(RAS_IBitmap* bm, int x, int y) {
  const int row = bm->isFlipped() ? bm->getHeight() - 1 - y : y;
  return bm->getBits()[(size_t)row * bm->getRowSpan() + x];
}

// Bounding box of the pixels that differ from the background; all zero when none do.
inline RECT InkBox(RAS_IBitmap* bm, RAS_pixel background = kWhite) {
  RECT box{bm->getWidth(), bm->getHeight(), 0, 0};
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
      if (Pix(bm, x, y) != background) {
        if (x < box.left) box.left = x;
        if (y < box.top) box.top = y;
        if (x + 1 > box.right) box.right = x + 1;
        if (y + 1 > box.bottom) box.bottom = y + 1;
      }
  if (box.right == 0) box = RECT{0, 0, 0, 0};
  return box;
}

inline bool Empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

inline std::set<RAS_pixel> Distinct(RAS_IBitmap* bm) {
  std::set<RAS_pixel> values;
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x) values.insert(Pix(bm, x, y));
  return values;
}

inline std::string Pixels(RAS_IBitmap* bm) {
  std::string out;
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x) {
      const RAS_pixel p = Pix(bm, x, y);
      out.append(reinterpret_cast<const char*>(&p), 4);
    }
  return out;
}

}  // namespace text_test
