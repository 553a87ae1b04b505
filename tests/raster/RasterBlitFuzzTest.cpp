// Seeded random fills and blits checked against a plain reference written from the combine
// formulas: per-pixel bounds tests instead of clipping arithmetic, picture-order arrays
// instead of row pointers, and no shared code with the library beyond the bitmap classes.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "raster/Raster.h"
#include "raster/RasterTestUtil.h"
#include "support/RandomRun.h"

namespace {

using raster_test::At;
using raster_test::FlippedBitmap;
using raster_test::Rng;

// ---- Reference combine rules, one channel array at a time (index 0 alpha .. 3 blue) ----

int clampc(long long v) { return v < 0 ? 0 : v > 255 ? 255 : int(v); }

struct Px {
  int c[4];  // alpha, red, green, blue
};
Px unpack(uint32_t p) {
  return {{int(p & 255), int(p >> 8 & 255), int(p >> 16 & 255), int(p >> 24)}};
}
uint32_t pack(const int c[4]) {
  return uint32_t(c[0] & 255) | uint32_t(c[1] & 255) << 8 | uint32_t(c[2] & 255) << 16 |
         uint32_t(c[3] & 255) << 24;
}

int tdiv(long long a, long long b) { return int(a / b); }  // C++ truncates toward zero

uint32_t refHsv(uint32_t dest, const Px& s, int w) {
  const Px d = unpack(dest);
  const int r = d.c[1], g = d.c[2], b = d.c[3];
  int base, diff, delta, mx;
  if (r < g && b < g) {
    mx = g, base = 128, diff = b - r, delta = g - std::min(b, r);
  } else if (r < g) {
    mx = b, base = 256, diff = r - g, delta = b - std::min(g, r);
  } else if (b < r) {
    mx = r, base = g < b ? 383 : 0, diff = g - b, delta = r - std::min(g, b);
  } else {
    mx = b, base = 256, diff = r - g, delta = b - std::min(g, r);
  }
  auto inv = [](int i) { return i == 0 ? 0 : 65536 / i - 1; };
  int hue = base + tdiv((long long)w * (s.c[1] + s.c[1] / 2 - 192), 256) +
            tdiv((long long)diff * (inv(delta) + 1), 1024);
  if (hue < 0) hue += 384;
  if (hue >= 384) hue -= 384;
  const int v = clampc(mx + tdiv((long long)w * (s.c[3] - 128), 128));
  const int sat =
      clampc(tdiv((long long)delta * inv(mx), 256) + tdiv((long long)w * (s.c[2] - 128), 128));
  const int low = ((256 - sat) * v) >> 8;
  auto ramp = [&](int dist) { return tdiv((long long)v * (16384 - sat * dist), 16384); };
  int out[4] = {s.c[0], 0, 0, 0};
  const int sector = hue / 64;
  const int rising[6] = {2, 1, 3, 2, 1, 3};  // channel that ramps in each sector
  const int top[6] = {1, 2, 2, 3, 3, 1};     // channel at the value
  const int bottom[6] = {3, 3, 1, 1, 2, 2};  // channel at the low level
  const int dist = sector % 2 == 0 ? 64 * (sector + 1) - hue : hue - 64 * sector;
  out[top[sector]] = v;
  out[bottom[sector]] = low;
  out[rising[sector]] = ramp(dist);
  return pack(out);
}

// The per-channel rules; sa is what the rule sees as source alpha.
uint32_t refRule(int rule, bool srcAlpha, uint32_t dest, Px s, int w) {
  Px d = unpack(dest);
  const int a = s.c[0];
  if (srcAlpha) {
    if (rule == 0 && w == 256) {  // weight-ignoring copy
      if (a == 0) return dest;
      if (a == 255) {
        const int o[4] = {255, s.c[1], s.c[2], s.c[3]};
        return pack(o);
      }
      int o[4] = {std::min(255, d.c[0] + a), 0, 0, 0};
      for (int i = 1; i < 4; ++i)
        o[i] = s.c[i] + tdiv((long long)(d.c[i] - s.c[i]) * (255 - a), 256);
      return pack(o);
    }
    if (a == 0 && (rule == 0 || rule == 1 || rule == 3)) return dest;
    w = tdiv((long long)w * (a + 1), 256);
    if (rule == 0) {
      int o[4] = {std::min(255, d.c[0] + w), 0, 0, 0};
      for (int i = 1; i < 4; ++i)
        o[i] = s.c[i] + tdiv((long long)(d.c[i] - s.c[i]) * (256 - w), 256);
      return pack(o);
    }
  }
  if (rule == 5) return refHsv(dest, s, w);
  int o[4];
  for (int i = 0; i < 4; ++i) {
    const long long dc = d.c[i], sc = s.c[i];
    switch (rule) {
      case 0:
        o[i] = int(sc + tdiv((dc - sc) * (256 - w), 256));
        break;
      case 1:
        o[i] = clampc(dc + tdiv(sc * w, 256));
        break;
      case 2: {
        const long long t = tdiv(sc * w, 256);
        o[i] = t < 255 ? clampc(tdiv(dc * 256, 256 - t)) : clampc(dc * 256);
        break;
      }
      case 3:
        o[i] = int(((sc * w + (256 - w) * 256LL) * dc) >> 16);
        break;
      case 4: {
        const long long t = sc * w + (256 - w) * 128LL;
        o[i] = clampc((tdiv((32768 - t) * dc, 256) + t) * dc >> 15);
        break;
      }
    }
  }
  return pack(o);
}

uint32_t half(uint32_t x) {
  Px p = unpack(x);
  for (int& c : p.c) c >>= 1;
  return pack(p.c);
}
uint32_t quarter(uint32_t x) {
  Px p = unpack(x);
  for (int& c : p.c) c >>= 2;
  return pack(p.c);
}

// ---- Reference bitmap: picture-order pixels ----

struct Ref {
  int w = 0, h = 0;
  std::vector<uint32_t> px;
  uint32_t& at(int x, int y) { return px[size_t(y) * w + x]; }
};

void refFill(Ref& bm, int x, int y, int w, int h, uint32_t color, float alpha, int mode) {
  double al = alpha;
  if (mode & 0x10000) al *= (color & 255) / 255.0;
  if (al == 0) return;
  const int wt = int(al * 256);
  const int rule = mode & 255;
  for (int py = 0; py < bm.h; ++py) {
    for (int px = 0; px < bm.w; ++px) {
      if ((long long)px < x || (long long)px >= (long long)x + w) continue;
      if ((long long)py < y || (long long)py >= (long long)y + h) continue;
      uint32_t& d = bm.at(px, py);
      Px s = unpack(color);
      s.c[0] = wt;
      if (rule != 0) {
        if (wt != 0 && rule <= 5) d = refRule(rule, false, d, s, wt);
      } else if (wt == 256) {
        d = color;
      } else if (wt == 128) {
        d = half(color) + half(d);
      } else if (wt == 64) {
        d = quarter(color) + quarter(d) + half(d);
      } else if (wt == 192) {
        d = half(color) + quarter(color) + quarter(d);
      } else if (wt > 0) {
        d = refRule(0, false, d, s, wt);
      }
    }
  }
}

void refBlit(Ref& dest, const Ref& srcIn, int dx, int dy, RECT r, float alpha, int mode) {
  if (alpha == 0) return;
  const Ref src = srcIn;  // a snapshot, so blits onto the same bitmap read the original
  const long long l = std::max(r.left, 0), t = std::max(r.top, 0);
  const long long rr = std::min<long long>(r.right, src.w),
                  bb = std::min<long long>(r.bottom, src.h);
  const int dispatch = mode & 0x100ff;
  const int wt = int(double(alpha) * 256);
  for (int y = 0; y < dest.h; ++y) {
    for (int x = 0; x < dest.w; ++x) {
      const long long sx = (long long)x - dx + r.left, sy = (long long)y - dy + r.top;
      if (sx < l || sx >= rr || sy < t || sy >= bb) continue;
      const uint32_t sp = src.px[size_t(sy) * src.w + sx];
      uint32_t& d = dest.at(x, y);
      if ((mode & 255) >= 0xf0) {
        const int from = mode & 3, to = mode >> 2 & 3;
        d = (d & ~(0xffu << 8 * to)) | ((sp >> 8 * from & 255) << 8 * to);
      } else if (dispatch == 0 && alpha == 1.0f) {
        d = sp;
      } else if (dispatch == 0 && alpha == 0.5f) {
        d = half(d) + half(sp);
      } else if (wt != 0) {
        const int rule = dispatch & 255;
        const bool sa = dispatch & 0x10000;
        if (rule > 5) continue;
        if (!sa && rule == 0 && wt < 1) continue;
        if (!sa && rule == 0 && wt == 256)
          d = sp;
        else
          d = refRule(rule, sa, d, unpack(sp), wt);
      }
    }
  }
}

// ---- The run ----

struct Slot {
  std::unique_ptr<RAS_IBitmap> bm;
  Ref ref;
};

void Randomise(Slot& s, Rng& rng) {
  const int w = rng.range(1, 24), h = rng.range(1, 24);
  s.bm->resize(w, h);
  s.ref.w = w, s.ref.h = h;
  s.ref.px.assign(size_t(w) * h, 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      // Mostly random words, with runs of the extreme alphas the fast paths care about.
      uint32_t v = rng.next();
      const int kind = rng.range(0, 5);
      if (kind == 0) v &= 0xffffff00;
      if (kind == 1) v |= 0xff;
      s.ref.at(x, y) = At(*s.bm, x, y) = v;
    }
  }
}

