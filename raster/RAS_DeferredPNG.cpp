#include "raster/RAS_DeferredPNG.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "raster/RAS_PNG.h"

namespace {

// The signature and the first chunk, which the format requires to be the header: length 13,
// "IHDR", width and height as big-endian 32-bit numbers.
constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr int kHeaderBytes = 24;

int BigEndian(const unsigned char* p) {
  const unsigned long v = (unsigned long)p[0] << 24 | (unsigned long)p[1] << 16 |
                          (unsigned long)p[2] << 8 | (unsigned long)p[3];
  // libpng refuses anything above 2^31 - 1; such a size marks the file as no picture.
  return v > 0x7fffffffUL ? 0 : (int)v;
}

}  // namespace

RAS_DeferredPNG* RAS_DeferredPNG::Open(const char* filename) {
  if (!filename) return nullptr;
  FILE* f = std::fopen(filename, "rb");
  if (!f) return nullptr;
  unsigned char header[kHeaderBytes];
  const bool read = std::fread(header, 1, sizeof header, f) == sizeof header;
  std::fclose(f);
  if (!read || std::memcmp(header, kSignature, sizeof kSignature) != 0 ||
      std::memcmp(header + 12, "IHDR", 4) != 0)
    return nullptr;
  const int w = BigEndian(header + 16), h = BigEndian(header + 20);
  if (w <= 0 || h <= 0) return nullptr;
  return new (std::nothrow) RAS_DeferredPNG(filename, w, h);
}

RAS_DeferredPNG::RAS_DeferredPNG(const char* filename, int w, int h)
    : mPath(filename), mWidth(w), mHeight(h) {}

RAS_DeferredPNG::~RAS_DeferredPNG() { delete mPixels; }

RAS_MemBitmap* RAS_DeferredPNG::Pixels() {
  std::call_once(mOnce, [this] {
    RAS_MemBitmap* pixels = new (std::nothrow) RAS_MemBitmap(0, 0, 4);
    if (pixels && (!RAS_LoadPNG(mPath.c_str(), pixels) || pixels->getWidth() != mWidth ||
                   pixels->getHeight() != mHeight)) {
      delete pixels;
      pixels = nullptr;
    }
    mPixels = pixels;
    mDecoded.store(true, std::memory_order_release);
  });
  return mPixels;
}

RAS_pixel* RAS_DeferredPNG::getBits() {
  RAS_MemBitmap* pixels = Pixels();
  return pixels ? pixels->getBits() : nullptr;
}

int RAS_DeferredPNG::getRowSpan() {
  RAS_MemBitmap* pixels = Pixels();
  return pixels ? pixels->getRowSpan() : mWidth;
}
