#pragma once
// The component's state in the host's streams: exactly the framework's state chunk, with no
// framing of our own, so that it holds the same bytes as the Audio Unit's saved state.

#include "framework/ByteChunk.h"
#include "vst3/VST3Base.h"

namespace vst3 {

// Largest state accepted from a host; anything longer is not ours.
constexpr int kMaxStateBytes = 1 << 24;

// Writes every byte of the chunk; false when the stream takes less.
bool WriteStateChunk(IBStream* stream, ByteChunk* pChunk);
// Reads from the stream's position to its end (the first read that gives no bytes; earlier
// ones may give fewer than asked for). False, with the chunk in any state, when a read fails
// or the data is too long.
bool ReadStateChunk(IBStream* stream, ByteChunk* pChunk);

}  // namespace vst3
