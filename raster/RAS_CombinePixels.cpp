#include "raster/RAS_Combiners.h"

namespace {

constexpr int kHueSteps = 384;  // 64 per sector: red, yellow, green, cyan, blue, magenta

}  // namespace

void ras_detail::hsvAdjust(unsigned char* dest, int sr, int sg, int sb, int sa, int w) {
  const Channels d = get4(dest);
  const int r = d.r, g = d.g, b = d.b;
  int base, diff, delta, max;
  if (r < g) {
    if (b < g) {  // green largest
      max = g;
      base = 128;
      diff = b - r;
      delta = g - (b < r ? b : r);
    } else {  // blue largest
      max = b;
      base = 256;
      diff = r - g;
      delta = b - (g < r ? g : r);
    }
  } else if (b < r) {  // red largest
    max = r;
    base = g < b ? 383 : 0;
    diff = g - b;
    delta = r - (g < b ? g : b);
  } else {  // blue largest
    max = b;
    base = 256;
    diff = r - g;
    delta = b - (g < r ? g : r);
  }

  const unsigned short* inv = RAS_RGB2HSV_invtab;
  int hue = base + w * (sr + sr / 2 - 192) / 256 + diff * (inv[delta] + 1) / 1024;
  // One wrap covers every weight up to 256; extrapolating weights may need more.
  if (hue < 0) hue += kHueSteps;
  if (hue >= kHueSteps) hue -= kHueSteps;
  if (hue < 0 || hue >= kHueSteps) hue = ((hue % kHueSteps) + kHueSteps) % kHueSteps;

  const int value = RAS_Clamp255(max + w * (sb - 128) / 128);
  const int sat = RAS_Clamp255(delta * inv[max] / 256 + w * (sg - 128) / 128);

  const int low = ((256 - sat) * value) >> 8;
  auto ramp = [&](int dist) { return value * (16384 - sat * dist) / 16384; };
  int nr, ng, nb;
  if (hue < 64) {
    nr = value, nb = low, ng = ramp(64 - hue);
  } else if (hue < 128) {
    ng = value, nb = low, nr = ramp(hue - 64);
  } else if (hue < 192) {
    ng = value, nr = low, nb = ramp(192 - hue);
  } else if (hue < 256) {
    nb = value, nr = low, ng = ramp(hue - 192);
  } else if (hue < 320) {
    nb = value, ng = low, nr = ramp(320 - hue);
  } else {
    nr = value, ng = low, nb = ramp(hue - 320);
  }
  put4(dest, nr, ng, nb, sa);
}

namespace {

template <class C>
inline void apply(RAS_pixel* pix, int r, int g, int b, int a, int w) {
  C::doPix(reinterpret_cast<unsigned char*>(pix), r, g, b, a, w);
}

// The twelve cases of the mode word shared by the component entry points; the copy and
// multiply rules are parameters so the clamping variant can swap them.
template <class Copy, class Clobber, class Mul, bool kClampSourceAlpha>
void combine2(RAS_pixel* pix, int r, int g, int b, int a, int weight, int mode) {
  if (!pix) return;
  const int w = RAS_ClampWeight(weight);
  if (w == 0) return;
  r = RAS_ClampChannel(r), g = RAS_ClampChannel(g), b = RAS_ClampChannel(b);
  a = RAS_ClampChannel(a);
  if (kClampSourceAlpha && (mode & BLIT_FLAG_SOURCE_ALPHA)) {
    r = RAS_Clamp255(r), g = RAS_Clamp255(g), b = RAS_Clamp255(b), a = RAS_Clamp255(a);
  }
  switch (mode & BLIT_DISPATCH_MASK) {
    case BLIT_COPY:
      if (w >= 1) {
        if (w == 256)
          apply<Clobber>(pix, r, g, b, a, w);
        else
          apply<Copy>(pix, r, g, b, a, w);
      }
      break;
    case BLIT_ADD:
      apply<_RAS_CombinePixelsAdd>(pix, r, g, b, a, w);
      break;
    case BLIT_DODGE:
      apply<_RAS_CombinePixelsColorDodge>(pix, r, g, b, a, w);
      break;
    case BLIT_MUL:
      apply<Mul>(pix, r, g, b, a, w);
      break;
    case BLIT_OVERLAY:
      apply<_RAS_CombinePixelsOverlay>(pix, r, g, b, a, w);
      break;
    case BLIT_HSVADJUST:
      apply<_RAS_CombinePixelsHSVAdjust>(pix, r, g, b, a, w);
      break;
    case BLIT_FLAG_SOURCE_ALPHA | BLIT_COPY:
      if (w == 256)
        apply<_RAS_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp>(pix, r, g, b, a, w);
      else
        apply<_RAS_CombinePixelsCopySourceAlphaNoClamp>(pix, r, g, b, a, w);
      break;
    case BLIT_FLAG_SOURCE_ALPHA | BLIT_ADD:
      apply<_RAS_CombinePixelsAddSourceAlpha>(pix, r, g, b, a, w);
      break;
    case BLIT_FLAG_SOURCE_ALPHA | BLIT_DODGE:
      apply<_RAS_CombinePixelsColorDodgeSourceAlpha>(pix, r, g, b, a, w);
      break;
    case BLIT_FLAG_SOURCE_ALPHA | BLIT_MUL:
      apply<_RAS_CombinePixelsMulSourceAlphaNoClamp>(pix, r, g, b, a, w);
      break;
    case BLIT_FLAG_SOURCE_ALPHA | BLIT_OVERLAY:
      apply<_RAS_CombinePixelsOverlaySourceAlpha>(pix, r, g, b, a, w);
      break;
    case BLIT_FLAG_SOURCE_ALPHA | BLIT_HSVADJUST:
      apply<_RAS_CombinePixelsHSVAdjustSourceAlpha>(pix, r, g, b, a, w);
      break;
    default:
      break;
  }
}

}  // namespace

RAS_pixel RAS_CombinePixels(RAS_pixel dest, RAS_pixel src, float alpha, int mode) {
  const int w = RAS_WeightFromAlphaF(alpha);
  if (w == 0) return dest;
  // Copy at full weight hands back the source word whole, alpha byte included.
  if ((mode & BLIT_DISPATCH_MASK) == BLIT_COPY && w == 256) return src;
  combine2<_RAS_CombinePixelsCopyNoClamp, _RAS_CombinePixelsClobberNoClamp,
           _RAS_CombinePixelsMulNoClamp, false>(&dest, RAS_GETR(src), RAS_GETG(src), RAS_GETB(src),
                                                RAS_GETA(src), w, mode);
  return dest;
}

void RAS_CombinePixels2(RAS_pixel* pix, int r, int g, int b, int a, int weight, int mode) {
  combine2<_RAS_CombinePixelsCopyNoClamp, _RAS_CombinePixelsClobberNoClamp,
           _RAS_CombinePixelsMulNoClamp, false>(pix, r, g, b, a, weight, mode);
}

void RAS_CombinePixels2Clamp(RAS_pixel* pix, int r, int g, int b, int a, int weight, int mode) {
  combine2<_RAS_CombinePixelsCopyClamp, _RAS_CombinePixelsClobberClamp, _RAS_CombinePixelsMulClamp,
           true>(pix, r, g, b, a, weight, mode);
}
