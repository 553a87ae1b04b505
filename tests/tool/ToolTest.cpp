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
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "raster/Raster.h"
#include "x11/X11TestSupport.h"

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

  // A FLAC file of 3000 frames whose header claims `frames` (0: length unknown).
  std::string WriteFlacClaiming(const std::string& name, uint64_t frames) {
    const std::string path = WriteSignal(name, 2, 44100, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    std::string bytes = Slurp(path);
    // STREAMINFO comes first; its 36-bit total sample count ends at byte 25.
    bytes[21] = static_cast<char>((bytes[21] & 0xF0) | ((frames >> 32) & 0x0F));
    for (int i = 0; i < 4; ++i) bytes[22 + i] = static_cast<char>(frames >> (24 - 8 * i));
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
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

  // Samples that are no numbers are measured as silence and counted, so they do not pass for it.
  Audio odd = Read(in);
  odd.samples[10] = NAN;
  odd.samples[11] = INFINITY;
  odd.samples[500] = -INFINITY;
  const sf_count_t frames = odd.info.frames;  // opening for writing clears it
  SNDFILE* file = sf_open(Path("odd.wav").c_str(), SFM_WRITE, &odd.info);
  ASSERT_NE(file, nullptr);
  sf_writef_float(file, odd.samples.data(), frames);
  sf_close(file);
  r = Run("render " + Path("odd.wav") + " " + Path("odd-out.wav"));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find(", 3 samples NaN or infinite (measured as 0); after"), std::string::npos)
      << r.out;
  // Finite 64-bit values too large for a float are told apart from NaN and infinity.
  SF_INFO wide = {0, 48000, 2, SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 0, 0};
  file = sf_open(Path("wide.wav").c_str(), SFM_WRITE, &wide);
  ASSERT_NE(file, nullptr);
  const double samples[] = {0.1, 1e300, -1e300, NAN, 0.2, 0.3};
  sf_writef_double(file, samples, 3);
  sf_close(file);
  r = Run("render " + Path("wide.wav") + " " + Path("wide-out.wav"));
  EXPECT_NE(r.out.find(", 1 samples NaN or infinite and 2 samples beyond the 32-bit float range "
                       "(measured as 0); after"),
            std::string::npos)
      << r.out;
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
  // Without a length to compare with, the bar counts what is done.
  const std::string open = WriteFlacClaiming("open.flac", 0);
  r = RunShell("script -qec '" ORVANTA_TOOL " render " + open + " " + Path("open.wav") +
               "' /dev/null");
  EXPECT_NE(r.out.find("\r0 s of audio done (length unknown)"), std::string::npos) << r.out;
}

