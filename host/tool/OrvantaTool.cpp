// orvanta: a command-line host for the Orvanta component bundle.
//   orvanta info                       the unit's identity, parameters and factory presets
//   orvanta render [-p PRESET] [-s STATE] IN OUT
//                                      processes a WAV file through the unit, with a factory
//                                      preset or a state saved in an .aupreset file
//   orvanta save [-p PRESET] FILE      writes the unit's state as an .aupreset file
//   orvanta demo                       renders a built-in stereo example with a factory preset
// Every command accepts --bundle PATH; the default is the bundle built beside the tool.

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "WavFile.h"
#include "host/Host.h"

namespace {

constexpr UInt32 kSliceFrames = 512;

std::string Utf8(CFStringRef s) {
  char text[256] = "";
  if (s) CFStringGetCString(s, text, sizeof(text), kCFStringEncodingUTF8);
  return text;
}

std::string FourCC(OSType code) {
  std::string text(4, ' ');
  for (int i = 0; i < 4; ++i) text[i] = static_cast<char>((code >> (24 - 8 * i)) & 0xFF);
  return text;
}

// The factory presets as (number, name) pairs.
std::vector<std::pair<SInt32, std::string>> FactoryPresets(const HostUnit& unit) {
  std::vector<std::pair<SInt32, std::string>> presets;
  CFArrayRef array = nullptr;
  if (unit.GetFactoryPresets(&array) != noErr || !array) return presets;
  for (CFIndex i = 0; i < CFArrayGetCount(array); ++i) {
    auto* preset = static_cast<const AUPreset*>(CFArrayGetValueAtIndex(array, i));
    if (preset) presets.emplace_back(preset->presetNumber, Utf8(preset->presetName));
  }
  CFRelease(array);
  return presets;
}

// Selects a factory preset by number or name; false when there is none such.
bool SelectPreset(HostUnit& unit, const std::string& wanted, std::string* chosen) {
  for (const auto& [number, name] : FactoryPresets(unit)) {
    if (wanted == name || wanted == std::to_string(number)) {
      *chosen = name;
      return unit.SetPresentPreset(number) == noErr;
    }
  }
  return false;
}

// Feeds the unit's input bus from a WAV buffer, slice by slice.
struct InputFeed {
  const WavAudio* audio;
  size_t position = 0;
  static OSStatus Pull(void* ref, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32,
                       UInt32 frames, AudioBufferList* io) {
    auto* feed = static_cast<InputFeed*>(ref);
    for (UInt32 c = 0; c < io->mNumberBuffers; ++c) {
      const auto& source =
          feed->audio->channels[std::min<size_t>(c, feed->audio->channels.size() - 1)];
      auto* out = static_cast<float*>(io->mBuffers[c].mData);
      for (UInt32 i = 0; i < frames; ++i) {
        size_t at = feed->position + i;
        out[i] = at < source.size() ? source[at] : 0.0f;
      }
    }
    return noErr;
  }
};

// Renders a whole (mono or stereo) signal through the unit into a stereo result.
bool Process(HostUnit& unit, const WavAudio& in, WavAudio* out, std::string* error) {
  if (in.channels.empty() || in.channels.size() > 2) {
    *error = "the unit takes mono or stereo input, not " + std::to_string(in.channels.size()) +
             " channels";
    return false;
  }
  InputFeed feed{&in};
  OSStatus result = unit.SetSampleRate(in.sampleRate);
  if (result == noErr) result = unit.SetMaximumFramesPerSlice(kSliceFrames);
  if (result == noErr) result = unit.SetStreamFormat(kAudioUnitScope_Input, 0, 2, in.sampleRate);
  if (result == noErr) result = unit.SetStreamFormat(kAudioUnitScope_Output, 0, 2, in.sampleRate);
  if (result == noErr) result = unit.SetRenderCallback(0, InputFeed::Pull, &feed);
  if (result == noErr) result = unit.Initialize();
  if (result != noErr) {
    *error = "the unit refused the set-up (status " + std::to_string(result) + ")";
    return false;
  }
  out->sampleRate = in.sampleRate;
  out->channels.assign(2, std::vector<float>(in.Frames()));
  HostBuffers buffers(2, kSliceFrames);
  for (feed.position = 0; feed.position < in.Frames(); feed.position += kSliceFrames) {
    const UInt32 frames =
        static_cast<UInt32>(std::min<size_t>(kSliceFrames, in.Frames() - feed.position));
    buffers.Reset();
    result = unit.Render(0, static_cast<Float64>(feed.position), frames, buffers.List());
    if (result != noErr) {
      *error = "rendering failed at frame " + std::to_string(feed.position) + " (status " +
               std::to_string(result) + ")";
      return false;
    }
    for (UInt32 c = 0; c < 2; ++c)
      std::copy(buffers.Channel(c), buffers.Channel(c) + frames,
                out->channels[c].begin() + feed.position);
  }
  unit.Uninitialize();
  return true;
}

double Rms(const std::vector<float>& samples) {
  double sum = 0;
  for (float s : samples) sum += double(s) * s;
  return samples.empty() ? 0 : std::sqrt(sum / samples.size());
}

int Info(HostComponent& component, HostUnit& unit) {
  const ComponentDescription& d = component.Description();
  printf("%s  (%s %s %s, version 0x%X, entry %s)\n", component.Name().c_str(),
         FourCC(d.componentType).c_str(), FourCC(d.componentSubType).c_str(),
         FourCC(d.componentManufacturer).c_str(), component.Version(),
         component.EntryName().c_str());
  UInt32 size = 0;
  unit.GetPropertyInfo(kAudioUnitProperty_ParameterList, kAudioUnitScope_Global, 0, &size, nullptr);
  std::vector<AudioUnitParameterID> ids(size / sizeof(AudioUnitParameterID));
  if (!ids.empty())
    AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_ParameterList, kAudioUnitScope_Global, 0,
                         ids.data(), &size);
  printf("parameters:\n");
  for (AudioUnitParameterID id : ids) {
    AudioUnitParameterInfo info = {};
    if (unit.GetProperty(kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, id, &info) !=
        noErr)
      continue;
    AudioUnitParameterValue value = 0;
    unit.GetParameter(id, &value);
    printf("  %u %-10s %8.2f  [%g .. %g] %s\n", id, info.name, value, info.minValue, info.maxValue,
           Utf8(info.unitName).c_str());
    if (info.flags & kAudioUnitParameterFlag_CFNameRelease) {
      if (info.cfNameString) CFRelease(info.cfNameString);
      if (info.unitName) CFRelease(info.unitName);
    }
  }
  printf("factory presets:\n");
  for (const auto& [number, name] : FactoryPresets(unit)) printf("  %d %s\n", number, name.c_str());
  return 0;
}

