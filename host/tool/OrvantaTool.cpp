// orvanta: the command-line host. Every command loads the component bundle and talks to the
// unit through its exported entry, as a host on the Mac would.

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "AudioFile.h"
#include "StereoImagePlot.h"
#include "ToolAnalyze.h"
#include "ToolBatch.h"
#include "ToolEffectCopy.h"
#include "ToolRender.h"
#include "ToolUnit.h"
#include "ToolValidate.h"
#include "ToolWindowPicture.h"
#include "host/Host.h"

namespace {

const char* const kOverview =
    "usage: orvanta [--bundle PATH] COMMAND [OPTIONS]\n"
    "commands:\n"
    "  render IN OUT          process an audio file through the unit\n"
    "  analyze IN             the stereo image of a file, before and after the unit\n"
    "  info                   the component as a host sees it\n"
    "  state save FILE        write the unit's state as an .aupreset file\n"
    "  state show FILE        print what an .aupreset file holds\n"
    "  preset export|import   FXP program and FXB bank files\n"
    "  snapshot OUT.png       the editor drawn without a window\n"
    "  editor                 the editor in a window\n"
    "  validate               an acceptance run of the component\n"
    "  demo                   render examples/stereo-demo.wav with \"Stereo Enhance\"\n"
    "Every command takes --help. --bundle defaults to the installed component\n"
    "(PREFIX/lib/orvanta/Orvanta.component for the tool in PREFIX/bin), else the one built\n"
    "beside the tool.\n";

const char* const kRenderHelp =
    "usage: orvanta render IN OUT [options]\n"
    "       orvanta render IN... --out-dir DIR [--jobs N] [--suffix S] [options]\n"
    "Processes IN (WAV, AIFF, FLAC, CAF, OGG, ...) through the unit into OUT block by block,\n"
    "in memory that does not grow with the file. OUT's extension names its container (.wav\n"
    ".aiff .flac .caf .w64 .rf64 .au .ogg .opus; none: WAV), written with the input's sample\n"
    "rate and sample format where the container holds it. OUT appears complete or not at all;\n"
    "a link is written through to its target, a device or pipe written into; - is stdout (the\n"
    "summary then goes to stderr). A pipe takes the formats written front to back: .au .flac\n"
    ".ogg .opus. A file holding fewer frames than its header promises is refused as truncated.\n"
    "With --out-dir, renders every IN with the same settings into DIR as <name><S>.<ext>,\n"
    "N files at a time (default: one per core), a line per file and a table at the end; a\n"
    "file that fails does not stop the others, and the exit code is 1 if any failed.\n"
    "  --preset NAME          a factory preset, by name or number\n"
    "  --set NAME=VALUE       a parameter in its own unit (as `info` shows), repeatable\n"
    "  --state FILE           a state saved as an .aupreset file\n"
    "  --fxp FILE             a program saved as an FXP file\n"
    "  --block N              frames per render call (default 512)\n"
    "  --format EXT           OUT's container by extension (flac), for - or a name without one\n"
    "  --bypass               render with the unit bypassed\n"
    "  --replace-input        let OUT be IN, replaced once the render is complete\n"
    "  --float                32-bit float samples where the container holds them (no clipping)\n"
    "  --upmix                accept mono input by feeding it to both channels\n"
    "  --report OUT.png       a picture of the stereo image before and after (see analyze)\n";

const char* const kAnalyzeHelp =
    "usage: orvanta analyze IN [--preset NAME | --set NAME=VALUE ... | --state FILE | --fxp FILE]\n"
    "                          [--plot OUT.png] [--json] [--block N]\n"
    "Measures the stereo image of IN and, when settings are given, of what the unit makes of\n"
    "it: levels, width, L/R correlation, mono compatibility and balance. A mono file is\n"
    "measured as the same signal on both sides.\n"
    "  --plot OUT.png         goniometers before and after, correlation and width over time\n"
    "  --json                 one JSON object instead of the table:\n"
    "    file (a byte that is not UTF-8 as U+FFFD), sample_rate,\n"
    "    settings (text, or null for input only),\n"
    "    input and output (output null for input only), each with:\n"
    "      frames, seconds, non_finite_samples (NaN or infinite samples, measured as 0),\n"
    "      beyond_float_range_samples (of those, finite 64-bit values too large for a float),\n"
    "      left, right, mid, side: {peak, rms}, linear, 1 = full scale; mid = (L+R)/2,\n"
    "        side = (L-R)/2\n"
    "      image: \"stereo\", \"mono\", \"side only\" or \"silent\"\n"
    "      side_to_mid_db: side RMS over mid RMS in dB; null unless image is \"stereo\"\n"
    "      correlation: L/R correlation of the whole file, -1 .. 1; null when silent\n"
    "      lowest_window_correlation: lowest over the sounding 300 ms windows; null if none\n"
    "      negative_correlation_share: share of sounding windows below 0, 0 .. 1\n"
    "      mono_sum_change_db: mid level against the channels' mean level; null when the\n"
    "        sum cancels entirely (\"side only\") or the file is silent\n"
    "      balance_db: left RMS over right RMS in dB, positive leans left; null when a\n"
    "        channel or the file is silent\n";

const char* const kInfoHelp =
    "usage: orvanta info\nPrints identity, version, channel "
    "capabilities, latency, tail, parameters and factory presets.\n";
const char* const kStateHelp =
    "usage: orvanta state save FILE.aupreset [--preset NAME] [--set NAME=VALUE ...]\n"
    "       orvanta state show FILE.aupreset\n"
    "Saves the unit's ClassInfo as hosts on the Mac write it, or shows a saved one.\n";
const char* const kPresetHelp =
    "usage: orvanta preset export (--fxp FILE | --fxb FILE) [--preset NAME] [--set ...]\n"
    "       orvanta preset import (--fxp FILE | --fxb FILE) [--save FILE.aupreset]\n"
    "Writes the unit's values as an FXP program (or the factory presets as an FXB bank), or\n"
    "reads one, shows the values it sets and saves them as a state.\n";
const char* const kSnapshotHelp =
    "usage: orvanta snapshot OUT.png [--preset NAME] [--set NAME=VALUE ...] [--state FILE]\n"
    "                        [--scale 1|2]\n"
    "Pictures the editor showing the chosen values: Orvanta's is drawn without a window, any\n"
    "other unit's is opened through its bundle's own view on the X display. --scale 2 pictures\n"
    "it as a high-density screen shows it, every pixel doubled.\n";
const char* const kEditorHelp =
    "usage: orvanta editor [--state FILE.aupreset] [--save FILE.aupreset]\n"
    "Opens the editor in a window through the unit's view factory; when the window is\n"
    "closed, the state is written to the --save file.\n";
const char* const kValidateHelp =
    "usage: orvanta validate\nRuns the unit through a host's acceptance checks, one line per "
    "check (PASS, FAIL, or SKIP for a check this unit or build cannot run); exits non-zero on "
    "any failure.\n";
const char* const kDemoHelp =
    "usage: orvanta demo [--example FILE] [--out FILE] [--snapshot FILE.png]\nRenders the example "
    "with \"Stereo "
    "Enhance\", draws the editor and prints the side-to-mid ratio before and after.\n";

// Command-line words after the command, with the shared options taken out.
struct Arguments {
  std::vector<std::string> positional;
  ToolChoices choices;
  RenderOptions render;
  bool upmix = false, help = false, json = false, replaceInput = false, floatSamples = false;
  std::string example, out, snapshot, fxp, fxb, save, plot, report, outDir, suffix, scale, format;
  unsigned jobs = 0;
};

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

int Fail(const std::string& message, int code = 1) {
  fprintf(stderr, "orvanta: %s\n", message.c_str());
  return code;
}

// The options that only take a text, and where it goes.
struct TextOption {
  const char* name;
  std::string* (*field)(Arguments*);
};
const TextOption kTextOptions[] = {
    {"--preset", [](Arguments* a) { return &a->choices.preset; }},
    {"--state", [](Arguments* a) { return &a->choices.stateFile; }},
    {"--example", [](Arguments* a) { return &a->example; }},
    {"--snapshot", [](Arguments* a) { return &a->snapshot; }},
    {"--fxp", [](Arguments* a) { return &a->fxp; }},
    {"--fxb", [](Arguments* a) { return &a->fxb; }},
    {"--save", [](Arguments* a) { return &a->save; }},
    {"--out", [](Arguments* a) { return &a->out; }},
    {"--plot", [](Arguments* a) { return &a->plot; }},
    {"--report", [](Arguments* a) { return &a->report; }},
    {"--out-dir", [](Arguments* a) { return &a->outDir; }},
    {"--suffix", [](Arguments* a) { return &a->suffix; }},
    {"--scale", [](Arguments* a) { return &a->scale; }},
    {"--format", [](Arguments* a) { return &a->format; }},
};

const TextOption* FindTextOption(const std::string& word) {
  for (const TextOption& o : kTextOptions)
    if (word == o.name) return &o;
  return nullptr;
}

// A count in digits alone (no sign or space) from `low` to `high`.
bool ParseCount(const std::string& text, long low, long high, long* count) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  *count = std::stol(text);
  return *count >= low && *count <= high;
}

