#pragma once
// The bitmap interface every drawing operation works through, and the heap-backed bitmap.

#include <cstdint>

#include "raster/RAS_Pixel.h"

class RAS_IBitmap {
 public:
  virtual ~RAS_IBitmap() {}

  // First pixel word (row 0 in memory), or null when there are no pixels.
  virtual RAS_pixel* getBits() = 0;
  virtual int getWidth() = 0;
  virtual int getHeight() = 0;
  // Distance between rows in pixels (not bytes); at least the width.
  virtual int getRowSpan() = 0;
  // True when row 0 of the picture is the last row in memory.
  virtual bool isFlipped() { return false; }
  // True if the size or the storage changed.
  virtual bool resize(int w, int h) = 0;
  // The platform drawing-context handle behind the pixels, if any (an HDC of the
  // drawing-context layer; kept untyped so the library does not depend on that layer).
  virtual void* getDC() { return nullptr; }
  // Extension hook for type-specific requests.
  virtual intptr_t Extended(int id, void* data) {
    (void)id;
    (void)data;
    return 0;
  }
};

// Pixels in a heap block. The first pixel is 64-byte aligned and rows are padded to the
// alignment given at construction. The block grows with a reserve and never shrinks, so
// temporary bitmaps that are resized again and again seldom allocate.
class RAS_MemBitmap : public RAS_IBitmap {
 public:
  explicit RAS_MemBitmap(int w = 0, int h = 0, unsigned int linealign = 4);
  ~RAS_MemBitmap() override;
  RAS_MemBitmap(const RAS_MemBitmap&) = delete;
  RAS_MemBitmap& operator=(const RAS_MemBitmap&) = delete;

  RAS_pixel* getBits() override;
  int getWidth() override { return m_width; }
  int getHeight() override { return m_height; }
  int getRowSpan() override { return (m_width + m_linealign) & ~m_linealign; }
  bool resize(int w, int h) override;

  // Bytes of pixel storage the block holds (without the alignment slack).
  int getAllocatedSize() const { return m_allocsize; }

 private:
  void release();

  void* m_fb = nullptr;
  int m_width = 0;
  int m_height = 0;
  int m_allocsize = 0;
  int m_linealign = 0;  // row alignment in pixels minus one
};
