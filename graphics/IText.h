#pragma once
// Text style: font face, size, colours, weight, alignment, angle and rendering quality.
// The font found for the style is remembered in mCachedFont (owned by the font cache).

#include <cstring>

#include "graphics/IColor.h"

class RAS_IFont;

struct IText {
  enum EStyle { kStyleNormal = 0, kStyleBold = 1, kStyleItalic = 2 };
  enum EAlign { kAlignNear = 0, kAlignCenter = 1, kAlignFar = 2 };
  enum EQuality {
    kQualityDefault = 0,
    kQualityNonAntiAliased = 1,
    kQualityAntiAliased = 2,
    kQualityClearType = 3
  };

  char mFontName[32];
  int mSize;
  IColor mColor;
  IColor mEntryBGColor;
  IColor mEntryFGColor;
  int mStyle;
  int mAlign;
  int mOrientation;
  int mQuality;
  RAS_IFont* mCachedFont = nullptr;

  IText(int size = 10, const IColor* pColor = nullptr, const char* font = nullptr,
        int style = kStyleNormal, int align = kAlignCenter, int orientation = 0,
        int quality = kQualityDefault, const IColor* pEntryBG = nullptr,
        const IColor* pEntryFG = nullptr)
      : mSize(size),
        mColor(pColor ? *pColor : DEFAULT_TEXT_COLOR),
        mEntryBGColor(pEntryBG ? *pEntryBG : DEFAULT_TEXT_ENTRY_BGCOLOR),
        mEntryFGColor(pEntryFG ? *pEntryFG : DEFAULT_TEXT_ENTRY_FGCOLOR),
        mStyle(style),
        mAlign(align),
        mOrientation(orientation),
        mQuality(quality) {
    std::memset(mFontName, 0, sizeof(mFontName));
    std::strncpy(mFontName, font ? font : "Monaco", sizeof(mFontName) - 1);
  }

  explicit IText(const IColor* pColor) : IText(10, pColor) {}
};
