#include "tools/graphics-sheet/GraphicsSheet.h"

#include <cmath>

#include "graphics/Graphics.h"
#include "tests/support/HeadlessGraphics.h"
#include "tools/png/PngWriter.h"

namespace sheets {

namespace {

constexpr float kPi = 3.14159265f;

// Resource IDs of the sheet images (process-wide cache keys).
enum { kGradientID = 900, kKnobID, kFontID };

bool WriteGradient(const std::string& path) {
  RAS_MemBitmap bm(48, 32, 4);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 48; ++x)
      bm.getBits()[y * bm.getRowSpan() + x] = RAS_RGBA(x * 5, y * 7, 255 - x * 5, 128 + y * 4);
  return WritePng(&bm, path.c_str());
}

// 10 frames of a 24 by 24 knob: a disc with a pointer turning clockwise.
bool WriteKnobStrip(const std::string& path) {
  RAS_MemBitmap bm(24, 240, 4);
  RAS_Clear(&bm, 0);
  for (int f = 0; f < 10; ++f) {
    float cy = 12.0f + 24.0f * f;
    RAS_FillCircle(&bm, 12.0f, cy, 10.0f, RAS_RGBA(60, 60, 70, 255), 1.0f, BLIT_COPY, true);
    float a = -0.75f * kPi + 1.5f * kPi * f / 9.0f;
    RAS_Line(&bm, 12, (int)cy, 12 + (int)(9 * std::sin(a)), (int)(cy - 9 * std::cos(a)),
             RAS_RGBA(255, 200, 0, 255), 1.0f, BLIT_COPY, false);
  }
  return WritePng(&bm, path.c_str());
}

bool WriteFont(const std::string& path) {
  RAS_MemBitmap font(570, 12, 4);
  DrawBlockFont(&font);
  return WritePng(&font, path.c_str());
}

// Draws the shape primitives.
class ShapesControl : public IControl {
 public:
  ShapesControl(IPluginBase* pPlug, IRECT r) : IControl(pPlug, r) {}
  bool Draw(IGraphics* g) override {
    IColor red = COLOR_RED, blue = COLOR_BLUE, white = COLOR_WHITE, yellow = COLOR_YELLOW;
    IColor orange = COLOR_ORANGE, green = COLOR_GREEN;
    int L = mRECT.L, T = mRECT.T;
    IRECT rr(L + 4, T + 4, L + 44, T + 30);
    g->FillRoundRect(&blue, &rr, nullptr, 6, true);
    g->DrawCircle(&white, L + 70.0f, T + 18.0f, 12.0f, nullptr, true);
    g->FillCircle(&red, L + 100, T + 18, 9.0f, nullptr, false);
    g->DrawArc(&yellow, L + 100.0f, T + 18.0f, 13.0f, 0.0f, kPi, nullptr, true);
    g->FillTriangle(&orange, L + 4, T + 60, L + 24, T + 36, L + 44, T + 60);
    int xs[] = {L + 56, L + 80, L + 88, L + 64};
    int ys[] = {T + 38, T + 40, T + 58, T + 60};
    g->FillIConvexPolygon(&green, xs, ys, 4);
    g->DrawLine(&white, L + 96.0f, T + 36.0f, L + 116.0f, T + 60.0f, nullptr, true);
    g->DrawRadialLine(&yellow, L + 106.0f, T + 48.0f, 0.25f * kPi, 2.0f, 12.0f, nullptr, false);
    IRECT box(L + 2, T + 2, L + 117, T + 63);
    g->DrawRect(&white, &box);
    IChannelBlend half(IChannelBlend::BlendNone, 0.5f);
    IRECT overlay(L + 30, T + 20, L + 60, T + 45);
    g->FillIRect(&white, &overlay, &half);
    g->DrawPoint(&red, L + 10.0f, T + 50.0f);
    return true;
  }
};

}  // namespace

