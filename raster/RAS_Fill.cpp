#include "raster/RAS_Fill.h"

#include <cmath>

#include "raster/RAS_Clip.h"
#include "raster/RAS_Combiners.h"
#include "raster/RAS_VectorRows.h"

namespace {

inline unsigned char* bytes(RAS_pixel* p) { return reinterpret_cast<unsigned char*>(p); }

// Solid colour through a byte-wise rule; sa is what the rule sees as the source alpha.
// Loop bounds are copied to locals: the rules store through char pointers, which could
// otherwise alias them and force a reload per pixel.
template <class C>
void solidLoop(const RAS_ClippedArea& a, int r, int g, int b, int sa, int w) {
  RAS_pixel* row = a.firstInMemory();
  const long step = a.memoryStep();
  const int width = a.w, height = a.h;
  for (int y = 0; y < height; ++y, row += step)
    for (int x = 0; x < width; ++x) C::doPix(bytes(row + x), r, g, b, sa, w);
}

// _RAS_CombinePixelsCopyNoClamp of a solid colour whose source alpha is the weight: the
// vector rows where the weight blends (1-255), the rule itself for the rest of each row.
void copyLoop(const RAS_ClippedArea& a, int r, int g, int b, int w) {
  RAS_pixel* row = a.firstInMemory();
  const long step = a.memoryStep();
  const int width = a.w, height = a.h;
  const bool vector = w >= 1 && w <= 255;
  const RAS_pixel c = RAS_RGBA(r, g, b, w);
  for (int y = 0; y < height; ++y, row += step) {
    int x = vector ? RAS_Vector->fillWeighted(row, c, width, w) : 0;
    for (; x < width; ++x) _RAS_CombinePixelsCopyNoClamp::doPix(bytes(row + x), r, g, b, w, w);
  }
}

// Solid colour through a word-wise rule; c is the colour word prepared for the rule.
template <class C>
void wordLoop(const RAS_ClippedArea& a, RAS_pixel c) {
  RAS_pixel* row = a.firstInMemory();
  const long step = a.memoryStep();
  const int width = a.w, height = a.h;
  for (int y = 0; y < height; ++y, row += step)
    for (int x = 0; x < width; ++x) C::doPix(row + x, c);
}

// _RAS_CombinePixelsClobberFAST over the area, whole vectors at a time.
void fillLoop(const RAS_ClippedArea& a, RAS_pixel c) {
  RAS_pixel* row = a.firstInMemory();
  const long step = a.memoryStep();
  const int width = a.w, height = a.h;
  for (int y = 0; y < height; ++y, row += step)
    for (int x = RAS_Vector->fill(row, c, width); x < width; ++x)
      _RAS_CombinePixelsClobberFAST::doPix(row + x, c);
}

// The fixed copy weights done word-wise; false when the weight needs per-channel arithmetic.
bool fastCopy(const RAS_ClippedArea& a, RAS_pixel color, int w) {
  switch (w) {
    case 64:
      wordLoop<_RAS_CombinePixelsQuarterMix2FAST>(a, RAS_QuarterWord(color));
      return true;
    case 128:
      wordLoop<_RAS_CombinePixelsHalfMix2FAST>(a, RAS_HalfWord(color));
      return true;
    case 192:
      wordLoop<_RAS_CombinePixelsThreeQuarterMix2FAST>(
          a, RAS_HalfWord(color) + RAS_QuarterWord(color));
      return true;
    case 256:
      fillLoop(a, color);
      return true;
    default:
      return false;
  }
}

// Byte-wise rules of modes 1-5 for a solid colour; false for other modes.
bool solidMode(const RAS_ClippedArea& a, int mode, int r, int g, int b, int sa, int w) {
  switch (mode & BLIT_MODE_MASK) {
    case BLIT_ADD:
      solidLoop<_RAS_CombinePixelsAdd>(a, r, g, b, sa, w);
      return true;
    case BLIT_DODGE:
      solidLoop<_RAS_CombinePixelsColorDodge>(a, r, g, b, sa, w);
      return true;
    case BLIT_MUL:
      solidLoop<_RAS_CombinePixelsMulNoClamp>(a, r, g, b, sa, w);
      return true;
    case BLIT_OVERLAY:
      solidLoop<_RAS_CombinePixelsOverlay>(a, r, g, b, sa, w);
      return true;
    case BLIT_HSVADJUST:
      solidLoop<_RAS_CombinePixelsHSVAdjust>(a, r, g, b, sa, w);
      return true;
    default:
      return false;
  }
}

// 16.16 fixed point, saturated far beyond any colour so that huge inputs cannot overflow.
inline long long toFixed(double v) {
  const double f = v * 65536.0;
  if (!(f == f)) return 0;
  constexpr double kLimit = 140737488355328.0;  // 2^47
  return f < -kLimit ? -(long long)kLimit : f > kLimit ? (long long)kLimit : (long long)f;
}

template <class C>
void gradLoop(const RAS_ClippedArea& a, const long long start[4], const long long dx[4],
              const long long dy[4]) {
  long long rowv[4] = {start[0], start[1], start[2], start[3]};
  RAS_pixel* row = a.top;
  for (int y = 0; y < a.h; ++y, row += a.step) {
    long long v[4] = {rowv[0], rowv[1], rowv[2], rowv[3]};
    for (int x = 0; x < a.w; ++x) {
      const int alpha = RAS_ClampWeight(v[3] >> 16);
      C::doPix(bytes(row + x), RAS_ClampChannel(v[0] >> 16), RAS_ClampChannel(v[1] >> 16),
               RAS_ClampChannel(v[2] >> 16), alpha, alpha);
      for (int i = 0; i < 4; ++i) v[i] += dx[i];
    }
    for (int i = 0; i < 4; ++i) rowv[i] += dy[i];
  }
}

}  // namespace

