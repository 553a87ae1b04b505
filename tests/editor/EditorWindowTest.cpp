// The effect's editor in a real window, opened as a host opens it (CocoaUI property, view
// factory class found by name) and driven with xdotool's pointer.

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "effect/Orvanta.h"
#include "host/Host.h"
#include "raster/Raster.h"
#include "support/EditorLayout.h"
#include "x11/X11TestSupport.h"

namespace {

using namespace orvanta_editor;
using namespace editor_layout;

int KnobFrameHeight() {
  std::unique_ptr<RAS_IBitmap> strip(RAS_LoadPNG(ORVANTA_SOURCE_DIR "/resources/img/knob.png"));
  return strip ? strip->getHeight() / kKnobFrames : 0;
}

class EditorWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!x11test::HaveDisplay() || !x11test::HaveProgram("xdotool"))
      GTEST_SKIP() << "needs a display and xdotool";
    HostError error;
    mComponent = HostComponent::Load(ORVANTA_BUNDLE, &error);
    ASSERT_NE(mComponent, nullptr) << error.message;
    mUnit = HostUnit::Open(*mComponent, &error);
    ASSERT_NE(mUnit, nullptr) << error.message;
    ASSERT_EQ(mUnit->Initialize(), noErr);
    mLog = std::make_unique<HostEventLog>(mUnit->Unit());
    OpenView();
  }
  void TearDown() override {
    mView.reset();
    mLog.reset();
    if (mUnit) mUnit->Close();
  }
  void OpenView() {
    HostError error;
    mView = HostEditorView::Open(*mUnit, &error);
    ASSERT_NE(mView, nullptr) << error.message;
    // Until the window is mapped and drawn.
    mView->IdleFor(400);
  }
  double Param(int idx) {
    AudioUnitParameterValue v = 0;
    EXPECT_EQ(mUnit->GetParameter(idx, &v), noErr);
    return v;
  }
  std::vector<uint32_t> Pixels() { return x11test::ReadWindow(mView->Window(), kWidth, kHeight); }
  IPluginBase* Plug() { return static_cast<IPluginBase*>((IPluginAU*)mUnit->Storage()); }

  std::unique_ptr<HostComponent> mComponent;
  std::unique_ptr<HostUnit> mUnit;
  std::unique_ptr<HostEventLog> mLog;
  std::unique_ptr<HostEditorView> mView;
  x11test::Pointer mPointer{[this] { return mView->Window(); },
                            [this](int ms) { mView->IdleFor(ms); }};
};

TEST_F(EditorWindow, FactoryAnswersAndTheWindowShowsTheEngineBitmap) {
  EXPECT_EQ(mView->ClassName(), "Orvanta_View");
  EXPECT_EQ(mView->Description(), "Orvanta View");
  EXPECT_EQ(mView->InterfaceVersion(), 0u);
  const std::vector<uint32_t> golden = GoldenWindow("tests/effect/golden/default.png");
  ASSERT_FALSE(golden.empty());
  EXPECT_EQ(Pixels(), golden);
}

