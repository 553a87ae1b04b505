// Stock controls driven through the engine: presses, drags, wheel and double clicks arrive as
// the engine delivers them, and parameter changes land in the test plug-in.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "DrawingTestSupport.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

RAS_pixel RowCode(int x, int y) { return RAS_RGBA(y & 0xFF, y >> 8, x, 255); }
int RowOf(RAS_pixel p) { return RAS_GETR(p) | RAS_GETG(p) << 8; }
RAS_pixel Solid(int, int) { return RAS_RGBA(200, 10, 10, 255); }

class Controls : public DrawingFixture {
 protected:
  void SetUp() override {
    DrawingFixture::SetUp();
    plug.mLog = &log;
  }
  // Attaches the control and lets it learn its parameter's value (and default).
  template <class T>
  T* Add(T* c) {
    g->AttachControl(c);
    plug.RedrawParamControls();
    return c;
  }
  void DrawNow() {
    RAS_Clear(g->GetDrawBitmap(), kMarker);
    IRECT all(0, 0, kW, kH);
    g->Draw(&all);
  }
  IBitmap Image(const char* name, int w, int h, int n = 1, RAS_pixel (*pixel)(int, int) = Solid) {
    WriteImage(ImageFolder(), name, w, h, pixel);
    return g->LoadIBitmap(FreshID(), name, n);
  }
  double Level() { return plug.GetParam(EditorTestPlug::kLevel)->Value(); }

  EventLog log;
  IMouseMod left{true};
  IMouseMod shift{true, false, true};
  IMouseMod ctrl{true, false, false, true};
  IMouseMod right{false, true};
};

TEST_F(Controls, KnobGearingAndFineAdjustment) {
  IColor c = COLOR_WHITE;
  auto* knob = Add(new IKnobLineControl(&plug, IRECT(10, 10, 40, 60), EditorTestPlug::kLevel, &c));
  log.clear();
  g->OnMouseDown(20, 40, &left);
  g->OnMouseDrag(20, -10, &left);  // up by the control's height of 50
  g->OnMouseUp(20, -10, &left);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.25);
  EXPECT_THAT(log, ElementsAre("begin 4", "gui 4 0.2500", "end 4"));
  EXPECT_NEAR(Level(), 0.25, 1e-12);

  g->OnMouseDown(20, 40, &shift);
  g->OnMouseDrag(20, -10, &shift);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.275);
  g->OnMouseDrag(20, 90, &ctrl);  // down by twice the height, fine: -0.05
  EXPECT_NEAR(knob->GetValue(), 0.225, 1e-12);
  g->OnMouseDrag(20, 1000, &left);  // far below: clamped at 0
  EXPECT_EQ(knob->GetValue(), 0.0);
  g->OnMouseUp(20, 1000, &left);
}

TEST_F(Controls, HorizontalKnobUsesTheWidth) {
  IColor c = COLOR_WHITE;
  auto* knob = Add(new IKnobLineControl(&plug, IRECT(0, 0, 40, 20), EditorTestPlug::kLevel, &c, 0,
                                        0, 0, 3.14, Horizontal, 2.0));
  g->OnMouseDown(10, 10, &left);
  g->OnMouseDrag(30, 0, &left);  // right by half the width, gearing 2
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.25);
}

TEST_F(Controls, DegenerateGeometryNeverProducesNaN) {
  IColor c = COLOR_WHITE;
  auto* flat = Add(new IKnobLineControl(&plug, IRECT(0, 0, 20, 0), EditorTestPlug::kLevel, &c));
  flat->OnMouseDrag(5, 0, 5, 0, &left);  // sideways on a vertical knob with no height
  EXPECT_EQ(flat->GetValue(), 0.0);
  auto* ungeared = Add(new IKnobLineControl(&plug, IRECT(0, 0, 40, 20), EditorTestPlug::kLevel, &c,
                                            0, 0, 0, 3.14, Vertical, 0.0));
  ungeared->OnMouseDrag(5, 0, 0, -5, &left);
  EXPECT_EQ(ungeared->GetValue(), 0.0);

  IBitmap radio = Image("radio1.png", 8, 16, 2);
  auto* single =
      Add(new IRadioButtonsControl(&plug, IRECT(40, 0, 48, 50), EditorTestPlug::kLevel, 1, &radio));
  g->OnMouseDown(44, 4, &left);
  EXPECT_EQ(single->GetValue(), 0.0);
  EXPECT_FALSE(std::isnan(Level()));
}

