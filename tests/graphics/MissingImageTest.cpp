// Controls built with no image, or with the empty handle of an image that failed to load: the
// editor engine is a framework, so a missing image must leave a control that draws nothing and
// whose values stay sane, whatever the engine or an editor's own code asks of it.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "DrawingTestSupport.h"

namespace {

enum class Missing { Null, FailedLoad, FailedLoadNoFrames };

class MissingImage : public DrawingFixture, public ::testing::WithParamInterface<Missing> {
 protected:
  // The image every control under test is handed.
  IBitmap* Image() {
    switch (GetParam()) {
      case Missing::Null:
        return nullptr;
      case Missing::FailedLoad:
        failed = g->LoadIBitmap(FreshID(), "no_such_image.png", 100);
        break;
      case Missing::FailedLoadNoFrames:
        failed = g->LoadIBitmap(FreshID(), "no_such_image.png", 0, true);
        break;
    }
    EXPECT_EQ(failed.mRaster, nullptr);
    return &failed;
  }

  // Every stock control that takes an image, spread over the surface.
  void BuildAll() {
    IBitmap* p = Image();
    image = Add(new IBitmapControl(&plug, 5, 5, EditorTestPlug::kLevel, p));
    Add(new ISwitchControl(&plug, 15, 5, EditorTestPlug::kSteps, p));
    Add(new ISwitchPopUpControl(&plug, 25, 5, EditorTestPlug::kMode, p));
    Add(new ISwitchFramesControl(&plug, 35, 5, EditorTestPlug::kLevel, p, true));
    Add(new IContactControl(&plug, 45, 5, EditorTestPlug::kBypass, p));
    Add(new IBitmapOverlayControl(&plug, 55, 5, p, IRECT(55, 5, 65, 15)));
    Add(new IRadioButtonsControl(&plug, IRECT(5, 30, 45, 40), EditorTestPlug::kMode, 3, p,
                                 Horizontal));
    Add(new IRadioButtonsControl(&plug, IRECT(50, 30, 60, 70), EditorTestPlug::kSteps, 4, p,
                                 Vertical, true));
    fader = Add(new IFaderControl(&plug, 70, 5, 40, EditorTestPlug::kGain, p));
    Add(new IFaderControl(&plug, 5, 85, 60, EditorTestPlug::kLevel, p, Horizontal));
    Add(new IKnobMultiControl(&plug, 80, 5, EditorTestPlug::kLevel, p));
    Add(new IKnobRotaterControl(&plug, 90, 5, EditorTestPlug::kLevel, p));
    Add(new IKnobRotatingMaskControl(&plug, 100, 5, EditorTestPlug::kLevel, p, p, p));
    Add(new IBitmapTextControl(&plug, IRECT(5, 60, 45, 72), p, "-6.0 dB"));
    Add(new IFileSelectorControl(&plug, IRECT(70, 60, 90, 70), -1, p, kFileOpen));
    plug.RedrawParamControls();
  }

  template <class T>
  T* Add(T* c) {
    g->AttachControl(c);
    controls.push_back(c);
    return c;
  }

  // A full drawing pass over a marked surface; true when no pixel changed.
  bool DrawsNothing() {
    RAS_Clear(g->GetDrawBitmap(), kMarker);
    DrawAll(g);
    return SurfaceUntouched();
  }

  void ExpectSaneValues() {
    for (IControl* c : controls) {
      double v = c->GetValue();
      EXPECT_TRUE(std::isfinite(v) && v >= 0.0 && v <= 1.0) << "control value " << v;
    }
    for (int i = 0; i < EditorTestPlug::kNumParams; ++i) {
      double v = plug.GetParam(i)->GetNormalized();
      EXPECT_TRUE(std::isfinite(v) && v >= 0.0 && v <= 1.0) << "parameter " << i << ": " << v;
    }
  }

