#pragma once
// The session round trip the LV2 and VST3 suites run in Ardour 7 through ArdourRoundTrip.lua.
// Sources that include this compile ArdourRoundTrip.cpp and StereoFiles.cpp, link sndfile and
// define ORVANTA_ARDOUR_SCRIPT and ORVANTA_TOOL.

#include <string>

// A shell command's standard output (standard error dropped); *status is its exit status.
std::string RunShellCommand(const std::string& command, int* status);

// `env` holds the variables ardour7-lua runs with (the plug-in's search path, configuration
// folders, the format). In a session at `session`: imports a test signal, applies "Only
// Stereo" with Stereo = 3 and bounces, saves and reopens. The three values must read back in
// both runs within `tolerance` dB, and the bounce must equal `orvanta render` with the same
// settings within 1e-6. Fails the calling test otherwise.
void CheckArdourRoundTrip(const std::string& env, const std::string& session, double tolerance);
