#pragma once
// The object a VST3 host makes from the factory: component, audio processor and edit
// controller in one, as hosts that initialise each half of a single object expect (Ardour
// calls initialize and terminate twice on it; both are idempotent). It owns the plug-in,
// made by MakePlug() at the first initialize.
//
// Threads: everything but process() and setProcessing() comes on the host's main thread;
// process() on its audio thread, which shares no lock with the rest. Parameter values are
// the plug-in's own (atomic) values, so the controller and processor sides never disagree.

#include <atomic>

#include "framework/Framework.h"
#include "vst3/IPluginVST3.h"
#include "vst3/VST3Editing.h"
#include "vst3/VST3Processing.h"
#include "vst3/VST3View.h"

namespace vst3 {

// The two state pairs of the interfaces share names and signatures: each side renames its own.
class ComponentSide : public IComponent {
 public:
  tresult setState(IBStream* state) final { return setComponentStream(state); }
  tresult getState(IBStream* state) final { return getComponentStream(state); }
  virtual tresult setComponentStream(IBStream* state) = 0;
  virtual tresult getComponentStream(IBStream* state) = 0;
};

class ControllerSide : public IEditController {
 public:
  tresult setState(IBStream* state) final { return setControllerStream(state); }
  tresult getState(IBStream* state) final { return getControllerStream(state); }
  virtual tresult setControllerStream(IBStream* state) = 0;
  virtual tresult getControllerStream(IBStream* state) = 0;
};

class VST3Plugin final : public ComponentSide,
                         public IAudioProcessor,
                         public ControllerSide,
                         public IUnitInfo,
                         public IProcessContextRequirements {
 public:
  // Parameter ids after the plug-in's own (which are their indices): the host's bypass switch,
  // and the factory preset selector. Fixed, since hosts store ids in their projects.
  static constexpr uint32 kBypassId = 0x62797073;   // 'byps'
  static constexpr uint32 kProgramId = 0x70726F67;  // 'prog'
  static constexpr int32 kProgramListId = 1;
  // Points taken from one parameter's queue in one block; the last point is always kept.
  static constexpr int kMaxPointsPerParam = 64;

  VST3Plugin();
  VST3Plugin(const VST3Plugin&) = delete;
  VST3Plugin& operator=(const VST3Plugin&) = delete;

  IPluginVST3* Plug() const { return mPlug; }
  bool Bypassed() const { return mBypass.load(std::memory_order_relaxed); }

  // FUnknown
  tresult queryInterface(const char* iid, void** obj) override;
  uint32 addRef() override;
  uint32 release() override;
  // IPluginBase (both sides)
  tresult initialize(FUnknown* context) override;
  tresult terminate() override;
  // IComponent
  tresult getControllerClassId(char* classId) override;
  tresult setIoMode(int32 mode) override;
  int32 getBusCount(int32 type, int32 dir) override;
  tresult getBusInfo(int32 type, int32 dir, int32 index, BusInfo& bus) override;
  tresult getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) override;
  tresult activateBus(int32 type, int32 dir, int32 index, TBool state) override;
  tresult setActive(TBool state) override;
  tresult setComponentStream(IBStream* state) override;
  tresult getComponentStream(IBStream* state) override;
  // IAudioProcessor
  tresult setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                             int32 numOuts) override;
  tresult getBusArrangement(int32 dir, int32 index, SpeakerArrangement& arr) override;
  tresult canProcessSampleSize(int32 symbolicSampleSize) override;
  uint32 getLatencySamples() override;
  tresult setupProcessing(ProcessSetup& setup) override;
  tresult setProcessing(TBool state) override;
  tresult process(ProcessData& data) override;
  uint32 getTailSamples() override;
  // IEditController
  tresult setComponentState(IBStream* state) override;
  tresult setControllerStream(IBStream* state) override;
  tresult getControllerStream(IBStream* state) override;
  int32 getParameterCount() override;
  tresult getParameterInfo(int32 paramIndex, ParameterInfo& info) override;
  tresult getParamStringByValue(uint32 id, double valueNormalized, String128 string) override;
  tresult getParamValueByString(uint32 id, TChar* string, double& valueNormalized) override;
  double normalizedParamToPlain(uint32 id, double valueNormalized) override;
  double plainParamToNormalized(uint32 id, double plainValue) override;
  double getParamNormalized(uint32 id) override;
  tresult setParamNormalized(uint32 id, double value) override;
  tresult setComponentHandler(IComponentHandler* handler) override;
  IPlugView* createView(FIDString name) override;
  // IUnitInfo: one unit holding the factory presets as its program list.
  int32 getUnitCount() override { return 1; }
  tresult getUnitInfo(int32 unitIndex, UnitInfo& info) override;
  int32 getProgramListCount() override;
  tresult getProgramListInfo(int32 listIndex, ProgramListInfo& info) override;
  tresult getProgramName(int32 listId, int32 programIndex, String128 name) override;
  tresult getProgramInfo(int32, int32, const char*, String128) override { return kResultFalse; }
  tresult hasProgramPitchNames(int32, int32) override { return kResultFalse; }
  tresult getProgramPitchName(int32, int32, int16, String128) override { return kResultFalse; }
  int32 getSelectedUnit() override { return kRootUnitId; }
  tresult selectUnit(int32 unitId) override;
  tresult getUnitByBus(int32 type, int32 dir, int32 busIndex, int32 channel,
                       int32& unitId) override;
  tresult setUnitProgramData(int32, int32, IBStream*) override { return kNotImplemented; }
  // IProcessContextRequirements
  uint32 getProcessContextRequirements() override;

 private:
  ~VST3Plugin();
  int NPrograms() const;
  // The host's state, applied only when whole and ours.
  tresult LoadState(IBStream* state);
  // The plug-in's parameter for a host id; null for the two ids of our own and unknown ones.
  IParam* Param(uint32 id) const;
  // Queue points of the block as events in time order, the bypass switch's among them; the
  // switch then stands at its last point.
  int CollectEvents(IParameterChanges* changes, int nFrames);
  template <class T>
  tresult RenderBlock(ProcessData& data, int nEvents, bool bypassedAtStart);

  std::atomic<uint32> mRefs = 1;
  IPluginVST3* mPlug = nullptr;
  bool mInitialized = false;
  bool mSetUp = false;
  std::atomic<bool> mActive = false;
  std::atomic<bool> mBypass = false;
  ProcessSetup mSetup = {};
  IBlockRenderer* mRenderer = nullptr;
  UTL_TypedBuf<IParamEvent> mEvents;
};

}  // namespace vst3
