#include "support/ArdourRoundTrip.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <vector>

#include "support/StereoFiles.h"

std::string RunShellCommand(const std::string& command, int* status) {
  std::string out;
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (!pipe) {
    *status = -1;
    return out;
  }
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  *status = pclose(pipe);
  return out;
}

void CheckArdourRoundTrip(const std::string& env, const std::string& session, double tolerance) {
  const int frames = 9600;
  const std::string in = session + "_in.wav", au = session + "_au.wav";
  ASSERT_TRUE(WriteStereo(in, TestSignal(frames), 48000));
  const std::string lua = env + " timeout 60 ardour7-lua '" ORVANTA_ARDOUR_SCRIPT "' ";
  const std::string dir = " '" + session + "' ";
  int status = 0;
  const std::string imported =
      RunShellCommand(lua + "import" + dir + "'" + in + "' " + std::to_string(frames), &status);
  ASSERT_EQ(status, 0) << imported;
  const std::string processed =
      RunShellCommand(lua + "process" + dir + "'Only Stereo' 3 " + std::to_string(frames), &status);
  ASSERT_EQ(status, 0) << processed;
  const std::string reopened = RunShellCommand(lua + "reopen" + dir, &status);
  ASSERT_EQ(status, 0) << reopened;

  // Gain and Mono from the preset, Stereo as set: all three where Ardour left them.
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
    EXPECT_NEAR(controls["Gain"], 0.0, tolerance) << *run;
    EXPECT_NEAR(controls["Mono"], -94.0, tolerance) << *run;
    EXPECT_NEAR(controls["Stereo"], 3.0, tolerance) << *run;
  }

  RunShellCommand(std::string("'") + ORVANTA_TOOL +
                      "' render --preset 'Only Stereo' --set Stereo=3 '" + in + "' '" + au + "'",
                  &status);
  ASSERT_EQ(status, 0);
  const std::vector<float> expected = ReadStereo(au);
  ASSERT_EQ(expected.size(), (size_t)frames * 2);
  for (int channel = 0; channel < 2; ++channel) {
    const std::vector<float> result = ReadStereo(bounced[channel], 1);
    ASSERT_EQ(result.size(), (size_t)frames) << processed;
    for (int i = 0; i < frames; ++i) ASSERT_NEAR(result[i], expected[2 * i + channel], 1e-6) << i;
  }
  std::remove(in.c_str());
  std::remove(au.c_str());
}
