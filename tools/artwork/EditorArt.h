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

// The address the link area opens, and how the background names it.
constexpr const char* kMakerAddress = "https://www.orvanta.example/";
constexpr const char* kMakerSite = "orvanta.example";

void DrawBackground(Canvas& canvas);
void DrawKnobStrip(Canvas& canvas);  // kKnobSize by kKnobSize * kKnobFrames
void DrawFaderHandle(Canvas& canvas);
void DrawFontStrip(Canvas& canvas);  // 6 * 95 by 12, white glyphs on transparent

}  // namespace artwork
