#pragma once
// Per-pixel combine rules. Each rule is a type with one static doPix, so that every drawing
// loop is instantiated once per rule and the inner loop never branches on the mode.
//
// doPix(dest, r, g, b, a, w): dest points at the four bytes of a pixel (alpha, red, green,
// blue); r, g, b, a are the source channels (normally 0-255) and w the weight (256 = fully
// the source). Divisions by 256 truncate toward zero because differences may be negative.
// Values written without a clamp keep their low 8 bits.

#include <cstring>

#include "raster/RAS_Pixel.h"

inline int RAS_Clamp255(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }
inline int RAS_Clamp255(long long v) { return v < 0 ? 0 : v > 255 ? 255 : int(v); }

// Reciprocal table of the HSV adjust: entry 0 is 0, entry i is 65536 / i - 1.
struct RAS_RGB2HSV_InvTable {
  unsigned short v[256];
  constexpr RAS_RGB2HSV_InvTable() : v() {
    for (int i = 1; i < 256; ++i) v[i] = (unsigned short)(65536 / i - 1);
  }
};
inline constexpr RAS_RGB2HSV_InvTable RAS_RGB2HSV_invtable_data;
inline constexpr const unsigned short (&RAS_RGB2HSV_invtab)[256] = RAS_RGB2HSV_invtable_data.v;

namespace ras_detail {
// A pixel's channels read with one word load and written with one word store (the byte
// order of the pixel layout is that of a little-endian word), which keeps the loops
// vectorisable.
struct Channels {
  int r, g, b, a;
};
inline Channels get4(const unsigned char* dest) {
  RAS_pixel x;
  memcpy(&x, dest, 4);
  return {RAS_GETR(x), RAS_GETG(x), RAS_GETB(x), RAS_GETA(x)};
}
inline void put4(unsigned char* dest, int r, int g, int b, int a) {
  const RAS_pixel x = RAS_RGBA(r, g, b, a);
  memcpy(dest, &x, 4);
}
inline int copyCh(int d, int s, int inv) { return s + (d - s) * inv / 256; }
inline int addCh(int d, int s, int w) { return RAS_Clamp255(d + s * w / 256); }
inline int dodgeCh(int d, int s, int w) {
  const int t = s * w / 256;
  return t < 255 ? RAS_Clamp255(d * 256 / (256 - t)) : RAS_Clamp255(d * 256);
}
inline long long mulCh(int d, int s, int w) {
  return (((long long)s * w + (256LL - w) * 256) * d) >> 16;
}
inline int overlayCh(int d, int s, int w) {
  const long long t = (long long)s * w + (256LL - w) * 128;
  return RAS_Clamp255(((32768 - t) * d / 256 + t) * d >> 15);
}
void hsvAdjust(unsigned char* dest, int r, int g, int b, int a, int w);
}  // namespace ras_detail

struct _RAS_CombinePixelsClobberNoClamp {
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int) {
    ras_detail::put4(dest, r, g, b, a);
  }
};

// For interpolated sources that may overshoot (gradients).
struct _RAS_CombinePixelsClobberClamp {
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int) {
    ras_detail::put4(dest, RAS_Clamp255(r), RAS_Clamp255(g), RAS_Clamp255(b), RAS_Clamp255(a));
  }
};

struct _RAS_CombinePixelsCopyNoClamp {
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w) {
    using namespace ras_detail;
    const Channels d = get4(dest);
    const int inv = 256 - w;
    put4(dest, copyCh(d.r, r, inv), copyCh(d.g, g, inv), copyCh(d.b, b, inv), copyCh(d.a, a, inv));
  }
};

struct _RAS_CombinePixelsCopyClamp {
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w) {
    using namespace ras_detail;
    const Channels d = get4(dest);
    const int inv = 256 - w;
    put4(dest, RAS_Clamp255(copyCh(d.r, r, inv)), RAS_Clamp255(copyCh(d.g, g, inv)),
         RAS_Clamp255(copyCh(d.b, b, inv)), RAS_Clamp255(copyCh(d.a, a, inv)));
  }
};

