#include "host/HostTransport.h"

namespace {

// Every output pointer may be null: a unit asks only for what it needs.
template <typename T, typename U>
void Put(T* out, U value) {
  if (out) *out = static_cast<T>(value);
}

OSStatus BeatAndTempo(void* user, Float64* beat, Float64* tempo) {
  auto* t = static_cast<HostTransport*>(user);
  Put(beat, t->mCurrentBeat);
  Put(tempo, t->mTempo);
  return noErr;
}

OSStatus MusicalTime(void* user, UInt32* deltaToNextBeat, Float32* numerator, UInt32* denominator,
                     Float64* downBeat) {
  auto* t = static_cast<HostTransport*>(user);
  Put(deltaToNextBeat, t->mDeltaSampleOffsetToNextBeat);
  Put(numerator, t->mTimeSigNumerator);
  Put(denominator, t->mTimeSigDenominator);
  Put(downBeat, t->mCurrentMeasureDownBeat);
  return noErr;
}

OSStatus TransportState(void* user, Boolean* playing, Boolean* changed, Float64* sample,
                        Boolean* cycling, Float64* cycleStart, Float64* cycleEnd) {
  auto* t = static_cast<HostTransport*>(user);
  Put(playing, t->mIsPlaying);
  Put(changed, t->mTransportStateChanged);
  Put(sample, t->mCurrentSampleInTimeLine);
  Put(cycling, t->mIsCycling);
  Put(cycleStart, t->mCycleStartBeat);
  Put(cycleEnd, t->mCycleEndBeat);
  return noErr;
}

}  // namespace

HostCallbackInfo HostTransport::Callbacks() {
  HostCallbackInfo info = {};
  info.hostUserData = this;
  info.beatAndTempoProc = mHasBeatAndTempo ? BeatAndTempo : nullptr;
  info.musicalTimeLocationProc = mHasMusicalTime ? MusicalTime : nullptr;
  info.transportStateProc = mHasTransportState ? TransportState : nullptr;
  return info;
}
