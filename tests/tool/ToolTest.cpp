// The orvanta tool run as a person runs it: real files in, the exit code, the messages and the
// files out checked.

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Result {
  int code = -1;
  std::string out, err;
};

class ToolTest : public testing::Test {
 protected:
  void SetUp() override {
    mDir = fs::temp_directory_path() / ("orvanta-tool-test-" + std::to_string(getpid()));
    fs::create_directories(mDir);
  }
  void TearDown() override { fs::remove_all(mDir); }

  std::string Path(const std::string& name) const { return (mDir / name).string(); }

  static std::string Slurp(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

  Result Run(const std::string& arguments) const {
    return RunShell(std::string(ORVANTA_TOOL) + " " + arguments);
  }
  Result RunShell(const std::string& line) const {
    const std::string out = Path("stdout.txt"), err = Path("stderr.txt");
    const std::string command = line + " >" + out + " 2>" + err + " </dev/null";
    const int status = std::system(command.c_str());
    Result r;
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = Slurp(out);
    r.err = Slurp(err);
    return r;
  }

  // A stereo (or mono) file of two unrelated sines, so mid and side are both present.
  std::string WriteSignal(const std::string& name, int channels, int rate = 48000,
                          int format = SF_FORMAT_WAV | SF_FORMAT_FLOAT, int frames = 3000) {
    SF_INFO info = {};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(Path(name).c_str(), SFM_WRITE, &info);
    EXPECT_NE(file, nullptr) << sf_strerror(nullptr);
    std::vector<float> samples(static_cast<size_t>(frames * channels));
    for (int i = 0; i < frames; ++i)
      for (int c = 0; c < channels; ++c)
        samples[static_cast<size_t>(i * channels + c)] =
            static_cast<float>(0.4 * std::sin(i * 0.05) + (c ? -0.3 : 0.3) * std::sin(i * 0.011));
    sf_writef_float(file, samples.data(), frames);
    sf_close(file);
    return Path(name);
  }

  struct Audio {
    SF_INFO info = {};
    std::vector<float> samples;  // interleaved
  };
  static Audio Read(const std::string& path) {
    Audio a;
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &a.info);
    EXPECT_NE(file, nullptr) << path;
    if (!file) return a;
    a.samples.resize(static_cast<size_t>(a.info.frames * a.info.channels));
    sf_readf_float(file, a.samples.data(), a.info.frames);
    sf_close(file);
    return a;
  }

  // Every frame of `out` must be the effect applied to `in` with these dB values.
  static void ExpectEffect(const Audio& in, const Audio& out, double gainDb, double monoDb,
                           double stereoDb, double tolerance = 1e-6) {
    auto law = [](double dB) { return dB > -93 ? std::pow(10.0, dB / 20) : 0.0; };
    const double g = law(gainDb), m = 0.5 * law(monoDb), s = 0.5 * law(stereoDb);
    ASSERT_EQ(out.info.channels, 2);
    ASSERT_EQ(out.info.frames, in.info.frames);
    const bool mono = in.info.channels == 1;
    for (sf_count_t i = 0; i < in.info.frames; ++i) {
      const double l = in.samples[static_cast<size_t>(i * in.info.channels)];
      const double r = mono ? l : in.samples[static_cast<size_t>(i * 2 + 1)];
      const double mid = (l + r) * m, side = (l - r) * s;
      ASSERT_NEAR(out.samples[static_cast<size_t>(i * 2)], (mid + side) * g, tolerance) << i;
      ASSERT_NEAR(out.samples[static_cast<size_t>(i * 2 + 1)], (mid - side) * g, tolerance) << i;
    }
  }

  fs::path mDir;
};

TEST_F(ToolTest, RenderAppliesPresetsSettingsAndBlockSizes) {
  const std::string in = WriteSignal("in.wav", 2);
  Result r = Run("render " + in + " " + Path("preset.wav") + " --preset \"Stereo Enhance\"");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("3000 frames, 0.06 s of audio"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("real time; before mid peak"), std::string::npos) << r.out;
  ExpectEffect(Read(in), Read(Path("preset.wav")), 0, 0, 3);

  r = Run("render " + in + " " + Path("set.wav") +
          " --preset 2 --set Gain=-3 --set Stereo=4.5 --block 17");
  ASSERT_EQ(r.code, 0) << r.err;
  ExpectEffect(Read(in), Read(Path("set.wav")), -3, -94, 4.5);

  r = Run("render " + in + " " + Path("bypass.wav") + " --set Gain=-20 --bypass");
  ASSERT_EQ(r.code, 0) << r.err;
  ExpectEffect(Read(in), Read(Path("bypass.wav")), 0, 0, 0);
}

TEST_F(ToolTest, ProgressBarOnlyOnATerminal) {
  const std::string in = WriteSignal("in.wav", 2, 48000, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000);
  Result r = Run("render " + in + " " + Path("out.wav") + " --block 64");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err.find('%'), std::string::npos) << r.err;
  // `script` gives the tool a terminal; the bar is redrawn in place up to 100%.
  if (std::system("command -v script >/dev/null") != 0) GTEST_SKIP() << "no script command";
  r = RunShell("script -qec '" ORVANTA_TOOL " render " + in + " " + Path("tty.wav") +
               " --block 64' /dev/null");
  EXPECT_NE(r.out.find("\r[####"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("] 100%"), std::string::npos) << r.out;
}

TEST_F(ToolTest, RenderKeepsTheInputFormatAndUpmixesMonoOnRequest) {
  const std::string in = WriteSignal("in.aiff", 2, 44100, SF_FORMAT_AIFF | SF_FORMAT_PCM_24);
  Result r = Run("render " + in + " " + Path("out.aiff"));
  ASSERT_EQ(r.code, 0) << r.err;
  const Audio out = Read(Path("out.aiff"));
  EXPECT_EQ(out.info.format, SF_FORMAT_AIFF | SF_FORMAT_PCM_24);
  EXPECT_EQ(out.info.samplerate, 44100);
  ExpectEffect(Read(in), out, 0, 0, 0, 1e-6);

  const std::string flac = WriteSignal("in.flac", 2, 32000, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
  r = Run("render " + flac + " " + Path("out.flac") + " --preset \"Only Mono\"");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(Read(Path("out.flac")).info.samplerate, 32000);
  ExpectEffect(Read(flac), Read(Path("out.flac")), 0, 0, -94, 1.0 / 32768);

  const std::string mono = WriteSignal("mono.wav", 1);
  r = Run("render " + mono + " " + Path("mono-out.wav"));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find(mono + ": mono input"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("--upmix"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(Path("mono-out.wav")));
  r = Run("render " + mono + " " + Path("mono-out.wav") + " --upmix --set Stereo=6");
  ASSERT_EQ(r.code, 0) << r.err;
  ExpectEffect(Read(mono), Read(Path("mono-out.wav")), 0, 0, 6);
}

TEST_F(ToolTest, BadInputFilesAreNamedWithTheProblem) {
  const std::string out = Path("out.wav");
  Result r = Run("render " + Path("missing.wav") + " " + out);
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find(Path("missing.wav") + ": no such file"), std::string::npos) << r.err;

  std::ofstream(Path("text.wav")) << "this is not audio at all, just some words in a file\n";
  r = Run("render " + Path("text.wav") + " " + out);
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find(Path("text.wav") + ": not an audio file"), std::string::npos) << r.err;

  // Cut a valid file short of what its header promises.
  const std::string whole = WriteSignal("whole.wav", 2);
  fs::copy_file(whole, Path("cut.wav"));
  fs::resize_file(Path("cut.wav"), fs::file_size(whole) / 2);
  r = Run("render " + Path("cut.wav") + " " + out);
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find(Path("cut.wav") + ": truncated"), std::string::npos) << r.err;

  if (geteuid() != 0) {  // root reads everything
    fs::copy_file(whole, Path("locked.wav"));
    chmod(Path("locked.wav").c_str(), 0);
    r = Run("render " + Path("locked.wav") + " " + out);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("cannot be read"), std::string::npos) << r.err;
  }
  EXPECT_FALSE(fs::exists(out));
}

TEST_F(ToolTest, UnwritableOutputLeavesNoFileBehind) {
  const std::string in = WriteSignal("in.wav", 2);
  const std::string out = Path("no-such-folder/out.wav");
  Result r = Run("render " + in + " " + out);
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find(out + ": cannot be written"), std::string::npos) << r.err;
  // A directory in the way: nothing is written, and no temporary file is left.
  fs::create_directories(Path("taken.wav/inside"));
  r = Run("render " + in + " " + Path("taken.wav"));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find(Path("taken.wav") + ": cannot be written (Is a directory)"),
            std::string::npos)
      << r.err;
  for (const auto& entry : fs::directory_iterator(mDir))
    EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
}