TEST_F(EditorWindow, FadersAndKnobMoveTheirParametersWithGestureEvents) {
  const FaderGeometry g = Fader();
  ASSERT_GT(g.travel, 0);
  std::vector<uint32_t> before = Pixels();
  // The gesture starts in the engine's own mouse handling, which runs under the plug-in's lock
  // (the host's threads move the same controls under it): another thread cannot take it then.
  struct LockProbe {
    UTL_Mutex* lock;
    int heldElsewhere = 0, starts = 0;
    static void Heard(void* self, void*, const AudioUnitEvent*, UInt64, AudioUnitParameterValue) {
      auto* probe = static_cast<LockProbe*>(self);
      ++probe->starts;
      std::thread([probe] {
        if (probe->lock->TryEnter()) return probe->lock->Leave();
        ++probe->heldElsewhere;
      }).join();
    }
  } probe{Plug()->GetMutex()};
  AUEventListenerRef listener = nullptr;
  ASSERT_EQ(AUEventListenerCreate(LockProbe::Heard, &probe, CFRunLoopGetCurrent(),
                                  kCFRunLoopDefaultMode, 0, 0, &listener),
            noErr);
  AudioUnitEvent start = {};
  start.mEventType = kAudioUnitEvent_BeginParameterChangeGesture;
  start.mArgument.mParameter = {mUnit->Unit(), kAUParameterListener_AnyParameter,
                                kAudioUnitScope_Global, 0};
  ASSERT_EQ(AUEventListenerAddEventType(listener, &probe, &start), noErr);

  // Left fader: the handle's centre follows the pointer.
  ASSERT_TRUE(mPointer.Drag(kMonoFaderPointerX, kFaderTop + g.half + 20, kMonoFaderPointerX,
                            kFaderTop + g.half + 150));
  double expected = Decibels(Orvanta::kMono, 1.0 - 150.0 / g.travel);
  EXPECT_NEAR(Param(Orvanta::kMono), expected, 0.01);
  EXPECT_EQ(Param(Orvanta::kStereo), 0.0);
  AUListenerDispose(listener);
  EXPECT_EQ(probe.starts, 1);
  EXPECT_EQ(probe.heldElsewhere, 1);
  std::vector<uint32_t> afterMono = Pixels();
  EXPECT_FALSE(SameRegion(before, afterMono, kMonoReadoutRect));
  EXPECT_TRUE(SameRegion(before, afterMono, kStereoReadoutRect));

  std::vector<HostEventLog::Event> events = mLog->Events();
  ASSERT_GE(events.size(), 3u);
  EXPECT_EQ(events.front().type, kAudioUnitEvent_BeginParameterChangeGesture);
  EXPECT_EQ(events.back().type, kAudioUnitEvent_EndParameterChangeGesture);
  for (size_t i = 0; i < events.size(); ++i) {
    EXPECT_EQ(events[i].parameter, (AudioUnitParameterID)Orvanta::kMono);
    EXPECT_EQ(events[i].scope, kAudioUnitScope_Global);
    EXPECT_EQ(events[i].element, 0u);
    if (i > 0 && i + 1 < events.size()) {
      EXPECT_EQ(events[i].type, kAudioUnitEvent_ParameterValueChange);
    }
  }
  mLog->Clear();

  // Right fader.
  ASSERT_TRUE(mPointer.Drag(kStereoFaderPointerX, kFaderTop + g.half + 10, kStereoFaderPointerX,
                            kFaderTop + g.half + 40));
  EXPECT_NEAR(Param(Orvanta::kStereo), Decibels(Orvanta::kStereo, 1.0 - 40.0 / g.travel), 0.01);
  EXPECT_FALSE(SameRegion(afterMono, Pixels(), kStereoReadoutRect));

  // Knob: four control heights of travel sweep the whole range.
  const int frameH = KnobFrameHeight();
  ASSERT_GT(frameH, 0);
  const int cx = 113 + 20, cy = 333 + frameH / 2;
  ASSERT_TRUE(mPointer.Drag(cx, cy, cx, cy - 20));
  double norm = Normalized(Orvanta::kGain, 0.0) + 20.0 / frameH / 4.0;
  EXPECT_NEAR(Param(Orvanta::kGain), Decibels(Orvanta::kGain, norm), 0.05);
}

