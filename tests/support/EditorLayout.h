#pragma once
// What the editor's window tests know of its layout: the faders' geometry from the handle
// image, the readouts' rectangles, the parameter value a handle position stands for, and
// golden snapshots as a window shows them (0xRRGGBB). Needs ORVANTA_SOURCE_DIR.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "effect/Orvanta.h"
#include "raster/Raster.h"

namespace editor_layout {

using namespace orvanta_editor;

inline const IRECT kMonoReadoutRect(kMonoReadoutBox.L, kMonoReadoutBox.T, kMonoReadoutBox.R,
                                    kMonoReadoutBox.B);
inline const IRECT kStereoReadoutRect(kStereoReadoutBox.L, kStereoReadoutBox.T, kStereoReadoutBox.R,
                                      kStereoReadoutBox.B);
inline const IRECT kGainReadoutRect(kGainReadoutBox.L, kGainReadoutBox.T, kGainReadoutBox.R,
                                    kGainReadoutBox.B);
// Where the pointer takes the handles: inside them, left of their middle.
constexpr int kMonoFaderPointerX = kMonoFaderX + 10, kStereoFaderPointerX = kStereoFaderX + 10;

// The handle's half height and the fader's travel.
struct FaderGeometry {
  int half = 0, travel = 0;
};

inline FaderGeometry Fader() {
  std::unique_ptr<RAS_IBitmap> cap(RAS_LoadPNG(ORVANTA_SOURCE_DIR "/resources/img/SliderCap.png"));
  if (!cap) return {};
  return {cap->getHeight() / 2, kFaderLength - cap->getHeight()};
}

// An instance of the effect whose parameters give the shapes of the expected values.
inline Orvanta& Model() {
  static Orvanta model{IPluginInstanceInfo()};
  return model;
}

// The decibel value of a parameter at a normalised position, and the reverse.
inline double Decibels(int idx, double normalized) {
  Model().GetParam(idx)->SetNormalized(normalized);
  return Model().GetParam(idx)->Value();
}
inline double Normalized(int idx, double dB) { return Model().GetParam(idx)->GetNormalized(dB); }

// A golden editor snapshot (path below the source folder) as 0xRRGGBB; empty when missing.
inline std::vector<uint32_t> GoldenWindow(const std::string& file) {
  std::unique_ptr<RAS_IBitmap> golden(RAS_LoadPNG((ORVANTA_SOURCE_DIR "/" + file).c_str()));
  std::vector<uint32_t> rgb;
  if (!golden || golden->getWidth() != kWidth || golden->getHeight() != kHeight) return rgb;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const RAS_pixel p = golden->getBits()[y * golden->getRowSpan() + x];
      rgb.push_back(((p >> 8) & 0xff) << 16 | ((p >> 16) & 0xff) << 8 | (p >> 24));
    }
  return rgb;
}

// Whether two window images of the editor agree inside a rectangle.
inline bool SameRegion(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, IRECT r) {
  for (int y = r.T; y < r.B; ++y)
    for (int x = r.L; x < r.R; ++x)
      if (a[y * kWidth + x] != b[y * kWidth + x]) return false;
  return true;
}

}  // namespace editor_layout
