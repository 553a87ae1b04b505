// The CLAP bundle as hosts see it: through clap_entry of the built file, with the test host
// of CLAPTestHost.h, with qtractor's scanner, and with the editor in a real window.

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "clap/CLAPTestHost.h"
#include "lv2/LV2HostWindow.h"
#include "support/EditorLayout.h"
#include "x11/X11TestSupport.h"

namespace {

using namespace clap;
constexpr clap_id kBypass = 0x62797073;

std::string RunCommand(const std::string& command, int* status) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  *status = pclose(pipe);
  return out;
}

std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "orvanta_clap_" + std::to_string(getpid()) + "_" + name;
}

// Interleaved float samples written as a float WAV file, or read back.
bool WriteStereo(const std::string& path, const std::vector<float>& data) {
  SF_INFO info = {};
  info.samplerate = 48000;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f) return false;
  const sf_count_t frames = (sf_count_t)data.size() / 2;
  const bool ok = sf_writef_float(f, data.data(), frames) == frames;
  return sf_close(f) == 0 && ok;
}

std::vector<float> ReadStereo(const std::string& path) {
  SF_INFO info = {};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f) return {};
  std::vector<float> data((size_t)info.frames * 2);
  if (info.channels != 2 || sf_readf_float(f, data.data(), info.frames) != info.frames)
    data.clear();
  sf_close(f);
  return data;
}

// The tool's render of a file with Gain, Mono and Stereo set.
std::vector<float> ToolRender(const std::string& in, const double (&dB)[3]) {
  const std::string out = TempPath("tool.wav");
  char sets[128];
  std::snprintf(sets, sizeof sets, "--set Gain=%g --set Mono=%g --set Stereo=%g", dB[0], dB[1],
                dB[2]);
  int status = -1;
  RunCommand(std::string("'") + ORVANTA_TOOL + "' render " + sets + " '" + in + "' '" + out + "'",
             &status);
  EXPECT_EQ(status, 0);
  std::vector<float> data = ReadStereo(out);
  std::remove(out.c_str());
  return data;
}

TEST(CLAPBundle, EntryFactoryAndDescriptorExportOnlyTheEntry) {
  CLAPTestHost host;
  ASSERT_NE(host.Factory(), nullptr) << dlerror();
  const clap_plugin_entry_t* entry = host.Entry();
  EXPECT_EQ(entry->clap_version.major, 1u);
  // A second user of the file in the process: init and deinit are counted.
  EXPECT_TRUE(entry->init(CLAPBundlePath().c_str()));
  entry->deinit();
  EXPECT_EQ(entry->get_factory("clap.preset-discovery-factory/2"), nullptr);

  const clap_plugin_factory_t* f = host.Factory();
  ASSERT_EQ(f->get_plugin_count(f), 1u);
  EXPECT_EQ(f->get_plugin_descriptor(f, 1), nullptr);
  const clap_plugin_descriptor_t* d = f->get_plugin_descriptor(f, 0);
  EXPECT_STREQ(d->id, "com.quev.orvanta");
  EXPECT_STREQ(d->name, "Orvanta");
  EXPECT_STREQ(d->vendor, "Quev");
  EXPECT_STREQ(d->version, ORVANTA_VERSION);
  std::vector<std::string> features;
  for (const char* const* p = d->features; *p; ++p) features.push_back(*p);
  EXPECT_EQ(features, (std::vector<std::string>{"audio-effect", "utility", "stereo"}));
  clap_host_t none{};
  none.clap_version = kVersion;
  EXPECT_EQ(f->create_plugin(f, &none, "com.quev.other"), nullptr);

  int status = -1;
  const std::string symbols =
      RunCommand("nm -D --defined-only '" + CLAPBundlePath() + "' | awk '{print $3}'", &status);
  EXPECT_EQ(symbols, "clap_entry\n");
}

