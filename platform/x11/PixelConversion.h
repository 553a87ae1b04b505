#pragma once
// Conversion of raster pixel words (alpha in bits 0-7, red 8-15, green 16-23, blue 24-31)
// to the pixel values of a true-colour screen visual, described by its channel masks.

#include <cstdint>

namespace viewrules {

class VisualFormat {
 public:
  VisualFormat(unsigned long redMask, unsigned long greenMask, unsigned long blueMask);

  // The visual's value for a raster pixel; alpha is dropped (the window is opaque).
  uint32_t Convert(uint32_t rasterPixel) const;

  // The usual 8-bit-per-channel layout (0xff0000, 0xff00, 0xff) has a fast path.
  bool IsRgb888() const { return mRgb888; }

  // Converts a w by h area; spans are in pixels.
  void ConvertRect(const uint32_t* src, int srcSpan, uint32_t* dst, int dstSpan, int width,
                   int height) const;

 private:
  struct Channel {
    int shift = 0;  // position of the mask's lowest bit
    int bits = 0;   // width of the mask
  };
  static Channel FromMask(unsigned long mask);
  static uint32_t Place(uint32_t value8, const Channel& c);

  Channel mRed, mGreen, mBlue;
  bool mRgb888;
};

}  // namespace viewrules
