// Cached font: rendering a character into a coverage map, and drawing a map in a colour.

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "raster/RAS_BlitFilters.h"
#include "raster/RAS_Combiners.h"
#include "raster/RAS_Fill.h"
#include "raster/RAS_Font.h"
#include "raster/RAS_FontScratch.h"
#include "raster/RAS_SysBitmap.h"

namespace {

constexpr int kMaxLineHeight = 1023;

int encodeUtf8(unsigned short code, char* out) {
  if (code < 0x80) {
    out[0] = (char)code;
    out[1] = 0;
    return code ? 1 : 0;
  }
  if (code < 0x800) {
    out[0] = (char)(0xc0 | (code >> 6));
    out[1] = (char)(0x80 | (code & 0x3f));
    out[2] = 0;
    return 2;
  }
  out[0] = (char)(0xe0 | (code >> 12));
  out[1] = (char)(0x80 | ((code >> 6) & 0x3f));
  out[2] = (char)(0x80 | (code & 0x3f));
  out[3] = 0;
  return 3;
}

// Coverage made all-or-nothing, then empty pixels next to set ones become 128: toward the
// upper left only (so the outline falls to the lower right of the ink), or on all four sides.
void thresholdAndOutline(unsigned char* map, int w, int h, int flags) {
  for (int i = 0; i < w * h; ++i) map[i] = map[i] > 130 ? 255 : 0;
  if (!(flags & (RAS_FONT_FLAG_FX_SHADOW | RAS_FONT_FLAG_FX_OUTLINE))) return;
  std::vector<unsigned char> src(map, map + (size_t)w * h);
  auto set = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < w && y < h && src[(size_t)y * w + x] == 255;
  };
  const bool shadow = flags & RAS_FONT_FLAG_FX_SHADOW;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (src[(size_t)y * w + x]) continue;
      const bool near = shadow ? (set(x - 1, y) || set(x, y - 1) || set(x - 1, y - 1))
                               : (set(x - 1, y) || set(x + 1, y) || set(x, y - 1) || set(x, y + 1));
      if (near) map[(size_t)y * w + x] = 128;
    }
}

template <class COMB>
void drawCoverage(RAS_pixel* rowStart, int rowStep, const unsigned char* cov, int covSpan, int w,
                  int h, RAS_pixel fg, RAS_pixel fx, int weight, int renderer, bool writeWords) {
  const int fr = RAS_GETR(fg), fgG = RAS_GETG(fg), fb = RAS_GETB(fg);
  const int er = RAS_GETR(fx), eg = RAS_GETG(fx), eb = RAS_GETB(fx);
  for (int row = 0; row < h; ++row, rowStart += rowStep, cov += covSpan) {
    RAS_pixel* p = rowStart;
    for (int col = 0; col < w; ++col, ++p) {
      const int c = cov[col];
      if (!c) continue;
      if (renderer == 0) {
        // At full weight a coverage of 255 lands exactly on the colour.
        int cw = weight == 256 ? c + 1 : weight * c / 256;
        if (cw > 256) cw = 256;
        if (cw < 1) continue;
        COMB::doPix(reinterpret_cast<unsigned char*>(p), fr, fgG, fb, 255, cw);
      } else {
        const bool text = renderer == 1 || c == 255;
        if (writeWords)
          *p = text ? fg : fx;
        else if (text)
          COMB::doPix(reinterpret_cast<unsigned char*>(p), fr, fgG, fb, 255, weight);
        else
          COMB::doPix(reinterpret_cast<unsigned char*>(p), er, eg, eb, 255, weight);
      }
    }
  }
}

}  // namespace

