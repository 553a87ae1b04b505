// The bundle in jalv, a host nobody here wrote, on a JACK server of the test's own (dummy
// driver): jalv.gtk3 embeds the editor in its window, xdotool drags a fader, jalv saves its
// state through its own menu, and a console jalv loading that state reports the control
// values it holds.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "effect/Orvanta.h"
#include "lv2/LV2TestHost.h"
#include "support/EditorLayout.h"
#include "x11/X11TestSupport.h"

namespace {

using namespace editor_layout;

// A program started in the background with its output in a file; stopped when dropped.
class Child {
 public:
  Child(const std::vector<std::string>& argv, const std::string& outputFile) {
    mPid = fork();
    if (mPid != 0) return;
    const int fd = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int null = open("/dev/null", O_RDONLY);
    if (fd >= 0) {
      dup2(fd, 1);
      dup2(fd, 2);
    }
    if (null >= 0) dup2(null, 0);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  ~Child() { Stop(); }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  bool Running() { return mPid > 0 && waitpid(mPid, nullptr, WNOHANG) == 0; }
  // Asks politely first, as a user's Ctrl-C would, then insists.
  void Stop() {
    if (mPid <= 0) return;
    kill(mPid, SIGINT);
    for (int i = 0; i < 100; ++i) {
      if (waitpid(mPid, nullptr, WNOHANG) != 0) {
        mPid = 0;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    kill(mPid, SIGKILL);
    waitpid(mPid, nullptr, 0);
    mPid = 0;
  }

 private:
  pid_t mPid = -1;
};

// Standard output of a shell command.
std::string Output(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
    pclose(p);
  }
  return out;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool WaitFor(const std::function<bool()>& ready, int milliseconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (!ready()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

// The last window of that exact name, or 0.
unsigned long FindWindow(const std::string& name) {
  const std::string out = Output("xdotool search --name '^" + name + "$' 2>/dev/null | tail -1");
  return std::strtoul(out.c_str(), nullptr, 10);
}

// The window of the editor's size below a window (the host embeds it in widgets of its own).
unsigned long FindEditorBelow(unsigned long window) {
  const std::string tree = Output("xwininfo -tree -id " + std::to_string(window) + " 2>/dev/null");
  const std::regex child("(0x[0-9a-f]+) .*\\s" + std::to_string(kWidth) + "x" +
                         std::to_string(kHeight) + "\\+");
  std::smatch m;
  std::string::const_iterator from = tree.begin();
  // The first line names the window itself; children follow.
  from += (std::ptrdiff_t)std::min(tree.size(), tree.find('\n'));
  if (!std::regex_search(from, tree.cend(), m, child)) return 0;
  return std::strtoul(m[1].str().c_str(), nullptr, 16);
}

// "symbol = value" lines, as jalv prints the control values it holds.
std::map<std::string, double> ControlValues(const std::string& text) {
  std::map<std::string, double> values;
  const std::regex line("^(\\w+) = (-?[0-9.]+)$");
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) {
    std::smatch m;
    if (std::regex_match(l, m, line)) values[m[1]] = std::stod(m[2]);
  }
  return values;
}

class Jalv : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!x11test::HaveDisplay()) GTEST_SKIP() << "needs a display";
    // jalv.gtk3 never opens its window with a sanitizer runtime preloaded, whatever plug-in
    // it runs, so it cannot host the instrumented bundle.
    if (*ORVANTA_HOST_PRELOAD) GTEST_SKIP() << "jalv.gtk3 does not run with sanitizer runtimes";
    for (const char* program : {"jalv", "jalv.gtk3", "jackd", "jack_wait", "xdotool", "xwininfo"})
      if (!x11test::HaveProgram(program)) GTEST_SKIP() << "needs " << program;

    // A folder of its own: the only bundle lilv finds, and the home jalv and GTK write to.
    char dir[] = "/tmp/orvanta-jalv-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    mDir = dir;
    ASSERT_EQ(mkdir((mDir + "/lv2").c_str(), 0755), 0);
    ASSERT_EQ(symlink(LV2BundlePath().c_str(), (mDir + "/lv2/orvanta.lv2").c_str()), 0);
    setenv("LV2_PATH", (mDir + "/lv2").c_str(), 1);
    setenv("HOME", mDir.c_str(), 1);
    setenv("GSETTINGS_BACKEND", "memory", 1);
    setenv("NO_AT_BRIDGE", "1", 1);

    const std::string server = "orvanta-test-" + std::to_string(getpid());
    setenv("JACK_DEFAULT_SERVER", server.c_str(), 1);
    setenv("JACK_NO_START_SERVER", "1", 1);
    mJack =
        std::make_unique<Child>(std::vector<std::string>{"jackd", "--no-realtime", "-n", server,
                                                         "-d", "dummy", "-r", "48000", "-p", "256"},
                                mDir + "/jackd.log");
    ASSERT_EQ(std::system(("jack_wait -s " + server + " -w -t 10 >/dev/null 2>&1").c_str()), 0)
        << ReadFile(mDir + "/jackd.log");
  }
  void TearDown() override {
    mJalv.reset();
    mJack.reset();
    if (!mDir.empty()) std::system(("rm -rf '" + mDir + "'").c_str());
  }

  // jalv.gtk3 with the plug-in's own UI; returns its window and the editor inside it.
  void StartGtkJalv(const std::vector<std::string>& extra, unsigned long* top,
                    unsigned long* editor) {
    std::vector<std::string> argv{"jalv.gtk3"};
    argv.insert(argv.end(), extra.begin(), extra.end());
    argv.push_back("urn:quev:orvanta");
    mJalv = std::make_unique<Child>(argv, mDir + "/jalv.log");
    ASSERT_TRUE(WaitFor([&] { return (*top = FindWindow("Orvanta")) != 0; }, 15000))
        << ReadFile(mDir + "/jalv.log");
    ASSERT_TRUE(WaitFor([&] { return (*editor = FindEditorBelow(*top)) != 0; }, 5000))
        << Output("xwininfo -tree -id " + std::to_string(*top));
    // Until the editor has drawn.
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
  }
  void Xdo(const std::string& args) {
    ASSERT_TRUE(x11test::Xdo(args)) << args;
    std::this_thread::sleep_for(std::chrono::milliseconds(80));
  }
  // jalv's own "Save" in its File menu, into a new state folder.
  void SaveState(unsigned long top, const std::string& folder) {
    Xdo("mousemove --window " + std::to_string(top) + " 19 12 click 1");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Xdo("key Down Return");
    unsigned long dialog = 0;
    ASSERT_TRUE(WaitFor([&] { return (dialog = FindWindow("Save State")) != 0; }, 5000));
    // Found by name before GTK maps it, the dialog takes the focus only once it is shown.
    ASSERT_TRUE(WaitFor(
        [&] { return x11test::Xdo("windowfocus --sync " + std::to_string(dialog)); }, 5000));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Xdo("type --delay 10 '" + folder + "'");
    // The first Return may only close the name completion.
    for (int i = 0;
         i < 3 &&
         !WaitFor([&] { return access((folder + "/state.ttl").c_str(), R_OK) == 0; }, 1000);
         ++i)
      Xdo("key Return");
    ASSERT_EQ(access((folder + "/state.ttl").c_str(), R_OK), 0) << ReadFile(mDir + "/jalv.log");
  }

  std::string mDir;
  std::unique_ptr<Child> mJack, mJalv;
};

TEST_F(Jalv, DraggingAFaderChangesTheControlValueJalvHolds) {
  unsigned long top = 0, editor = 0;
  ASSERT_NO_FATAL_FAILURE(StartGtkJalv({}, &top, &editor));

  const FaderGeometry g = Fader();
  ASSERT_GT(g.travel, 0);
  const std::string to = "mousemove --window " + std::to_string(editor) + " " +
                         std::to_string(kMonoFaderPointerX) + " ";
  Xdo(to + std::to_string(kFaderTop + g.half + 20) + " mousedown 1");
  for (int i = 1; i <= 5; ++i) Xdo(to + std::to_string(kFaderTop + g.half + 20 + 26 * i));
  Xdo("mouseup 1");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));

