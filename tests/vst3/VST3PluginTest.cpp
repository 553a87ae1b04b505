// The VST3 bundle driven as a host drives it: module, factory, the instance's three sides,
// processing, state and the calls a careless host makes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "host/RealtimeCounter.h"
#include "vst3/VST3Strings.h"
#include "vst3/VST3TestHost.h"
#include "vst3/VST3View.h"

namespace {

using namespace vst3test;

constexpr uint32 kGainId = 0, kMonoId = 1, kStereoId = 2, kBypass = 0x62797073,
                 kProgram = 0x70726F67;
constexpr double kShapes[3] = {0.09, 0.19, 0.19};

// The Audio Unit's mapping: dB = -94 + 100 * n^shape.
double Plain(int idx, double n) { return -94.0 + 100.0 * std::pow(n, kShapes[idx]); }
double Normalized(int idx, double dB) { return std::pow((dB + 94.0) / 100.0, 1.0 / kShapes[idx]); }
double Gain(double dB) { return dB > -93.0 ? std::pow(10.0, dB / 20.0) : 0.0; }

std::string Text(const char16_t* s) {
  char text[256];
  vst3::CopyToUtf8(s, 128, text, sizeof text);
  return text;
}

// Left and right of the effect at the settings in dB (gain, mono, stereo).
void Expected(double l, double r, const double* dB, double* outL, double* outR) {
  const double mid = (l + r) * 0.5 * Gain(dB[1]), side = (l - r) * 0.5 * Gain(dB[2]);
  *outL = (mid + side) * Gain(dB[0]);
  *outR = (mid - side) * Gain(dB[0]);
}

class VST3PluginTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(host.Factory() && host.Create()); }
  Host host{OrvantaBundle()};
};

TEST(VST3Module, ExportsOnlyTheModuleFunctionsAndDescribesItsClass) {
  const std::string so = OrvantaBundle() + "/Contents/x86_64-linux/Orvanta.so";
  FILE* nm = popen(("nm -D --defined-only '" + so + "' | awk '{print $3}'").c_str(), "r");
  char line[256];
  std::string symbols;
  while (nm && std::fgets(line, sizeof line, nm)) symbols += line;
  if (nm) pclose(nm);
  EXPECT_EQ(symbols, "GetPluginFactory\nModuleEntry\nModuleExit\n");

  Host host(OrvantaBundle());
  ASSERT_TRUE(host.Factory());
  PFactoryInfo factory;
  ASSERT_EQ(host.Factory()->getFactoryInfo(&factory), kResultOk);
  EXPECT_STREQ(factory.vendor, "Quev");
  EXPECT_EQ(host.Factory()->countClasses(), 1);
  PClassInfo2 info;
  ASSERT_EQ(host.Factory()->getClassInfo2(0, &info), kResultOk);
  EXPECT_STREQ(info.category, "Audio Module Class");
  EXPECT_STREQ(info.name, "Orvanta");
  EXPECT_STREQ(info.subCategories, "Fx|Spatial");
  EXPECT_EQ(info.classFlags, 0u);
  EXPECT_EQ(host.Factory()->getClassInfo2(1, &info), kInvalidArgument);

  // moduleinfo.json names the same class.
  std::ifstream json(OrvantaBundle() + "/Contents/Resources/moduleinfo.json");
  std::stringstream text;
  text << json.rdbuf();
  EXPECT_NE(text.str().find("\"CID\": \"" + HexCID(info.cid) + "\""), std::string::npos);
  EXPECT_NE(text.str().find("\"Sub Categories\": [\"Fx\", \"Spatial\"]"), std::string::npos);

  // Unknown classes and interfaces are refused with a null object.
  void* obj = &info;
  const unsigned char other[16] = {1};
  EXPECT_EQ(host.Factory()->createInstance((const char*)other, IComponent::kIID.Bytes(), &obj),
            kNoInterface);
  EXPECT_EQ(obj, nullptr);
  obj = &info;
  EXPECT_EQ(host.Factory()->createInstance((const char*)info.cid, (const char*)other, &obj),
            kNoInterface);
  EXPECT_EQ(obj, nullptr);
}

