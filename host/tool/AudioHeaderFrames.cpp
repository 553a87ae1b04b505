#include "AudioHeaderFrames.h"

#include <unistd.h>

#include <cstring>

namespace {

// A few bytes at an offset, read as numbers of either byte order.
struct HeaderBytes {
  int fd;
  bool bigEndian;

  bool Read(int64_t at, void* into, size_t size) const {
    return at >= 0 && pread(fd, into, size, at) == static_cast<ssize_t>(size);
  }
  bool Number(int64_t at, int size, uint64_t* value) const {
    unsigned char b[8];
    if (!Read(at, b, static_cast<size_t>(size))) return false;
    *value = 0;
    for (int i = 0; i < size; ++i)
      *value |= uint64_t(b[bigEndian ? i : size - 1 - i]) << (8 * (size - 1 - i));
    return true;
  }
  bool Is(int64_t at, const char* text) const {
    char b[16];
    const size_t size = strlen(text);
    return Read(at, b, size) && memcmp(b, text, size) == 0;
  }
};

// Headers are a handful of chunks; a file with more before its audio is not one we judge.
constexpr int kMaxChunks = 64;

// Whether a WAV's data is plain samples (PCM, float, A-law, u-law, or the extensible tag naming
// one of them), whose frames are each the format's block-align bytes.
bool WavPlainSamples(const HeaderBytes& h, int64_t fmt, uint64_t tag) {
  uint64_t sub = 0;
  if (tag == 0xFFFE && !h.Number(fmt + 24, 2, &sub)) return false;
  const uint64_t plain = tag == 0xFFFE ? sub : tag;
  return plain == 1 || plain == 3 || plain == 6 || plain == 7;
}

// RIFF/RIFX/RF64 (32-bit chunks, RF64 sizes in ds64) and W64 (GUID ids, 64-bit sizes).
int64_t WavFrames(const HeaderBytes& h, bool w64) {
  const int idSize = w64 ? 16 : 4, sizeSize = w64 ? 8 : 4, align = w64 ? 8 : 2;
  int64_t at = w64 ? 40 : 12, fmt = -1;
  uint64_t dataSize = 0, factFrames = 0, ds64Data = 0, blockAlign = 0, tag = 0;
  bool haveData = false, haveFact = false;
  for (int n = 0; n < kMaxChunks && !haveData; ++n) {
    char id[4];
    uint64_t size = 0;
    if (!h.Read(at, id, 4) || !h.Number(at + idSize, sizeSize, &size)) break;
    const int64_t body = at + idSize + sizeSize;
    if (w64) size = size >= 24 ? size - 24 : 0;  // W64 sizes count the chunk's own header
    if (!memcmp(id, "fmt ", 4)) {
      fmt = body;
      if (!h.Number(body, 2, &tag) || !h.Number(body + 12, 2, &blockAlign)) return kUnknownFrames;
    } else if (!memcmp(id, "fact", 4)) {
      haveFact = h.Number(body, 4, &factFrames);
    } else if (!memcmp(id, "ds64", 4)) {
      h.Number(body + 8, 8, &ds64Data);
    } else if (!memcmp(id, "data", 4)) {
      haveData = true;
      dataSize = !w64 && size == 0xFFFFFFFF ? ds64Data : size;
    }
    if (size > (uint64_t(1) << 62)) break;  // no header holds that much; and no overflow
    at = body + static_cast<int64_t>((size + align - 1) / align * align);
  }
  if (!haveData || fmt < 0 || (!w64 && dataSize == 0xFFFFFFFF)) return kUnknownFrames;
  if (blockAlign > 0 && WavPlainSamples(h, fmt, tag))
    return static_cast<int64_t>(dataSize / blockAlign);
  return haveFact ? static_cast<int64_t>(factFrames) : kUnknownFrames;
}

// AIFF and AIFC state the frame count in their COMM chunk.
int64_t AiffFrames(const HeaderBytes& h) {
  int64_t at = 12;
  for (int n = 0; n < kMaxChunks; ++n) {
    uint64_t size = 0, frames = 0;
    if (!h.Number(at + 4, 4, &size)) break;
    if (h.Is(at, "COMM"))
      return h.Number(at + 10, 4, &frames) ? static_cast<int64_t>(frames) : kUnknownFrames;
    at += 8 + static_cast<int64_t>((size + 1) / 2 * 2);
  }
  return kUnknownFrames;
}

// Sun/NeXT AU: a data size (all ones when open) and an encoding with a fixed sample size.
int64_t AuFrames(const HeaderBytes& h) {
  uint64_t size = 0, encoding = 0, channels = 0;
  if (!h.Number(8, 4, &size) || !h.Number(12, 4, &encoding) || !h.Number(20, 4, &channels))
    return kUnknownFrames;
  static const int kBytes[] = {0, 1, 1, 2, 3, 4, 4, 8};  // by encoding number
  const uint64_t bytes = encoding < 8 ? kBytes[encoding] : encoding == 27 ? 1 : 0;
  if (size == 0xFFFFFFFF || bytes == 0 || channels == 0) return kUnknownFrames;
  return static_cast<int64_t>(size / (bytes * channels));
}

// CAF: a packet table's valid frames where there is one, else data size over constant packets.
int64_t CafFrames(const HeaderBytes& h) {
  int64_t at = 8;
  uint64_t bytesPerPacket = 0, framesPerPacket = 0, dataSize = 0, paktFrames = 0;
  bool haveData = false, havePakt = false;
  for (int n = 0; n < kMaxChunks; ++n) {
    uint64_t size = 0;
    if (!h.Number(at + 4, 8, &size)) break;
    const int64_t body = at + 12;
    if (h.Is(at, "desc")) {
      h.Number(body + 16, 4, &bytesPerPacket);
      h.Number(body + 20, 4, &framesPerPacket);
    } else if (h.Is(at, "pakt")) {
      havePakt = h.Number(body + 8, 8, &paktFrames);
    } else if (h.Is(at, "data")) {
      haveData = true;
      dataSize = size;
      if (size == ~uint64_t(0)) break;  // open length: the data runs to the end of the file
    }
    if (size > (uint64_t(1) << 62)) break;
    at = body + static_cast<int64_t>(size);
  }
  if (havePakt) return static_cast<int64_t>(paktFrames);
  if (!haveData || dataSize == ~uint64_t(0) || dataSize < 4 || !bytesPerPacket)
    return kUnknownFrames;
  return static_cast<int64_t>((dataSize - 4) / bytesPerPacket * framesPerPacket);
}

}  // namespace

int64_t HeaderPromisedFrames(int fd) {
  char magic[12] = {};
  if (pread(fd, magic, sizeof(magic), 0) != static_cast<ssize_t>(sizeof(magic)))
    return kUnknownFrames;
  auto starts = [&](const char* text, int at = 0) {
    return memcmp(magic + at, text, strlen(text)) == 0;
  };
  if ((starts("RIFF") || starts("RF64")) && starts("WAVE", 8)) return WavFrames({fd, false}, false);
  if (starts("RIFX") && starts("WAVE", 8)) return WavFrames({fd, true}, false);
  if (starts("riff") && memcmp(magic + 4, "\x2E\x91\xCF\x11", 4) == 0)
    return WavFrames({fd, false}, true);
  if (starts("FORM") && (starts("AIFF", 8) || starts("AIFC", 8))) return AiffFrames({fd, true});
  if (starts(".snd")) return AuFrames({fd, true});
  if (starts("dns.")) return AuFrames({fd, false});
  if (starts("caff")) return CafFrames({fd, true});
  return kUnknownFrames;
}
