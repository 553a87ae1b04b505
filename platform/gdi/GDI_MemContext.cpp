// Memory contexts: a zero-filled, 64-byte aligned frame buffer in the raster library's
// pixel layout, drawn on by this emulation's text drawing.

#include <climits>
#include <cstdint>
#include <cstdlib>

#include "platform/gdi/GDI.h"
#include "platform/gdi/GDI_Records.h"

HDC GDI_CreateMemContext(HDC, int w, int h) {
  if (w <= 0 || h <= 0) return nullptr;
  const long long bytes = (long long)w * 4 * h;
  // Rows are addressed with int offsets by the raster library.
  if (bytes > INT_MAX - 63) return nullptr;
  void* block = std::calloc((size_t)bytes + 63, 1);
  if (!block) return nullptr;
  GDI_Context* ctx = gdi::AllocContext();
  if (!ctx) {
    std::free(block);
    return nullptr;
  }
  ctx->mFrameBlock = block;
  ctx->mBits = reinterpret_cast<unsigned char*>(((uintptr_t)block + 63) & ~(uintptr_t)63);
  ctx->mWidth = w;
  ctx->mHeight = h;
  ctx->mRowBytes = w * 4;
  ctx->mTextColor = 0;
  return ctx;
}

void* GDI_GetCtxFrameBuffer(HDC ctx) {
  if (!gdi::IsLiveContext(ctx)) return nullptr;
  return ctx->mFrameBlock ? ctx->mBits : nullptr;
}

void GDI_DeleteGfxContext(HDC ctx) {
  if (!gdi::IsLiveContext(ctx)) return;
  void* block = ctx->mFrameBlock;
  gdi::ReleaseContext(ctx);
  std::free(block);
}
