// Half-size reduction and blur with bytewise word arithmetic.

#include "raster/RAS_BlitFilters.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "raster/RAS_ShapeKit.h"

using namespace ras_shape;

namespace {
inline RAS_pixel Half(RAS_pixel x) { return (x >> 1) & 0x7f7f7f7f; }
inline RAS_pixel Quarter(RAS_pixel x) { return (x >> 2) & 0x3f3f3f3f; }
inline RAS_pixel Eighth(RAS_pixel x) { return (x >> 3) & 0x1f1f1f1f; }

// One blurred row from the rows above, at and below it (null at the area's edge). Where a
// neighbour is missing, the other one on that axis counts a quarter instead of an eighth, so
// the weights still add up to one and no byte can carry into the next.
void BlurRow(RAS_pixel* out, const RAS_pixel* up, const RAS_pixel* mid, const RAS_pixel* down,
             int w) {
  for (int x = 0; x < w; ++x) {
    RAS_pixel v = Half(mid[x]);
    if (x == 0)
      v += Quarter(mid[1]);
    else if (x == w - 1)
      v += Quarter(mid[x - 1]);
    else
      v += Eighth(mid[x - 1]) + Eighth(mid[x + 1]);
    if (!up)
      v += Quarter(down[x]);
    else if (!down)
      v += Quarter(up[x]);
    else
      v += Eighth(up[x]) + Eighth(down[x]);
    out[x] = v;
  }
}
}  // namespace

void RAS_HalveBlitAA(RAS_IBitmap* dest, RAS_IBitmap* src) {
  if (!RAS_HasPixels(dest) || !RAS_HasPixels(src)) return;
  const int w = std::min(dest->getWidth(), src->getWidth() / 2);
  const int h = std::min(dest->getHeight(), src->getHeight() / 2);
  const long ss = src->getRowSpan(), ds = dest->getRowSpan();
  // Memory order on both sides, as the reduction has always worked.
  for (int y = 0; y < h; ++y) {
    const RAS_pixel* a = src->getBits() + 2 * y * ss;
    const RAS_pixel* b = a + ss;
    RAS_pixel* d = dest->getBits() + y * ds;
    for (int x = 0; x < w; ++x)
      d[x] = Quarter(a[2 * x]) + Quarter(a[2 * x + 1]) + Quarter(b[2 * x]) + Quarter(b[2 * x + 1]);
  }
}

void RAS_Blur(RAS_IBitmap* dest, RAS_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw,
              int srch) {
  Surface d, s;
  if (!d.Open(dest) || !s.Open(src)) return;
  long long sx = srcx, sy = srcy, w = srcw, h = srch, dx = dstx, dy = dsty;
  if (sx < 0) w += sx, dx -= sx, sx = 0;
  if (sy < 0) h += sy, dy -= sy, sy = 0;
  if (dx < 0) w += dx, sx -= dx, dx = 0;
  if (dy < 0) h += dy, sy -= dy, dy = 0;
  w = std::min({w, s.w - sx, d.w - dx});
  h = std::min({h, s.h - sy, d.h - dy});
  if (w < 2 || h < 2) return;
  const int W = int(w), H = int(h);
  auto srcRow = [&](int j) { return s.At(int(sx), int(sy) + j); };
  auto dstRow = [&](int j) { return d.At(int(dx), int(dy) + j); };

  if (dest != src) {
    for (int j = 0; j < H; ++j)
      BlurRow(dstRow(j), j > 0 ? srcRow(j - 1) : nullptr, srcRow(j),
              j + 1 < H ? srcRow(j + 1) : nullptr, W);
    return;
  }
  if (sx != dx || sy != dy) {
    // Shifted in place: work from a copy of the area so no blurred pixel is read again.
    std::vector<RAS_pixel> copy((size_t)W * H);
    for (int j = 0; j < H; ++j) std::memcpy(&copy[(size_t)j * W], srcRow(j), W * 4);
    auto row = [&](int j) { return &copy[(size_t)j * W]; };
    for (int j = 0; j < H; ++j)
      BlurRow(dstRow(j), j > 0 ? row(j - 1) : nullptr, row(j), j + 1 < H ? row(j + 1) : nullptr, W);
    return;
  }
  // In place: keep the two most recent source rows, since the rows above are already blurred.
  constexpr int kOnStack = 1024;
  RAS_pixel stackRows[2 * kOnStack];
  std::vector<RAS_pixel> heapRows;
  RAS_pixel* keep = stackRows;
  if (W > kOnStack) {
    heapRows.resize((size_t)2 * W);
    keep = heapRows.data();
  }
  RAS_pixel* above = keep;
  RAS_pixel* current = keep + W;
  for (int j = 0; j < H; ++j) {
    std::memcpy(current, srcRow(j), W * 4);
    BlurRow(dstRow(j), j > 0 ? above : nullptr, current, j + 1 < H ? srcRow(j + 1) : nullptr, W);
    std::swap(above, current);
  }
}
