#pragma once
// A bitmap whose pixels are the frame buffer of a memory drawing context, so the same pixels
// can be drawn by this library and handed to the platform (window copies, system text).

#include "platform/gdi/GDI.h"
#include "raster/RAS_Bitmap.h"

class RAS_SysBitmap : public RAS_IBitmap {
 public:
  explicit RAS_SysBitmap(int w = 0, int h = 0);
  ~RAS_SysBitmap() override;
  RAS_SysBitmap(const RAS_SysBitmap&) = delete;
  RAS_SysBitmap& operator=(const RAS_SysBitmap&) = delete;

  RAS_pixel* getBits() override { return m_bits; }
  int getWidth() override { return m_width; }
  int getHeight() override { return m_height; }
  // Rows lie the allocated width apart, which may exceed the visible width.
  int getRowSpan() override { return m_allocw; }
  // The context is kept while a new size fits inside the allocated one.
  bool resize(int w, int h) override;
  void* getDC() override { return m_dc; }

 private:
  int m_width = 0;
  int m_height = 0;
  HDC m_dc = nullptr;
  RAS_pixel* m_bits = nullptr;
  int m_allocw = 0;
  int m_alloch = 0;
};
