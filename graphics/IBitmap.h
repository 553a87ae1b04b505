#pragma once
// Handle on an image in the process-wide cache: the pixels plus how its frames are laid out.
// Copied by value; the pixels belong to the cache.

class RAS_IBitmap;

struct IBitmap {
  RAS_IBitmap* mRaster = nullptr;
  int W = 0;
  int H = 0;
  int N = 1;
  bool mHorizontalFrames = false;

  IBitmap() = default;
  IBitmap(RAS_IBitmap* raster, int w, int h, int n = 1, bool horizontalFrames = false)
      : mRaster(raster), W(w), H(h), N(n), mHorizontalFrames(horizontalFrames) {}

  // Size of one frame; a frame count below 1 reads as one frame.
  int FrameW() const { return mHorizontalFrames && N > 1 ? W / N : W; }
  int FrameH() const { return !mHorizontalFrames && N > 1 ? H / N : H; }
};