TEST_F(VST3PluginTest, CarelessHostCallsGetResultCodes) {
  // Initialise and terminate are both idempotent, as Ardour calls each twice.
  EXPECT_EQ(host.mController->initialize(nullptr), kResultOk);
  EXPECT_EQ(host.mComponent->setActive(0), kResultOk);
  EXPECT_EQ(host.mProcessor->setProcessing(0), kResultOk);
  float l[8] = {}, r[8] = {};
  float* io[2] = {l, r};
  EXPECT_EQ(host.Process(io, io, 8), kNotInitialized);
  EXPECT_EQ(host.mComponent->setActive(1), kNotInitialized);
  ProcessSetup bad = {kRealtime, kSample32, 512, 0.0};
  EXPECT_EQ(host.mProcessor->setupProcessing(bad), kInvalidArgument);
  void* obj = &bad;
  EXPECT_EQ(host.mComponent->queryInterface(vst3::IPlugView::kIID.Bytes(), &obj), kNoInterface);
  EXPECT_EQ(obj, nullptr);

  // Only stereo: Ardour's mono (0x1) and a second bus are refused, stereo stays in force.
  SpeakerArrangement mono = 0x1, stereo[2] = {kStereo, kStereo}, arr = 0;
  EXPECT_EQ(host.mProcessor->setBusArrangements(&mono, 1, &mono, 1), kResultFalse);
  EXPECT_EQ(host.mProcessor->setBusArrangements(stereo, 2, stereo, 1), kResultFalse);
  EXPECT_EQ(host.mProcessor->getBusArrangement(kInput, 0, arr), kResultOk);
  EXPECT_EQ(arr, kStereo);
  BusInfo bus;
  EXPECT_EQ(host.mComponent->getBusInfo(kAudio, kOutput, 0, bus), kResultOk);
  EXPECT_EQ(bus.channelCount, 2);
  EXPECT_EQ(host.mComponent->getBusInfo(kAudio, kOutput, 1, bus), kInvalidArgument);
  EXPECT_EQ(host.mComponent->getBusCount(kEvent, kInput), 0);

  ASSERT_TRUE(host.Start());
  // Missing arrays are refused; missing channels read as silence and are not written.
  float* none[2] = {nullptr, nullptr};
  EXPECT_EQ(host.Process<float>(nullptr, nullptr, 8), kInvalidArgument);
  EXPECT_EQ(host.Process(none, none, 8), kResultOk);
  EXPECT_EQ(host.Process(io, io, -1), kInvalidArgument);
  EXPECT_EQ(host.mComponent->terminate(), kResultOk);
  EXPECT_EQ(host.mComponent->terminate(), kResultOk);
}

