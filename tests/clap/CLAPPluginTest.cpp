// The CLAP bundle as hosts see it: through clap_entry of the built file with the test host,
// through qtractor's scanner, and with the editor in a real window.

#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "clap/CLAPTestHost.h"
#include "effect/Orvanta.h"
#include "host/RealtimeCounter.h"
#include "lv2/LV2HostWindow.h"
#include "support/EditorLayout.h"
#include "x11/X11TestSupport.h"

namespace {

using namespace clap;
constexpr clap_id kBypass = 0x62797073;

std::string RunCommand(const std::string& command, int* status) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  char buffer[4096];
  for (size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  *status = pipe ? pclose(pipe) : -1;
  return out;
}

// The tool's render of interleaved float samples with Gain, Mono and Stereo set.
std::vector<float> ToolRender(const std::vector<float>& in, const double (&dB)[3]) {
  const std::string base = ::testing::TempDir() + "orvanta_clap_" + std::to_string(getpid());
  SF_INFO info = {0, 48000, 2, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0, 0};
  SNDFILE* f = sf_open((base + "_in.wav").c_str(), SFM_WRITE, &info);
  sf_writef_float(f, in.data(), (sf_count_t)in.size() / 2);
  sf_close(f);
  char command[512];
  std::snprintf(command, sizeof command,
                "'%s' render --set Gain=%g --set Mono=%g --set Stereo=%g '%s_in.wav' '%s_out.wav'",
                ORVANTA_TOOL, dB[0], dB[1], dB[2], base.c_str(), base.c_str());
  int status = -1;
  RunCommand(command, &status);
  EXPECT_EQ(status, 0);
  std::vector<float> out(in.size());
  f = sf_open((base + "_out.wav").c_str(), SFM_READ, &info);
  if (!f || sf_readf_float(f, out.data(), (sf_count_t)in.size() / 2) != (sf_count_t)in.size() / 2)
    out.clear();
  sf_close(f);
  std::remove((base + "_in.wav").c_str());
  std::remove((base + "_out.wav").c_str());
  return out;
}

TEST(CLAPBundle, EntryFactoryAndDescriptorExportOnlyTheEntry) {
  CLAPTestHost host;
  ASSERT_NE(host.Factory(), nullptr);
  // A second user of the file in the process: init and deinit are counted.
  EXPECT_TRUE(host.Entry()->init(ORVANTA_CLAP_BUNDLE));
  host.Entry()->deinit();
  EXPECT_EQ(host.Entry()->get_factory("clap.preset-discovery-factory/2"), nullptr);
  const clap_plugin_factory_t* f = host.Factory();
  ASSERT_EQ(f->get_plugin_count(f), 1u);
  EXPECT_EQ(f->get_plugin_descriptor(f, 1), nullptr);
  const clap_plugin_descriptor_t* d = f->get_plugin_descriptor(f, 0);
  EXPECT_EQ(std::string(d->id) + "|" + d->name + "|" + d->vendor + "|" + d->version,
            "com.quev.orvanta|Orvanta|Quev|" ORVANTA_VERSION);
  std::string features;
  for (const char* const* p = d->features; *p; ++p) features += std::string(*p) + " ";
  EXPECT_EQ(features, "audio-effect utility stereo ");
  clap_host_t none{};
  none.clap_version = kVersion;
  EXPECT_EQ(f->create_plugin(f, &none, "com.quev.other"), nullptr);
  int status = -1;
  EXPECT_EQ(
      RunCommand("nm -D --defined-only '" ORVANTA_CLAP_BUNDLE "' | awk '{print $3}'", &status),
      "clap_entry\n");
}

// What a scanner asks, with no host extension offered.
TEST(CLAPBundle, PortsParametersAndQueriesAsAScannerSeesThem) {
  CLAPTestHost host(false);
  const clap_plugin_t* p = host.Create();
  ASSERT_NE(p, nullptr);
  auto* ports = host.Ext<clap_plugin_audio_ports_t>(kExtAudioPorts);
  for (bool input : {true, false}) {
    clap_audio_port_info_t info;
    ASSERT_EQ(ports->count(p, input), 1u);
    ASSERT_TRUE(ports->get(p, 0, input, &info));
    EXPECT_EQ(info.channel_count * 10 + info.in_place_pair, 20u);
    EXPECT_TRUE(info.flags & kAudioPortIsMain);
    EXPECT_STREQ(info.port_type, "stereo");
    EXPECT_FALSE(ports->get(p, 1, input, &info));
  }
  EXPECT_EQ(host.Ext<clap_plugin_note_ports_t>(kExtNotePorts)->count(p, true), 0u);
  EXPECT_EQ(host.Ext<clap_plugin_latency_t>(kExtLatency)->get(p), 0u);
  EXPECT_EQ(host.Ext<clap_plugin_tail_t>(kExtTail)->get(p), 0u);
  EXPECT_EQ(host.Ext<void>("clap.unknown"), nullptr);

  auto* params = host.Ext<clap_plugin_params_t>(kExtParams);
  ASSERT_EQ(params->count(p), 4u);
  clap_param_info_t info;
  const char* names[] = {"Gain", "Mono", "Stereo"};
  for (uint32_t i = 0; i < 3; ++i) {
    ASSERT_TRUE(params->get_info(p, i, &info));
    EXPECT_EQ(info.id, i);
    EXPECT_STREQ(info.name, names[i]);
    EXPECT_EQ(info.flags, (uint32_t)kParamIsAutomatable);
    EXPECT_EQ(std::vector<double>({info.min_value, info.max_value, info.default_value}),
              std::vector<double>({-94.0, 6.0, 0.0}));
  }
  ASSERT_TRUE(params->get_info(p, 3, &info));
  EXPECT_EQ(info.id, kBypass);
  EXPECT_EQ(info.flags, (uint32_t)(kParamIsBypass | kParamIsStepped | kParamIsAutomatable));
  EXPECT_FALSE(params->get_info(p, 4, &info));

  char text[256];
  ASSERT_TRUE(params->value_to_text(p, 2, 3.0, text, sizeof text));
  EXPECT_STREQ(text, "3.00 dB");
  EXPECT_FALSE(params->value_to_text(p, 7, 0.0, text, sizeof text));
  double value = 0;
  ASSERT_TRUE(params->text_to_value(p, 1, "-12.50 dB", &value));
  EXPECT_EQ(value, -12.5);
  ASSERT_TRUE(params->text_to_value(p, 1, "40", &value));
  EXPECT_EQ(value, 6.0);
  // Text that is no value is refused, not read as 0.
  for (const char* bad : {"loud", "3 dBs", ""})
    EXPECT_FALSE(params->text_to_value(p, 1, bad, &value));

  auto* gui = host.Ext<clap_plugin_gui_t>(kExtGUI);
  EXPECT_TRUE(gui->is_api_supported(p, "x11", false));
  EXPECT_FALSE(gui->is_api_supported(p, "x11", true));
  // Without the host's timers nothing could drive an editor on the host's thread.
  EXPECT_FALSE(gui->create(p, "x11", false));
}

// Value events inside blocks land on their frame: the output is the tool's render with the
// first values up to that frame and the second after it, at several block lengths, and no
// block allocates.
TEST(CLAPBundle, RendersAsTheToolWithChangesOnTheirFrame) {
  constexpr int kFrames = 6000, kChange = 2345;
  std::vector<float> signal(2 * kFrames);
  for (int i = 0; i < 2 * kFrames; ++i) signal[i] = (float)(0.5 * std::sin(0.011 * i + (i & 1)));
  const double first[3] = {-3.0, 0.0, 4.5}, second[3] = {2.0, -20.0, -94.0};
  const std::vector<float> a = ToolRender(signal, first), b = ToolRender(signal, second);
  ASSERT_EQ(a.size(), signal.size());
  ASSERT_EQ(b.size(), signal.size());

  for (int block : {64, 1000, 4096}) {
    for (bool wide : {false, true}) {
      SCOPED_TRACE(std::to_string(block) + (wide ? " 64-bit" : " 32-bit"));
      CLAPTestHost host;
      ASSERT_NE(host.Create(), nullptr);
      host.SetValues({first[0], first[1], first[2]});
      ASSERT_TRUE(host.Start(48000, (uint32_t)block));
      std::vector<double> ch64[2] = {std::vector<double>(kFrames), std::vector<double>(kFrames)};
      std::vector<float> ch32[2] = {std::vector<float>(kFrames), std::vector<float>(kFrames)};
      for (int i = 0; i < 2 * kFrames; ++i) ch64[i & 1][i / 2] = ch32[i & 1][i / 2] = signal[i];
      for (int start = 0; start < kFrames; start += block) {
        const int n = std::min(block, kFrames - start);
        if (kChange >= start && kChange < start + n)
          for (clap_id id = 0; id < 3; ++id) host.AddValue(kChange - start, id, second[id]);
        double* d[2] = {ch64[0].data() + start, ch64[1].data() + start};
        float* s[2] = {ch32[0].data() + start, ch32[1].data() + start};
        realtime_counter::Scope scope;
        wide ? host.Process(d, d, n) : host.Process(s, s, n);
        ASSERT_EQ(scope.Allocations(), 0) << start;
      }
      for (int i = 0; i < 2 * kFrames; ++i) {
        const double result = wide ? ch64[i & 1][i / 2] : ch32[i & 1][i / 2];
        ASSERT_NEAR(result, (i / 2 < kChange ? a : b)[i], 1e-6) << i;
      }
    }
  }
}

TEST(CLAPBundle, StateRoundTripsThroughShortStreamsAndDamagedStateChangesNothing) {
  CLAPTestHost first, second;
  ASSERT_NE(first.Create(), nullptr);
  ASSERT_NE(second.Create(), nullptr);
  first.SetValues({-7.25, 1.5, -94.0});
  std::vector<uint8_t> state, failed;
  ASSERT_TRUE(first.Save(&state, 7));
  EXPECT_FALSE(first.Save(&failed, 7, true));

  second.SetValues({1.0, 2.0, 3.0});
  std::vector<uint8_t> truncated(state.begin(), state.end() - 3), damaged = state;
  std::fill_n(damaged.begin(), 8, 0xFF);  // a value that is no number
  EXPECT_FALSE(second.Load(truncated, 5));
  EXPECT_FALSE(second.Load(damaged, 5));
  EXPECT_FALSE(second.Load(state, 5, true));  // the stream breaks part way
  EXPECT_EQ(second.Value(0), 1.0);
  EXPECT_EQ(second.mRescans, 0);

  ASSERT_TRUE(second.Load(state, 5));
  for (clap_id id = 0; id < 3; ++id) EXPECT_EQ(second.Value(id), first.Value(id)) << id;
  EXPECT_EQ(second.mRescans, 1);
}

TEST(CLAPBundle, BypassFadesToTheInputAndBadHostCallsAreHandled) {
  CLAPTestHost host;
  const clap_plugin_t* p = host.Create();
  ASSERT_NE(p, nullptr);
  std::vector<float> l(1024), r(1024);
  for (int i = 0; i < 1024; ++i) l[i] = r[i] = 0.25f * (float)std::sin(0.05 * i);
  const std::vector<float> input = l;
  float* ch[2] = {l.data(), r.data()};
  EXPECT_EQ(host.Process(ch, ch, 64), kProcessError);  // not activated
  EXPECT_FALSE(p->activate(p, 0.0, 1, 64));
  EXPECT_FALSE(p->activate(p, 48000, 1, 0));
  host.SetValues({-6.0, 3.0, -10.0});
  ASSERT_TRUE(host.Start(48000, 1024));

  host.AddValue(100, kBypass, 1.0);
  EXPECT_EQ(host.Process(ch, ch, 1024), kProcessContinue);
  EXPECT_EQ(host.Value(kBypass), 1.0);
  EXPECT_NE(l[99], input[99]);
  for (int i = 100 + 240; i < 1024; ++i) ASSERT_EQ(l[i], input[i]) << i;  // after 5 ms
  std::fill(l.begin(), l.end(), 0.0f);
  std::fill(r.begin(), r.end(), 0.0f);
  EXPECT_EQ(host.Process(ch, ch, 1024, 0x3), kProcessSleep);  // silence, flagged constant

  // Events of other spaces, of unknown types, too short or for unknown ids are skipped.
  clap_event_param_value_t odd{
      {sizeof odd, 0, 7, kEventParamValue, 0}, 0, nullptr, 0, 0, 0, 0, 5.0};
  host.AddRaw(&odd, sizeof odd);
  odd.header = {sizeof odd, 0, kCoreEventSpace, 99, 0};
  host.AddRaw(&odd, sizeof odd);
  odd.header = {16, 0, kCoreEventSpace, kEventParamValue, 0};
  host.AddRaw(&odd, 16);
  host.AddValue(3, 77, 1.0);
  host.AddValue(9999, 2, -5.0);  // past the block: applies at its end
  float* none[2] = {nullptr, nullptr};
  EXPECT_EQ(host.Process(none, none, 64), kProcessSleep);
  EXPECT_EQ(host.Value(0), -6.0);
  EXPECT_EQ(host.Value(2), -5.0);
  const clap_process_t empty{};
  EXPECT_NE(p->process(p, &empty), kProcessError);
  EXPECT_EQ(p->process(p, nullptr), kProcessError);
  p->reset(p);
}

// Tempo, position and metre come from the transport of the block being processed.
TEST(CLAPWrapper, TimeInfoFollowsTheBlocksTransport) {
  std::unique_ptr<OrvantaWrapper> plug(MakePlug());
  ASSERT_TRUE(plug->Init());
  ASSERT_TRUE(plug->Activate(48000, 1, 64));
  clap_event_transport_t transport{};
  transport.flags = kTransportHasTempo | kTransportHasSecondsTimeline | kTransportHasBeatsTimeline |
                    kTransportHasTimeSignature | kTransportIsPlaying;
  transport.tempo = 98.0;
  transport.song_pos_seconds = (clap_sectime)(2.0 * kTimeFactor);
  transport.song_pos_beats = (clap_beattime)(6.5 * kTimeFactor);
  transport.tsig_num = 7;
  transport.tsig_denom = 8;
  clap_process_t block{};
  block.transport = &transport;
  plug->Process(&block);
  ITimeInfo time;
  plug->GetTime(&time);
  EXPECT_EQ(plug->GetTempo(), 98.0);
  EXPECT_EQ(plug->GetSamplePos(), 96000);
  EXPECT_EQ(time.mSamplePosition, 96000.0);
  EXPECT_EQ(time.mQuarterNotePosition, 6.5);
  EXPECT_EQ(time.mTimeSigNumerator, 7);
  EXPECT_EQ(time.mTimeSigDenominator, 8);
  EXPECT_TRUE(time.mPlaying);

  // A block without one leaves the defaults and the count since activation.
  block.transport = nullptr;
  plug->Process(&block);
  time = ITimeInfo();
  plug->GetTime(&time);
  EXPECT_EQ(plug->GetTempo(), ITimeInfo().mBeatsPerMinute);
  EXPECT_EQ(time.mQuarterNotePosition, -1.0);
  EXPECT_EQ(time.mSamplePosition, 0.0);
  plug->Deactivate();
}

TEST(CLAPBundle, QtractorsScannerReportsThePlugin) {
  const char* scanner = "/usr/lib/x86_64-linux-gnu/qtractor/qtractor_plugin_scan";
  if (access(scanner, X_OK) != 0) GTEST_SKIP() << "qtractor is not installed";
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "qtractor's scanner cannot load a bundle built with sanitizers";
#endif
  int status = -1;
  const std::string out =
      RunCommand("echo 'CLAP:" ORVANTA_CLAP_BUNDLE "' | " + std::string(scanner), &status);
  EXPECT_EQ(status, 0);
  // Name, audio in:out, MIDI in:out, parameters in:out (three and the bypass), an editor and
  // saved state, path, index and a hash of the id.
  EXPECT_TRUE(
      std::regex_match(out, std::regex("CLAP\\|Orvanta\\|2:2\\|0:0\\|4:0\\|GUI,EXT,RT\\|" +
                                       std::string(ORVANTA_CLAP_BUNDLE) + "\\|0\\|0x[0-9a-f]+\n")))
      << out;
}

// The editor in a window of the host's, driven by its timer and fd watch: a drag goes to the
// host as one gesture, asked for with request_flush.
TEST(CLAPBundle, EditorEmbedsAndSendsADragAsAGesture) {
  if (!x11test::HaveDisplay() || !x11test::HaveProgram("xdotool"))
    GTEST_SKIP() << "needs a display and xdotool";
  using namespace editor_layout;
  CLAPTestHost host;
  const clap_plugin_t* p = host.Create();
  ASSERT_NE(p, nullptr);
  auto* gui = host.Ext<clap_plugin_gui_t>(kExtGUI);
  LV2HostWindow parent(kWidth, kHeight);
  ASSERT_TRUE(gui->create(p, "x11", false));
  EXPECT_FALSE(gui->set_scale(p, 1.5));
  uint32_t w = 0, h = 0;
  for (double scale : {2.0, 1.0}) {
    ASSERT_TRUE(gui->set_scale(p, scale));
    ASSERT_TRUE(gui->get_size(p, &w, &h));
    EXPECT_EQ(std::make_pair(w, h),
              std::make_pair((uint32_t)scale * kWidth, (uint32_t)scale * kHeight));
  }
  const clap_window_t window{"x11", {parent.Id()}};
  ASSERT_TRUE(gui->set_parent(p, &window));
  ASSERT_TRUE(gui->show(p));
  EXPECT_EQ(host.mTimers.size(), 1u);
  EXPECT_EQ(host.mFDs.size(), 1u);
  host.Pump(300);

  const FaderGeometry g = Fader();
  ASSERT_GT(g.travel, 0);
  // The editor's window fills the parent: the pointer moves over the parent.
  x11test::Pointer pointer([&] { return parent.Id(); }, [&](int ms) { host.Pump(ms); });
  ASSERT_TRUE(pointer.Drag(kMonoFaderPointerX, kFaderTop + g.half + 20, kMonoFaderPointerX,
                           kFaderTop + g.half + 150));
  ASSERT_GE(host.mOut.size(), 3u);
  std::vector<uint16_t> types;
  for (const auto& e : host.mOut) {
    types.push_back(reinterpret_cast<const clap_event_header_t*>(e.data())->type);
    EXPECT_EQ(reinterpret_cast<const clap_event_param_gesture_t*>(e.data())->param_id, 1u);
  }
  EXPECT_EQ(types.front(), kEventParamGestureBegin);
  EXPECT_EQ(types[1], kEventParamValue);
  EXPECT_EQ(types.back(), kEventParamGestureEnd);
  EXPECT_GE(host.mFlushRequests, (int)types.size());
  EXPECT_NEAR(host.Value(1), Decibels(1, 1.0 - 150.0 / g.travel), 0.01);

  EXPECT_TRUE(gui->hide(p));
  EXPECT_TRUE(host.mTimers.empty() && host.mFDs.empty());
  gui->destroy(p);
}

}  // namespace