TEST_F(ToolTest, RenderKeepsTheInputFormatAndUpmixesMonoOnRequest) {
  const std::string in = WriteSignal("in.aiff", 2, 44100, SF_FORMAT_AIFF | SF_FORMAT_PCM_24);
  Result r = Run("render " + in + " " + Path("out.aiff"));
  ASSERT_EQ(r.code, 0) << r.err;
  const Audio out = Read(Path("out.aiff"));
  EXPECT_EQ(out.info.format, SF_FORMAT_AIFF | SF_FORMAT_PCM_24);
  EXPECT_EQ(out.info.samplerate, 44100);
  ExpectEffect(Read(in), out, 0, 0, 0, 1e-6);

  // The input's sample format in whatever container the output names, where it fits.
  const std::string wav24 = WriteSignal("in24.wav", 2, 44100, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
  const std::string wavFloat = WriteSignal("float.wav", 2, 44100);
  for (const auto& [from, to, format] :
       {std::tuple{wav24, "24.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24},
        {wav24, "24.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
        {wav24, "24.caf", SF_FORMAT_CAF | SF_FORMAT_PCM_24},
        {wavFloat, "float.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24}}) {
    r = Run("render " + from + " " + Path(to));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Read(Path(to)).info.format, format) << to;
  }
  // Overs clipped in an integer file are counted per channel, with the remedies; a float
  // file keeps them.
  const Audio source = Read(wav24);
  uint64_t overs[2] = {};
  for (size_t i = 0; i < source.samples.size(); ++i)
    overs[i % 2] += std::fabs(source.samples[i] * std::pow(10.0, 6.0 / 20)) > 1;
  ASSERT_GT(overs[0] + overs[1], 0u);
  r = Run("render " + wav24 + " " + Path("loud.wav") + " --set Gain=6 --report " +
          Path("loud.png"));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find(std::to_string(overs[0] + overs[1]) +
                       " samples clipped at full scale (left " + std::to_string(overs[0]) +
                       ", right " + std::to_string(overs[1]) + "): lower Gain by "),
            std::string::npos)
      << r.out;
  r = Run("render " + wav24 + " " + Path("loud.wav") + " --set Gain=6 --float");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out.find("clipped"), std::string::npos) << r.out;
  ExpectEffect(source, Read(Path("loud.wav")), 6, 0, 0);

  r = Run("render " + wav24 + " " + Path("out.mp3"));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find(Path("out.mp3") + ": cannot write \".mp3\" files"), std::string::npos)
      << r.err;
  EXPECT_FALSE(fs::exists(Path("out.mp3")));

  // A FLAC stream of unknown length (total samples 0) is read to its end.
  const std::string open = WriteFlacClaiming("open.flac", 0);
  r = Run("render " + open + " " + Path("open.wav"));
  ASSERT_EQ(r.code, 0) << r.err;
  ExpectEffect(Read(WriteSignal("same.wav", 2, 44100, SF_FORMAT_WAV | SF_FORMAT_PCM_16)),
               Read(Path("open.wav")), 0, 0, 0, 1.0 / 32768);

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

  // Every container is held to the frame count its header promises.
  for (int container : {SF_FORMAT_WAV, SF_FORMAT_AIFF, SF_FORMAT_CAF, SF_FORMAT_W64, SF_FORMAT_AU,
                        SF_FORMAT_RF64}) {
    const std::string cut = WriteSignal("cut" + std::to_string(container), 2, 44100,
                                        container | SF_FORMAT_PCM_16, 4000);
    fs::resize_file(cut, fs::file_size(cut) - 1000);
    r = Run("render " + cut + " " + out);
    EXPECT_EQ(r.code, 1) << cut;
    EXPECT_NE(r.err.find(cut + ": truncated, the header promises 4000 frames but only "),
              std::string::npos)
        << r.err;
  }
  // A 12 KB file claiming 2^36 frames is read for what it holds, not sized by its claim.
  const std::string huge = WriteFlacClaiming("huge.flac", (uint64_t(1) << 36) - 1);
  r = Run("render " + huge + " " + out);
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find(huge + ": truncated, the header promises 68719476735 frames but only 3000"),
            std::string::npos)
      << r.err;

  // Found by fuzzing: a W64-like header whose chunk size overflowed the offset arithmetic.
  std::ofstream(Path("chunky.wav"), std::ios::binary)
      << std::string("riff\x2E\x91\xCF\x11pakti/f\xFF") + std::string(6, '\x9B') + "\x93" +
             std::string(17, '\x9B') + ")" + std::string(6, '\x9B') + std::string(16, '\0') +
             "\x80" + std::string(6, '\xFF') +
             "\xBB\x9B\x9B"
             "C" +
             std::string(8, '\0');
  r = Run("render " + Path("chunky.wav") + " " + out);
  EXPECT_EQ(r.code, 1) << r.err;
  EXPECT_NE(r.err.find(Path("chunky.wav")), std::string::npos) << r.err;

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
  // A full disk, met in the encoders' buffered writes or their flush at the end: a device that
  // is always full, and a file-size limit on the temporary beside an old file.
  const std::string twoSeconds =
      WriteSignal("long.wav", 2, 48000, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 96000);
  for (const std::string extension : {".flac", ".ogg", ".opus"}) {
    fs::create_symlink("/dev/full", Path("full" + extension));
    r = Run("render " + twoSeconds + " " + Path("full" + extension));
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("full" + extension + ": cannot be written (No space left on device)"),
              std::string::npos)
        << r.err;
    std::ofstream(Path("old" + extension)) << "old";
    r = RunShell("ulimit -f 8; trap '' XFSZ; " ORVANTA_TOOL " render " + twoSeconds + " " +
                 Path("old" + extension));
    EXPECT_EQ(r.code, 1) << extension;
    EXPECT_EQ(Slurp(Path("old" + extension)), "old");
  }
  for (const auto& entry : fs::directory_iterator(mDir))
    EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
}

