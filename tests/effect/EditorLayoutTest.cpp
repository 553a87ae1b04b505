// The effect's editor drawn without a window, with the images of the built bundle.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "effect/Orvanta.h"
#include "graphics/Graphics.h"
#include "raster/Raster.h"
#include "support/GoldenImage.h"
#include "tools/editor-snapshot/EditorSnapshot.h"

namespace {

using namespace orvanta_editor;

class EditorLayout : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(editor_snapshot::UseBundle(ORVANTA_BUNDLE)); }
  void SetUp() override {
    mWrapper.reset(MakePlug());
    mPlug = static_cast<Orvanta*>(mWrapper.get());
    mGraphics = static_cast<OrvantaGraphics*>(mPlug->GetGUI());
    ASSERT_NE(mGraphics, nullptr);
  }
  IControl* Control(int i) { return mGraphics->GetControl(i); }
  RAS_pixel Pixel(int x, int y) {
    RAS_IBitmap* b = mGraphics->GetDrawBitmap();
    return b->getBits()[y * b->getRowSpan() + x];
  }
  // Whether any pixel of the rectangle differs from the other bitmap's.
  bool RegionEquals(RAS_IBitmap* other, int ox, int oy, const IRECT& r) {
    for (int y = r.T; y < r.B; ++y)
      for (int x = r.L; x < r.R; ++x)
        if (Pixel(x, y) != other->getBits()[(oy + y - r.T) * other->getRowSpan() + ox + x - r.L])
          return false;
    return true;
  }

  std::unique_ptr<OrvantaWrapper> mWrapper;
  Orvanta* mPlug = nullptr;
  OrvantaGraphics* mGraphics = nullptr;
};

TEST_F(EditorLayout, ControlsImagesAndBindings) {
  EXPECT_EQ(mGraphics->Width(), 274);
  EXPECT_EQ(mGraphics->Height(), 438);
  EXPECT_EQ(mGraphics->FPS(), 25);
  EXPECT_STREQ(mGraphics->GetBundleID(), "com.Quev.audiounit.Orvanta");
  EXPECT_STREQ(mGraphics->GetLastImageFailure(), "");
  ASSERT_EQ(mGraphics->GetNControls(), kNumControls);

  EXPECT_EQ(*Control(kBackgroundControl)->GetRECT(), IRECT(0, 0, 274, 438));
  auto* knob = dynamic_cast<IKnobMultiControl*>(Control(kGainKnob));
  ASSERT_NE(knob, nullptr);
  EXPECT_EQ(knob->ParamIdx(), Orvanta::kGain);
  EXPECT_EQ(knob->GetGearing(), 4.0);
  EXPECT_EQ(knob->GetRECT()->L, 113);
  EXPECT_EQ(knob->GetRECT()->T, 333);

  const int faderParams[] = {Orvanta::kMono, Orvanta::kStereo};
  const int faderX[] = {48, 197};
  for (int i = 0; i < 2; ++i) {
    auto* fader = dynamic_cast<IFaderControl*>(Control(kMonoFader + i));
    ASSERT_NE(fader, nullptr);
    EXPECT_EQ(fader->ParamIdx(), faderParams[i]);
    EXPECT_EQ(fader->GetLength(), 287);
    EXPECT_EQ(fader->GetRECT()->L, faderX[i]);
    EXPECT_EQ(fader->GetRECT()->T, 106);
    EXPECT_EQ(fader->GetRECT()->B, 106 + 287);
  }

  const IRECT readouts[] = {IRECT(103, 315, 171, 330), IRECT(21, 95, 103, 110),
                            IRECT(171, 95, 249, 110), IRECT(200, 422, 268, 435)};
  for (int i = 0; i < 4; ++i) {
    auto* text = dynamic_cast<IBitmapTextControl*>(Control(kGainReadout + i));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(*text->GetRECT(), readouts[i]);
    EXPECT_EQ(text->ParamIdx(), -1);
    EXPECT_EQ(text->GetText()->mAlign, i == 3 ? IText::kAlignFar : IText::kAlignCenter);
  }
  auto* link = dynamic_cast<IURLControl*>(Control(kLinkArea));
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(*link->GetRECT(), IRECT(30, 188, 242, 210));
  // Clicks only between the fader tracks, which it would otherwise cover.
  EXPECT_EQ(*link->GetTargetRECT(), IRECT(Control(kMonoFader)->GetRECT()->R, 188,
                                          Control(kStereoFader)->GetRECT()->L, 210));
  EXPECT_STREQ(link->GetURL(), kMakerURL);
  EXPECT_STREQ(link->GetBackupURL(), "");
}

