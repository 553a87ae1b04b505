// Font objects, selection into contexts, deletion, colours and text metrics.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/gdi/GDI.h"
#include "platform/gdi/GDI_FontEngine.h"
#include "platform/gdi/GDI_Records.h"

namespace {

constexpr int kMaxFaceNameLength = 899;

bool IsPseudoHandle(HGDIOBJ obj) { return (uintptr_t)obj <= GDI_OBJ_BITMAP; }

HGDIOBJ* SlotOf(HDC ctx, int type) {
  switch (type) {
    case GDI_OBJ_PEN:
      return &ctx->mPen;
    case GDI_OBJ_BRUSH:
      return &ctx->mBrush;
    case GDI_OBJ_FONT:
      return &ctx->mFont;
    default:
      return nullptr;
  }
}

// A slot may hold an object deleted since it was selected; that counts as nothing.
bool HoldsValid(HGDIOBJ obj) { return obj && !IsPseudoHandle(obj) && gdi::IsLiveObject(obj); }

void ForgetObject(GDI_Context* ctx, void* obj) {
  if (ctx->mPen == obj) ctx->mPen = nullptr;
  if (ctx->mBrush == obj) ctx->mBrush = nullptr;
  if (ctx->mFont == obj) ctx->mFont = nullptr;
}

}  // namespace

namespace gdi {

float FontSizeFromArgs(int height, int width) {
  const float size = std::fabs((float)(height != 0 ? height : width));
  return (size < 2.0f || size > 8192.0f) ? 10.0f : size;
}

void FontFaceText(const char* faceName, int weight, bool italic, char* out, int outSize) {
  if (!out || outSize <= 0) return;
  std::string text;
  if (faceName) text.assign(faceName, strnlen(faceName, kMaxFaceNameLength));
  if (weight >= 700) text += " Bold";
  if (italic) text += " Italic";
  std::strncpy(out, text.c_str(), (size_t)outSize - 1);
  out[outSize - 1] = 0;
}

GDI_PlatformFont* ContextFont(HDC ctx) {
  HGDIOBJ sel = ctx->mFont;
  if (HoldsValid(sel) && sel->mType == GDI_OBJ_FONT && sel->mFont) return sel->mFont;
  return DefaultFont();
}

const char* FontFaceTextOf(HFONT font) {
  return IsLiveObject(font) && font->mFont ? font->mFont->mFaceText.c_str() : nullptr;
}
const char* FontFileOf(HFONT font) {
  return IsLiveObject(font) && font->mFont ? font->mFont->mFile.path.c_str() : nullptr;
}
float FontSizeOf(HFONT font) { return IsLiveObject(font) && font->mFont ? font->mFont->mSize : 0; }

}  // namespace gdi

HFONT CreateFont(int height, int width, int, int orientation, int weight, char italic, char, char,
                 char, char, char, char quality, char, const char* faceName) {
  char faceText[kMaxFaceNameLength + 16];
  gdi::FontFaceText(faceName, weight, italic != 0, faceText, (int)sizeof(faceText));
  const float size = gdi::FontSizeFromArgs(height, width);

  GDI_PlatformFont* font = gdi::CreatePlatformFont(faceText, size);
  // The stand-in for a face that cannot be made at all: the label font at the size.
  if (!font) font = gdi::CreatePlatformFont("", size);

  GDI_Object* obj = gdi::AllocObject(GDI_OBJ_FONT);
  if (!obj) {
    gdi::DestroyPlatformFont(font);
    return nullptr;
  }
  obj->mAngle = orientation / 10.0f;
  obj->mFont = font;
  obj->mQuality = (quality == GDI_QUALITY_NONANTIALIASED || quality == GDI_QUALITY_ANTIALIASED)
                      ? (unsigned char)quality
                      : GDI_QUALITY_DEFAULT;
  return obj;
}