// Applies the -p and -s options; false after reporting a failure.
bool ApplyChoices(HostUnit& unit, const std::string& preset, const std::string& state,
                  std::string* chosen) {
  if (!preset.empty() && !SelectPreset(unit, preset, chosen)) {
    fprintf(stderr, "orvanta: no factory preset \"%s\"\n", preset.c_str());
    return false;
  }
  HostError error;
  if (!state.empty() && unit.LoadPresetFile(state, &error) != noErr) {
    fprintf(stderr, "orvanta: %s\n", error.message.c_str());
    return false;
  }
  if (!state.empty()) *chosen = "state from " + state;
  return true;
}

int Save(HostUnit& unit, const std::string& preset, const std::string& path) {
  std::string chosen;
  if (!ApplyChoices(unit, preset, std::string(), &chosen)) return 1;
  HostError error;
  if (unit.SavePresetFile(path, &error) != noErr) {
    fprintf(stderr, "orvanta: %s\n", error.message.c_str());
    return 1;
  }
  printf("wrote the unit's state%s%s to %s\n", chosen.empty() ? "" : " with preset ",
         chosen.c_str(), path.c_str());
  return 0;
}

int Render(HostUnit& unit, const std::string& preset, const std::string& state,
           const std::string& inPath, const std::string& outPath) {
  std::string error, chosen;
  if (!ApplyChoices(unit, preset, state, &chosen)) return 1;
  WavAudio in, out;
  if (!ReadWav(inPath, &in, &error) || !Process(unit, in, &out, &error) ||
      !WriteWav(outPath, out, &error)) {
    fprintf(stderr, "orvanta: %s\n", error.c_str());
    return 1;
  }
  printf("rendered %zu frames at %g Hz%s%s into %s\n", in.Frames(), in.sampleRate,
         chosen.empty() ? "" : " with ", chosen.c_str(), outPath.c_str());
  return 0;
}

