#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/gdi/GDI.h"
#include "platform/gdi/GDI_Records.h"

TEST(GdiMemContext, FrameBufferIsAlignedZeroedAndSized) {
  HDC ctx = GDI_CreateMemContext(nullptr, 10, 2);
  ASSERT_NE(ctx, nullptr);
  auto* bits = static_cast<unsigned char*>(GDI_GetCtxFrameBuffer(ctx));
  ASSERT_NE(bits, nullptr);
  EXPECT_EQ((uintptr_t)bits % 64, 0u);
  for (int i = 0; i < 80; ++i) ASSERT_EQ(bits[i], 0) << i;
  // The whole 80 bytes are writable pixels of the block.
  EXPECT_LE(bits + 80, static_cast<unsigned char*>(ctx->mFrameBlock) + 80 + 63);
  EXPECT_EQ(ctx->mRowBytes, 40);
  GDI_DeleteGfxContext(ctx);
}

TEST(GdiMemContext, RefusesEmptyAndImpossibleSizes) {
  EXPECT_EQ(GDI_CreateMemContext(nullptr, 0, 5), nullptr);
  EXPECT_EQ(GDI_CreateMemContext(nullptr, 5, -1), nullptr);
  EXPECT_EQ(GDI_CreateMemContext(nullptr, 1 << 16, 1 << 16), nullptr);
  EXPECT_EQ(GDI_GetCtxFrameBuffer(nullptr), nullptr);
  GDI_DeleteGfxContext(nullptr);
}

TEST(GdiMemContext, DeadAndUnknownContextsAreIgnored) {
  HDC ctx = GDI_CreateMemContext(nullptr, 4, 4);
  ASSERT_NE(ctx, nullptr);
  GDI_DeleteGfxContext(ctx);
  EXPECT_EQ(GDI_GetCtxFrameBuffer(ctx), nullptr);
  GDI_DeleteGfxContext(ctx);  // twice: nothing happens

  GDI_Context bogus{};
  EXPECT_EQ(GDI_GetCtxFrameBuffer(&bogus), nullptr);
  GDI_DeleteGfxContext(&bogus);
}

TEST(GdiPool, KeepsAtMostOneHundredDeadContexts) {
  // 101 live contexts drain the pool whatever earlier tests left in it.
  std::vector<HDC> ctxs;
  for (int i = 0; i < 101; ++i) {
    ctxs.push_back(GDI_CreateMemContext(nullptr, 2, 2));
    ASSERT_NE(ctxs.back(), nullptr);
  }
  EXPECT_EQ(GDI_GetPooledContextCount(), 0);
  for (HDC ctx : ctxs) GDI_DeleteGfxContext(ctx);
  EXPECT_EQ(GDI_GetPooledContextCount(), 100);

  // A new context reuses a pooled record, zeroed.
  HDC again = GDI_CreateMemContext(nullptr, 3, 1);
  EXPECT_EQ(GDI_GetPooledContextCount(), 99);
  EXPECT_FALSE(again->mPooled);
  EXPECT_EQ(again->mFont, nullptr);
  EXPECT_EQ(again->mBkMode, 0);
  GDI_DeleteGfxContext(again);
}
