#pragma once
// A plug-in with no host behind it, for the framework benchmarks: host notifications go
// nowhere and the transport stands still. `chunks` turns on state chunks.

#include "framework/Framework.h"

class HostlessBenchPlug : public IPluginBase {
 public:
  explicit HostlessBenchPlug(bool chunks = false)
      : IPluginBase(0, "2-2", 0, "Bench", "", "", 0x10000, 1, 1, 0, false, chunks, false, kAPIAU) {}
  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int, double) override {}
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override {}
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return 120.0; }
  void GetTimeSig(int*, int*) override {}
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg*) override { return false; }
};
