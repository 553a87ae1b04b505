#pragma once
// The Audio Unit wrapper: speaks the component protocol to the host and maps it onto the
// plug-in base. The effect derives from it; the exported entry forwards to IPluginAUEntry.

#include <AudioToolbox/AudioToolbox.h>
#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>
#include <CoreServices/CoreServices.h>

#include "framework/Framework.h"

class IPluginAU : public IPluginBase {
 public:
  // Most host channels one bus may carry; the input pull list has room for this many.
  static constexpr int kMaxBusChannels = 128;
  // Maximum frames per slice until the host sets its own.
  static constexpr int kDefaultBlockSize = 1024;
  // Largest slice a host may announce; keeps the scratch buffers within reason.
  static constexpr UInt32 kMaxFramesPerSlice = 1u << 20;
  // Scheduled parameter events one render takes; a host schedules a few per slice.
  static constexpr int kMaxScheduledEvents = 256;
  // A ramp is applied in steps of this many frames, its end value on its last frame.
  static constexpr int kRampStepFrames = 32;
  // Changes one render applies, ramp steps included; ramps take longer steps to fit.
  static constexpr int kMaxBlockEvents = 1024;

  IPluginAU(const IPluginInstanceInfo& instanceInfo, int nParams, const char* channelIOStr,
            int nPresets, const char* effectName, const char* productName, const char* mfrName,
            int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
            bool plugDoesChunks, bool plugIsInst, int plugScChans = 0);
  IPluginAU(const IPluginInstanceInfo& instanceInfo, const IPluginConfig& config);
  ~IPluginAU() override;

  // Thread tags: docs/ARCHITECTURE.md.
  // The component entry: one call per host operation, selector in params->what. [host]; it
  // takes the plug-in mutex for every selector but open and close.
  static ComponentResult IPluginAUEntry(ComponentParameters* params, void* pPlug);
  // The Carbon view component's entry (au/IPluginAUView.cpp); storage is its view record.
  static ComponentResult IPluginAUCarbonViewEntry(ComponentParameters* params, void* storage);

  // Fast-dispatch procedures handed to hosts through the FastDispatch property. The
  // parameter procedures are [host] and take the plug-in mutex; the render procedure is
  // [audio] and takes none.
  static ComponentResult GetParamProc(void* pPlug, AudioUnitParameterID paramID,
                                      AudioUnitScope scope, AudioUnitElement element,
                                      AudioUnitParameterValue* pValue);
  static ComponentResult SetParamProc(void* pPlug, AudioUnitParameterID paramID,
                                      AudioUnitScope scope, AudioUnitElement element,
                                      AudioUnitParameterValue value, UInt32 offsetFrames);
  static ComponentResult RenderProc(void* pPlug, AudioUnitRenderActionFlags* pFlags,
                                    const AudioTimeStamp* pTimestamp, UInt32 outputBusIdx,
                                    UInt32 nFrames, AudioBufferList* pBufferList);

  // Host services the base asks for, with the base's tags.
  void BeginInformHostOfParamChange(int idx) override;                     // [ui]
  void InformHostOfParamChange(int idx, double normalizedValue) override;  // [ui][locked]
  void EndInformHostOfParamChange(int idx) override;                       // [ui]
  void InformHostOfProgramChange() override;                               // [locked]
  bool IsRenderingOffline() override;                                      // [any]
  int GetSamplePos() override;                                             // [any]
  double GetTempo() override;                                              // [any]
  void GetTimeSig(int* pNum, int* pDenom) override;                        // [any]
  void GetTime(ITimeInfo* pTimeInfo) override;                             // [any]
  EHost GetHost() override;                                                // [host]
  void ResizeGraphics(int w, int h) override;                              // [ui]
  void HostSpecificInit() override;                                        // [host] at open
  void SetLatency(int samples) override;                                   // [locked]
  // Listeners of the tail time hear after the new value is stored.
  void SetTailSize(unsigned samples) override;  // [locked]
  bool SendMidiMsg(IMidiMsg* pMsg) override;    // [audio]
  void SetBlockSize(int blockSize) override;    // [locked]

