#pragma once
// How many frames an audio file's header promises, read from the header itself. libsndfile
// quietly shortens its own count to what a cut-short WAV, AIFF, CAF, W64 or AU file holds, so
// truncation shows only by comparing what was read with this promise.

#include <cstdint>

constexpr int64_t kUnknownFrames = -1;

// The frames promised by the header of the open file (WAV, RF64, W64, AIFF/AIFC, AU, CAF), or
// kUnknownFrames for other containers, compressed data without a frame count, or a header that
// says the length is open. Reads only the header, through pread.
int64_t HeaderPromisedFrames(int fd);
