#pragma once
// Platform fonts over FreeType, found through fontconfig. Internal to the emulation: only
// this folder's sources include it.

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace gdi {

// A rendered glyph: coverage 0-255 per pixel (mono glyphs hold only 0 and 255), placed
// relative to the pen on the baseline.
struct Glyph {
  double advance = 0;     // unhinted, in pixels
  int left = 0, top = 0;  // offset of the map's top-left from the pen (top is upward)
  int width = 0, height = 0;
  std::vector<uint8_t> coverage;
};

struct FontFile {
  std::string path;
  int index = 0;
};

}  // namespace gdi

struct GDI_PlatformFont {
  std::mutex mLock;  // one face is shared by every context the font is selected into
  FT_Face mFace = nullptr;
  float mSize = 0;
  double mAscent = 0, mDescent = 0, mLeading = 0;
  std::string mFaceText;                                // as requested
  gdi::FontFile mFile;                                  // as matched
  std::unordered_map<uint32_t, gdi::Glyph> mGlyphs[2];  // anti-aliased, mono
  std::unordered_map<uint32_t, double> mAdvances;
};

namespace gdi {

// Face text with " Bold" / " Italic" suffixes to a font file; faces that match nothing fall
// back to fontconfig's default sans face. Results are cached per face text.
FontFile MatchFontFace(const std::string& faceText);

// Null when the font file cannot be opened or sized.
GDI_PlatformFont* CreatePlatformFont(const std::string& faceText, float size);
void DestroyPlatformFont(GDI_PlatformFont* font);
// The label font at size 10, made on first need and kept; null if no font can be had.
GDI_PlatformFont* DefaultFont();

// With the font's lock held: the glyph for a code, rendered on first need and cached
// (large glyphs are rendered into scratch instead of the cache). Never null.
const Glyph& GetGlyph(GDI_PlatformFont* font, uint32_t code, bool mono, Glyph& scratch);
// With the font's lock held: the unhinted advance of a code, without rendering it.
double GetAdvance(GDI_PlatformFont* font, uint32_t code);

}  // namespace gdi