uint64_t Hash(uint64_t h, uint32_t v) {
  for (int i = 0; i < 4; ++i) h = (h ^ (v >> 8 * i & 255)) * 0x100000001b3ULL;
  return h;
}

int RandomMode(Rng& rng) {
  const int pick = rng.range(0, 19);
  if (pick < 6) return pick;
  if (pick < 12) return 0x10000 | (pick - 6);
  if (pick < 14) return rng.range(0xf0, 0xff);
  if (pick == 14) return rng.range(6, 0xef) | (rng.next() & 0x10000);
  if (pick == 15) return rng.range(0, 5) | 0x100;  // the filter bit is ignored here
  return rng.range(0, 1) ? 0 : 0x10000;            // weight the common copies
}

float RandomAlpha(Rng& rng) {
  const float fixed[] = {1.0f, 0.5f, 0.25f, 0.75f, 0.999f, 0.0f, -0.25f, 1.5f, 1.0f / 256};
  if (rng.range(0, 2)) return fixed[rng.range(0, 8)];
  return float(rng.range(-50, 700)) / 512.0f;
}

int RandomCoord(Rng& rng) { return rng.range(-12, 30); }

TEST(RasterBlitFuzz, LibraryMatchesReferenceChecksum) {
  RandomRun run(20240611, 4000);
  Rng rng(run.Seed());
  Slot slots[4];
  slots[0].bm = std::make_unique<RAS_MemBitmap>(0, 0, 4);
  slots[1].bm = std::make_unique<RAS_MemBitmap>(0, 0, 1);
  slots[2].bm = std::make_unique<FlippedBitmap>(1, 1);
  slots[3].bm = std::make_unique<RAS_MemBitmap>(0, 0, 16);
  for (Slot& s : slots) Randomise(s, rng);

  uint64_t libHash = 0xcbf29ce484222325ULL, refHash = libHash;
  int firstMismatch = -1;
  for (int step = 0; step < run.Iterations(); ++step) {
    Slot& d = slots[rng.range(0, 3)];
    if (rng.range(0, 40) == 0) Randomise(d, rng);
    const float alpha = RandomAlpha(rng);
    const int mode = RandomMode(rng);
    if (rng.range(0, 2) == 0) {
      const int x = RandomCoord(rng), y = RandomCoord(rng);
      const int w = rng.range(-3, 30), h = rng.range(-3, 30);
      const uint32_t color = rng.next();
      RAS_FillRect(d.bm.get(), x, y, w, h, color, alpha, mode);
      refFill(d.ref, x, y, w, h, color, alpha, mode);
    } else {
      Slot& s = slots[rng.range(0, 3)];
      RECT r = {RandomCoord(rng), RandomCoord(rng), 0, 0};
      r.right = r.left + rng.range(-2, 30);
      r.bottom = r.top + rng.range(-2, 30);
      const int dx = RandomCoord(rng), dy = RandomCoord(rng);
      if (rng.range(0, 1))
        RAS_Blit(d.bm.get(), s.bm.get(), dx, dy, &r, alpha, mode);
      else
        RAS_Blit(d.bm.get(), s.bm.get(), dx, dy, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 alpha, mode);
      refBlit(d.ref, s.ref, dx, dy, r, alpha, mode);
    }
    for (int y = 0; y < d.ref.h; ++y) {
      for (int x = 0; x < d.ref.w; ++x) {
        const uint32_t lib = At(*d.bm, x, y), ref = d.ref.at(x, y);
        libHash = Hash(libHash, lib);
        refHash = Hash(refHash, ref);
        if (lib != ref && firstMismatch < 0) {
          firstMismatch = step;
          ADD_FAILURE() << "step " << step << " mode 0x" << std::hex << mode << std::dec
                        << " alpha " << alpha << " pixel " << x << "," << y << ": library 0x"
                        << std::hex << lib << " reference 0x" << ref;
        }
      }
    }
  }
  EXPECT_EQ(libHash, refHash);
  EXPECT_EQ(firstMismatch, -1);
}

}  // namespace
