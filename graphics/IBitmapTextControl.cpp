#include "graphics/IBitmapTextControl.h"

#include <cstring>

#include "graphics/ControlImage.h"
#include "graphics/IGraphics.h"

using namespace control_image;

IBitmapTextControl::IBitmapTextControl(IPluginBase* pPlug, IRECT pR, IBitmap* pBitmap,
                                       const char* str, IText* pText, int charWidth, int charHeight,
                                       int charOffset, bool multiLine, bool vCenter)
    : IControl(pPlug, pR),
      mStr(str),
      mCharWidth(charWidth),
      mCharHeight(charHeight),
      mCharOffset(charOffset),
      mTextBitmap(OrEmpty(pBitmap)),
      mMultiLine(multiLine),
      mVCenter(vCenter) {
  if (pText) mText = *pText;
}

void IBitmapTextControl::SetTextFromPlug(const char* str) {
  if (std::strcmp(mStr.Get(), str ? str : "") == 0) return;
  SetDirty(false);
  mStr.Set(str);
}

bool IBitmapTextControl::Draw(IGraphics* pGraphics) {
  if (mStr.GetLength() > 0 && HasPixels(mTextBitmap))
    DrawBitmapedText(pGraphics, &mTextBitmap, &mRECT, &mText, &mBlend, mStr.Get(), mVCenter,
                     mMultiLine, mCharWidth, mCharHeight, mCharOffset);
  return true;
}