  enum EAUInputType {
    eNotConnected = 0,
    eDirectFastProc = 1,
    eDirectNoFastProc = 2,
    eRenderCallback = 3
  };

  struct BusChannels {
    bool mIsConnected = false;
    int mHostChannelCount = -1;
    int mPlugChannelCount = 0;
    int mFirstPlugChannel = 0;
  };

  // How one input bus gets its audio; all zero means not connected.
  struct InputConnection {
    void* mUpstreamObject;
    AudioUnit mUpstreamUnit;
    int mUpstreamBus;
    AudioUnitRenderProc mUpstreamRenderProc;
    AURenderCallbackStruct mRenderCallback;
    EAUInputType mInputType;
  };

  struct PropertyListener {
    AudioUnitPropertyID mPropID;
    AudioUnitPropertyListenerProc mListenerProc;
    void* mProcArgs;
  };

 protected:
  ComponentResult GetProperty(AudioUnitPropertyID propID, AudioUnitScope scope,
                              AudioUnitElement element, UInt32* pDataSize, Boolean* pWriteable,
                              void* pData);
  ComponentResult SetProperty(AudioUnitPropertyID propID, AudioUnitScope scope,
                              AudioUnitElement element, UInt32* pDataSize, const void* pData);
  ComponentResult GetState(CFPropertyListRef* ppPropList);
  ComponentResult SetState(CFPropertyListRef pPropList);

  void InformListeners(AudioUnitPropertyID propID, AudioUnitScope scope);

  void AssessInputConnections();
  bool CheckLegalIO(AudioUnitScope scope, int busIdx, int nChannels);
  bool CheckLegalIO();
  int NHostChannelsConnected(UTL_PtrList<BusChannels>* pBuses, int excludeIdx = -1);

 private:
  static ComponentResult Dispatch(ComponentParameters* params, void* pPlug);
  // The handler of one selector of an open instance, called with the instance mutex held;
  // null for a selector the unit does not take.
  using SelectorHandler = ComponentResult (*)(IPluginAU&, const ComponentParameters*);
  static SelectorHandler FindSelectorHandler(int select);
  ComponentResult Initialize();
  void Uninitialize();
  // Tells the plug-in the sample rate and largest slice once initialised (PrepareToProcess):
  // at Initialize and when either changes afterwards.
  void PrepareIfInitialized();
  void ClearConnections();

  ComponentResult AddPropertyListener(AudioUnitPropertyID propID,
                                      AudioUnitPropertyListenerProc proc, void* userData);
  void RemovePropertyListener(AudioUnitPropertyID propID, AudioUnitPropertyListenerProc proc,
                              bool matchUserData, void* userData);
  ComponentResult AddRenderNotify(AURenderCallback proc, void* refCon);
  void RemoveRenderNotify(AURenderCallback proc);
  // Checks and queues events for the next render, which applies each on its frame.
  ComponentResult ScheduleParameters(const AudioUnitParameterEvent* pEvents, UInt32 nEvents);
  // [audio] The queued events as changes within a slice of nFrames, in frame order; their
  // count. Left queued while another thread holds the lock.
  int TakeScheduledEvents(int nFrames);
  // [audio] The slice through the plug-in, split where the scheduled changes land.
  void ProcessSlice(int nFrames);

  // Properties: one rule per id, looked up by GetProperty and SetProperty.
  struct PropertyCall {
    AudioUnitScope scope;
    AudioUnitElement element;
    UInt32* pDataSize;  // the host's buffer size in, the value's size out
    void* pData;        // null when the host asks only for size and writability
  };
  struct PropertyRule;
  static const PropertyRule* FindPropertyRule(AudioUnitPropertyID id);
  void SetHostIdentifier(const AUHostVersionIdentifier& host);