// False with a message for an unknown option or a missing value. After "--" every word is an
// operand, so a file named like an option can be given.
bool ParseArguments(const std::vector<std::string>& words, Arguments* args, std::string* error) {
  bool options = true;
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    auto value = [&](std::string* into) {
      if (i + 1 >= words.size() || words[i + 1].empty()) {
        *error = w + " needs a value";
        return false;
      }
      *into = words[++i];
      return true;
    };
    std::string text;
    long count = 0;
    if (!options) {
      args->positional.push_back(w);
    } else if (w == "--") {
      options = false;
    } else if (w == "--help" || w == "-h") {
      args->help = true;
    } else if (const TextOption* option = FindTextOption(w)) {
      if (!value(option->field(args))) return false;
    } else if (w == "--set") {
      ToolSetting setting;
      if (!value(&text) || !ToolParseSetting(text, &setting, error)) return false;
      args->choices.settings.push_back(setting);
    } else if (w == "--block") {
      if (!value(&text)) return false;
      if (!ParseCount(text, 1, 1 << 20, &count)) {
        *error = "--block expects a frame count from 1 to 1048576, not \"" + text + "\"";
        return false;
      }
      args->render.block = static_cast<UInt32>(count);
    } else if (w == "--jobs") {
      if (!value(&text)) return false;
      if (!ParseCount(text, 1, 256, &count)) {
        *error = "--jobs expects a count from 1 to 256, not \"" + text + "\"";
        return false;
      }
      args->jobs = static_cast<unsigned>(count);
    } else if (w == "--float") {
      args->floatSamples = true;
    } else if (w == "--replace-input") {
      args->replaceInput = true;
    } else if (w == "--bypass") {
      args->render.bypass = true;
    } else if (w == "--upmix") {
      args->upmix = true;
    } else if (w == "--json") {
      args->json = true;
    } else if (w.size() > 1 && w[0] == '-') {
      *error = "unknown option " + w;
      return false;
    } else {
      args->positional.push_back(w);
    }
  }
  if (args->suffix.find('/') != std::string::npos) {
    *error = "--suffix cannot hold \"/\": the outputs stay inside --out-dir";
    return false;
  }
  return true;
}

