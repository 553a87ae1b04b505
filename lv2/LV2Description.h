#pragma once
// The bundle's description in Turtle, written from a plug-in instance so that ports, ranges,
// defaults and presets are exactly what the code defines: manifest.ttl, the plug-in and UI
// description, and the factory presets.

#include <string>

class IPluginLV2;

// Port symbol of parameter idx: its name in lower case with every other character than
// letters and digits turned into '_', prefixed with '_' when it would start with a digit,
// and suffixed with the index when an earlier parameter or one of the wrapper's ports
// ("enabled", "latency") already has that symbol.
std::string LV2ParamSymbol(IPluginLV2* pPlug, int idx);
// Symbols of the audio ports: in_l / in_r / out_l / out_r for a stereo pair, otherwise
// in_1, in_2, ... and out_1, out_2, ...
std::string LV2AudioSymbol(IPluginLV2* pPlug, bool input, int channel);

std::string LV2ManifestTTL(IPluginLV2* pPlug);
std::string LV2PluginTTL(IPluginLV2* pPlug);
std::string LV2PresetsTTL(IPluginLV2* pPlug);

// Writes the three files into folder (which must exist); false when one cannot be written.
bool WriteLV2Description(IPluginLV2* pPlug, const char* folder);
