// IGraphicsLinux without a window: drawing, images, URLs and paths.
#include <CoreFoundation/CoreFoundation.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>

#include "TestEditor.h"
#include "framework/IParam.h"
#include "graphics/IPopupMenu.h"

using namespace x11test;

namespace {

std::string gOpened;
int gOpenCalls = 0;
bool RecordOpen(const char* address, void*) {
  gOpened = address;
  ++gOpenCalls;
  return true;
}

}  // namespace

TEST(LinuxEditor, DrawsIntoItsBitmapWithoutAWindow) {
  Editor e;
  EXPECT_EQ(e.g.GetWindow(), nullptr);
  EXPECT_FALSE(e.g.WindowIsOpen());
  EXPECT_FALSE(e.g.ProcessEvents());
  EXPECT_EQ(e.g.ConnectionFd(), -1);
  IRECT all(0, 0, 200, 150);
  e.g.Draw(&all);  // the screen copy fails quietly: there is no screen
  EXPECT_EQ(e.BitmapPixel(5, 5) >> 8, (uint32_t)(60 | 60 << 8 | 60 << 16));
  EXPECT_EQ(e.BitmapPixel(20, 20) >> 8, (uint32_t)(200 | 30 << 8 | 20 << 16));
  EXPECT_FALSE(e.g.DrawScreen(&all));

  // Services that need a window do nothing without one.
  UTL_String file("x.fxp"), dir("/tmp");
  e.g.PromptForFile(&file, kFileOpen, &dir, (char*)"fxp");
  EXPECT_STREQ(file.Get(), "");
  IPopupMenu menu;
  menu.AddItem("a");
  EXPECT_EQ(e.g.CreateIPopupMenu(&menu, &all), nullptr);
  e.g.CreateTextEntry(e.left, nullptr, &all, "1", nullptr);
  e.g.ForceEndUserEdit();
  EXPECT_EQ(e.left->mEntered, "(none)");
}

TEST(LinuxEditor, LoadsImagesFromTheResourceFolderAndNamesFailures) {
  IGraphicsLinux g(nullptr, 10, 10);
  g.SetResourceFolder(ORVANTA_SOURCE_DIR "/resources/img");
  struct {
    const char* name;
    int w, h;
  } const kImages[] = {{"resources/img/orvantaBack.png", 274, 438},
                       {"resources/img/knob.png", 48, 4800},
                       {"resources/img/SliderCap.png", 28, 20},
                       {"resources/img/font-white.png", 6 * 95, 12}};
  for (const auto& image : kImages) {
    RAS_IBitmap* b = g.OSLoadBitmap(0, image.name);
    ASSERT_NE(b, nullptr) << image.name;
    EXPECT_EQ(b->getWidth(), image.w) << image.name;
    EXPECT_EQ(b->getHeight(), image.h) << image.name;
    delete b;
  }
  EXPECT_STREQ(g.GetLastImageFailure(), "");

  // Any letter case of the extension; the folder part of the name is not used.
  RAS_IBitmap* b = g.OSLoadBitmap(0, "elsewhere/SliderCap.PNG");
  EXPECT_NE(b, nullptr);
  delete b;

  EXPECT_EQ(g.OSLoadBitmap(0, "resources/img/knob.jpg"), nullptr);
  EXPECT_STREQ(g.GetLastImageFailure(), "resources/img/knob.jpg");
  EXPECT_EQ(g.OSLoadBitmap(0, "resources/img/missing.png"), nullptr);
  EXPECT_STREQ(g.GetLastImageFailure(), "resources/img/missing.png");
  EXPECT_EQ(g.OSLoadBitmap(0, nullptr), nullptr);

  std::string folder = ::testing::TempDir() + "corrupt-images";
  mkdir(folder.c_str(), 0700);
  std::ofstream(folder + "/knob.png") << "\x89PNG\r\n\x1a\n but not really";
  g.SetResourceFolder(folder.c_str());
  EXPECT_EQ(g.OSLoadBitmap(101, "resources/img/knob.png"), nullptr);
  EXPECT_STREQ(g.GetLastImageFailure(), "resources/img/knob.png");
}

