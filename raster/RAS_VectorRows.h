#pragma once
// Second implementations of the busiest combine rules and of the bilinear mix, working on
// whole rows with SSE2 or AVX2. Each gives exactly the bytes of its scalar rule in
// RAS_Combiners.h / RAS_ShapeKit.h (the tests hold them to that over random inputs); the
// scalar rules stay the definition. The instruction set is chosen once at load by CPU
// detection, so the library runs on any x86-64.
//
// Each row function handles a whole number of vector blocks from the start of the row and
// returns how many pixels it did; the caller finishes the rest with the scalar rule.

#include "raster/RAS_Pixel.h"

struct RAS_VectorRows {
  const char* name;
  // _RAS_CombinePixelsClobberFAST: every pixel becomes the colour word c.
  int (*fill)(RAS_pixel* d, RAS_pixel c, int n);
  // Plain copy of n source pixels (the areas must not overlap).
  int (*copy)(RAS_pixel* d, const RAS_pixel* s, int n);
  // _RAS_CombinePixelsCopyNoClamp of each source pixel at weight w (1-255).
  int (*copyWeighted)(RAS_pixel* d, const RAS_pixel* s, int n, int w);
  // _RAS_CombinePixelsCopyNoClamp of one colour word (its alpha byte the source alpha) at
  // weight w (1-255).
  int (*fillWeighted)(RAS_pixel* d, RAS_pixel c, int n, int w);
  // _RAS_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp (weight 256).
  int (*sourceAlphaFull)(RAS_pixel* d, const RAS_pixel* s, int n);
  // _RAS_CombinePixelsCopySourceAlphaNoClamp at weight w (1-255).
  int (*sourceAlphaWeighted)(RAS_pixel* d, const RAS_pixel* s, int n, int w);
  // Bilinear mixes of n samples: out[i] = Mix4(p00[i], p10[i], p01[i], p11[i], fx[i], fy[i])
  // with 16-bit fractions.
  int (*mix4)(RAS_pixel* out, const RAS_pixel* p00, const RAS_pixel* p10, const RAS_pixel* p01,
              const RAS_pixel* p11, const unsigned short* fx, const unsigned short* fy, int n);
  // One run of a bilinear scale at fraction fy between the source rows top and bottom (the
  // same row on the last one). Window column k (0 to m - 1) is top[k] / bottom[k]; its right
  // neighbour is column k + 1, read from top[m] / bottom[m] for the last one unless
  // lastIsEdge, where the last column is the source's last and is its own neighbour. Sample i
  // is at window column col[i] with fraction fx[i] (0 on the edge column). Gives exactly
  // Mix4 of each sample's neighbours. Scratch: 4 m ints and 8 m shorts, 16-byte aligned.
  void (*scaleRun)(RAS_pixel* out, const RAS_pixel* top, const RAS_pixel* bottom, int m,
                   bool lastIsEdge, const int* col, const unsigned short* fx, unsigned fy, int n,
                   int* scratchA, short* scratchE);
};

// The rows of one instruction set: SSE2 (every x86-64) and AVX2 (null when the CPU lacks it).
const RAS_VectorRows* RAS_VectorRowsSSE2();
const RAS_VectorRows* RAS_VectorRowsAVX2();
// The AVX2 table without asking the CPU; only RAS_VectorRowsAVX2 calls it.
const RAS_VectorRows* RAS_VectorRowsAVX2Unchecked();

// The rows the drawing loops use, picked at load: AVX2 where the CPU has it, else SSE2.
extern const RAS_VectorRows* RAS_Vector;
