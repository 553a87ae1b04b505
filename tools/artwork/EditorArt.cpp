#include "tools/artwork/EditorArt.h"

#include <cmath>

#include "effect/OrvantaLayout.h"
#include "tools/artwork/Glyphs.h"

namespace artwork {

namespace {

constexpr float kPi = 3.14159265358979f;
// Knob sweep: minimum at lower left, maximum at lower right.
constexpr float kKnobMinAngle = -0.75f * kPi;
constexpr float kKnobMaxAngle = 0.75f * kPi;

// Editor positions: where the effect places its controls.
using namespace orvanta_editor;
using Box = LayoutRect;

// Palette.
const Rgba kPanelTop = Hex(0x2a3038);
const Rgba kPanelBottom = Hex(0x15181d);
const Rgba kInk = Hex(0xe6eaef);
const Rgba kDimInk = Hex(0x8d96a1);
const Rgba kAccent = Hex(0xf2a33a);
const Rgba kWell = Hex(0x090b0e);

// Fader values are shaped like the mid and side parameters: -94..+6 dB, shape 0.19.
float FaderNormalized(float dB) { return std::pow((dB + 94.0f) / 100.0f, 1.0f / 0.19f); }

// Centre row of the handle when the fader shows dB.
int FaderCentreY(float dB) {
  int travel = kFaderLength - kHandleHeight;
  return kFaderTop + (int)(travel * (1 - FaderNormalized(dB))) + kHandleHeight / 2;
}

void TextCentred(Canvas& c, int centreX, int y, const char* text, const Rgba& color,
                 int scale = 1) {
  // The last column of a cell is spacing, so it is left out of the centring.
  c.Text(centreX - (Canvas::TextWidth(text, scale) - scale) / 2, y, text, color, scale);
}

void Well(Canvas& c, const Box& b) {
  c.Paint(
      b.L - 2, b.T - 2, b.R + 2, b.B + 2,
      [&](float x, float y) { return RoundRectDistance(x, y, b.L, b.T, b.R, b.B, 3); },
      [&](float, float y) { return y < b.T + 1.5f ? Hex(0x020304) : kWell; });
  c.Paint(
      b.L - 2, b.T - 2, b.R + 2, b.B + 2,
      [&](float x, float y) {
        return std::fabs(
                   RoundRectDistance(x, y, b.L - 0.5f, b.T - 0.5f, b.R + 0.5f, b.B + 0.5f, 3.5f)) -
               0.5f;
      },
      [&](float, float y) { return Mix(Hex(0x0d0f12), Hex(0x4a525c), (y - b.T) / (b.B - b.T)); });
}

void FaderScale(Canvas& c, int faderX, bool labelsLeft) {
  int slotX = faderX + kHandleWidth / 2;
  int top = FaderCentreY(6), bottom = FaderCentreY(-94);
  // The slot the handle rides in.
  c.Paint(
      slotX - 4, top - 6, slotX + 5, bottom + 7,
      [&](float x, float y) {
        return RoundRectDistance(x, y, slotX - 2, top - 4, slotX + 3, bottom + 5, 2.5f);
      },
      kWell);
  c.Paint(
      slotX + 2, top - 4, slotX + 5, bottom + 6,
      [&](float x, float y) {
        return SegmentDistance(x, y, slotX + 3.5f, top - 2, slotX + 3.5f, bottom + 3, 0.5f);
      },
      Hex(0x3b424b));

  static const struct {
    float dB;
    const char* label;
  } kMarks[] = {{6, "+6"},    {3, "+3"},    {0, "0"},     {-3, "-3"},   {-6, "-6"},
                {-10, "-10"}, {-15, "-15"}, {-20, "-20"}, {-30, "-30"}, {-94, "-#$"}};
  for (const auto& m : kMarks) {
    int y = FaderCentreY(m.dB);
    const Rgba& tick = m.dB == 0 ? kInk : kDimInk;
    c.FillRect(faderX - 6, y, 4, 1, tick);
    c.FillRect(faderX + kHandleWidth + 2, y, 4, 1, tick);
    int textY = y - 5;  // glyph rows 2..8 centred on the tick
    if (labelsLeft) {
      c.Text(faderX - 13 - Canvas::TextWidth(m.label) + 1, textY, m.label, tick);
    } else {
      c.Text(faderX + kHandleWidth + 13, textY, m.label, tick);
    }
  }
}

}  // namespace

void DrawBackground(Canvas& c) {
  const int w = kBackgroundWidth, h = kBackgroundHeight;
  c.FillGradient(0, 0, w, h, kPanelTop, kPanelBottom);
  // Bevelled edge.
  c.Paint(
      0, 0, w, h,
      [&](float x, float y) {
        return std::fabs(RoundRectDistance(x, y, 4, 4, w - 4, h - 4, 8)) - 0.5f;
      },
      [&](float, float y) { return Mix(Hex(0x59626d), Hex(0x22272d), y / h); });

  // Title.
  TextCentred(c, w / 2, 8, "ORVANTA", Hex(0x000000, 0.5f), 3);
  TextCentred(c, w / 2, 7, "ORVANTA", kInk, 3);
  TextCentred(c, w / 2, 42, "STEREO IMAGE", kAccent);
  c.FillRect(40, 62, w - 80, 1, Hex(0x3a414a));

  // Fader captions, readouts and scales.
  TextCentred(c, (kMonoReadoutBox.L + kMonoReadoutBox.R) / 2, 76, "MONO", kInk);
  TextCentred(c, (kStereoReadoutBox.L + kStereoReadoutBox.R) / 2, 76, "STEREO", kInk);
  FaderScale(c, kMonoFaderX, true);
  FaderScale(c, kStereoFaderX, false);
  Well(c, kMonoReadoutBox);
  Well(c, kStereoReadoutBox);

  // Between the faders: what they weigh, and the maker's address (the link area).
  int mid = (kMonoFaderX + kHandleWidth + kStereoFaderX) / 2;
  TextCentred(c, mid, 120, "MID", kDimInk);
  TextCentred(c, mid, 134, "+", kDimInk);
  TextCentred(c, mid, 148, "SIDE", kDimInk);
  int linkY = (kLinkAreaBox.T + kLinkAreaBox.B) / 2 - 7;
  const char* shown = kMakerSite;
  TextCentred(c, mid, linkY, shown, kAccent);
  int underline = Canvas::TextWidth(shown) - 1;
  c.FillRect(mid - underline / 2, linkY + 10, underline, 1, Mix(kAccent, kPanelTop, 0.4f));

  // Gain knob: readout above, scale around, caption below.
  Well(c, kGainReadoutBox);
  float cx = kKnobX + kKnobSize / 2.0f, cy = kKnobY + kKnobSize / 2.0f;
  for (int i = 0; i <= 10; ++i) {
    float a = kKnobMinAngle + (kKnobMaxAngle - kKnobMinAngle) * i / 10;
    float s = std::sin(a), co = -std::cos(a);
    float r0 = 27, r1 = (i == 0 || i == 10) ? 32.0f : 30.0f;
    c.Paint((int)cx - 34, (int)cy - 34, (int)cx + 34, (int)cy + 34,
            [&](float x, float y) {
              return SegmentDistance(x, y, cx + r0 * s, cy + r0 * co, cx + r1 * s, cy + r1 * co,
                                     0.6f);
            },
            kDimInk);
  }
  c.Text((int)cx - 42, kKnobY + 54, "-#$", kDimInk);
  c.Text((int)cx + 27, kKnobY + 54, "+6", kDimInk);
  TextCentred(c, (int)cx, kKnobY + 54, "GAIN", kInk);

  c.FillRect(12, 414, w - 24, 1, Hex(0x2c3239));
}

void DrawKnobStrip(Canvas& c) {
  const float r = kKnobSize / 2.0f;
  for (int f = 0; f < kKnobFrames; ++f) {
    int top = f * kKnobSize;
    float cx = r, cy = top + r;
    float t = (float)f / (kKnobFrames - 1);
    float angle = kKnobMinAngle + (kKnobMaxAngle - kKnobMinAngle) * t;
    auto box = [&](auto dist, auto shade) {
      c.Paint(0, top, kKnobSize, top + kKnobSize, dist, shade);
    };
    auto solid = [&](auto dist, Rgba col) {
      c.Paint(0, top, kKnobSize, top + kKnobSize, dist, col);
    };

    // Value ring: the whole sweep dark, the part up to the value lit.
    solid(
        [&](float x, float y) {
          return ArcDistance(x, y, cx, cy, r - 2.5f, 1.5f, kKnobMinAngle, kKnobMaxAngle);
        },
        kWell);
    if (f > 0) {
      solid(
          [&](float x, float y) {
            return ArcDistance(x, y, cx, cy, r - 2.5f, 1.2f, kKnobMinAngle, angle);
          },
          kAccent);
    }
    // Shadow, body with light from above, rim.
    solid([&](float x, float y) { return CircleDistance(x, y, cx, cy + 1, r - 6); },
          Hex(0x000000, 0.6f));
    box([&](float x, float y) { return CircleDistance(x, y, cx, cy, r - 7); },
        [&](float, float y) {
          return Mix(Hex(0x5d6570), Hex(0x262a30), (y - (cy - r + 7)) / (2 * r - 14));
        });
    solid([&](float x, float y) { return RingDistance(x, y, cx, cy, r - 7.5f, 0.5f); },
          Hex(0x7b8490, 0.7f));
    box([&](float x, float y) { return CircleDistance(x, y, cx, cy, r - 11); },
        [&](float, float y) {
          return Mix(Hex(0x3c424a), Hex(0x4b525b), (y - (cy - r + 11)) / (2 * r - 22));
        });
    // Pointer.
    float s = std::sin(angle), co = -std::cos(angle);
    solid(
        [&](float x, float y) {
          return SegmentDistance(x, y, cx + 5 * s, cy + 5 * co, cx + (r - 9) * s, cy + (r - 9) * co,
                                 1.3f);
        },
        kInk);
  }
}

void DrawFaderHandle(Canvas& c) {
  const float w = kHandleWidth, h = kHandleHeight;
  c.Paint(
      0, 0, kHandleWidth, kHandleHeight,
      [&](float x, float y) { return RoundRectDistance(x, y, 0, 0, w, h, 3); }, Hex(0x0b0d10));
  c.Paint(
      0, 0, kHandleWidth, kHandleHeight,
      [&](float x, float y) { return RoundRectDistance(x, y, 1, 1, w - 1, h - 1, 2.5f); },
      [&](float, float y) { return Mix(Hex(0xdfe3e8), Hex(0x7d858f), y / h); });
  // Grip lines and the centre mark that points at the scale.
  for (int y : {4, 7, 12, 15}) c.FillRect(4, y, kHandleWidth - 8, 1, Hex(0x2b3036, 0.45f));
  c.FillRect(2, kHandleHeight / 2 - 1, kHandleWidth - 4, 2, kAccent);
}

void DrawFontStrip(Canvas& c) {
  for (int code = kFirstGlyph; code <= kLastGlyph; ++code) {
    char text[2] = {(char)code, 0};
    c.Text((code - kFirstGlyph) * kGlyphWidth, 0, text, Hex(0xffffff));
  }
}

}  // namespace artwork
