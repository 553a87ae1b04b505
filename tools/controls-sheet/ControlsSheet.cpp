#include "tools/controls-sheet/ControlsSheet.h"

#include <cmath>
#include <functional>

#include "graphics/Graphics.h"
#include "tests/support/HeadlessGraphics.h"
#include "tools/graphics-sheet/GraphicsSheet.h"
#include "tools/png/PngWriter.h"

namespace sheets {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kColumnValues[2] = {0.2, 0.8};

// Resource IDs of the sheet images (process-wide cache keys).
enum {
  kKnobID = 950,
  kPointerID,
  kMaskBaseID,
  kMaskID,
  kMaskTopID,
  kHandleID,
  kThreeID,
  kTwoID,
  kOverlayID,
  kRadioID,
  kFontID
};

bool Write(const std::string& folder, const char* name, int w, int h,
           const std::function<void(RAS_MemBitmap*)>& draw) {
  RAS_MemBitmap bm(w, h, 4);
  RAS_Clear(&bm, 0);
  draw(&bm);
  return WritePng(&bm, (folder + "/" + name).c_str());
}

bool WriteArtwork(const std::string& folder) {
  bool ok = true;
  ok &= Write(folder, "cs_knob.png", 24, 240, [](RAS_MemBitmap* bm) {
    for (int f = 0; f < 10; ++f) {
      float cy = 12.0f + 24.0f * f, a = (float)(-0.75 * kPi + 1.5 * kPi * f / 9.0);
      RAS_FillCircle(bm, 12.0f, cy, 10.0f, RAS_RGBA(70, 70, 90, 255), 1.0f, BLIT_COPY, true);
      RAS_Line(bm, 12, (int)cy, 12 + (int)(9 * std::sin(a)), (int)(cy - 9 * std::cos(a)),
               RAS_RGBA(255, 220, 0, 255), 1.0f, BLIT_COPY, false);
    }
  });
  ok &= Write(folder, "cs_pointer.png", 24, 24, [](RAS_MemBitmap* bm) {
    RAS_FillCircle(bm, 11.5f, 11.5f, 11.0f, RAS_RGBA(60, 90, 60, 255), 1.0f, BLIT_COPY, true);
    RAS_FillRect(bm, 11, 2, 2, 9, RAS_RGBA(255, 255, 255, 255), 1.0f, BLIT_COPY);
  });
  ok &= Write(folder, "cs_mbase.png", 24, 24, [](RAS_MemBitmap* bm) {
    RAS_FillCircle(bm, 11.5f, 11.5f, 11.0f, RAS_RGBA(40, 40, 120, 255), 1.0f, BLIT_COPY, true);
  });
  ok &= Write(folder, "cs_mask.png", 24, 24, [](RAS_MemBitmap* bm) {
    RAS_FillRect(bm, 10, 1, 4, 11, RAS_RGBA(0, 200, 200, 255), 1.0f, BLIT_COPY);
  });
  ok &= Write(folder, "cs_mtop.png", 24, 24, [](RAS_MemBitmap* bm) {
    RAS_Circle(bm, 11.5f, 11.5f, 11.0f, RAS_RGBA(255, 255, 255, 255), 1.0f, BLIT_COPY, true);
  });
  ok &= Write(folder, "cs_handle.png", 14, 10, [](RAS_MemBitmap* bm) {
    RAS_FillRect(bm, 0, 0, 14, 10, RAS_RGBA(200, 200, 210, 255), 1.0f, BLIT_COPY);
    RAS_FillRect(bm, 0, 4, 14, 2, RAS_RGBA(20, 20, 20, 255), 1.0f, BLIT_COPY);
  });
  ok &= Write(folder, "cs_three.png", 16, 48, [](RAS_MemBitmap* bm) {
    RAS_FillRect(bm, 1, 1, 14, 14, RAS_RGBA(200, 40, 40, 255), 1.0f, BLIT_COPY);
    RAS_FillRect(bm, 1, 17, 14, 14, RAS_RGBA(40, 200, 40, 255), 1.0f, BLIT_COPY);
    RAS_FillRect(bm, 1, 33, 14, 14, RAS_RGBA(40, 40, 200, 255), 1.0f, BLIT_COPY);
  });
  ok &= Write(folder, "cs_two.png", 16, 32, [](RAS_MemBitmap* bm) {
    RAS_Circle(bm, 7.5f, 7.5f, 6.0f, RAS_RGBA(160, 160, 160, 255), 1.0f, BLIT_COPY, true);
    RAS_FillCircle(bm, 7.5f, 23.5f, 6.0f, RAS_RGBA(255, 140, 0, 255), 1.0f, BLIT_COPY, true);
  });
  ok &= Write(folder, "cs_overlay.png", 40, 16, [](RAS_MemBitmap* bm) {
    RAS_FillRect(bm, 0, 0, 40, 16, RAS_RGBA(255, 255, 255, 160), 1.0f, BLIT_COPY);
  });
  ok &= Write(folder, "cs_radio.png", 12, 24, [](RAS_MemBitmap* bm) {
    RAS_Circle(bm, 5.5f, 5.5f, 5.0f, RAS_RGBA(180, 180, 180, 255), 1.0f, BLIT_COPY, false);
    RAS_FillCircle(bm, 5.5f, 17.5f, 5.0f, RAS_RGBA(120, 220, 255, 255), 1.0f, BLIT_COPY, false);
  });
  ok &= Write(folder, "cs_font.png", 570, 12, [](RAS_MemBitmap* bm) { DrawBlockFont(bm); });
  return ok;
}

struct Images {
  IBitmap knob, pointer, maskBase, mask, maskTop, handle, three, two, overlay, radio, font;
};

// One column of controls bound to parameter p, with its left edge at x0.
void AttachColumn(IGraphics* g, IPluginBase* plug, Images& im, int p, int x0) {
  IColor line(255, 250, 250, 250);
  IColor panel = p == 0 ? IColor(255, 30, 34, 44) : IColor(255, 44, 34, 30);
  g->AttachControl(new IPanelControl(plug, IRECT(x0 + 2, 2, x0 + 158, 198), &panel));
  g->AttachControl(new IKnobMultiControl(plug, x0 + 8, 8, p, &im.knob));
  g->AttachControl(new IKnobLineControl(plug, IRECT(x0 + 38, 8, x0 + 62, 32), p, &line, 3.0));
  g->AttachControl(new IKnobRotaterControl(plug, x0 + 68, 8, p, &im.pointer));
  g->AttachControl(
      new IKnobRotatingMaskControl(plug, x0 + 98, 8, p, &im.maskBase, &im.mask, &im.maskTop));
  g->AttachControl(new IFaderControl(plug, x0 + 136, 8, 70, p, &im.handle));

  g->AttachControl(new ISwitchControl(plug, x0 + 8, 40, p, &im.three));
  g->AttachControl(new ISwitchPopUpControl(plug, x0 + 28, 40, p, &im.three));
  g->AttachControl(new ISwitchFramesControl(plug, x0 + 48, 40, p, &im.three));
  g->AttachControl(new IContactControl(plug, x0 + 68, 40, p, &im.two));
  g->AttachControl(new IBitmapOverlayControl(plug, x0 + 88, 40, p, &im.overlay,
                                             IRECT(x0 + 88, 40, x0 + 98, 50)));
  g->AttachControl(new IInvisibleSwitchControl(plug, IRECT(x0 + 130, 40, x0 + 134, 44), p));

  g->AttachControl(
      new IRadioButtonsControl(plug, IRECT(x0 + 8, 62, x0 + 100, 74), p, 4, &im.radio, Horizontal));
  g->AttachControl(new IRadioButtonsControl(plug, IRECT(x0 + 104, 58, x0 + 116, 110), p, 3,
                                            &im.radio, Vertical, true));
  g->AttachControl(new IBitmapControl(plug, x0 + 120, 62, p, &im.three));

  IText text(12, &COLOR_WHITE, "DejaVu Sans", IText::kStyleNormal, IText::kAlignNear);
  g->AttachControl(new ITextControl(plug, IRECT(x0 + 8, 80, x0 + 100, 94), &text,
                                    p == 0 ? "Low value" : "High value"));
  IText caption(11, &COLOR_YELLOW, "DejaVu Sans", IText::kStyleBold, IText::kAlignCenter);
  g->AttachControl(new ICaptionControl(plug, IRECT(x0 + 8, 96, x0 + 100, 110), p, &caption));

  IText near(10, nullptr, nullptr, IText::kStyleNormal, IText::kAlignNear);
  g->AttachControl(new IBitmapTextControl(plug, IRECT(x0 + 8, 116, x0 + 150, 142), &im.font,
                                          p == 0 ? "0.2 readout" : "0.8 readout wraps onto two",
                                          &near));
  g->AttachControl(new IURLControl(plug, IRECT(x0 + 8, 146, x0 + 60, 160), "https://example.org"));
  g->AttachControl(
      new IFileSelectorControl(plug, IRECT(x0 + 64, 146, x0 + 80, 162), p, &im.two, kFileOpen));

  g->AttachControl(new IDrawnSwitchControl(plug, IRECT(x0 + 8, 174, x0 + 44, 192), p));
  g->AttachControl(new IDrawnSwitchControl(plug, IRECT(x0 + 50, 168, x0 + 64, 196), p));
  IText centred(12, &COLOR_WHITE, "DejaVu Sans");
  g->AttachControl(
      new IDrawnButtonControl(plug, IRECT(x0 + 70, 172, x0 + 112, 194), p, "Press", &centred));
  g->AttachControl(new ILabelControl(plug, IRECT(x0 + 116, 168, x0 + 156, 198), "Label", &text));
}

}  // namespace

