#pragma once
// A host's musical clock, answered through the HostCallbacks property: the unit asks for beat
// and tempo, musical time and transport state while it renders. Each group of answers can be
// withheld, as hosts that do not know them withhold the procedure.

#include <AudioUnit/AudioUnit.h>

struct HostTransport {
  // Beat and tempo.
  bool mHasBeatAndTempo = true;
  Float64 mCurrentBeat = 0;
  Float64 mTempo = 120;
  // Musical time location.
  bool mHasMusicalTime = true;
  UInt32 mDeltaSampleOffsetToNextBeat = 0;
  Float32 mTimeSigNumerator = 4;
  UInt32 mTimeSigDenominator = 4;
  Float64 mCurrentMeasureDownBeat = 0;
  // Transport state.
  bool mHasTransportState = true;
  bool mIsPlaying = false;
  bool mTransportStateChanged = false;
  Float64 mCurrentSampleInTimeLine = 0;
  bool mIsCycling = false;
  Float64 mCycleStartBeat = 0;
  Float64 mCycleEndBeat = 0;

  // The record to set on a unit; it refers to this object, which must outlive the unit's use.
  HostCallbackInfo Callbacks();
};
