#include "effect/OrvantaEffect.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "effect/OrvantaIdentity.h"
#include "effect/StereoImageKernel.h"
#include "graphics/IBitmapTextControl.h"
#include "plugin/EditorGraphics.h"

namespace {
constexpr double kMinDb = -94.0;
constexpr double kMaxDb = 6.0;
constexpr double kStepDb = 0.01;
// At and below this the gain is exactly 0, so the bottom of the range is true silence.
constexpr double kSilenceDb = -93.0;

// Serialises instance creation; created on first use, destroyed at process exit.
UTL_Mutex& CreationLock() {
  static UTL_Mutex sLock;
  return sLock;
}
}  // namespace

// Lives beside the class so that linking the effect always brings the factory that the
// component entry calls.
OrvantaWrapper* MakePlug() {
  UTL_MutexLock lock(CreationLock());
  IPluginInstanceInfo info;
  info.mBundleID.Set(orvanta_identity::kBundleID);
  info.mViewFactoryClassName.Set(orvanta_identity::kViewClass);
  return new Orvanta(info);
}

Orvanta::Orvanta(const IPluginInstanceInfo& instanceInfo)
    : OrvantaWrapper(instanceInfo, kNumParams, "2-2", kNumPrograms, orvanta_identity::kName, "",
                     orvanta_identity::kMaker, orvanta_identity::kVersion,
                     FourCC(orvanta_identity::kUniqueID), FourCC(orvanta_identity::kMakerID), 0,
                     false, false, false, 0) {
  SetDoesSingleReplacing(true);
  InitParams();
  if constexpr (kEditorWithInstance) MakeEditor();
  MakeFactoryPresets();
}

void Orvanta::InitParams() {
  GetParam(kGain)->InitDouble("Gain", 0.0, kMinDb, kMaxDb, kStepDb, "dB", "", 1.0);
  GetParam(kGain)->SetShape(0.09);
  GetParam(kMono)->InitDouble("Mono", 0.0, kMinDb, kMaxDb, kStepDb, "dB", "", 1.0);
  GetParam(kMono)->SetShape(0.19);
  GetParam(kStereo)->InitDouble("Stereo", 0.0, kMinDb, kMaxDb, kStepDb, "dB", "", 1.0);
  GetParam(kStereo)->SetShape(0.19);
}

void Orvanta::MakeFactoryPresets() {
  MakePreset("No Change", 0.0, 0.0, 0.0);
  MakePreset("Stereo Enhance", 0.0, 0.0, 3.0);
  MakePreset("Only Stereo", 0.0, kMinDb, 0.0);
  MakePreset("Only Mono", 0.0, 0.0, kMinDb);
  MakeDefaultPreset("-", kNumPrograms);
}

double Orvanta::GainFromDecibels(double dB) {
  return dB > kSilenceDb ? std::pow(10.0, dB / 20.0) : 0.0;
}

void Orvanta::Reset() { UTL_MutexLock lock(mMutex); }

// May run on the audio thread, always with the plug-in mutex held (so the readouts change
// between the editor's drawing passes): it stores atomics and rewrites short texts in place,
// which allocates nothing once the first change at preparation has sized them.
void Orvanta::OnParamChange(int paramIdx) {
  switch (paramIdx) {
    case kGain: {
      double dB = GetParam(kGain)->Value();
      mGain.store(GainFromDecibels(dB), std::memory_order_relaxed);
      printString(dB, mGainText);
      break;
    }
    case kMono: {
      double dB = GetParam(kMono)->Value();
      mMonoGain.store(0.5 * GainFromDecibels(dB), std::memory_order_relaxed);
      printString(dB, mMonoText);
      break;
    }
    case kStereo: {
      double dB = GetParam(kStereo)->Value();
      mStereoGain.store(0.5 * GainFromDecibels(dB), std::memory_order_relaxed);
      printString(dB, mStereoText);
      break;
    }
    default:
      break;
  }
}

void Orvanta::Weights(double* pMid, double* pSide) const {
  // Gains are read once per block: a change mid-block takes effect with the next one.
  const double gain = GetGain();
  *pMid = GetMonoGain() * gain;
  *pSide = GetStereoGain() * gain;
}

void Orvanta::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) {
  if (nFrames <= 0) return;
  double mid, side;
  Weights(&mid, &side);
  StereoImage(inputs[0], inputs[1], outputs[0], outputs[1], nFrames, mid, side);
}

void Orvanta::ProcessSingleReplacing(float** inputs, float** outputs, int nFrames) {
  if (nFrames <= 0) return;
  double mid, side;
  Weights(&mid, &side);
  StereoImage(inputs[0], inputs[1], outputs[0], outputs[1], nFrames, (float)mid, (float)side);
}

void Orvanta::FormatReadout(double value, char* out) {
  if (value >= 0.0) {
    snprintf(out, kReadoutSize, "%2.2f", value);
  } else if (value > -10.0 && value < -0.05) {
    snprintf(out, kReadoutSize, "%2.1f", value);
  } else if (value >= -45.0 && value <= -10.0) {
    // Exactly -10 joins the whole-number range: "-10" rather than "-10.0".
    snprintf(out, kReadoutSize, "%2.0f", value);
  } else if (value < -45.0) {
    // Glyphs of the editor's font for the lowest range.
    snprintf(out, kReadoutSize, "-#$");
  } else {
    snprintf(out, kReadoutSize, "0.00");
  }
}

void Orvanta::printString(double value, IBitmapTextControl* control) {
  if constexpr (kHasEditor) {
    if (!control) return;
    char text[kReadoutSize];
    FormatReadout(value, text);
    control->SetTextFromPlug(text);
  }
}
