#pragma once
// A value that glides linearly to its target over a set time instead of jumping, for
// processing that would click on a step (a gain, a pan). Lives on the audio thread with the
// processing that uses it; allocates nothing. Per sample: SetTarget once a block, Next() per
// frame. Per block: Advance(nFrames) gives where the glide stands at the block's end.

#include <cmath>

class ISmoothedValue {
 public:
  explicit ISmoothedValue(double value = 0.0) : mCurrent(value), mTarget(value) {}

  // [host] From OnPrepare: a glide takes rampSeconds at this rate (at least one frame). The
  // value stops where it is.
  void Prepare(double sampleRate, double rampSeconds) {
    const double frames = std::round(sampleRate * rampSeconds);
    mRampFrames = frames >= 1.0 && frames < 1e9 ? (int)frames : 1;
    Jump(mCurrent);
  }

  // [audio] Glide from where the value stands to target; the same target again changes nothing.
  void SetTarget(double target) {
    if (target == mTarget) return;
    mTarget = target;
    mLeft = mRampFrames;
    mStep = (mTarget - mCurrent) / mLeft;
  }
  // [audio] Stand at value at once, without a glide.
  void Jump(double value) {
    mCurrent = mTarget = value;
    mLeft = 0;
  }

  // [audio] The next frame's value; the last frame of a glide is the target exactly.
  double Next() {
    if (mLeft > 0) mCurrent = --mLeft ? mCurrent + mStep : mTarget;
    return mCurrent;
  }
  // [audio] nFrames frames at once: the value after them.
  double Advance(int nFrames) {
    if (nFrames <= 0 || mLeft == 0) return mCurrent;
    if (nFrames >= mLeft) {
      Jump(mTarget);
    } else {
      mLeft -= nFrames;
      mCurrent += mStep * nFrames;
    }
    return mCurrent;
  }

  double Current() const { return mCurrent; }
  double Target() const { return mTarget; }
  bool IsGliding() const { return mLeft > 0; }

 private:
  double mCurrent;
  double mTarget;
  double mStep = 0.0;
  int mLeft = 0;  // frames until the target
  int mRampFrames = 1;
};