std::string Levels(const MidSideMeter& l, uint64_t beyondFloat = 0) {
  char text[160];
  snprintf(text, sizeof(text), "mid peak %.4f rms %.4f, side peak %.4f rms %.4f", l.Mid().peak,
           l.Mid().rms, l.Side().peak, l.Side().rms);
  // NaN or infinity would otherwise hide behind figures that look like quiet audio.
  if (l.NonFinite())
    return text + (", " + NonFiniteText(l.NonFinite(), beyondFloat) + " (measured as 0)");
  return text;
}

bool ApplyValues(HostUnit& unit, const std::vector<float>& values, std::string* error) {
  const auto parameters = ToolParameters(unit);
  for (size_t i = 0; i < parameters.size() && i < values.size(); ++i) {
    const OSStatus s = unit.SetParameter(parameters[i].id, values[i]);
    if (s != noErr) {
      *error = "the unit refused " + parameters[i].name + " (status " + std::to_string(s) + ")";
      return false;
    }
  }
  return true;
}

// What the settings are called: the present preset's name (chosen, or the state's), marked when
// values were set after it.
std::string SettingsName(const HostUnit& unit, bool changed) {
  AUPreset present = {};
  if (unit.GetPresentPreset(&present) != noErr) return "";
  std::string name = ToolUtf8(present.presetName);
  if (present.presetName) CFRelease(present.presetName);
  return changed ? name + " (changed)" : name;
}

// The settings as a report shows them; named only when a preset or state was chosen, and
// changed by --set or an FXP program after it.
std::string SettingsLabel(const HostUnit& unit, const Arguments& args) {
  const bool named = !args.choices.preset.empty() || !args.choices.stateFile.empty();
  const bool changed = !args.choices.settings.empty() || !args.fxp.empty();
  return ToolSettingsLabel(unit, named ? SettingsName(unit, changed) : "");
}

// The command line's choices, an FXP program among them, applied to the unit.
bool ApplyAll(HostUnit& unit, const Arguments& args, std::string* error) {
  std::string notes;
  if (!ToolApplyChoices(unit, args.choices, &notes, error)) return false;
  if (!notes.empty()) fprintf(stderr, "orvanta: %s", notes.c_str());
  std::vector<float> values;
  if (!args.fxp.empty() &&
      (!ReadProgramFile(args.fxp, false, &values, error) || !ApplyValues(unit, values, error)))
    return false;
  return true;
}

int Render(HostUnit& unit, const Arguments& args) {
  if (args.positional.size() != 2)
    return Fail(std::string("render needs IN and OUT\n") + kRenderHelp, 2);
  if (args.jobs || !args.suffix.empty()) return Fail("--jobs and --suffix go with --out-dir", 2);
  const std::string& inPath = args.positional[0];
  const std::string outPath = args.positional[1] == "-" ? "/dev/stdout" : args.positional[1];
  // Audio on stdout leaves the words for stderr.
  FILE* const words = SameFile(outPath, "/dev/stdout") ? stderr : stdout;
  std::string error;
  AudioReader in;
  AudioWriter out;
  RenderOptions options = args.render;
  options.upmix = args.upmix;
  options.progress = isatty(STDERR_FILENO) != 0;
  RenderSummary summary;
  if (SameFile(inPath, outPath) && !args.replaceInput)
    return Fail(outPath + " is the input itself; add --replace-input to replace it with the render",
                2);
  if (!in.Open(inPath, &error) || !ApplyAll(unit, args, &error) ||
      !out.Open(outPath, in.SampleRate(), 2, args.floatSamples ? SF_FORMAT_FLOAT : in.Format(),
                &error, args.format))
    return Fail(error);
  // The report's meters see every block as it goes by.
  const bool report = !args.report.empty();
  std::unique_ptr<StereoImageMeter> before, after;
  RenderObserver observer;
  if (report) {
    before = std::make_unique<StereoImageMeter>(in.SampleRate());
    after = std::make_unique<StereoImageMeter>(in.SampleRate());
    observer = [&](const float* const* input, const float* const* output, size_t frames) {
      before->Add(input[0], input[1], frames);
      after->Add(output[0], output[1], frames);
    };
  }
  const auto start = std::chrono::steady_clock::now();
  if (!RenderStream(unit, in, &out, options, &summary, &error, observer) || !out.Commit(&error))
    return Fail(error);
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (report) {
    before->Finish();
    after->Finish();
    const StereoImageSubject subject{
        inPath, in.SampleRate(), SettingsLabel(unit, args) + (options.bypass ? " (bypassed)" : ""),
        ClippingText(out)};
    if (!WriteStereoImagePlot(args.report, subject, *before, after.get(), &error))
      return Fail(error);
  }
  const double seconds = double(summary.frames) / in.SampleRate();
  fprintf(words,
          "%s: %llu frames, %.2f s of audio, %.0fx real time; before %s; after %s; written as %s\n",
          args.positional[1].c_str(), static_cast<unsigned long long>(summary.frames), seconds,
          elapsed > 0 ? seconds / elapsed : 0.0,
          Levels(summary.before, in.BeyondFloatRange()).c_str(), Levels(summary.after).c_str(),
          DescribeAudioFormat(out.Format()).c_str());
  if (const std::string clipped = ClippingText(out); !clipped.empty())
    fprintf(words, "%s: %s\n", args.positional[1].c_str(), clipped.c_str());
  return 0;
}

int RenderBatch(const HostComponent& component, const Arguments& args) {
  if (args.positional.empty())
    return Fail(std::string("render --out-dir needs input files\n") + kRenderHelp, 2);
  if (!args.report.empty())
    return Fail("--report draws one render; it does not go with --out-dir", 2);
  BatchRequest request;
  request.inputs = args.positional;
  request.outDir = args.outDir;
  request.suffix = args.suffix;
  request.jobs = args.jobs;
  request.render = args.render;
  request.render.upmix = args.upmix;
  request.floatSamples = args.floatSamples;
  bool first = true;
  return ToolBatchRender(component, request, [&](HostUnit& unit, std::string* error) {
    std::string notes;
    if (!ToolApplyChoices(unit, args.choices, &notes, error)) return false;
    // Every worker's unit gets the same settings; their notes need saying once.
    if (first && !notes.empty()) fprintf(stderr, "orvanta: %s", notes.c_str());
    first = false;
    std::vector<float> values;
    return args.fxp.empty() ||
           (ReadProgramFile(args.fxp, false, &values, error) && ApplyValues(unit, values, error));
  });
}