// Ignores the weight; lines and circles use it at alpha 0.5.
struct _RAS_CombinePixelsHalfMixNoClamp {
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int) {
    const ras_detail::Channels d = ras_detail::get4(dest);
    ras_detail::put4(dest, (d.r + r) >> 1, (d.g + g) >> 1, (d.b + b) >> 1, (d.a + a) >> 1);
  }
};

struct _RAS_CombinePixelsAdd {
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w) {
    using namespace ras_detail;
    const Channels d = get4(dest);
    put4(dest, addCh(d.r, r, w), addCh(d.g, g, w), addCh(d.b, b, w), addCh(d.a, a, w));
  }
};

struct _RAS_CombinePixelsColorDodge {
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w) {
    using namespace ras_detail;
    const Channels d = get4(dest);
    put4(dest, dodgeCh(d.r, r, w), dodgeCh(d.g, g, w), dodgeCh(d.b, b, w), dodgeCh(d.a, a, w));
  }
};

// Weight 0 leaves the destination; weight 256 gives s * d / 256.
struct _RAS_CombinePixelsMulNoClamp {
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w) {
    using namespace ras_detail;
    const Channels d = get4(dest);
    put4(dest, int(mulCh(d.r, r, w)), int(mulCh(d.g, g, w)), int(mulCh(d.b, b, w)),
         int(mulCh(d.a, a, w)));
  }
};

struct _RAS_CombinePixelsMulClamp {
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w) {
    using namespace ras_detail;
    const Channels d = get4(dest);
    put4(dest, RAS_Clamp255(mulCh(d.r, r, w)), RAS_Clamp255(mulCh(d.g, g, w)),
         RAS_Clamp255(mulCh(d.b, b, w)), RAS_Clamp255(mulCh(d.a, a, w)));
  }
};

// The source is pulled toward mid-grey by the weight (t is that value scaled by 256).
struct _RAS_CombinePixelsOverlay {
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w) {
    using namespace ras_detail;
    const Channels d = get4(dest);
    put4(dest, overlayCh(d.r, r, w), overlayCh(d.g, g, w), overlayCh(d.b, b, w),
         overlayCh(d.a, a, w));
  }
};

// Moves the destination's hue, saturation and value by the source's red, green and blue
// (signed controls centred on 128); the source alpha becomes the result's alpha.
struct _RAS_CombinePixelsHSVAdjust {
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w) {
    ras_detail::hsvAdjust(dest, r, g, b, a, w);
  }
};

// Source-alpha forms: the weight is further scaled by the source alpha byte,
// w' = w * (a + 1) / 256.

// The copy forms compute every case and pick one word to store, without early returns, so
// that the loops around them stay free of branches.
struct _RAS_CombinePixelsCopySourceAlphaNoClamp {
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w) {
    using namespace ras_detail;
    RAS_pixel old;
    memcpy(&old, dest, 4);
    const Channels d = get4(dest);
    const int sw = w * (a + 1) / 256;
    const int inv = 256 - sw;
    const int da = d.a + sw;
    const RAS_pixel blended = RAS_RGBA(copyCh(d.r, r, inv), copyCh(d.g, g, inv),
                                       copyCh(d.b, b, inv), da < 255 ? da : 255);
    const RAS_pixel x = a == 0 ? old : blended;
    memcpy(dest, &x, 4);
  }
};

// Used at weight 256: only the source alpha blends. Note the 255 - a (not 256 - a).
struct _RAS_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp {
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int) {
    using namespace ras_detail;
    RAS_pixel old;
    memcpy(&old, dest, 4);
    const Channels d = get4(dest);
    const int inv = 255 - a;
    const int da = d.a + a;
    const RAS_pixel blended = RAS_RGBA(copyCh(d.r, r, inv), copyCh(d.g, g, inv),
                                       copyCh(d.b, b, inv), da < 255 ? da : 255);
    const RAS_pixel x = a == 0 ? old : a == 255 ? RAS_RGBA(r, g, b, 255) : blended;
    memcpy(dest, &x, 4);
  }
};

