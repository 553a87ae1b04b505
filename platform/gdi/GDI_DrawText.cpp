// Text measuring and drawing with the format flags, into a context's frame buffer.

#include <algorithm>
#include <climits>
#include <cmath>
#include <mutex>
#include <vector>

#include "platform/gdi/GDI.h"
#include "platform/gdi/GDI_FontEngine.h"
#include "platform/gdi/GDI_Records.h"
#include "platform/gdi/GDI_Text.h"

namespace {

struct Line {
  int start, end;  // byte range within the prepared text
  double width;    // typographic width
};

constexpr long long kFar = 1 << 28;

int SaturatedSum(int a, int b) {
  const long long sum = (long long)a + b;
  return sum > INT_MAX ? INT_MAX : sum < INT_MIN ? INT_MIN : (int)sum;
}

struct Clip {
  int l, t, r, b;
  bool Empty() const { return l >= r || t >= b; }
};

double LineWidth(GDI_PlatformFont* font, const char* text, int start, int end) {
  double width = 0;
  for (int i = start; i < end;) {
    uint32_t code;
    i += gdi::DecodeUtf8(text + i, end - i, &code);
    width += gdi::GetAdvance(font, code);
  }
  return width;
}

void FillRect(GDI_Context* ctx, const Clip& clip, int x, int y, int w, int h, int color) {
  const int l = std::max(x, clip.l), t = std::max(y, clip.t);
  const int r = std::min(x + w, clip.r), b = std::min(y + h, clip.b);
  if (l >= r || t >= b) return;
  const unsigned char pix[4] = {255, (unsigned char)(color >> 16), (unsigned char)(color >> 8),
                                (unsigned char)color};
  for (int row = t; row < b; ++row) {
    unsigned char* p = ctx->mBits + (ptrdiff_t)row * ctx->mRowBytes + l * 4;
    for (int col = l; col < r; ++col, p += 4) std::copy(pix, pix + 4, p);
  }
}

// Blends the text colour in by coverage; the skipped byte moves toward opaque like the colour.
void DrawGlyphMap(GDI_Context* ctx, const Clip& clip, const gdi::Glyph& g, int x, int y,
                  int color) {
  const int src[4] = {255, (color >> 16) & 0xff, (color >> 8) & 0xff, color & 0xff};
  const int l = std::max(x, clip.l), t = std::max(y, clip.t);
  const int r = std::min(x + g.width, clip.r), b = std::min(y + g.height, clip.b);
  for (int row = t; row < b; ++row) {
    const uint8_t* cov = g.coverage.data() + (size_t)(row - y) * g.width + (l - x);
    unsigned char* p = ctx->mBits + (ptrdiff_t)row * ctx->mRowBytes + l * 4;
    for (int col = l; col < r; ++col, ++cov, p += 4) {
      const int c = *cov;
      if (c == 0) continue;
      if (c == 255) {
        for (int k = 0; k < 4; ++k) p[k] = (unsigned char)src[k];
        continue;
      }
      for (int k = 0; k < 4; ++k) p[k] = (unsigned char)(p[k] + ((src[k] - p[k]) * c + 127) / 255);
    }
  }
}

void DrawLine(GDI_Context* ctx, const Clip& clip, GDI_PlatformFont* font, const char* text,
              int start, int end, int x, double baseline, bool mono, int color) {
  gdi::Glyph scratch;
  const int base = (int)std::floor(baseline + 0.5);
  double pen = x;
  for (int i = start; i < end;) {
    uint32_t code;
    i += gdi::DecodeUtf8(text + i, end - i, &code);
    const gdi::Glyph& g = gdi::GetGlyph(font, code, mono, scratch);
    if (g.width > 0)
      DrawGlyphMap(ctx, clip, g, (int)std::floor(pen + 0.5) + g.left, base - g.top, color);
    pen += g.advance;
  }
}

}  // namespace

int GDI_DrawText(HDC ctx, const char* text, int len, RECT* rect, unsigned flags) {
  if (!gdi::IsLiveContext(ctx) || !text || !rect || len == 0) return 0;
  char buf[GDI_TEXT_BUFFER_SIZE];
  bool multiLine = false;
  const int n = gdi::PrepareText(text, len, flags, buf, &multiLine);
  if (n == 0) return 0;

  GDI_PlatformFont* font = gdi::ContextFont(ctx);
  if (!font) return 0;
  HGDIOBJ sel = ctx->mFont;
  const int quality = gdi::IsLiveObject(sel) ? sel->mQuality : GDI_QUALITY_DEFAULT;
  const bool mono = quality == GDI_QUALITY_NONANTIALIASED;

  std::lock_guard<std::mutex> lock(font->mLock);
  std::vector<Line> lines;
  for (int start = 0; start < n;) {
    int end = start;
    while (end < n && buf[end] != '\n') ++end;
    lines.push_back(Line{start, end, LineWidth(font, buf, start, end)});
    start = end + 1;  // a final line feed opens no further line
  }

  const double lineExtent = font->mAscent + font->mDescent + font->mLeading;
  std::vector<double> widths;
  for (const Line& line : lines) widths.push_back(line.width);
  // Without a remaining line feed the text is one line.
  const gdi::TextExtent extent =
      gdi::MeasureExtent(widths.data(), multiLine ? (int)widths.size() : 1, lineExtent);
  const int width = extent.width, height = extent.height;

  if (flags & DT_CALCRECT) {
    rect->right = SaturatedSum(rect->left, width);
    rect->bottom = SaturatedSum(rect->top, height);
    return height;
  }

  long long px = rect->left, py = rect->top;
  if (flags & DT_RIGHT)
    px += (long long)rect->right - rect->left - width;
  else if (flags & DT_CENTER)
    px += ((long long)rect->right - rect->left) / 2 - width / 2;
  if (flags & DT_BOTTOM)
    py += (long long)rect->bottom - height - rect->top;
  else if (flags & DT_VCENTER)
    py += ((long long)rect->bottom - rect->top) / 2 - height / 2;
  // Text placed this far away lies on no context; the pixel arithmetic stays in range.
  if (px < -kFar || px > kFar || py < -kFar || py > kFar) return height;
  const int x = (int)px, y = (int)py;

  if (!ctx->mBits) return height;
  Clip clip{0, 0, ctx->mWidth, ctx->mHeight};
  if (!(flags & DT_NOCLIP)) {
    clip.l = std::max(clip.l, rect->left);
    clip.t = std::max(clip.t, rect->top);
    clip.r = std::min(clip.r, rect->right);
    clip.b = std::min(clip.b, rect->bottom);
  }
  if (clip.Empty()) return height;
  const bool fillBackground = ctx->mBkMode == GDI_BKMODE_OPAQUE;

  if (!multiLine) {
    if (fillBackground) FillRect(ctx, clip, x, y, width, height, ctx->mBkColor);
    DrawLine(ctx, clip, font, buf, 0, n, x, y + font->mAscent, mono, ctx->mTextColor);
    return height;
  }
  double lineTop = y;
  for (const Line& line : lines) {
    if (fillBackground)
      FillRect(ctx, clip, x, (int)std::floor(lineTop + 0.5), (int)std::floor(line.width + 0.5),
               (int)std::floor(lineExtent + 0.5), ctx->mBkColor);
    DrawLine(ctx, clip, font, buf, line.start, line.end, x, lineTop + font->mAscent, mono,
             ctx->mTextColor);
    lineTop += std::floor(lineExtent + 0.5);
  }
  return height;
}