TEST_F(Controls, KnobWheelStepsAndClamps) {
  IColor c = COLOR_WHITE;
  auto* knob = Add(new IKnobLineControl(&plug, IRECT(10, 10, 40, 60), EditorTestPlug::kLevel, &c));
  knob->SetValueFromPlug(0.995);
  g->OnMouseWheel(20, 20, &left, 1);
  EXPECT_EQ(knob->GetValue(), 1.0);
  knob->SetValueFromPlug(0.995);
  g->OnMouseWheel(20, 20, &ctrl, 1);
  EXPECT_NEAR(knob->GetValue(), 0.996, 1e-12);
  g->OnMouseWheel(20, 20, &left, -3);
  EXPECT_NEAR(knob->GetValue(), 0.966, 1e-12);
}

TEST_F(Controls, MultiFrameKnobPicksTheNearestFrameAndDoubleClickRestores) {
  IBitmap strip = Image("controls_knob.png", 3, 4000, 100, RowCode);
  auto* knob = Add(new IKnobMultiControl(&plug, 20, 20, EditorTestPlug::kLevel, &strip));
  EXPECT_EQ(*knob->GetRECT(), IRECT(20, 20, 23, 60));
  knob->SetValueFromPlug(0.004);
  DrawNow();
  EXPECT_EQ(RowOf(Px(21, 20)), 0);
  knob->SetValueFromPlug(0.006);
  DrawNow();
  EXPECT_EQ(RowOf(Px(21, 20)), 40);
  knob->SetValueFromPlug(1.0);
  DrawNow();
  EXPECT_EQ(RowOf(Px(21, 59)), 3999);

  // The default is the value the parameter had when the control learnt it: 0.
  log.clear();
  EXPECT_FALSE(g->OnMouseDblClick(21, 30, &left));
  EXPECT_EQ(knob->GetValue(), 0.0);
  EXPECT_THAT(log, ElementsAre("gui 4 0.0000"));
}

class Fader : public Controls {
 protected:
  void SetUp() override {
    Controls::SetUp();
    handle = Image("fader_handle.png", 10, 20);
    fader = Add(new IFaderControl(&plug, 30, 5, 287, EditorTestPlug::kLevel, &handle));
  }
  IBitmap handle;
  IFaderControl* fader = nullptr;
};

TEST_F(Fader, ClicksPutTheHandleCentreUnderTheMouse) {
  EXPECT_EQ(*fader->GetRECT(), IRECT(30, 5, 40, 292));
  g->OnMouseDown(35, 5 + 10, &left);
  EXPECT_EQ(fader->GetValue(), 1.0);
  g->OnMouseUp(35, 5 + 10, &left);
  g->OnMouseDown(35, 5 + 277, &left);
  EXPECT_EQ(fader->GetValue(), 0.0);
  g->OnMouseUp(35, 5 + 277, &left);
  g->OnMouseDown(35, 5 + 143, &left);
  EXPECT_DOUBLE_EQ(fader->GetValue(), 1.0 - 133.0 / 267.0);
  EXPECT_NEAR(Level(), 1.0 - 133.0 / 267.0, 1e-12);
  // Dragging above the top clamps to 1.
  g->OnMouseDrag(35, -30, &left);
  EXPECT_EQ(fader->GetValue(), 1.0);
  g->OnMouseUp(35, -30, &left);
}

TEST_F(Fader, HandleRectangleAndDrawing) {
  EXPECT_EQ(fader->GetHandleRECT(1.0), IRECT(30, 5, 40, 25));
  EXPECT_EQ(fader->GetHandleRECT(0.0), IRECT(30, 272, 40, 292));
  EXPECT_EQ(fader->GetHandleRECT(0.5), IRECT(30, 5 + 133, 40, 25 + 133));
  fader->SetValueFromPlug(0.8);
  EXPECT_EQ(fader->GetHandleRECT(), fader->GetHandleRECT(0.8));

  fader->SetValueFromPlug(0.9);  // handle at 5 + (int)(267 * 0.1) = 31
  DrawNow();
  EXPECT_EQ(Px(35, 31), Solid(0, 0));
  EXPECT_EQ(Px(35, 50), Solid(0, 0));
  EXPECT_TRUE(Untouched(35, 30));
  EXPECT_TRUE(Untouched(35, 51));
}