bool RenderControlsSheet(const std::string& folder, RAS_MemBitmap* out) {
  if (!WriteArtwork(folder)) return false;
  HeadlessPlug plug(2);
  for (int p = 0; p < 2; ++p) plug.GetParam(p)->InitDouble("Level", 0.0, -94.0, 6.0, 0.01, "dB");
  auto* g = new HeadlessGraphics(&plug, kControlsSheetW, kControlsSheetH, folder.c_str());
  g->AttachPanelBackground(&COLOR_BLACK);

  Images im;
  im.knob = g->LoadIBitmap(kKnobID, "cs_knob.png", 10);
  im.pointer = g->LoadIBitmap(kPointerID, "cs_pointer.png");
  im.maskBase = g->LoadIBitmap(kMaskBaseID, "cs_mbase.png");
  im.mask = g->LoadIBitmap(kMaskID, "cs_mask.png");
  im.maskTop = g->LoadIBitmap(kMaskTopID, "cs_mtop.png");
  im.handle = g->LoadIBitmap(kHandleID, "cs_handle.png");
  im.three = g->LoadIBitmap(kThreeID, "cs_three.png", 3);
  im.two = g->LoadIBitmap(kTwoID, "cs_two.png", 2);
  im.overlay = g->LoadIBitmap(kOverlayID, "cs_overlay.png");
  im.radio = g->LoadIBitmap(kRadioID, "cs_radio.png", 2);
  im.font = g->LoadIBitmap(kFontID, "cs_font.png", 95, true);
  for (IBitmap* b : {&im.knob, &im.pointer, &im.maskBase, &im.mask, &im.maskTop, &im.handle,
                     &im.three, &im.two, &im.overlay, &im.radio, &im.font})
    if (!b->mRaster) {
      delete g;
      return false;
    }

  for (int p = 0; p < 2; ++p) AttachColumn(g, &plug, im, p, 160 * p);
  plug.AttachGraphics(g);
  for (int p = 0; p < 2; ++p) {
    plug.GetParam(p)->SetNormalized(kColumnValues[p]);
    g->SetParameterFromPlug(p, kColumnValues[p], true);
  }

  IRECT all(0, 0, kControlsSheetW, kControlsSheetH);
  g->Draw(&all);
  CopyOpaque(g->GetDrawBitmap(), out);
  return true;
}

