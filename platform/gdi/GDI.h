#pragma once
// The drawing-context emulation: a small Windows-style drawing interface (memory contexts
// with a pixel frame buffer, font objects, text colour and background, text metrics and
// text drawing with format flags). Platform-neutral: handles, records and functions only;
// the font engine stays inside this folder's sources.

#include "platform/gdi/GDI_Types.h"

// ---- Memory contexts ----

// A memory context of w by h pixels: w * 4 bytes per row, first row at the top, 64-byte
// aligned, zero-filled; each pixel is a skipped byte, then red, green, blue. The template
// is not read. Null when the size is not positive or memory cannot be had.
HDC GDI_CreateMemContext(HDC templateCtx, int w, int h);
// First pixel of a memory context's frame buffer; null for none, a dead or non-memory context.
void* GDI_GetCtxFrameBuffer(HDC ctx);
// Releases a context and its frame buffer; nothing for null or dead contexts.
void GDI_DeleteGfxContext(HDC ctx);

// ---- Record pools (diagnostics) ----

// Dead records waiting for reuse: at most 100 contexts and 200 objects are kept.
int GDI_GetPooledContextCount();
int GDI_GetPooledObjectCount();