void RAS_Clear(RAS_IBitmap* bm, RAS_pixel color) {
  RAS_ClippedArea a;
  if (!RAS_ClipArea(bm, 0, 0, bm ? bm->getWidth() : 0, bm ? bm->getHeight() : 0, &a)) return;
  wordLoop<_RAS_CombinePixelsClobberFAST>(a, color);
}

void RAS_ClearRect(RAS_IBitmap* bm, int x, int y, int w, int h, RAS_pixel keepMask,
                   RAS_pixel setBits) {
  RAS_ClippedArea a;
  if (!RAS_ClipArea(bm, x, y, w, h, &a)) return;
  RAS_pixel* row = a.firstInMemory();
  for (int j = 0; j < a.h; ++j, row += a.memoryStep())
    for (int i = 0; i < a.w; ++i) row[i] = (row[i] & keepMask) | setBits;
}

void RAS_FillRect(RAS_IBitmap* bm, int x, int y, int w, int h, RAS_pixel color, float alpha,
                  int mode) {
  double weightAlpha = alpha;
  if (mode & BLIT_FLAG_SOURCE_ALPHA) weightAlpha *= RAS_GETA(color) / 255.0;
  RAS_ClippedArea a;
  if (!RAS_ClipArea(bm, x, y, w, h, &a) || weightAlpha == 0.0) return;
  const int weight = RAS_WeightFromAlpha(weightAlpha);
  if (weight == 0) return;
  const int r = RAS_GETR(color), g = RAS_GETG(color), b = RAS_GETB(color);

  // The byte-wise rules see the weight itself as the source alpha: a fill moves each pixel's
  // alpha toward the weight. Only the word-wise copies carry the colour's own alpha byte.
  if (mode & BLIT_MODE_MASK) {
    solidMode(a, mode, r, g, b, weight, weight);
    return;
  }
  if (weight < 0 || fastCopy(a, color, weight)) return;
  copyLoop(a, r, g, b, weight);
}

RAS_pixel RAS_GetPixel(RAS_IBitmap* bm, int x, int y) {
  if (!RAS_HasPixels(bm) || x < 0 || y < 0 || x >= bm->getWidth() || y >= bm->getHeight()) return 0;
  return RAS_RowPtr(bm, y)[x];
}

void RAS_PutPixel(RAS_IBitmap* bm, int x, int y, RAS_pixel color, float alpha, int mode) {
  RAS_ClippedArea a;
  if (x < 0 || y < 0 || !RAS_ClipArea(bm, x, y, 1, 1, &a)) return;
  const int weight = RAS_WeightFromAlphaF(alpha);
  if (weight == 0) return;
  const int r = RAS_GETR(color), g = RAS_GETG(color), b = RAS_GETB(color);
  const int ca = RAS_GETA(color);
  if (mode & BLIT_MODE_MASK) {
    solidMode(a, mode, r, g, b, ca, weight);
    return;
  }
  if (weight < 0 || fastCopy(a, color, weight)) return;
  _RAS_CombinePixelsCopyNoClamp::doPix(bytes(a.top), r, g, b, ca, weight);
}

void RAS_MultiplyAddRect(RAS_IBitmap* bm, int x, int y, int w, int h, float rsc, float gsc,
                         float bsc, float asc, float radd, float gadd, float badd, float aadd) {
  RAS_ClippedArea a;
  if (!RAS_ClipArea(bm, x, y, w, h, &a)) return;
  // Fixed point with 8 fraction bits; saturated so that the products stay in 64 bits.
  auto fixed = [](float v) {
    const double f = double(v) * 256.0;
    if (!(f == f)) return 0LL;
    return f < -1e15 ? (long long)-1e15 : f > 1e15 ? (long long)1e15 : (long long)f;
  };
  // Indexed by byte: alpha, red, green, blue.
  const long long scale[4] = {fixed(asc), fixed(rsc), fixed(gsc), fixed(bsc)};
  const long long offset[4] = {fixed(aadd), fixed(radd), fixed(gadd), fixed(badd)};
  RAS_pixel* row = a.firstInMemory();
  for (int j = 0; j < a.h; ++j, row += a.memoryStep()) {
    for (int i = 0; i < a.w; ++i) {
      unsigned char* p = bytes(row + i);
      for (int c = 0; c < 4; ++c) {
        const long long v = offset[c] + scale[c] * p[c];
        p[c] = (unsigned char)(v < 0 ? 0 : (v >> 8) > 255 ? 255 : (v >> 8));
      }
    }
  }
}