  const std::string folder = mDir + "/saved";
  ASSERT_NO_FATAL_FAILURE(SaveState(top, folder));
  mJalv.reset();

  // A console jalv loading that state prints the control values it starts with.
  const std::string out = Output("jalv -l '" + folder + "' </dev/null 2>/dev/null");
  const std::map<std::string, double> values = ControlValues(out);
  ASSERT_EQ(values.size(), 4u) << out;
  EXPECT_EQ(values.at("enabled"), 1.0);  // the bypass switch, not bypassed
  EXPECT_NEAR(values.at("mono"), Decibels(Orvanta::kMono, 1.0 - 150.0 / g.travel), 0.01) << out;
  EXPECT_EQ(values.at("stereo"), 0.0);
  EXPECT_EQ(values.at("gain"), 0.0);
}

TEST_F(Jalv, ControlValuesSetInJalvReachTheEditor) {
  unsigned long top = 0, editor = 0;
  ASSERT_NO_FATAL_FAILURE(StartGtkJalv({"-c", "stereo=-6"}, &top, &editor));
  const std::vector<uint32_t> window = x11test::ReadWindow(editor, kWidth, kHeight);
  ASSERT_EQ(window.size(), size_t(kWidth * kHeight));

  // Against the editor at its defaults: only the Stereo fader and its readout differ.
  const std::vector<uint32_t> golden = GoldenWindow("tests/effect/golden/default.png");
  ASSERT_FALSE(golden.empty());
  EXPECT_FALSE(SameRegion(window, golden, kStereoReadoutRect));
  EXPECT_TRUE(SameRegion(window, golden, kMonoReadoutRect));
  EXPECT_TRUE(SameRegion(window, golden, kGainReadoutRect));
}

}  // namespace