TEST_F(Fader, OnlyHandleHitRule) {
  auto* picky =
      Add(new IFaderControl(&plug, 60, 0, 100, EditorTestPlug::kSteps, &handle, Vertical, true));
  picky->SetValueFromPlug(1.0);  // handle at the top: (60, 0, 70, 20)
  EXPECT_TRUE(picky->IsHit(65, 10));
  EXPECT_FALSE(picky->IsHit(65, 50));
  EXPECT_FALSE(picky->IsHit(65, 20));
  EXPECT_TRUE(fader->IsHit(35, 200));  // the whole track
}

TEST_F(Fader, HorizontalFaderAndWheel) {
  IBitmap wide = Image("fader_h.png", 20, 10);
  auto* h = Add(new IFaderControl(&plug, 0, 80, 100, EditorTestPlug::kLevel, &wide, Horizontal));
  EXPECT_EQ(*h->GetRECT(), IRECT(0, 80, 100, 90));
  g->OnMouseDown(10 + 40, 85, &left);
  EXPECT_DOUBLE_EQ(h->GetValue(), 0.5);
  EXPECT_EQ(h->GetHandleRECT(), IRECT(40, 80, 60, 90));
  g->OnMouseUp(50, 85, &left);
  g->OnMouseWheel(50, 85, &shift, 2);
  EXPECT_NEAR(h->GetValue(), 0.502, 1e-12);
}

TEST_F(Fader, HandleAsLongAsTheTrackIsIgnoredInsteadOfDividingByZero) {
  auto* stuck = Add(new IFaderControl(&plug, 80, 0, 20, EditorTestPlug::kSteps, &handle));
  double before = stuck->GetValue();
  g->OnMouseDown(85, 3, &left);
  EXPECT_EQ(stuck->GetValue(), before);
  g->OnMouseUp(85, 3, &left);
}

TEST_F(Controls, BitmapTextReadoutMarksDirtyOncePerChangeAndLaysOut) {
  WriteImage(ImageFolder(), "readout_font.png", 570, 12,
             [](int x, int y) { return RAS_RGBA(x & 0xFF, x >> 8, y, 255); });
  IBitmap font = g->LoadIBitmap(FreshID(), "readout_font.png", 95, true);
  IText style(10, nullptr, nullptr, IText::kStyleNormal, IText::kAlignFar);
  auto* readout = Add(new IBitmapTextControl(&plug, IRECT(0, 0, 60, 12), &font, "", &style));
  DrawNow();
  EXPECT_FALSE(readout->IsDirty());
  readout->SetTextFromPlug("-6.0");
  EXPECT_TRUE(readout->IsDirty());
  DrawNow();
  EXPECT_FALSE(readout->IsDirty());  // no second pass for a text change
  readout->SetTextFromPlug("-6.0");
  EXPECT_FALSE(readout->IsDirty());
  // Far alignment: "-6.0" ends at the right edge, so "-" starts at 60 - 24.
  auto column = [&](int x) { return RAS_GETR(Px(x, 0)) | RAS_GETG(Px(x, 0)) << 8; };
  EXPECT_EQ(column(36), ('-' - 32) * 6);
  EXPECT_EQ(column(54), ('0' - 32) * 6);
  EXPECT_TRUE(Untouched(35, 1));
}

TEST_F(Controls, LinkTriesTheAddressThenTheBackup) {
  auto* link = Add(new IURLControl(&plug, IRECT(0, 0, 20, 20), "https://a.example",
                                   "https://b.example", "cannot open"));
  g->mURLAnswers = {false, true};
  g->OnMouseDown(5, 5, &left);
  ASSERT_EQ(g->mURLs.size(), 2u);
  EXPECT_EQ(g->mURLs[0].url, "https://a.example");
  EXPECT_EQ(g->mURLs[0].errMsg, "cannot open");
  EXPECT_EQ(g->mURLs[1].url, "https://b.example");
  EXPECT_EQ(link->GetValue(), 0.0);

  g->mURLs.clear();
  g->mURLAnswers = {true};
  g->OnMouseDown(5, 5, &left);
  EXPECT_EQ(g->mURLs.size(), 1u);

  Add(new IURLControl(&plug, IRECT(30, 0, 50, 20), "", nullptr, nullptr));
  Add(new IURLControl(&plug, IRECT(60, 0, 80, 20), nullptr, "https://backup.example"));
  g->mURLs.clear();
  g->OnMouseDown(35, 5, &left);
  EXPECT_TRUE(g->mURLs.empty());
  g->OnMouseDown(65, 5, &left);
  ASSERT_EQ(g->mURLs.size(), 1u);
  EXPECT_EQ(g->mURLs[0].url, "https://backup.example");
}