TEST_F(EditorWindow, HandlesAtZeroDecibelsDragAndOnlyTheLinkTextOpensTheAddress) {
  // A stand-in for the desktop's opener, first on the path: one line per opening.
  char dir[] = "/tmp/orvanta-opener-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  std::string script = std::string(dir) + "/xdg-open", out = std::string(dir) + "/opened";
  std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> " << out << "\n";
  ASSERT_EQ(chmod(script.c_str(), 0755), 0);
  std::string path = std::string(dir) + ":" + std::getenv("PATH");
  setenv("PATH", path.c_str(), 1);

  ASSERT_TRUE(mPointer.MoveTo(150, 30));  // the title, background only
  ASSERT_TRUE(mPointer.Do("click 1"));
  EXPECT_EQ(Param(Orvanta::kGain), 0.0);
  EXPECT_TRUE(mLog->Events().empty());

  // Both handles rest at 0 dB inside the link area's rectangle; pressed there, they drag.
  const FaderGeometry g = Fader();
  ASSERT_GT(g.travel, 0);
  const int faderX[] = {kMonoFaderPointerX, kStereoFaderPointerX},
            params[] = {Orvanta::kMono, Orvanta::kStereo};
  for (int i = 0; i < 2; ++i) {
    const double zero = Normalized(params[i], 0.0);
    const int top = kFaderTop + (int)(g.travel * (1.0 - zero));
    ASSERT_GE(top + g.half, 188);
    ASSERT_LT(top + g.half, 210);
    ASSERT_TRUE(mPointer.Drag(faderX[i], top + g.half, faderX[i], top + g.half - 30));
    EXPECT_NEAR(Param(params[i]), Decibels(params[i], 1.0 - (top - 30.0 - kFaderTop) / g.travel),
                0.01);
  }

  ASSERT_TRUE(mPointer.MoveTo(136, 199));  // the address between the tracks
  ASSERT_TRUE(mPointer.Do("click 1"));
  std::vector<std::string> opened;
  for (int i = 0; i < 40 && opened.empty(); ++i) {
    mView->IdleFor(50);
    std::ifstream in(out);
    for (std::string line; std::getline(in, line);) opened.push_back(line);
  }
  EXPECT_EQ(opened, std::vector<std::string>{kMakerURL});
  EXPECT_EQ(Param(Orvanta::kGain), 0.0);
  std::remove(out.c_str());
  std::remove(script.c_str());
  rmdir(dir);
}

TEST_F(EditorWindow, AtTwiceTheSizeItShowsTheDoubledEditorAndHandlesDragAsAtItsOwnSize) {
  mView.reset();
  setenv("ORVANTA_UI_SCALE", "2", 1);
  OpenView();
  unsetenv("ORVANTA_UI_SCALE");
  const std::vector<uint32_t> golden = GoldenWindow("tests/effect/golden/default.png");
  ASSERT_FALSE(golden.empty());
  const std::vector<uint32_t> shown = x11test::ReadWindow(mView->Window(), 2 * kWidth, 2 * kHeight);
  ASSERT_EQ(shown.size(), golden.size() * 4);
  int mismatches = 0;
  for (int y = 0; y < 2 * kHeight; ++y)
    for (int x = 0; x < 2 * kWidth; ++x)
      mismatches += shown[y * 2 * kWidth + x] != golden[y / 2 * kWidth + x / 2];
  EXPECT_EQ(mismatches, 0);

  // The Stereo handle at 0 dB, pressed on its lower window pixel and dragged 30 pixels up.
  const FaderGeometry g = Fader();
  const double zero = Normalized(Orvanta::kStereo, 0.0);
  const int top = kFaderTop + (int)(g.travel * (1.0 - zero)), y = 2 * (top + g.half) + 1;
  ASSERT_TRUE(mPointer.Drag(2 * kStereoFaderX + 1, y, 2 * kStereoFaderX + 1, y - 60));
  EXPECT_NEAR(Param(Orvanta::kStereo),
              Decibels(Orvanta::kStereo, 1.0 - (top - 30.0 - kFaderTop) / g.travel), 0.01);
  EXPECT_EQ(Param(Orvanta::kMono), 0.0);
}

