// The engine's own drawing calls handed no image, the empty handle of an image that failed to
// load, or no colour, rectangle or style: editors are written by others, so such a call must
// draw nothing and answer as a call with nothing to draw does, never crash.

#include <gtest/gtest.h>

#include "DrawingTestSupport.h"
#include "graphics/BitmapStorage.h"

namespace {

RAS_pixel Solid(int, int) { return RAS_RGBA(200, 100, 50, 255); }

// An engine with one real 10 by 10 image and the empty handle of one that failed to load.
class ImageFixture : public DrawingFixture {
 protected:
  void SetUp() override {
    DrawingFixture::SetUp();
    std::string name = WriteImage(ImageFolder(), "nothing_solid.png", 10, 10, Solid);
    real = g->LoadIBitmap(FreshID(), name.c_str());
    ASSERT_NE(real.mRaster, nullptr);
    failed = g->LoadIBitmap(FreshID(), "nothing_no_such_image.png", 95, true);
    ASSERT_EQ(failed.mRaster, nullptr);
  }

  static void ExpectEmptyHandle(const IBitmap& b) {
    EXPECT_EQ(b.mRaster, nullptr);
    EXPECT_EQ(b.W, 0);
    EXPECT_EQ(b.H, 0);
    EXPECT_EQ(b.N, 1);
  }

