#pragma once
// Pixel words and mode words shared by every drawing operation.
//
// A pixel is one 32-bit word: alpha in bits 0-7, red 8-15, green 16-23, blue 24-31, i.e. the
// bytes alpha, red, green, blue in memory on a little-endian host. Channels are not
// premultiplied.

#include <cstdint>

typedef unsigned int RAS_pixel;

enum : int {
  RAS_PIXEL_A = 0,  // byte index of each channel within a pixel
  RAS_PIXEL_R = 1,
  RAS_PIXEL_G = 2,
  RAS_PIXEL_B = 3,
};

constexpr RAS_pixel RAS_RGBA(int r, int g, int b, int a) {
  return (RAS_pixel(a) & 0xff) | ((RAS_pixel(r) & 0xff) << 8) | ((RAS_pixel(g) & 0xff) << 16) |
         ((RAS_pixel(b) & 0xff) << 24);
}
constexpr int RAS_GETA(RAS_pixel p) { return int(p & 0xff); }
constexpr int RAS_GETR(RAS_pixel p) { return int((p >> 8) & 0xff); }
constexpr int RAS_GETG(RAS_pixel p) { return int((p >> 16) & 0xff); }
constexpr int RAS_GETB(RAS_pixel p) { return int(p >> 24); }

// Mode word: the low byte picks the combine rule, two flag bits modify it.
enum : int {
  BLIT_COPY = 0,
  BLIT_ADD = 1,
  BLIT_DODGE = 2,
  BLIT_MUL = 3,
  BLIT_OVERLAY = 4,
  BLIT_HSVADJUST = 5,
  BLIT_MODE_MASK = 0xff,
  // Low bytes 0xf0-0xff: bits 0-1 source byte, bits 2-3 destination byte (RAS_Blit only).
  BLIT_CHANNEL_COPY = 0xf0,
  BLIT_FLAG_FILTER = 0x100,
  BLIT_FLAG_SOURCE_ALPHA = 0x10000,
  // The bits that select a combiner; everything else in the mode word is ignored.
  BLIT_DISPATCH_MASK = 0x100ff,
};

constexpr int RAS_ChannelCopyMode(int srcByte, int destByte) {
  return BLIT_CHANNEL_COPY | (srcByte & 3) | ((destByte & 3) << 2);
}

// Weights beyond this magnitude are cut off so that the combiners' integer arithmetic cannot
// overflow; real callers pass alphas between 0 and 1, and extrapolation up to sixteen times
// the source stays exact.
constexpr int RAS_WEIGHT_LIMIT = 4096;
// Channel values handed to combiners (gradients may overshoot) are held within this range.
constexpr int RAS_CHANNEL_LIMIT = 65536;

constexpr int RAS_ClampWeight(long long w) {
  return w < -RAS_WEIGHT_LIMIT  ? -RAS_WEIGHT_LIMIT
         : w > RAS_WEIGHT_LIMIT ? RAS_WEIGHT_LIMIT
                                : int(w);
}
constexpr int RAS_ClampChannel(long long c) {
  return c < -RAS_CHANNEL_LIMIT  ? -RAS_CHANNEL_LIMIT
         : c > RAS_CHANNEL_LIMIT ? RAS_CHANNEL_LIMIT
                                 : int(c);
}

// (int)(alpha * 256), truncated toward zero, computed in double precision. NaN gives 0 and
// out-of-range alphas saturate instead of invoking an undefined float-to-int conversion.
inline int RAS_WeightFromAlpha(double alpha) {
  const double w = alpha * 256.0;
  if (!(w == w)) return 0;
  if (w <= -RAS_WEIGHT_LIMIT) return -RAS_WEIGHT_LIMIT;
  if (w >= RAS_WEIGHT_LIMIT) return RAS_WEIGHT_LIMIT;
  return int(w);
}
// The same in single precision, for the operations that form the weight from a float product.
inline int RAS_WeightFromAlphaF(float alpha) {
  const float w = alpha * 256.0f;
  if (!(w == w)) return 0;
  if (w <= -RAS_WEIGHT_LIMIT) return -RAS_WEIGHT_LIMIT;
  if (w >= RAS_WEIGHT_LIMIT) return RAS_WEIGHT_LIMIT;
  return int(w);
}