const RAS_CachedFont::charEnt* RAS_CachedFont::RenderGlyph(unsigned short code) {
  if (m_line_height > kMaxLineHeight) return nullptr;
  if (code >= 128) {
    if (m_flags & RAS_FONT_FLAG_FIXEDCACHE) return nullptr;
    if (!findChar(code)) {
      charEnt fresh{};
      fresh.charid = code;
      if (!m_extracharlist.Add(fresh)) return nullptr;
      std::qsort(m_extracharlist.Get(), (size_t)m_extracharlist.GetSize(), sizeof(charEnt),
                 _charSortFunc);
    }
  }

  const int lh = m_line_height > 1 ? m_line_height : 1;
  RAS_SysBitmap* scratch = ras_font::GlyphScratch(2 * lh + 8);
  if (!scratch) return nullptr;
  HDC dc = (HDC)scratch->getDC();

  char text[4];
  encodeUtf8(code, text);
  HGDIOBJ old = m_font ? SelectObject(dc, m_font) : nullptr;
  RECT r{0, 0, 0, 0};
  GDI_DrawText(dc, text, -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  const int measuredW = r.right, measuredH = r.bottom;
  int w = measuredW + (lh < 16 ? 2 : lh / 16 + 2);
  int h = measuredH;
  if (w > scratch->getWidth()) w = scratch->getWidth();
  if (h > scratch->getHeight()) h = scratch->getHeight();
  if (measuredW > 0 && measuredH > 0) {
    RAS_FillRect(scratch, 0, 0, w, h, 0, 1.0f, BLIT_COPY);
    r = RECT{0, 0, w, h};
    GDI_DrawText(dc, text, -1, &r, DT_SINGLELINE | DT_NOPREFIX);
  }
  if (old) SelectObject(dc, old);

  charEnt* ent = findChar(code);
  if (!ent) return nullptr;
  if (measuredW <= 0 || measuredH <= 0) {
    ent->base_offset = -1;
    ent->width = ent->height = ent->advance = 0;
    ent->charid = code;
    return ent;
  }

  if (m_flags & RAS_FONT_FLAG_BLUR) RAS_Blur(scratch, scratch, 0, 0, 0, 0, w, h);

  // Coverage from the red byte; the map is as wide as the advance unless ink spills past it.
  const RAS_pixel* bits = scratch->getBits();
  const int span = scratch->getRowSpan();
  const bool invert = m_flags & RAS_FONT_FLAG_INVERT;
  int mapW = measuredW < w ? measuredW : w;
  for (int y = 0; y < h; ++y)
    for (int x = w - 1; x >= mapW; --x) {
      const int v = RAS_GETR(bits[y * span + x]);
      if ((invert ? 255 - v : v) != 0) {
        mapW = x + 1;
        break;
      }
    }
  std::vector<unsigned char> map((size_t)mapW * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < mapW; ++x) {
      const int v = RAS_GETR(bits[y * span + x]);
      map[(size_t)y * mapW + x] = (unsigned char)(invert ? 255 - v : v);
    }

  int outW = mapW, outH = h;
  if (m_flags & RAS_FONT_FLAG_VERTICAL) {
    // Turned a quarter: clockwise for text running down, counter-clockwise for text running up.
    std::vector<unsigned char> turned(map.size());
    outW = h;
    outH = mapW;
    const bool up = m_flags & RAS_FONT_FLAG_VERTICAL_UP;
    for (int ny = 0; ny < outH; ++ny)
      for (int nx = 0; nx < outW; ++nx) {
        const int sx = up ? mapW - 1 - ny : ny;
        const int sy = up ? nx : h - 1 - nx;
        turned[(size_t)ny * outW + nx] = map[(size_t)sy * mapW + sx];
      }
    map.swap(turned);
  }
  if (m_flags & (RAS_FONT_FLAG_MONO | RAS_FONT_FLAG_FX_SHADOW | RAS_FONT_FLAG_FX_OUTLINE))
    thresholdAndOutline(map.data(), outW, outH, m_flags);

  const int offset = m_cachestore.GetSize();
  if (!m_cachestore.Resize(offset + (int)map.size())) return nullptr;
  std::memcpy(m_cachestore.Get() + offset, map.data(), map.size());
  ent = findChar(code);  // the store's growth does not move records, but stay uniform
  ent->base_offset = offset + 1;
  ent->width = outW;
  ent->height = outH;
  ent->advance = measuredW;
  ent->charid = code;
  return ent;
}

void RAS_CachedFont::DrawGlyph(RAS_IBitmap* bm, unsigned short code, int x, int y,
                               const RECT* clip) {
  const charEnt* ent = findChar(code);
  if (!bm || !ent || ent->base_offset <= 0) return;
  RAS_pixel* bits = bm->getBits();
  const int bw = bm->getWidth(), bh = bm->getHeight(), span = bm->getRowSpan();
  if (!bits || bw <= 0 || bh <= 0) return;

  int l = x, t = y, r = x + ent->width, b = y + ent->height;
  if (clip) {
    if (clip->left > l) l = clip->left;
    if (clip->top > t) t = clip->top;
    if (clip->right < r) r = clip->right;
    if (clip->bottom < b) b = clip->bottom;
  }
  if (l < 0) l = 0;
  if (t < 0) t = 0;
  if (r > bw) r = bw;
  if (b > bh) b = bh;
  if (l >= r || t >= b) return;

  if (m_bgmode == 1)
    RAS_FillRect(bm, l, t, r - l, b - t, m_bg, m_alpha, m_comb & ~BLIT_FLAG_SOURCE_ALPHA);

  int weight = RAS_WeightFromAlphaF(m_alpha);
  const int renderer = (m_flags & RAS_FONT_FLAG_MONO)                                     ? 1
                       : (m_flags & (RAS_FONT_FLAG_FX_SHADOW | RAS_FONT_FLAG_FX_OUTLINE)) ? 2
                                                                                          : 0;
  if (renderer != 0 && weight > 256) weight = 256;
  const int mode = m_comb & BLIT_MODE_MASK;
  if (mode == BLIT_COPY && weight < 1) return;
  const bool writeWords = renderer != 0 && mode == BLIT_COPY && m_alpha == 1.0f;

  const unsigned char* cov =
      m_cachestore.Get() + ent->base_offset - 1 + (size_t)(t - y) * ent->width + (l - x);
  const bool flipped = bm->isFlipped();
  RAS_pixel* rowStart = bits + (ptrdiff_t)(flipped ? bh - 1 - t : t) * span + l;
  const int rowStep = flipped ? -span : span;
  const int w = r - l, h = b - t;
  switch (mode) {
    case BLIT_COPY:
      drawCoverage<_RAS_CombinePixelsCopyNoClamp>(rowStart, rowStep, cov, ent->width, w, h, m_fg,
                                                  m_effectcol, weight, renderer, writeWords);
      break;
    case BLIT_ADD:
      drawCoverage<_RAS_CombinePixelsAdd>(rowStart, rowStep, cov, ent->width, w, h, m_fg,
                                          m_effectcol, weight, renderer, false);
      break;
    case BLIT_DODGE:
      drawCoverage<_RAS_CombinePixelsColorDodge>(rowStart, rowStep, cov, ent->width, w, h, m_fg,
                                                 m_effectcol, weight, renderer, false);
      break;
    case BLIT_MUL:
      drawCoverage<_RAS_CombinePixelsMulNoClamp>(rowStart, rowStep, cov, ent->width, w, h, m_fg,
                                                 m_effectcol, weight, renderer, false);
      break;
    case BLIT_OVERLAY:
      drawCoverage<_RAS_CombinePixelsOverlay>(rowStart, rowStep, cov, ent->width, w, h, m_fg,
                                              m_effectcol, weight, renderer, false);
      break;
    case BLIT_HSVADJUST:
      drawCoverage<_RAS_CombinePixelsHSVAdjust>(rowStart, rowStep, cov, ent->width, w, h, m_fg,
                                                m_effectcol, weight, renderer, false);
      break;
    default:
      break;
  }
}
