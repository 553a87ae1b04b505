// Draws the editor's pictures into a folder: orvantaBack.png, knob.png, SliderCap.png and
// font-white.png. Usage: orvanta_artwork <folder> [preview.png]; the preview puts the
// pieces together as the editor shows them, twice the size, for a look before committing.
#include <cstdio>
#include <string>

#include "tools/artwork/EditorArt.h"
#include "tools/artwork/Glyphs.h"
#include "tools/png/PngWriter.h"

using namespace artwork;

// Fixed settings keep regenerated files byte-identical; the smallest files, as they ship.
constexpr PngWriteOptions kArtworkPng{.compressionLevel = kPngBestCompression};

// Copies the sx, sy, w, h area of src to (dx, dy) of dst, doubled, over what is there.
static void Stamp(Canvas& dst, Canvas& src, int sx, int sy, int w, int h, int dx, int dy) {
  RAS_pixel* bits = src.Bitmap().getBits();
  int span = src.Bitmap().getRowSpan();
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      RAS_pixel p = bits[(size_t)(sy + y) * span + sx + x];
      Rgba c{((p >> 8) & 255) / 255.0f, ((p >> 16) & 255) / 255.0f, (p >> 24) / 255.0f, 1};
      for (int k = 0; k < 4; ++k)
        dst.Blend(2 * (dx + x) + k % 2, 2 * (dy + y) + k / 2, c, (p & 255) / 255.0f);
    }
  }
}

static void StampText(Canvas& dst, Canvas& font, const char* text, int x, int y) {
  for (; *text; ++text, x += kGlyphWidth) {
    Stamp(dst, font, (*text - kFirstGlyph) * kGlyphWidth, 0, kGlyphWidth, kGlyphHeight, x, y);
  }
}

static void Preview(Canvas& back, Canvas& knob, Canvas& handle, Canvas& font, Canvas& out) {
  Stamp(out, back, 0, 0, kBackgroundWidth, kBackgroundHeight, 0, 0);
  Stamp(out, knob, 0, 70 * kKnobSize, kKnobSize, kKnobSize, 113, 333);
  Stamp(out, handle, 0, 0, kHandleWidth, kHandleHeight, 48, 106 + 74);
  Stamp(out, handle, 0, 0, kHandleWidth, kHandleHeight, 197, 106 + 267);
  StampText(out, font, "0.00", 62 - 12, 95);
  StampText(out, font, "-#$", 210 - 9, 95);
  StampText(out, font, "-2.5", 137 - 12, 315);
  StampText(out, font, "v2.0.1", 268 - 36, 422);
  // The whole font, in two rows over the bottom of the picture.
  char all[kGlyphCount + 1] = {};
  for (int i = 0; i < kGlyphCount; ++i) all[i] = (char)(kFirstGlyph + i);
  StampText(out, font, std::string(all, 45).c_str(), 2, 400);
  StampText(out, font, all + 45, 2, 412);
}

static bool Save(Canvas& canvas, const std::string& folder, const char* name) {
  std::string path = folder + "/" + name;
  if (WritePng(&canvas.Bitmap(), path.c_str(), kArtworkPng)) {
    std::printf("wrote %s (%d x %d)\n", path.c_str(), canvas.Width(), canvas.Height());
    return true;
  }
  std::fprintf(stderr, "orvanta_artwork: cannot write %s\n", path.c_str());
  return false;
}

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: %s <output folder> [preview.png]\n", argv[0]);
    return 2;
  }
  std::string folder = argv[1];

  Canvas background(kBackgroundWidth, kBackgroundHeight);
  DrawBackground(background);
  Canvas knob(kKnobSize, kKnobSize * kKnobFrames);
  DrawKnobStrip(knob);
  Canvas handle(kHandleWidth, kHandleHeight);
  DrawFaderHandle(handle);
  Canvas font(kGlyphWidth * kGlyphCount, kGlyphHeight);
  DrawFontStrip(font);

  bool ok = Save(background, folder, "orvantaBack.png") && Save(knob, folder, "knob.png") &&
            Save(handle, folder, "SliderCap.png") && Save(font, folder, "font-white.png");
  if (ok && argc == 3) {
    Canvas preview(2 * kBackgroundWidth, 2 * kBackgroundHeight);
    Preview(background, knob, handle, font, preview);
    ok = WritePng(&preview.Bitmap(), argv[2], kArtworkPng);
  }
  return ok ? 0 : 1;
}
