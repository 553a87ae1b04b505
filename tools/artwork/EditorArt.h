#pragma once
// The editor's four pictures. The geometry mirrors the editor layout: control positions,
// the faders' travel and the readout boxes are where the effect places its controls.

#include "tools/artwork/Canvas.h"

namespace artwork {

constexpr int kBackgroundWidth = 274;
constexpr int kBackgroundHeight = 438;
constexpr int kKnobSize = 48;
constexpr int kKnobFrames = 100;
constexpr int kHandleWidth = 28;
constexpr int kHandleHeight = 20;

// How the background names the maker's site (the link area opens https://orvanta.example/).
constexpr const char* kMakerSite = "orvanta.example";

void DrawBackground(Canvas& canvas);
void DrawKnobStrip(Canvas& canvas);  // kKnobSize by kKnobSize * kKnobFrames
void DrawFaderHandle(Canvas& canvas);
void DrawFontStrip(Canvas& canvas);  // 6 * 95 by 12, white glyphs on transparent

}  // namespace artwork
