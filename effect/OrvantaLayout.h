#pragma once
// The editor's geometry, in one table: the effect places its controls here, the artwork
// generator draws the background's wells and scales here, and the window tests aim here.
// Editor pixels, origin top left; rectangles are left, top, right, bottom (exclusive).

namespace orvanta_editor {

struct LayoutRect {
  int L, T, R, B;
};

constexpr int kWidth = 274;
constexpr int kHeight = 438;

// The gain knob's top left corner; its strip has kKnobFrames frames.
constexpr int kKnobX = 113, kKnobY = 333;
constexpr int kKnobFrames = 100;
// Both faders run down from the same top over the same length; x is the handle's left edge.
constexpr int kFaderTop = 106, kFaderLength = 287;
constexpr int kMonoFaderX = 48, kStereoFaderX = 197;

constexpr LayoutRect kGainReadoutBox{103, 315, 171, 330};
constexpr LayoutRect kMonoReadoutBox{21, 95, 103, 110};
constexpr LayoutRect kStereoReadoutBox{171, 95, 249, 110};
constexpr LayoutRect kVersionLineBox{200, 422, 268, 435};
// Where a click opens the maker's site.
constexpr LayoutRect kLinkAreaBox{30, 188, 242, 210};

}  // namespace orvanta_editor
