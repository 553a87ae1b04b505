#include "TextSheet.h"

#include <cstdio>

namespace {

constexpr RAS_pixel kPaper = RAS_RGBA(250, 248, 240, 255);
constexpr RAS_pixel kInk = RAS_RGBA(20, 24, 40, 255);
constexpr RAS_pixel kFrame = RAS_RGBA(190, 190, 200, 255);
constexpr int kOwned = RAS_FONT_FLAG_OWNS_HFONT;
constexpr int kNative = RAS_FONT_FLAG_OWNS_HFONT | RAS_FONT_FLAG_NATIVE;

HFONT Face(int size, const char* face = "DejaVu Sans", int weight = 400, bool italic = false,
           int quality = 4) {
  return CreateFont(-size, 0, 0, 0, weight, italic ? 1 : 0, 0, 0, 0, 0, 0, (char)quality, 0, face);
}

void Frame(RAS_IBitmap* bm, const RECT& r) {
  RAS_FillRect(bm, r.left - 1, r.top - 1, r.right - r.left + 2, 1, kFrame, 1.0f, BLIT_COPY);
  RAS_FillRect(bm, r.left - 1, r.bottom, r.right - r.left + 2, 1, kFrame, 1.0f, BLIT_COPY);
  RAS_FillRect(bm, r.left - 1, r.top, 1, r.bottom - r.top, kFrame, 1.0f, BLIT_COPY);
  RAS_FillRect(bm, r.right, r.top, 1, r.bottom - r.top, kFrame, 1.0f, BLIT_COPY);
}

void Text(RAS_IBitmap* bm, RAS_CachedFont& font, const char* text, RECT r, unsigned flags = 0) {
  font.DrawText(bm, text, -1, &r, flags);
}

// Sizes down the left column, glyph path above native path for each.
void Sizes(RAS_IBitmap* bm) {
  int y = 6;
  for (int size : {9, 12, 16, 24}) {
    for (int flags : {kOwned, kNative}) {
      RAS_CachedFont font;
      font.SetFromHFont(Face(size), flags);
      font.SetTextColor(kInk);
      char line[64];
      std::snprintf(line, sizeof line, "%s %dpx -6 dB", flags == kNative ? "native" : "glyph",
                    size);
      Text(bm, font, line, RECT{8, y, 236, y + 40});
      y += font.GetLineHeight() + 2;
    }
  }
}

// Styles and faces in the right column.
void Styles(RAS_IBitmap* bm) {
  struct Style {
    const char* face;
    int weight;
    bool italic;
    const char* label;
  } styles[] = {
      {"DejaVu Sans", 700, false, "Sans Bold"},
      {"DejaVu Sans", 400, true, "Sans Italic"},
      {"DejaVu Sans", 700, true, "Sans Bold Italic"},
      {"DejaVu Serif", 400, false, "Serif 0.5 dB"},
      {"DejaVu Sans Mono", 400, false, "Mono 0123456789"},
  };
  int y = 6;
  for (const Style& s : styles) {
    RAS_CachedFont font;
    font.SetFromHFont(Face(13, s.face, s.weight, s.italic), kOwned);
    font.SetTextColor(RAS_RGBA(120, 20, 30, 255));
    Text(bm, font, s.label, RECT{244, y, 430, y + 30});
    y += font.GetLineHeight() + 2;
  }
}

// Nine alignments in framed boxes, glyph path on the left, native on the right.
void Alignments(RAS_IBitmap* bm) {
  const unsigned h[] = {0, DT_CENTER, DT_RIGHT};
  const unsigned v[] = {0, DT_VCENTER, DT_BOTTOM};
  for (int path = 0; path < 2; ++path) {
    RAS_CachedFont font;
    font.SetFromHFont(Face(10), path ? kNative : kOwned);
    font.SetTextColor(kInk);
    const int x0 = 8 + path * 236, y0 = 190;
    for (int row = 0; row < 3; ++row)
      for (int col = 0; col < 3; ++col) {
        const RECT r{x0 + col * 76, y0 + row * 38, x0 + col * 76 + 70, y0 + row * 38 + 32};
        Frame(bm, r);
        Text(bm, font, "Mix", r, h[col] | v[row]);
      }
  }
}

// Renderers, backgrounds, clipping, vertical text and several lines along the bottom.
void Renderers(RAS_IBitmap* bm) {
  const int y = 310;
  struct Variant {
    int flags;
    int quality;
    const char* label;
  } variants[] = {
      {kOwned | RAS_FONT_FLAG_MONO, 4, "mono flag"},
      {kNative, 3, "native quality 3"},
      {kOwned | RAS_FONT_FLAG_FX_SHADOW, 4, "shadow"},
      {kOwned | RAS_FONT_FLAG_FX_OUTLINE, 4, "outline"},
      {kOwned | RAS_FONT_FLAG_BLUR, 4, "blurred"},
  };
  int x = 8;
  for (const Variant& var : variants) {
    RAS_CachedFont font;
    font.SetFromHFont(Face(12, "DejaVu Sans", 700, false, var.quality), var.flags);
    font.SetTextColor(kInk);
    font.SetEffectColor(RAS_RGBA(230, 140, 0, 255));
    Text(bm, font, var.label, RECT{x, y, x + 120, y + 20});
    x += var.flags == kNative ? 124 : 82;
  }

  RAS_CachedFont opaque;
  opaque.SetFromHFont(Face(12), kOwned);
  opaque.SetTextColor(RAS_RGBA(255, 255, 255, 255));
  opaque.SetBkColor(RAS_RGBA(40, 90, 160, 255));
  opaque.SetBkMode(1);
  Text(bm, opaque, "opaque glyphs", RECT{8, y + 24, 200, y + 44});
  RAS_CachedFont opaqueNative;
  opaqueNative.SetFromHFont(Face(12), kNative);
  opaqueNative.SetTextColor(RAS_RGBA(255, 255, 255, 255));
  opaqueNative.SetBkColor(RAS_RGBA(160, 40, 90, 255));
  opaqueNative.SetBkMode(1);
  Text(bm, opaqueNative, "opaque native", RECT{120, y + 24, 300, y + 44});

  RAS_CachedFont half;
  half.SetFromHFont(Face(14), kOwned);
  half.SetTextColor(RAS_RGBA(0, 120, 0, 255));
  half.SetCombineMode(BLIT_COPY, 0.5f);
  Text(bm, half, "alpha 0.5", RECT{240, y + 24, 340, y + 44});
  half.SetCombineMode(BLIT_MUL, 1.0f);
  half.SetTextColor(RAS_RGBA(0, 0, 200, 255));
  Text(bm, half, "multiply", RECT{330, y + 24, 420, y + 44});

  const RECT clip{8, y + 52, 120, y + 62};
  Frame(bm, clip);
  RAS_CachedFont clipped;
  clipped.SetFromHFont(Face(14), kOwned);
  clipped.SetTextColor(kInk);
  Text(bm, clipped, "clipped to the box", clip);
  RAS_CachedFont lines;
  lines.SetFromHFont(Face(11), kNative);
  lines.SetTextColor(kInk);
  Text(bm, lines, "two lines\nnative & centred", RECT{130, y + 50, 300, y + 90}, DT_CENTER);
  RAS_CachedFont glyphLines;
  glyphLines.SetFromHFont(Face(11), kOwned);
  glyphLines.SetTextColor(kInk);
  Text(bm, glyphLines, "two lines\nglyph, right", RECT{300, y + 50, 472, y + 90}, DT_RIGHT);

  RAS_CachedFont down, up;
  down.SetFromHFont(Face(11), kOwned | RAS_FONT_FLAG_VERTICAL);
  up.SetFromHFont(Face(11), kOwned | RAS_FONT_FLAG_VERTICAL | RAS_FONT_FLAG_VERTICAL_UP);
  down.SetTextColor(kInk);
  up.SetTextColor(kInk);
  Text(bm, down, "down", RECT{452, 6, 470, 120});
  Text(bm, up, "up", RECT{432, 6, 450, 120});
}

}  // namespace

void DrawTextSheet(RAS_IBitmap* sheet) {
  RAS_Clear(sheet, kPaper);
  Sizes(sheet);
  Styles(sheet);
  Alignments(sheet);
  Renderers(sheet);
}
