#pragma once
// Resampling blits driven by per-pixel source increments: rotation about a centre, free
// increments with a second-order term, and grids of source coordinates. With
// BLIT_FLAG_FILTER the source is sampled bilinearly, otherwise the nearest pixel is taken;
// destination pixels whose sample falls outside the source are left alone.

#include "raster/RAS_Bitmap.h"

// Draws the source rectangle rotated by angle (radians) into the destination rectangle,
// the destination's centre mapping to the source rectangle's centre plus (centerx, centery).
void RAS_RotatedBlit(RAS_IBitmap* dest, RAS_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                     float srcx, float srcy, float srcw, float srch, float angle,
                     bool cliptosourcerect, float alpha, int mode, float centerx = 0.0f,
                     float centery = 0.0f);
// Starts at (srcx, srcy) and adds (dsdx, dtdx) per destination column and (dsdy, dtdy) per
// row; the per-column increments grow by (dsdxdy, dtdxdy) after each row.
void RAS_DeltaBlit(RAS_IBitmap* dest, RAS_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                   float srcx, float srcy, float srcw, float srch, double dsdx, double dtdx,
                   double dsdy, double dtdy, double dsdxdy, double dtdxdy, bool cliptosourcerect,
                   float alpha, int mode);
// The same with a per-pixel alpha that starts at a and steps like the position.
void RAS_DeltaBlitAlpha(RAS_IBitmap* dest, RAS_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                        float srcx, float srcy, float srcw, float srch, double dsdx, double dtdx,
                        double dsdy, double dtdy, double dsdxdy, double dtdxdy,
                        bool cliptosourcerect, double a, double dadx, double dady, double dadxdy,
                        int mode);
// The destination rectangle cut into (cols - 1) by (rows - 1) cells, each mapped from the
// source quadrilateral given by its four grid points (x, y pairs, row by row).
void RAS_TransformBlit(RAS_IBitmap* dest, RAS_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                       const float* srcpoints, int cols, int rows, float alpha, int mode);
void RAS_TransformBlit2(RAS_IBitmap* dest, RAS_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                        const double* srcpoints, int cols, int rows, float alpha, int mode);
// Grid points as (x, y, alpha) triples; the alpha is interpolated across each cell.
void RAS_TransformBlit2Alpha(RAS_IBitmap* dest, RAS_IBitmap* src, int dstx, int dsty, int dstw,
                             int dsth, const double* srcpoints, int cols, int rows, int mode);