// What a scanner asks, with no host extension offered.
TEST(CLAPBundle, PortsParametersAndQueriesAsAScannerSeesThem) {
  CLAPTestHost host(CLAPTestHost::Offer{false, false});
  ASSERT_NE(host.Create(), nullptr);
  const clap_plugin_t* p = host.Plugin();
  auto* ports = host.Ext<clap_plugin_audio_ports_t>(kExtAudioPorts);
  for (bool input : {true, false}) {
    ASSERT_EQ(ports->count(p, input), 1u);
    clap_audio_port_info_t info;
    ASSERT_TRUE(ports->get(p, 0, input, &info));
    EXPECT_EQ(info.channel_count, 2u);
    EXPECT_TRUE(info.flags & kAudioPortIsMain);
    EXPECT_STREQ(info.port_type, "stereo");
    EXPECT_EQ(info.in_place_pair, 0u);
    EXPECT_FALSE(ports->get(p, 1, input, &info));
  }
  EXPECT_EQ(host.Ext<clap_plugin_note_ports_t>(kExtNotePorts)->count(p, true), 0u);
  EXPECT_EQ(host.Ext<clap_plugin_latency_t>(kExtLatency)->get(p), 0u);
  EXPECT_EQ(host.Ext<clap_plugin_tail_t>(kExtTail)->get(p), 0u);
  EXPECT_EQ(host.Ext<void>("clap.unknown"), nullptr);
  EXPECT_EQ(host.Ext<void>(nullptr), nullptr);

  auto* params = host.Ext<clap_plugin_params_t>(kExtParams);
  ASSERT_EQ(params->count(p), 4u);
  const char* names[] = {"Gain", "Mono", "Stereo"};
  clap_param_info_t info;
  for (uint32_t i = 0; i < 3; ++i) {
    ASSERT_TRUE(params->get_info(p, i, &info));
    EXPECT_EQ(info.id, i);
    EXPECT_STREQ(info.name, names[i]);
    EXPECT_EQ(info.flags, (uint32_t)kParamIsAutomatable);
    EXPECT_EQ(info.min_value, -94.0);
    EXPECT_EQ(info.max_value, 6.0);
    EXPECT_EQ(info.default_value, 0.0);
  }
  ASSERT_TRUE(params->get_info(p, 3, &info));
  EXPECT_EQ(info.id, kBypass);
  EXPECT_EQ(info.flags, (uint32_t)(kParamIsBypass | kParamIsStepped | kParamIsAutomatable));
  EXPECT_FALSE(params->get_info(p, 4, &info));

  char text[256];
  ASSERT_TRUE(params->value_to_text(p, 2, 3.0, text, sizeof text));
  EXPECT_STREQ(text, "3.00 dB");
  ASSERT_TRUE(params->value_to_text(p, kBypass, 1.0, text, sizeof text));
  EXPECT_STREQ(text, "On");
  EXPECT_FALSE(params->value_to_text(p, 7, 0.0, text, sizeof text));
  double value = 0;
  struct {
    const char* text;
    bool ok;
    double value;
  } texts[] = {{"-12.50 dB", true, -12.5}, {"4", true, 4.0},    {"40 dB", true, 6.0},
               {"loud", false, 0},         {"3 dBs", false, 0}, {"", false, 0}};
  for (const auto& t : texts) {
    SCOPED_TRACE(t.text);
    ASSERT_EQ(params->text_to_value(p, 1, t.text, &value), t.ok);
    if (t.ok) {
      EXPECT_EQ(value, t.value);
    }
  }

  auto* gui = host.Ext<clap_plugin_gui_t>(kExtGUI);
  EXPECT_TRUE(gui->is_api_supported(p, "x11", false));
  EXPECT_FALSE(gui->is_api_supported(p, "x11", true));
  // Without the host's timers there is nothing to drive an editor on the host's thread.
  EXPECT_FALSE(gui->create(p, "x11", false));
}

// Value events at offsets inside blocks land on their frame: the output is the tool's render
// with the first values up to that frame and the second after it, at several block lengths.
TEST(CLAPBundle, RendersAsTheToolWithChangesOnTheirFrame) {
  constexpr int kFrames = 6000, kChange = 2345;
  std::vector<float> signal(2 * kFrames);
  for (int i = 0; i < kFrames; ++i) {
    signal[2 * i] = (float)(0.6 * std::sin(0.011 * i));
    signal[2 * i + 1] = (float)(0.4 * std::sin(0.037 * i + 1.0));
  }
  const std::string in = TempPath("in.wav");
  ASSERT_TRUE(WriteStereo(in, signal));
  const double first[3] = {-3.0, 0.0, 4.5}, second[3] = {2.0, -20.0, -94.0};
  const std::vector<float> a = ToolRender(in, first), b = ToolRender(in, second);
  std::remove(in.c_str());
  ASSERT_EQ(a.size(), signal.size());
  ASSERT_EQ(b.size(), signal.size());

  for (int block : {64, 512, 1000, 4096}) {
    for (bool wide : {false, true}) {
      SCOPED_TRACE(std::to_string(block) + (wide ? " 64-bit" : " 32-bit"));
      CLAPTestHost host;
      ASSERT_NE(host.Create(), nullptr);
      host.SetValues({first[0], first[1], first[2]});
      ASSERT_TRUE(host.Start(48000, (uint32_t)block));
      std::vector<double> left(kFrames), right(kFrames);
      for (int i = 0; i < kFrames; ++i) {
        left[i] = signal[2 * i];
        right[i] = signal[2 * i + 1];
      }
      std::vector<float> l32(left.begin(), left.end()), r32(right.begin(), right.end());
      for (int start = 0; start < kFrames; start += block) {
        const int n = std::min(block, kFrames - start);
        if (kChange >= start && kChange < start + n)
          for (clap_id id = 0; id < 3; ++id) host.AddValue(kChange - start, id, second[id]);
        if (wide) {
          double* ch[2] = {left.data() + start, right.data() + start};
          host.Process64(ch, ch, n);
        } else {
          float* ch[2] = {l32.data() + start, r32.data() + start};
          host.Process(ch, ch, n);
        }
      }
      for (int i = 0; i < kFrames; ++i) {
        const std::vector<float>& expected = i < kChange ? a : b;
        ASSERT_NEAR(wide ? left[i] : l32[i], expected[2 * i], 1e-6) << i;
        ASSERT_NEAR(wide ? right[i] : r32[i], expected[2 * i + 1], 1e-6) << i;
      }
      EXPECT_EQ(host.Value(2), second[2]);
    }
  }
}

