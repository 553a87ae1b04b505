// A test-only plug-in whose latency is a parameter: it passes its input through and reports
// whatever latency the host sets, as a plug-in with a latency that changes while it runs does.
// Its LV2 bundle shows the latency port the description gives such a plug-in.

#include "LatencyProbeIdentity.h"
#include "plugin/Plugin.h"

class LatencyProbe : public IPluginWrapper {
 public:
  explicit LatencyProbe(const IPluginInstanceInfo& info)
      : IPluginWrapper(info, {.nParams = 1,
                              .nPresets = 0,
                              .effectName = "LatencyProbe",
                              .mfrName = "Orvanta Tests",
                              .uniqueID = FourCC("LPrb"),
                              .mfrID = FourCC("Xorv"),
                              .reportsLatency = true,
                              .tailSize = 480}) {
    // Named like the latency port, whose symbol the parameter's gives way to.
    GetParam(0)->InitInt("Latency", 0, 0, 4096, "samples");
  }

  void OnParamChange(int paramIdx) override {
    if (paramIdx == 0) SetLatency(GetParam(0)->Int());
  }

  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override {
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < nFrames; ++i) outputs[c][i] = inputs[c][i];
  }
};

IPluginWrapper* MakePlug() { return new LatencyProbe(IPluginInstanceInfo()); }