TEST_F(ToolTest, NamesAndValuesAreCheckedAgainstTheUnit) {
  const std::string in = WriteSignal("in.wav", 2);
  Result r = Run("render " + in + " " + Path("out.wav") + " --preset Loud");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("no factory preset \"Loud\"; the presets are \"No Change\", \"Stereo "
                       "Enhance\", \"Only Stereo\", \"Only Mono\""),
            std::string::npos)
      << r.err;
  r = Run("render " + in + " " + Path("out.wav") + " --set Width=3");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("no parameter \"Width\"; the parameters are \"Gain\", \"Mono\", \"Stereo\""),
            std::string::npos)
      << r.err;
  r = Run("render " + in + " " + Path("out.wav") + " --set Gain=loud");
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("\"loud\" is not a number"), std::string::npos) << r.err;
  for (const char* bad : {"--block 0", "--block x", "--frobnicate", "--preset"}) {
    r = Run("render " + in + " " + Path("out.wav") + " " + bad);
    EXPECT_EQ(r.code, 2) << bad;
    EXPECT_NE(r.err.find("usage: orvanta render"), std::string::npos) << bad << r.err;
  }
  EXPECT_FALSE(fs::exists(Path("out.wav")));

  r = Run("render " + in + " " + Path("out.wav") + " --set Gain=12 --set Mono=-200");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("Gain 12 dB is outside [-94, 6]; clamped to 6 dB"), std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("Mono -200 dB is outside [-94, 6]; clamped to -94 dB"), std::string::npos);
  ExpectEffect(Read(in), Read(Path("out.wav")), 6, -94, 0);
}

TEST_F(ToolTest, StateFilesRoundTripIntoRendering) {
  const std::string preset = Path("mine.aupreset");
  Result r = Run("state save " + preset + " --preset \"Only Stereo\" --set Gain=-6.5");
  ASSERT_EQ(r.code, 0) << r.err;
  const std::string xml = Slurp(preset);
  EXPECT_EQ(xml.rfind("<?xml", 0), 0u);
  EXPECT_NE(xml.find("<key>data</key>"), std::string::npos);

  r = Run("state show " + preset);
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("manufacturer   1366980203 ('Qzvk')"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("name           \"Only Stereo\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Gain     -6.50 dB"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Mono     -94.00 dB"), std::string::npos) << r.out;

  const std::string in = WriteSignal("in.wav", 2);
  r = Run("render " + in + " " + Path("out.wav") + " --state " + preset);
  ASSERT_EQ(r.code, 0) << r.err;
  ExpectEffect(Read(in), Read(Path("out.wav")), -6.5, -94, 0);

  std::ofstream(Path("broken.aupreset")) << "<plist><dict><key>oops";
  r = Run("render " + in + " " + Path("out2.wav") + " --state " + Path("broken.aupreset"));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find(Path("broken.aupreset") + " is not a preset file"), std::string::npos)
      << r.err;
  r = Run("state show " + Path("missing.aupreset"));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("cannot read " + Path("missing.aupreset")), std::string::npos) << r.err;
}

TEST_F(ToolTest, ProgramFilesCarryValuesIntoRendering) {
  const std::string fxp = Path("mine.fxp");
  Result r = Run("preset export --fxp " + fxp + " --preset \"Only Mono\" --set Gain=-2");
  ASSERT_EQ(r.code, 0) << r.err;
  const std::string bytes = Slurp(fxp);
  ASSERT_EQ(bytes.size(), 68u);  // 56-byte header and three big-endian floats
  EXPECT_EQ(bytes.substr(0, 4), "CcnK");
  EXPECT_EQ(bytes.substr(8, 4), "FxCk");

  r = Run("preset import --fxp " + fxp + " --save " + Path("from-fxp.aupreset"));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("Gain     -2.00 dB"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Stereo   -94.00 dB"), std::string::npos) << r.out;

  const std::string in = WriteSignal("in.wav", 2);
  r = Run("render " + in + " " + Path("fxp.wav") + " --fxp " + fxp);
  ASSERT_EQ(r.code, 0) << r.err;
  ExpectEffect(Read(in), Read(Path("fxp.wav")), -2, 0, -94, 1e-5);
  r = Run("render " + in + " " + Path("state.wav") + " --state " + Path("from-fxp.aupreset"));
  ASSERT_EQ(r.code, 0) << r.err;
  ExpectEffect(Read(in), Read(Path("state.wav")), -2, 0, -94, 1e-5);

  std::ofstream(Path("text.fxp")) << "CcnK but nothing else of a program";
  r = Run("preset import --fxp " + Path("text.fxp"));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find(Path("text.fxp") + ": not an FXP program of this effect"), std::string::npos)
      << r.err;
  r = Run("render " + in + " " + Path("x.wav") + " --fxp " + Path("missing.fxp"));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find(Path("missing.fxp") + ": no such file"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(Path("x.wav")));
  r = Run("preset export --fxp a.fxp --fxb b.fxb");
  EXPECT_EQ(r.code, 2);

  r = Run("preset export --fxb " + Path("bank.fxb"));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(Slurp(Path("bank.fxb")).substr(8, 4), "FxBk");
  r = Run("preset import --fxb " + Path("bank.fxb"));
  ASSERT_EQ(r.code, 0) << r.err;
}

