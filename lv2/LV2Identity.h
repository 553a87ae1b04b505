#pragma once
// The names under which hosts know the LV2 build: shared by both libraries and by the
// generator of the bundle's description, so they cannot drift apart. The plug-in's own names
// (URIs, description, file names) come from LV2PluginIdentity.h, which orvanta_add_plugin
// generates for each plug-in from its identity.

#include "LV2PluginIdentity.h"

// The stereo port groups: kLV2PluginURI + suffix.
inline constexpr char kLV2InputGroupSuffix[] = "#in";
inline constexpr char kLV2OutputGroupSuffix[] = "#out";
// Factory preset i (0-based) is kLV2PluginURI + kLV2PresetSuffix + (i + 1).
inline constexpr char kLV2PresetSuffix[] = "#preset";
inline constexpr char kLV2PresetsFile[] = "presets.ttl";
