#pragma once
// A pixel-doubled copy of a bitmap for double-resolution screens: every source pixel
// becomes a 2 by 2 block.

#include <cstddef>
#include <cstdint>

namespace viewrules {

// Pixels per row of the doubled copy of a bitmap w pixels wide: 2w rounded up to a
// multiple of 4 (rows aligned to 16 bytes).
int DoubledRowSpan(int width);

// Bytes to reserve for a doubled copy of w by h, including room to align its start to
// 32 bytes.
size_t DoubledBufferBytes(int width, int height);

// First 32-byte-aligned address in a buffer of DoubledBufferBytes.
uint32_t* AlignDoubledStart(void* buffer);

// Writes the 2w by 2h copy of the w by h source (srcSpan pixels per row) into dst
// (dstSpan pixels per row, at least 2w).
void DoublePixels(const uint32_t* src, int srcSpan, int width, int height, uint32_t* dst,
                  int dstSpan);

}  // namespace viewrules
