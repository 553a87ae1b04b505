#pragma once
// A PNG file as a bitmap whose pixels are decoded when first asked for. Opening reads only the
// file's header, so that an editor can be laid out from the sizes of its images without paying
// for decoding pictures it never draws; hosts make many instances that never show an editor.
// Decoding happens once, on whichever thread first asks for the pixels; the pixels then stay.

#include <atomic>
#include <mutex>
#include <string>

#include "raster/RAS_Bitmap.h"

class RAS_DeferredPNG : public RAS_IBitmap {
 public:
  // Null when the file cannot be read or does not start with a PNG header.
  static RAS_DeferredPNG* Open(const char* filename);
  ~RAS_DeferredPNG() override;
  RAS_DeferredPNG(const RAS_DeferredPNG&) = delete;
  RAS_DeferredPNG& operator=(const RAS_DeferredPNG&) = delete;

  // Null when the file no longer decodes, or decodes to another size than its header gave:
  // the bitmap then has no pixels rather than pixels of a size its callers do not expect.
  RAS_pixel* getBits() override;
  int getWidth() override { return mWidth; }
  int getHeight() override { return mHeight; }
  int getRowSpan() override;
  // The size is the file's.
  bool resize(int, int) override { return false; }

  bool IsDecoded() const { return mDecoded.load(std::memory_order_acquire); }

 private:
  RAS_DeferredPNG(const char* filename, int w, int h);
  RAS_MemBitmap* Pixels();

  std::string mPath;
  const int mWidth;
  const int mHeight;
  std::once_flag mOnce;
  std::atomic<bool> mDecoded = false;
  RAS_MemBitmap* mPixels = nullptr;  // set once, null when decoding failed
};
