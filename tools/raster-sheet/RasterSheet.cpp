// The sheet: an 8 by 6 grid of 64-pixel cells, one operation (in a few modes and alphas) per
// cell. Rows: lines and curves; circles and outlines; polygons and coverage maps; scaled
// blits; rotated, delta and grid blits; filters and clipping at the sheet's edge.

#include "tools/raster-sheet/RasterSheet.h"

#include <cmath>

namespace raster_sheet {

namespace {

constexpr int kCell = 64;
constexpr RAS_pixel kWhite = RAS_RGBA(255, 255, 255, 255);
constexpr RAS_pixel kOrange = RAS_RGBA(255, 150, 30, 255);
constexpr RAS_pixel kCyan = RAS_RGBA(40, 200, 230, 255);
constexpr RAS_pixel kMagenta = RAS_RGBA(220, 50, 180, 255);
constexpr RAS_pixel kGreen = RAS_RGBA(70, 210, 90, 255);
constexpr RAS_pixel kYellow = RAS_RGBA(240, 220, 40, 255);

struct Cell {
  int x, y;
  float cx() const { return x + kCell / 2.0f; }
  float cy() const { return y + kCell / 2.0f; }
};
Cell At(int col, int row) { return {col * kCell, row * kCell}; }

// A small picture with colour ramps, a checker and an alpha ramp, for the blits.
void MakeSource(RAS_MemBitmap& src, int size) {
  src.resize(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const bool check = ((x * 4 / size) + (y * 4 / size)) & 1;
      const int r = x * 255 / (size - 1), g = y * 255 / (size - 1), b = check ? 220 : 40;
      src.getBits()[y * src.getRowSpan() + x] = RAS_RGBA(r, g, b, x * 255 / (size - 1));
    }
  RAS_Circle(&src, size / 2.0f, size / 2.0f, size / 3.0f, kWhite, 1.0f, 0, true);
}

void Backdrop(RAS_IBitmap* bm) {
  RAS_Clear(bm, RAS_RGBA(24, 26, 32, 255));
  for (int row = 0; row < 6; ++row)
    for (int col = 0; col < 8; ++col) {
      const Cell c = At(col, row);
      RAS_FillRect(bm, c.x + 1, c.y + 1, kCell - 2, kCell - 2,
                   ((row + col) & 1) ? RAS_RGBA(44, 46, 54, 255) : RAS_RGBA(36, 38, 46, 255), 1.0f,
                   0);
    }
}

void Lines(RAS_IBitmap* bm) {
  for (int k = 0; k < 24; ++k) {
    const double a = k * M_PI / 12;
    for (int col = 0; col < 3; ++col) {
      const Cell c = At(col, 0);
      const float ex = c.cx() + 28 * float(std::sin(a)), ey = c.cy() - 28 * float(std::cos(a));
      if (col < 2)
        RAS_Line(bm, int(c.cx()), int(c.cy()), int(ex), int(ey), kWhite, 1.0f, 0, col == 1);
      else
        RAS_FLine(bm, c.cx() + 0.3f, c.cy() + 0.6f, ex, ey, k & 1 ? kCyan : kOrange, 1.0f, 0, true);
    }
  }
  // Alphas over a coloured block: the four quarter alphas, then an arbitrary one.
  Cell c = At(3, 0);
  RAS_FillRect(bm, c.x + 8, c.y + 8, 48, 48, RAS_RGBA(30, 90, 160, 255), 1.0f, 0);
  const float alphas[] = {1.0f, 0.75f, 0.5f, 0.25f, 0.6f};
  for (int i = 0; i < 5; ++i) {
    RAS_Line(bm, c.x + 4, c.y + 6 + i * 4, c.x + 60, c.y + 6 + i * 4, kYellow, alphas[i], 0, false);
    RAS_Line(bm, c.x + 6 + i * 4, c.y + 30, c.x + 6 + i * 4, c.y + 60, kYellow, alphas[i], 0,
             false);
    RAS_Line(bm, c.x + 30 + i * 5, c.y + 30, c.x + 56 + i * 1, c.y + 58, kWhite, alphas[i], 0,
             true);
  }
  // Combine modes over stripes.
  c = At(4, 0);
  for (int i = 0; i < 6; ++i)
    RAS_FillRect(bm, c.x + 4 + i * 9, c.y + 4, 9, 56, RAS_RGBA(40 * i, 200 - 30 * i, 120, 255),
                 1.0f, 0);
  const RAS_pixel controls[] = {kOrange, kCyan, kMagenta, RAS_RGBA(128, 128, 128, 255),
                                RAS_RGBA(200, 90, 160, 255)};
  for (int m = 1; m <= 5; ++m)
    for (int t = 0; t < 2; ++t)
      RAS_Line(bm, c.x + 2, c.y + m * 10 + t, c.x + 62, c.y + m * 10 + 6 + t, controls[m - 1],
               t ? 0.6f : 1.0f, m, t == 1);
  // Dashes.
  c = At(5, 0);
  for (int i = 0; i < 5; ++i) {
    RAS_DashedLine(bm, c.x + 4, c.y + 6 + i * 6, c.x + 60, c.y + 6 + i * 6, 1 + i, 1 + (i % 3),
                   kWhite, 1.0f, 0, false);
    RAS_DashedLine(bm, c.x + 8 + i * 10, c.y + 36, c.x + 8 + i * 10, c.y + 60, 3, i + 1, kGreen,
                   i & 1 ? 0.5f : 1.0f, 0, false);
  }
  // Curves.
  c = At(6, 0);
  RAS_DrawQBezier(bm, c.x + 4, c.y + 28, c.x + 32, c.y - 20, c.x + 60, c.y + 28, kOrange, 1.0f, 0,
                  true, 4.0f);
  RAS_DrawCBezier(bm, c.x + 4, c.y + 60, c.x + 20, c.y + 10, c.x + 44, c.y + 70, c.x + 60, c.y + 34,
                  kCyan, 1.0f, 0, true, 3.0f);
  RAS_DrawCBezier(bm, c.x + 4, c.y + 40, c.x + 30, c.y + 60, c.x + 34, c.y + 20, c.x + 60, c.y + 52,
                  kWhite, 1.0f, 0, false, 0.0f);
  c = At(7, 0);
  RAS_FillCBezier(bm, c.x + 4, c.y + 20, c.x + 20, c.y - 4, c.x + 44, c.y + 40, c.x + 60, c.y + 12,
                  c.y + 30, kMagenta, 1.0f, 0, 3.0f);
  RAS_FillCBezierX(bm, c.x + 34, c.y + 34, c.x + 60, c.y + 40, c.x + 10, c.y + 52, c.x + 40,
                   c.y + 62, c.x + 6, kGreen, 0.7f, 0, 3.0f);
}

void Circles(RAS_IBitmap* bm) {
  Cell c = At(0, 1);
  const float radii[] = {1.5f, 2.0f, 2.5f, 3.0f, 3.5f, 4.0f};
  for (int i = 0; i < 6; ++i) {
    RAS_Circle(bm, c.x + 6 + i * 10.5f, c.y + 14, radii[i], kWhite, 1.0f, 0, false);
    RAS_Circle(bm, c.x + 6 + i * 10.5f, c.y + 30, radii[i], kWhite, 1.0f, 0, true);
    RAS_Circle(bm, c.x + 6 + i * 10.5f, c.y + 46, radii[i], kOrange, 1.0f, BLIT_ADD, true);
  }
  for (int aa = 0; aa < 2; ++aa) {
    c = At(1 + aa, 1);
    for (int i = 0; i < 6; ++i)
      RAS_Circle(bm, c.cx(), c.cy(), 5.3f + i * 4.5f, i & 1 ? kCyan : kWhite, 1.0f, 0, aa);
  }
  c = At(3, 1);
  RAS_FillCircle(bm, c.x + 18, c.y + 20, 13.4f, kOrange, 1.0f, 0, false);
  RAS_FillCircle(bm, c.x + 44, c.y + 20, 13.4f, kOrange, 1.0f, 0, true);
  RAS_FillCircle(bm, c.x + 18, c.y + 48, 9.7f, kCyan, 0.5f, 0, false);
  RAS_FillCircle(bm, c.x + 44, c.y + 48, 9.7f, kCyan, 0.5f, 0, true);
  c = At(4, 1);
  RAS_FillCircle(bm, c.x + 24, c.y + 24, 16, RAS_RGBA(255, 40, 40, 255), 0.7f, BLIT_ADD, true);
  RAS_FillCircle(bm, c.x + 40, c.y + 24, 16, RAS_RGBA(40, 255, 40, 255), 0.7f, BLIT_ADD, true);
  RAS_FillCircle(bm, c.x + 32, c.y + 40, 16, RAS_RGBA(40, 40, 255, 255), 0.7f, BLIT_ADD, true);
  c = At(5, 1);
  for (int i = 0; i < 4; ++i) {
    const float a0 = float(i * M_PI / 2 + 0.3), a1 = a0 + float(0.6 + i * 0.5);
    RAS_Arc(bm, c.cx(), c.cy(), 8.0f + i * 6, a0, a1, i & 1 ? kYellow : kWhite, 1.0f, 0, i >= 2);
  }
  RAS_Arc(bm, c.cx(), c.cy(), 28, float(-M_PI / 4), float(M_PI / 4), kMagenta, 1.0f, 0, true);
  c = At(6, 1);
  RAS_RoundRect(bm, c.x + 4, c.y + 4, 56, 24, 8, kWhite, 1.0f, 0, false);
  RAS_RoundRect(bm, c.x + 4, c.y + 34, 56, 26, 100, kCyan, 1.0f, 0, true);
  RAS_RoundRect(bm, c.x + 14, c.y + 12, 36, 8, 1, kOrange, 1.0f, 0, false);
  c = At(7, 1);
  RAS_DrawRect(bm, c.x + 4, c.y + 4, 24, 24, kWhite, 1.0f, 0);
  RAS_DrawRect(bm, c.x + 34, c.y + 4, 24, 24, kWhite, 0.5f, 0);
  RAS_BorderedRect(bm, c.x + 4, c.y + 34, 24, 24, RAS_RGBA(30, 90, 160, 255), kYellow, 1.0f, 0);
  RAS_BorderedRect(bm, c.x + 34, c.y + 34, 24, 24, kMagenta, kWhite, 0.5f, 0);
}

void Polygons(RAS_IBitmap* bm) {
  Cell c = At(0, 2);
  RAS_FillTrapezoid(bm, c.x + 20, c.x + 44, c.y + 6, c.x + 4, c.x + 60, c.y + 28, kOrange, 1.0f, 0);
  RAS_FillTrapezoid(bm, c.x + 4, c.x + 30, c.y + 34, c.x + 24, c.x + 60, c.y + 58, kCyan, 0.5f, 0);
  c = At(1, 2);
  int hx[6], hy[6];
  for (int i = 0; i < 6; ++i)
    hx[i] = int(c.cx() + 26 * std::cos(i * M_PI / 3)),
    hy[i] = int(c.cy() + 26 * std::sin(i * M_PI / 3));
  RAS_FillConvexPolygon(bm, hx, hy, 6, kGreen, 1.0f, 0);
  RAS_FillTriangle(bm, c.x + 20, c.y + 20, c.x + 44, c.y + 26, c.x + 28, c.y + 46, kYellow, 1.0f,
                   0);
  c = At(2, 2);
  const int ax[] = {c.x + 4, c.x + 40, c.x + 30}, ay[] = {c.y + 8, c.y + 4, c.y + 50};
  const int bx[] = {c.x + 60, c.x + 20, c.x + 50}, by[] = {c.y + 20, c.y + 40, c.y + 60};
  RAS_FillConvexPolygon(bm, ax, ay, 3, kMagenta, 0.5f, 0);
  RAS_FillConvexPolygon(bm, bx, by, 3, kCyan, 0.5f, 0);
  // Coverage maps: a soft ring, in copy, add and multiply.
  c = At(3, 2);
  unsigned char ring[20 * 20];
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      const double d = std::hypot(x - 9.5, y - 9.5);
      ring[y * 20 + x] = (unsigned char)std::max(0.0, 255 - std::fabs(d - 6.5) * 90);
    }
  RAS_DrawGlyph(bm, c.x + 4, c.y + 4, kWhite, ring, 20, 20, 1.0f, 0);
  RAS_DrawGlyph(bm, c.x + 36, c.y + 4, kOrange, ring, 20, 20, 1.0f, BLIT_ADD);
  RAS_DrawGlyphEx(bm, c.x + 4, c.y + 36, kCyan, ring, 20, 20, 20, 0.5f, 0);
  RAS_DrawGlyphEx(bm, c.x + 36, c.y + 36, kYellow, ring + 20 * 5, 20, 20, 15, 1.0f, BLIT_MUL);
  c = At(4, 2);
  for (int i = 0; i < 6; ++i) {
    const double a = i * M_PI / 3, b = a + M_PI / 3;
    RAS_FillTriangle(bm, int(c.cx()), int(c.cy()), int(c.cx() + 28 * std::cos(a)),
                     int(c.cy() + 28 * std::sin(a)), int(c.cx() + 28 * std::cos(b)),
                     int(c.cy() + 28 * std::sin(b)), RAS_RGBA(40 * i, 60, 200 - 30 * i, 255), 0.8f,
                     BLIT_ADD);
  }
  c = At(5, 2);
  RAS_FillRect(bm, c.x + 4, c.y + 4, 56, 56, RAS_RGBA(200, 200, 120, 255), 1.0f, 0);
  const int mx[] = {c.x + 32, c.x + 58, c.x + 48, c.x + 16, c.x + 6},
            my[] = {c.y + 6, c.y + 26, c.y + 58, c.y + 58, c.y + 26};
  RAS_FillConvexPolygon(bm, mx, my, 5, kCyan, 1.0f, BLIT_MUL);
  c = At(6, 2);
  int px[64], py[64];
  for (int i = 0; i < 64; ++i)
    px[i] = int(c.cx() + 27 * std::cos(i * M_PI / 32)),
    py[i] = int(c.cy() + 27 * std::sin(i * M_PI / 32));
  RAS_FillConvexPolygon(bm, px, py, 64, kOrange, 1.0f, 0);
  c = At(7, 2);
  for (int i = 0; i < 8; ++i)
    RAS_FillRect(bm, c.x + 4 + i * 7, c.y + 4, 7, 56, RAS_RGBA(255 - 30 * i, 30 * i, 90, 255), 1.0f,
                 0);
  RAS_FillCircle(bm, c.cx(), c.cy(), 22, RAS_RGBA(200, 128, 128, 255), 1.0f, BLIT_HSVADJUST, true);
}

void ScaledBlits(RAS_IBitmap* bm, RAS_MemBitmap& src, RAS_MemBitmap& big) {
  Cell c = At(0, 3);
  RAS_ScaledBlit(bm, &src, c.x + 2, c.y + 2, 60, 60, 0, 0, 24, 24, 1.0f, 0);
  c = At(1, 3);
  RAS_ScaledBlit(bm, &src, c.x + 2, c.y + 2, 60, 60, 0, 0, 24, 24, 1.0f, BLIT_FLAG_FILTER);
  c = At(2, 3);
  RAS_ScaledBlit(bm, &big, c.x + 2, c.y + 2, 28, 28, 0, 0, 96, 96, 1.0f, BLIT_FLAG_FILTER);
  RAS_ScaledBlit(bm, &big, c.x + 34, c.y + 2, 28, 28, 0, 0, 96, 96, 1.0f, 0);
  RAS_ScaledBlit(bm, &big, c.x + 2, c.y + 34, 45, 28, 0, 0, 96, 96, 1.0f, BLIT_FLAG_FILTER);
  c = At(3, 3);
  RAS_ScaledBlit(bm, &src, c.x + 30, c.y + 2, -28, 28, 0, 0, 24, 24, 1.0f, 0);
  RAS_ScaledBlit(bm, &src, c.x + 34, c.y + 30, 28, -28, 0, 0, 24, 24, 1.0f, BLIT_FLAG_FILTER);
  RAS_ScaledBlit(bm, &src, c.x + 30, c.y + 62, -28, -28, 0, 0, 24, 24, 1.0f, 0);
  c = At(4, 3);
  RAS_FillRect(bm, c.x + 4, c.y + 4, 56, 56, kMagenta, 1.0f, 0);
  RAS_ScaledBlit(bm, &src, c.x + 2, c.y + 2, 60, 30, 0, 0, 24, 24, 0.5f, 0);
  RAS_ScaledBlit(bm, &src, c.x + 2, c.y + 32, 60, 30, 0, 0, 24, 24, 0.3f, BLIT_FLAG_FILTER);
  c = At(5, 3);
  RAS_FillRect(bm, c.x + 4, c.y + 4, 56, 56, kGreen, 1.0f, 0);
  RAS_ScaledBlit(bm, &src, c.x + 2, c.y + 2, 60, 60, 0, 0, 24, 24, 1.0f,
                 BLIT_FLAG_SOURCE_ALPHA | BLIT_FLAG_FILTER);
  c = At(6, 3);
  RAS_ScaledBlit(bm, &src, c.x + 2, c.y + 2, 60, 60, 6.5f, 6.25f, 11.5f, 11.5f, 1.0f,
                 BLIT_FLAG_FILTER);
  c = At(7, 3);
  RAS_ScaledBlit(bm, &src, c.x + 2, c.y + 2, 60, 60, 0, 0, 24, 24, 0.6f,
                 BLIT_ADD | BLIT_FLAG_FILTER);
}

void RotatedBlits(RAS_IBitmap* bm, RAS_MemBitmap& src) {
  Cell c = At(0, 4);
  RAS_RotatedBlit(bm, &src, c.x + 10, c.y + 10, 44, 44, 0, 0, 24, 24, 0.52f, false, 1.0f, 0);
  c = At(1, 4);
  RAS_RotatedBlit(bm, &src, c.x + 10, c.y + 10, 44, 44, 0, 0, 24, 24, 0.52f, false, 1.0f,
                  BLIT_FLAG_FILTER);
  c = At(2, 4);
  RAS_RotatedBlit(bm, &src, c.x + 2, c.y + 2, 60, 60, 4, 4, 16, 16, float(M_PI / 4), true, 1.0f,
                  BLIT_FLAG_FILTER);
  c = At(3, 4);
  RAS_FillRect(bm, c.x + 4, c.y + 4, 56, 56, kOrange, 1.0f, 0);
  RAS_RotatedBlit(bm, &src, c.x + 8, c.y + 8, 48, 48, 0, 0, 24, 24, -1.1f, false, 0.5f,
                  BLIT_FLAG_FILTER, 3.0f, 0.0f);
  c = At(4, 4);
  RAS_DeltaBlit(bm, &src, c.x + 2, c.y + 2, 60, 60, 0, 0, 24, 24, 0.4, 0.0, 0.1, 0.4, -0.01, 0.0,
                false, 1.0f, BLIT_FLAG_FILTER);
  c = At(5, 4);
  double wave[5 * 5 * 2];
  for (int j = 0; j < 5; ++j)
    for (int i = 0; i < 5; ++i) {
      wave[(j * 5 + i) * 2] = i * 6 + 1.5 * std::sin(j * 1.3);
      wave[(j * 5 + i) * 2 + 1] = j * 6 + 1.5 * std::cos(i * 1.1);
    }
  RAS_TransformBlit2(bm, &src, c.x + 4, c.y + 4, 56, 56, wave, 5, 5, 1.0f, BLIT_FLAG_FILTER);
  c = At(6, 4);
  RAS_FillRect(bm, c.x + 4, c.y + 4, 56, 56, kCyan, 1.0f, 0);
  const double fade[] = {0, 0, 1, 24, 0, 0, 0, 24, 0, 24, 24, 1};
  RAS_TransformBlit2Alpha(bm, &src, c.x + 4, c.y + 4, 56, 56, fade, 2, 2, 0);
  c = At(7, 4);
  const float grid[] = {0, 0, 24, 0, 0, 24, 24, 24};
  RAS_TransformBlit(bm, &src, c.x + 4, c.y + 4, 26, 26, grid, 2, 2, 1.0f, 0);
  RAS_RotatedBlit(bm, &src, c.x + 60, c.y + 34, -26, 26, 0, 0, 24, 24, 0.3f, false, 1.0f, 0);
}

void Filters(RAS_MemBitmap& sheet, RAS_MemBitmap& big) {
  Cell c = At(0, 5);
  RAS_MemBitmap half(48, 48);
  RAS_HalveBlitAA(&half, &big);
  RAS_Blit(&sheet, &half, c.x + 8, c.y + 8, nullptr, 1.0f, 0);
  c = At(1, 5);
  RAS_MemBitmap lines(48, 48);
  RAS_Clear(&lines, RAS_RGBA(0, 0, 0, 255));
  for (int i = 0; i < 48; i += 6) RAS_Line(&lines, i, 0, 47 - i, 47, kWhite, 1.0f, 0, false);
  RAS_Blur(&sheet, &lines, c.x + 8, c.y + 8, 0, 0, 48, 48);
  c = At(2, 5);
  RAS_Blit(&sheet, &lines, c.x + 8, c.y + 8, nullptr, 1.0f, 0);
  for (int k = 0; k < 4; ++k) RAS_Blur(&sheet, &sheet, c.x + 8, c.y + 8, c.x + 8, c.y + 8, 48, 48);
  // Anti-aliased lines and circles as ink on paper.
  c = At(3, 5);
  RAS_FillRect(&sheet, c.x + 2, c.y + 2, 60, 60, kWhite, 1.0f, 0);
  for (int i = 0; i < 7; ++i)
    RAS_Line(&sheet, c.x + 4, c.y + 58, c.x + 8 + i * 9, c.y + 4 + i * 3, RAS_RGBA(0, 0, 0, 255),
             1.0f, 0, true);
  RAS_Circle(&sheet, c.x + 44, c.y + 44, 12.6f, RAS_RGBA(200, 0, 0, 255), 1.0f, 0, true);
  // Graded stamps and coverage circles in multiply mode on paper.
  c = At(4, 5);
  RAS_FillRect(&sheet, c.x + 2, c.y + 2, 60, 60, kWhite, 1.0f, 0);
  for (int i = 0; i < 6; ++i) {
    RAS_FillCircle(&sheet, c.x + 10 + i * 9.0f, c.y + 14, 1.5f + i * 0.5f, kCyan, 1.0f, BLIT_MUL,
                   true);
    RAS_Circle(&sheet, c.x + 10 + i * 9.0f, c.y + 34, 1.5f + i * 0.5f, kMagenta, 1.0f, BLIT_MUL,
               true);
    RAS_Circle(&sheet, c.x + 10 + i * 9.0f, c.y + 52, 1.5f + i * 0.5f, kMagenta, 0.5f, 0, false);
  }
  // A quadrilateral grid: the source pulled into a tilted shape.
  c = At(5, 5);
  const float quad[] = {8, 0, 96, 20, -8, 96, 104, 76};
  RAS_TransformBlit(&sheet, &big, c.x + 4, c.y + 4, 56, 56, quad, 2, 2, 1.0f, BLIT_FLAG_FILTER);
  // Per-pixel alpha stepping across the destination.
  c = At(6, 5);
  RAS_FillRect(&sheet, c.x + 4, c.y + 4, 56, 56, kYellow, 1.0f, 0);
  RAS_DeltaBlitAlpha(&sheet, &big, c.x + 4, c.y + 4, 56, 56, 0, 0, 96, 96, 1.7, 0, 0, 1.7, 0, 0,
                     false, 0.0, 1.0 / 56, 1.0 / 56, 0.0, BLIT_FLAG_FILTER);
  // Clipping at the sheet's own edges.
  c = At(7, 5);
  RAS_FillCircle(&sheet, kWidth, kHeight, 40, kOrange, 1.0f, 0, true);
  RAS_Circle(&sheet, kWidth - 8, kHeight - 8, 30, kWhite, 1.0f, 0, true);
  for (int i = 0; i < 6; ++i)
    RAS_Line(&sheet, c.x + 4, c.y + 4 + i * 10, kWidth + 40, c.y + 20 + i * 30, kCyan, 1.0f, 0,
             true);
  RAS_ScaledBlit(&sheet, &big, kWidth - 100, c.y + 4, 40, 80, 0, 0, 96, 96, 1.0f, BLIT_FLAG_FILTER);
  RAS_RotatedBlit(&sheet, &big, c.x - 60, kHeight - 20, 48, 48, 0, 0, 96, 96, 0.7f, false, 1.0f,
                  BLIT_FLAG_FILTER);
}

}  // namespace

void DrawSheet(RAS_MemBitmap& sheet) {
  sheet.resize(kWidth, kHeight);
  if (!sheet.getBits()) return;
  RAS_MemBitmap src(24, 24), big(96, 96);
  MakeSource(src, 24);
  MakeSource(big, 96);
  Backdrop(&sheet);
  Lines(&sheet);
  Circles(&sheet);
  Polygons(&sheet);
  ScaledBlits(&sheet, src, big);
  RotatedBlits(&sheet, src);
  Filters(sheet, big);
}

}  // namespace raster_sheet