TEST_F(EditorWindow, ClosingAndReopeningKeepsControlStateAndBadInputIsHarmless) {
  const FaderGeometry g = Fader();
  ASSERT_TRUE(mPointer.Drag(kMonoFaderPointerX, kFaderTop + g.half + 5, kMonoFaderPointerX,
                            kFaderTop + g.half + 100));
  const double mono = Param(Orvanta::kMono);
  std::vector<uint32_t> before = Pixels();
  const unsigned long oldWindow = mView->Window();

  mView.reset();
  // Events where the window was reach nothing.
  x11test::Xdo("mousemove 60 200 click 1");
  EXPECT_EQ(Param(Orvanta::kMono), mono);

  // A parent that does not exist gives no window; the editor keeps working.
  IGraphics* graphics = Plug()->GetGUI();
  ASSERT_NE(graphics, nullptr);
  EXPECT_EQ(graphics->OpenWindow((void*)(uintptr_t)0x3ffffff1), nullptr);
  EXPECT_FALSE(graphics->WindowIsOpen());

  OpenView();
  EXPECT_NE(mView->Window(), 0u);
  EXPECT_EQ(Param(Orvanta::kMono), mono);
  EXPECT_EQ(Pixels(), before);
  (void)oldWindow;

  // The Carbon view creates no editor and says so with a null control.
  void* control = (void*)1;
  HostError error;
  EXPECT_EQ(
      HostCreateCarbonView(*mUnit, ORVANTA_BUNDLE, "Orvanta_ViewEntry", nullptr, &control, &error),
      noErr)
      << error.message;
  EXPECT_EQ(control, nullptr);
}

}  // namespace

namespace {

void* NoInstance() { return nullptr; }

TEST(ViewFactoryRegistry, NamesAreUniqueAndOnlyTheOwnerUnregisters) {
  AUViewFactoryClass mine = {};
  mine.version = kAUViewFactoryClassVersion;
  mine.alloc = NoInstance;
  AUViewFactoryClass other = mine, old = mine;
  old.version = kAUViewFactoryClassVersion + 1;

  EXPECT_FALSE(AUViewFactoryRegisterClass("Test_View", &old));
  EXPECT_FALSE(AUViewFactoryRegisterClass("", &mine));
  EXPECT_FALSE(AUViewFactoryRegisterClass("Test_View", nullptr));
  ASSERT_TRUE(AUViewFactoryRegisterClass("Test_View", &mine));
  EXPECT_FALSE(AUViewFactoryRegisterClass("Test_View", &other));
  EXPECT_EQ(AUViewFactoryLookUpClass("Test_View"), &mine);
  AUViewFactoryUnregisterClass("Test_View", &other);
  EXPECT_EQ(AUViewFactoryLookUpClass("Test_View"), &mine);
  AUViewFactoryUnregisterClass("Test_View", &mine);
  EXPECT_EQ(AUViewFactoryLookUpClass("Test_View"), nullptr);
  EXPECT_EQ(AUViewFactoryLookUpClass(nullptr), nullptr);
}

// The plug-in's class exists exactly while its executable is loaded.
TEST(ViewFactoryRegistry, ThePlugInsClassLivesWithItsExecutable) {
  HostError error;
  std::unique_ptr<HostComponent> component = HostComponent::Load(ORVANTA_BUNDLE, &error);
  ASSERT_NE(component, nullptr) << error.message;
  const AUViewFactoryClass* c = AUViewFactoryLookUpClass("Orvanta_View");
  ASSERT_NE(c, nullptr);
  void* factory = c->init(c->alloc());
  ASSERT_NE(factory, nullptr);
  // A unit that is not open has no plug-in behind it: no view.
  EXPECT_EQ(c->uiViewForAudioUnit(factory, nullptr, 0, 0), nullptr);
  c->dealloc(factory);
  const std::string executable = component->ExecutablePath();
  component.reset();
  // Earlier windows may keep the executable loaded (its X connection); the class stays
  // exactly as long.
  void* loaded = dlopen(executable.c_str(), RTLD_LAZY | RTLD_NOLOAD);
  EXPECT_EQ(AUViewFactoryLookUpClass("Orvanta_View") != nullptr, loaded != nullptr);
  if (loaded) dlclose(loaded);
}

}  // namespace