bool HasSettings(const Arguments& args) {
  return !args.choices.preset.empty() || !args.choices.settings.empty() ||
         !args.choices.stateFile.empty() || !args.fxp.empty();
}

int Analyze(HostUnit& unit, const Arguments& args) {
  if (args.positional.size() != 1)
    return Fail(std::string("analyze needs one input file\n") + kAnalyzeHelp, 2);
  AnalyzeRequest request;
  request.input = args.positional[0];
  request.plot = args.plot;
  request.json = args.json;
  request.render = args.render;
  request.throughUnit = HasSettings(args);
  std::string error;
  if (request.throughUnit) {
    if (!ApplyAll(unit, args, &error)) return Fail(error);
    request.settings = SettingsLabel(unit, args);
  }
  return ToolAnalyze(unit, request);
}

int Info(const HostComponent& component, HostUnit& unit) {
  const ComponentDescription& d = component.Description();
  printf("%s\n  type %s, subtype %s, manufacturer %s, version %u (0x%X), entry %s\n",
         component.Name().c_str(), ToolFourCC(d.componentType).c_str(),
         ToolFourCC(d.componentSubType).c_str(), ToolFourCC(d.componentManufacturer).c_str(),
         component.Version(), component.Version(), component.EntryName().c_str());
  printf("  bundle %s (%s)\n", component.BundleIdentifier().c_str(),
         component.BundlePath().c_str());
  UInt32 size = 0;
  std::vector<AUChannelInfo> channels;
  if (unit.GetPropertyInfo(kAudioUnitProperty_SupportedNumChannels, kAudioUnitScope_Global, 0,
                           &size, nullptr) == noErr &&
      size >= sizeof(AUChannelInfo)) {
    channels.resize(size / sizeof(AUChannelInfo));
    if (AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_SupportedNumChannels,
                             kAudioUnitScope_Global, 0, channels.data(), &size) != noErr)
      channels.clear();
  }
  printf("channels:");
  if (channels.empty()) printf(" not stated (any equal count)");
  for (const AUChannelInfo& c : channels) printf(" %d in %d out;", c.inChannels, c.outChannels);
  Float64 latency = 0, tail = 0;
  unit.GetProperty(kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0, &latency);
  unit.GetProperty(kAudioUnitProperty_TailTime, kAudioUnitScope_Global, 0, &tail);
  printf("\nlatency %g s, tail %g s\n", latency, tail);
  printf("parameters:\n");
  for (const ToolParameter& p : ToolParameters(unit)) {
    std::string flags;
    if (p.flags & kAudioUnitParameterFlag_IsReadable) flags += " readable";
    if (p.flags & kAudioUnitParameterFlag_IsWritable) flags += " writable";
    if (p.flags & kAudioUnitParameterFlag_CanRamp) flags += " ramps";
    if (p.flags & kAudioUnitParameterFlag_HasCFNameString) flags += " cf-name";
    printf("  %u %-8s %-3s range %g .. %g, default %g, flags 0x%08X%s\n", p.id, p.name.c_str(),
           p.unit.c_str(), p.minValue, p.maxValue, p.defaultValue, p.flags, flags.c_str());
  }
  printf("factory presets:\n");
  for (const ToolPreset& preset : ToolFactoryPresets(unit))
    printf("  %d %s\n", preset.number, preset.name.c_str());
  return 0;
}

