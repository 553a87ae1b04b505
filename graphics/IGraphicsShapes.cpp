// Points, lines and shapes: each one raster call (or a few) into the off-screen surface.

#include <cmath>

#include "graphics/DrawingHelpers.h"
#include "graphics/IGraphics.h"
#include "raster/Raster.h"

using namespace drawing;

namespace {
float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }
}  // namespace

// ---- Points, lines and shapes ----

// A call handed no colour or no rectangle has nothing to draw: it draws nothing and answers as
// a fully clipped one does.

bool IGraphics::DrawPoint(const IColor* pColor, float x, float y, const IChannelBlend* pBlend,
                          bool) {
  if (!pColor) return true;
  RAS_PutPixel(mDrawBitmap, (int)(x + 0.5f), (int)(y + 0.5f), Pack(pColor), BlendWeight(pBlend),
               BlendMode(pBlend));
  return true;
}

bool IGraphics::ForcePixel(const IColor* pColor, int x, int y) {
  RAS_pixel* bits = mDrawBitmap ? mDrawBitmap->getBits() : nullptr;
  // A stray coordinate must not write outside the surface.
  if (!pColor || !bits || x < 0 || y < 0 || x >= mDrawBitmap->getWidth() ||
      y >= mDrawBitmap->getHeight())
    return false;
  bits[(long)y * mDrawBitmap->getRowSpan() + x] = Pack(pColor);
  return true;
}

IColor IGraphics::GetPoint(int x, int y) { return IColor::Unpack(RAS_GetPixel(mDrawBitmap, x, y)); }

bool IGraphics::DrawLine(const IColor* pColor, float x1, float y1, float x2, float y2,
                         const IChannelBlend* pBlend, bool antiAlias) {
  if (!pColor) return true;
  RAS_Line(mDrawBitmap, (int)x1, (int)y1, (int)x2, (int)y2, Pack(pColor), BlendWeight(pBlend),
           BlendMode(pBlend), antiAlias);
  return true;
}

bool IGraphics::DrawArc(const IColor* pColor, float cx, float cy, float r, float minAngle,
                        float maxAngle, const IChannelBlend* pBlend, bool antiAlias) {
  if (!pColor) return true;
  RAS_Arc(mDrawBitmap, cx, cy, r, minAngle, maxAngle, Pack(pColor), BlendWeight(pBlend),
          BlendMode(pBlend), antiAlias);
  return true;
}

bool IGraphics::DrawCircle(const IColor* pColor, float cx, float cy, float r,
                           const IChannelBlend* pBlend, bool antiAlias) {
  if (!pColor) return true;
  RAS_Circle(mDrawBitmap, cx, cy, r, Pack(pColor), BlendWeight(pBlend), BlendMode(pBlend),
             antiAlias);
  return true;
}

bool IGraphics::RoundRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend,
                          int cornerRadius, bool antiAlias) {
  if (!pColor || !pR) return true;
  RAS_RoundRect(mDrawBitmap, (float)pR->L, (float)pR->T, (float)pR->W(), (float)pR->H(),
                cornerRadius, Pack(pColor), BlendWeight(pBlend), BlendMode(pBlend), antiAlias);
  return true;
}

bool IGraphics::FillRoundRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend, int cr,
                              bool antiAlias) {
  if (!pColor || !pR) return true;
  int w = pR->W(), h = pR->H();
  RAS_pixel c = Pack(pColor);
  float weight = BlendWeight(pBlend);
  int mode = BlendMode(pBlend);
  RAS_FillRect(mDrawBitmap, pR->L + cr, pR->T, w - 2 * cr, h, c, weight, mode);
  RAS_FillRect(mDrawBitmap, pR->L, pR->T + cr, cr, h - 2 * cr, c, weight, mode);
  RAS_FillRect(mDrawBitmap, pR->R - cr, pR->T + cr, cr, h - 2 * cr, c, weight, mode);
  float r = (float)cr;
  RAS_FillCircle(mDrawBitmap, (float)(pR->L + cr), (float)(pR->T + cr), r, c, weight, mode,
                 antiAlias);
  RAS_FillCircle(mDrawBitmap, (float)(pR->R - cr - 1), (float)(pR->B - cr - 1), r, c, weight, mode,
                 antiAlias);
  RAS_FillCircle(mDrawBitmap, (float)(pR->R - cr - 1), (float)(pR->T + cr), r, c, weight, mode,
                 antiAlias);
  RAS_FillCircle(mDrawBitmap, (float)(pR->L + cr), (float)(pR->B - cr - 1), r, c, weight, mode,
                 antiAlias);
  return true;
}

