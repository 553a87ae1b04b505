#include "ToolUnit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

std::string ToolUtf8(CFStringRef text) {
  if (!text) return "";
  // Sized for the text: a name from a file may be of any length.
  std::vector<char> buffer(size_t(
      CFStringGetMaximumSizeForEncoding(CFStringGetLength(text), kCFStringEncodingUTF8) + 1));
  if (!CFStringGetCString(text, buffer.data(), CFIndex(buffer.size()), kCFStringEncodingUTF8))
    return "";
  return buffer.data();
}

std::string ToolFourCC(OSType code) {
  std::string text(4, ' ');
  for (int i = 0; i < 4; ++i) text[i] = static_cast<char>((code >> (24 - 8 * i)) & 0xFF);
  return text;
}

std::vector<ToolParameter> ToolParameters(const HostUnit& unit) {
  std::vector<ToolParameter> parameters;
  UInt32 size = 0;
  if (unit.GetPropertyInfo(kAudioUnitProperty_ParameterList, kAudioUnitScope_Global, 0, &size,
                           nullptr) != noErr)
    return parameters;
  std::vector<AudioUnitParameterID> ids(size / sizeof(AudioUnitParameterID));
  if (ids.empty() || AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_ParameterList,
                                          kAudioUnitScope_Global, 0, ids.data(), &size) != noErr)
    return parameters;
  for (AudioUnitParameterID id : ids) {
    AudioUnitParameterInfo info = {};
    if (unit.GetProperty(kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, id, &info) !=
        noErr)
      continue;
    ToolParameter p;
    p.id = id;
    p.name = info.cfNameString ? ToolUtf8(info.cfNameString) : std::string(info.name);
    p.unit = ToolUtf8(info.unitName);
    p.minValue = info.minValue;
    p.maxValue = info.maxValue;
    p.defaultValue = info.defaultValue;
    p.flags = info.flags;
    p.stepped = info.unit == kAudioUnitParameterUnit_Boolean ||
                info.unit == kAudioUnitParameterUnit_Indexed;
    if (info.flags & kAudioUnitParameterFlag_CFNameRelease) {
      if (info.cfNameString) CFRelease(info.cfNameString);
      if (info.unitName) CFRelease(info.unitName);
    }
    parameters.push_back(p);
  }
  return parameters;
}

std::vector<float> ToolParameterValues(const HostUnit& unit) {
  std::vector<float> values;
  for (const ToolParameter& p : ToolParameters(unit)) {
    AudioUnitParameterValue v = 0;
    unit.GetParameter(p.id, &v);
    values.push_back(v);
  }
  return values;
}

std::vector<ToolPreset> ToolFactoryPresets(const HostUnit& unit) {
  std::vector<ToolPreset> presets;
  CFArrayRef array = nullptr;
  if (unit.GetFactoryPresets(&array) != noErr || !array) return presets;
  for (CFIndex i = 0; i < CFArrayGetCount(array); ++i) {
    auto* preset = static_cast<const AUPreset*>(CFArrayGetValueAtIndex(array, i));
    if (preset) presets.push_back({preset->presetNumber, ToolUtf8(preset->presetName)});
  }
  CFRelease(array);
  return presets;
}

std::string ToolValueText(double value) {
  char text[32];
  snprintf(text, sizeof(text), "%.2f", value);
  return std::string(text) == "-0.00" ? "0.00" : text;
}

bool ToolParseSetting(const std::string& text, ToolSetting* setting, std::string* error) {
  const auto equals = text.find('=');
  if (equals == std::string::npos || equals == 0 || equals + 1 == text.size()) {
    *error = "--set expects NAME=VALUE (a value in the parameter's unit), not \"" + text + "\"";
    return false;
  }
  const std::string number = text.substr(equals + 1);
  char* end = nullptr;
  const double value = strtod(number.c_str(), &end);
  if (*end != '\0' || !std::isfinite(value)) {
    *error = "--set " + text.substr(0, equals) + ": \"" + number + "\" is not a number";
    return false;
  }
  setting->name = text.substr(0, equals);
  setting->value = value;
  return true;
}

namespace {

template <typename List, typename Name>
std::string ValidNames(const List& list, Name name) {
  std::string names;
  for (const auto& item : list) names += (names.empty() ? "\"" : ", \"") + name(item) + "\"";
  return names;
}

}  // namespace

bool ToolApplyChoices(HostUnit& unit, const ToolChoices& choices, std::string* notes,
                      std::string* error) {
  if (!choices.stateFile.empty()) {
    HostError failure;
    if (unit.LoadPresetFile(choices.stateFile, &failure) != noErr) {
      *error = failure.message;
      return false;
    }
  }
  if (!choices.preset.empty()) {
    const auto presets = ToolFactoryPresets(unit);
    const ToolPreset* found = nullptr;
    for (const auto& preset : presets)
      if (preset.name == choices.preset || std::to_string(preset.number) == choices.preset)
        found = &preset;
    if (!found) {
      *error = "no factory preset \"" + choices.preset + "\"; the presets are " +
               ValidNames(presets, [](const ToolPreset& p) { return p.name; });
      return false;
    }
    const OSStatus status = unit.SetPresentPreset(found->number);
    if (status != noErr) {
      *error =
          "the unit refused preset \"" + found->name + "\" (status " + std::to_string(status) + ")";
      return false;
    }
  }
  const auto parameters = ToolParameters(unit);
  for (const ToolSetting& setting : choices.settings) {
    const ToolParameter* found = nullptr;
    for (const auto& p : parameters)
      if (p.name == setting.name) found = &p;
    if (!found) {
      *error = "no parameter \"" + setting.name + "\"; the parameters are " +
               ValidNames(parameters, [](const ToolParameter& p) { return p.name; });
      return false;
    }
    double value = setting.value;
    if (value < found->minValue || value > found->maxValue) {
      value = std::clamp<double>(value, found->minValue, found->maxValue);
      char text[200];
      snprintf(text, sizeof(text), "%s %g %s is outside [%g, %g]; clamped to %g %s\n",
               found->name.c_str(), setting.value, found->unit.c_str(), found->minValue,
               found->maxValue, value, found->unit.c_str());
      *notes += text;
    }
    const OSStatus status = unit.SetParameter(found->id, static_cast<float>(value));
    if (status != noErr) {
      *error = "the unit refused " + found->name + " = " + std::to_string(value) + " (status " +
               std::to_string(status) + ")";
      return false;
    }
  }
  return true;
}
