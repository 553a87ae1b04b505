#include "vst3/VST3TestHost.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vst3test {

tresult MemoryStream::read(void* buffer, int32 n, int32* got) {
  size_t count = std::min<size_t>((size_t)std::max(n, 0), mBytes.size() - mPos);
  if (mFailAt >= 0 && mPos + count > (size_t)mFailAt) return kInternalError;
  if (count > 0) std::memcpy(buffer, mBytes.data() + mPos, count);
  mPos += count;
  if (got) *got = (int32)count;
  return kResultOk;
}

tresult MemoryStream::write(void* buffer, int32 n, int32* written) {
  const auto* bytes = static_cast<unsigned char*>(buffer);
  mBytes.resize(std::max(mBytes.size(), mPos + n));
  std::memcpy(mBytes.data() + mPos, bytes, n);
  mPos += n;
  if (written) *written = n;
  return kResultOk;
}

tresult MemoryStream::seek(int64 pos, int32 mode, int64* result) {
  mPos = (size_t)(mode == kIBSeekSet ? pos : mode == kIBSeekCur ? mPos + pos : mBytes.size() + pos);
  if (result) *result = (int64)mPos;
  return kResultOk;
}

tresult MemoryStream::tell(int64* pos) {
  *pos = (int64)mPos;
  return kResultOk;
}

tresult Queue::getPoint(int32 i, int32& offset, double& value) {
  if (i < 0 || i >= (int32)mPoints.size()) return kInvalidArgument;
  offset = mPoints[i].first;
  value = mPoints[i].second;
  return kResultOk;
}

void Changes::Add(uint32 id, int32 offset, double normalized) {
  auto it = std::find_if(mQueues.begin(), mQueues.end(), [&](Queue& q) { return q.mId == id; });
  if (it == mQueues.end()) {
    mQueues.emplace_back();
    it = mQueues.end() - 1;
    it->mId = id;
  }
  it->mPoints.emplace_back(offset, normalized);
}

IParamValueQueue* Changes::getParameterData(int32 i) {
  return i >= 0 && i < (int32)mQueues.size() ? &mQueues[i] : nullptr;
}

tresult Handler::beginEdit(uint32 id) {
  mCalls.push_back("begin " + std::to_string(id));
  return kResultOk;
}

tresult Handler::performEdit(uint32 id, double value) {
  char text[64];
  std::snprintf(text, sizeof text, "perform %u %g", id, value);
  mCalls.push_back(text);
  return kResultOk;
}

tresult Handler::endEdit(uint32 id) {
  mCalls.push_back("end " + std::to_string(id));
  return kResultOk;
}

Host::Host(const std::string& bundle) {
  const std::string name =
      bundle.substr(bundle.rfind('/') + 1, bundle.rfind('.') - bundle.rfind('/') - 1);
  mLibrary =
      dlopen((bundle + "/Contents/x86_64-linux/" + name + ".so").c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!mLibrary) return;
  auto entry = reinterpret_cast<bool (*)(void*)>(dlsym(mLibrary, "ModuleEntry"));
  auto factory = reinterpret_cast<IPluginFactory* (*)()>(dlsym(mLibrary, "GetPluginFactory"));
  if (!entry || !factory || !entry(mLibrary)) return;
  IPluginFactory* f = factory();
  if (f) f->queryInterface(IPluginFactory2::kIID.Bytes(), (void**)&mFactory);
  if (f) f->release();
}

Host::~Host() {
  Release();
  if (mFactory) mFactory->release();
  if (mLibrary) {
    reinterpret_cast<bool (*)()>(dlsym(mLibrary, "ModuleExit"))();
    dlclose(mLibrary);
  }
}

void Host::Release() {
  for (FUnknown* p : {(FUnknown*)mProcessor, (FUnknown*)mController})
    if (p) p->release();
  if (mComponent) {
    mComponent->terminate();
    mComponent->release();
  }
  mComponent = nullptr;
  mProcessor = nullptr;
  mController = nullptr;
}

bool Host::Create() {
  Release();
  PClassInfo info;
  if (!mFactory || mFactory->getClassInfo(0, &info) != kResultOk ||
      mFactory->createInstance((const char*)info.cid, IComponent::kIID.Bytes(),
                               (void**)&mComponent) != kResultOk)
    return false;
  mComponent->queryInterface(IAudioProcessor::kIID.Bytes(), (void**)&mProcessor);
  mComponent->queryInterface(IEditController::kIID.Bytes(), (void**)&mController);
  return mComponent->initialize(nullptr) == kResultOk && mProcessor && mController;
}

bool Host::Start(double rate, int maxBlock, int32 sampleSize) {
  SpeakerArrangement stereo = kStereo;
  ProcessSetup setup = {kRealtime, sampleSize, maxBlock, rate};
  return mProcessor->setBusArrangements(&stereo, 1, &stereo, 1) == kResultTrue &&
         mProcessor->setupProcessing(setup) == kResultOk && mComponent->setActive(1) == kResultOk &&
         mProcessor->setProcessing(1) == kResultOk;
}

template <class T>
tresult Host::Process(T* const* in, T* const* out, int n, IParameterChanges* changes,
                      uint64 inSilence) {
  AudioBusBuffers inBus = {2, inSilence, {}}, outBus = {2, 0, {}};
  ProcessData data = {};
  data.symbolicSampleSize = sizeof(T) == 8 ? kSample64 : kSample32;
  if constexpr (sizeof(T) == 8) {
    inBus.channelBuffers64 = const_cast<T**>(in);
    outBus.channelBuffers64 = const_cast<T**>(out);
  } else {
    inBus.channelBuffers32 = const_cast<T**>(in);
    outBus.channelBuffers32 = const_cast<T**>(out);
  }
  data.numSamples = n;
  data.numInputs = data.numOutputs = 1;
  data.inputs = &inBus;
  data.outputs = &outBus;
  data.inputParameterChanges = changes;
  const tresult result = mProcessor->process(data);
  mOutSilence = outBus.silenceFlags;
  return result;
}

template tresult Host::Process(float* const*, float* const*, int, IParameterChanges*, uint64);
template tresult Host::Process(double* const*, double* const*, int, IParameterChanges*, uint64);

std::string HexCID(const unsigned char* cid) {
  char text[33];
  for (int i = 0; i < 16; ++i) std::snprintf(text + 2 * i, 3, "%02X", cid[i]);
  return text;
}

std::string OrvantaBundle() { return ORVANTA_VST3_BUNDLE; }

}  // namespace vst3test