TEST_F(ToolTest, SnapshotShowsTheChosenValues) {
  // The editor showing "Stereo Enhance", and the "Only Stereo" values set one by one, are the
  // pictures the editor's own tests keep.
  Result r = Run("snapshot " + Path("enhance.png") + " --preset \"Stereo Enhance\"");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(Slurp(Path("enhance.png")), Slurp(GOLDEN_DIR "/preset1-stereo-enhance.png"));
  r = Run("snapshot " + Path("only-stereo.png") + " --set Mono=-94");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(Slurp(Path("only-stereo.png")), Slurp(GOLDEN_DIR "/preset2-only-stereo.png"));
  r = Run("snapshot " + Path("nowhere/x.png"));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find(Path("nowhere/x.png") + ": cannot be written"), std::string::npos);
}

TEST_F(ToolTest, EditorWritesTheStateWhenClosed) {
  if (!getenv("DISPLAY")) GTEST_SKIP() << "no X display";
  const std::string log = Path("editor.txt"), saved = Path("editor.aupreset");
  const std::string command = std::string(ORVANTA_TOOL) + " editor --set Gain=-4 --save " + saved +
                              " >" + log + " 2>&1 & echo $!";
  FILE* shell = popen(command.c_str(), "r");
  ASSERT_NE(shell, nullptr);
  int pid = 0;
  ASSERT_EQ(fscanf(shell, "%d", &pid), 1);
  pclose(shell);
  // Wait for the window, close it as a window manager would, and wait for the tool to end.
  unsigned long window = 0;
  for (int i = 0; i < 100 && !window; ++i) {
    usleep(50000);
    const std::string text = Slurp(log);
    const auto at = text.find(", window ");
    if (at != std::string::npos) window = strtoul(text.c_str() + at + 9, nullptr, 10);
  }
  ASSERT_NE(window, 0u) << Slurp(log);
  ASSERT_EQ(std::system(("xdotool windowclose " + std::to_string(window)).c_str()), 0);
  for (int i = 0; i < 100 && kill(pid, 0) == 0; ++i) usleep(50000);
  EXPECT_NE(kill(pid, 0), 0) << "the tool kept running after its window closed";
  if (kill(pid, 0) == 0) kill(pid, SIGTERM);
  EXPECT_NE(Slurp(log).find("wrote the unit's state to " + saved), std::string::npos) << Slurp(log);
  const Result r = Run("state show " + saved);
  EXPECT_NE(r.out.find("Gain     -4.00 dB"), std::string::npos) << r.out;
}

// The number after "key": in the part of a JSON text that follows `from`.
double JsonNumberAfter(const std::string& json, const std::string& from, const std::string& key) {
  const size_t at = json.find("\"" + key + "\": ", json.find(from));
  return at == std::string::npos ? NAN : std::atof(json.c_str() + at + key.size() + 4);
}

