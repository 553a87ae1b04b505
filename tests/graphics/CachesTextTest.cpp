// The process-wide image and font caches (shared across editors and threads), derived images,
// and cached-font text.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>
#include <vector>

#include "DrawingTestSupport.h"

namespace {

RAS_pixel Gray(int x, int y) { return RAS_RGBA(x * 10, y * 10, 7, 255); }

class Caches : public DrawingFixture {};

TEST_F(Caches, OneRasterBitmapPerResourceAcrossEditors) {
  int id = FreshID();
  std::string name = WriteImage(ImageFolder(), "shared.png", 6, 8, Gray);
  EditorTestPlug otherPlug;
  auto* other = new HeadlessGraphics(&otherPlug, 10, 10, ImageFolder().c_str());
  otherPlug.AttachGraphics(other);

  IBitmap first = g->LoadIBitmap(id, name.c_str(), 1);
  IBitmap second = other->LoadIBitmap(id, name.c_str(), 4, true);
  ASSERT_NE(first.mRaster, nullptr);
  EXPECT_EQ(second.mRaster, first.mRaster);
  EXPECT_EQ(second.W, 6);
  EXPECT_EQ(second.H, 8);
  EXPECT_EQ(second.N, 4);
  EXPECT_TRUE(second.mHorizontalFrames);
  EXPECT_EQ(g->mLoads.size(), 1u);
  EXPECT_TRUE(other->mLoads.empty());
}

TEST_F(Caches, MissingImagesYieldEmptyHandlesAndAreTriedAgain) {
  int id = FreshID();
  IBitmap missing = g->LoadIBitmap(id, "no-such-image.png", 3);
  EXPECT_EQ(missing.mRaster, nullptr);
  EXPECT_EQ(missing.W, 0);
  g->LoadIBitmap(id, "no-such-image.png", 3);
  EXPECT_EQ(g->mLoads.size(), 2u);
  // Drawing an empty handle is harmless.
  IRECT r(0, 0, 10, 10);
  Run([&](IGraphics* pG) { pG->DrawBitmap(&missing, &r, 2); });
  EXPECT_TRUE(Untouched(5, 5));
}

TEST_F(Caches, CropScaleRetainAndRelease) {
  std::string name = WriteImage(ImageFolder(), "crop.png", 10, 10, Gray);
  IBitmap src = g->LoadIBitmap(FreshID(), name.c_str(), 2);
  int before = GetBitmapStorage().Count();

  IRECT part(2, 3, 6, 8);
  IBitmap cropped = g->CropBitmap(&src, &part);
  EXPECT_EQ(cropped.W, 4);
  EXPECT_EQ(cropped.H, 5);
  EXPECT_EQ(cropped.N, 2);
  EXPECT_EQ(RAS_GetPixel(cropped.mRaster, 0, 0), Gray(2, 3));
  EXPECT_EQ(RAS_GetPixel(cropped.mRaster, 3, 4), Gray(5, 7));

  IBitmap scaled = g->ScaleBitmap(&src, 20, 5);
  EXPECT_EQ(scaled.mRaster->getWidth(), 20);
  EXPECT_EQ(scaled.mRaster->getHeight(), 5);
  EXPECT_EQ(scaled.N, 2);
  EXPECT_EQ(GetBitmapStorage().Count(), before + 2);

  g->ReleaseBitmap(&cropped);
  g->ReleaseBitmap(&scaled);
  EXPECT_EQ(GetBitmapStorage().Count(), before);
}

TEST_F(Caches, ConcurrentLoadsFromTwoEditorsAllSucceed) {
  std::vector<std::string> names;
  std::vector<int> ids;
  for (int i = 0; i < 24; ++i) {
    names.push_back(
        WriteImage(ImageFolder(), "thread" + std::to_string(i) + ".png", i + 1, 3, Gray));
    ids.push_back(FreshID());
  }
  EditorTestPlug plugs[2];
  HeadlessGraphics* engines[2];
  std::vector<IBitmap> results[2];
  for (int t = 0; t < 2; ++t) {
    engines[t] = new HeadlessGraphics(&plugs[t], 10, 10, ImageFolder().c_str());
    plugs[t].AttachGraphics(engines[t]);
  }
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < 24; ++i)
        results[t].push_back(engines[t]->LoadIBitmap(ids[i], names[i].c_str()));
    });
  for (auto& th : threads) th.join();
  for (int t = 0; t < 2; ++t)
    for (int i = 0; i < 24; ++i) {
      ASSERT_NE(results[t][i].mRaster, nullptr);
      EXPECT_EQ(results[t][i].W, i + 1);
      EXPECT_EQ(GetBitmapStorage().Find(ids[i])->getWidth(), i + 1);
    }
}