int Demo(HostUnit& unit) {
  // Two seconds of a wide stereo signal: a tone shared by both sides plus one on the left only.
  WavAudio in;
  in.sampleRate = 44100;
  in.channels.assign(2, std::vector<float>(88200));
  const double pi = 3.14159265358979323846;
  for (size_t i = 0; i < in.Frames(); ++i) {
    double t = i / in.sampleRate;
    double mid = 0.25 * std::sin(2 * pi * 220 * t);
    double side = 0.25 * std::sin(2 * pi * 330 * t);
    in.channels[0][i] = static_cast<float>(mid + side);
    in.channels[1][i] = static_cast<float>(mid - side);
  }
  std::string error, chosen;
  if (!SelectPreset(unit, "Stereo Enhance", &chosen)) {
    fprintf(stderr, "orvanta: the unit has no factory preset \"Stereo Enhance\"\n");
    return 1;
  }
  WavAudio out;
  const std::string outPath = "orvanta-demo.wav";
  if (!Process(unit, in, &out, &error) || !WriteWav(outPath, out, &error)) {
    fprintf(stderr, "orvanta: %s\n", error.c_str());
    return 1;
  }
  printf("rendered %zu frames of a stereo test signal through the Audio Unit entry\n", in.Frames());
  printf("preset \"%s\": RMS left %.4f -> %.4f, right %.4f -> %.4f\n", chosen.c_str(),
         Rms(in.channels[0]), Rms(out.channels[0]), Rms(in.channels[1]), Rms(out.channels[1]));
  printf("wrote %s\n", outPath.c_str());
  return 0;
}

void Usage() {
  fprintf(stderr,
          "usage: orvanta [--bundle PATH] info\n"
          "       orvanta [--bundle PATH] render [-p PRESET] [-s STATE.aupreset] IN.wav OUT.wav\n"
          "       orvanta [--bundle PATH] save [-p PRESET] STATE.aupreset\n"
          "       orvanta [--bundle PATH] demo\n");
}

}  // namespace

int main(int argc, char** argv) {
  std::string bundle = ORVANTA_DEFAULT_BUNDLE;
  std::string preset, state;
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--bundle" && i + 1 < argc)
      bundle = argv[++i];
    else if (a == "-p" && i + 1 < argc)
      preset = argv[++i];
    else if (a == "-s" && i + 1 < argc)
      state = argv[++i];
    else
      args.push_back(a);
  }
  if (args.empty()) {
    Usage();
    return 2;
  }
  HostError error;
  auto component = HostComponent::Load(bundle, &error);
  if (!component) {
    fprintf(stderr, "orvanta: %s\n", error.message.c_str());
    return 1;
  }
  auto unit = HostUnit::Open(*component, &error);
  if (!unit) {
    fprintf(stderr, "orvanta: %s\n", error.message.c_str());
    return 1;
  }
  if (args[0] == "info" && args.size() == 1) return Info(*component, *unit);
  if (args[0] == "render" && args.size() == 3)
    return Render(*unit, preset, state, args[1], args[2]);
  if (args[0] == "save" && args.size() == 2) return Save(*unit, preset, args[1]);
  if (args[0] == "demo" && args.size() == 1) return Demo(*unit);
  Usage();
  return 2;
}