TEST_F(EditorLayout, ReadoutsEmptyUntilTheFirstChangeHookAndVersionLine) {
  for (int i = kGainReadout; i <= kStereoReadout; ++i)
    EXPECT_STREQ(static_cast<IBitmapTextControl*>(Control(i))->GetTextForPlug(), "");
  EXPECT_STREQ(static_cast<IBitmapTextControl*>(Control(kVersionLine))->GetTextForPlug(), "v2.0.1");
  mPlug->OnParamChange(Orvanta::kMono);
  EXPECT_STREQ(static_cast<IBitmapTextControl*>(Control(kMonoReadout))->GetTextForPlug(), "0.00");
  EXPECT_STREQ(static_cast<IBitmapTextControl*>(Control(kGainReadout))->GetTextForPlug(), "");

  // Right-aligned: six 6-pixel cells end at the rectangle's right edge, so the columns
  // right of the text's start differ from the bare background and those left of it do not.
  IRECT all(0, 0, 274, 438);
  mGraphics->SetAllControlsDirty();
  mGraphics->Draw(&all);
  RAS_IBitmap* back = mGraphics->LoadIBitmap(kBackgroundID, kBackgroundFile).mRaster;
  ASSERT_NE(back, nullptr);
  const int textLeft = 268 - 6 * 6;
  EXPECT_TRUE(RegionEquals(back, 200, 422, IRECT(200, 422, textLeft, 435)));
  EXPECT_FALSE(RegionEquals(back, 268 - 6, 422, IRECT(268 - 6, 422, 268, 435)));
  EXPECT_FALSE(RegionEquals(back, textLeft, 422, IRECT(textLeft, 422, textLeft + 6, 435)));
}

TEST_F(EditorLayout, KnobShowsFirstAndLastFrameAtTheExtremes) {
  IBitmap strip = mGraphics->LoadIBitmap(kKnobID, kKnobFile, kKnobFrames);
  ASSERT_NE(strip.mRaster, nullptr);
  const int frameH = strip.H / kKnobFrames;
  const IRECT knob = *Control(kGainKnob)->GetRECT();
  ASSERT_EQ(knob.H(), frameH);
  const double ends[] = {-94.0, 6.0};
  const int frames[] = {1, 100};
  for (int i = 0; i < 2; ++i) {
    mPlug->GetParam(Orvanta::kGain)->Set(ends[i]);
    mGraphics->SetParameterFromPlug(Orvanta::kGain, ends[i], false);
    IRECT all(0, 0, 274, 438);
    mGraphics->SetAllControlsDirty();
    mGraphics->Draw(&all);
    // Where the frame is opaque it covers the background exactly.
    RAS_IBitmap* b = strip.mRaster;
    int opaque = 0, matching = 0;
    for (int y = 0; y < frameH; ++y)
      for (int x = 0; x < knob.W(); ++x) {
        RAS_pixel p = b->getBits()[((frames[i] - 1) * frameH + y) * b->getRowSpan() + x];
        if ((p & 0xff) != 0xff) continue;
        ++opaque;
        matching += (Pixel(knob.L + x, knob.T + y) | 0xff) == p;
      }
    EXPECT_GT(opaque, 100);
    EXPECT_EQ(matching, opaque) << "frame " << frames[i];
  }
}

// The pictures are redrawn only deliberately: `make golden`.
TEST_F(EditorLayout, SnapshotsMatchTheGoldenPictures) {
  for (const editor_snapshot::View& view : editor_snapshot::Views(*mPlug)) {
    SCOPED_TRACE(view.name);
    ASSERT_TRUE(editor_snapshot::DrawView(*mPlug, view));
    ExpectMatchesGolden(mGraphics->GetDrawBitmap(),
                        ("tests/effect/golden/" + view.name + ".png").c_str());
  }
}

}  // namespace