TEST_F(Controls, LinkTextsAreCutToTheirFields) {
  std::string longURL = "https://example.org/" + std::string(700, 'x');
  IURLControl link(&plug, IRECT(0, 0, 1, 1), longURL.c_str(), longURL.c_str(), longURL.c_str());
  EXPECT_EQ(std::strlen(link.GetURL()), 511u);
  EXPECT_EQ(std::strlen(link.GetBackupURL()), 511u);
  EXPECT_EQ(std::strlen(link.GetErrMsg()), 511u);
  EXPECT_EQ(std::string(link.GetURL()), longURL.substr(0, 511));
}

TEST_F(Controls, SwitchesStepThroughTheirFrames) {
  IBitmap three = Image("switch3.png", 10, 30, 3);
  IBitmap one = Image("switch1.png", 10, 10, 1);
  auto* s3 = Add(new ISwitchControl(&plug, 0, 0, EditorTestPlug::kLevel, &three));
  auto* s1 = Add(new ISwitchControl(&plug, 20, 0, -1, &one));
  EXPECT_EQ(*s3->GetRECT(), IRECT(0, 0, 10, 10));
  std::vector<double> seen;
  for (int i = 0; i < 3; ++i) {
    g->OnMouseDown(5, 5, &left);
    g->OnMouseUp(5, 5, &left);
    seen.push_back(s3->GetValue());
  }
  EXPECT_THAT(seen, ElementsAre(0.5, 1.0, 0.0));
  g->OnMouseDown(25, 5, &left);
  EXPECT_EQ(s1->GetValue(), 1.0);
  g->OnMouseDown(25, 5, &left);
  EXPECT_EQ(s1->GetValue(), 0.0);
  // A double click counts as one more press.
  g->OnMouseDblClick(5, 5, &left);
  EXPECT_EQ(s3->GetValue(), 0.5);
}

TEST_F(Controls, InvisibleSwitchTogglesAroundTheMiddle) {
  auto* s = Add(new IInvisibleSwitchControl(&plug, IRECT(0, 0, 10, 10), EditorTestPlug::kLevel));
  EXPECT_EQ(s->GetBlend()->mMethod, IChannelBlend::BlendClobber);
  s->SetValueFromPlug(0.4);
  g->OnMouseDown(5, 5, &left);
  EXPECT_EQ(s->GetValue(), 1.0);
  s->SetValueFromPlug(0.5);
  g->OnMouseDown(5, 5, &left);
  EXPECT_EQ(s->GetValue(), 0.0);
  DrawNow();
  EXPECT_TRUE(Untouched(5, 5));
}

TEST_F(Controls, RadioButtonsSelectAndDrawTheActiveOne) {
  // Frame 1 (off) dark, frame 2 (on) bright.
  WriteImage(ImageFolder(), "radio.png", 8, 16, [](int, int y) {
    return y < 8 ? RAS_RGBA(20, 20, 20, 255) : RAS_RGBA(240, 240, 240, 255);
  });
  IBitmap radio = g->LoadIBitmap(FreshID(), "radio.png", 2);
  auto* r =
      Add(new IRadioButtonsControl(&plug, IRECT(0, 0, 8, 50), EditorTestPlug::kLevel, 4, &radio));
  // Buttons 8 high with a gap of (50 - 32) / 3 = 6.
  EXPECT_EQ(r->GetButtonRECT(2), IRECT(0, 28, 8, 36));
  g->OnMouseDown(4, 30, &left);
  EXPECT_DOUBLE_EQ(r->GetValue(), 2.0 / 3.0);
  g->OnMouseUp(4, 30, &left);
  DrawNow();
  EXPECT_EQ(RAS_GETR(Px(4, 2)), 20);
  EXPECT_EQ(RAS_GETR(Px(4, 16)), 20);
  EXPECT_EQ(RAS_GETR(Px(4, 30)), 240);
  EXPECT_EQ(RAS_GETR(Px(4, 44)), 20);
  EXPECT_TRUE(Untouched(4, 10));  // the gap

  // Reversed horizontal buttons run from the right.
  auto* rev =
      new IRadioButtonsControl(&plug, IRECT(0, 60, 50, 68), -1, 3, &radio, Horizontal, true);
  g->AttachControl(rev);
  // gap = (50 - 24) / 2 = 13; first button at 50 - 8 - 13 = 29.
  EXPECT_EQ(rev->GetButtonRECT(0), IRECT(29, 60, 37, 68));
  EXPECT_EQ(rev->GetButtonRECT(1), IRECT(8, 60, 16, 68));
}