HFONT CreateFontIndirect(const LOGFONT* lf) {
  if (!lf) return nullptr;
  char face[sizeof(lf->lfFaceName) + 1];
  std::memcpy(face, lf->lfFaceName, sizeof(lf->lfFaceName));
  face[sizeof(lf->lfFaceName)] = 0;  // an unterminated name is cut at the field's end
  return CreateFont(lf->lfHeight, lf->lfWidth, 0, lf->lfOrientation, lf->lfWeight, lf->lfItalic, 0,
                    0, 0, 0, 0, lf->lfQuality, 0, face);
}

HGDIOBJ SelectObject(HDC ctx, HGDIOBJ obj) {
  if (!gdi::IsLiveContext(ctx) || !obj) return nullptr;
  const uintptr_t value = (uintptr_t)obj;
  if (IsPseudoHandle(obj)) {
    HGDIOBJ* slot = SlotOf(ctx, (int)value);
    if (!slot) return nullptr;
    HGDIOBJ prev = HoldsValid(*slot) ? *slot : obj;
    *slot = nullptr;
    return prev;
  }
  if (!gdi::IsLiveObject(obj)) return nullptr;
  HGDIOBJ* slot = SlotOf(ctx, obj->mType);
  if (!slot) return nullptr;
  if (*slot == obj) return obj;
  HGDIOBJ prev = HoldsValid(*slot) ? *slot : (HGDIOBJ)(uintptr_t)obj->mType;
  *slot = obj;
  return prev;
}

void DeleteObject(HGDIOBJ obj) {
  if (IsPseudoHandle(obj) || !gdi::IsLiveObject(obj)) return;
  if (obj->mRefCount-- >= 1) return;
  if (obj->mType < GDI_OBJ_PEN || obj->mType > GDI_OBJ_BITMAP) return;
  gdi::DestroyPlatformFont(obj->mFont);
  // Contexts still holding it must not see a later object that reuses the record.
  gdi::ForEachLiveContext(ForgetObject, obj);
  gdi::ReleaseObject(obj);
}

int SetTextColor(HDC ctx, int color) {
  if (!gdi::IsLiveContext(ctx)) return -1;
  const int prev = ctx->mTextColor;
  ctx->mTextColor = color;
  return prev;
}

int GetTextColor(HDC ctx) { return gdi::IsLiveContext(ctx) ? ctx->mTextColor : -1; }

int SetBkColor(HDC ctx, int color) {
  if (!gdi::IsLiveContext(ctx)) return -1;
  const int prev = ctx->mBkColor;
  ctx->mBkColor = color;
  return prev;
}

int GetBkColor(HDC ctx) { return gdi::IsLiveContext(ctx) ? ctx->mBkColor : -1; }

int SetBkMode(HDC ctx, int mode) {
  if (!gdi::IsLiveContext(ctx)) return 0;
  const int prev = ctx->mBkMode;
  ctx->mBkMode = mode;
  return prev;
}

int GetBkMode(HDC ctx) { return gdi::IsLiveContext(ctx) ? ctx->mBkMode : 0; }

int GetTextMetrics(HDC ctx, TEXTMETRIC* tm) {
  if (!tm) return 0;
  tm->tmHeight = 16;
  tm->tmAscent = 12;
  tm->tmDescent = 4;
  tm->tmInternalLeading = 3;
  tm->tmAveCharWidth = 10;
  if (!gdi::IsLiveContext(ctx)) return 0;
  GDI_PlatformFont* font = gdi::ContextFont(ctx);
  if (!font) return 1;
  tm->tmInternalLeading = (int)font->mLeading;
  tm->tmAscent = (int)font->mAscent;
  tm->tmDescent = (int)font->mDescent;
  tm->tmHeight = tm->tmAscent + tm->tmDescent + tm->tmInternalLeading;
  tm->tmAveCharWidth = tm->tmHeight * 2 / 3;
  if (tm->tmHeight != 0) tm->tmHeight++;
  return 1;
}