// Every command that writes a file goes through one writer: a link is written through to its
// target, which keeps its permission bits; a pipe is written into; nothing standing in the
// folder is followed or clobbered; a failure names its cause.
TEST_F(ToolTest, EveryWriterReplacesFilesSafely) {
  const std::string in = WriteSignal("in.wav", 2);
  fs::create_directories(Path("real"));
  std::ofstream(Path("victim")) << "keep";
  for (const std::string extension : {".flac", ".aupreset", ".fxp", ".png"}) {
    const std::string command = extension == ".flac"       ? "render " + in + " "
                                : extension == ".aupreset" ? "state save "
                                : extension == ".fxp"      ? "preset export --fxp "
                                                           : "snapshot ";
    const std::string target = Path("real/target" + extension), link = Path("link" + extension);
    std::ofstream(target) << "old";
    chmod(target.c_str(), 0640);
    fs::create_symlink(target, link);
    // The name the state writer once used for its temporary, as a link to someone's file.
    fs::create_symlink(Path("victim"), link + ".partial");
    Result r = Run(command + link);
    ASSERT_EQ(r.code, 0) << command << r.err;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_NE(Slurp(target), "old") << command;
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640)) << command;
    EXPECT_EQ(Slurp(Path("victim")), "keep") << command;
    fs::remove(link + ".partial");

    const std::string fifo = Path("fifo" + extension), received = Path("received");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    r = RunShell("(cat " + fifo + " >" + received + " & " ORVANTA_TOOL " " + command + fifo +
                 "; s=$?; wait; exit $s)");
    EXPECT_EQ(r.code, 0) << command << r.err;
    EXPECT_TRUE(fs::is_fifo(fifo));
    // FLAC through a pipe has no length in its header, and nothing after its last frame; the
    // others are the same bytes.
    if (extension == ".flac")
      EXPECT_EQ(Run("analyze " + received).code, 0);
    else
      EXPECT_EQ(Slurp(received), Slurp(target)) << command;

    r = Run(command + in + "/x" + extension);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(in + "/x" + extension + ": cannot be written (Not a directory)"),
              std::string::npos)
        << r.err;
  }
  // Standard output, a pipe here: only a format that streams, named when it has no extension.
  Result r = RunShell("(" ORVANTA_TOOL " render " + in + " - | cat >" + Path("piped.au") + ")");
  EXPECT_NE(r.err.find("a pipe cannot take a .wav file"), std::string::npos) << r.err;
  r = RunShell("(" ORVANTA_TOOL " render " + in + " - --format au --set Gain=-2 | cat >" +
               Path("piped.au") + ")");
  EXPECT_NE(r.err.find("-: 3000 frames"), std::string::npos) << r.err;
  ExpectEffect(Read(in), Read(Path("piped.au")), -2, 0, 0);
  r = RunShell("(for i in $(seq 80); do (" ORVANTA_TOOL " state save " + Path("same.aupreset") +
               " || echo failed) & done; wait)");
  EXPECT_NE(r.out.find("wrote the unit's state"), std::string::npos);
  EXPECT_EQ(r.out.find("failed"), std::string::npos) << r.err;
  // A folder the tool may not write to; root writes everywhere, so it runs as nobody there.
  fs::create_directories(Path("locked"));
  chmod(Path("locked").c_str(), 0555);
  const std::string as =
      geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
  const Result locked = RunShell(as + ORVANTA_TOOL " state save " + Path("locked/x.aupreset"));
  EXPECT_EQ(locked.code, 1);
  EXPECT_NE(locked.err.find("locked/x.aupreset: cannot be written (Permission denied)"),
            std::string::npos)
      << locked.err;
  for (const auto& entry : fs::recursive_directory_iterator(mDir))
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
  for (const char* bad : {"--block 0", "--block x", "--frobnicate", "--preset", "--jobs ' 2'",
                          "--jobs +2", "--preset ''"}) {
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

  // The input as the output only when asked for; after "--", names that look like options.
  const Audio original = Read(in);
  r = Run("render " + in + " " + in);
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("add --replace-input"), std::string::npos) << r.err;
  ASSERT_EQ(RunShell("cd " + mDir.string() +
                     " && " ORVANTA_TOOL " render --set Gain=-6 -- in.wav " + "--replace-input")
                .code,
            0);
  ExpectEffect(original, Read(Path("--replace-input")), -6, 0, 0);
  ASSERT_EQ(Run("render " + in + " " + in + " --replace-input --set Gain=-6").code, 0);
  ExpectEffect(original, Read(in), -6, 0, 0);
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

  // A name of any length is shown whole.
  const std::string longName(600, 'n'), tag = "<string>Only Stereo</string>";
  std::string renamed = xml;
  renamed.replace(renamed.find(tag), tag.size(), "<string>" + longName + "</string>");
  std::ofstream(Path("long.aupreset")) << renamed;
  r = Run("state show " + Path("long.aupreset"));
  EXPECT_NE(r.out.find("name           \"" + longName + "\""), std::string::npos) << r.out;

  const std::string in = WriteSignal("in.wav", 2);
  r = Run("render " + in + " " + Path("out.wav") + " --state " + preset);
  ASSERT_EQ(r.code, 0) << r.err;
  ExpectEffect(Read(in), Read(Path("out.wav")), -6.5, -94, 0);

  // A cut-off XML list, and a binary one whose key "data" is a UTF-16 text holding U+0000.
  const std::string nulKey = std::string(
                                 "bplist00\xD1\x01\x02\x66"
                                 "data\x4F\x10\x18") +
                             std::string(24, '\0') + "\x08\x0B\x10" + std::string(6, '\0') +
                             "\x01\x01" + std::string(7, '\0') + "\x03" + std::string(15, '\0') +
                             "\x2B";
  for (const std::string& bad : {std::string("<plist><dict><key>oops"), nulKey}) {
    std::ofstream(Path("broken.aupreset"), std::ios::binary) << bad;
    r = Run("render " + in + " " + Path("out2.wav") + " --state " + Path("broken.aupreset"));
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(Path("broken.aupreset") + " is not a preset file"), std::string::npos)
        << r.err;
    r = Run("state show " + Path("broken.aupreset"));
    EXPECT_EQ(r.code, 1) << r.err;
  }
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
  EXPECT_EQ(bytes.substr(28, 28), "Only Mono (changed)" + std::string(9, '\0'));

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
  EXPECT_NE(r.err.find(Path("text.fxp") + ": truncated; the FXP program ends before"),
            std::string::npos)
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
  EXPECT_NE(
      r.out.find(": 4 programs\n  0 \"No Change\"      Gain 0.00 dB, Mono 0.00 dB, Stereo "
                 "0.00 dB\n  1 \"Stereo Enhance\" Gain 0.00 dB, Mono 0.00 dB, Stereo 3.00 dB"),
      std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find("-0.00"), std::string::npos) << r.out;
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
  // Twice the size: every pixel of the picture at 1x a 2 by 2 block.
  r = Run("snapshot " + Path("double.png") + " --preset \"Stereo Enhance\" --scale 2");
  ASSERT_EQ(r.code, 0) << r.err;
  std::unique_ptr<RAS_IBitmap> one(RAS_LoadPNG(Path("enhance.png").c_str()));
  std::unique_ptr<RAS_IBitmap> two(RAS_LoadPNG(Path("double.png").c_str()));
  ASSERT_TRUE(one && two);
  ASSERT_EQ(two->getWidth(), 2 * one->getWidth());
  ASSERT_EQ(two->getHeight(), 2 * one->getHeight());
  int mismatches = 0;
  for (int y = 0; y < two->getHeight(); ++y)
    for (int x = 0; x < two->getWidth(); ++x)
      mismatches += two->getBits()[y * two->getRowSpan() + x] !=
                    one->getBits()[y / 2 * one->getRowSpan() + x / 2];
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(Run("snapshot " + Path("x.png") + " --scale 3").code, 2);
  EXPECT_EQ(Run("snapshot " + Path("x.png") + " --scale ''").code, 2);
  r = Run("snapshot " + Path("nowhere/x.png"));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find(Path("nowhere/x.png") + ": cannot be written"), std::string::npos);
  // A bundle that lost an image is refused, not drawn without it.
  const fs::path bundle = mDir / "Orvanta.component";
  fs::copy(fs::path(ORVANTA_TOOL).parent_path() / "au/Orvanta.component", bundle,
           fs::copy_options::recursive);
  fs::remove(bundle / "Contents/Resources/knob.png");
  r = Run("--bundle " + bundle.string() + " snapshot " + Path("lost.png"));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("the editor's image resources/img/knob.png is missing"), std::string::npos)
      << r.err;
  EXPECT_FALSE(fs::exists(Path("lost.png")));
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
  // Freshly opened, the window shows what the snapshot shows: every readout filled in.
  ASSERT_EQ(Run("snapshot " + Path("expected.png") + " --set Gain=-4").code, 0);
  std::unique_ptr<RAS_IBitmap> expected(RAS_LoadPNG(Path("expected.png").c_str()));
  ASSERT_NE(expected, nullptr);
  const int w = expected->getWidth(), h = expected->getHeight();
  std::vector<uint32_t> rgb;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const RAS_pixel p = expected->getBits()[y * expected->getRowSpan() + x];
      rgb.push_back(((p >> 8) & 0xff) << 16 | ((p >> 16) & 0xff) << 8 | (p >> 24));
    }
  std::vector<uint32_t> shown;
  for (int i = 0; i < 40 && shown != rgb; ++i, usleep(50000))
    shown = x11test::ReadWindow(window, w, h);
  EXPECT_TRUE(shown == rgb) << "the window differs from the snapshot";
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

  // A file name that is not UTF-8 stays valid JSON.
  fs::copy_file(in, Path("\xff.wav"));
  r = Run("analyze " + Path("\xff.wav") + " --json");
  EXPECT_NE(r.out.find("{\"file\": \"" + Path("\\ufffd.wav") + "\""), std::string::npos) << r.out;

  r = Run("analyze " + in + " --preset 1 --set Gain=-1");
  EXPECT_NE(r.out.find("output with Stereo Enhance (changed): Gain -1 dB, Mono 0 dB, Stereo 3 dB"),
            std::string::npos)
      << r.out;

  r = Run("analyze " + WriteSignal("mono.wav", 1));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("Width (side/mid)   mono"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("output"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("inf"), std::string::npos) << r.out;
}

