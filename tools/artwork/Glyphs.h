#pragma once
// The editor's bitmap font: one 6 by 12 cell for each character code 32 to 126.

namespace artwork {

constexpr int kGlyphWidth = 6;
constexpr int kGlyphHeight = 12;
constexpr int kFirstGlyph = 32;
constexpr int kLastGlyph = 126;
constexpr int kGlyphCount = kLastGlyph - kFirstGlyph + 1;

// Whether pixel (x, y) of the cell of character code c is set; false outside the cell or
// the font's range.
bool GlyphPixel(int c, int x, int y);

}  // namespace artwork