bool IGraphics::FillIRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend) {
  if (!pColor || !pR) return true;
  RAS_FillRect(mDrawBitmap, pR->L, pR->T, pR->W(), pR->H(), Pack(pColor), BlendWeight(pBlend),
               BlendMode(pBlend));
  return true;
}

bool IGraphics::FillCircle(const IColor* pColor, int cx, int cy, float r,
                           const IChannelBlend* pBlend, bool antiAlias) {
  if (!pColor) return true;
  RAS_FillCircle(mDrawBitmap, (float)cx, (float)cy, r, Pack(pColor), BlendWeight(pBlend),
                 BlendMode(pBlend), antiAlias);
  return true;
}

bool IGraphics::FillTriangle(const IColor* pColor, int x1, int y1, int x2, int y2, int x3, int y3,
                             IChannelBlend* pBlend) {
  if (!pColor) return true;
  RAS_FillTriangle(mDrawBitmap, x1, y1, x2, y2, x3, y3, Pack(pColor), BlendWeight(pBlend),
                   BlendMode(pBlend));
  return true;
}

bool IGraphics::FillIConvexPolygon(const IColor* pColor, int* x, int* y, int nPoints,
                                   const IChannelBlend* pBlend) {
  if (!pColor) return true;
  RAS_FillConvexPolygon(mDrawBitmap, x, y, nPoints, Pack(pColor), BlendWeight(pBlend),
                        BlendMode(pBlend));
  return true;
}

bool IGraphics::DrawRect(const IColor* pColor, IRECT* pR) {
  if (!pColor || !pR) return true;
  RAS_pixel c = Pack(pColor);
  RAS_Line(mDrawBitmap, pR->L, pR->T, pR->R, pR->T, c, 1.0f, BLIT_COPY, false);
  RAS_Line(mDrawBitmap, pR->L, pR->B, pR->R, pR->B, c, 1.0f, BLIT_COPY, false);
  RAS_Line(mDrawBitmap, pR->L, pR->T, pR->L, pR->B, c, 1.0f, BLIT_COPY, false);
  RAS_Line(mDrawBitmap, pR->R, pR->T, pR->R, pR->B, c, 1.0f, BLIT_COPY, false);
  return true;
}

bool IGraphics::DrawVerticalLine(const IColor* pColor, int xi, int yLo, int yHi) {
  if (!pColor) return true;
  RAS_Line(mDrawBitmap, xi, yLo, xi, yHi, Pack(pColor), 1.0f, BLIT_COPY, false);
  return true;
}

bool IGraphics::DrawHorizontalLine(const IColor* pColor, int yi, int xLo, int xHi) {
  if (!pColor) return true;
  RAS_Line(mDrawBitmap, xLo, yi, xHi, yi, Pack(pColor), 1.0f, BLIT_COPY, false);
  return true;
}

bool IGraphics::DrawVerticalLine(const IColor* pColor, IRECT* pR, float x) {
  if (!pR) return true;
  int xi = pR->L + (int)((float)pR->W() * Clamp01(x));
  return DrawVerticalLine(pColor, xi, pR->T, pR->B);
}

bool IGraphics::DrawHorizontalLine(const IColor* pColor, IRECT* pR, float y) {
  if (!pR) return true;
  // Measured from the bottom, as a level meter reads.
  int yi = pR->B - (int)((float)pR->H() * Clamp01(y));
  return DrawHorizontalLine(pColor, yi, pR->L, pR->R);
}

bool IGraphics::DrawRadialLine(const IColor* pColor, float cx, float cy, float angle, float rMin,
                               float rMax, const IChannelBlend* pBlend, bool antiAlias) {
  float sinV = std::sin(angle), cosV = std::cos(angle);
  float x1 = cx + rMin * sinV, y1 = cy - rMin * cosV;
  float x2 = cx + rMax * sinV, y2 = cy - rMax * cosV;
  return DrawLine(pColor, x1, y1, x2, y2, pBlend, antiAlias);
}