TEST_F(Controls, SwitchFramesContactAndOverlay) {
  IBitmap three = Image("frames3.png", 10, 30, 3);
  auto* frames = Add(new ISwitchFramesControl(&plug, 0, 0, EditorTestPlug::kLevel, &three));
  EXPECT_FALSE(frames->IsPromptDisabled());
  // The one-frame-high rectangle is split into three click areas of 3 rows.
  EXPECT_EQ(frames->GetFrameRECT(1), IRECT(0, 3, 10, 6));
  g->OnMouseDown(5, 4, &left);
  EXPECT_EQ(frames->GetValue(), 0.5);
  g->OnMouseUp(5, 4, &left);
  g->OnMouseDown(5, 9, &left);  // outside all areas: unchanged, still pushed
  EXPECT_EQ(frames->GetValue(), 0.5);
  g->OnMouseUp(5, 9, &left);

  IBitmap two = Image("contact.png", 10, 20, 2);
  auto* contact = Add(new IContactControl(&plug, 20, 0, EditorTestPlug::kSteps, &two));
  contact->SetValueFromPlug(0.0);
  g->OnMouseDown(25, 5, &left);
  EXPECT_EQ(contact->GetValue(), 1.0);
  g->OnMouseUp(25, 5, &left);
  EXPECT_EQ(contact->GetValue(), 0.0);

  IBitmap picture = Image("overlay.png", 40, 30);
  auto* overlay = Add(new IBitmapOverlayControl(&plug, 60, 40, &picture, IRECT(60, 40, 70, 50)));
  EXPECT_TRUE(overlay->IsHit(65, 45));
  EXPECT_FALSE(overlay->IsHit(90, 60));
  g->OnMouseDown(65, 45, &left);
  EXPECT_EQ(overlay->GetValue(), 1.0);
  DrawNow();
  EXPECT_EQ(Px(90, 60), Solid(0, 0));
  EXPECT_TRUE(overlay->IsHit(90, 60));
  g->OnMouseDown(90, 60, &left);
  EXPECT_EQ(overlay->GetValue(), 0.0);
  DrawNow();
  EXPECT_TRUE(Untouched(90, 60));
  EXPECT_FALSE(overlay->IsHit(90, 60));
}

TEST_F(Controls, PopUpSwitchOpensTheParameterMenu) {
  IBitmap three = Image("popup3.png", 10, 30, 3);
  Add(new ISwitchPopUpControl(&plug, 0, 0, EditorTestPlug::kMode, &three));
  g->mMenuAnswers = {0};
  g->OnMouseDown(5, 5, &left);
  ASSERT_EQ(g->mMenus.size(), 1u);
  EXPECT_THAT(g->mMenus[0].items, ElementsAre("One", "Two", "Three"));
  EXPECT_EQ(plug.GetParam(EditorTestPlug::kMode)->Value(), 0.0);
}

TEST_F(Controls, CaptionShowsDisplayTextAndOptionalLabel) {
  IText style(12, &COLOR_WHITE, "DejaVu Sans");
  auto* with =
      Add(new ICaptionControl(&plug, IRECT(0, 0, 60, 14), EditorTestPlug::kGain, &style, true));
  auto* without =
      Add(new ICaptionControl(&plug, IRECT(0, 20, 60, 34), EditorTestPlug::kGain, &style, false));
  g->SetParameterFromPlug(EditorTestPlug::kGain, -3.25, false);
  plug.GetParam(EditorTestPlug::kGain)->Set(-3.25);
  DrawNow();
  EXPECT_STREQ(with->GetTextForPlug(), "-3.25 dB");
  EXPECT_STREQ(without->GetTextForPlug(), "-3.25");
  EXPECT_FALSE(Untouched(30, 7) && Untouched(25, 7) && Untouched(35, 7));

  // Prompting stays disabled unless the editor enables it.
  g->OnMouseDown(5, 5, &left);
  EXPECT_TRUE(g->mTextEntries.empty());
  with->DisablePrompt(false);
  g->OnMouseDown(5, 5, &left);
  g->OnMouseDblClick(5, 5, &left);
  EXPECT_EQ(g->mTextEntries.size(), 2u);
}

