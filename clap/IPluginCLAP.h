#pragma once
// The CLAP wrapper: one instance serves the host's audio thread (sample-accurate parameter
// events, the bypass parameter), its main thread (parameter queries, state through the
// host's streams) and the editor, which runs in the same instance on the main thread.
//
// Parameter i has the id i and the plug-in's own units and range (the values an Audio Unit
// host sees); the host's bypass switch is one more parameter, kBypassID.
//
// Thread tags (docs/ARCHITECTURE.md): [host] is the host's main thread, [audio] the audio
// thread, where process and (while active) flush run, never at once.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "clap/CLAPEventQueue.h"
#include "clap/CLAPInterface.h"
#include "framework/Framework.h"
#include "framework/IBlockRenderer.h"

class IPluginCLAP : public IPluginBase {
 public:
  // No interface number is assigned to CLAP; the API text of such a plug-in is empty.
  static constexpr EAPI kAPICLAP = static_cast<EAPI>(7);
  // Outside the range of parameter indices, and stable across versions that add parameters.
  static constexpr clap::clap_id kBypassID = 0x62797073;  // 'byps'
  // State larger than this is not this plug-in's: a load refuses it instead of reading on.
  static constexpr int64_t kMaxStateBytes = 1 << 24;
  // The renderer's scratch covers blocks up to this; longer host blocks go in pieces.
  static constexpr uint32_t kMaxPreparedFrames = 8192;
  // Value events one span holds; more in a block split it.
  static constexpr int kMaxSpanEvents = 256;

  IPluginCLAP(const IPluginInstanceInfo& instanceInfo, int nParams, const char* channelIOStr,
              int nPresets, const char* effectName, const char* productName, const char* mfrName,
              int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
              bool plugDoesChunks, bool plugIsInst, int plugScChans = 0);
  // The same, with the values named (framework/IPluginConfig.h).
  IPluginCLAP(const IPluginInstanceInfo& instanceInfo, const IPluginConfig& config);
  ~IPluginCLAP() override;

  // ---- Life cycle ----
  // [host] The host object of create_plugin; its extensions are looked up in Init.
  void AttachHost(const clap::clap_host_t* pHost) { mClapHost = pHost; }
  const clap::clap_host_t* Host() const { return mClapHost; }
  bool Init();                                                               // [host]
  bool Activate(double sampleRate, uint32_t minFrames, uint32_t maxFrames);  // [host]
  void Deactivate();                                                         // [host]
  bool IsActive() const { return mActive; }
  bool StartProcessing();                                                   // [audio]
  void StopProcessing();                                                    // [audio]
  void ResetProcessing();                                                   // [audio]
  clap::clap_process_status Process(const clap::clap_process_t* pProcess);  // [audio]

  // ---- Parameters (ids as above) ----
  uint32_t ParamCount() const { return (uint32_t)NParams() + 1; }                       // [host]
  bool GetParamInfo(uint32_t index, clap::clap_param_info_t* pInfo);                    // [host]
  bool GetParamValue(clap::clap_id id, double* pValue);                                 // [host]
  bool ParamValueToText(clap::clap_id id, double value, char* out, uint32_t capacity);  // [host]
  bool ParamTextToValue(clap::clap_id id, const char* text, double* pValue);            // [host]
  // Applies the host's queued changes and reports the editor's: [audio] while active, else
  // [host]. May run inside the host's request_flush, in the editor's own call.
  void Flush(const clap::clap_input_events_t* pIn, const clap::clap_output_events_t* pOut);
  bool IsBypassed() const { return mBypassed.load(std::memory_order_relaxed); }

  // ---- State: the framework's state chunk through the host's streams ----
  bool SaveState(const clap::clap_ostream_t* pStream);  // [host]
  // Refuses, changing nothing, a stream that fails, ends early or holds damaged data.
  bool LoadState(const clap::clap_istream_t* pStream);  // [host]

  // Whether the calling thread is the one the host calls the documented functions on; true
  // when the host cannot tell.
  bool OnMainThread() const;
  bool OnAudioThread() const;

  // ---- Host services the base asks for (the base's tags) ----
  void BeginInformHostOfParamChange(int idx) override;
  void InformHostOfParamChange(int idx, double normalizedValue) override;
  void EndInformHostOfParamChange(int idx) override;
  void InformHostOfProgramChange() override {}
  // [audio] From the host's transport of the block being processed, where it has one.
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
  // Applies the host's value events: on the renderer while active, directly otherwise.
  void ApplyInputEvents(const clap::clap_input_events_t* pIn);
  // One host block, in spans only where the event buffer fills.
  template <class T>
  void RenderBlock(const clap::clap_process_t* pProcess, T* const* in, T* const* out);
  // The block in one sample width; returns whether the input was silent.
  template <class T>
  bool RenderBuffers(const clap::clap_process_t* pProcess, const clap::clap_audio_buffer_t* pIn,
                     const clap::clap_audio_buffer_t* pOut);
  void ApplyNow(int idx, double value);
  void PushOutputEvents(const clap::clap_output_events_t* pOut);
  void QueueEditorEvent(CLAPOutEvent::EKind kind, int idx);

  const clap::clap_host_t* mClapHost = nullptr;
  const clap::clap_host_params_t* mHostParams = nullptr;
  const clap::clap_host_state_t* mHostState = nullptr;
  const clap::clap_host_thread_check_t* mThreadCheck = nullptr;
  IBlockRenderer mRenderer{this};
  // The transport of the block being processed; flags 0 without one.
  clap::clap_event_transport_t mTransport = {};
  // The host's value events of one span, in the renderer's form.
  std::array<IParamEvent, kMaxSpanEvents> mEvents;
  bool mActive = false;
  std::atomic<bool> mProcessing = false;
  std::atomic<bool> mBypassed = false;
  // The editor's changes on their way to the host, oldest first.
  CLAPEventQueue mOutEvents;
};

// The plug-in's factory: each plug-in built on this wrapper defines it.
IPluginCLAP* MakePlug();
