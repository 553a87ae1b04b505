// Cached font: text drawn by the drawing-context layer, straight into a bitmap's context or,
// for bitmaps without one, into a scratch copy of the affected box.

#include "raster/RAS_Blit.h"
#include "raster/RAS_Font.h"
#include "raster/RAS_FontScratch.h"
#include "raster/RAS_SysBitmap.h"

namespace {

void applyColors(HDC dc, RAS_pixel fg, RAS_pixel bg, int bgmode) {
  ::SetTextColor(dc, ras_font::ToContextColor(fg));
  if (bgmode == 1) ::SetBkColor(dc, ras_font::ToContextColor(bg));
  ::SetBkMode(dc, bgmode);
}

}  // namespace

int RAS_CachedFont::drawNativeToContext(RAS_IBitmap* bm, const char* text, int length, RECT* rect,
                                        unsigned flags) {
  HDC dc = (HDC)bm->getDC();
  HGDIOBJ old = SelectObject(dc, m_font);
  applyColors(dc, m_fg, m_bg, m_bgmode);
  const int result = GDI_DrawText(dc, text, length, rect, flags | DT_NOPREFIX);
  if (old) SelectObject(dc, old);
  return result;
}

int RAS_CachedFont::drawNativeViaScratch(RAS_IBitmap* bm, const char* text, int length, RECT* rect,
                                         unsigned flags) {
  RAS_SysBitmap* scratch = ras_font::NativeScratch(4, 4);
  if (!scratch) return 0;
  HDC dc = (HDC)scratch->getDC();
  HGDIOBJ old = SelectObject(dc, m_font);

  RECT measured{0, 0, 0, 0};
  const unsigned kept = flags & (0x8u | DT_SINGLELINE | DT_NOCLIP | ~0x1ffu);
  const int height = GDI_DrawText(dc, text, length, &measured, kept | DT_CALCRECT | DT_NOPREFIX);
  const int w = measured.right, h = measured.bottom;
  if (flags & DT_CALCRECT) {
    rect->right = rect->left + w;
    rect->bottom = rect->top + h;
    if (old) SelectObject(dc, old);
    return height;
  }

  int x = rect->left, y = rect->top;
  if (flags & DT_RIGHT)
    x = rect->right - w;
  else if (flags & DT_CENTER)
    x += (rect->right - rect->left - w) / 2;
  if (flags & DT_BOTTOM)
    y = rect->bottom - h;
  else if (flags & DT_VCENTER)
    y += (rect->bottom - rect->top - h) / 2;

  int l = x, t = y, r = x + w, b = y + h;
  if (l < 0) l = 0;
  if (t < 0) t = 0;
  if (r > bm->getWidth()) r = bm->getWidth();
  if (b > bm->getHeight()) b = bm->getHeight();
  if (!(flags & DT_NOCLIP)) {
    if (l < rect->left) l = rect->left;
    if (t < rect->top) t = rect->top;
    if (r > rect->right) r = rect->right;
    if (b > rect->bottom) b = rect->bottom;
  }
  if (l >= r || t >= b || height == 0) {
    if (old) SelectObject(dc, old);
    return 0;
  }

  // The scratch may move when it grows: select into the context it has afterwards.
  if (old) SelectObject(dc, old);
  scratch = ras_font::NativeScratch(r - l, b - t);
  if (!scratch) return 0;
  dc = (HDC)scratch->getDC();
  old = SelectObject(dc, m_font);

  RAS_Blit(scratch, bm, 0, 0, l, t, r - l, b - t, 1.0f, BLIT_COPY);
  applyColors(dc, m_fg, m_bg, m_bgmode);
  // Drawn at the box's own origin, shifted by what clipping cut off.
  RECT at{x - l, y - t, x - l + w, y - t + h};
  const unsigned aligns = DT_VCENTER | DT_CENTER | DT_BOTTOM | DT_RIGHT;
  GDI_DrawText(dc, text, length, &at, (flags & ~aligns) | DT_NOPREFIX);
  RAS_Blit(bm, scratch, l, t, 0, 0, r - l, b - t, m_alpha, BLIT_COPY);
  if (old) SelectObject(dc, old);
  return height;
}
