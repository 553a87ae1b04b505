#pragma once
// Helpers for drawing tests on memory contexts.

#include <cstdint>
#include <cstring>
#include <set>
#include <string>

#include "platform/gdi/GDI.h"

namespace gdi_test {

// Frame-buffer pixels as words: byte 0 skipped, then red, green, blue.
inline uint32_t* Pixels(HDC ctx) { return static_cast<uint32_t*>(GDI_GetCtxFrameBuffer(ctx)); }

inline void Fill(HDC ctx, int w, int h, uint32_t word) {
  uint32_t* p = Pixels(ctx);
  for (int i = 0; i < w * h; ++i) p[i] = word;
}

// Bounding box of the pixels that differ from the background word; all zero when none do.
inline RECT InkBox(HDC ctx, int w, int h, uint32_t background) {
  RECT box{w, h, 0, 0};
  const uint32_t* p = Pixels(ctx);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (p[y * w + x] != background) {
        box.left = std::min<int>(box.left, x);
        box.top = std::min<int>(box.top, y);
        box.right = std::max<int>(box.right, x + 1);
        box.bottom = std::max<int>(box.bottom, y + 1);
      }
  if (box.right == 0) box = RECT{0, 0, 0, 0};
  return box;
}

inline std::set<uint32_t> DistinctPixels(HDC ctx, int w, int h) {
  const uint32_t* p = Pixels(ctx);
  return std::set<uint32_t>(p, p + w * h);
}

inline std::string Snapshot(HDC ctx, int w, int h) {
  return std::string(reinterpret_cast<const char*>(Pixels(ctx)), (size_t)w * h * 4);
}

inline HFONT MakeFont(int height, const char* face = "DejaVu Sans", int quality = 4,
                      int weight = 400, bool italic = false) {
  return CreateFont(height, 0, 0, 0, weight, italic ? 1 : 0, 0, 0, 0, 0, 0, (char)quality, 0, face);
}

// Pixel word of a context colour drawn at full coverage (the skipped byte becomes 255).
inline uint32_t WordOf(int color) {
  return 0xffu | (uint32_t)((color >> 16) & 0xff) << 8 | (uint32_t)((color >> 8) & 0xff) << 16 |
         (uint32_t)(color & 0xff) << 24;
}

}  // namespace gdi_test