TEST(LinuxEditor, OpensAddressesThroughTheOpener) {
  IGraphicsLinux g(nullptr, 10, 10);
  IGraphicsLinux::SetURLOpener(RecordOpen, nullptr);
  gOpenCalls = 0;
  EXPECT_TRUE(g.OpenURL("https://www.orvanta.example/"));
  EXPECT_EQ(gOpened, "https://www.orvanta.example/");
  EXPECT_TRUE(g.OpenURL("/usr/share/doc/manual one.pdf"));
  EXPECT_EQ(gOpened, "file:///usr/share/doc/manual%20one.pdf");
  // Nothing to open is reported as a failure and reaches no opener.
  EXPECT_FALSE(g.OpenURL(""));
  EXPECT_FALSE(g.OpenURL(nullptr));
  EXPECT_EQ(gOpenCalls, 2);
  IGraphicsLinux::SetURLOpener(nullptr, nullptr);
}

TEST(LinuxEditor, PathsComeFromTheEnvironment) {
  IGraphicsLinux g(nullptr, 10, 10);
  const char* home = std::getenv("HOME");
  setenv("HOME", "/home/tester", 1);
  setenv("XDG_CONFIG_HOME", "/nonexistent-config", 1);
  unsetenv("XDG_DATA_HOME");
  UTL_String p;
  g.DesktopPath(&p);
  EXPECT_STREQ(p.Get(), "/home/tester/Desktop");
  g.AppSupportPath(&p, false);
  EXPECT_STREQ(p.Get(), "/home/tester/.local/share");
  g.SandboxSafeAppSupportPath(&p);
  EXPECT_STREQ(p.Get(), "/home/tester/Music");
  // No bundle has the identifier: the bundle paths stay as they were.
  g.SetBundleID("com.example.nobody");
  p.Set("unchanged");
  g.PluginPath(&p);
  EXPECT_STREQ(p.Get(), "unchanged");
  g.HostPath(&p);
  EXPECT_STREQ(p.Get(), "unchanged");
  if (home) setenv("HOME", home, 1);
  unsetenv("XDG_CONFIG_HOME");
}

TEST(LinuxEditor, FindsImagesAndPathsThroughTheBundleIdentifier) {
  // A bundle laid out as the plug-in's: Info.plist naming the identifier, pictures in
  // Contents/Resources.
  std::string parent = ::testing::TempDir() + "bundles-" + std::to_string(getpid());
  std::string bundle = parent + "/Probe.component";
  for (std::string folder : {parent, bundle, bundle + "/Contents", bundle + "/Contents/Resources",
                             bundle + "/Contents/Linux"}) {
    mkdir(folder.c_str(), 0700);
  }
  std::ofstream(bundle + "/Contents/Info.plist")
      << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
         "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
         "<plist version=\"1.0\"><dict>"
         "<key>CFBundleIdentifier</key><string>com.example.orvanta.probe</string>"
         "<key>CFBundleExecutable</key><string>Probe</string>"
         "</dict></plist>\n";
  std::ifstream in(ORVANTA_SOURCE_DIR "/resources/img/SliderCap.png", std::ios::binary);
  std::ofstream(bundle + "/Contents/Resources/SliderCap.png", std::ios::binary) << in.rdbuf();
  std::ofstream(bundle + "/Contents/Linux/Probe.so") << "";

  CFStringRef path = CFStringCreateWithCString(nullptr, bundle.c_str(), kCFStringEncodingUTF8);
  CFURLRef url = CFURLCreateWithFileSystemPath(nullptr, path, kCFURLPOSIXPathStyle, true);
  CFBundleRef made = CFBundleCreate(nullptr, url);  // the process now knows the bundle
  ASSERT_NE(made, nullptr);

  IGraphicsLinux g(nullptr, 10, 10);
  g.SetBundleID("com.example.orvanta.probe");
  RAS_IBitmap* b = g.OSLoadBitmap(104, "resources/img/SliderCap.png");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->getWidth(), 28);
  delete b;
  EXPECT_EQ(g.OSLoadBitmap(101, "resources/img/knob.png"), nullptr);  // not in this bundle

  UTL_String p;
  g.PluginPath(&p);
  EXPECT_EQ(std::string(p.Get()), parent + "/");
  g.HostPath(&p);
  EXPECT_EQ(std::string(p.Get()), bundle + "/Contents/Linux/Probe.so");
  CFRelease(made);
  CFRelease(url);
  CFRelease(path);
}
