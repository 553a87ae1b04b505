#pragma once
// The VST3 wrapper: the plug-in base with the host services a VST3 host gives. The effect
// derives from it; one instance is the whole plug-in a host sees (component, controller and
// editor in one object, VST3Plugin), which hands it the host's handler and transport.
//
// Thread tags (docs/ARCHITECTURE.md): set-up, state and the controller's calls are [host],
// processing [audio], the view and the edits it reports [ui].

#include <atomic>

#include "framework/Framework.h"
#include "vst3/VST3Editing.h"
#include "vst3/VST3Processing.h"

class IPluginVST3 : public IPluginBase {
 public:
  IPluginVST3(const IPluginInstanceInfo& instanceInfo, int nParams, const char* channelIOStr,
              int nPresets, const char* effectName, const char* productName, const char* mfrName,
              int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
              bool plugDoesChunks, bool plugIsInst, int plugScChans = 0);
  IPluginVST3(const IPluginInstanceInfo& instanceInfo, const IPluginConfig& config);
  ~IPluginVST3() override;

  const char* GetBundleID() const { return mBundleID.Get(); }

  // Where the editor's edits go (null: nowhere); keeps a reference.
  void SetComponentHandler(vst3::IComponentHandler* pHandler);  // [host]
  vst3::IComponentHandler* GetComponentHandler() const { return mHandler; }
  // The host's name, from its application interface.
  void SetHostName(const char* name);  // [host]
  // The transport of the block being processed (null: none) and the processing mode.
  void SetProcessContext(const vst3::ProcessContext* pContext, bool offline);  // [audio]
  // Where a resize of the editor is asked for; null while no view is attached.
  using ResizeFunction = bool (*)(void* context, int w, int h);
  void SetResizeFunction(ResizeFunction resize, void* context);  // [ui]

  // ---- Host services the base asks for (the base's tags) ----
  void BeginInformHostOfParamChange(int idx) override;
  void InformHostOfParamChange(int idx, double normalizedValue) override;
  void EndInformHostOfParamChange(int idx) override;
  void InformHostOfProgramChange() override {}
  bool IsRenderingOffline() override { return mOffline.load(std::memory_order_relaxed); }
  int GetSamplePos() override;
  double GetTempo() override;
  void GetTimeSig(int* pNum, int* pDenom) override;
  void GetTime(ITimeInfo* pTimeInfo) override;
  EHost GetHost() override;
  void ResizeGraphics(int w, int h) override;
  bool SendMidiMsg(IMidiMsg* /*pMsg*/) override { return false; }
  // Only stored, as in the LV2 wrapper: the block renderer keeps this wrapper's scratch, and the
  // base's channel scratch would be memory made and cleared for nothing in every instance.
  void SetBlockSize(int blockSize) override { mBlockSize = blockSize; }  // [locked]

 private:
  UTL_String mBundleID;
  vst3::IComponentHandler* mHandler = nullptr;
  // A copy of the block's transport, written and read on the audio thread only.
  vst3::ProcessContext mContext = {};
  bool mHaveContext = false;
  std::atomic<bool> mOffline = false;
  ResizeFunction mResize = nullptr;
  void* mResizeContext = nullptr;
};

// The plug-in's factory: each plug-in built on this wrapper defines it.
IPluginVST3* MakePlug();