  IBitmap real, failed;
  IRECT dest{5, 5, 15, 15};
  IChannelBlend clobber{IChannelBlend::BlendClobber};
};

enum class Missing { Null, FailedLoad };

class NothingToDraw : public ImageFixture, public ::testing::WithParamInterface<Missing> {
 protected:
  IBitmap* Absent() { return GetParam() == Missing::Null ? nullptr : &failed; }
};

TEST_P(NothingToDraw, ImageDrawsDrawNothingAndAnswerTrue) {
  IBitmap* p = Absent();
  std::vector<bool> answers;
  Run([&](IGraphics* pG) {
    answers.push_back(pG->DrawBitmap(p, &dest, 1, &clobber));
    answers.push_back(pG->DrawBitmap(p, &dest, 40, &clobber));
    answers.push_back(pG->DrawBitmap(p, &dest, 3, 4, &clobber));
    answers.push_back(pG->DrawRotatedBitmap(p, 50, 50, 0.7, 3, &clobber));
    // The clobbered copy shows whatever the scratch layers hold, so a knob built from the
    // layers present would show.
    answers.push_back(pG->DrawRotatedMask(&real, p, &real, 20, 20, 30.0, &clobber));
    answers.push_back(pG->DrawRotatedMask(&real, &real, p, 40, 20, 30.0, &clobber));
    answers.push_back(pG->DrawRotatedMask(p, &real, &real, 60, 20, 30.0, &clobber));
  });
  EXPECT_EQ(answers, std::vector<bool>(7, true));
  EXPECT_TRUE(SurfaceUntouched());

  // The same calls with a real image draw, so the ones above were drawn into a live pass.
  Run([&](IGraphics* pG) { pG->DrawRotatedMask(&real, &real, &real, 20, 20, 0.0, &clobber); });
  EXPECT_FALSE(Untouched(25, 25));
}

TEST_P(NothingToDraw, BitmapTextWithoutAFontImageDrawsNothing) {
  IText near(10, nullptr, nullptr, IText::kStyleNormal, IText::kAlignNear);
  IRECT r(0, 0, 100, 12);
  Run([&](IGraphics* pG) {
    DrawBitmapedText(pG, Absent(), &r, &near, &clobber, "Orvanta", false, true, 6, 12, 0);
    DrawBitmapedText(pG, Absent(), &r, &near, &clobber, "Gain -6.0 dB", true, false, 6, 12, 1);
  });
  EXPECT_TRUE(SurfaceUntouched());
}

TEST_P(NothingToDraw, ScaleAndCropGiveEmptyHandlesAndRetainNothing) {
  IBitmap* p = Absent();
  int before = GetBitmapStorage().Count();
  IRECT part(1, 1, 5, 5);
  ExpectEmptyHandle(g->ScaleBitmap(p, 20, 20));
  ExpectEmptyHandle(g->CropBitmap(p, &part));
  EXPECT_EQ(GetBitmapStorage().Count(), before);

  // Nothing to retain or release either; the cache is left as it was.
  g->RetainBitmap(p);
  g->ReleaseBitmap(p);
  EXPECT_EQ(GetBitmapStorage().Count(), before);
}

INSTANTIATE_TEST_SUITE_P(Images, NothingToDraw,
                         ::testing::Values(Missing::Null, Missing::FailedLoad),
                         [](const ::testing::TestParamInfo<Missing>& info) {
                           return info.param == Missing::Null ? "Null" : "FailedLoad";
                         });

class MissingArguments : public ImageFixture {};

TEST_F(MissingArguments, ShapesWithoutColourOrRectangleDrawNothing) {
  IColor red = COLOR_RED;
  IRECT r(10, 10, 60, 60);
  int xs[] = {10, 50, 30}, ys[] = {10, 10, 50};
  std::vector<bool> answers;
  bool forced = true;
  Run([&](IGraphics* pG) {
    answers.push_back(pG->DrawPoint(nullptr, 20.0f, 20.0f));
    answers.push_back(pG->DrawLine(nullptr, 0.0f, 0.0f, 100.0f, 90.0f));
    answers.push_back(pG->DrawArc(nullptr, 50.0f, 50.0f, 20.0f, 0.0f, 3.0f));
    answers.push_back(pG->DrawCircle(nullptr, 50.0f, 50.0f, 20.0f));
    answers.push_back(pG->RoundRect(nullptr, &r, nullptr, 4, false));
    answers.push_back(pG->RoundRect(&red, nullptr, nullptr, 4, false));
    answers.push_back(pG->FillRoundRect(nullptr, &r, nullptr, 4, false));
    answers.push_back(pG->FillRoundRect(&red, nullptr, nullptr, 4, false));
    answers.push_back(pG->FillIRect(nullptr, &r));
    answers.push_back(pG->FillIRect(&red, nullptr));
    answers.push_back(pG->FillCircle(nullptr, 50, 50, 20.0f));
    answers.push_back(pG->FillTriangle(nullptr, 10, 10, 50, 10, 30, 50));
    answers.push_back(pG->FillIConvexPolygon(nullptr, xs, ys, 3));
    answers.push_back(pG->DrawRect(nullptr, &r));
    answers.push_back(pG->DrawRect(&red, nullptr));
    answers.push_back(pG->DrawVerticalLine(nullptr, 30, 0, 90));
    answers.push_back(pG->DrawHorizontalLine(nullptr, 30, 0, 100));
    answers.push_back(pG->DrawVerticalLine(nullptr, &r, 0.5f));
    answers.push_back(pG->DrawVerticalLine(&red, nullptr, 0.5f));
    answers.push_back(pG->DrawHorizontalLine(nullptr, &r, 0.5f));
    answers.push_back(pG->DrawHorizontalLine(&red, nullptr, 0.5f));
    answers.push_back(pG->DrawRadialLine(nullptr, 50.0f, 50.0f, 1.0f, 0.0f, 30.0f));
    // A pixel not written is reported as such, as for a coordinate off the surface.
    forced = pG->ForcePixel(nullptr, 30, 30);
  });
  EXPECT_EQ(answers, std::vector<bool>(22, true));
  EXPECT_FALSE(forced);
  EXPECT_TRUE(SurfaceUntouched());
}

TEST_F(MissingArguments, ImageDrawsWithoutADestinationDrawNothing) {
  std::vector<bool> answers;
  Run([&](IGraphics* pG) {
    answers.push_back(pG->DrawBitmap(&real, nullptr, 1, &clobber));
    answers.push_back(pG->DrawBitmap(&real, nullptr, 0, 0, &clobber));
  });
  EXPECT_EQ(answers, std::vector<bool>(2, true));
  EXPECT_TRUE(SurfaceUntouched());

  // A font image but no rectangle, or no engine to draw with.
  IText near(10, nullptr, nullptr, IText::kStyleNormal, IText::kAlignNear);
  Run([&](IGraphics* pG) {
    DrawBitmapedText(pG, &real, nullptr, &near, &clobber, "AB", false, true, 6, 12, 0);
  });
  IRECT r(0, 0, 100, 12);
  DrawBitmapedText(nullptr, &real, &r, &near, &clobber, "AB", false, true, 6, 12, 0);
  EXPECT_TRUE(SurfaceUntouched());
}

TEST_F(MissingArguments, TextWithoutStyleOrRectangleFails) {
  IText style(14, &COLOR_BLACK, "DejaVu Sans", IText::kStyleNormal, IText::kAlignNear);
  char str[] = "Mid 12", empty[] = "";
  IRECT r(20, 20, 100, 40);
  std::vector<bool> answers;
  Run([&](IGraphics* pG) {
    answers.push_back(pG->DrawIText(nullptr, str, &r));
    answers.push_back(pG->DrawIText(&style, str, nullptr));
    answers.push_back(pG->MeasureIText(nullptr, str, &r));
    answers.push_back(pG->MeasureIText(&style, str, nullptr));
  });
  // Neither drawn nor measured: the answer of a style whose font cannot be made.
  EXPECT_EQ(answers, std::vector<bool>(4, false));
  EXPECT_EQ(r, IRECT(20, 20, 100, 40));
  EXPECT_TRUE(SurfaceUntouched());

  // An empty text has nothing to draw and succeeds, whatever else is missing.
  EXPECT_TRUE(g->DrawIText(nullptr, empty, nullptr));
}

TEST_F(MissingArguments, ScaleAndCropToNoAreaGiveEmptyHandles) {
  int before = GetBitmapStorage().Count();
  IRECT point(3, 3, 3, 3), flat(2, 2, 8, 2), inverted(8, 8, 2, 2);
  ExpectEmptyHandle(g->CropBitmap(&real, nullptr));
  ExpectEmptyHandle(g->CropBitmap(&real, &point));
  ExpectEmptyHandle(g->CropBitmap(&real, &flat));
  ExpectEmptyHandle(g->CropBitmap(&real, &inverted));
  ExpectEmptyHandle(g->ScaleBitmap(&real, 0, 10));
  ExpectEmptyHandle(g->ScaleBitmap(&real, 10, -1));
  // Too large to allocate: no handle claiming a size its pixels do not have.
  ExpectEmptyHandle(g->ScaleBitmap(&real, 1 << 20, 1 << 20));
  IRECT huge(0, 0, 1 << 20, 1 << 20);
  ExpectEmptyHandle(g->CropBitmap(&real, &huge));
  EXPECT_EQ(GetBitmapStorage().Count(), before);
}

TEST_F(MissingArguments, ARetainedImageIsListedOnce) {
  // Listed twice, an image would be deleted twice when the cache goes.
  int before = GetBitmapStorage().Count();
  g->RetainBitmap(&real);
  EXPECT_EQ(GetBitmapStorage().Count(), before);

  IRECT part(0, 0, 4, 4);
  IBitmap cropped = g->CropBitmap(&real, &part);
  ASSERT_NE(cropped.mRaster, nullptr);
  EXPECT_EQ(GetBitmapStorage().Count(), before + 1);
  g->RetainBitmap(&cropped);
  g->RetainBitmap(&cropped);
  EXPECT_EQ(GetBitmapStorage().Count(), before + 1);
  g->ReleaseBitmap(&cropped);
  EXPECT_EQ(GetBitmapStorage().Count(), before);
}

TEST_F(MissingArguments, PassWithoutARegion) {
  g->SetAllControlsDirty();
  size_t copies = g->mScreenCopies.size();
  // The answer is still given when there is no rectangle to collect the region into.
  EXPECT_TRUE(g->IsDirty(nullptr));
  // No region: nothing drawn or copied, and the controls stay dirty for the next pass.
  RAS_Clear(g->GetDrawBitmap(), kMarker);
  canvas->mDraw = [](IGraphics* pG) {
    IColor red = COLOR_RED;
    IRECT all(0, 0, kW, kH);
    pG->FillIRect(&red, &all);
  };
  EXPECT_TRUE(g->Draw(nullptr));
  EXPECT_EQ(g->mScreenCopies.size(), copies);
  EXPECT_TRUE(SurfaceUntouched());
  IRECT dirty;
  EXPECT_TRUE(g->IsDirty(&dirty));
  EXPECT_EQ(dirty, IRECT(0, 0, kW, kH));
}

}  // namespace
