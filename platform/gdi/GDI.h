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

// ---- Fonts and objects ----

// A font object. Size: |height|, or |width| when height is 0; sizes below 2 or above 8192
// become 10. Weight 700 or more and a non-zero italic byte select the bold and italic
// styles. Quality 3 draws without anti-aliasing, 4 with it, anything else as the default.
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, char italic,
                 char underline, char strikeOut, char charSet, char outPrecision,
                 char clipPrecision, char quality, char pitchAndFamily, const char* faceName);
HFONT CreateFontIndirect(const LOGFONT* lf);

// Puts a pen, brush or font into its slot of the context and returns what was there (the
// type number when the slot held nothing). The pseudo-handles GDI_OBJ_PEN, GDI_OBJ_BRUSH and
// GDI_OBJ_FONT, cast to a handle, empty the slot.
HGDIOBJ SelectObject(HDC ctx, HGDIOBJ obj);
// Releases an object when no other reference remains; pseudo-handles and dead objects are
// ignored.
void DeleteObject(HGDIOBJ obj);

// ---- Colours and text ----

// Setters return the previous value (-1, or 0 for the mode, on a dead context).
int SetTextColor(HDC ctx, int color);
int GetTextColor(HDC ctx);  // -1 for none or a dead context
int SetBkColor(HDC ctx, int color);
int GetBkColor(HDC ctx);
int SetBkMode(HDC ctx, int mode);
int GetBkMode(HDC ctx);

// 1 on success, 0 for a missing or dead context (tm then holds 16, 12, 4, 3, 10).
int GetTextMetrics(HDC ctx, TEXTMETRIC* tm);

// Draws (or with DT_CALCRECT measures) text of len bytes (-1: up to the terminator) in the
// rectangle with the context's font, colours and background mode. Returns the text's
// height in pixels, 0 when nothing was drawn.
int GDI_DrawText(HDC ctx, const char* text, int len, RECT* rect, unsigned flags);
