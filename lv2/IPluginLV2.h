#pragma once
// The LV2 wrapper: maps LV2's port model onto the plug-in base. The effect derives from it
// and is built twice in an LV2 bundle: once as the audio instance (ports, run, state) and
// once inside the editor library, where the same object is the editor's model and talks to
// the audio instance only through the host's port protocol.
//
// Port layout: control port i is parameter i (value in real units), then one audio port per
// input channel, then one per output channel, then the bypass switch, then, for a plug-in that
// reports latency (ReportsLatency), the output port the latency is written to.
//
// Thread tags (docs/ARCHITECTURE.md) follow LV2's threading classes: instantiation and state
// are [host], run and connect_port [audio], the editor side [ui].

#include <cstdint>

#include "framework/Framework.h"

class IPluginLV2 : public IPluginBase {
 public:
  // The largest block the plug-in is prepared for; longer runs are processed in pieces of
  // this size, since LV2 sets no upper bound on the frames of one run call.
  static constexpr int kSliceFrames = 4096;
  // No interface number is assigned to LV2; the API text of such a plug-in is empty.
  static constexpr EAPI kAPILV2 = static_cast<EAPI>(6);

  // Called by the editor side to send a port value to the host (LV2UI_Write_Function with
  // the float protocol), and to bracket a gesture (LV2UI_Touch).
  using WriteFunction = void (*)(void* controller, uint32_t port, uint32_t size, uint32_t format,
                                 const void* buffer);
  using TouchFunction = void (*)(void* handle, uint32_t port, bool grabbed);
  using ResizeFunction = int (*)(void* handle, int w, int h);

  IPluginLV2(const IPluginInstanceInfo& instanceInfo, int nParams, const char* channelIOStr,
             int nPresets, const char* effectName, const char* productName, const char* mfrName,
             int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
             bool plugDoesChunks, bool plugIsInst, int plugScChans = 0);
  IPluginLV2(const IPluginInstanceInfo& instanceInfo, const IPluginConfig& config);
  ~IPluginLV2() override;

  const char* GetBundleID() const { return mBundleID.Get(); }

  // ---- Port layout ----
  int NPorts() const { return EnabledPort() + (ReportsLatency() ? 2 : 1); }
  int EnabledPort() const { return NParams() + NInChannels() + NOutChannels(); }
  // Only when ReportsLatency().
  int LatencyPort() const { return EnabledPort() + 1; }
  int AudioInPort(int ch) const { return NParams() + ch; }
  int AudioOutPort(int ch) const { return NParams() + NInChannels() + ch; }

  // ---- Audio instance ----
  // Prepares the instance for a sample rate (the block renderer, PrepareToProcess) and runs
  // the change hooks (here, so that later changes on the audio thread replace texts without
  // allocating).
  void InitAudio(double sampleRate);  // [host]
  // Ports outside the layout are ignored.
  void ConnectPort(uint32_t port, void* data);  // [audio]
  void Activate();                              // [host]
  void Deactivate();                            // [host]
  // One block through the block renderer: control values that changed since the last block
  // are events at its start, and the switch designated lv2:enabled (above 0 processes, 0 or
  // less bypasses; unconnected or NaN processes) is the renderer's bypass. Outputs are written
  // only when every audio port is connected. The latency port gets the latency of the moment.
  void Run(uint32_t nFrames);  // [audio]
  // The state chunk and its restoration (SaveStateChunk, LoadStateChunk: a chunk of an older
  // or newer version restores what it holds, a damaged one is refused and changes nothing).
  // After a restore the restored values hold until the host moves a control port; a port
  // moved after the restore applies.
  bool SaveState(ByteChunk* pChunk);     // [host]
  bool RestoreState(ByteChunk* pChunk);  // [host]

  // ---- Editor side ----
  // Where the editor's changes go. Any function may be null.
  // [ui]
  void SetUIHost(WriteFunction write, void* controller, TouchFunction touch, void* touchHandle,
                 ResizeFunction resize, void* resizeHandle);
  // A value from the host for a port (float protocol only): stored, shown by the editor
  // without echoing it back, and passed to the change hook. A value equal to the current one
  // (the host echoing the editor's own change) is skipped.
  void PortEvent(uint32_t port, uint32_t bufferSize, uint32_t format,
                 const void* buffer);  // [ui]

  // ---- Host services the base asks for (the base's tags) ----
  void BeginInformHostOfParamChange(int idx) override;
  void InformHostOfParamChange(int idx, double normalizedValue) override;
  void EndInformHostOfParamChange(int idx) override;
  void InformHostOfProgramChange() override {}
  int GetSamplePos() override { return (int)mRenderer.SamplePos(); }
  // LV2 hosts send transport only to plug-ins with a time port; this one has none.
  double GetTempo() override { return ITimeInfo().mBeatsPerMinute; }
  void GetTimeSig(int* /*pNum*/, int* /*pDenom*/) override {}
  void GetTime(ITimeInfo* pTimeInfo) override;
  // Identifies the host by the process name on first use.
  EHost GetHost() override;
  void ResizeGraphics(int w, int h) override;
  bool SendMidiMsg(IMidiMsg* /*pMsg*/) override { return false; }
  // Only stored: the block renderer keeps this wrapper's scratch memory, so the base's channel
  // scratch, which only the base's own buffer processing uses, would be memory made and
  // cleared for nothing every time a host makes an instance.
  void SetBlockSize(int blockSize) override { mBlockSize = blockSize; }  // [locked]

 private:
  // The control ports that moved since the last run, as events at frame 0; their count.
  int CollectControlEvents();
  bool AllAudioPortsConnected() const;

  UTL_String mBundleID;
  UTL_TypedBuf<float*> mControlPorts;
  // What each control port held when last looked at; NaN until the first run, kTakeAsSeen
  // for a port whose next value is taken without applying it.
  UTL_TypedBuf<float> mLastControls;
  static constexpr uint32_t kTakeAsSeen = 0x7fc0'5eedu;  // a NaN no port comparison makes
  UTL_TypedBuf<IParamEvent> mEvents;  // one per parameter, so a run allocates nothing
  UTL_TypedBuf<float*> mAudioIn;
  UTL_TypedBuf<float*> mAudioOut;
  float* mEnabledPort = nullptr;
  float* mLatencyPort = nullptr;
  // Whether every audio port has an array, decided when ports are connected, not every run.
  bool mAudioConnected = false;
  IBlockRenderer mRenderer{this, IBlockRenderer::ESamples::kFloat};

  WriteFunction mWrite = nullptr;
  void* mController = nullptr;
  TouchFunction mTouch = nullptr;
  void* mTouchHandle = nullptr;
  ResizeFunction mResize = nullptr;
  void* mResizeHandle = nullptr;
};

// The plug-in's factory: each plug-in built on this wrapper defines it.
IPluginLV2* MakePlug();