TEST_F(Controls, LineKnobDrawsFromInnerToOuterRadius) {
  IColor c = COLOR_YELLOW;
  auto* knob = Add(new IKnobLineControl(&plug, IRECT(20, 20, 60, 60), EditorTestPlug::kLevel, &c,
                                        5.0, 0.0, 0.0, 3.141592653589793));
  knob->SetValueFromPlug(0.0);  // straight up from (40, 40), radius 5 to 20
  DrawNow();
  EXPECT_EQ(Px(40, 30), c.Pack());
  EXPECT_EQ(Px(40, 22), c.Pack());
  EXPECT_TRUE(Untouched(40, 38));
  EXPECT_TRUE(Untouched(40, 50));
  knob->SetValueFromPlug(0.5);  // pointing right
  DrawNow();
  EXPECT_EQ(Px(50, 40), c.Pack());
  EXPECT_TRUE(Untouched(40, 30));
  EXPECT_TRUE(Untouched(30, 40));
}

TEST_F(Controls, DrawnSwitchTogglesAndPutsItsThumbOnTheOnSide) {
  auto* wide = Add(new IDrawnSwitchControl(&plug, IRECT(10, 10, 40, 24), EditorTestPlug::kBypass));
  Add(new IDrawnSwitchControl(&plug, IRECT(60, 10, 74, 40), -1));
  const RAS_pixel thumb = IDrawnSwitchControl::kDefaultThumbColor.Pack();
  const RAS_pixel on = IDrawnSwitchControl::kDefaultOnColor.Pack();
  const RAS_pixel off = IDrawnSwitchControl::kDefaultOffColor.Pack();
  // Ends are half circles of radius 7 centred 7 in from the left and 8 in from the right
  // (or top and bottom); the thumb sits on one of those centres.
  DrawNow();
  EXPECT_EQ(Px(17, 17), thumb);
  EXPECT_EQ(Px(32, 17), off);
  EXPECT_EQ(Px(67, 32), thumb);
  EXPECT_EQ(Px(67, 17), off);
  EXPECT_TRUE(Untouched(10, 10));  // outside the round end

  g->OnMouseDown(25, 17, &left);
  g->OnMouseUp(25, 17, &left);
  g->OnMouseDown(67, 25, &left);
  DrawNow();
  EXPECT_EQ(Px(32, 17), thumb);
  EXPECT_EQ(Px(17, 17), on);
  EXPECT_EQ(Px(67, 17), thumb);
  EXPECT_EQ(Px(67, 32), on);
  wide->SetValueFromPlug(0.5);  // on, as the parameter reads it
  DrawNow();
  EXPECT_EQ(Px(32, 17), thumb);
}

TEST_F(Controls, DrawnButtonIsHeldWhilePressedAndActsOnlyWhenReleasedOverIt) {
  int actions = 0;
  IText style(10, &COLOR_WHITE, "DejaVu Sans");
  auto* button = Add(new IDrawnButtonControl(&plug, IRECT(10, 60, 70, 80), EditorTestPlug::kLevel,
                                             "Go", &style, [&] { ++actions; }));
  const RAS_pixel face = IDrawnButtonControl::kDefaultFaceColor.Pack();
  const RAS_pixel pressed = IDrawnButtonControl::kDefaultPressedColor.Pack();
  log.clear();
  g->OnMouseDown(20, 70, &left);
  DrawNow();
  EXPECT_EQ(Px(11, 70), pressed);
  g->OnMouseUp(20, 70, &left);
  EXPECT_EQ(actions, 1);
  EXPECT_THAT(log, ElementsAre("begin 4", "gui 4 1.0000", "gui 4 0.0000", "end 4"));
  DrawNow();
  EXPECT_EQ(Px(11, 70), face);

  // Dragged off it lets go, back on it holds again; released elsewhere it does nothing.
  g->OnMouseDown(20, 70, &left);
  g->OnMouseDrag(20, 95, &left);
  EXPECT_FALSE(button->IsPressed());
  EXPECT_EQ(Level(), 0.0);
  g->OnMouseDrag(25, 75, &left);
  EXPECT_TRUE(button->IsPressed());
  g->OnMouseUp(100, 75, &left);  // with no drag there first
  EXPECT_EQ(actions, 1);
}

