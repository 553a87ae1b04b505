#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "raster/Raster.h"

namespace {

TEST(RasterMemBitmap, SpanFollowsAlignmentsLowestBit) {
  struct Case {
    unsigned align;
    int w, span;
  } cases[] = {
      {0, 10, 10}, {1, 10, 10},  {4, 10, 12},       {12, 10, 12}, {8, 9, 16},
      {4, 12, 12}, {16, 17, 32}, {1u << 20, 17, 32} /* large requests are capped at 16 pixels */};
  for (const Case& c : cases) {
    RAS_MemBitmap bm(c.w, 3, c.align);
    EXPECT_EQ(bm.getRowSpan(), c.span) << "align " << c.align;
    EXPECT_EQ(reinterpret_cast<uintptr_t>(bm.getBits()) % 64, 0u);
    EXPECT_EQ(bm.getAllocatedSize(), 3 * c.span * 4);
  }
}

TEST(RasterMemBitmap, GrowsWithReserveAndNeverShrinks) {
  RAS_MemBitmap bm(10, 10, 4);
  EXPECT_EQ(bm.getAllocatedSize(), 480);
  EXPECT_FALSE(bm.resize(10, 10));
  EXPECT_TRUE(bm.resize(20, 10));
  EXPECT_EQ(bm.getRowSpan(), 20);
  EXPECT_EQ(bm.getAllocatedSize(), 1000);  // 800 + 800 / 4
  RAS_pixel* grown = bm.getBits();
  EXPECT_TRUE(bm.resize(10, 10));
  EXPECT_EQ(bm.getAllocatedSize(), 1000);
  EXPECT_EQ(bm.getBits(), grown);
  EXPECT_EQ(bm.getWidth(), 10);
}

TEST(RasterMemBitmap, EmptyAndInvalidSizesReleaseTheBlock) {
  RAS_MemBitmap empty(0, 0, 4);
  EXPECT_EQ(empty.getBits(), nullptr);
  EXPECT_EQ(empty.getWidth(), 0);

  const int sizes[][2] = {{0, 0}, {-1, 5}, {5, -1}, {0, 7}};
  for (auto& s : sizes) {
    RAS_MemBitmap bm(8, 8, 4);
    ASSERT_NE(bm.getBits(), nullptr);
    EXPECT_TRUE(bm.resize(s[0], s[1]));
    EXPECT_EQ(bm.getBits(), nullptr);
    EXPECT_EQ(bm.getWidth(), 0);
    EXPECT_EQ(bm.getHeight(), 0);
    EXPECT_EQ(bm.getAllocatedSize(), 0);
  }
}

// Sizes whose byte count leaves the int range must not wrap into a small block that the
// drawing loops would then overrun.
TEST(RasterMemBitmap, HugeSizesLeaveAnEmptyBitmap) {
  const int sizes[][2] = {
      {INT_MAX, 1}, {INT_MAX - 2, 1}, {65536, 65536}, {1 << 30, 4}, {1, INT_MAX}};
  for (auto& s : sizes) {
    RAS_MemBitmap bm(4, 4, 4);
    bm.resize(s[0], s[1]);
    EXPECT_EQ(bm.getBits(), nullptr);
    EXPECT_EQ(bm.getWidth(), 0);
    EXPECT_EQ(bm.getHeight(), 0);
    // Drawing on it afterwards is harmless.
    RAS_FillRect(&bm, 0, 0, 10, 10, 0xffffffff, 1.0f, BLIT_COPY);
    EXPECT_EQ(RAS_GetPixel(&bm, 0, 0), 0u);
  }
}

TEST(RasterSysBitmap, SpanIsAllocatedWidthAndShrinkingKeepsContext) {
  RAS_SysBitmap bm(5, 3);
  ASSERT_NE(bm.getBits(), nullptr);
  ASSERT_NE(bm.getDC(), nullptr);
  EXPECT_EQ(bm.getRowSpan(), 8);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(bm.getBits()) % 64, 0u);
  // A fresh context is zero-filled, padding included.
  for (int i = 0; i < 8 * 3; ++i) EXPECT_EQ(bm.getBits()[i], 0u);

  EXPECT_FALSE(bm.resize(5, 3));
  EXPECT_TRUE(bm.resize(100, 100));
  EXPECT_EQ(bm.getRowSpan(), 100);
  void* dc = bm.getDC();
  RAS_pixel* bits = bm.getBits();
  EXPECT_TRUE(bm.resize(50, 50));
  EXPECT_EQ(bm.getRowSpan(), 100);
  EXPECT_EQ(bm.getDC(), dc);
  EXPECT_EQ(bm.getBits(), bits);
  EXPECT_EQ(bm.getWidth(), 50);

  // Growing past the allocation replaces the context.
  EXPECT_TRUE(bm.resize(101, 20));
  EXPECT_EQ(bm.getRowSpan(), 104);
  EXPECT_NE(bm.getBits(), nullptr);
}

TEST(RasterSysBitmap, EmptySizeDropsTheContextAndReportsIt) {
  RAS_SysBitmap bm(0, 0);
  EXPECT_EQ(bm.getBits(), nullptr);
  EXPECT_EQ(bm.getDC(), nullptr);
  ASSERT_TRUE(bm.resize(10, 10));
  ASSERT_NE(bm.getBits(), nullptr);
  // The buffer is released, so the change must be reported even though no new one exists.
  EXPECT_TRUE(bm.resize(10, 0));
  EXPECT_EQ(bm.getBits(), nullptr);
  EXPECT_EQ(bm.getDC(), nullptr);
  RAS_FillRect(&bm, 0, 0, 10, 10, 0xffffffff, 1.0f, BLIT_COPY);
  EXPECT_TRUE(bm.resize(-4, 3));
  EXPECT_EQ(bm.getBits(), nullptr);
  EXPECT_TRUE(bm.resize(3, 3));
  EXPECT_EQ(bm.getRowSpan(), 4);
  EXPECT_NE(bm.getBits(), nullptr);
}

TEST(RasterSysBitmap, HugeSizeFailsToEmpty) {
  RAS_SysBitmap bm(4, 4);
  bm.resize(INT_MAX, 2);
  EXPECT_EQ(bm.getBits(), nullptr);
  bm.resize(1 << 20, 1 << 12);
  EXPECT_EQ(bm.getBits(), nullptr);
  EXPECT_EQ(bm.getWidth(), 0);
  EXPECT_EQ(bm.getHeight(), 0);
}

}  // namespace
