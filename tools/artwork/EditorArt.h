#pragma once
// The editor's four pictures, drawn around the editor's layout table (effect/OrvantaLayout.h):
// the faders' travel, the readout wells and the knob's scale are where the controls lie.

#include "effect/OrvantaLayout.h"
#include "tools/artwork/Canvas.h"

namespace artwork {

constexpr int kBackgroundWidth = orvanta_editor::kWidth;
constexpr int kBackgroundHeight = orvanta_editor::kHeight;
constexpr int kKnobSize = 48;
constexpr int kKnobFrames = orvanta_editor::kKnobFrames;
constexpr int kHandleWidth = 28;
constexpr int kHandleHeight = 20;

// How the background names the maker's site (the link area opens https://orvanta.example/).
constexpr const char* kMakerSite = "orvanta.example";

void DrawBackground(Canvas& canvas);
void DrawKnobStrip(Canvas& canvas);  // kKnobSize by kKnobSize * kKnobFrames
void DrawFaderHandle(Canvas& canvas);
void DrawFontStrip(Canvas& canvas);  // 6 * 95 by 12, white glyphs on transparent

}  // namespace artwork
