// The VST3 component's state as hosts hand it over: any bytes, through a stream that may give
// them in short pieces and fail part-way (the input's first two bytes say how). A refused
// state must change nothing; an accepted one must leave every value inside its range.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "vst3/VST3Plugin.h"

namespace {

using namespace vst3;

struct Stream : IBStream {
  const uint8_t* mData = nullptr;
  size_t mSize = 0, mPos = 0, mPiece = 1, mFailAt = SIZE_MAX;
  tresult queryInterface(const char*, void** obj) override {
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 addRef() override { return 1; }
  uint32 release() override { return 1; }
  tresult read(void* buffer, int32 n, int32* got) override {
    const size_t count = std::min({(size_t)std::max(n, 0), mSize - mPos, mPiece});
    if (mPos + count > mFailAt) return kInternalError;
    std::memcpy(buffer, mData + mPos, count);
    mPos += count;
    if (got) *got = (int32)count;
    return kResultOk;
  }
  tresult write(void*, int32, int32*) override { return kNotImplemented; }
  tresult seek(int64, int32, int64*) override { return kNotImplemented; }
  tresult tell(int64* pos) override {
    *pos = (int64)mPos;
    return kResultOk;
  }
};

VST3Plugin& Plugin() {
  static VST3Plugin* plugin = [] {
    auto* p = new VST3Plugin();
    if (p->initialize(nullptr) != kResultOk) __builtin_trap();
    return p;
  }();
  return *plugin;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > (1 << 20)) return 0;
  VST3Plugin& plugin = Plugin();
  IPluginVST3* plug = plugin.Plug();
  Stream stream;
  // Pieces of 1 to 4096 bytes; a failure at the byte the second says, 255 for none.
  stream.mPiece = 1 + (size_t)data[0] * 16;
  stream.mFailAt = data[1] == 255 ? SIZE_MAX : data[1];
  stream.mData = data + 2;
  stream.mSize = size - 2;
  std::vector<double> before(plug->NParams());
  for (int i = 0; i < plug->NParams(); ++i) before[i] = plug->GetParam(i)->Value();
  const bool accepted = plugin.setComponentStream(&stream) == kResultOk;
  for (int i = 0; i < plug->NParams(); ++i) {
    const IParam* param = plug->GetParam(i);
    if (!accepted && param->Value() != before[i]) __builtin_trap();
    if (!(param->Value() >= param->GetMin() && param->Value() <= param->GetMax())) __builtin_trap();
  }
  return 0;
}