TEST_F(ToolTest, BatchRendersTheGoodFilesAndNamesTheBadOnes) {
  const std::string a = WriteSignal("a.wav", 2),
                    b = WriteSignal("b.aiff", 2, 44100, SF_FORMAT_AIFF | SF_FORMAT_PCM_24);
  std::ofstream(Path("bad.wav")) << "not audio";
  Result r = Run("render " + a + " " + Path("bad.wav") + " " + b + " " + a + " --out-dir " +
                 Path("out") + " --jobs 2 --suffix -x --preset 1");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find(a + " is listed twice; it is rendered once"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("1 of 3 files failed: " + Path("bad.wav") + "\n"), std::string::npos)
      << r.err;
  ExpectEffect(Read(a), Read(Path("out/a-x.wav")), 0, 0, 3);
  ExpectEffect(Read(b), Read(Path("out/b-x.aiff")), 0, 0, 3, 1e-4);
  EXPECT_FALSE(fs::exists(Path("out/bad-x.wav")));

  // Run again over what is there, the outputs beside the inputs: no output may be an input.
  const std::string ax = Path("a-x.wav");
  fs::copy_file(b, ax);
  r = Run("render " + a + " " + ax + " --out-dir " + Path("") + " --suffix -x");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.out.find("would replace the input " + ax), std::string::npos) << r.out;
  EXPECT_EQ(Slurp(ax), Slurp(b));
  EXPECT_TRUE(fs::exists(Path("a-x-x.wav")));
  // No more jobs at once than the open-file limit leaves room for.
  r = RunShell("ulimit -n 16; " ORVANTA_TOOL " render " + a + " " + b + " --jobs 9 --out-dir " +
               Path("few"));
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("the limit of 16 open files leaves room for 1 jobs, not 2"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(
      Run("render " + a + " " + a + " --out-dir " + Path("") + " --suffix " + "/../victim").code,
      2);
}