TEST_F(ToolTest, AnalyzeMeasuresInputAndOutputWithAPicture) {
  const std::string in = WriteSignal("in.wav", 2, 48000, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000);
  Result r =
      Run("analyze " + in + " --preset \"Stereo Enhance\" --json --plot " + Path("image.png"));
  ASSERT_EQ(r.code, 0) << r.err;
  // +3 dB on the side weight raises side against mid by exactly that.
  const double before = JsonNumberAfter(r.out, "\"input\"", "side_to_mid_db");
  const double after = JsonNumberAfter(r.out, "\"output\"", "side_to_mid_db");
  EXPECT_NEAR(after - before, 3.0, 1e-3) << r.out;
  r = Run("render " + in + " " + Path("out.wav") + " --preset 1 --report " + Path("report.png"));
  ASSERT_EQ(r.code, 0) << r.err;
  // The pictures' size, from their header: big-endian width and height after the signature.
  for (const char* picture : {"image.png", "report.png"}) {
    const std::string png = Slurp(Path(picture));
    ASSERT_GT(png.size(), 24u) << picture;
    auto word = [&](size_t at) {
      return (unsigned char)png[at] << 24 | (unsigned char)png[at + 1] << 16 |
             (unsigned char)png[at + 2] << 8 | (unsigned char)png[at + 3];
    };
    EXPECT_EQ(word(16), 1200) << picture;
    EXPECT_EQ(word(20), 700) << picture;
  }

  r = Run("analyze " + WriteSignal("mono.wav", 1));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("width (side/mid)   mono"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("output"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("inf"), std::string::npos) << r.out;
}

TEST_F(ToolTest, BatchRendersTheGoodFilesAndNamesTheBadOnes) {
  const std::string a = WriteSignal("a.wav", 2),
                    b = WriteSignal("b.aiff", 2, 44100, SF_FORMAT_AIFF | SF_FORMAT_PCM_24);
  std::ofstream(Path("bad.wav")) << "not audio";
  const Result r = Run("render " + a + " " + Path("bad.wav") + " " + b + " " + a + " --out-dir " +
                       Path("out") + " --jobs 2 --suffix -x --preset 1");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("2 of 4 files failed: " + Path("bad.wav") + ", " + a), std::string::npos)
      << r.err;
  EXPECT_NE(r.out.find("also that of " + a), std::string::npos) << r.out;
  ExpectEffect(Read(a), Read(Path("out/a-x.wav")), 0, 0, 3);
  ExpectEffect(Read(b), Read(Path("out/b-x.aiff")), 0, 0, 3, 1e-4);
  EXPECT_FALSE(fs::exists(Path("out/bad-x.wav")));
}

TEST_F(ToolTest, EveryCommandExplainsItself) {
  for (const char* command :
       {"render", "analyze", "info", "state", "validate", "demo", "preset", "snapshot", "editor"}) {
    Result r = Run(std::string(command) + " --help");
    EXPECT_EQ(r.code, 0) << command;
    EXPECT_NE(r.out.find(std::string("usage: orvanta ") + command), std::string::npos) << r.out;
  }
  Result r = Run("");
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("commands:"), std::string::npos);
  r = Run("dance");
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("unknown command \"dance\""), std::string::npos);
  r = Run("--bundle " + Path("Nothing.component") + " info");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find(Path("Nothing.component")), std::string::npos) << r.err;
}

TEST_F(ToolTest, InfoShowsTheComponentAsAHostSeesIt) {
  const Result r = Run("info");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("type aufx, subtype Qzvk, manufacturer Qzvk"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("channels: 2 in 2 out;"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("2 Stereo   dB  range -94 .. 6, default 0"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  1 Stereo Enhance\n"), std::string::npos) << r.out;
}

TEST_F(ToolTest, ValidatePassesTheComponentAndFailsABrokenOne) {
  Result r = Run("validate");
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_NE(r.out.find("failed: the component passes"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("FAIL "), std::string::npos) << r.out;

  r = Run("--bundle " BROKEN_BUNDLE " validate");
  EXPECT_EQ(r.code, 1) << r.out;
  EXPECT_NE(r.out.find("FAIL  renders 8000-192000 Hz"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("channel 1 frame 0"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("PASS  factory presets apply (4)"), std::string::npos) << r.out;
}

TEST_F(ToolTest, DemoWidensTheExample) {
  const Result r = Run("demo --out " + Path("demo.wav") + " --snapshot " + Path("demo.png"));
  ASSERT_EQ(r.code, 0) << r.err;
  // "Stereo Enhance" lifts the side by 3 dB and leaves the mid alone.
  double before = 0, after = 0;
  const auto at = r.out.find("side-to-mid ratio (RMS): before ");
  ASSERT_NE(at, std::string::npos) << r.out;
  ASSERT_EQ(
      sscanf(r.out.c_str() + at, "side-to-mid ratio (RMS): before %lf, after %lf", &before, &after),
      2);
  EXPECT_GT(before, 0.05);
  EXPECT_NEAR(after / before, std::pow(10.0, 3.0 / 20), 0.01);
  EXPECT_EQ(Slurp(Path("demo.png")), Slurp(GOLDEN_DIR "/preset1-stereo-enhance.png"));
  // The example is 16-bit, and so is what the demo writes.
  ExpectEffect(Read(EXAMPLE_FILE), Read(Path("demo.wav")), 0, 0, 3, 1.0 / 32768);
}

}  // namespace