void PrintValue(const std::string& key, CFTypeRef value) {
  const CFTypeID type = CFGetTypeID(value);
  if (type == CFStringGetTypeID()) {
    printf("  %-14s \"%s\"\n", key.c_str(), ToolUtf8(static_cast<CFStringRef>(value)).c_str());
  } else if (type == CFNumberGetTypeID()) {
    SInt64 number = 0;
    CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberSInt64Type, &number);
    // Four-character codes read better as text.
    std::string code = ToolFourCC(static_cast<OSType>(number));
    const bool printable = number > 0x20202020 && number <= 0x7E7E7E7E &&
                           std::all_of(code.begin(), code.end(), [](char c) { return isprint(c); });
    printf("  %-14s %lld%s%s%s\n", key.c_str(), static_cast<long long>(number),
           printable ? " ('" : "", printable ? code.c_str() : "", printable ? "')" : "");
  } else if (type == CFDataGetTypeID()) {
    printf("  %-14s %ld bytes of data\n", key.c_str(),
           static_cast<long>(CFDataGetLength(static_cast<CFDataRef>(value))));
  } else if (type == CFDictionaryGetTypeID()) {
    printf("  %-14s a dictionary of %ld entries\n", key.c_str(),
           static_cast<long>(CFDictionaryGetCount(static_cast<CFDictionaryRef>(value))));
  } else {
    printf("  %-14s (a value of another type)\n", key.c_str());
  }
}

// The unit's parameter values, one a line.
void PrintParameters(const HostUnit& unit) {
  for (const ToolParameter& p : ToolParameters(unit)) {
    AudioUnitParameterValue value = 0;
    unit.GetParameter(p.id, &value);
    printf("  %-8s %s %s\n", p.name.c_str(), ToolValueText(value).c_str(), p.unit.c_str());
  }
}

int State(HostUnit& unit, const Arguments& args) {
  if (args.positional.size() != 2 || (args.positional[0] != "save" && args.positional[0] != "show"))
    return Fail(std::string("state needs save or show and a file\n") + kStateHelp, 2);
  const std::string& path = args.positional[1];
  std::string notes, error;
  if (args.positional[0] == "save") {
    if (!ToolApplyChoices(unit, args.choices, &notes, &error)) return Fail(error);
    if (!notes.empty()) fprintf(stderr, "orvanta: %s", notes.c_str());
    HostError failure;
    if (unit.SavePresetFile(path, &failure) != noErr) return Fail(failure.message);
    printf("wrote the unit's state to %s\n", path.c_str());
    return 0;
  }
  HostError failure;
  CFDictionaryRef dictionary = ReadAUPresetFile(path, &failure);
  if (!dictionary) return Fail(failure.message);
  const CFIndex count = CFDictionaryGetCount(dictionary);
  std::vector<const void*> keys(static_cast<size_t>(count)), values(static_cast<size_t>(count));
  CFDictionaryGetKeysAndValues(dictionary, keys.data(), values.data());
  std::vector<std::pair<std::string, CFTypeRef>> entries;
  for (CFIndex i = 0; i < count; ++i)
    if (CFGetTypeID(keys[i]) == CFStringGetTypeID())
      entries.emplace_back(ToolUtf8(static_cast<CFStringRef>(keys[i])), values[i]);
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  printf("%s:\n", path.c_str());
  for (const auto& [key, value] : entries) PrintValue(key, value);
  // What the unit makes of it: the parameter values it restores.
  const OSStatus status = unit.SetClassInfo(dictionary);
  CFRelease(dictionary);
  if (status != noErr)
    return Fail(path + ": the unit refuses this state (status " + std::to_string(status) + ")");
  printf("restored parameters:\n");
  PrintParameters(unit);
  return 0;
}

int Preset(HostUnit& unit, const Arguments& args) {
  const bool bank = !args.fxb.empty();
  if (args.positional.size() != 1 ||
      (args.positional[0] != "export" && args.positional[0] != "import") ||
      args.fxp.empty() == args.fxb.empty())
    return Fail(
        std::string("preset needs export or import and one of --fxp, --fxb\n") + kPresetHelp, 2);
  const std::string& path = bank ? args.fxb : args.fxp;
  std::string error, notes;
  std::vector<float> values;
  if (args.positional[0] == "export") {
    if (!ToolApplyChoices(unit, args.choices, &notes, &error)) return Fail(error);
    if (!notes.empty()) fprintf(stderr, "orvanta: %s", notes.c_str());
    if (!WriteProgramFile(ToolParameterValues(unit),
                          SettingsName(unit, !args.choices.settings.empty()), path, bank, &error))
      return Fail(error);
    printf("wrote %s\n", path.c_str());
    return 0;
  }
  std::vector<ToolProgram> programs;
  int current = 0;
  if (!ReadProgramFile(path, bank, &values, &error, bank ? &programs : nullptr, &current) ||
      !ApplyValues(unit, values, &error))
    return Fail(error);
  if (bank) {
    const auto parameters = ToolParameters(unit);
    printf("%s: %zu programs\n", path.c_str(), programs.size());
    for (size_t p = 0; p < programs.size(); ++p) {
      printf("  %zu %-16s", p, ("\"" + programs[p].name + "\"").c_str());
      for (size_t i = 0; i < parameters.size() && i < programs[p].values.size(); ++i)
        printf("%s %s %s %s", i ? "," : "", parameters[i].name.c_str(),
               ToolValueText(programs[p].values[i]).c_str(), parameters[i].unit.c_str());
      printf("\n");
    }
    printf("program %d is current:\n", current);
  } else {
    printf("%s:\n", path.c_str());
  }
  PrintParameters(unit);
  if (!args.save.empty()) {
    HostError failure;
    if (unit.SavePresetFile(args.save, &failure) != noErr) return Fail(failure.message);
    printf("wrote the unit's state to %s\n", args.save.c_str());
  }
  return 0;
}