// Installed into a staging folder as a package build does: the installed tool finds the
// component installed with it, and lilv's programs find and run the installed LV2 bundle.
TEST_F(ToolTest, InstalledProductsRunFromWhereTheyAreInstalled) {
  const std::string prefix = Path("stage") + "/usr/local";
  Result r = RunShell("DESTDIR='" + Path("stage") + "' '" CMAKE_COMMAND "' --install '" +
                      ORVANTA_BUILD_DIR + "' --prefix /usr/local");
  ASSERT_EQ(r.code, 0) << r.err;
  const std::string tool = "'" + prefix + "/bin/orvanta' ";
  r = RunShell(tool + "info");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("(" + prefix + "/lib/orvanta/Orvanta.component)"), std::string::npos)
      << r.out;
  const std::string in = WriteSignal("in.wav", 2);
  r = RunShell(tool + "render " + in + " " + Path("au.wav") + " --preset 'Stereo Enhance'");
  ASSERT_EQ(r.code, 0) << r.err;
  ExpectEffect(Read(in), Read(Path("au.wav")), 0, 0, 3);

#ifdef ORVANTA_SANITIZED
  GTEST_SKIP() << "lilv's programs load no sanitized plug-in";
#endif
  if (std::system("command -v lv2info >/dev/null && command -v lv2apply >/dev/null") != 0)
    GTEST_SKIP() << "lv2info and lv2apply (lilv-utils) are not installed";
  const std::string lv2 = "LV2_PATH='" + prefix + "/lib/lv2' ";
  r = RunShell(lv2 + "lv2info urn:quev:orvanta");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find(prefix + "/lib/lv2/orvanta.lv2/orvanta.so"), std::string::npos) << r.out;
  r = RunShell(lv2 + "lv2apply -i " + in + " -o " + Path("lv2.wav") +
               " -c stereo 3 urn:quev:orvanta");
  ASSERT_EQ(r.code, 0) << r.err;
  ExpectEffect(Read(in), Read(Path("lv2.wav")), 0, 0, 3);
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
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  // The sanitizer runtimes own the mutex entry points, so locks cannot be counted there.
  const char* const kPasses = " 0 failed, 1 skipped: the component passes";
  const char* const kLocks = "SKIP  rendering takes no lock but the unit's own: this build cannot";
