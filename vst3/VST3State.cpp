#include "vst3/VST3State.h"

namespace vst3 {

bool WriteStateChunk(IBStream* stream, ByteChunk* pChunk) {
  if (!stream || !pChunk) return false;
  unsigned char* bytes = pChunk->GetBytes();
  for (int done = 0, size = pChunk->Size(); done < size;) {
    int32 written = 0;
    if (stream->write(bytes + done, size - done, &written) != kResultOk || written <= 0 ||
        written > size - done)
      return false;
    done += written;
  }
  return true;
}

bool ReadStateChunk(IBStream* stream, ByteChunk* pChunk) {
  if (!stream || !pChunk) return false;
  constexpr int32 kPiece = 4096;
  unsigned char buffer[kPiece];
  for (;;) {
    int32 got = 0;
    if (stream->read(buffer, kPiece, &got) != kResultOk || got < 0 || got > kPiece) return false;
    if (pChunk->Size() + got > kMaxStateBytes) return false;
    if (got == 0) return true;
    if (pChunk->PutBytes(buffer, got) < 0) return false;
  }
}

}  // namespace vst3
