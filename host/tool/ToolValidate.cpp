#include "ToolValidate.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include "ToolUnit.h"
#include "host/Host.h"
#include "host/RealtimeCounter.h"

namespace {

class Report {
 public:
  void Check(const std::string& name, bool passed, const std::string& detail = "") {
    printf("%s  %s%s%s\n", passed ? "PASS" : "FAIL", name.c_str(), detail.empty() ? "" : ": ",
           detail.empty() ? "" : detail.c_str());
    ++(passed ? mPassed : mFailed);
  }
  bool Summary() const {
    printf("%d checks, %d passed, %d failed: %s\n", mPassed + mFailed, mPassed, mFailed,
           mFailed ? "FAILED" : "the component passes");
    return mFailed == 0;
  }

 private:
  int mPassed = 0, mFailed = 0;
};

std::string Status(OSStatus status) { return "status " + std::to_string(status); }

// The effect's gain law: a dB value to a linear factor, silence at the bottom of the range.
double GainOf(double dB) { return dB > -93 ? std::pow(10.0, dB / 20) : 0.0; }

// Drives one open unit for the rendering checks: a stereo test signal in, the effect's
// mid/side arithmetic computed beside it.
class RenderRig {
 public:
  explicit RenderRig(HostUnit& unit) : mUnit(unit) {
    for (const ToolParameter& p : ToolParameters(unit)) {
      if (p.name == "Gain") mGain = p.id;
      if (p.name == "Mono") mMono = p.id;
      if (p.name == "Stereo") mStereo = p.id;
    }
  }
  bool HasParameters() const { return mGain != kNone && mMono != kNone && mStereo != kNone; }

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

  void SetParameters(double gain, double mono, double stereo) {
    mUnit.SetParameter(mGain, static_cast<float>(gain));
    mUnit.SetParameter(mMono, static_cast<float>(mono));
    mUnit.SetParameter(mStereo, static_cast<float>(stereo));
  }

  // Renders `frames` of the next stretch of the test signal; `poison` replaces some input
  // samples with NaN and infinities.
  OSStatus RenderBlock(UInt32 frames, bool poison = false) {
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
    const OSStatus s = mUnit.Render(0, static_cast<Float64>(mPosition), frames, mBuffers->List());
    mPosition += frames;
    mFrames = frames;
    return s;
  }

  // Empty when the last block is finite, free of subnormals and equal to the arithmetic.
  std::string CompareLastBlock() const {
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
        if (!std::isfinite(got)) return "non-finite output at frame " + std::to_string(i);
        if (got != 0 && std::fabs(got) < FLT_MIN)
          return "subnormal output at frame " + std::to_string(i);
        if (std::fabs(got - expected[c]) > 4e-7 * (1 + std::fabs(expected[c])))
          return "channel " + std::to_string(c) + " frame " + std::to_string(i) + " is " +
                 std::to_string(got) + ", the arithmetic gives " + std::to_string(expected[c]);
      }
    }
    return "";
  }

  // Empty when the last block is finite.
  std::string FiniteLastBlock() const {
    for (UInt32 c = 0; c < 2; ++c)
      for (UInt32 i = 0; i < mFrames; ++i)
        if (!std::isfinite(mBuffers->Channel(c)[i]))
          return "non-finite output at frame " + std::to_string(i);
    return "";
  }

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
  AudioUnitParameterID mGain = kNone, mMono = kNone, mStereo = kNone;
  std::unique_ptr<HostBuffers> mBuffers;
  std::vector<std::vector<float>> mInput;
  size_t mPosition = 0;
  UInt32 mFrames = 0;
};

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
    for (float value : {p.minValue, p.defaultValue, (p.minValue + p.maxValue) / 2, p.maxValue}) {
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

void CheckRendering(HostUnit& unit, Report& report) {
  RenderRig rig(unit);
  if (!rig.HasParameters()) {
    report.Check("rendering", false, "the unit lacks the Gain, Mono and Stereo parameters");
    return;
  }
  rig.SetParameters(-3, 1.5, 4.5);
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
  report.Check("renders 8000-192000 Hz in blocks of 1-4096 frames as mid/side arithmetic",
               problem.empty(), problem);

  OSStatus s = rig.Prepare(48000, 512);
  const OSStatus tooMany = s == noErr ? rig.RenderBlock(513) : s;
  // Units answer this with their own error code; what matters is that nothing is rendered.
  report.Check("render above the maximum frames refused", tooMany != noErr,
               "the unit answered with " + Status(tooMany));

  problem.clear();
  std::mt19937 random(12345);
  s = rig.Prepare(44100, 1024);
  for (int i = 0; i < 200 && problem.empty(); ++i) {
    const UInt32 block = 1 + random() % 1024;
    if (i % 10 == 0) {
      std::uniform_real_distribution<double> dB(-94, 6);
      rig.SetParameters(dB(random), dB(random), dB(random));
    }
    if (s == noErr) s = rig.RenderBlock(block);
    problem = s != noErr ? Status(s) : rig.CompareLastBlock();
    if (!problem.empty())
      problem = "block " + std::to_string(i) + " of " + std::to_string(block) + ": " + problem;
  }
  report.Check("random block sizes with parameter changes between renders", problem.empty(),
               problem);

  rig.SetParameters(0, 0, 3);
  s = rig.RenderBlock(256, true);
  if (s == noErr) s = rig.RenderBlock(256);
  problem = s != noErr ? Status(s) : rig.CompareLastBlock();
  report.Check("NaN and infinite input do not poison later blocks", problem.empty(), problem);

  rig.RenderBlock(512);  // the first render may settle lazily made state
  long long allocations = 0;
  {
    realtime_counter::Scope scope;
    for (int i = 0; i < 50 && s == noErr; ++i) s = rig.RenderBlock(i % 2 ? 512 : 100);
    allocations = scope.Allocations();
  }
  report.Check("rendering allocates nothing", s == noErr && allocations == 0,
               s != noErr ? Status(s) : std::to_string(allocations) + " allocations in 50 renders");
  unit.Uninitialize();
}

CFNumberRef Number(SInt32 value) { return CFNumberCreate(nullptr, kCFNumberSInt32Type, &value); }

void CheckHostileClassInfo(HostUnit& unit, Report& report) {
  CFPropertyListRef own = nullptr;
  if (unit.GetClassInfo(&own) != noErr || !own || CFGetTypeID(own) != CFDictionaryGetTypeID()) {
    report.Check("hostile ClassInfo refused", false, "the unit gave no ClassInfo dictionary");
    if (own) CFRelease(own);
    return;
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
  report.Check("hostile ClassInfo dictionaries refused, state kept", problem.empty(), problem);
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
  CheckProperties(*unit, report);
  CheckClassInfo(*unit, "before Initialize", report);
  CheckPresets(*unit, report);
  CheckParameterText(*unit, report);
  CheckRendering(*unit, report);
  CheckClassInfo(*unit, "after rendering", report);
  CheckHostileClassInfo(*unit, report);
  unit.reset();
  return report.Summary();
}
