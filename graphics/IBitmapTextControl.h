#pragma once
// A text readout drawn with a bitmap font (one frame per printable character).

#include "framework/UTL_String.h"
#include "graphics/IControl.h"

class IBitmapTextControl : public IControl {
 public:
  IBitmapTextControl(IPluginBase* pPlug, IRECT pR, IBitmap* pBitmap, const char* str = "",
                     IText* pText = nullptr, int charWidth = 6, int charHeight = 12,
                     int charOffset = 0, bool multiLine = true, bool vCenter = false);

  // Replaces the text and marks the control dirty, only when the text changes.
  void SetTextFromPlug(const char* str);
  const char* GetTextForPlug() const { return mStr.Get(); }

  bool Draw(IGraphics* pGraphics) override;

 protected:
  UTL_String mStr;
  int mCharWidth, mCharHeight, mCharOffset;
  IBitmap mTextBitmap;
  bool mMultiLine;
  bool mVCenter;
};