  // Property helpers, one per group of related ids.
  ComponentResult GetParamInfo(AudioUnitElement element, AudioUnitParameterInfo* pInfo);
  ComponentResult GetParamValueStrings(AudioUnitElement element, UInt32* pDataSize, void* pData);
  ComponentResult GetElementName(AudioUnitScope scope, AudioUnitElement element, void* pData);
  ComponentResult GetCocoaUI(AudioUnitCocoaViewInfo* pInfo);
  ComponentResult GetParamStringFromValue(AudioUnitParameterStringFromValue* pReq);
  ComponentResult GetParamIDName(AudioUnitParameterIDName* pReq);
  ComponentResult GetParamClumpName(AudioUnitParameterNameInfo* pReq);
  ComponentResult GetParamValueFromString(AudioUnitParameterValueFromString* pReq);
  ComponentResult GetFactoryPresets(CFArrayRef* pArray);
  int GetClumpID(const char* groupName);

  // Bus helpers.
  void MakeBuses(int plugScChans);
  BusChannels* GetBus(AudioUnitScope scope, AudioUnitElement element);
  ComponentResult GetStreamFormat(AudioUnitScope scope, AudioUnitElement element,
                                  AudioStreamBasicDescription* pASBD);
  ComponentResult SetStreamFormat(AudioUnitScope scope, AudioUnitElement element,
                                  const AudioStreamBasicDescription* pASBD);
  ComponentResult MakeConnection(AudioUnitScope scope, const AudioUnitConnection* pConnection);
  ComponentResult SetRenderCallback(AudioUnitScope scope, AudioUnitElement element,
                                    const AURenderCallbackStruct* pCallback);
  ComponentResult PullInputs(AudioUnitRenderActionFlags* pFlags, const AudioTimeStamp* pTimestamp,
                             UInt32 nFrames);

  void SendAUEvent(AudioUnitEventType type, ComponentInstance instance, int paramIdx);

  UTL_String mBundleID;
  UTL_String mViewFactoryClassName;
  char mParamDisplayText[32] = {};
  ComponentInstance mComponentInstance = nullptr;
  bool mInitialized = false;
  bool mRenderingOffline = false;
  double mLastPullSampleTime = -1.0;
  double mLastTempo = 120.0;
  HostCallbackInfo mHostCallbacks = {};
  UTL_TypedBuf<float> mInputScratch;
  UTL_TypedBuf<float> mOutputScratch;
  UTL_PtrList<AURenderCallbackStruct> mRenderNotifiers;
  UTL_PtrList<BusChannels> mInputBuses;
  UTL_PtrList<BusChannels> mOutputBuses;
  UTL_PtrList<InputConnection> mInputConnections;
  UTL_PtrList<PropertyListener> mListeners;
  // The host arrays of the current slice per plug-in channel, for pieces within it.
  UTL_TypedBuf<float*> mSliceIn;
  UTL_TypedBuf<float*> mSliceOut;
  // Scheduled events waiting for a render (written under the lock), and one render's
  // changes in frame order; sized at open so that rendering allocates nothing.
  struct TimedEvent {
    IParamEvent mEvent;
    int mOrder;  // among changes on the same frame, the order they were scheduled in
  };
  UTL_TypedBuf<AudioUnitParameterEvent> mScheduled;
  int mNScheduled = 0;
  UTL_TypedBuf<TimedEvent> mTimedEvents;
  UTL_TypedBuf<IParamEvent> mBlockEvents;
  IBlockRenderer mRenderer{this};
};

// The plug-in's factory: each plug-in built on this wrapper defines it.
IPluginAU* MakePlug();

// Trace name of an input type; "NotConnected" for anything outside 1..3.
const char* AUInputTypeStr(IPluginAU::EAUInputType type);

// The platform's canonical format: 32-bit float linear PCM, non-interleaved unless asked.
void MakeDefaultASBD(AudioStreamBasicDescription* pASBD, double sampleRate, int nChannels,
                     bool interleaved);
