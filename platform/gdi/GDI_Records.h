#pragma once
// Context and object records behind the handles, and the pools that recycle them.
// Internal to the emulation (tests may look inside).

#include "platform/gdi/GDI_Types.h"

struct GDI_PlatformFont;

struct GDI_Context {
  // The pixel surface drawn on; stands in for the platform 2-D context.
  unsigned char* mBits;
  int mWidth, mHeight, mRowBytes;
  void* mFrameBlock;  // owned heap block of a memory context, else null
  HGDIOBJ mPen, mBrush, mFont;
  int mTextColor;  // red in bits 16-23, green 8-15, blue 0-7
  int mBkColor;
  int mBkMode;   // 1 fills the text background
  bool mPooled;  // dead: every operation on it does nothing
  GDI_Context* mNextPooled;
};

struct GDI_Object {
  int mType;  // GDI_OBJ_PEN .. GDI_OBJ_BITMAP
  int mRefCount;
  int mColor;    // pens and brushes
  int mWidth;    // pen width, or the image field of bitmaps
  float mAngle;  // fonts: degrees, kept but not applied
  bool mPooled;
  GDI_Object* mNextPooled;
  GDI_PlatformFont* mFont;
  unsigned char mQuality;  // 0 default, 3 not anti-aliased, 4 anti-aliased
};

namespace gdi {

class PoolLock {
 public:
  PoolLock();
  ~PoolLock();
  PoolLock(const PoolLock&) = delete;
  PoolLock& operator=(const PoolLock&) = delete;
};

// A zeroed record, taken from the pool when one waits there. Null when memory is short.
GDI_Context* AllocContext();
GDI_Object* AllocObject(int type);
// Clears a record and pools it (or frees it when the pool is full).
void ReleaseContext(GDI_Context* ctx);
void ReleaseObject(GDI_Object* obj);

// Live means created and not yet released. Handles are checked against the set of live
// records, so that a stale handle to a freed record is refused instead of read.
bool IsLiveContext(HDC ctx);
bool IsLiveObject(HGDIOBJ obj);
// Calls fn for every live context (with the pool lock held).
void ForEachLiveContext(void (*fn)(GDI_Context*, void*), void* user);

// Font rules of CreateFont: the size from the height (or width) argument, and the face text
// with " Bold" / " Italic" appended by weight and italic byte.
float FontSizeFromArgs(int height, int width);
void FontFaceText(const char* faceName, int weight, bool italic, char* out, int outSize);

// The selected font when it is a live font, else the default font (null if none can be made).
GDI_PlatformFont* ContextFont(HDC ctx);

// What a font object was made from and matched to; null or 0 for anything but a live font.
const char* FontFaceTextOf(HFONT font);
const char* FontFileOf(HFONT font);
float FontSizeOf(HFONT font);

}  // namespace gdi
