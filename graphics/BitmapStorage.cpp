#include "graphics/BitmapStorage.h"

#include "raster/Raster.h"

BitmapStorage::~BitmapStorage() {
  for (int i = 0; i < mEntries.GetSize(); ++i) delete mEntries.Get()[i].bitmap;
  mEntries.Resize(0);
}

RAS_IBitmap* BitmapStorage::Find(int ID) {
  UTL_MutexLock lock(mMutex);
  for (int i = 0; i < mEntries.GetSize(); ++i) {
    const Entry& e = mEntries.Get()[i];
    if (e.ID == ID) return e.bitmap;
  }
  return nullptr;
}

bool BitmapStorage::Add(RAS_IBitmap* pBitmap, int ID) {
  if (!pBitmap) return false;
  UTL_MutexLock lock(mMutex);
  if (!mEntries.Add(Entry{ID, pBitmap})) {
    delete pBitmap;
    return false;
  }
  return true;
}

bool BitmapStorage::Retain(RAS_IBitmap* pBitmap) {
  if (!pBitmap) return false;
  // One lock over the look-up and the addition, so two retains of one bitmap add one entry.
  UTL_MutexLock lock(mMutex);
  for (int i = 0; i < mEntries.GetSize(); ++i)
    if (mEntries.Get()[i].bitmap == pBitmap) return true;
  return Add(pBitmap, -1);
}

bool BitmapStorage::Remove(RAS_IBitmap* pBitmap) {
  RAS_IBitmap* found = nullptr;
  {
    UTL_MutexLock lock(mMutex);
    int n = mEntries.GetSize();
    Entry* entries = mEntries.Get();
    for (int i = 0; i < n; ++i) {
      if (entries[i].bitmap != pBitmap) continue;
      found = pBitmap;
      for (int j = i; j < n - 1; ++j) entries[j] = entries[j + 1];
      mEntries.Resize(n - 1);
      break;
    }
  }
  delete found;
  return found != nullptr;
}

int BitmapStorage::Count() {
  UTL_MutexLock lock(mMutex);
  return mEntries.GetSize();
}

BitmapStorage& GetBitmapStorage() {
  static BitmapStorage storage;
  return storage;
}
