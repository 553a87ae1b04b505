#include <CoreFoundation/CoreFoundation.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string Path(CFURLRef url) {
  UInt8 buf[1024];
  return CFURLGetFileSystemRepresentation(url, true, buf, sizeof(buf))
             ? reinterpret_cast<char*>(buf)
             : "<none>";
}

std::string Text(CFStringRef s) {
  char buf[512];
  return CFStringGetCString(s, buf, sizeof(buf), kCFStringEncodingUTF8) ? buf : "<fail>";
}

// A bundle folder laid out as on the Mac, in a fresh temporary folder.
class Bundle : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/orvanta-bundle-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    mRoot = fs::path(tmpl) / "Test Unit.component";
    fs::create_directories(mRoot / "Contents/Resources/img");
    fs::create_directories(mRoot / "Contents/Linux");
    std::ofstream(mRoot / "Contents/Info.plist")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
           "<key>CFBundleIdentifier</key><string>"
        << mIdentifier
        << "</string><key>CFBundleExecutable</key><string>TestUnit</string>"
           "<key>CFBundleVersion</key><string>2.0.1</string></dict></plist>";
    std::ofstream(mRoot / "Contents/Resources/knob.png") << "png";
    std::ofstream(mRoot / "Contents/Resources/img/a b.png") << "png";
    std::ofstream(mRoot / "Contents/Linux/TestUnit.so") << "not really";
  }
  void TearDown() override { fs::remove_all(mRoot.parent_path()); }

  CFBundleRef Open(const fs::path& folder = {}) {
    std::string root = folder.empty() ? mRoot.string() : folder.string();
    CFURLRef url = CFURLCreateFromFileSystemRepresentation(
        nullptr, reinterpret_cast<const UInt8*>(root.c_str()), root.size(), true);
    CFBundleRef b = CFBundleCreate(nullptr, url);
    CFRelease(url);
    return b;
  }

  fs::path mRoot;
  std::string mIdentifier = "com.Example.test." + std::to_string(getpid()) + "." +
                            ::testing::UnitTest::GetInstance()->current_test_info()->name();
};

}  // namespace

TEST_F(Bundle, IdentityResourcesAndExecutable) {
  CFBundleRef b = Open();
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(Open(), b);  // one bundle per folder, however it is named
  EXPECT_EQ(Open(mRoot / "Contents" / ".."), b);
  EXPECT_EQ(Text(CFBundleGetIdentifier(b)), mIdentifier);
  CFStringRef id = CFStringCreateWithCString(nullptr, mIdentifier.c_str(), kCFStringEncodingUTF8);
  EXPECT_EQ(CFBundleGetBundleWithIdentifier(id), b);
  CFRelease(id);
  EXPECT_EQ(CFBundleGetVersionNumber(b), 0x02018000u);

  CFURLRef url = CFBundleCopyBundleURL(b);
  EXPECT_EQ(Path(url), mRoot.string());
  EXPECT_EQ(Text(CFURLGetString(url)).rfind("file://"), 0u);
  EXPECT_NE(Text(CFURLGetString(url)).find("Test%20Unit.component/"), std::string::npos);
  CFRelease(url);

  CFURLRef knob = CFBundleCopyResourceURL(b, CFSTR("knob"), CFSTR("png"), nullptr);
  EXPECT_EQ(Path(knob), (mRoot / "Contents/Resources/knob.png").string());
  CFRelease(knob);
  CFURLRef nested = CFBundleCopyResourceURL(b, CFSTR("a b.png"), nullptr, CFSTR("img"));
  EXPECT_EQ(Path(nested), (mRoot / "Contents/Resources/img/a b.png").string());
  CFRelease(nested);
  EXPECT_EQ(CFBundleCopyResourceURL(b, CFSTR("missing"), CFSTR("png"), nullptr), nullptr);
  // Names may not climb out of the Resources folder.
  EXPECT_EQ(CFBundleCopyResourceURL(b, CFSTR("../Info"), CFSTR("plist"), nullptr), nullptr);

  CFURLRef exe = CFBundleCopyExecutableURL(b);
  EXPECT_EQ(Path(exe), (mRoot / "Contents/Linux/TestUnit.so").string());
  CFRelease(exe);
  // The file is no shared object, so loading fails cleanly.
  EXPECT_FALSE(CFBundleLoadExecutable(b));
  EXPECT_EQ(CFBundleGetFunctionPointerForName(b, CFSTR("main")), nullptr);
}

TEST_F(Bundle, MalformedInfoPlistLeavesNoIdentity) {
  std::ofstream(mRoot / "Contents/Info.plist") << "<plist><dict><key>CFBundleIdentifier";
  CFBundleRef b = Open();
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(CFBundleGetIdentifier(b), nullptr);
  EXPECT_EQ(CFDictionaryGetCount(CFBundleGetInfoDictionary(b)), 0);
  EXPECT_EQ(CFBundleCopyExecutableURL(b), nullptr);
}

TEST(MainBundle, IsTheProgramFolderAndItsIdentifierCanBeSet) {
  CFBundleRef main = CFBundleGetMainBundle();
  ASSERT_NE(main, nullptr);
  CFURLRef url = CFBundleCopyBundleURL(main);
  EXPECT_EQ(Path(url), fs::canonical("/proc/self/exe").parent_path().string());
  CFRelease(url);
  CFBundleLinuxSetMainBundleIdentifier(CFSTR("com.apple.logic10"));
  EXPECT_EQ(Text(CFBundleGetIdentifier(main)), "com.apple.logic10");
  EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.apple.logic10")), main);
  CFBundleLinuxSetMainBundleIdentifier(nullptr);
  EXPECT_EQ(CFBundleGetIdentifier(main), nullptr);
}

TEST(CFURL, PathsAndStrings) {
  CFURLRef u = CFURLCreateWithString(nullptr, CFSTR("file:///tmp/a%20b/c.aupreset"), nullptr);
  ASSERT_NE(u, nullptr);
  EXPECT_EQ(Path(u), "/tmp/a b/c.aupreset");
  CFStringRef ext = CFURLCopyPathExtension(u);
  EXPECT_EQ(Text(ext), "aupreset");
  CFRelease(ext);
  CFURLRef parent = CFURLCreateCopyDeletingLastPathComponent(nullptr, u);
  EXPECT_EQ(Text(CFURLGetString(parent)), "file:///tmp/a%20b/");
  CFRelease(parent);
  UInt8 tiny[4];
  EXPECT_FALSE(CFURLGetFileSystemRepresentation(u, true, tiny, sizeof(tiny)));
  CFRelease(u);
  EXPECT_EQ(CFURLCreateWithString(nullptr, CFSTR("http://example.com/"), nullptr), nullptr);
  EXPECT_EQ(CFURLCreateWithString(nullptr, CFSTR("file:///bad%2"), nullptr), nullptr);
}
