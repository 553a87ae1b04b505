#include "graphics/FontStorage.h"

#include <cstring>

#include "graphics/IText.h"
#include "raster/Raster.h"

FontStorage::~FontStorage() {
  for (int i = 0; i < mEntries.GetSize(); ++i) delete mEntries.Get()[i].font;
  mEntries.Resize(0);
}

RAS_IFont* FontStorage::Find(const IText* pTxt) {
  UTL_MutexLock lock(mMutex);
  for (int i = 0; i < mEntries.GetSize(); ++i) {
    const Entry& e = mEntries.Get()[i];
    if (e.size == pTxt->mSize && e.orientation == pTxt->mOrientation && e.style == pTxt->mStyle &&
        std::strncmp(e.name, pTxt->mFontName, sizeof(e.name)) == 0)
      return e.font;
  }
  return nullptr;
}

bool FontStorage::Add(const IText* pTxt, RAS_IFont* pFont) {
  if (!pFont) return false;
  Entry e;
  e.size = pTxt->mSize;
  e.orientation = pTxt->mOrientation;
  e.style = pTxt->mStyle;
  std::memcpy(e.name, pTxt->mFontName, sizeof(e.name));
  e.name[sizeof(e.name) - 1] = '\0';
  e.font = pFont;
  UTL_MutexLock lock(mMutex);
  if (!mEntries.Add(e)) {
    delete pFont;
    return false;
  }
  return true;
}

int FontStorage::Count() {
  UTL_MutexLock lock(mMutex);
  return mEntries.GetSize();
}

FontStorage& GetFontStorage() {
  static FontStorage storage;
  return storage;
}
