#pragma once
// The stereo image of a file and of what the unit makes of it, read once, block by block.

#include <memory>
#include <string>

#include "AudioFile.h"
#include "StereoImage.h"
#include "StereoImageReport.h"
#include "ToolRender.h"
#include "host/Host.h"

// The unit's present values as a line for a report, after the settings' name if there is one:
// "Stereo Enhance: Gain 0 dB, ...".
std::string ToolSettingsLabel(const HostUnit& unit, const std::string& name);

struct AnalyzeRequest {
  std::string input, plot;
  bool json = false;
  bool throughUnit = false;  // measure the unit's output too, with its present settings
  std::string settings;      // the label of those settings
  RenderOptions render;
};

// Runs the analyze command; returns the exit code, with messages on stderr.
int ToolAnalyze(HostUnit& unit, const AnalyzeRequest& request);
