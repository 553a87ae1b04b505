// Text drawn with fonts from the process-wide font cache.

#include "graphics/DrawingHelpers.h"
#include "graphics/FontStorage.h"
#include "graphics/IGraphics.h"
#include "platform/gdi/GDI.h"
#include "raster/Raster.h"

using namespace drawing;

// ---- Text ----

bool IGraphics::DrawIText(IText* pTxt, char* str, IRECT* pR, bool measure) {
  if (!str || !str[0]) return true;
  // A text with no style has no font, and one with no rectangle can be neither placed nor
  // measured: the same failure as a font that cannot be made.
  if (!pTxt || !pR) return false;
  RAS_IFont* pFont = pTxt->mCachedFont ? pTxt->mCachedFont : CacheFont(pTxt);
  if (!pFont) return false;
  pFont->SetTextColor(Pack(&pTxt->mColor));

  unsigned format = 0x100;  // no clipping to the rectangle
  if ((pTxt->mColor.A & 0xFF) != 255) format |= 0x40000000u;
  if (pTxt->mAlign == IText::kAlignCenter) format |= 0x4;
  if (pTxt->mAlign == IText::kAlignFar) format |= 0x20;

  if (!measure) {
    RECT r = {pR->L, pR->T, pR->R, pR->B};
    pFont->DrawText(mDrawBitmap, str, -1, &r, format);
    return true;
  }

  RECT r = {0, 0, 0, 0};
  pFont->DrawText(mDrawBitmap, str, -1, &r, format | 0x1);
  int w = r.right - r.left, h = r.bottom - r.top;
  switch (pTxt->mAlign) {
    case IText::kAlignCenter:
      pR->L = (int)((float)(pR->L + pR->R) * 0.5f) - w / 2;
      pR->R = pR->L + w;
      break;
    case IText::kAlignFar:
      pR->L = pR->R - w;
      break;
    default:
      pR->R = pR->L + w;
      break;
  }
  pR->B = pR->T + h;
  return true;
}

namespace {

int FontQuality(int quality) {
  switch (quality) {
    case IText::kQualityDefault:
      return 0;
    case IText::kQualityAntiAliased:
    case IText::kQualityClearType:
      return 4;
    default:
      return 3;  // not anti-aliased
  }
}

// A cached font over a new platform font of the given height, or null.
RAS_IFont* MakeFont(const IText* pTxt, int height) {
  HFONT hFont =
      CreateFont(height, 0, pTxt->mOrientation * 10, pTxt->mOrientation * 10,
                 pTxt->mStyle == IText::kStyleBold ? 700 : 400, pTxt->mStyle == IText::kStyleItalic,
                 0, 0, 0, 0, 0, FontQuality(pTxt->mQuality), 0, pTxt->mFontName);
  if (!hFont) return nullptr;
  RAS_CachedFont* pFont = new RAS_CachedFont();
  pFont->SetFromHFont(hFont, 0x600);  // owns the handle, native rendering
  return pFont;
}

}  // namespace

RAS_IFont* IGraphics::CacheFont(IText* pTxt) {
  FontStorage& storage = GetFontStorage();
  if (RAS_IFont* pFont = storage.Find(pTxt)) {
    pTxt->mCachedFont = pFont;
    return pFont;
  }
  int height = pTxt->mSize > 2 ? pTxt->mSize : 2;
  RAS_IFont* pFont = MakeFont(pTxt, height);
  if (!pFont) return nullptr;
  int lineHeight = pFont->GetLineHeight();
  if (lineHeight > 0 && lineHeight != height) {
    // Fonts report a line taller than the size asked for; ask once more, scaled so the line
    // comes out near the requested height.
    int corrected = (int)((double)(height * height) / (double)lineHeight + 0.5);
    if (RAS_IFont* pCorrected = MakeFont(pTxt, corrected)) {
      delete pFont;
      pFont = pCorrected;
    }
  }
  if (!storage.Add(pTxt, pFont)) return nullptr;
  pTxt->mCachedFont = pFont;
  return pFont;
}
