#pragma once
// What the tool's commands share about the unit: its parameters by name, its factory presets
// and the choices a command line makes (a preset, parameter values, a saved state).

#include <string>
#include <vector>

#include "host/Host.h"

struct ToolParameter {
  AudioUnitParameterID id = 0;
  std::string name, unit;
  AudioUnitParameterValue minValue = 0, maxValue = 0, defaultValue = 0;
  UInt32 flags = 0;
  // An on/off or indexed parameter: only whole values are values it takes.
  bool stepped = false;
};

struct ToolPreset {
  SInt32 number = 0;
  std::string name;
};

// A `--set NAME=VALUE` option as given.
struct ToolSetting {
  std::string name;
  double value = 0;
};

// The choices that put the unit into a state, applied in this order: state file, preset, sets.
struct ToolChoices {
  std::string preset, stateFile;
  std::vector<ToolSetting> settings;
};

std::string ToolUtf8(CFStringRef text);
std::string ToolFourCC(OSType code);
std::vector<ToolParameter> ToolParameters(const HostUnit& unit);
// The unit's parameter values in parameter order.
std::vector<float> ToolParameterValues(const HostUnit& unit);
std::vector<ToolPreset> ToolFactoryPresets(const HostUnit& unit);

// A parameter value with two decimals, "0.00" for what rounds to zero from either side.
std::string ToolValueText(double value);

// Parses "Gain=-3" into *setting; false with a message otherwise.
bool ToolParseSetting(const std::string& text, ToolSetting* setting, std::string* error);
// Applies the choices. Unknown preset or parameter names fail with the valid names listed;
// values outside a parameter's range are clamped and *notes says so.
bool ToolApplyChoices(HostUnit& unit, const ToolChoices& choices, std::string* notes,
                      std::string* error);
