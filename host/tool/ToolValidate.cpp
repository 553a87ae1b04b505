#include "ToolValidate.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <vector>

#include "ToolEffectCopy.h"
#include "ToolUnit.h"
#include "effect/OrvantaGraphics.h"
#include "host/Host.h"
#include "host/RealtimeCounter.h"
#include "platform/x11/ResourceNames.h"
#include "raster/Raster.h"

namespace {

class Report {
 public:
  void Check(const std::string& name, bool passed, const std::string& detail = "") {
    Line(passed ? "PASS" : "FAIL", name, detail);
    ++(passed ? mPassed : mFailed);
  }
  // A check this build or this unit cannot run: said, never counted as passed.
  void Skip(const std::string& name, const std::string& reason) {
    Line("SKIP", name, reason);
    ++mSkipped;
  }
  bool Summary() const {
    printf("%d checks, %d passed, %d failed, %d skipped: %s\n", mPassed + mFailed + mSkipped,
           mPassed, mFailed, mSkipped, mFailed ? "FAILED" : "the component passes");
    return mFailed == 0;
  }

 private:
  static void Line(const char* verdict, const std::string& name, const std::string& detail) {
    printf("%s  %s%s%s\n", verdict, name.c_str(), detail.empty() ? "" : ": ", detail.c_str());
  }
  int mPassed = 0, mFailed = 0, mSkipped = 0;
};

std::string Status(OSStatus status) { return "status " + std::to_string(status); }

// Runs a check that may take the process down in a child process: its problem text ("" when
// it passes), or what ended the child.
std::string Isolated(const std::function<std::string()>& check) {
  int channel[2];
  if (pipe(channel) != 0) return check();
  fflush(nullptr);
  const pid_t child = fork();
  if (child < 0) {
    close(channel[0]);
    close(channel[1]);
    return check();
  }
  if (child == 0) {
    close(channel[0]);
    const std::string problem = check();
    const ssize_t written = write(channel[1], problem.data(), problem.size());
    _exit(written == ssize_t(problem.size()) ? 0 : 1);
  }
  close(channel[1]);
  std::string problem;
  char buffer[512];
  for (ssize_t n; (n = read(channel[0], buffer, sizeof(buffer))) != 0;)
    if (n > 0)
      problem.append(buffer, size_t(n));
    else if (errno != EINTR)
      break;
  close(channel[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFSIGNALED(status))
    return "the unit crashed (signal " + std::to_string(WTERMSIG(status)) + ", " +
           strsignal(WTERMSIG(status)) + ")";
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return "the check ended with exit status " + std::to_string(WEXITSTATUS(status));
  return problem;
}

// The effect's gain law: a dB value to a linear factor, silence at the bottom of the range.
double GainOf(double dB) { return dB > -93 ? std::pow(10.0, dB / 20) : 0.0; }

// Drives one open unit for the rendering checks: a stereo test signal in, and for Orvanta its
// mid/side arithmetic computed beside it.
class RenderRig {
 public:
  RenderRig(HostUnit& unit, bool orvanta) : mUnit(unit), mParameters(ToolParameters(unit)) {
    for (const ToolParameter& p : mParameters) {
      if (p.name == "Gain") mGain = p.id;
      if (p.name == "Mono") mMono = p.id;
      if (p.name == "Stereo") mStereo = p.id;
    }
    mArithmetic = orvanta && HasOrvantaParameters();
  }
  bool HasOrvantaParameters() const { return mGain != kNone && mMono != kNone && mStereo != kNone; }

  OSStatus Prepare(Float64 rate, UInt32 maxFrames) {
    mUnit.Uninitialize();
    OSStatus s = mUnit.SetSampleRate(rate);
    if (s == noErr) s = mUnit.SetMaximumFramesPerSlice(maxFrames);
    if (s == noErr) s = mUnit.SetStreamFormat(kAudioUnitScope_Input, 0, 2, rate);
    if (s == noErr) s = mUnit.SetStreamFormat(kAudioUnitScope_Output, 0, 2, rate);
    if (s == noErr) s = mUnit.SetRenderCallback(0, Pull, this);
    if (s == noErr) s = mUnit.Initialize();
    mBuffers = std::make_unique<HostBuffers>(2, maxFrames);
    mInput.assign(2, std::vector<float>(maxFrames));
    return s;
  }

  // Every parameter somewhere in its range.
  void SetRandomParameters(std::mt19937& random) {
    for (const ToolParameter& p : mParameters)
      mUnit.SetParameter(p.id,
                         std::uniform_real_distribution<float>(p.minValue, p.maxValue)(random));
  }

  enum class Path { kSelector, kFast };
  // Renders `frames` of the next stretch of the test signal; `poison` replaces some input
  // samples with NaN and infinities.
  OSStatus RenderBlock(UInt32 frames, bool poison = false, Path path = Path::kSelector) {
    for (UInt32 i = 0; i < frames; ++i) {
      const double t = double(mPosition + i);
      mInput[0][i] = static_cast<float>(0.5 * std::sin(t * 0.031) + 0.25 * std::sin(t * 0.17));
      mInput[1][i] = static_cast<float>(0.5 * std::sin(t * 0.031) - 0.3 * std::sin(t * 0.07));
    }
    if (poison && frames > 0) {
      mInput[0][0] = NAN;
      mInput[1][frames / 2] = INFINITY;
      mInput[0][frames - 1] = -INFINITY;
    }
    mBuffers->Reset();
    const Float64 time = static_cast<Float64>(mPosition);
    const OSStatus s = path == Path::kFast ? mUnit.FastRender(0, time, frames, mBuffers->List())
                                           : mUnit.Render(0, time, frames, mBuffers->List());
    mPosition += frames;
    mFrames = frames;
    return s;
  }

  // Empty when the last block is finite, free of subnormals and, for Orvanta, equal to the
  // arithmetic.
  std::string CompareLastBlock() const {
    for (UInt32 c = 0; c < 2; ++c)
      for (UInt32 i = 0; i < mFrames; ++i) {
        const float got = mBuffers->Channel(c)[i];
        if (!std::isfinite(got)) return "non-finite output at frame " + std::to_string(i);
        if (got != 0 && std::fabs(got) < FLT_MIN)
          return "subnormal output at frame " + std::to_string(i);
      }
    if (!mArithmetic) return "";
    AudioUnitParameterValue gain = 0, mono = 0, stereo = 0;
    mUnit.GetParameter(mGain, &gain);
    mUnit.GetParameter(mMono, &mono);
    mUnit.GetParameter(mStereo, &stereo);
    const double g = GainOf(gain), m = 0.5 * GainOf(mono), s = 0.5 * GainOf(stereo);
    for (UInt32 i = 0; i < mFrames; ++i) {
      const double l = mInput[0][i], r = mInput[1][i];
      const double mid = (l + r) * m, side = (l - r) * s;
      const double expected[2] = {(mid + side) * g, (mid - side) * g};
      for (UInt32 c = 0; c < 2; ++c) {
        const float got = mBuffers->Channel(c)[i];
        if (std::fabs(got - expected[c]) > 4e-7 * (1 + std::fabs(expected[c])))
          return "channel " + std::to_string(c) + " frame " + std::to_string(i) + " is " +
                 std::to_string(got) + ", the arithmetic gives " + std::to_string(expected[c]);
      }
    }
    return "";
  }

  // Steps back over the last block, so the next one renders the same input again.
  void Rewind() { mPosition -= mFrames; }
  size_t Position() const { return mPosition; }
  void Seek(size_t position) { mPosition = position; }
  void Advance(UInt32 frames) { mPosition += frames; }
  // The last block's output, channel by channel.
  std::vector<std::vector<float>> Output() const {
    std::vector<std::vector<float>> out(2);
    for (UInt32 c = 0; c < 2; ++c)
      out[c].assign(mBuffers->Channel(c), mBuffers->Channel(c) + mFrames);
    return out;
  }
  const std::vector<float>& Input(UInt32 channel) const { return mInput[channel]; }

 private:
  static constexpr AudioUnitParameterID kNone = 0xFFFFFFFF;
  static OSStatus Pull(void* ref, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32,
                       UInt32 frames, AudioBufferList* io) {
    auto* rig = static_cast<RenderRig*>(ref);
    for (UInt32 c = 0; c < io->mNumberBuffers && c < 2; ++c)
      if (io->mBuffers[c].mData)
        std::copy_n(rig->mInput[c].begin(), frames, static_cast<float*>(io->mBuffers[c].mData));
    return noErr;
  }

  HostUnit& mUnit;
  const std::vector<ToolParameter> mParameters;
  AudioUnitParameterID mGain = kNone, mMono = kNone, mStereo = kNone;
  bool mArithmetic = false;
  std::unique_ptr<HostBuffers> mBuffers;
  std::vector<std::vector<float>> mInput;
  size_t mPosition = 0;
  UInt32 mFrames = 0;
};

std::string FourCCText(UInt32 code) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) text += char((code >> shift) & 0xFF);
  return text;
}

// The Info.plist entry hosts register the unit under against what the unit says of itself:
// its version call and saved state, the codes it gives its own view component, and whether it
// takes input as an effect does.
void CheckIdentity(const HostComponent& component, HostUnit& unit, Report& report) {
  const char* name = "Info.plist and the unit agree on version, type, subtype and maker";
  SInt64 savedVersion = -1;
  CFPropertyListRef saved = nullptr;
  if (unit.GetClassInfo(&saved) == noErr && saved &&
      CFGetTypeID(saved) == CFDictionaryGetTypeID()) {
    const void* value = CFDictionaryGetValue(static_cast<CFDictionaryRef>(saved), CFSTR("version"));
    if (!value || CFGetTypeID(value) != CFNumberGetTypeID() ||
        !CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberSInt64Type, &savedVersion))
      savedVersion = -1;
  }
  if (saved) CFRelease(saved);
  ComponentDescription view = {};
  const bool hasView = unit.GetProperty(kAudioUnitProperty_GetUIComponentList,
                                        kAudioUnitScope_Global, 0, &view) == noErr;
  UInt32 inputs = 0;
  unit.GetProperty(kAudioUnitProperty_ElementCount, kAudioUnitScope_Input, 0, &inputs);
  const ComponentDescription& plist = component.Description();
  const bool listedAsEffect = plist.componentType == kAudioUnitType_Effect ||
                              plist.componentType == kAudioUnitType_MusicEffect;
  const bool listedAsSource = plist.componentType == kAudioUnitType_MusicDevice ||
                              plist.componentType == kAudioUnitType_Generator;
  struct Field {
    const char* what;
    SInt64 listed, reported;
    bool code;
  } fields[] = {
      {"version", component.Version(), unit.Version(), false},
      {"version in the saved state", component.Version(), savedVersion, false},
      {"subtype", plist.componentSubType, hasView ? view.componentSubType : plist.componentSubType,
       true},
      {"manufacturer", plist.componentManufacturer,
       hasView ? view.componentManufacturer : plist.componentManufacturer, true},
  };
  std::string problem;
  for (const Field& f : fields) {
    if (f.listed == f.reported) continue;
    auto text = [&f](SInt64 v) {
      if (f.code) return "'" + FourCCText(UInt32(v)) + "'";
      char hex[32];
      snprintf(hex, sizeof(hex), "0x%llX", static_cast<long long>(v));
      return std::string(hex);
    };
    problem += std::string(problem.empty() ? "" : "; ") + "Info.plist says " + f.what + " " +
               text(f.listed) + ", the unit " + (f.reported < 0 ? "gives none" : text(f.reported));
  }
  if ((listedAsEffect && inputs == 0) || (listedAsSource && inputs > 0))
    problem += std::string(problem.empty() ? "" : "; ") + "Info.plist says type '" +
               FourCCText(plist.componentType) + "', the unit has " + std::to_string(inputs) +
               " input buses";
  report.Check(name, problem.empty(), problem);
}

