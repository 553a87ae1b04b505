#pragma once
// Balance: turns a stereo signal towards the left or the right. At 0 % both channels pass
// unchanged; towards +100 % the left channel fades to silence, towards -100 % the right one.

#include <atomic>

// The recipe compiles this plug-in once per format; IPluginWrapper is that format's wrapper.
#include "plugin/Plugin.h"

class Balance : public IPluginWrapper {
 public:
  enum EParams { kBalance = 0, kNumParams };
  enum EPresets { kCentre = 0, kNumPresets };
  static constexpr int kEditorWidth = 160;
  static constexpr int kEditorHeight = 120;

  explicit Balance(const IPluginInstanceInfo& instanceInfo);

  // Called with the new value of a parameter; computes the channel gains from it. May run on
  // the audio thread: no allocation, no waiting.
  void OnParamChange(int paramIdx) override;
  // Called before processing starts with the sample rate: sets the gains' glide time.
  void OnPrepare(double sampleRate, int maxBlockFrames) override;
  // Processing (re)starts: the first block stands at the gains instead of gliding to them.
  void OnActivate(bool active) override;
  void Reset() override;
  // The audio: one block of each channel, inputs[c][0..nFrames) to outputs[c][0..nFrames).
  // Runs on the host's audio thread, so it only reads the gains: no allocation, no lock.
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;
  // The editor, built when a host first asks for one.
  void OnMakeEditor() override;

  // The gains of the left and right channel at a balance in percent.
  static double LeftGain(double percent) { return percent > 0.0 ? 1.0 - percent / 100.0 : 1.0; }
  static double RightGain(double percent) { return percent < 0.0 ? 1.0 + percent / 100.0 : 1.0; }

 private:
  // Written when the parameter changes, read by the audio thread.
  std::atomic<double> mLeftGain = 1.0;
  std::atomic<double> mRightGain = 1.0;
  // What the audio thread applies: the gains gliding to those values over kGlideSeconds, so
  // that moving the knob does not click.
  static constexpr double kGlideSeconds = 0.02;
  ISmoothedValue mLeftSmoothed{1.0};
  ISmoothedValue mRightSmoothed{1.0};
  std::atomic<bool> mStandAtGains = true;
};

// The factory every format's entry calls.
IPluginWrapper* MakePlug();