struct _RAS_CombinePixelsAddSourceAlpha {
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w) {
    if (a == 0) return;
    _RAS_CombinePixelsAdd::doPix(dest, r, g, b, a, w * (a + 1) / 256);
  }
};

struct _RAS_CombinePixelsColorDodgeSourceAlpha {
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w) {
    _RAS_CombinePixelsColorDodge::doPix(dest, r, g, b, a, w * (a + 1) / 256);
  }
};

struct _RAS_CombinePixelsMulSourceAlphaNoClamp {
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w) {
    if (a == 0) return;
    _RAS_CombinePixelsMulNoClamp::doPix(dest, r, g, b, a, w * (a + 1) / 256);
  }
};

struct _RAS_CombinePixelsOverlaySourceAlpha {
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w) {
    _RAS_CombinePixelsOverlay::doPix(dest, r, g, b, a, w * (a + 1) / 256);
  }
};

struct _RAS_CombinePixelsHSVAdjustSourceAlpha {
  static inline void doPix(unsigned char* dest, int r, int g, int b, int a, int w) {
    ras_detail::hsvAdjust(dest, r, g, b, a, w * (a + 1) / 256);
  }
};

// Word-wise rules for the fixed weights of fills and plain copies: all four bytes at once.
// Each result byte is a sum of truncated parts, so white half-mixed with white gives 254.

inline RAS_pixel RAS_HalfWord(RAS_pixel x) { return (x >> 1) & 0x7f7f7f7f; }
inline RAS_pixel RAS_QuarterWord(RAS_pixel x) { return (x >> 2) & 0x3f3f3f3f; }

// Weight 256: the colour word replaces the pixel.
struct _RAS_CombinePixelsClobberFAST {
  static inline void doPix(RAS_pixel* dest, RAS_pixel c) { *dest = c; }
};

// Weight 128; the caller passes half(c), computed once.
struct _RAS_CombinePixelsHalfMix2FAST {
  static inline void doPix(RAS_pixel* dest, RAS_pixel halfc) {
    *dest = halfc + RAS_HalfWord(*dest);
  }
};

// Weight 64; the caller passes quarter(c).
struct _RAS_CombinePixelsQuarterMix2FAST {
  static inline void doPix(RAS_pixel* dest, RAS_pixel quarterc) {
    const RAS_pixel x = *dest;
    *dest = quarterc + RAS_QuarterWord(x) + RAS_HalfWord(x);
  }
};

// Weight 192; the caller passes half(c) + quarter(c).
struct _RAS_CombinePixelsThreeQuarterMix2FAST {
  static inline void doPix(RAS_pixel* dest, RAS_pixel threequarterc) {
    *dest = threequarterc + RAS_QuarterWord(*dest);
  }
};

// Plain copy blits at alpha 0.5: source word and destination word halved and summed.
struct _RAS_CombinePixelsHalfMixFAST {
  static inline void doPix(RAS_pixel* dest, RAS_pixel src) {
    *dest = RAS_HalfWord(*dest) + RAS_HalfWord(src);
  }
};

// General-purpose entry points.

// Returns dest combined with src at the weight formed from alpha, by the mode word.
RAS_pixel RAS_CombinePixels(RAS_pixel dest, RAS_pixel src, float alpha, int mode);
// Combines a colour given as components into *pix in place; weight 0 does nothing.
void RAS_CombinePixels2(RAS_pixel* pix, int r, int g, int b, int a, int weight, int mode);
// The same with the clamping copy and multiply rules.
void RAS_CombinePixels2Clamp(RAS_pixel* pix, int r, int g, int b, int a, int weight, int mode);
