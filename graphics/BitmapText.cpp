// Text drawn from a bitmap font: frame k of the font image is the character with code k + 31.

#include <cstring>

#include "graphics/DrawingHelpers.h"
#include "graphics/IGraphics.h"

void DrawBitmapedText(IGraphics* pGraphics, IBitmap* pTextBitmap, IRECT* pR, IText* pTxt,
                      IChannelBlend* pBlend, const char* str, bool vCenter, bool multiline,
                      int charWidth, int charHeight, int charOffset) {
  if (!str || !str[0]) return;
  // No engine, no rectangle or no font image: nothing to draw with or into.
  if (!pGraphics || !pR || !drawing::HasPixels(pTextBitmap)) return;
  int n = (int)std::strlen(str);

  int y0 = pR->T;
  if (vCenter) y0 = pR->T + (pR->B - charHeight - pR->T) / 2;

  int tw = charWidth * n;
  int startX = pR->L;
  int align = pTxt ? pTxt->mAlign : IText::kAlignNear;
  if (align == IText::kAlignFar)
    startX = pR->R - tw;
  else if (align == IText::kAlignCenter)
    startX = pR->L + (pR->W() - tw) / 2;

  // A zero or negative cell width cannot lay out anything (and must not be divided by).
  if (charWidth <= 0) return;
  int w = pR->W();
  int perLine, lines;
  if (multiline && tw > w) {
    if (w <= 0) return;
    perLine = w / charWidth;
    lines = tw / w + 1;
  } else if (multiline) {
    perLine = n;
    lines = 1;
  } else {
    perLine = w / charWidth;
    lines = 1;
  }
  if (perLine <= 0) return;

  for (int k = 0; k < lines; ++k) {
    int x = startX;
    int top = y0 + k * charHeight;
    for (int i = k * perLine; i < (k + 1) * perLine; ++i) {
      if (i >= n) return;
      // Signed bytes: control characters and bytes above 127 land on the first frame (space).
      int code = (signed char)str[i];
      IRECT cell(x, top, x + charWidth, top + charHeight);
      pGraphics->DrawBitmap(pTextBitmap, &cell, code - 31, pBlend);
      x += charWidth + charOffset;
    }
  }
}