// The editor's images sit in the bundle's Resources folder, where the unit loads them from:
// each one there must decode, and each one Orvanta's editor asks for must be there.
void CheckArtwork(const HostComponent& component, HostUnit& unit, Report& report) {
  const char* name = "the bundle's images load";
  UInt32 size = 0;
  if (unit.GetPropertyInfo(kAudioUnitProperty_CocoaUI, kAudioUnitScope_Global, 0, &size, nullptr) !=
      noErr) {
    report.Skip(name, "the unit has no editor");
    return;
  }
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(component.BundlePath()) / "Contents" / "Resources";
  std::error_code error;
  std::vector<std::string> images;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    if (it->path().extension() == ".png") images.push_back(it->path().string());
  std::string problem;
  auto add = [&problem](const std::string& text) {
    problem += (problem.empty() ? "" : "; ") + text;
  };
  if (IsOrvantaComponent(component)) {
    for (const char* asked : {orvanta_editor::kBackgroundFile, orvanta_editor::kKnobFile,
                              orvanta_editor::kFaderCapFile, orvanta_editor::kFontFile}) {
      UTL_String path;
      if (!viewrules::ResourcePath(folder.c_str(), asked, &path) ||
          std::find(images.begin(), images.end(), path.Get()) == images.end())
        add(fs::path(asked).filename().string() + " is missing from " + folder.string());
    }
    report.Check("Orvanta: the editor's 4 images are in the bundle", problem.empty(), problem);
    problem.clear();
  }
  if (images.empty()) {
    report.Skip(name, "the bundle has none");
    return;
  }
  for (const std::string& image : images) {
    RAS_IBitmap* bitmap = RAS_LoadPNG(image.c_str());
    if (!bitmap) add(image + " does not load");
    delete bitmap;
  }
  report.Check(name + (" (" + std::to_string(images.size()) + ")"), problem.empty(), problem);
}

