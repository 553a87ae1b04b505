#pragma once
// Process-wide cache of fonts, keyed by size, orientation, style and face name (colour and
// quality are not part of the key). It owns the fonts it lists. The lock is held only while
// the list is searched or changed, never while a font is made.

#include "framework/UTL_Mutex.h"
#include "framework/UTL_TypedBuf.h"

class RAS_IFont;
struct IText;

class FontStorage {
 public:
  FontStorage() = default;
  ~FontStorage();
  FontStorage(const FontStorage&) = delete;
  FontStorage& operator=(const FontStorage&) = delete;

  // The font of the first entry matching the style's key, or null.
  RAS_IFont* Find(const IText* pTxt);
  // Takes ownership; returns false (and deletes the font) when the list cannot grow.
  bool Add(const IText* pTxt, RAS_IFont* pFont);
  int Count();

 private:
  struct Entry {
    int size;
    int orientation;
    int style;
    char name[32];
    RAS_IFont* font;
  };
  UTL_TypedBuf<Entry> mEntries;
  UTL_Mutex mMutex;
};

// The process's instance.
FontStorage& GetFontStorage();