IText Style(int size, const IColor& color = COLOR_BLACK, int style = IText::kStyleNormal) {
  return IText(size, &color, "DejaVu Sans", style, IText::kAlignNear);
}

TEST(FontCache, FontsAreFoundAgainByStyle) {
  IText a = Style(13), sameButRed = Style(13, COLOR_RED), bold = Style(13, COLOR_BLACK, 1);
  IText larger = Style(14);
  RAS_IFont* font = IGraphics::CacheFont(&a);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(a.mCachedFont, font);
  EXPECT_EQ(IGraphics::CacheFont(&sameButRed), font);  // colour is not part of the key
  EXPECT_NE(IGraphics::CacheFont(&bold), font);
  EXPECT_NE(IGraphics::CacheFont(&larger), font);
  EXPECT_EQ(GetFontStorage().Find(&a), font);
}

TEST(FontCache, LineHeightIsCorrectedTowardsTheRequestedSize) {
  IText style = Style(30);
  RAS_IFont* font = IGraphics::CacheFont(&style);
  ASSERT_NE(font, nullptr);
  EXPECT_LE(std::abs(font->GetLineHeight() - 30), 2) << font->GetLineHeight();
}

TEST(FontCache, ConcurrentCreationFromTwoThreads) {
  RAS_IFont* found[2][8] = {};
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < 8; ++i) {
        IText style = Style(40 + i);
        found[t][i] = IGraphics::CacheFont(&style);
      }
    });
  for (auto& th : threads) th.join();
  for (int i = 0; i < 8; ++i) {
    ASSERT_NE(found[0][i], nullptr);
    ASSERT_NE(found[1][i], nullptr);
    IText style = Style(40 + i);
    EXPECT_NE(GetFontStorage().Find(&style), nullptr);
  }
}

class Text : public DrawingFixture {};

TEST_F(Text, MeasureFollowsTheAlignment) {
  IText style = Style(14);
  char str[] = "Mid 12";
  IRECT nearR(50, 10, 110, 30);
  ASSERT_TRUE(g->MeasureIText(&style, str, &nearR));
  int w = nearR.W(), h = nearR.H();
  EXPECT_EQ(nearR.L, 50);
  EXPECT_EQ(nearR.T, 10);
  EXPECT_GT(w, 20);
  EXPECT_GT(h, 8);

  style.mAlign = IText::kAlignCenter;
  IRECT centre(50, 10, 110, 30);
  g->MeasureIText(&style, str, &centre);
  EXPECT_EQ(centre.L, 80 - w / 2);
  EXPECT_EQ(centre.W(), w);
  EXPECT_EQ(centre.B, 10 + h);

  style.mAlign = IText::kAlignFar;
  IRECT farR(50, 10, 110, 30);
  g->MeasureIText(&style, str, &farR);
  EXPECT_EQ(farR.R, 110);
  EXPECT_EQ(farR.L, 110 - w);
}

TEST_F(Text, DrawingInkOnlyNearTheRectangle) {
  IText style = Style(14, COLOR_BLACK);
  style.mAlign = IText::kAlignCenter;
  char str[] = "Hello";
  IRECT r(20, 20, 100, 40);
  bool ok = false;
  Run([&](IGraphics* pG) { ok = pG->DrawIText(&style, str, &r); });
  EXPECT_TRUE(ok);
  int inked = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      if (!Untouched(x, y)) {
        ++inked;
        EXPECT_TRUE(x >= 20 && x < 100 && y >= 15 && y < 45) << x << "," << y;
      }
  EXPECT_GT(inked, 20);

  char empty[] = "";
  Run([&](IGraphics* pG) { ok = pG->DrawIText(&style, empty, &r); });
  EXPECT_TRUE(ok);
  EXPECT_TRUE(Untouched(60, 30));
}

}  // namespace
