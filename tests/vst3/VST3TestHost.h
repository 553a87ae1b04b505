#pragma once
// A small VST3 host for the tests: loads a built bundle's module as hosts do and plays the
// host's objects (streams, parameter queues, the component handler) for one instance.

#include <string>
#include <utility>
#include <vector>

#include "vst3/VST3Editing.h"
#include "vst3/VST3Factory.h"
#include "vst3/VST3Processing.h"

namespace vst3test {

using namespace vst3;

// Host objects live on the test's stack: their reference counts only tell.
template <class Interface>
struct HostObject : Interface {
  tresult queryInterface(const char* iid, void** obj) override {
    *obj = FUnknown::kIID.Matches(iid) || Interface::kIID.Matches(iid) ? this : nullptr;
    return *obj ? kResultOk : kNoInterface;
  }
  uint32 addRef() override { return 2; }
  uint32 release() override { return 1; }
};

// Bytes in memory; reads fail once failAt bytes have been read, when it is 0 or more.
struct MemoryStream : HostObject<IBStream> {
  std::vector<unsigned char> mBytes;
  size_t mPos = 0;
  long mFailAt = -1;
  tresult read(void* buffer, int32 n, int32* got) override;
  tresult write(void* buffer, int32 n, int32* written) override;
  tresult seek(int64 pos, int32 mode, int64* result) override;
  tresult tell(int64* pos) override;
};

struct Queue : HostObject<IParamValueQueue> {
  uint32 mId = 0;
  std::vector<std::pair<int32, double>> mPoints;
  uint32 getParameterId() override { return mId; }
  int32 getPointCount() override { return (int32)mPoints.size(); }
  tresult getPoint(int32 i, int32& offset, double& value) override;
  tresult addPoint(int32, double, int32&) override { return kResultFalse; }
};

struct Changes : HostObject<IParameterChanges> {
  std::vector<Queue> mQueues;
  void Add(uint32 id, int32 offset, double normalized);
  int32 getParameterCount() override { return (int32)mQueues.size(); }
  IParamValueQueue* getParameterData(int32 i) override;
  IParamValueQueue* addParameterData(const uint32&, int32&) override { return nullptr; }
};

// Records the edits it is told of as "begin 1", "perform 1 0.5", "end 1".
struct Handler : HostObject<IComponentHandler> {
  std::vector<std::string> mCalls;
  tresult beginEdit(uint32 id) override;
  tresult performEdit(uint32 id, double value) override;
  tresult endEdit(uint32 id) override;
  tresult restartComponent(int32) override { return kResultOk; }
};

// The module of a bundle, entered and its factory taken; one instance through its three sides.
class Host {
 public:
  explicit Host(const std::string& bundle);
  ~Host();
  IPluginFactory2* Factory() const { return mFactory; }
  // A new, initialised instance (the previous one released); false when none could be made.
  bool Create();
  // Set up for stereo at the rate and largest block, active and processing.
  bool Start(double rate = 48000, int maxBlock = 1024, int32 sampleSize = kSample32);
  // One block on stereo channel arrays (in place when in == out).
  template <class T>
  tresult Process(T* const* in, T* const* out, int n, IParameterChanges* changes = nullptr,
                  uint64 inSilence = 0);
  uint64 mOutSilence = 0;

  IComponent* mComponent = nullptr;
  IAudioProcessor* mProcessor = nullptr;
  IEditController* mController = nullptr;

 private:
  void Release();
  void* mLibrary = nullptr;
  IPluginFactory2* mFactory = nullptr;
};

// The class id of a bundle's plug-in as hosts write it: 32 hex digits.
std::string HexCID(const unsigned char* cid);
// The built Orvanta bundle.
std::string OrvantaBundle();

}  // namespace vst3test