void CheckOpenClose(const HostComponent& component, Report& report) {
  for (int i = 0; i < 20; ++i) {
    HostError error;
    auto unit = HostUnit::Open(component, &error);
    if (!unit || unit->Close() != noErr) {
      report.Check("open and close 20 times", false,
                   "cycle " + std::to_string(i) + ": " + error.message);
      return;
    }
  }
  report.Check("open and close 20 times", true);
}

void CheckProperties(HostUnit& unit, Report& report) {
  struct Required {
    const char* name;
    AudioUnitPropertyID id;
    AudioUnitScope scope;
  } required[] = {
      {"ClassInfo", kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global},
      {"ParameterList", kAudioUnitProperty_ParameterList, kAudioUnitScope_Global},
      {"StreamFormat (input)", kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input},
      {"StreamFormat (output)", kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output},
      {"SampleRate", kAudioUnitProperty_SampleRate, kAudioUnitScope_Output},
      {"MaximumFramesPerSlice", kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global},
      {"Latency", kAudioUnitProperty_Latency, kAudioUnitScope_Global},
      {"TailTime", kAudioUnitProperty_TailTime, kAudioUnitScope_Global},
      {"SupportedNumChannels", kAudioUnitProperty_SupportedNumChannels, kAudioUnitScope_Global},
      {"FactoryPresets", kAudioUnitProperty_FactoryPresets, kAudioUnitScope_Global},
      {"PresentPreset", kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global},
  };
  std::string missing;
  for (const Required& r : required) {
    UInt32 size = 0;
    const OSStatus s = unit.GetPropertyInfo(r.id, r.scope, 0, &size, nullptr);
    if (s != noErr || size == 0)
      missing += std::string(missing.empty() ? "" : ", ") + r.name + " (" + Status(s) + ")";
  }
  report.Check("required properties answered", missing.empty(), missing);
  AudioStreamBasicDescription format = {};
  const OSStatus s =
      unit.GetProperty(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, &format);
  report.Check("output format is stereo float",
               s == noErr && format.mChannelsPerFrame == 2 &&
                   (format.mFormatFlags & kAudioFormatFlagIsFloat),
               s == noErr ? "" : Status(s));
}

void CheckClassInfo(HostUnit& unit, const char* when, Report& report) {
  const auto before = ToolParameterValues(unit);
  CFPropertyListRef saved = nullptr;
  OSStatus s = unit.GetClassInfo(&saved);
  if (s != noErr || !saved) {
    report.Check(std::string("ClassInfo round trip ") + when, false, Status(s));
    return;
  }
  // Move every parameter, then restore: the saved values must come back exactly.
  for (const ToolParameter& p : ToolParameters(unit))
    unit.SetParameter(p.id, p.minValue + (p.maxValue - p.minValue) * 0.37f);
  s = unit.SetClassInfo(saved);
  CFRelease(saved);
  const bool same = s == noErr && ToolParameterValues(unit) == before;
  report.Check(std::string("ClassInfo round trip ") + when, same,
               s != noErr ? Status(s)
               : same     ? ""
                          : "restored values differ");
}

void CheckPresets(HostUnit& unit, Report& report) {
  const auto presets = ToolFactoryPresets(unit);
  std::string problem = presets.empty() ? "no factory presets" : "";
  for (const ToolPreset& preset : presets) {
    OSStatus s = unit.SetPresentPreset(preset.number);
    AUPreset present = {};
    if (s == noErr) s = unit.GetPresentPreset(&present);
    const std::string name = ToolUtf8(present.presetName);
    if (present.presetName) CFRelease(present.presetName);
    if (s != noErr || present.presetNumber != preset.number || name != preset.name)
      problem = "\"" + preset.name + "\" did not apply (" + Status(s) + ")";
  }
  report.Check("factory presets apply (" + std::to_string(presets.size()) + ")", problem.empty(),
               problem);
}

