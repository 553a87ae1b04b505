#pragma once
// Process-wide cache of loaded images, keyed by resource ID, shared by every editor in the
// process. It owns the raster bitmaps it lists; they live until the program is unloaded unless
// released. The lock is held only while the list is searched or changed.

#include "framework/UTL_Mutex.h"
#include "framework/UTL_TypedBuf.h"

class RAS_IBitmap;

class BitmapStorage {
 public:
  BitmapStorage() = default;
  ~BitmapStorage();
  BitmapStorage(const BitmapStorage&) = delete;
  BitmapStorage& operator=(const BitmapStorage&) = delete;

  // The bitmap of the first entry with this ID, or null.
  RAS_IBitmap* Find(int ID);
  // Takes ownership; returns false (and deletes the bitmap) when the list cannot grow.
  bool Add(RAS_IBitmap* pBitmap, int ID = -1);
  // Lists the bitmap under ID -1 unless it is listed already: a bitmap listed twice would be
  // deleted twice. False when it could not be added (it is then deleted, as by Add).
  bool Retain(RAS_IBitmap* pBitmap);
  // Drops the first entry holding this bitmap and deletes it; false when not listed.
  bool Remove(RAS_IBitmap* pBitmap);
  int Count();

 private:
  struct Entry {
    int ID;
    RAS_IBitmap* bitmap;
  };
  UTL_TypedBuf<Entry> mEntries;
  UTL_Mutex mMutex;
};

// The process's instance.
BitmapStorage& GetBitmapStorage();
