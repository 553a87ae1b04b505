#pragma once
// A parameter change scheduled inside a block, as hosts deliver them with the audio.

struct IParamEvent {
  // mParamIdx of the host's bypass switch, which hosts automate like a parameter: on from 0.5.
  static constexpr int kBypass = -1;

  int mOffset;    // frame within the block it takes effect from (past the end: at the end)
  int mParamIdx;  // kBypass, or a parameter; an index outside the list is ignored
  double mValue;  // in the parameter's own units (what IParam::Set takes)
};