int Snapshot(const HostComponent& component, HostUnit& unit, const Arguments& args) {
  if (args.positional.size() != 1)
    return Fail(std::string("snapshot needs OUT.png\n") + kSnapshotHelp, 2);
  if (!args.scale.empty() && args.scale != "1" && args.scale != "2")
    return Fail("--scale must be 1 or 2, not \"" + args.scale + "\"\n" + kSnapshotHelp, 2);
  const int scale = args.scale == "2" ? 2 : 1;
  std::string error;
  if (!ApplyAll(unit, args, &error)) return Fail(error);
  if (IsOrvantaComponent(component)) {
    // Orvanta's editor is drawn without a window, by the tool's copy of the effect.
    if (!DrawEditorSnapshot(component.BundlePath(), ToolParameterValues(unit), args.positional[0],
                            &error, scale))
      return Fail(error);
  } else {
    // Any other unit's editor is opened through the bundle's own view, as a host shows it.
    if (!getenv("DISPLAY") || !*getenv("DISPLAY"))
      return Fail(
          "this unit's editor is pictured through its own view, which needs an X display "
          "(set DISPLAY)");
    if (OSStatus status = unit.Initialize(); status != noErr)
      return Fail("the unit cannot be initialised (status " + std::to_string(status) + ")");
    HostError failure;
    auto view = HostEditorView::Open(unit, &failure);
    if (!view) return Fail("the editor cannot open: " + failure.message);
    // Shown within a few seconds even on a busy machine, then given time for a redraw.
    for (int wait = 0; wait < 50 && !WindowIsShown(view->Window()); ++wait) view->IdleFor(100);
    view->IdleFor(200);
    if (!WriteWindowPng(view->Window(), args.positional[0], scale, &error)) return Fail(error);
  }
  printf("wrote %s\n", args.positional[0].c_str());
  return 0;
}

int Editor(HostUnit& unit, const Arguments& args) {
  std::string error;
  if (!ApplyAll(unit, args, &error)) return Fail(error);
  // As hosts do before they show an editor: initialising runs every parameter's change hook,
  // which fills the readouts.
  if (OSStatus status = unit.Initialize(); status != noErr)
    return Fail("the unit cannot be initialised (status " + std::to_string(status) + ")");
  HostError failure;
  auto view = HostEditorView::Open(unit, &failure);
  if (!view) return Fail("the editor cannot open: " + failure.message);
  printf("editor open (%s, window %lu); close its window to finish\n", view->ClassName().c_str(),
         view->Window());
  fflush(stdout);
  while (view->Idle() > 0) view->IdleFor(50);
  view.reset();
  if (!args.save.empty()) {
    if (unit.SavePresetFile(args.save, &failure) != noErr) return Fail(failure.message);
    printf("wrote the unit's state to %s\n", args.save.c_str());
  }
  return 0;
}

