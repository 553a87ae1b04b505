#pragma once
// The names under which hosts know the LV2 build: shared by both libraries and by the
// generator of the bundle's description, so they cannot drift apart. The plug-in's URI is
// part of its identity (effect/Identity.cmake).

#include "effect/OrvantaIdentity.h"

inline constexpr const char* kLV2PluginURI = orvanta_identity::kLV2URI;
inline constexpr const char* kLV2UIURI = orvanta_identity::kLV2UIURI;
// The stereo port groups: kLV2PluginURI + suffix.
inline constexpr char kLV2InputGroupSuffix[] = "#in";
inline constexpr char kLV2OutputGroupSuffix[] = "#out";
// What host browsers show about the plug-in.
inline constexpr char kLV2Comment[] =
    "Stereo image: weights the mid (sum) and side (difference) parts of a stereo signal "
    "separately, with an output gain.";
inline constexpr char kLV2LicenseURI[] = "https://orvanta.example/license";
// State key of the plug-in's state chunk, stored as an atom:Chunk.
inline constexpr const char* kLV2StateChunkURI = orvanta_identity::kLV2StateURI;
// Factory preset i (0-based) is kLV2PluginURI + kLV2PresetSuffix + (i + 1).
inline constexpr char kLV2PresetSuffix[] = "#preset";
// File names inside the bundle.
inline constexpr char kLV2DSPBinary[] = "orvanta.so";
inline constexpr char kLV2UIBinary[] = "orvanta_ui.so";
inline constexpr char kLV2DescriptionFile[] = "orvanta.ttl";
inline constexpr char kLV2PresetsFile[] = "presets.ttl";