#else
  const char* const kPasses = " 0 failed, 0 skipped: the component passes";
  const char* const kLocks = "FAIL  rendering takes no lock but the unit's own: 50 and 50 lock";
#endif
  Result r = Run("validate");
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_NE(r.out.find(kPasses), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("FAIL "), std::string::npos) << r.out;

  // One fault of the broken unit (ORVANTA_BROKEN_UNIT) or of its bundle per case; without
  // either it is the real unit and passes.
  const struct {
    const char* fault;
    const char* bundleEdit;
    const char* verdict;
  } cases[] = {
      {"", "", kPasses},
      {"halves-right", "",
       "FAIL  Orvanta: renders 8000-192000 Hz in blocks of 1-4096 frames as mid/side "
       "arithmetic: 8000 Hz, 4096 frames: channel 1 frame 0"},
      {"fast-halves-right", "",
       "FAIL  fast-dispatch render gives the Render selector's samples: 512 frames: channel 1 "
       "frame 0"},
      {"ignores-bypass", "", "FAIL  bypass passes the input through: Render: channel 0 frame 0"},
      {"zeroes-block-start", "", "FAIL  the same output at every block split: channel 0 frame 1 "},
      {"aborts-on-empty", "", "FAIL  zero-frame renders: the unit crashed (signal 6"},
      {"sleeps", "", "FAIL  a 512-frame block renders in under a quarter of its duration: median "},
      {"allocates", "", "FAIL  rendering allocates nothing: 50 and 50 allocations"},
      {"locks", "", kLocks},
      {"aborts-on-bad-state", "",
       "FAIL  hostile ClassInfo dictionaries refused, state kept: the unit crashed (signal 6"},
      {"", "rm Contents/Resources/knob.png",
       "FAIL  Orvanta: the editor's 4 images are in the bundle: knob.png is missing"},
      {"", "rm Contents/Resources/knob.png && echo x >Contents/Resources/knob.png",
       "knob.png does not load"},
      {"", "sed -i s/131073/65536/ Contents/Info.plist",
       "FAIL  Info.plist and the unit agree on version, type, subtype and maker: Info.plist says "
       "version 0x10000, the unit 0x20001; Info.plist says version in the saved state 0x10000, "
       "the unit 0x20001\n"},
      {"", "sed -i s/aufx/aumu/ Contents/Info.plist", "says type 'aumu', the unit has 1 input"},
      {"", "sed -i 0,/Qzvk/s//Brkn/ Contents/Info.plist",
       "says manufacturer 'Brkn', the unit 'Qzvk'"},
  };
  for (const auto& c : cases) {
    const std::string bundle = Path("Broken.component");
    fs::remove_all(bundle);
    fs::copy(BROKEN_BUNDLE, bundle, fs::copy_options::recursive);
    ASSERT_EQ(RunShell(std::string("cd ") + bundle + " && true " + (*c.bundleEdit ? "&& " : "") +
                       c.bundleEdit)
                  .code,
              0);
    r = RunShell(std::string("ORVANTA_BROKEN_UNIT=") + c.fault + " " ORVANTA_TOOL " --bundle " +
                 bundle + " validate");
    EXPECT_EQ(r.code, r.out.find("FAIL  ") != std::string::npos ? 1 : 0) << c.fault << r.out;
    EXPECT_NE(r.out.find(c.verdict), std::string::npos) << c.fault << c.bundleEdit << r.out;
    EXPECT_NE(r.out.find("PASS  factory presets apply (4)"), std::string::npos) << r.out;
  }
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
