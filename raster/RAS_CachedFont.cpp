// Cached font: settings, binding to a platform font, the glyph table, the choice between
// native and glyph drawing, and the glyph path's layout.

#include <cstdlib>
#include <cstring>

#include "raster/RAS_Font.h"
#include "raster/RAS_FontScratch.h"
#include "raster/RAS_SysBitmap.h"

namespace ras_font {
namespace {
RAS_SysBitmap* s_tempbitmap = nullptr;
RAS_SysBitmap* s_nativerender_tempbitmap = nullptr;
int s_num_fonts = 0;
}  // namespace

RAS_SysBitmap* GlyphScratch(int size) {
  if (!s_tempbitmap) s_tempbitmap = new RAS_SysBitmap();
  RAS_SysBitmap* bm = s_tempbitmap;
  if (bm->getWidth() < size || bm->getHeight() < size) {
    const int w = bm->getWidth() > size ? bm->getWidth() : size;
    const int h = bm->getHeight() > size ? bm->getHeight() : size;
    bm->resize(w, h);
    HDC dc = (HDC)bm->getDC();
    ::SetTextColor(dc, GDI_RGB(255, 255, 255));
    ::SetBkMode(dc, GDI_BKMODE_OPAQUE);
    ::SetBkColor(dc, GDI_RGB(0, 0, 0));
  }
  return bm->getBits() ? bm : nullptr;
}

RAS_SysBitmap* NativeScratch(int w, int h) {
  if (!s_nativerender_tempbitmap) s_nativerender_tempbitmap = new RAS_SysBitmap();
  RAS_SysBitmap* bm = s_nativerender_tempbitmap;
  if (w < 4) w = 4;
  if (h < 4) h = 4;
  if (bm->getWidth() < w || bm->getHeight() < h) {
    bm->resize(bm->getWidth() > w ? bm->getWidth() : w, bm->getHeight() > h ? bm->getHeight() : h);
  }
  return bm->getBits() ? bm : nullptr;
}

void AddFont() { s_num_fonts++; }

void RemoveFont() {
  if (--s_num_fonts > 0) return;
  delete s_tempbitmap;
  delete s_nativerender_tempbitmap;
  s_tempbitmap = s_nativerender_tempbitmap = nullptr;
}

}  // namespace ras_font

RAS_CachedFont::RAS_CachedFont() {
  std::memset(m_lowchars, 0, sizeof(m_lowchars));
  ras_font::AddFont();
}

RAS_CachedFont::~RAS_CachedFont() {
  if ((m_flags & RAS_FONT_FLAG_OWNS_HFONT) && m_font) DeleteObject(m_font);
  ras_font::RemoveFont();
}

void RAS_CachedFont::SetFromHFont(HFONT font, int flags) {
  if ((m_flags & RAS_FONT_FLAG_OWNS_HFONT) && m_font && m_font != font) DeleteObject(m_font);
  m_flags = flags;
  m_font = font;
  if (font) {
    if (RAS_SysBitmap* scratch = ras_font::GlyphScratch(256)) {
      HDC dc = (HDC)scratch->getDC();
      HGDIOBJ old = SelectObject(dc, font);
      TEXTMETRIC tm;
      GetTextMetrics(dc, &tm);
      SelectObject(dc, old);
      m_line_height = tm.tmHeight;
    }
  }
  std::memset(m_lowchars, 0, sizeof(m_lowchars));
  m_extracharlist.Resize(0);
  m_cachestore.Resize(0);
  if (flags & RAS_FONT_FLAG_FIXEDCACHE)
    for (unsigned short c = 0; c < 128; ++c) RenderGlyph(c);
}

RAS_pixel RAS_CachedFont::SetTextColor(RAS_pixel color) {
  const RAS_pixel prev = m_fg;
  m_fg = color;
  return prev;
}

RAS_pixel RAS_CachedFont::SetBkColor(RAS_pixel color) {
  const RAS_pixel prev = m_bg;
  m_bg = color;
  return prev;
}

RAS_pixel RAS_CachedFont::SetEffectColor(RAS_pixel color) {
  const RAS_pixel prev = m_effectcol;
  m_effectcol = color;
  return prev;
}

int RAS_CachedFont::SetBkMode(int mode) {
  const int prev = m_bgmode;
  m_bgmode = mode;
  return prev;
}

void RAS_CachedFont::SetCombineMode(int mode, float alpha) {
  m_comb = mode;
  m_alpha = alpha;
}

int RAS_CachedFont::_charSortFunc(const void* a, const void* b) {
  return (int)static_cast<const charEnt*>(a)->charid - (int)static_cast<const charEnt*>(b)->charid;
}

RAS_CachedFont::charEnt* RAS_CachedFont::findChar(unsigned short code) {
  if (code < 128) return &m_lowchars[code];
  if (m_extracharlist.GetSize() == 0) return nullptr;
  charEnt key{};
  key.charid = code;
  return static_cast<charEnt*>(std::bsearch(&key, m_extracharlist.Get(),
                                            (size_t)m_extracharlist.GetSize(), sizeof(charEnt),
                                            _charSortFunc));
}

const RAS_CachedFont::charEnt* RAS_CachedFont::GetCharEnt(unsigned short code) const {
  return const_cast<RAS_CachedFont*>(this)->findChar(code);
}

