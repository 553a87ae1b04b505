#pragma once
// A minimal host wrapper and editor engine for tests: host services record what the base
// tells the host; the engine draws nowhere.

#include <atomic>
#include <thread>
#include <vector>

#include "framework/Framework.h"
#include "graphics/IControl.h"
#include "graphics/IGraphics.h"

// True when the calling thread holds m (another thread then cannot take it).
inline bool HeldByThisThread(UTL_Mutex* m) {
  if (!m->TryEnter()) return false;  // held by someone else
  m->Leave();
  bool otherGotIt = false;
  std::thread([&] {
    otherGotIt = m->TryEnter();
    if (otherGotIt) m->Leave();
  }).join();
  return !otherGotIt;
}

class BaseTestPlug : public IPluginBase {
 public:
  struct HostEvent {
    int mParamIdx;
    double mNormalized;
    int mHookCallsSoFar;
    bool mLocked;
  };

  explicit BaseTestPlug(int nParams = 3, const char* channelIO = "2-2", int nPresets = 4,
                        bool chunks = false, int uniqueID = FourCC("Qzvk"))
      : IPluginBase(nParams, channelIO, nPresets, "Test", "Product", "Maker", 0x20001, uniqueID,
                    FourCC("Mfr_"), 0, false, chunks, false, kAPIAU) {}
  explicit BaseTestPlug(const IPluginConfig& config) : IPluginBase(config, kAPIAU) {}

  void OnParamChange(int paramIdx) override {
    IPluginBase::OnParamChange(paramIdx);
    mHookCalls.push_back(paramIdx);
  }

  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int idx, double normalized) override {
    mHostEvents.push_back({idx, normalized, (int)mHookCalls.size(), HeldByThisThread(&mMutex)});
  }
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override { ++mProgramChanges; }
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return mTempo; }
  void GetTimeSig(int* num, int* denom) override { *num = *denom = 4; }
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg* msg) override {
    mSentMidi.push_back(*msg);
    return msg->mStatusByte != 0;
  }

  // Gives the parameters the effect's layout: -94..6 dB, step 0.01.
  void InitDecibelParams() {
    const char* names[] = {"Gain", "Mono", "Stereo"};
    const double shapes[] = {0.09, 0.19, 0.19};
    for (int i = 0; i < NParams() && i < 3; ++i) {
      GetParam(i)->InitDouble(names[i], 0.0, -94.0, 6.0, 0.01, "dB", "", 1.0);
      GetParam(i)->SetShape(shapes[i]);
    }
  }

  using IPluginBase::InData;
  using IPluginBase::OutData;

  std::vector<int> mHookCalls;
  std::vector<HostEvent> mHostEvents;
  std::vector<IMidiMsg> mSentMidi;
  int mProgramChanges = 0;
  double mTempo = 120.0;
};

class TestGraphics : public IGraphics {
 public:
  static inline int sDestroyed = 0;

  TestGraphics(IPluginBase* plug, int w = 16, int h = 16) : IGraphics(plug, w, h) {}
  ~TestGraphics() override { ++sDestroyed; }

  bool DrawScreen(IRECT*) override { return true; }
  void ForceEndUserEdit() override {}
  int ShowMessageBox(const char*, const char*, int) override { return 0; }
  IPopupMenu* CreateIPopupMenu(IPopupMenu*, IRECT*) override { return nullptr; }
  void CreateTextEntry(IControl*, IText*, IRECT*, const char*, IParam*) override {}
  void HostPath(UTL_String* p) override { p->Set(""); }
  void PluginPath(UTL_String* p) override { p->Set(""); }
  void DesktopPath(UTL_String* p) override { p->Set(""); }
  void AppSupportPath(UTL_String* p, bool) override { p->Set(""); }
  void SandboxSafeAppSupportPath(UTL_String* p) override { p->Set(""); }
  void PromptForFile(UTL_String*, EFileAction, UTL_String*, char*) override {}
  bool PromptForColor(IColor*, char*) override { return false; }
  bool OpenURL(const char*, const char*, const char*, const char*) override { return false; }
  void* OpenWindow(void*) override { return nullptr; }
  void CloseWindow() override {}
  void* GetWindow() override { return nullptr; }
  bool GetTextFromClipboard(UTL_String*) override { return false; }
  void UpdateTooltips() override {}
  RAS_IBitmap* OSLoadBitmap(int, const char*) override { return nullptr; }
};

// A control that remembers the values the engine pushed into it.
class ProbeControl : public IControl {
 public:
  ProbeControl(IPluginBase* plug, int paramIdx) : IControl(plug, IRECT(0, 0, 1, 1), paramIdx) {}
  bool Draw(IGraphics*) override { return false; }
  void SetValueFromPlug(double value) override {
    mPushed.push_back(value);
    IControl::SetValueFromPlug(value);
  }
  std::vector<double> mPushed;
};