  IBitmap failed;
  std::vector<IControl*> controls;
  IBitmapControl* image = nullptr;
  IFaderControl* fader = nullptr;
  IMouseMod left{true};
  IMouseMod fine{true, false, true};
};

TEST_P(MissingImage, ControlsDrawNothingAndKeepTheirValuesInRange) {
  BuildAll();
  EXPECT_TRUE(DrawsNothing());

  // Sized by their image, they keep their place but cover no area; a fader keeps its travel.
  EXPECT_EQ(*image->GetRECT(), IRECT(5, 5, 5, 5));
  EXPECT_FALSE(image->IsHit(5, 5));
  EXPECT_EQ(*fader->GetRECT(), IRECT(70, 5, 70, 45));
  EXPECT_EQ(fader->GetHandleRECT(1.0), IRECT(70, 5, 70, 5));

  // The engine's events, at every control's top left corner and inside the given rectangles.
  for (IControl* c : controls) {
    IRECT r = *c->GetRECT();
    g->OnMouseDown(r.L, r.T, &left);
    g->OnMouseDrag(r.L + 3, r.T - 7, &fine);
    g->OnMouseUp(r.L + 3, r.T - 7, &left);
    g->OnMouseWheel(r.L, r.T, &left, 3);
    g->OnMouseDblClick(r.L, r.T, &left);
    g->OnMouseDown(r.L + 1, r.T + 1, &left);
    g->OnMouseUp(r.L + 1, r.T + 1, &left);
  }
  ExpectSaneValues();
  EXPECT_TRUE(DrawsNothing());

  // An editor's own code may call the handlers wherever it likes.
  for (IControl* c : controls) {
    IRECT r = *c->GetRECT();
    c->OnMouseDown(r.L, r.T, &left);
    c->OnMouseDrag(r.L + 5, r.T - 20, 5, -20, &left);
    c->OnMouseDrag(r.L, r.T + 90, -5, 110, &fine);
    c->OnMouseWheel(r.L, r.T, &left, -2);
    c->OnMouseDblClick(r.L, r.T, &left);
    c->OnMouseUp(r.L, r.T, &left);
    EXPECT_FALSE(c->OnKeyDown(r.L, r.T, 'a'));
  }
  ExpectSaneValues();
  EXPECT_TRUE(DrawsNothing());

  // Values from the plug-in, normalised and real.
  for (double v : {0.3, 1.0, 0.0}) {
    for (int i = 0; i < EditorTestPlug::kNumParams; ++i) g->SetParameterFromPlug(i, v, true);
    EXPECT_TRUE(DrawsNothing());
  }
  g->SetParameterFromPlug(EditorTestPlug::kGain, -6.0, false);
  g->SetParameterFromPlug(EditorTestPlug::kSteps, 7.0, false);
  EXPECT_TRUE(DrawsNothing());
  ExpectSaneValues();
}

TEST_P(MissingImage, ControlsStillDoTheirWorkWithoutAPicture) {
  IBitmap* p = Image();
  auto* toggle = new ISwitchControl(&plug, 5, 5, EditorTestPlug::kLevel, p);
  auto* files = new IFileSelectorControl(&plug, IRECT(20, 20, 40, 40), -1, p, kFileSave);
  auto* readout = new IBitmapTextControl(&plug, IRECT(0, 50, 60, 62), p);
  Add(toggle);
  Add(files);
  Add(readout);
  plug.RedrawParamControls();
  DrawAll(g);

  // A switch still advances when pressed, so an invisible switch built this way works.
  toggle->OnMouseDown(5, 5, &left);
  EXPECT_GT(toggle->GetValue(), 0.0);
  EXPECT_GT(plug.GetParam(EditorTestPlug::kLevel)->GetNormalized(), 0.0);

  // The file prompt is the selector's job; the picture only marks it as busy.
  g->mFileAnswer = "chosen.txt";
  g->OnMouseDown(30, 30, &left);
  EXPECT_EQ(g->mFilePrompts.size(), 1u);
  EXPECT_EQ(files->GetValue(), 1.0);

  // A readout keeps its text for the plug-in and its dirty cycle.
  readout->SetTextFromPlug("12.5");
  EXPECT_STREQ(readout->GetTextForPlug(), "12.5");
  EXPECT_TRUE(readout->IsDirty());
  EXPECT_TRUE(DrawsNothing());
  EXPECT_FALSE(readout->IsDirty());
}

INSTANTIATE_TEST_SUITE_P(Images, MissingImage,
                         ::testing::Values(Missing::Null, Missing::FailedLoad,
                                           Missing::FailedLoadNoFrames),
                         [](const ::testing::TestParamInfo<Missing>& info) {
                           switch (info.param) {
                             case Missing::Null:
                               return "Null";
                             case Missing::FailedLoad:
                               return "FailedLoad";
                             case Missing::FailedLoadNoFrames:
                               return "FailedLoadNoFrames";
                           }
                           return "Unknown";
                         });

// A masked knob is three layers; with any one missing it shows nothing rather than a part.
class MaskedKnob : public DrawingFixture {};

TEST_F(MaskedKnob, MissingALayerDrawsNothing) {
  WriteImage(ImageFolder(), "partial_base.png", 10, 10,
             [](int, int) { return RAS_RGBA(200, 100, 50, 255); });
  IBitmap base = g->LoadIBitmap(FreshID(), "partial_base.png");
  IBitmap absent = g->LoadIBitmap(FreshID(), "partial_absent.png");
  ASSERT_NE(base.mRaster, nullptr);
  IBitmap* layers[3][3] = {
      {&base, nullptr, &base}, {&base, &base, &absent}, {nullptr, &base, &base}};
  for (auto& l : layers) {
    auto* knob = new IKnobRotatingMaskControl(&plug, 20, 20, -1, l[0], l[1], l[2]);
    // Clobbering copies whatever the layers left, so a partly built picture would show.
    knob->GetBlend()->mMethod = IChannelBlend::BlendClobber;
    g->AttachControl(knob);
    Run({});
    for (int y = 18; y < 32; ++y)
      for (int x = 18; x < 32; ++x) ASSERT_TRUE(Untouched(x, y)) << x << ", " << y;
    knob->Hide(true);
  }
}

}  // namespace