int Demo(HostUnit& unit, const std::string& bundle, const Arguments& args) {
  const std::string example =
      args.example.empty() ? std::string(ORVANTA_EXAMPLE_FILE) : args.example;
  const std::string outPath =
      args.out.empty() ? std::string(ORVANTA_DEMO_DIR "/stereo-demo-enhanced.wav") : args.out;
  std::string error, notes;
  AudioReader in;
  AudioWriter out;
  RenderSummary summary;
  ToolChoices choices;
  choices.preset = "Stereo Enhance";
  if (!in.Open(example, &error) || !ToolApplyChoices(unit, choices, &notes, &error) ||
      !out.Open(outPath, in.SampleRate(), 2, in.Format(), &error) ||
      !RenderStream(unit, in, &out, RenderOptions(), &summary, &error) || !out.Commit(&error))
    return Fail(error);
  auto ratio = [](const MidSideMeter& l) {
    return l.Mid().rms > 0 ? l.Side().rms / l.Mid().rms : 0.0;
  };
  printf("rendered %s (%zu frames, %.2f s) through the Audio Unit with \"Stereo Enhance\"\n",
         example.c_str(), static_cast<size_t>(summary.frames),
         double(summary.frames) / in.SampleRate());
  printf("side-to-mid ratio (RMS): before %.3f, after %.3f\n", ratio(summary.before),
         ratio(summary.after));
  printf("wrote %s\n", outPath.c_str());
  const std::string picture = args.snapshot.empty()
                                  ? std::string(ORVANTA_DEMO_DIR "/stereo-demo-editor.png")
                                  : args.snapshot;
  if (!DrawEditorSnapshot(bundle, ToolParameterValues(unit), picture, &error)) return Fail(error);
  printf("wrote %s (the editor showing the preset)\n", picture.c_str());
  return 0;
}

// An installed tool (PREFIX/bin/orvanta) uses the component installed with it; a tool in the
// build folder, the one built beside it.
std::string DefaultBundle() {
  std::error_code failed;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", failed);
  if (!failed) {
    const std::filesystem::path installed =
        exe.parent_path().parent_path() / "lib/orvanta/Orvanta.component";
    if (std::filesystem::exists(installed / "Contents/Info.plist", failed)) return installed;
  }
  return ORVANTA_DEFAULT_BUNDLE;
}

}  // namespace

int main(int argc, char** argv) {
  std::string bundle = DefaultBundle();
  std::vector<std::string> words;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--") == 0) {
      words.insert(words.end(), argv + i, argv + argc);
      break;
    }
    if (std::strcmp(argv[i], "--bundle") == 0 && i + 1 < argc)
      bundle = argv[++i];
    else
      words.emplace_back(argv[i]);
  }
  if (words.empty() || words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
    fputs(kOverview, words.empty() ? stderr : stdout);
    return words.empty() ? 2 : 0;
  }
  const std::string command = words[0];
  const char* help = command == "render"     ? kRenderHelp
                     : command == "analyze"  ? kAnalyzeHelp
                     : command == "info"     ? kInfoHelp
                     : command == "state"    ? kStateHelp
                     : command == "validate" ? kValidateHelp
                     : command == "demo"     ? kDemoHelp
                     : command == "preset"   ? kPresetHelp
                     : command == "snapshot" ? kSnapshotHelp
                     : command == "editor"   ? kEditorHelp
                                             : nullptr;
  if (!help) return Fail("unknown command \"" + command + "\"\n" + kOverview, 2);
  Arguments args;
  std::string error;
  if (!ParseArguments({words.begin() + 1, words.end()}, &args, &error))
    return Fail(error + "\n" + help, 2);
  if (args.help) {
    fputs(help, stdout);
    return 0;
  }
  if (command == "validate") return ValidateComponent(bundle) ? 0 : 1;
  HostError failure;
  auto component = HostComponent::Load(bundle, &failure);
  if (!component) return Fail(bundle + ": " + failure.message);
  // These work through the tool's own copy of Orvanta, which stands for no other unit.
  if ((command == "preset" || command == "demo") && !IsOrvantaComponent(*component))
    return Fail(bundle + ": not Orvanta's bundle; \"" + command +
                "\" works through the tool's copy of Orvanta and only with its bundle");
  if (command == "render" && !args.outDir.empty()) return RenderBatch(*component, args);
  auto unit = HostUnit::Open(*component, &failure);
  if (!unit) return Fail(bundle + ": " + failure.message);
  if (command == "render") return Render(*unit, args);
  if (command == "analyze") return Analyze(*unit, args);
  if (command == "info") return Info(*component, *unit);
  if (command == "state") return State(*unit, args);
  if (command == "preset") return Preset(*unit, args);
  if (command == "snapshot") return Snapshot(*component, *unit, args);
  if (command == "editor") return Editor(*unit, args);
  return Demo(*unit, bundle, args);
}