TEST_F(VST3PluginTest, ParametersMapAsTheAudioUnitAndOfferBypassAndPresets) {
  ASSERT_EQ(host.mController->getParameterCount(), 5);
  const char* titles[3] = {"Gain", "Mono", "Stereo"};
  ParameterInfo info;
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(titles[i]);
    ASSERT_EQ(host.mController->getParameterInfo(i, info), kResultOk);
    EXPECT_EQ(info.id, (uint32)i);
    EXPECT_EQ(Text(info.title), titles[i]);
    EXPECT_EQ(Text(info.units), "dB");
    EXPECT_EQ(info.stepCount, 0);
    EXPECT_EQ(info.flags, ParameterInfo::kCanAutomate);
    EXPECT_DOUBLE_EQ(info.defaultNormalizedValue, Normalized(i, 0.0));
    for (double n : {0.0, 0.3, 0.77, 1.0}) {
      EXPECT_NEAR(host.mController->normalizedParamToPlain(i, n), Plain(i, n), 1e-9);
      EXPECT_NEAR(host.mController->plainParamToNormalized(i, Plain(i, n)), n, 1e-9);
    }
  }
  String128 text;
  ASSERT_EQ(host.mController->getParamStringByValue(kStereoId, Normalized(2, 3.0), text),
            kResultOk);
  EXPECT_EQ(Text(text), "3.00");
  double n = 0;
  char16_t typed[] = u"-6.5 dB", junk[] = u"loud";
  ASSERT_EQ(host.mController->getParamValueByString(kMonoId, typed, n), kResultOk);
  EXPECT_NEAR(n, Normalized(1, -6.5), 1e-12);
  EXPECT_EQ(host.mController->getParamValueByString(kMonoId, junk, n), kResultFalse);
  EXPECT_EQ(host.mController->getParamStringByValue(77, 0.5, text), kInvalidArgument);

  ASSERT_EQ(host.mController->getParameterInfo(3, info), kResultOk);
  EXPECT_EQ(info.id, kBypass);
  EXPECT_EQ(info.flags, ParameterInfo::kIsBypass | ParameterInfo::kCanAutomate);
  EXPECT_EQ(info.stepCount, 1);
  ASSERT_EQ(host.mController->getParameterInfo(4, info), kResultOk);
  EXPECT_EQ(info.id, kProgram);
  EXPECT_EQ(info.flags, ParameterInfo::kIsProgramChange | ParameterInfo::kIsList);
  EXPECT_EQ(info.stepCount, 3);

  // The factory presets as the program list; choosing one sets its values and tells the host.
  IUnitInfo* units = nullptr;
  ASSERT_EQ(host.mComponent->queryInterface(IUnitInfo::kIID.Bytes(), (void**)&units), kResultOk);
  UnitInfo unit;
  ProgramListInfo list;
  ASSERT_EQ(units->getUnitInfo(0, unit), kResultOk);
  ASSERT_EQ(units->getProgramListInfo(0, list), kResultOk);
  EXPECT_EQ(unit.programListId, list.id);
  EXPECT_EQ(list.programCount, 4);
  const char* presets[4] = {"No Change", "Stereo Enhance", "Only Stereo", "Only Mono"};
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(units->getProgramName(list.id, i, text), kResultOk);
    EXPECT_EQ(Text(text), presets[i]);
  }
  units->release();
  Handler handler;
  ASSERT_EQ(host.mController->setComponentHandler(&handler), kResultOk);
  ASSERT_EQ(host.mController->setParamNormalized(kProgram, 2.0 / 3.0), kResultOk);
  EXPECT_DOUBLE_EQ(host.mController->getParamNormalized(kMonoId), 0.0);
  EXPECT_EQ(handler.mCalls, (std::vector<std::string>{"begin 1", "perform 1 0", "end 1"}));
  host.mController->setComponentHandler(nullptr);
}