void RAS_ProcessRect(RAS_IBitmap* bm, int x, int y, int w, int h,
                     void (*procFunc)(RAS_pixel* p, void* parm), void* parm) {
  RAS_ClippedArea a;
  if (!procFunc || !RAS_ClipArea(bm, x, y, w, h, &a)) return;
  RAS_pixel* row = a.firstInMemory();
  for (int j = 0; j < a.h; ++j, row += a.memoryStep())
    for (int i = 0; i < a.w; ++i) procFunc(row + i, parm);
}

void RAS_GradRect(RAS_IBitmap* bm, int x, int y, int w, int h, float ir, float ig, float ib,
                  float ia, float drdx, float dgdx, float dbdx, float dadx, float drdy, float dgdy,
                  float dbdy, float dady, int mode) {
  // Colours in channel units, alpha in weight units (256 = opaque).
  double start[4] = {ir * 255.0, ig * 255.0, ib * 255.0, ia * 256.0};
  const double dx[4] = {drdx * 255.0, dgdx * 255.0, dbdx * 255.0, dadx * 256.0};
  const double dy[4] = {drdy * 255.0, dgdy * 255.0, dbdy * 255.0, dady * 256.0};
  // Cut-off columns and rows still advance the gradient so that the visible part matches.
  long long cx = x, cy = y, cw = w, ch = h;
  if (cx < 0) {
    for (int i = 0; i < 4; ++i) start[i] -= double(cx) * dx[i];
    cw += cx, cx = 0;
  }
  if (cy < 0) {
    for (int i = 0; i < 4; ++i) start[i] -= double(cy) * dy[i];
    ch += cy, cy = 0;
  }
  if (cw <= 0 || ch <= 0) return;
  RAS_ClippedArea a;
  if (!RAS_ClipArea(bm, int(cx), int(cy), int(cw), int(ch), &a)) return;

  long long s[4], fx[4], fy[4];
  for (int i = 0; i < 4; ++i)
    s[i] = toFixed(start[i]), fx[i] = toFixed(dx[i]), fy[i] = toFixed(dy[i]);
  switch (mode & BLIT_MODE_MASK) {
    case BLIT_COPY:
      gradLoop<_RAS_CombinePixelsCopyClamp>(a, s, fx, fy);
      break;
    case BLIT_ADD:
      gradLoop<_RAS_CombinePixelsAdd>(a, s, fx, fy);
      break;
    case BLIT_DODGE:
      gradLoop<_RAS_CombinePixelsColorDodge>(a, s, fx, fy);
      break;
    case BLIT_MUL:
      gradLoop<_RAS_CombinePixelsMulClamp>(a, s, fx, fy);
      break;
    case BLIT_OVERLAY:
      gradLoop<_RAS_CombinePixelsOverlay>(a, s, fx, fy);
      break;
    case BLIT_HSVADJUST:
      gradLoop<_RAS_CombinePixelsHSVAdjust>(a, s, fx, fy);
      break;
    default:
      break;
  }
}

void RAS_SetAlphaFromColorMask(RAS_IBitmap* bm, RAS_pixel color) {
  RAS_ClippedArea a;
  if (!RAS_ClipArea(bm, 0, 0, bm ? bm->getWidth() : 0, bm ? bm->getHeight() : 0, &a)) return;
  // Only red, green and blue are compared: the colour's alpha byte is taken as 0, so an
  // opaque colour word matches as well as one with alpha 0.
  color &= 0xffffff00;
  RAS_pixel* row = a.firstInMemory();
  for (int j = 0; j < a.h; ++j, row += a.memoryStep()) {
    for (int i = 0; i < a.w; ++i) {
      const RAS_pixel rgb = row[i] & 0xffffff00;
      row[i] = rgb == color ? rgb : row[i] | 0xff;
    }
  }
}

void RAS_SimpleFill(RAS_IBitmap* bm, int x, int y, RAS_pixel newColor, RAS_pixel compareMask,
                    RAS_pixel keepMask) {
  if (!RAS_HasPixels(bm)) return;
  const int w = bm->getWidth(), h = bm->getHeight();
  if (x < 0 || y < 0 || x >= w || y >= h) return;
  // Rows are taken in memory order here: the fill is symmetric in y.
  RAS_pixel* const bits = bm->getBits();
  const long span = bm->getRowSpan();
  const RAS_pixel target = bits[y * span + x] & compareMask;
  auto matches = [&](RAS_pixel p) { return (p & compareMask) == target; };
  auto fillRow = [&](RAS_pixel* row) {
    row[x] = newColor | (row[x] & keepMask);
    for (int i = x + 1; i < w && matches(row[i]); ++i) row[i] = newColor | (row[i] & keepMask);
    for (int i = x - 1; i >= 0 && matches(row[i]); --i) row[i] = newColor | (row[i] & keepMask);
  };
  for (int j = y; j < h && matches(bits[j * span + x]); ++j) fillRow(bits + j * span);
  for (int j = y - 1; j >= 0 && matches(bits[j * span + x]); --j) fillRow(bits + j * span);
}
