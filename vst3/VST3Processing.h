#pragma once
// The VST3 processor side: the component with its buses and state, the audio processor, and
// the records of one processing call with the host's parameter queues.

#include "vst3/VST3Base.h"

namespace vst3 {

enum MediaTypes : int32 { kAudio = 0, kEvent = 1 };
enum BusDirections : int32 { kInput = 0, kOutput = 1 };
enum BusTypes : int32 { kMain = 0, kAux = 1 };
enum SymbolicSampleSizes : int32 { kSample32 = 0, kSample64 = 1 };
enum ProcessModes : int32 { kRealtime = 0, kPrefetch = 1, kOffline = 2 };

using SpeakerArrangement = uint64;
constexpr SpeakerArrangement kSpeakerL = 1 << 0, kSpeakerR = 1 << 1;
constexpr SpeakerArrangement kStereo = kSpeakerL | kSpeakerR;

struct BusInfo {
  enum BusFlags : uint32 { kDefaultActive = 1 << 0 };
  int32 mediaType;
  int32 direction;
  int32 channelCount;
  String128 name;
  int32 busType;
  uint32 flags;
};

struct RoutingInfo {
  int32 mediaType;
  int32 busIndex;
  int32 channel;
};

struct ProcessSetup {
  int32 processMode;
  int32 symbolicSampleSize;
  int32 maxSamplesPerBlock;
  double sampleRate;
};

struct AudioBusBuffers {
  int32 numChannels;
  uint64 silenceFlags;
  union {
    float** channelBuffers32;
    double** channelBuffers64;
  };
};

struct ProcessContext {
  enum StatesAndFlags : uint32 {
    kPlaying = 1 << 1,
    kProjectTimeMusicValid = 1 << 9,
    kTempoValid = 1 << 10,
    kTimeSigValid = 1 << 13
  };
  uint32 state;
  double sampleRate;
  int64 projectTimeSamples;
  int64 systemTime;
  int64 continousTimeSamples;
  double projectTimeMusic;
  double barPositionMusic;
  double cycleStartMusic;
  double cycleEndMusic;
  double tempo;
  int32 timeSigNumerator;
  int32 timeSigDenominator;
  unsigned char chord[4];
  int32 smpteOffsetSubframes;
  uint32 frameRate[2];
  int32 samplesToNextClock;
};

class IParamValueQueue : public FUnknown {
 public:
  static constexpr Uid kIID = Uid::FromWords(0x01263A18, 0xED074F6F, 0x98C9D356, 0x4686F9BA);
  virtual uint32 getParameterId() = 0;
  virtual int32 getPointCount() = 0;
  virtual tresult getPoint(int32 index, int32& sampleOffset, double& value) = 0;
  virtual tresult addPoint(int32 sampleOffset, double value, int32& index) = 0;
};

class IParameterChanges : public FUnknown {
 public:
  static constexpr Uid kIID = Uid::FromWords(0xA4779663, 0x0BB64A56, 0xB44384A8, 0x466FEB9D);
  virtual int32 getParameterCount() = 0;
  virtual IParamValueQueue* getParameterData(int32 index) = 0;
  virtual IParamValueQueue* addParameterData(const uint32& id, int32& index) = 0;
};

struct ProcessData {
  int32 processMode;
  int32 symbolicSampleSize;
  int32 numSamples;
  int32 numInputs;
  int32 numOutputs;
  AudioBusBuffers* inputs;
  AudioBusBuffers* outputs;
  IParameterChanges* inputParameterChanges;
  IParameterChanges* outputParameterChanges;
  void* inputEvents;
  void* outputEvents;
  ProcessContext* processContext;
};

static_assert(sizeof(BusInfo) == 276 && offsetof(BusInfo, busType) == 268);
static_assert(sizeof(ProcessSetup) == 24 && offsetof(ProcessSetup, sampleRate) == 16);
static_assert(sizeof(AudioBusBuffers) == 24 && offsetof(AudioBusBuffers, channelBuffers32) == 16);
static_assert(sizeof(ProcessContext) == 112 && offsetof(ProcessContext, tempo) == 72 &&
              offsetof(ProcessContext, samplesToNextClock) == 104);
static_assert(sizeof(ProcessData) == 80 && offsetof(ProcessData, processContext) == 72);

class IComponent : public IPluginBase {
 public:
  static constexpr Uid kIID = Uid::FromWords(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802);
  virtual tresult getControllerClassId(char* classId) = 0;
  virtual tresult setIoMode(int32 mode) = 0;
  virtual int32 getBusCount(int32 type, int32 dir) = 0;
  virtual tresult getBusInfo(int32 type, int32 dir, int32 index, BusInfo& bus) = 0;
  virtual tresult getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) = 0;
  virtual tresult activateBus(int32 type, int32 dir, int32 index, TBool state) = 0;
  virtual tresult setActive(TBool state) = 0;
  virtual tresult setState(IBStream* state) = 0;
  virtual tresult getState(IBStream* state) = 0;
};

class IAudioProcessor : public FUnknown {
 public:
  static constexpr Uid kIID = Uid::FromWords(0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D);
  virtual tresult setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                     SpeakerArrangement* outputs, int32 numOuts) = 0;
  virtual tresult getBusArrangement(int32 dir, int32 index, SpeakerArrangement& arr) = 0;
  virtual tresult canProcessSampleSize(int32 symbolicSampleSize) = 0;
  virtual uint32 getLatencySamples() = 0;
  virtual tresult setupProcessing(ProcessSetup& setup) = 0;
  virtual tresult setProcessing(TBool state) = 0;
  virtual tresult process(ProcessData& data) = 0;
  virtual uint32 getTailSamples() = 0;
};

class IProcessContextRequirements : public FUnknown {
 public:
  static constexpr Uid kIID = Uid::FromWords(0x2A654303, 0xEF764E3D, 0x95B5FE83, 0x730EF6D0);
  enum Flags : uint32 {
    kNeedProjectTimeMusic = 1 << 2,
    kNeedTempo = 1 << 6,
    kNeedTimeSignature = 1 << 7,
    kNeedTransportState = 1 << 10
  };
  virtual uint32 getProcessContextRequirements() = 0;
};

}  // namespace vst3
