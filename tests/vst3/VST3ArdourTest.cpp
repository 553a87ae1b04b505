// The bundle in Ardour 7: its scanner accepts it, and a session round trip (the script the
// LV2 test runs too, pointed at the VST3) plays a factory preset with Stereo set on top, bounces
// the track against the Audio Unit render, saves, reopens and reads the values back.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

#include "support/ArdourRoundTrip.h"
#include "vst3/VST3TestHost.h"

namespace {

TEST(VST3Ardour, ScannerAcceptsTheBundleAndASessionRoundTripMatchesTheAudioUnitRender) {
  const char* scanner = "/usr/lib/ardour7/ardour-vst3-scanner";
  if (std::system("command -v ardour7-lua >/dev/null") || access(scanner, X_OK) != 0)
    GTEST_SKIP() << "Ardour 7 (package ardour) is not installed";
  if (ORVANTA_SANITIZED) GTEST_SKIP() << "Ardour cannot load a bundle built with sanitizers";
  const std::string dir =
      std::string(::testing::TempDir()) + "orvanta_vst3_" + std::to_string(getpid());
  const std::string home = dir + "/home", vst = dir + "/vst";
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
  std::string out = RunShellCommand(
      env + "LD_LIBRARY_PATH=/usr/lib/ardour7 " + scanner + " '" + vst + "/Orvanta.vst3' 2>&1",
      &status);
  ASSERT_NE(out.find("Found Plugin: Orvanta"), std::string::npos) << out;
  out = RunShellCommand("cat '" + home + "'/ardour7/vst/*.v3i", &status);
  EXPECT_NE(out.find("name=\"Orvanta\" vendor=\"Quev\" category=\"Fx|Spatial\""), std::string::npos)
      << out;

  // Ardour passes values in single precision.
  CheckArdourRoundTrip(env + "ORVANTA_ARDOUR_PLUGIN=VST3", dir + "/session", 1e-4);
  std::system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace
