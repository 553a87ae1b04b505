#pragma once
// Small records shared by the plug-in base, its host wrappers and the effect.

#include "framework/UTL_String.h"

// A four-character code such as "Qzvk" as the 32-bit value hosts use ('Qzvk').
constexpr int FourCC(const char (&code)[5]) {
  return (int)(((unsigned)(unsigned char)code[0] << 24) | ((unsigned)(unsigned char)code[1] << 16) |
               ((unsigned)(unsigned char)code[2] << 8) | (unsigned)(unsigned char)code[3]);
}

// Which plug-in interface an instance serves.
enum EAPI : int { kAPIVST2 = 0, kAPIVST3 = 1, kAPIAU = 2, kAPIRTAS = 3, kAPIAAX = 4, kAPISA = 5 };

// What the component factory hands to the effect's constructor.
struct IPluginInstanceInfo {
  UTL_String mBundleID;
  UTL_String mViewFactoryClassName;
};

// Transport state. The caller fills in defaults; GetTime overwrites only what the host reports.
struct ITimeInfo {
  double mBeatsPerMinute = 120.0;
  double mSamplePosition = -1.0;
  double mQuarterNotePosition = -1.0;
  double mLastBarStart = -1.0;
  double mLoopStart = -1.0;
  double mLoopEnd = -1.0;
  int mTimeSigNumerator = 4;
  int mTimeSigDenominator = 4;
  bool mPlaying = false;
  bool mLooping = false;
};