bool RAS_CachedFont::useNative(RAS_IBitmap* bm, unsigned flags) const {
  if (bm && bm->Extended(RAS_EXT_NO_NATIVE_TEXT, nullptr)) return false;
  if (m_line_height >= 256) return true;
  const int glyphOnly = 0x1 | 0x2 | 0x4 | 0x10 | 0x20 | 0x40 | 0x80 | 0x100;
  return (m_flags & RAS_FONT_FLAG_NATIVE) && !(m_flags & glyphOnly) && flags < RAS_DT_USEFGALPHA &&
         m_font && (m_lsadj == 0 || (flags & DT_SINGLELINE));
}

int RAS_CachedFont::DrawText(RAS_IBitmap* bm, const char* text, int length, RECT* rect,
                             unsigned flags) {
  if (!text || !rect || (!bm && !(flags & DT_CALCRECT))) return 0;
  // Nothing can be drawn that far away, and the layout arithmetic stays in range.
  constexpr int kFar = 1 << 28;
  for (int v : {rect->left, rect->top, rect->right, rect->bottom})
    if (v < -kFar || v > kFar) return 0;
  if (useNative(bm, flags)) {
    if (bm && bm->getDC()) return drawNativeToContext(bm, text, length, rect, flags);
    return drawNativeViaScratch(bm, text, length, rect, flags);
  }
  return drawGlyphs(bm, text, length, rect, flags);
}

int RAS_CachedFont::walkText(RAS_IBitmap* bm, const char* text, int length, int x, int y,
                             const RECT* clip, unsigned flags, int* along) {
  const bool vertical = m_flags & RAS_FONT_FLAG_VERTICAL;
  const bool upward = vertical && (m_flags & RAS_FONT_FLAG_VERTICAL_UP);
  const int x0 = x, y0 = y;
  int across = 0, alongMax = 0;
  for (int i = 0; length < 0 ? text[i] != 0 : i < length;) {
    unsigned short code;
    i += utf8char(text + i, &code, length < 0 ? -1 : length - i);
    if (code == '\r') continue;
    if (code == '\n') {
      if (!(flags & DT_SINGLELINE)) {
        const int step = m_line_height + m_lsadj;
        if (vertical) {
          x += step;
          y = y0;
        } else {
          y += step;
          x = x0;
        }
        continue;
      }
      code = ' ';
    }
    const charEnt* ent = findChar(code);
    if (!ent || ent->base_offset == 0) ent = RenderGlyph(code);
    if (!ent || ent->base_offset <= 0) continue;

    if (upward) y -= ent->advance;
    if (bm) DrawGlyph(bm, code, x, y, clip);
    if (vertical) {
      if (x - x0 + ent->width > across) across = x - x0 + ent->width;
      const int reach = upward ? y0 - y : y - y0 + ent->advance;
      if (reach > alongMax) alongMax = reach;
      if (!upward) y += ent->advance;
    } else {
      if (y - y0 + ent->height > across) across = y - y0 + ent->height;
      if (x - x0 + ent->advance > alongMax) alongMax = x - x0 + ent->advance;
      x += ent->advance;
    }
  }
  if (along) *along = alongMax;
  return across;
}

int RAS_CachedFont::drawGlyphs(RAS_IBitmap* bm, const char* text, int length, RECT* rect,
                               unsigned flags) {
  float alpha = m_alpha;
  if (flags & RAS_DT_USEFGALPHA) alpha *= (float)(m_fg & 0xff) / 255.0f;
  // Measuring does not depend on how opaque the text would be.
  if (alpha == 0.0f && !(flags & DT_CALCRECT)) return 0;

  const bool vertical = m_flags & RAS_FONT_FLAG_VERTICAL;
  const bool upward = vertical && (m_flags & RAS_FONT_FLAG_VERTICAL_UP);
  int x = rect->left, y = rect->top;
  const unsigned aligns = DT_VCENTER | DT_CENTER | DT_BOTTOM | DT_RIGHT;
  if ((flags & (aligns | DT_CALCRECT)) || upward) {
    int along = 0;
    const int across = walkText(nullptr, text, length, 0, 0, nullptr, flags, &along);
    const int boxW = vertical ? across : along, boxH = vertical ? along : across;
    if (flags & DT_CALCRECT) {
      rect->right = rect->left + boxW;
      rect->bottom = rect->top + boxH;
      return across;
    }
    if (flags & DT_RIGHT)
      x += rect->right - rect->left - boxW;
    else if (flags & DT_CENTER)
      x += (rect->right - rect->left - boxW) / 2;
    if (flags & DT_BOTTOM)
      y += rect->bottom - rect->top - boxH;
    else if (flags & DT_VCENTER)
      y += (rect->bottom - rect->top - boxH) / 2;
    if (upward) y += boxH;
  }

  RECT clip{0, 0, bm->getWidth(), bm->getHeight()};
  if (!(flags & DT_NOCLIP)) {
    if (rect->left > clip.left) clip.left = rect->left;
    if (rect->top > clip.top) clip.top = rect->top;
    if (rect->right < clip.right) clip.right = rect->right;
    if (rect->bottom < clip.bottom) clip.bottom = rect->bottom;
  }
  if (clip.right <= clip.left || clip.bottom <= clip.top) return 0;

  const float savedAlpha = m_alpha;
  m_alpha = alpha;
  const int extent = walkText(bm, text, length, x, y, &clip, flags, nullptr);
  m_alpha = savedAlpha;
  return extent;
}