void CheckParameterText(HostUnit& unit, Report& report) {
  std::string problem;
  for (const ToolParameter& p : ToolParameters(unit)) {
    // The middle of a switch's range is no value it takes: a whole value is checked instead.
    float middle = (p.minValue + p.maxValue) / 2;
    if (p.stepped) middle = std::round(middle);
    for (float value : {p.minValue, p.defaultValue, middle, p.maxValue}) {
      AudioUnitParameterStringFromValue toText = {p.id, &value, nullptr};
      OSStatus s = unit.GetProperty(kAudioUnitProperty_ParameterStringFromValue,
                                    kAudioUnitScope_Global, 0, &toText);
      if (s != noErr || !toText.outString) {
        problem = p.name + " gives no text for " + std::to_string(value) + " (" + Status(s) + ")";
        break;
      }
      AudioUnitParameterValueFromString toValue = {p.id, toText.outString, 0};
      s = unit.GetProperty(kAudioUnitProperty_ParameterValueFromString, kAudioUnitScope_Global, 0,
                           &toValue);
      const std::string text = ToolUtf8(toText.outString);
      CFRelease(toText.outString);
      // The text is rounded to its display precision; a tenth of the range per digit shown is
      // far more than that, while a wrong mapping misses by much more.
      const double allowed = 0.01 * (1 + std::fabs(value));
      if (s != noErr || std::fabs(toValue.outValue - value) > allowed) {
        problem = p.name + " " + std::to_string(value) + " -> \"" + text + "\" -> " +
                  (s == noErr ? std::to_string(toValue.outValue) : Status(s));
        break;
      }
    }
  }
  report.Check("parameter text round trips", problem.empty(), problem);
}

// Empty when both hold the same samples.
using Samples = std::vector<std::vector<float>>;
std::string Difference(const Samples& expected, const Samples& got) {
  for (size_t c = 0; c < expected.size(); ++c)
    for (size_t i = 0; i < expected[c].size(); ++i)
      if (got[c][i] != expected[c][i])
        return "channel " + std::to_string(c) + " frame " + std::to_string(i) + " is " +
               std::to_string(got[c][i]) + " instead of " + std::to_string(expected[c][i]);
  return "";
}

// The fast-dispatch procedure (what hosts call) against the Render selector, bypass, and
// zero-frame renders.
void CheckRenderPaths(HostUnit& unit, RenderRig& rig, Report& report) {
  OSStatus s = rig.Prepare(44100, 512);
  std::mt19937 random(2);
  rig.SetRandomParameters(random);
  const bool hasFast = s == noErr && unit.FastRenderProc() != nullptr;
  if (!hasFast) {
    report.Skip("fast-dispatch render gives the Render selector's samples",
                s != noErr ? Status(s) : "the unit offers no fast-dispatch render");
  } else {
    std::string problem;
    for (UInt32 block : {512u, 100u, 1u}) {
      s = rig.RenderBlock(block);
      const Samples selector = rig.Output();
      rig.Rewind();
      if (s == noErr) s = rig.RenderBlock(block, false, RenderRig::Path::kFast);
      problem = s != noErr ? Status(s) : Difference(selector, rig.Output());
      if (!problem.empty()) {
        problem = std::to_string(block) + " frames: " + problem;
        break;
      }
    }
    report.Check("fast-dispatch render gives the Render selector's samples", problem.empty(),
                 problem);
  }

  UInt32 on = 1, off = 0;
  s = unit.SetProperty(kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global, 0, on);
  if (s != noErr) {
    report.Skip("bypass passes the input through", "the unit refuses bypass (" + Status(s) + ")");
  } else {
    std::string problem;
    for (RenderRig::Path path : {RenderRig::Path::kSelector, RenderRig::Path::kFast}) {
      if (path == RenderRig::Path::kFast && !hasFast) continue;
      s = rig.RenderBlock(256, false, path);
      const Samples input = {{rig.Input(0).begin(), rig.Input(0).begin() + 256},
                             {rig.Input(1).begin(), rig.Input(1).begin() + 256}};
      problem = s != noErr ? Status(s) : Difference(input, rig.Output());
      if (!problem.empty()) {
        problem = (path == RenderRig::Path::kFast ? "fast render: " : "Render: ") + problem;
        break;
      }
    }
    unit.SetProperty(kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global, 0, off);
    report.Check("bypass passes the input through", problem.empty(), problem);
  }

  // A unit that dies on an empty render takes its host with it: run it where it cannot.
  const std::string problem = Isolated([&]() -> std::string {
    for (RenderRig::Path path : {RenderRig::Path::kSelector, RenderRig::Path::kFast}) {
      if (path == RenderRig::Path::kFast && !hasFast) continue;
      rig.RenderBlock(0, false, path);
      // Inputs are pulled once per sample time, so the next block starts at a new one.
      rig.Advance(1);
      const OSStatus after = rig.RenderBlock(64, false, path);
      const std::string wrong = after != noErr ? Status(after) : rig.CompareLastBlock();
      if (!wrong.empty()) return "the render after an empty one: " + wrong;
    }
    return "";
  });
  report.Check("zero-frame renders", problem.empty(), problem);
}