TEST(CLAPBundle, BypassPassesTheInputAfterItsFadeAndSilenceLetsTheHostSleep) {
  CLAPTestHost host;
  ASSERT_NE(host.Create(), nullptr);
  host.SetValues({-6.0, 3.0, -10.0});
  ASSERT_TRUE(host.Start(48000, 1024));
  std::vector<float> l(1024), r(1024);
  for (int i = 0; i < 1024; ++i) l[i] = r[i] = 0.25f * (float)std::sin(0.05 * i);
  std::vector<float> inL = l, inR = r;
  float* ch[2] = {l.data(), r.data()};
  host.AddValue(100, kBypass, 1.0);
  EXPECT_EQ(host.Process(ch, ch, 1024), kProcessContinue);
  EXPECT_EQ(host.Value(kBypass), 1.0);
  EXPECT_NE(l[99], inL[99]);
  // The fade takes 5 ms: from then on the input itself.
  for (int i = 100 + 240; i < 1024; ++i) ASSERT_EQ(l[i], inL[i]) << i;

  std::fill(l.begin(), l.end(), 0.0f);
  std::fill(r.begin(), r.end(), 0.0f);
  EXPECT_EQ(host.Process(ch, ch, 1024, 0x3), kProcessSleep);
}

TEST(CLAPBundle, StateRoundTripsThroughShortStreamsAndDamagedStateChangesNothing) {
  CLAPTestHost first, second;
  ASSERT_NE(first.Create(), nullptr);
  ASSERT_NE(second.Create(), nullptr);
  first.SetValues({-7.25, 1.5, -94.0});
  std::vector<uint8_t> state;
  ASSERT_TRUE(first.Save(&state, 7));
  ASSERT_FALSE(state.empty());
  std::vector<uint8_t> failed;
  EXPECT_FALSE(first.Save(&failed, 7, true));

  second.SetValues({1.0, 2.0, 3.0});
  std::vector<uint8_t> truncated(state.begin(), state.end() - 3), longer = state;
  longer.insert(longer.end(), 64, 0xAB);
  for (const std::vector<uint8_t>* bad : {&truncated, &longer}) EXPECT_FALSE(second.Load(*bad, 5));
  EXPECT_FALSE(second.Load(state, 5, true));  // the stream fails part way
  EXPECT_EQ(second.Value(0), 1.0);
  EXPECT_EQ(second.mRescans, 0);

  ASSERT_TRUE(second.Load(state, 5));
  for (clap_id id = 0; id < 3; ++id) EXPECT_EQ(second.Value(id), first.Value(id)) << id;
  EXPECT_EQ(second.mRescans, 1);
}

TEST(CLAPBundle, BadHostCallsAreHandled) {
  CLAPTestHost host;
  ASSERT_NE(host.Create(), nullptr);
  const clap_plugin_t* p = host.Plugin();
  float l[64] = {}, r[64] = {};
  float* ch[2] = {l, r};
  EXPECT_EQ(host.Process(ch, ch, 64), kProcessError);  // not activated
  EXPECT_FALSE(p->activate(p, 0.0, 1, 64));
  EXPECT_FALSE(p->activate(p, 48000, 1, 0));
  ASSERT_TRUE(host.Start(48000, 64));

  // Events of other spaces, unknown types, too short, unknown ids: skipped.
  clap_event_param_value_t foreign{};
  foreign.header = {sizeof foreign, 0, 7, kEventParamValue, 0};
  foreign.value = 5.0;
  host.AddRaw(&foreign, sizeof foreign);
  foreign.header = {sizeof foreign, 0, kCoreEventSpace, 99, 0};
  host.AddRaw(&foreign, sizeof foreign);
  foreign.header = {16, 0, kCoreEventSpace, kEventParamValue, 0};
  host.AddRaw(&foreign, 16);
  host.AddValue(3, 77, 1.0);
  host.AddValue(9999, 2, -5.0);  // past the block: applies at its end
  float* none[2] = {nullptr, nullptr};
  EXPECT_EQ(host.Process(none, none, 64), kProcessSleep);
  EXPECT_EQ(host.Value(0), 0.0);
  EXPECT_EQ(host.Value(2), -5.0);

  const clap_process_t empty{};
  EXPECT_NE(p->process(p, &empty), kProcessError);
  EXPECT_EQ(p->process(p, nullptr), kProcessError);
  p->reset(p);
}

