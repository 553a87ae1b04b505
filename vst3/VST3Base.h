#pragma once
// The VST3 binary interface on Linux x86-64, declared here from its published facts: the
// primitive types, result codes, interface identifiers, the root interface and streams.
// Every interface is an abstract class of pure virtual methods in the format's slot order,
// with no data and no virtual destructor, so that its vtable is the one hosts call through.
// Kept in a namespace of its own: its IPluginBase is not the framework's.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vst3 {

using int16 = int16_t;
using int32 = int32_t;
using int64 = int64_t;
using uint32 = uint32_t;
using uint64 = uint64_t;
using tresult = int32_t;
using TBool = uint8_t;
using TChar = char16_t;
using String128 = TChar[128];
// Identifiers are passed as 16 raw bytes.
using FIDString = const char*;

enum : tresult {
  kNoInterface = -1,
  kResultOk = 0,
  kResultTrue = 0,
  kResultFalse = 1,
  kInvalidArgument = 2,
  kNotImplemented = 3,
  kInternalError = 4,
  kNotInitialized = 5,
  kOutOfMemory = 6
};

// An interface or class identifier: four 32-bit words, each stored most significant byte first.
struct Uid {
  unsigned char mBytes[16];

  static constexpr Uid FromWords(uint32 w1, uint32 w2, uint32 w3, uint32 w4) {
    Uid uid{};
    const uint32 words[4] = {w1, w2, w3, w4};
    for (int i = 0; i < 16; ++i)
      uid.mBytes[i] = (unsigned char)(words[i / 4] >> (24 - 8 * (i % 4)));
    return uid;
  }
  bool Matches(const void* bytes) const { return bytes && std::memcmp(mBytes, bytes, 16) == 0; }
  const char* Bytes() const { return reinterpret_cast<const char*>(mBytes); }
};

class FUnknown {
 public:
  static constexpr Uid kIID = Uid::FromWords(0x00000000, 0x00000000, 0xC0000000, 0x00000046);
  virtual tresult queryInterface(const char* iid, void** obj) = 0;
  virtual uint32 addRef() = 0;
  virtual uint32 release() = 0;
};

class IPluginBase : public FUnknown {
 public:
  static constexpr Uid kIID = Uid::FromWords(0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625);
  virtual tresult initialize(FUnknown* context) = 0;
  virtual tresult terminate() = 0;
};

enum StreamSeekMode : int32 { kIBSeekSet = 0, kIBSeekCur = 1, kIBSeekEnd = 2 };

class IBStream : public FUnknown {
 public:
  static constexpr Uid kIID = Uid::FromWords(0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B);
  virtual tresult read(void* buffer, int32 numBytes, int32* numBytesRead) = 0;
  virtual tresult write(void* buffer, int32 numBytes, int32* numBytesWritten) = 0;
  virtual tresult seek(int64 pos, int32 mode, int64* result) = 0;
  virtual tresult tell(int64* pos) = 0;
};

class IHostApplication : public FUnknown {
 public:
  static constexpr Uid kIID = Uid::FromWords(0x58E595CC, 0xDB2D4969, 0x8B6AAF8C, 0x36A664E5);
  virtual tresult getName(String128 name) = 0;
  virtual tresult createInstance(char* cid, char* iid, void** obj) = 0;
};

}  // namespace vst3