void DrawBlockFont(RAS_MemBitmap* font) {
  RAS_Clear(font, 0);
  for (int f = 1; f < 95; ++f) {
    // Each glyph is a pattern of its code's bits in a 5 by 10 grid of 1 by 2 blocks.
    int code = f + 32;
    for (int bit = 0; bit < 7; ++bit) {
      if (!(code >> bit & 1)) continue;
      int x = 6 * f + (bit % 3) * 2, y = 1 + (bit / 3) * 4;
      RAS_FillRect(font, x, y, 2, 3, RAS_RGBA(255, 255, 255, 255), 1.0f, BLIT_COPY);
    }
  }
}

void CopyOpaque(RAS_IBitmap* src, RAS_MemBitmap* out) {
  out->resize(src->getWidth(), src->getHeight());
  RAS_Blit(out, src, 0, 0, 0, 0, src->getWidth(), src->getHeight(), 1.0f, BLIT_COPY);
  RAS_ClearRect(out, 0, 0, out->getWidth(), out->getHeight(), 0xFFFFFF00u, 0xFFu);
}

bool RenderGraphicsSheet(const std::string& folder, RAS_MemBitmap* out) {
  if (!WriteGradient(folder + "/sheet_gradient.png") ||
      !WriteKnobStrip(folder + "/sheet_knob.png") || !WriteFont(folder + "/sheet_font.png"))
    return false;

  HeadlessPlug plug(1);
  plug.GetParam(0)->InitDouble("Level", 0.0, 0.0, 1.0, 0.01);
  auto* g = new HeadlessGraphics(&plug, kGraphicsSheetW, kGraphicsSheetH, folder.c_str());
  IColor panel(255, 40, 44, 52);
  g->AttachPanelBackground(&panel);

  IBitmap gradient = g->LoadIBitmap(kGradientID, "sheet_gradient.png");
  IBitmap knob = g->LoadIBitmap(kKnobID, "sheet_knob.png", 10);
  IBitmap font = g->LoadIBitmap(kFontID, "sheet_font.png", 95, true);
  if (!gradient.mRaster || !knob.mRaster || !font.mRaster) return false;

  g->AttachControl(new IBitmapControl(&plug, 8, 8, &gradient));
  g->AttachControl(
      new IBitmapControl(&plug, 30, 24, &gradient, IChannelBlend(IChannelBlend::BlendAdd, 0.7f)));
  auto* knobCtl = new IKnobMultiControl(&plug, 70, 8, 0, &knob);
  g->AttachControl(knobCtl);
  auto* knob2 = new IBitmapControl(&plug, 100, 8, -1, &knob);
  g->AttachControl(knob2);
  g->AttachControl(new ShapesControl(&plug, IRECT(120, 4, 240, 70)));

  IColor textColor(255, 230, 230, 230);
  IText label(13, &textColor, "DejaVu Sans", IText::kStyleNormal, IText::kAlignNear);
  g->AttachControl(new ITextControl(&plug, IRECT(8, 74, 120, 90), &label, "Orvanta 2.0"));
  IText bold(12, &COLOR_YELLOW, "DejaVu Sans", IText::kStyleBold, IText::kAlignFar);
  g->AttachControl(new ITextControl(&plug, IRECT(120, 74, 232, 90), &bold, "Bold, far"));
  IText centre(10, &COLOR_WHITE, "DejaVu Sans Mono", IText::kStyleNormal, IText::kAlignCenter);
  g->AttachControl(new ITextControl(&plug, IRECT(0, 92, 240, 104), &centre, "centred mono"));

  IText near(10, nullptr, nullptr, IText::kStyleNormal, IText::kAlignNear);
  g->AttachControl(new IBitmapTextControl(&plug, IRECT(8, 110, 110, 150), &font,
                                          "Bitmap text wraps across lines", &near));
  g->AttachControl(new IBitmapTextControl(&plug, IRECT(120, 110, 232, 124), &font, "centre",
                                          nullptr, 6, 12, 2, false, true));

  plug.AttachGraphics(g);
  g->SetParameterFromPlug(0, 0.7, true);
  knob2->SetValueFromPlug(0.3);  // unbound values come straight from the plug-in too

  IRECT all(0, 0, kGraphicsSheetW, kGraphicsSheetH);
  g->Draw(&all);
  CopyOpaque(g->GetDrawBitmap(), out);
  return true;
}

}  // namespace sheets
