#pragma once
// What a plug-in is, named field by field: the same values the positional constructor of
// IPluginBase takes, for plug-ins that would rather write
//
//   MyPlug::MyPlug(const IPluginInstanceInfo& info)
//       : IPluginWrapper(info, {.nParams = kNumParams,
//                               .nPresets = kNumPresets,
//                               .effectName = "Width",
//                               .mfrName = "Orvanta",
//                               .vendorVersion = 0x10000,
//                               .uniqueID = FourCC("Wdth"),
//                               .mfrID = FourCC("Orvn")}) {}
//
// Designated initialisers must keep the order below; a field left out takes its default.
// Every wrapper takes it beside its positional constructor.

struct IPluginConfig {
  int nParams = 0;
  // Legal (inputs-outputs) pairs, separated by spaces: "2-2", "1-1 2-2".
  const char* channelIO = "2-2";
  int nPresets = 1;
  const char* effectName = "";
  const char* productName = "";
  const char* mfrName = "";
  // Packed: major in bits 16-31, minor in bits 8-15, revision in bits 0-7.
  int vendorVersion = 0x10000;
  // Four-character codes, FourCC("Abcd").
  int uniqueID = 0;
  int mfrID = 0;
  // In samples, reported to the host.
  int latency = 0;
  bool doesMidi = false;
  // The state is exchanged as opaque chunks (SerializeState) rather than as parameter lists.
  bool doesChunks = false;
  bool isInst = false;
  // Side-chain input channels (the Audio Unit's second input bus); 0 for none.
  int scChans = 0;
  // The host is told of a latency even while it is 0, for a plug-in that sets it later
  // (SetLatency). Formats that fix a plug-in's ports when it is described (LV2) give it a
  // latency port only then; a latency other than 0 above implies it.
  bool reportsLatency = false;
  // In samples: how long the output goes on after the input falls silent (SetTailSize).
  unsigned tailSize = 0;
};
