#pragma once
// Balance: turns a stereo signal towards the left or the right. At 0 % both channels pass
// unchanged; towards +100 % the left channel fades to silence, towards -100 % the right one.

#include <atomic>

// The recipe compiles this file once per format: on the Audio Unit wrapper for the component
// bundle, and with ORVANTA_LV2 or ORVANTA_VST3 defined on that format's wrapper.
#if defined(ORVANTA_VST3)
#include "vst3/IPluginVST3.h"
using BalanceWrapper = IPluginVST3;
#elif defined(ORVANTA_LV2)
#include "lv2/IPluginLV2.h"
using BalanceWrapper = IPluginLV2;
#else
#include "au/AU.h"
using BalanceWrapper = IPluginAU;
#endif

class Balance : public BalanceWrapper {
 public:
  enum EParams { kBalance = 0, kNumParams };
  enum EPresets { kCentre = 0, kNumPresets };
  static constexpr int kEditorWidth = 160;
  static constexpr int kEditorHeight = 120;

  explicit Balance(const IPluginInstanceInfo& instanceInfo);

  // Called with the new value of a parameter; computes the channel gains from it.
  void OnParamChange(int paramIdx) override;
  // The audio: one block of each channel, inputs[c][0..nFrames) to outputs[c][0..nFrames).
  // Runs on the host's audio thread, so it only reads the gains: no allocation, no lock.
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;

  // The gains of the left and right channel at a balance in percent.
  static double LeftGain(double percent) { return percent > 0.0 ? 1.0 - percent / 100.0 : 1.0; }
  static double RightGain(double percent) { return percent < 0.0 ? 1.0 + percent / 100.0 : 1.0; }

 private:
  void MakeEditor();

  // Written when the parameter changes, read by the audio thread.
  std::atomic<double> mLeftGain = 1.0;
  std::atomic<double> mRightGain = 1.0;
};

// The factory both formats' entries call.
BalanceWrapper* MakePlug();