TEST_F(Controls, LabelCentresItsTextVertically) {
  IText style(12, &COLOR_WHITE, "DejaVu Sans");
  Add(new ILabelControl(&plug, IRECT(0, 0, 60, 60), "Label", &style));
  IRECT line(0, 0, 60, 60);
  ASSERT_TRUE(g->MeasureIText(&style, (char*)"Label", &line));
  const int top = (60 - line.H()) / 2;
  DrawNow();
  int first = -1, last = -1;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x)
      if (!Untouched(x, y)) {
        if (first < 0) first = y;
        last = y;
      }
  EXPECT_GE(first, top);
  EXPECT_LT(last, top + line.H());
}

TEST_F(Controls, RotaterTurnsTheWholeImage) {
  // A dark square with a bright spot in its top row.
  WriteImage(ImageFolder(), "rotater.png", 20, 20, [](int x, int y) {
    return (y < 4 && x >= 8 && x < 12) ? RAS_RGBA(255, 255, 255, 255) : RAS_RGBA(30, 30, 30, 255);
  });
  IBitmap img = g->LoadIBitmap(FreshID(), "rotater.png");
  auto* knob = Add(
      new IKnobRotaterControl(&plug, 40, 40, EditorTestPlug::kLevel, &img, 0.0, 3.141592653589793));
  EXPECT_EQ(*knob->GetRECT(), IRECT(40, 40, 60, 60));
  knob->SetValueFromPlug(0.0);
  DrawNow();
  EXPECT_GT(RAS_GETR(Px(50, 41)), 200);
  EXPECT_LT(RAS_GETR(Px(50, 58)), 60);
  knob->SetValueFromPlug(1.0);  // half a turn: the spot is at the bottom
  DrawNow();
  EXPECT_LT(RAS_GETR(Px(50, 41)), 60);
  EXPECT_GT(RAS_GETR(Px(50, 58)), 200);
  knob->SetValueFromPlug(0.5);  // a quarter turn clockwise: on the right
  DrawNow();
  EXPECT_GT(RAS_GETR(Px(58, 50)), 200);
  EXPECT_LT(RAS_GETR(Px(41, 50)), 60);
}

TEST_F(Controls, RotatingMaskTurnsInDegrees) {
  IBitmap base = Image("rm_base.png", 10, 10);
  WriteImage(ImageFolder(), "rm_mask.png", 10, 10,
             [](int, int y) { return y < 5 ? RAS_RGBA(0, 120, 0, 255) : RAS_RGBA(0, 0, 0, 0); });
  WriteImage(ImageFolder(), "rm_top.png", 10, 10, [](int, int) { return RAS_RGBA(0, 0, 0, 0); });
  IBitmap mask = g->LoadIBitmap(FreshID(), "rm_mask.png");
  IBitmap top = g->LoadIBitmap(FreshID(), "rm_top.png");
  auto* knob = Add(new IKnobRotatingMaskControl(&plug, 70, 10, EditorTestPlug::kLevel, &base, &mask,
                                                &top, 0.0, 180.0));
  knob->GetBlend()->mMethod = IChannelBlend::BlendClobber;
  knob->SetValueFromPlug(0.0);
  DrawNow();
  EXPECT_GT(RAS_GETG(Px(75, 11)), 100);
  EXPECT_LT(RAS_GETG(Px(75, 18)), 20);
  knob->SetValueFromPlug(1.0);
  DrawNow();
  EXPECT_LT(RAS_GETG(Px(75, 11)), 20);
  EXPECT_GT(RAS_GETG(Px(75, 18)), 100);
}