TEST_F(VST3PluginTest, ProcessesBothWidthsInPlaceAndAllocatesNothing) {
  const int n = 3000;
  const double dB[3] = {-2.0, 1.5, 4.0}, later[3] = {-2.0, 1.5, -30.0};
  for (int32 size : {kSample32, kSample64}) {
    SCOPED_TRACE(size);
    ASSERT_TRUE(host.Create());
    ASSERT_TRUE(host.Start(48000, 1024, size));
    Changes changes;
    for (int i = 0; i < 3; ++i) changes.Add(i, 0, Normalized(i, dB[i]));
    changes.Add(kStereoId, 1000, Normalized(2, later[2]));  // lands on its frame
    std::vector<double> l(n), r(n);
    for (int i = 0; i < n; ++i) {
      l[i] = std::sin(0.013 * i);
      r[i] = 0.7 * std::cos(0.029 * i);
    }
    std::vector<double> outL(n), outR(n);
    if (size == kSample64) {
      double* in[2] = {l.data(), r.data()};
      double* out[2] = {outL.data(), outR.data()};
      ASSERT_EQ(host.Process(in, out, n, &changes), kResultOk);  // longer than the block
    } else {
      std::vector<float> fl(l.begin(), l.end()), fr(r.begin(), r.end());
      float* io[2] = {fl.data(), fr.data()};
      ASSERT_EQ(host.Process(io, io, n, &changes), kResultOk);
      outL.assign(fl.begin(), fl.end());
      outR.assign(fr.begin(), fr.end());
    }
    const double tolerance = size == kSample64 ? 1e-12 : 1e-6;
    for (int i = 0; i < n; ++i) {
      double el, er;
      Expected(l[i], r[i], i < 1000 ? dB : later, &el, &er);
      ASSERT_NEAR(outL[i], el, tolerance) << i;
      ASSERT_NEAR(outR[i], er, tolerance) << i;
    }
  }

  // A zero-frame call carries changes only; silence in gives silence flagged out; moving
  // parameters, the bypass switch and block sizes allocate nothing.
  Changes changes;
  changes.Add(kGainId, 0, 0.0);
  float* none[2] = {nullptr, nullptr};
  ASSERT_EQ(host.Process(none, none, 0, &changes), kResultOk);
  EXPECT_EQ(host.mController->getParamNormalized(kGainId), 0.0);
  std::vector<float> l(4096, 0.0f), r(4096, 0.0f);
  float* io[2] = {l.data(), r.data()};
  ASSERT_EQ(host.Process(io, io, 64, nullptr, 0x3), kResultOk);
  EXPECT_EQ(host.mOutSilence, 0x3u);
  std::vector<Changes> moving(20);
  for (int i = 0; i < 20; ++i) {
    moving[i].Add(i % 3, i, 0.1 * (i % 10));
    moving[i].Add(kBypass, 0, i % 6 < 3 ? 0.0 : 1.0);
  }
  realtime_counter::Scope scope;
  for (int i = 0; i < 20; ++i) host.Process(io, io, i % 2 ? 4096 : 17, &moving[i]);
  EXPECT_EQ(scope.Allocations(), 0);

  // The bypass parameter fades to the input (5 ms: 240 frames) from its point's frame on, and
  // then passes it unchanged.
  Changes bypass;
  bypass.Add(kBypass, 1000, 1.0);
  std::fill(l.begin(), l.end(), 0.5f);
  ASSERT_EQ(host.Process(io, io, 4096, &bypass), kResultOk);
  EXPECT_EQ(host.mController->getParamNormalized(kBypass), 1.0);
  EXPECT_EQ(l[0], l[999]);
  EXPECT_NE(l[999], 0.5f);
  EXPECT_NE(l[1000], l[999]);
  EXPECT_EQ(l[1240], 0.5f);
  EXPECT_EQ(l[4095], 0.5f);
}

TEST_F(VST3PluginTest, StateRoundTripsAndBadStreamsChangeNothing) {
  ASSERT_EQ(host.mController->setParamNormalized(kGainId, 0.25), kResultOk);
  ASSERT_EQ(host.mController->setParamNormalized(kStereoId, 0.75), kResultOk);
  MemoryStream saved;
  ASSERT_EQ(host.mComponent->getState(&saved), kResultOk);
  // The framework's state chunk: the three values in dB, as the Audio Unit saves them.
  ASSERT_EQ(saved.mBytes.size(), 3 * sizeof(double));
  double values[3];
  std::memcpy(values, saved.mBytes.data(), sizeof values);
  EXPECT_DOUBLE_EQ(values[0], Plain(0, 0.25));
  EXPECT_DOUBLE_EQ(values[1], 0.0);

  ASSERT_TRUE(host.Create());
  saved.mPos = 0;
  ASSERT_EQ(host.mComponent->setState(&saved), kResultOk);
  EXPECT_NEAR(host.mController->getParamNormalized(kGainId), 0.25, 1e-12);
  EXPECT_NEAR(host.mController->getParamNormalized(kStereoId), 0.75, 1e-12);

  MemoryStream shortStream, failing, foreign;
  shortStream.mBytes.assign(saved.mBytes.begin(), saved.mBytes.end() - 1);
  failing.mBytes = saved.mBytes;
  std::memset(failing.mBytes.data(), 0, 8);
  failing.mFailAt = 12;
  // Another version's chunk restores what it holds; a value that is no number is damage.
  foreign.mBytes = saved.mBytes;
  const double nan = std::nan("");
  std::memcpy(foreign.mBytes.data() + 8, &nan, sizeof nan);
  for (MemoryStream* bad : {&shortStream, &failing, &foreign}) {
    EXPECT_EQ(host.mComponent->setState(bad), kResultFalse);
    EXPECT_EQ(host.mController->setComponentState(bad), kResultFalse);
  }
  EXPECT_NEAR(host.mController->getParamNormalized(kGainId), 0.25, 1e-12);
  EXPECT_EQ(host.mComponent->setState(nullptr), kInvalidArgument);
}

}  // namespace