// What hosts' audio threads need: no allocation, no lock beyond the unit's own mutex (which
// the Render selector holds), and a block rendered in well under its own duration.
void CheckRealtime(RenderRig& rig, Report& report) {
  OSStatus s = rig.Prepare(44100, 512);
  const bool hasFast = s == noErr && rig.RenderBlock(512, false, RenderRig::Path::kFast) == noErr;
  if (s == noErr) s = rig.RenderBlock(512);  // the first render may settle lazily made state
  constexpr int kRenders = 50;
  long long allocations[2] = {}, locks[2] = {};
  for (int path = 0; path < (hasFast ? 2 : 1); ++path) {
    realtime_counter::Scope scope;
    for (int i = 0; i < kRenders && s == noErr; ++i)
      s = rig.RenderBlock(i % 2 ? 512 : 100, false,
                          path ? RenderRig::Path::kFast : RenderRig::Path::kSelector);
    allocations[path] = scope.Allocations();
    locks[path] = scope.Locks();
  }
  const std::string counted = std::to_string(kRenders) + " renders through Render" +
                              (hasFast ? " and " + std::to_string(kRenders) + " fast ones" : "");
  report.Check("rendering allocates nothing", s == noErr && !allocations[0] && !allocations[1],
               s != noErr ? Status(s)
                          : std::to_string(allocations[0]) + " and " +
                                std::to_string(allocations[1]) + " allocations in " + counted);
  if (!realtime_counter::CountsLocks())
    report.Skip("rendering takes no lock but the unit's own", "this build cannot count locks");
  else
    report.Check("rendering takes no lock but the unit's own",
                 s == noErr && locks[0] <= kRenders && locks[1] == 0,
                 std::to_string(locks[0]) + " and " + std::to_string(locks[1]) +
                     " lock acquisitions in " + counted);

  // The median of many, so a descheduled render or two does not decide.
  std::vector<double> seconds;
  for (int i = 0; i < 51 && s == noErr; ++i) {
    const auto start = std::chrono::steady_clock::now();
    s = rig.RenderBlock(512, false, hasFast ? RenderRig::Path::kFast : RenderRig::Path::kSelector);
    seconds.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  if (s != noErr) {
    report.Check("a 512-frame block renders in under a quarter of its duration", false, Status(s));
    return;
  }
  std::nth_element(seconds.begin(), seconds.begin() + 25, seconds.end());
  const double median = seconds[25], budget = 512 / 44100.0 / 4;
  char detail[96];
  snprintf(detail, sizeof(detail), "median %.3f ms at 44.1 kHz, the budget %.3f ms", median * 1e3,
           budget * 1e3);
  report.Check("a 512-frame block renders in under a quarter of its duration", median < budget,
               detail);
}

// Empty when the two hold the same samples but for the rounding of a float.
std::string Deviation(const Samples& expected, const Samples& got) {
  for (size_t c = 0; c < expected.size(); ++c)
    for (size_t i = 0; i < expected[c].size(); ++i)
      if (!(std::fabs(got[c][i] - expected[c][i]) <= 1e-6f * (1 + std::fabs(expected[c][i]))))
        return "channel " + std::to_string(c) + " frame " + std::to_string(i) + " is " +
               std::to_string(got[c][i]) + " instead of " + std::to_string(expected[c][i]);
  return "";
}

// A stretch rendered in one block, then again from a reset in blocks of many sizes: a host
// may split its audio anywhere.
std::string BlockSplitProblem(HostUnit& unit, RenderRig& rig) {
  constexpr UInt32 kFrames = 4096;
  OSStatus s = rig.Prepare(44100, kFrames);
  std::mt19937 random(3);
  rig.SetRandomParameters(random);
  const size_t start = rig.Position();
  if (s == noErr) s = unit.Reset();
  if (s == noErr) s = rig.RenderBlock(kFrames);
  if (s != noErr) return Status(s);
  const Samples whole = rig.Output();
  Samples split(2);
  rig.Seek(start);
  s = unit.Reset();
  for (UInt32 done = 0, i = 0; done < kFrames && s == noErr; ++i) {
    constexpr UInt32 kSizes[] = {1, 17, 64, 100, 512, 3};
    const UInt32 block = std::min(kSizes[i % std::size(kSizes)], kFrames - done);
    s = rig.RenderBlock(block);
    for (UInt32 c = 0; c < 2; ++c) {
      const auto out = rig.Output()[c];
      split[c].insert(split[c].end(), out.begin(), out.end());
    }
    done += block;
  }
  return s != noErr ? Status(s) : Deviation(whole, split);
}

void CheckRendering(const HostComponent& component, HostUnit& unit, Report& report) {
  const bool orvanta = IsOrvantaComponent(component);
  RenderRig rig(unit, orvanta);
  if (orvanta && !rig.HasOrvantaParameters()) {
    report.Check("Orvanta: its parameters", false,
                 "the unit lacks the Gain, Mono and Stereo parameters");
    return;
  }
  AudioStreamBasicDescription format = {};
  if (unit.GetProperty(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, &format) !=
          noErr ||
      format.mChannelsPerFrame != 2) {
    report.Skip("rendering", "the rendering checks drive stereo units only");
    return;
  }
  std::mt19937 random(12345);
  rig.SetRandomParameters(random);
  std::string problem;
  for (Float64 rate : {8000.0, 22050.0, 44100.0, 48000.0, 96000.0, 192000.0}) {
    OSStatus s = rig.Prepare(rate, 4096);
    for (UInt32 block : {1u, 17u, 64u, 512u, 1024u, 4096u}) {
      if (s == noErr) s = rig.RenderBlock(block);
      if (s != noErr) {
        problem =
            std::to_string(int(rate)) + " Hz, " + std::to_string(block) + " frames: " + Status(s);
        break;
      }
      const std::string mismatch = rig.CompareLastBlock();
      if (!mismatch.empty())
        problem =
            std::to_string(int(rate)) + " Hz, " + std::to_string(block) + " frames: " + mismatch;
    }
    if (!problem.empty()) break;
  }
  report.Check(orvanta ? "Orvanta: renders 8000-192000 Hz in blocks of 1-4096 frames as mid/side "
                         "arithmetic"
                       : "renders 8000-192000 Hz in blocks of 1-4096 frames, finite",
               problem.empty(), problem);

  problem = BlockSplitProblem(unit, rig);
  report.Check("the same output at every block split", problem.empty(), problem);

  OSStatus s = rig.Prepare(48000, 512);
  const OSStatus tooMany = s == noErr ? rig.RenderBlock(513) : s;
  // Units answer this with their own error code; what matters is that nothing is rendered.
  report.Check("render above the maximum frames refused", tooMany != noErr,
               "the unit answered with " + Status(tooMany));

  problem.clear();
  s = rig.Prepare(44100, 1024);
  for (int i = 0; i < 200 && problem.empty(); ++i) {
    const UInt32 block = 1 + random() % 1024;
    if (i % 10 == 0) rig.SetRandomParameters(random);
    if (s == noErr) s = rig.RenderBlock(block);
    problem = s != noErr ? Status(s) : rig.CompareLastBlock();
    if (!problem.empty())
      problem = "block " + std::to_string(i) + " of " + std::to_string(block) + ": " + problem;
  }
  report.Check("random block sizes with parameter changes between renders", problem.empty(),
               problem);

  s = rig.RenderBlock(256, true);
  if (s == noErr) s = rig.RenderBlock(256);
  problem = s != noErr ? Status(s) : rig.CompareLastBlock();
  report.Check("NaN and infinite input do not poison later blocks", problem.empty(), problem);

  CheckRenderPaths(unit, rig, report);
  CheckRealtime(rig, report);
  unit.Uninitialize();
}

CFNumberRef Number(SInt32 value) { return CFNumberCreate(nullptr, kCFNumberSInt32Type, &value); }

// Empty when every hostile dictionary is refused and leaves the state alone.
std::string HostileClassInfoProblem(HostUnit& unit) {
  CFPropertyListRef own = nullptr;
  if (unit.GetClassInfo(&own) != noErr || !own || CFGetTypeID(own) != CFDictionaryGetTypeID()) {
    if (own) CFRelease(own);
    return "the unit gave no ClassInfo dictionary";
  }
  // Values away from every preset, so a refused dictionary that still selects one shows. (A
  // dictionary without "data" is a bare preset reference, which selects its preset by design.)
  auto moveAway = [&unit] {
    for (const ToolParameter& p : ToolParameters(unit))
      unit.SetParameter(p.id, p.minValue + (p.maxValue - p.minValue) * 0.61f);
  };
  moveAway();
  const auto kept = ToolParameterValues(unit);
  const auto original = static_cast<CFDictionaryRef>(own);
  using Edit = std::function<void(CFMutableDictionaryRef)>;
  auto set = [](const char* key, CFTypeRef value) {
    return Edit([key, value](CFMutableDictionaryRef d) {
      CFStringRef k = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
      if (value)
        CFDictionarySetValue(d, k, value);
      else
        CFDictionaryRemoveValue(d, k);
      CFRelease(k);
    });
  };
  const UInt8 shortData[5] = {1, 2, 3, 4, 5};
  CFDataRef truncated = CFDataCreate(nullptr, shortData, sizeof(shortData));
  CFNumberRef wrongCode = Number(0x41424344), zero = Number(0);
  CFStringRef text = CFStringCreateWithCString(nullptr, "not data", kCFStringEncodingUTF8);
  const std::pair<const char*, Edit> cases[] = {
      {"with truncated data", set("data", truncated)},
      {"with text for data", set("data", text)},
      {"with another subtype", set("subtype", wrongCode)},
      {"with another manufacturer", set("manufacturer", wrongCode)},
      {"with type 0", set("type", zero)},
      {"without a name", set("name", nullptr)},
      {"with a number for the name", set("name", zero)},
  };
  std::string problem;
  for (const auto& [what, edit] : cases) {
    moveAway();
    CFMutableDictionaryRef hostile = CFDictionaryCreateMutableCopy(nullptr, 0, original);
    edit(hostile);
    const OSStatus s = unit.SetClassInfo(hostile);
    CFRelease(hostile);
    if (s == noErr)
      problem += std::string(problem.empty() ? "" : "; ") + "accepted one " + what;
    else if (ToolParameterValues(unit) != kept)
      problem += std::string(problem.empty() ? "" : "; ") + "state changed by one " + what;
  }
  const OSStatus s = unit.SetClassInfo(text);
  if (s == noErr) problem += std::string(problem.empty() ? "" : "; ") + "accepted a string";
  CFRelease(truncated);
  CFRelease(wrongCode);
  CFRelease(zero);
  CFRelease(text);
  CFRelease(own);
  return problem;
}

}  // namespace

bool ValidateComponent(const std::string& bundlePath) {
  Report report;
  HostError error;
  auto component = HostComponent::Load(bundlePath, &error);
  report.Check("bundle loads through its exported entry", component != nullptr,
               component ? "" : bundlePath + ": " + error.message);
  if (!component) return report.Summary();
  CheckOpenClose(*component, report);
  auto unit = HostUnit::Open(*component, &error);
  if (!unit) {
    report.Check("unit opens", false, error.message);
    return report.Summary();
  }
  CheckIdentity(*component, *unit, report);
  CheckArtwork(*component, *unit, report);
  CheckProperties(*unit, report);
  CheckClassInfo(*unit, "before Initialize", report);
  CheckPresets(*unit, report);
  CheckParameterText(*unit, report);
  CheckRendering(*component, *unit, report);
  CheckClassInfo(*unit, "after rendering", report);
  // A unit that dies on a bad dictionary takes its host with it: run it where it cannot.
  const std::string hostile = Isolated([&unit] { return HostileClassInfoProblem(*unit); });
  report.Check("hostile ClassInfo dictionaries refused, state kept", hostile.empty(), hostile);
  unit.reset();
  return report.Summary();
}