TEST_F(Controls, FileSelectorCyclesThroughItsStates) {
  IBitmap busy = Image("busy.png", 10, 10);
  auto* sel = Add(new IFileSelectorControl(&plug, IRECT(0, 0, 10, 10), EditorTestPlug::kLevel,
                                           &busy, kFileOpen, "/tmp", "png"));
  sel->SetLastSelectedFileFromPlug("old.png");
  DrawNow();
  g->mFileAnswer = "new.png";
  g->OnMouseDown(5, 5, &left);
  EXPECT_THAT(g->mFilePrompts, ElementsAre("old.png"));
  UTL_String chosen;
  sel->GetLastSelectedFileForPlug(&chosen);
  EXPECT_STREQ(chosen.Get(), "new.png");
  EXPECT_EQ(sel->GetValue(), 1.0);
  EXPECT_EQ(sel->GetState(), IFileSelectorControl::kFSDone);

  // Dirty from the change, then once more for the finished prompt, then quiet.
  EXPECT_TRUE(sel->IsDirty());
  DrawNow();
  EXPECT_TRUE(Untouched(5, 5));  // the image shows only while the prompt is open
  EXPECT_TRUE(sel->IsDirty());
  EXPECT_EQ(sel->GetState(), IFileSelectorControl::kFSNone);
  EXPECT_FALSE(sel->IsDirty());

  g->OnMouseDown(5, 5, &left);
  EXPECT_EQ(sel->GetValue(), 0.0);  // wraps
}

}  // namespace

namespace {

TEST(GenericEditor, LaysOutACellPerParameterThatWorksAsItsControlShould) {
  using namespace generic_editor;
  EditorTestPlug plug;
  int w = 0, h = 0;
  GetGenericEditorSize(plug.NParams(), &w, &h);
  EXPECT_EQ(w, 2 * kMargin + kMaxColumns * kCellW);  // six parameters: two rows
  EXPECT_EQ(h, 2 * kMargin + kHeaderH + 2 * kCellH);
  auto* g = new HeadlessGraphics(&plug, w, h);
  AttachGenericEditor(g);
  plug.AttachGraphics(g);

  // The background and the title, then the name, the control and the value of each parameter.
  ASSERT_EQ(g->GetNControls(), 2 + 3 * plug.NParams());
  auto control = [&](int paramIdx) { return g->GetControl(3 + 3 * paramIdx); };
  for (int i = 0; i < plug.NParams(); ++i) {
    SCOPED_TRACE(i);
    int x = kMargin + i % kMaxColumns * kCellW, y = kMargin + kHeaderH + i / kMaxColumns * kCellH;
    EXPECT_TRUE(control(i)->GetRECT()->Intersects(IRECT(x, y, x + kCellW, y + kCellH)));
    EXPECT_STREQ(static_cast<ITextControl*>(g->GetControl(2 + 3 * i))->GetTextForPlug(),
                 plug.GetParam(i)->GetNameForHost());
    EXPECT_EQ(control(i)->ParamIdx(), i);
    EXPECT_EQ(dynamic_cast<IDrawnSwitchControl*>(control(i)) != nullptr,
              i == EditorTestPlug::kBypass);
  }

  // A click turns the switch on, a right click on a knob with display texts picks one, a drag
  // turns a knob up by its height, geared by 4; each value text follows.
  auto press = [&](int paramIdx, IMouseMod mod, int dragY = 0) {
    IRECT* r = control(paramIdx)->GetRECT();
    int x = (int)r->MW(), y = (int)r->MH();
    g->OnMouseDown(x, y, &mod);
    if (dragY) g->OnMouseDrag(x, y + dragY, &mod);
    g->OnMouseUp(x, y + dragY, &mod);
  };
  g->mMenuAnswers = {2};
  press(EditorTestPlug::kBypass, IMouseMod(true));
  press(EditorTestPlug::kMode, IMouseMod(false, true));
  press(EditorTestPlug::kLevel, IMouseMod(true), -control(EditorTestPlug::kLevel)->GetRECT()->H());
  DrawAll(g);
  auto value = [&](int paramIdx) {
    return std::string(
        static_cast<ITextControl*>(g->GetControl(4 + 3 * paramIdx))->GetTextForPlug());
  };
  EXPECT_EQ(value(EditorTestPlug::kBypass), "on");
  EXPECT_EQ(value(EditorTestPlug::kMode), "Three");  // the third of the menu's display texts
  EXPECT_NEAR(plug.GetParam(EditorTestPlug::kLevel)->Value(), 0.25, 1e-9);
  EXPECT_EQ(value(EditorTestPlug::kLevel), "0.250");  // no label, so no space
}

}  // namespace
