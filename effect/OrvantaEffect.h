#pragma once
// Orvanta: a stereo-image effect. Each stereo pair is split into mid (L + R) and side
// (L - R), each weighted by its own gain, recombined and scaled by an output gain.

#include <atomic>

#include "effect/OrvantaWrapper.h"

class IBitmapTextControl;
class IURLControl;

class Orvanta : public OrvantaWrapper {
 public:
  enum EParams { kGain = 0, kMono = 1, kStereo = 2, kNumParams = 3 };
  static constexpr int kNumPrograms = 4;
  // Readout texts are at most a few characters; this holds any of them.
  static constexpr int kReadoutSize = 32;

  explicit Orvanta(const IPluginInstanceInfo& instanceInfo);
  ~Orvanta() override = default;

  void Reset() override;
  void OnParamChange(int paramIdx) override;
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;
  void ProcessSingleReplacing(float** inputs, float** outputs, int nFrames) override;
  void OnMakeEditor() override { MakeEditor(); }

  // Shows a decibel value in a readout; a null readout (no editor) is skipped.
  void printString(double value, IBitmapTextControl* control);

  // The readout text of a decibel value.
  static void FormatReadout(double value, char* out);
  // 10^(dB / 20), or exactly 0 at and below -93 dB.
  static double GainFromDecibels(double dB);

  double GetMonoGain() const { return mMonoGain.load(std::memory_order_relaxed); }
  double GetStereoGain() const { return mStereoGain.load(std::memory_order_relaxed); }
  double GetGain() const { return mGain.load(std::memory_order_relaxed); }

 private:
  void InitParams();
  // Builds the editor and hands it to the base; defined with the layout.
  void MakeEditor();
  void MakeFactoryPresets();
  // The mid and side weights with the output gain folded in, from one reading of the gains.
  void Weights(double* pMid, double* pSide) const;

  // Written by the change hook, read whole by the processing: relaxed atomics, which are plain
  // 64-bit moves on x86-64.
  std::atomic<double> mMonoGain = 1.0;
  std::atomic<double> mStereoGain = 1.0;
  std::atomic<double> mGain = 0.5;

 protected:
  // Controls of the editor, which owns them; null while there is no editor.
  IBitmapTextControl* mMonoText = nullptr;
  IBitmapTextControl* mStereoText = nullptr;
  IBitmapTextControl* mGainText = nullptr;
  IURLControl* mLinkControl = nullptr;
};

// Creates an instance for the component entry, one at a time across the process.
OrvantaWrapper* MakePlug();