TEST(CLAPBundle, QtractorsScannerReportsThePlugin) {
  const char* scanner = "/usr/lib/x86_64-linux-gnu/qtractor/qtractor_plugin_scan";
  if (access(scanner, X_OK) != 0) GTEST_SKIP() << "qtractor is not installed";
  int status = -1;
  const std::string out = RunCommand(
      std::string("echo 'CLAP:") + CLAPBundlePath() + "' | " + scanner + " 2>/dev/null", &status);
  EXPECT_EQ(status, 0);
  // Name, audio in:out, MIDI in:out, parameters in:out (three and the bypass), an editor and
  // saved state ("GUI", "EXT"), path, index, and a hash of the id.
  const std::regex line("CLAP\\|Orvanta\\|2:2\\|0:0\\|4:0\\|GUI,EXT,RT\\|" + CLAPBundlePath() +
                        "\\|0\\|0x[0-9a-f]+\n");
  EXPECT_TRUE(std::regex_match(out, line)) << out;
}

// The editor embedded in a window of the host's, driven by the host's timer and fd watch; a
// drag goes to the host as one gesture.
TEST(CLAPBundle, EditorEmbedsAndSendsADragAsAGesture) {
  if (!x11test::HaveDisplay() || !x11test::HaveProgram("xdotool"))
    GTEST_SKIP() << "needs a display and xdotool";
  using namespace editor_layout;
  CLAPTestHost host;
  ASSERT_NE(host.Create(), nullptr);
  const clap_plugin_t* p = host.Plugin();
  auto* gui = host.Ext<clap_plugin_gui_t>(kExtGUI);
  LV2HostWindow parent(2 * kWidth, 2 * kHeight);
  ASSERT_TRUE(gui->create(p, "x11", false));
  EXPECT_FALSE(gui->create(p, "x11", false));
  EXPECT_FALSE(gui->set_scale(p, 1.5));
  ASSERT_TRUE(gui->set_scale(p, 2.0));
  uint32_t w = 0, h = 0;
  ASSERT_TRUE(gui->get_size(p, &w, &h));
  EXPECT_EQ(w, 2u * kWidth);
  EXPECT_EQ(h, 2u * kHeight);
  EXPECT_FALSE(gui->can_resize(p));
  ASSERT_TRUE(gui->set_scale(p, 1.0));
  const clap_window_t window{"x11", {parent.Id()}};
  ASSERT_TRUE(gui->set_parent(p, &window));
  ASSERT_TRUE(gui->show(p));
  ASSERT_EQ(host.mTimers.size(), 1u);
  EXPECT_EQ(host.mTimers.begin()->first, 0u);  // ids from 0, as qtractor gives them
  EXPECT_EQ(host.mFDs.size(), 1u);
  ASSERT_TRUE(gui->get_size(p, &w, &h));
  EXPECT_EQ(w, (uint32_t)kWidth);
  host.Pump(300);

  // The host's change moves the editor; the editor's drag goes out as begin, values, end.
  const FaderGeometry g = Fader();
  ASSERT_GT(g.travel, 0);
  // The editor's window sits at the parent's corner: the pointer moves over the parent.
  x11test::Pointer pointer([&] { return parent.Id(); }, [&](int ms) { host.Pump(ms); });
  ASSERT_TRUE(pointer.Drag(kMonoFaderPointerX, kFaderTop + g.half + 20, kMonoFaderPointerX,
                           kFaderTop + g.half + 150));
  host.Pump(100);
  const auto out = host.OutSummary();
  ASSERT_GE(out.size(), 3u);
  EXPECT_EQ(out.front(), std::make_pair(1, (clap_id)1));
  EXPECT_EQ(out.back(), std::make_pair(-1, (clap_id)1));
  EXPECT_EQ(out[1], std::make_pair(0, (clap_id)1));
  EXPECT_GT(host.mFlushRequests, 0);
  EXPECT_NEAR(host.Value(1), Decibels(1, 1.0 - 150.0 / g.travel), 0.01);

  EXPECT_TRUE(gui->hide(p));
  EXPECT_TRUE(host.mTimers.empty());
  EXPECT_TRUE(host.mFDs.empty());
  gui->destroy(p);
}

}  // namespace
