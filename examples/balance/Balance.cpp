#include "Balance.h"

#include "BalanceIdentity.h"

IPluginWrapper* MakePlug() {
  IPluginInstanceInfo info;
  info.mBundleID.Set(balance_identity::kBundleID);
  info.mViewFactoryClassName.Set(balance_identity::kViewClass);
  return new Balance(info);
}

// The identity comes from CMakeLists.txt (BalanceIdentity.h is generated from it). What is
// not named takes its default (framework/IPluginConfig.h): two inputs and two outputs ("2-2"),
// no latency, no MIDI, no state beyond the parameters, an effect.
Balance::Balance(const IPluginInstanceInfo& instanceInfo)
    : IPluginWrapper(instanceInfo, {.nParams = kNumParams,
                                    .nPresets = kNumPresets,
                                    .effectName = balance_identity::kName,
                                    .mfrName = balance_identity::kMaker,
                                    .vendorVersion = balance_identity::kVersion,
                                    .uniqueID = FourCC(balance_identity::kUniqueID),
                                    .mfrID = FourCC(balance_identity::kMakerID)}) {
  // Name, default, minimum, maximum, step, unit.
  GetParam(kBalance)->InitDouble("Balance", 0.0, -100.0, 100.0, 0.1, "%");
  // One value per parameter, in their order.
  MakePreset("Centre", {0.0});
}

void Balance::OnParamChange(int paramIdx) {
  if (paramIdx != kBalance) return;
  const double percent = GetParam(kBalance)->Value();
  mLeftGain.store(LeftGain(percent), std::memory_order_relaxed);
  mRightGain.store(RightGain(percent), std::memory_order_relaxed);
}

void Balance::OnPrepare(double sampleRate, int /*maxBlockFrames*/) {
  mLeftSmoothed.Prepare(sampleRate, kGlideSeconds);
  mRightSmoothed.Prepare(sampleRate, kGlideSeconds);
}

void Balance::OnActivate(bool active) {
  if (active) mStandAtGains = true;
}

void Balance::Reset() { mStandAtGains = true; }

void Balance::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) {
  const double left = mLeftGain.load(std::memory_order_relaxed);
  const double right = mRightGain.load(std::memory_order_relaxed);
  if (mStandAtGains.exchange(false)) {
    mLeftSmoothed.Jump(left);
    mRightSmoothed.Jump(right);
  }
  mLeftSmoothed.SetTarget(left);
  mRightSmoothed.SetTarget(right);
  for (int i = 0; i < nFrames; ++i) {
    outputs[0][i] = inputs[0][i] * mLeftSmoothed.Next();
    outputs[1][i] = inputs[1][i] * mRightSmoothed.Next();
  }
}

// The editor: a plain background and one stock knob drawn as a line, no images needed. The
// plug-in owns the editor, and the editor owns its controls.
void Balance::OnMakeEditor() {
  // A binary without an editor (an LV2 audio library) links none of it.
  if constexpr (kHasEditor) {
    IGraphics* graphics =
        MakeEditorGraphics(this, balance_identity::kBundleID, kEditorWidth, kEditorHeight);
    const IColor background(255, 40, 44, 52);
    graphics->AttachPanelBackground(&background);
    const IColor line(255, 230, 230, 230);
    graphics->AttachControl(
        new IKnobLineControl(this, IRECT(50, 30, 110, 90), kBalance, &line, 8.0, 28.0));
    AttachGraphics(graphics);
  }
}
