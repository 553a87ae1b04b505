#pragma once
// A parameter change scheduled inside a block, as hosts deliver them with the audio.

struct IParamEvent {
  int mOffset;    // frame within the block it takes effect from (past the end: at the end)
  int mParamIdx;  // an index outside the parameter list is ignored
  double mValue;  // in the parameter's own units (what IParam::Set takes)
};
