// The bundle in Ardour 7: its scanner accepts it, and a session round trip (the script the
// LV2 test uses, pointed at the VST3) plays a factory preset with Stereo set on top, bounces
// the track against the Audio Unit render, saves, reopens and reads the values back.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "support/StereoFiles.h"
#include "vst3/VST3TestHost.h"

namespace {

// A shell command's standard output; *status is its exit status.
std::string Shell(const std::string& command, int* status) {
  std::string out;
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  *status = pclose(pipe);
  return out;
}

TEST(VST3Ardour, ScannerAcceptsTheBundleAndASessionRoundTripMatchesTheAudioUnitRender) {
  const char* scanner = "/usr/lib/ardour7/ardour-vst3-scanner";
  if (std::system("command -v ardour7-lua >/dev/null") || access(scanner, X_OK) != 0)
    GTEST_SKIP() << "Ardour 7 (package ardour) is not installed";
  if (ORVANTA_SANITIZED) GTEST_SKIP() << "Ardour cannot load a bundle built with sanitizers";
  const std::string dir =
      std::string(::testing::TempDir()) + "orvanta_vst3_" + std::to_string(getpid());
  const std::string home = dir + "/home", vst = dir + "/vst", in = dir + "/in.wav";
  ASSERT_EQ(std::system(("mkdir -p '" + home + "' '" + vst + "' && ln -s '" +
                         vst3test::OrvantaBundle() + "' '" + vst + "/Orvanta.vst3'")
                            .c_str()),
            0);
  // Ardour takes a scan only when it is stamped a whole second after the module's time.
  struct stat module = {};
  ASSERT_EQ(
      stat((vst3test::OrvantaBundle() + "/Contents/x86_64-linux/Orvanta.so").c_str(), &module), 0);
  while (std::time(nullptr) <= module.st_mtime)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

  const std::string env = "HOME='" + home + "' XDG_CONFIG_HOME='" + home + "' XDG_CACHE_HOME='" +
                          home + "' VST3_PATH='" + vst + "' ";
  int status = -1;
  std::string out = Shell(
      env + "LD_LIBRARY_PATH=/usr/lib/ardour7 " + scanner + " '" + vst + "/Orvanta.vst3' 2>&1",
      &status);
  ASSERT_NE(out.find("Found Plugin: Orvanta"), std::string::npos) << out;
  out = Shell("cat '" + home + "'/ardour7/vst/*.v3i", &status);
  EXPECT_NE(out.find("name=\"Orvanta\" vendor=\"Quev\" category=\"Fx|Spatial\""), std::string::npos)
      << out;

  const int frames = 9600;
  ASSERT_TRUE(WriteStereo(in, TestSignal(frames), 48000));
  const std::string lua =
      env + "ORVANTA_ARDOUR_PLUGIN=VST3 timeout 60 ardour7-lua '" ORVANTA_ARDOUR_SCRIPT "' ";
  const std::string session = " '" + dir + "/session' ";
  out = Shell(lua + "import" + session + "'" + in + "' " + std::to_string(frames), &status);
  ASSERT_EQ(status, 0) << out;
  const std::string processed =
      Shell(lua + "process" + session + "'Only Stereo' 3 " + std::to_string(frames), &status);
  ASSERT_EQ(status, 0) << processed;
  const std::string reopened = Shell(lua + "reopen" + session, &status);
  ASSERT_EQ(status, 0) << reopened;

  // Gain and Mono from the preset, Stereo as set; Ardour passes values in single precision.
  std::string bounced[2];
  for (const std::string* run : {&processed, &reopened}) {
    std::istringstream lines(*run);
    std::map<std::string, double> controls;
    std::string tag, label;
    double value;
    while (lines >> tag) {
      if (tag == "CONTROL" && lines >> label >> value) controls[label] = value;
      if (tag == "BOUNCED") lines >> bounced[0] >> bounced[1];
    }
    ASSERT_EQ(controls.size(), 3u) << *run;
    EXPECT_NEAR(controls["Gain"], 0.0, 1e-4) << *run;
    EXPECT_NEAR(controls["Mono"], -94.0, 1e-4);
    EXPECT_NEAR(controls["Stereo"], 3.0, 1e-4);
  }

  const std::string au = dir + "/au.wav";
  Shell(std::string("'") + ORVANTA_TOOL + "' render --preset 'Only Stereo' --set Stereo=3 '" + in +
            "' '" + au + "'",
        &status);
  ASSERT_EQ(status, 0);
  const std::vector<float> expected = ReadStereo(au);
  ASSERT_EQ(expected.size(), (size_t)frames * 2);
  for (int channel = 0; channel < 2; ++channel) {
    const std::vector<float> result = ReadStereo(bounced[channel], 1);
    ASSERT_EQ(result.size(), (size_t)frames) << processed;
    for (int i = 0; i < frames; ++i) ASSERT_NEAR(result[i], expected[2 * i + channel], 1e-6) << i;
  }
  std::system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace
