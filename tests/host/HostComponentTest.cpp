#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "host/Host.h"

namespace fs = std::filesystem;

TEST(HostComponent, LoadsTheBundleAndRegistersItsEntry) {
  HostError error;
  auto component = HostComponent::Load(TEST_UNIT_BUNDLE, &error);
  ASSERT_NE(component, nullptr) << error.message;
  EXPECT_FALSE(error.Failed());
  EXPECT_EQ(component->Description().componentType, kAudioUnitType_Effect);
  EXPECT_EQ(component->Description().componentSubType, HostFourCC("Tstu"));
  EXPECT_EQ(component->Description().componentManufacturer, HostFourCC("Exmp"));
  EXPECT_EQ(component->Name(), "Example: Test Unit");
  EXPECT_EQ(component->Version(), 66051u);
  EXPECT_EQ(component->EntryName(), "TestUnit_Entry");
  EXPECT_EQ(component->BundleIdentifier(), "com.Example.audiounit.TestUnit");
  // The entry handed out is the one the executable exports under that name.
  void* library = dlopen(component->ExecutablePath().c_str(), RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(library, nullptr);
  EXPECT_EQ(reinterpret_cast<void*>(component->EntryRoutine()), dlsym(library, "TestUnit_Entry"));
  dlclose(library);

  ComponentDescription wanted = component->Description();
  EXPECT_EQ(FindNextComponent(nullptr, &wanted), component->GetComponent());

  // With the executable loaded, the unit can find its own bundle by identifier.
  CFBundleRef bundle = CFBundleGetBundleWithIdentifier(CFSTR("com.Example.audiounit.TestUnit"));
  ASSERT_NE(bundle, nullptr);
  CFURLRef url = CFBundleCopyBundleURL(bundle);
  UInt8 path[1024];
  ASSERT_TRUE(CFURLGetFileSystemRepresentation(url, true, path, sizeof(path)));
  EXPECT_EQ(fs::path(reinterpret_cast<char*>(path)), fs::path(TEST_UNIT_BUNDLE));
  CFRelease(url);

  auto unit = HostUnit::Open(*component, &error);
  ASSERT_NE(unit, nullptr);
  EXPECT_EQ(unit->Version(), 0x10203);
  EXPECT_EQ(unit->CanDo(kAudioUnitRenderSelect), 1);
  EXPECT_EQ(unit->CanDo(kAudioUnitResetSelect), 0);
  ComponentDescription info = {};
  EXPECT_EQ(
      GetComponentInfo(reinterpret_cast<Component>(unit->Unit()), &info, nullptr, nullptr, nullptr),
      noErr);
  EXPECT_EQ(info.componentSubType, HostFourCC("Tstu"));
  EXPECT_EQ(unit->Close(), noErr);
  EXPECT_EQ(unit->Unit(), nullptr);
}

namespace {

// Broken copies of the test bundle, one per case, in a temporary folder.
class BrokenBundle : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/orvanta-host-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    mRoot = tmpl;
    mBundle = mRoot / "Broken.component";
    fs::create_directories(mBundle / "Contents/Linux");
    fs::create_symlink(fs::path(TEST_UNIT_BUNDLE) / "Contents/Linux/TestUnit.so",
                       mBundle / "Contents/Linux/TestUnit.so");
    std::ifstream in(fs::path(TEST_UNIT_BUNDLE) / "Contents/Info.plist");
    mInfo.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void TearDown() override { fs::remove_all(mRoot); }

  void WriteInfo(const std::string& text) {
    std::ofstream(mBundle / "Contents/Info.plist") << text;
  }
  void WriteInfoReplacing(const std::string& from, const std::string& to) {
    std::string text = mInfo;
    size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    WriteInfo(text.replace(at, from.size(), to));
  }
  // Loading must fail with the status and a message naming the problem.
  void ExpectFailure(OSStatus status, const std::string& fragment) {
    HostError error;
    EXPECT_EQ(HostComponent::Load(mBundle.string(), &error), nullptr);
    EXPECT_EQ(error.status, status);
    EXPECT_NE(error.message.find(fragment), std::string::npos) << error.message;
  }

  fs::path mRoot, mBundle;
  std::string mInfo;
};

}  // namespace

TEST_F(BrokenBundle, CopyLoadsWhileIntact) {
  WriteInfo(mInfo);
  HostError error;
  EXPECT_NE(HostComponent::Load(mBundle.string(), &error), nullptr) << error.message;
}

TEST_F(BrokenBundle, MissingBundleOrInfoPlist) {
  HostError error;
  EXPECT_EQ(HostComponent::Load((mRoot / "Nothing.component").string(), &error), nullptr);
  EXPECT_EQ(error.status, kHostErr_FileNotFound);
  EXPECT_NE(error.message.find("no component bundle"), std::string::npos);
  ExpectFailure(kHostErr_FileNotFound, "has no Contents/Info.plist");
}

TEST_F(BrokenBundle, MalformedInfoPlist) {
  WriteInfo(mInfo.substr(0, mInfo.size() / 2));
  ExpectFailure(kHostErr_BadFile, "is malformed");
  WriteInfo("<plist version=\"1.0\"><array><string>x</string></array></plist>");
  ExpectFailure(kHostErr_BadFile, "is not a dictionary");
  WriteInfoReplacing("<key>AudioComponents</key>", "<key>OtherComponents</key>");
  ExpectFailure(kHostErr_BadFile, "no AudioComponents entry");
  WriteInfoReplacing("<string>Tstu</string>", "<string>Tst</string>");
  ExpectFailure(kHostErr_BadFile, "four-character codes");
  WriteInfoReplacing("<key>factoryFunction</key>", "<key>otherFunction</key>");
  ExpectFailure(kHostErr_BadFile, "no factoryFunction");
}

TEST_F(BrokenBundle, MissingExecutableOrEntry) {
  WriteInfoReplacing("<string>TestUnit_Entry</string>", "<string>Missing_Entry</string>");
  ExpectFailure(kHostErr_NoEntry, "exports no entry named Missing_Entry");
  WriteInfoReplacing("<string>TestUnit</string>", "<string>Absent</string>");
  ExpectFailure(kHostErr_NoEntry, "has no executable");
  // A name the executable only imports would call into the C library.
  WriteInfoReplacing("<string>TestUnit_Entry</string>", "<string>abort</string>");
  ExpectFailure(kHostErr_NoEntry, "defines no entry named abort: the name belongs to");
  WriteInfo(mInfo);
  fs::remove(mBundle / "Contents/Linux/TestUnit.so");
  std::ofstream(mBundle / "Contents/Linux/TestUnit.so") << "not a shared object";
  ExpectFailure(kHostErr_BadFile, "Contents/Linux/TestUnit.so is not an ELF object");
  // Cut short inside its loadable segments, which the loader would touch with SIGBUS.
  fs::copy_file(fs::path(TEST_UNIT_BUNDLE) / "Contents/Linux/TestUnit.so",
                mBundle / "Contents/Linux/TestUnit.so", fs::copy_options::overwrite_existing);
  fs::resize_file(mBundle / "Contents/Linux/TestUnit.so", 4096);
  ExpectFailure(kHostErr_BadFile, "is damaged: Contents/Linux/TestUnit.so is cut short");
}