bool RenderGenericEditorSheet(const std::string&, RAS_MemBitmap* out) {
  HeadlessPlug plug(5);
  plug.GetParam(0)->InitDouble("Width", 100.0, 0.0, 200.0, 0.1, "%");
  plug.GetParam(1)->InitBool("Polarity", false);
  plug.GetParam(2)->InitEnum("Mode", 0, 3);
  plug.GetParam(2)->SetDisplayText(0, "Soft");
  plug.GetParam(2)->SetDisplayText(1, "Hard");
  plug.GetParam(2)->SetDisplayText(2, "Fold");
  plug.GetParam(3)->InitDouble("Gain", 0.0, -24.0, 24.0, 0.1, "dB");
  plug.GetParam(4)->InitInt("Voices", 4, 1, 16);
  const double values[] = {150.0, 1.0, 1.0, -6.0, 4.0};
  for (int i = 0; i < 5; ++i) plug.GetParam(i)->Set(values[i]);

  int w = 0, h = 0;
  GetGenericEditorSize(plug.NParams(), &w, &h);
  auto* g = new HeadlessGraphics(&plug, w, h);
  AttachGenericEditor(g);
  plug.AttachGraphics(g);
  IRECT all(0, 0, w, h);
  g->Draw(&all);
  CopyOpaque(g->GetDrawBitmap(), out);
  return true;
}

}  // namespace sheets
