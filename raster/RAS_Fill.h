#pragma once
// Clearing, filling and single-pixel access, per-channel arithmetic, gradients and the
// seed-column fill. Colours are pixel words, modes are mode words; nothing is drawn for
// null bitmaps, empty or fully clipped rectangles, zero alpha or unknown modes.

#include "raster/RAS_Bitmap.h"

// Every pixel of the bitmap (the first width pixels of each row) becomes the colour.
void RAS_Clear(RAS_IBitmap* bm, RAS_pixel color);
// Each pixel of the clipped rectangle becomes (pixel AND keepMask) OR setBits.
void RAS_ClearRect(RAS_IBitmap* bm, int x, int y, int w, int h, RAS_pixel keepMask = 0,
                   RAS_pixel setBits = 0);
void RAS_FillRect(RAS_IBitmap* bm, int x, int y, int w, int h, RAS_pixel color, float alpha,
                  int mode);
// The pixel word at (x, y), or 0 outside the bitmap or without pixels.
RAS_pixel RAS_GetPixel(RAS_IBitmap* bm, int x, int y);
void RAS_PutPixel(RAS_IBitmap* bm, int x, int y, RAS_pixel color, float alpha, int mode);
// Per channel c = clamp(c * scale + offset); offsets are in channel units.
void RAS_MultiplyAddRect(RAS_IBitmap* bm, int x, int y, int w, int h, float rsc, float gsc,
                         float bsc, float asc, float radd, float gadd, float badd, float aadd);
// Calls procFunc once per pixel of the clipped rectangle, row by row; it may change the pixel.
void RAS_ProcessRect(RAS_IBitmap* bm, int x, int y, int w, int h,
                     void (*procFunc)(RAS_pixel* p, void* parm), void* parm);
// Gradient fill: start colour (0-1 per channel) and its increments per column and per row.
void RAS_GradRect(RAS_IBitmap* bm, int x, int y, int w, int h, float ir, float ig, float ib,
                  float ia, float drdx, float dgdx, float dbdx, float dadx, float drdy, float dgdy,
                  float dbdy, float dady, int mode);
// Alpha 0 where a pixel's red, green and blue equal the colour's, 255 elsewhere.
void RAS_SetAlphaFromColorMask(RAS_IBitmap* bm, RAS_pixel color);
// Seed-column fill from (x, y): matching pixels become newColor OR (pixel AND keepMask).
void RAS_SimpleFill(RAS_IBitmap* bm, int x, int y, RAS_pixel newColor,
                    RAS_pixel compareMask = 0xffffffff, RAS_pixel keepMask = 0);
