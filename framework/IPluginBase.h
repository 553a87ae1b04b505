#pragma once
// Host-independent core of every plug-in: parameters, presets, identity, the audio
// channel configuration and buffers, the attached editor and one recursive lock.
// A host wrapper derives from it and supplies the host services (pure virtual here);
// the effect derives from the wrapper and overrides the processing hooks.
//
// Every hook carries a thread tag, defined in docs/ARCHITECTURE.md (Threads and locks):
// [audio] no allocation, no waiting; [any] any thread, no lock, no allocation;
// [locked] plug-in mutex held; [host] a host thread outside render; [ui] the editor's thread.

#include <atomic>
#include <initializer_list>
#include <memory>

#include "framework/ByteChunk.h"
#include "framework/Hosts.h"
#include "framework/IMidiMsg.h"
#include "framework/IParam.h"
#include "framework/IPluginConfig.h"
#include "framework/IPluginStructs.h"
#include "framework/IPreset.h"
#include "framework/UTL_Mutex.h"
#include "framework/UTL_PtrList.h"
#include "framework/UTL_String.h"
#include "framework/UTL_TypedBuf.h"

class IGraphics;
class NChanDelayLine;

class IPluginBase {
 public:
  // Capacity of the effect, product and manufacturer names, terminator included;
  // longer names are cut.
  static constexpr int kMaxEffectNameLength = 128;
  // Size of the program name field of preset files; names are cut to one byte less.
  static constexpr int kFXPNameSize = 28;

  // One legal (inputs, outputs) configuration.
  struct ChannelIO {
    int mIn;
    int mOut;
    ChannelIO(int nIn, int nOut) : mIn(nIn), mOut(nOut) {}
  };

  struct InChannel {
    bool mConnected = false;
    double** mSrc = nullptr;  // this channel's slot of mInData
    UTL_TypedBuf<double> mScratchBuf;
    UTL_String mLabel;
    float** mFloatSrc = nullptr;        // its slot of mFloatInData
    UTL_TypedBuf<float> mFloatScratch;  // silence for single-precision processing
  };

  struct OutChannel {
    bool mConnected = false;
    double** mDest = nullptr;  // this channel's slot of mOutData
    float* mFDest = nullptr;   // the host's 32-bit array, when it works in 32 bits
    UTL_TypedBuf<double> mScratchBuf;
    UTL_String mLabel;
    float** mFloatDest = nullptr;       // its slot of mFloatOutData
    UTL_TypedBuf<float> mFloatScratch;  // output dropped, or awaiting accumulation
  };

  IPluginBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
              const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
              int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst,
              EAPI plugAPI);
  // The same, with the values named (framework/IPluginConfig.h).
  IPluginBase(const IPluginConfig& config, EAPI plugAPI);
  IPluginBase(const IPluginBase&) = delete;
  IPluginBase& operator=(const IPluginBase&) = delete;

  // ---- Virtual operations, in slot order ----
  virtual ~IPluginBase();  // [host] at close

  // [locked]
  virtual void Reset();
  // [audio] A parameter's value changed (read it with GetParam). Wrappers that apply host
  // changes while processing (LV2, VST3, CLAP, the Audio Unit's scheduled changes) call it on
  // the audio thread, others on a host or editor thread; always with the mutex held (the audio
  // thread only tries it), so it must not allocate or wait.
  virtual void OnParamChange(int paramIdx);
  // [audio]
  virtual void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames);
  virtual void ProcessSingleReplacing(float** inputs, float** outputs, int nFrames);
  // [ui]
  virtual void OnGUIOpen() {}
  virtual void OnGUIClose() {}
  virtual void OnIdle() {}
  // [locked]
  virtual void OnActivate(bool active);
  virtual void ProcessMidiMsg(IMidiMsg* pMsg);
  virtual void ProcessSysEx(ISysEx* /*pSysEx*/) {}
  virtual bool MidiNoteName(int noteNumber, char* out);
  virtual bool SerializeState(ByteChunk* pChunk) { return SerializeParams(pChunk); }
  virtual int UnserializeState(ByteChunk* pChunk, int startPos) {
    return UnserializeParams(pChunk, startPos);
  }
  // startPos counts 64-bit values; values compare at 32-bit precision.
  virtual bool CompareState(const unsigned char* data, int startPos);
  // [ui]
  virtual void OnWindowResize() {}
  virtual bool HostRequestingAboutBox() { return false; }
  // [host]
  virtual void OnHostIdentified() {}
  // [ui]; SetParameterFromGUI takes the plug-in mutex itself.
  virtual void PopupHostContextMenuForParam(int /*paramIdx*/, int /*x*/, int /*y*/) {}
  virtual void SetParameterFromGUI(int paramIdx, double normalizedValue);
  virtual void BeginInformHostOfParamChange(int paramIdx) = 0;
  virtual void InformHostOfParamChange(int paramIdx, double normalizedValue) = 0;  // [ui][locked]
  virtual void EndInformHostOfParamChange(int paramIdx) = 0;
  virtual void InformHostOfProgramChange() = 0;  // [locked]
  // [any]: meant for the audio thread during rendering.
  virtual bool IsRenderingOffline() { return false; }
  virtual int GetSamplePos() = 0;
  virtual double GetTempo() = 0;
  virtual void GetTimeSig(int* pNumerator, int* pDenominator) = 0;
  virtual void GetTime(ITimeInfo* pTimeInfo) = 0;
  virtual EHost GetHost() { return mHost; }       // [host]: identifying the host may allocate
  virtual EAPI GetAPI() { return mAPI; }          // [any]
  virtual void ResizeGraphics(int w, int h) = 0;  // [ui]
  virtual void HostSpecificInit() {}              // [host] at open
  // [host] while the effect is built. Takes ownership of the editor; null does nothing.
  virtual void AttachGraphics(IGraphics* pGraphics);
  virtual void SetLatency(int samples) { mLatency = samples; }  // [locked]
  // [audio]
  virtual bool SendMidiMsg(IMidiMsg* pMsg) = 0;
  virtual bool SendSysEx(ISysEx* /*pSysEx*/) { return false; }
  // [locked]
  virtual void RedrawParamControls();
  virtual void DirtyPTCompareState() {}
  virtual void PresetsChangedByHost() {}
  virtual void SetBlockSize(int blockSize);
  // [host] The sample rate and the largest block processing will see, before processing
  // starts and whenever either changes; called by PrepareToProcess with the mutex held.
  virtual void OnPrepare(double /*sampleRate*/, int /*maxBlockFrames*/) {}
  // [host] Builds the editor and hands it to AttachGraphics; MakeEditorOnce calls it, with the
  // mutex held, when a host first asks for a view. A plug-in without an editor leaves it empty.
  virtual void OnMakeEditor() {}

  // ---- Parameters ----
  int NParams() const { return mParams.GetSize(); }
  // Null for an index outside the list.
  IParam* GetParam(int idx) const { return mParams.Get(idx); }
  // Runs OnParamChange for every parameter; takes no lock of its own.
  void OnParamReset();
  // [audio] Notes a change applied while processing, for the editor to show on its own
  // thread: ShowProcessingChanges ([ui], mutex held) moves its controls. Neither allocates.
  void NoteProcessingChange(int paramIdx);
  void ShowProcessingChanges();
  // Tells the host every parameter's normalised value, under the lock.
  void DirtyParameters();
  int NParamGroups() const { return mParamGroups.GetSize(); }
  // Group names are 1-based in host queries; this takes the 0-based list index.
  const char* GetParamGroupName(int idx) const;
  UTL_Mutex* GetMutex() { return &mMutex; }

  // ---- Identity ----
  int GetEffectVersion(bool decimal) const;
  // out must hold kVersionStrSize bytes.
  void GetEffectVersionStr(char* out) const;
  // Asks GetHost() first so the wrapper can identify the host on first use.
  int GetHostVersion(bool decimal);
  void GetHostVersionStr(char* out);
  // Stores the host found by LookUpHost(name); returns whether it was recognised.
  bool SetHost(const char* name, int version);
  const char* GetEffectName() const { return mEffectName; }
  const char* GetMfrName() const { return mMfrName; }
  const char* GetProductName() const { return mProductName; }
  int GetUniqueID() const { return mUniqueID; }
  int GetMfrID() const { return mMfrID; }
  bool IsInst() const { return mIsInst; }
  bool DoesMIDI() const { return mDoesMIDI; }
  bool DoesStateChunks() const { return mStateChunks; }
  bool IsBypassed() const { return mIsBypassed; }
  // Whether 32-bit host buffers go to ProcessSingleReplacing, in place, instead of being
  // converted for ProcessDoubleReplacing.
  bool DoesSingleReplacing() const { return mDoesSingleReplacing; }
  const char* GetAPIString() const;
  const char* GetArchString() const { return "x64"; }
  // The editor, or null while none is built.
  IGraphics* GetGUI() const { return mGraphics; }
  // [host] The editor, built by OnMakeEditor on the first call, so that instances hosts make
  // while scanning or loading sessions carry none; null for a plug-in without one. An editor
  // the constructor attached itself is kept.
  IGraphics* MakeEditorOnce();

  // ---- Timing ----
  // [host] Wrappers call this before processing starts and whenever the sample rate or the
  // largest block changes: stores both (SetSampleRate, SetBlockSize) and runs OnPrepare.
  void PrepareToProcess(double sampleRate, int maxBlockFrames);
  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }
  double GetSampleRate() const { return mSampleRate; }
  int GetBlockSize() const { return mBlockSize; }
  int GetLatency() const { return mLatency; }
  unsigned GetTailSize() const { return mTailSize; }
  // sample rate * 60 / tempo, or 0 without a positive tempo.
  double GetSamplesPerBeat();

  // ---- MIDI ----
  // Sends every message in order; true only if every send succeeded.
  bool SendMidiMsgs(UTL_TypedBuf<IMidiMsg>* pMsgs);

  // ---- Audio channels and buffers ----
  int NInChannels() const { return mInChannels.GetSize(); }
  int NOutChannels() const { return mOutChannels.GetSize(); }
  int NChannelIO() const { return mChannelIO.GetSize(); }
  // false for an index outside the list.
  bool GetChannelIO(int idx, int* pNIn, int* pNOut) const;
  // A negative count matches any configuration.
  bool LegalIO(int nIn, int nOut) const;
  void LimitToStereoIO();
  bool IsInChannelConnected(int chIdx) const;
  bool IsOutChannelConnected(int chIdx) const;
  void SetInputChannelConnections(int idx, int n, bool connected);
  void SetOutputChannelConnections(int idx, int n, bool connected);
  void SetInputLabel(int idx, const char* label);
  void SetOutputLabel(int idx, const char* label);
  const char* GetInputLabel(int idx) const;
  const char* GetOutputLabel(int idx) const;
  // Only buses 0 and 1 take an input label.
  void SetInputBusLabel(int idx, const char* label);
  void SetOutputBusLabel(int idx, const char* label);
  int NInputBusLabels() const { return mInputBusLabels.GetSize(); }
  int NOutputBusLabels() const { return mOutputBusLabels.GetSize(); }
  // Null for an index outside the list.
  const char* GetInputBusLabel(int idx) const;
  const char* GetOutputBusLabel(int idx) const;

  // Host arrays for channels idx .. idx + n - 1; each connected channel takes the next array.
  void AttachInputBuffers(int idx, int n, double** ppData, int nFrames);
  void AttachInputBuffers(int idx, int n, float** ppData, int nFrames);
  void AttachOutputBuffers(int idx, int n, double** ppData);
  void AttachOutputBuffers(int idx, int n, float** ppData);
  // One block. The first argument selects the sample width only. Where scratch memory
  // stands in for a channel, at most the block size of frames is processed. A plug-in that
  // does single replacing works on the host's 32-bit arrays themselves.
  void ProcessBuffers(double sampleType, int nFrames);
  void ProcessBuffers(float sampleType, int nFrames);
  void ProcessBuffersAccumulating(float sampleType, int nFrames);
  void PassThroughBuffers(double sampleType, int nFrames);
  void PassThroughBuffers(float sampleType, int nFrames);
  void ZeroScratchBuffers();

  // ---- Presets ----
  int NPresets() const { return mPresets.GetSize(); }
  int GetCurrentPresetIdx() const { return mCurrentPresetIdx; }
  // "" for an index outside the list.
  const char* GetPresetName(int idx) const;
  // Null for an index outside the list.
  IPreset* GetPreset(int idx) const { return mPresets.Get(idx); }
  // One value per parameter: int for bool/int/enum parameters, double otherwise.
  void MakePreset(const char* name, ...);
  // nParamsNamed pairs of (parameter index, value); unnamed parameters keep their value.
  void MakePresetFromNamedParams(const char* name, int nParamsNamed, ...);
  // The typed forms of the two above: every value is a double, whatever the parameter's type,
  // so an int literal reads as the number it is, and a conversion that could change a value
  // does not compile:
  //   MakePreset("Wide", {150.0, 1});
  //   MakePresetFromNamedParams("Flipped", {{kPolarity, 1}});
  // Values in parameter order; parameters the list does not reach keep their current value,
  // values beyond the last parameter are ignored. Stored as given, not clamped.
  void MakePreset(const char* name, std::initializer_list<double> values);
  struct NamedValue {
    int mParamIdx;
    double mValue;
  };
  // Unnamed parameters keep their value; an index outside the list is ignored, and of two
  // values for one parameter the later holds.
  void MakePresetFromNamedParams(const char* name, std::initializer_list<NamedValue> values);
  void MakePresetFromChunk(const char* name, ByteChunk* pChunk);
  // Decodes Base64 into exactly sizeOfChunk bytes (zero-filled where the text is short).
  void MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk);
  // Fills up to nPresets unused slots with the current state; null name gives "Empty".
  void MakeDefaultPreset(const char* name = nullptr, int nPresets = 1);
  void EnsureDefaultPreset();
  void PruneUninitializedPresets();
  bool RestorePreset(int idx);
  bool RestorePreset(const char* name);
  void ModifyCurrentPreset(const char* name = nullptr);

  // ---- State chunks ----
  // [host] The state hosts store in every format: the state chunk (SerializeState's bytes, what
  // an Audio Unit's ClassInfo holds under "data"). Appended to pChunk; takes the plug-in mutex.
  bool SaveStateChunk(ByteChunk* pChunk);
  // [host] Restores a state chunk, also one from an older or newer version of the same
  // plug-in: the values it holds are restored (clamped to today's ranges) and any parameter it
  // lacks goes to its default. A damaged chunk (a parameter chunk of a size that is no whole
  // number of values, or holding a value that is not a number; one SerializeState's own
  // override cannot read) is refused and changes nothing. Takes the plug-in mutex, runs the
  // change hooks and moves the editor's controls.
  bool LoadStateChunk(ByteChunk* pChunk);
  bool SerializeParams(ByteChunk* pChunk);
  int UnserializeParams(ByteChunk* pChunk, int startPos);
  bool SerializePresets(ByteChunk* pChunk);
  int UnserializePresets(ByteChunk* pChunk, int startPos);
  static void InitChunkWithFrameworkVer(ByteChunk* pChunk);
  static int GetFrameworkVerFromChunk(ByteChunk* pChunk, int* pPos);

  // ---- Preset files and text dumps; false for an empty path or a failed file ----
  // Why a program or bank file was refused: it cannot be read, it is not this plug-in's (or
  // not such a file at all), it ends before what its header promises, or its header is wrong.
  enum class PresetFileFault { kNone, kUnreadable, kForeign, kTruncated, kMalformed };
  bool SaveProgramAsFXP(UTL_String* pPath);
  bool SaveBankAsFXB(UTL_String* pPath);
  bool LoadProgramFromFXP(UTL_String* pPath, PresetFileFault* pFault = nullptr);
  bool LoadBankFromFXB(UTL_String* pPath, PresetFileFault* pFault = nullptr);
  bool DumpPresetSrcCode(const char* path, const char** paramEnumNames);
  bool DumpPresetBlob(const char* path);
  bool DumpBankBlob(const char* path);

 protected:
  // The 64-bit slot arrays the processor receives.
  double** InData() const { return mInData.Get(); }
  double** OutData() const { return mOutData.Get(); }
  // The 32-bit slot arrays of single-precision processing.
  float** FloatInData() const { return mFloatInData.Get(); }
  float** FloatOutData() const { return mFloatOutData.Get(); }
  // A plug-in that implements ProcessSingleReplacing turns this on in its constructor.
  void SetDoesSingleReplacing(bool does) { mDoesSingleReplacing = does; }

  UTL_PtrList<ChannelIO> mChannelIO;
  UTL_Mutex mMutex;
  char mEffectName[kMaxEffectNameLength];
  char mProductName[kMaxEffectNameLength];
  char mMfrName[kMaxEffectNameLength];
  int mUniqueID;
  int mMfrID;
  int mVersion;
  EAPI mAPI;
  EHost mHost = kHostUninit;
  int mHostVersion = 0;
  bool mStateChunks;
  bool mIsInst;
  bool mDoesMIDI;
  bool mIsBypassed = false;
  int mCurrentPresetIdx = 0;
  double mSampleRate = 44100.0;
  int mBlockSize = 0;
  int mLatency;
  unsigned mTailSize = 0;
  NChanDelayLine* mDelay = nullptr;  // never created in this system
  UTL_PtrList<UTL_String> mParamGroups;
  IGraphics* mGraphics = nullptr;
  bool mEditorMade = false;
  UTL_PtrList<IParam> mParams;
  UTL_PtrList<IPreset> mPresets;
  UTL_TypedBuf<double*> mInData;
  UTL_TypedBuf<double*> mOutData;
  UTL_PtrList<InChannel> mInChannels;
  UTL_PtrList<OutChannel> mOutChannels;
  UTL_PtrList<UTL_String> mInputBusLabels;
  UTL_PtrList<UTL_String> mOutputBusLabels;
  bool mDoesSingleReplacing = false;
  UTL_TypedBuf<float*> mFloatInData;
  UTL_TypedBuf<float*> mFloatOutData;

 private:
  // Parameters changed while processing that the editor has yet to show.
  std::unique_ptr<std::atomic<bool>[]> mProcessingChanges;
  std::atomic<bool> mAnyProcessingChange = false;

  void ParseChannelIO(const char* channelIOStr);
  void ConvertOutputs(int nFrames, bool accumulate);
  // nFrames cut to what every channel's memory can take (0 while a slot is unset).
  int SafeFrames(int nFrames) const;
  int SafeFloatFrames(int nFrames) const;
  void AccumulateSingle(int nFrames);
  bool ReadFileIntoChunk(UTL_String* pPath, ByteChunk* pChunk);
  bool WriteChunkToFile(UTL_String* pPath, ByteChunk* pChunk);
  void PutProgramHeader(ByteChunk* pChunk, int magic, int byteSize, const char* name);
};
