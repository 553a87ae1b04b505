// The editor library as a host loads it: the UI descriptor of the built bundle, embedded in
// a window of the test's own or shown in a window of its own, driven with xdotool's pointer.
// What the editor writes and touches is recorded as the host's port protocol sees it.

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "effect/Orvanta.h"
#include "lv2/LV2HostWindow.h"
#include "lv2/LV2TestHost.h"
#include "support/EditorLayout.h"
#include "x11/X11TestSupport.h"

namespace {

using namespace editor_layout;

struct PortWrite {
  uint32_t port = 0, size = 0, format = 0;
  float value = NAN;
};

struct Touch {
  uint32_t port = 0;
  bool grabbed = false;
};

// Loads orvanta_ui.so and plays the host's side of one UI instance.
class UIHost {
 public:
  UIHost() {
    mLibrary = dlopen((LV2BundlePath() + "/orvanta_ui.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!mLibrary) return;
    auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(mLibrary, "lv2ui_descriptor"));
    if (entry) mDescriptor = entry(0);
  }
  ~UIHost() {
    Cleanup();
    if (mLibrary) dlclose(mLibrary);
  }

  const LV2UI_Descriptor* Descriptor() const { return mDescriptor; }

  // Instantiates with the touch and resize features, the parent window when given, and with a
  // scale factor above 0 the options and URI map features that carry it.
  LV2UI_Handle Instantiate(unsigned long parent, const char* pluginURI = "urn:quev:orvanta",
                           float scaleFactor = 0) {
    mTouchFeature = {this, &UIHost::OnTouch};
    mResizeFeature = {this, &UIHost::OnResize};
    const LV2_Feature touch = {LV2_UI__touch, &mTouchFeature};
    const LV2_Feature resize = {LV2_UI__resize, &mResizeFeature};
    const LV2_Feature parentFeature = {LV2_UI__parent, (void*)parent};
    const LV2_Options_Option options[] = {{LV2_OPTIONS_INSTANCE, 0, Map(this, LV2_UI__scaleFactor),
                                           sizeof(float), Map(this, LV2_ATOM__Float), &scaleFactor},
                                          {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
    LV2_URID_Map map = {this, &UIHost::Map};
    const LV2_Feature optionsFeature = {LV2_OPTIONS__options, (void*)options};
    const LV2_Feature mapFeature = {LV2_URID__map, &map};
    const LV2_Feature* withParent[] = {&touch,          &resize,     &parentFeature,
                                       &optionsFeature, &mapFeature, nullptr};
    if (!(scaleFactor > 0)) withParent[3] = nullptr;
    const LV2_Feature* withoutParent[] = {&touch, &resize, nullptr};
    mHandle =
        mDescriptor->instantiate(mDescriptor, pluginURI, LV2BundlePath().c_str(), &UIHost::OnWrite,
                                 this, &mWidget, parent ? withParent : withoutParent);
    return mHandle;
  }
  void Cleanup() {
    if (mHandle) mDescriptor->cleanup(mHandle);
    mHandle = nullptr;
  }

  template <class T>
  const T* Extension(const char* uri) const {
    return static_cast<const T*>(mDescriptor->extension_data(uri));
  }
  int Idle() { return Extension<LV2UI_Idle_Interface>(LV2_UI__idleInterface)->idle(mHandle); }
  // Runs the UI's idle calls for a while, as a host's timer would.
  void IdleFor(int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
      if (Idle() != 0) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  void PortEvent(uint32_t port, float value, uint32_t size = sizeof(float), uint32_t format = 0) {
    mDescriptor->port_event(mHandle, port, size, format, &value);
  }

  LV2UI_Handle Handle() const { return mHandle; }
  unsigned long Widget() const { return (unsigned long)(uintptr_t)mWidget; }

  std::vector<PortWrite> mWrites;
  std::vector<Touch> mTouches;
  int mResizedW = 0, mResizedH = 0;

 private:
  static void OnWrite(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format,
                      const void* buffer) {
    PortWrite w{port, size, format, NAN};
    if (size == sizeof(float)) std::memcpy(&w.value, buffer, sizeof(float));
    static_cast<UIHost*>(controller)->mWrites.push_back(w);
  }
  static void OnTouch(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed) {
    static_cast<UIHost*>(handle)->mTouches.push_back({port, grabbed});
  }
  static LV2_URID Map(LV2_URID_Map_Handle handle, const char* uri) {
    std::vector<std::string>& uris = static_cast<UIHost*>(handle)->mURIs;
    for (size_t i = 0; i < uris.size(); ++i)
      if (uris[i] == uri) return (LV2_URID)(i + 1);
    uris.push_back(uri);
    return (LV2_URID)uris.size();
  }
  static int OnResize(LV2UI_Feature_Handle handle, int w, int h) {
    auto* host = static_cast<UIHost*>(handle);
    host->mResizedW = w;
    host->mResizedH = h;
    return 0;
  }

  void* mLibrary = nullptr;
  const LV2UI_Descriptor* mDescriptor = nullptr;
  LV2UI_Handle mHandle = nullptr;
  LV2UI_Widget mWidget = nullptr;
  LV2UI_Touch mTouchFeature{};
  LV2UI_Resize mResizeFeature{};
  std::vector<std::string> mURIs;
};

class LV2UIWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!x11test::HaveDisplay() || !x11test::HaveProgram("xdotool"))
      GTEST_SKIP() << "needs a display and xdotool";
    ASSERT_NE(mHost.Descriptor(), nullptr) << dlerror();
    ASSERT_NE(mParent.Id(), 0u);
  }
  void TearDown() override { mHost.Cleanup(); }
  std::vector<uint32_t> Pixels() { return x11test::ReadWindow(mHost.Widget(), kWidth, kHeight); }

  UIHost mHost;
  LV2HostWindow mParent{kWidth, kHeight};  // the host's window the editor is embedded in
  x11test::Pointer mPointer{[this] { return mHost.Widget(); },
                            [this](int ms) { mHost.IdleFor(ms); }};
};

TEST_F(LV2UIWindow, EmbedsInTheParentAndOffersIdleAndShow) {
  ASSERT_NE(mHost.Instantiate(mParent.Id()), nullptr);
  ASSERT_NE(mHost.Widget(), 0u);
  EXPECT_EQ(mParent.ParentOf(mHost.Widget()), mParent.Id());
  EXPECT_EQ(mHost.mResizedW, kWidth);
  EXPECT_EQ(mHost.mResizedH, kHeight);

  EXPECT_NE(mHost.Extension<LV2UI_Idle_Interface>(LV2_UI__idleInterface), nullptr);
  EXPECT_NE(mHost.Extension<LV2UI_Show_Interface>(LV2_UI__showInterface), nullptr);
  EXPECT_EQ(mHost.Extension<void>("urn:nothing"), nullptr);
  EXPECT_EQ(mHost.Extension<void>(nullptr), nullptr);
  EXPECT_EQ(mHost.Idle(), 0);
}

TEST_F(LV2UIWindow, AHostsScaleFactorOfTwoOpensTheEditorAtTwiceItsSize) {
  ASSERT_NE(mHost.Instantiate(mParent.Id(), "urn:quev:orvanta", 2.0f), nullptr);
  EXPECT_EQ(mHost.mResizedW, 2 * kWidth);
  EXPECT_EQ(mHost.mResizedH, 2 * kHeight);
  mHost.Cleanup();
  ASSERT_NE(mHost.Instantiate(mParent.Id(), "urn:quev:orvanta", 1.0f), nullptr);
  EXPECT_EQ(mHost.mResizedW, kWidth);
}

TEST_F(LV2UIWindow, RefusesAnotherPluginsURI) {
  EXPECT_EQ(mHost.Instantiate(mParent.Id(), "urn:quev:other"), nullptr);
  EXPECT_EQ(mHost.Instantiate(mParent.Id(), nullptr), nullptr);
}

TEST_F(LV2UIWindow, DraggingAFaderWritesItsPortInsideATouchGesture) {
  ASSERT_NE(mHost.Instantiate(mParent.Id()), nullptr);
  mHost.IdleFor(300);
  const FaderGeometry g = Fader();
  ASSERT_GT(g.travel, 0);
  const std::vector<uint32_t> before = Pixels();

  ASSERT_TRUE(mPointer.Drag(kMonoFaderPointerX, kFaderTop + g.half + 20, kMonoFaderPointerX,
                            kFaderTop + g.half + 150));

  ASSERT_GE(mHost.mTouches.size(), 2u);
  EXPECT_EQ(mHost.mTouches.front().port, (uint32_t)Orvanta::kMono);
  EXPECT_TRUE(mHost.mTouches.front().grabbed);
  EXPECT_EQ(mHost.mTouches.back().port, (uint32_t)Orvanta::kMono);
  EXPECT_FALSE(mHost.mTouches.back().grabbed);
  ASSERT_FALSE(mHost.mWrites.empty());
  for (const PortWrite& w : mHost.mWrites) {
    EXPECT_EQ(w.port, (uint32_t)Orvanta::kMono);
    EXPECT_EQ(w.size, sizeof(float));
    EXPECT_EQ(w.format, 0u);  // the float protocol
  }
  // The port carries decibels: the value the handle's position stands for.
  const double expected = Decibels(Orvanta::kMono, 1.0 - 150.0 / g.travel);
  EXPECT_NEAR(mHost.mWrites.back().value, expected, 0.01);

  const std::vector<uint32_t> after = Pixels();
  EXPECT_FALSE(SameRegion(before, after, kMonoReadoutRect));
  EXPECT_TRUE(SameRegion(before, after, kStereoReadoutRect));
}

TEST_F(LV2UIWindow, HostPortEventsMoveTheEditorWithoutEchoingBack) {
  ASSERT_NE(mHost.Instantiate(mParent.Id()), nullptr);
  mHost.IdleFor(300);
  const std::vector<uint32_t> before = Pixels();

  // Wrong size, another protocol, a port outside the controls and NaN change nothing.
  mHost.PortEvent(Orvanta::kStereo, -6.0f, 8);
  mHost.PortEvent(Orvanta::kStereo, -6.0f, sizeof(float), 7);
  mHost.PortEvent(LV2TestHost::kInL, -6.0f);
  mHost.PortEvent(Orvanta::kStereo, NAN);
  mHost.IdleFor(150);
  EXPECT_EQ(Pixels(), before);

  mHost.PortEvent(Orvanta::kStereo, -6.0f);
  mHost.IdleFor(150);
  const std::vector<uint32_t> moved = Pixels();
  EXPECT_FALSE(SameRegion(before, moved, kStereoReadoutRect));
  EXPECT_TRUE(SameRegion(before, moved, kMonoReadoutRect));

  // The host echoing the value back is no change.
  mHost.PortEvent(Orvanta::kStereo, -6.0f);
  mHost.IdleFor(100);
  EXPECT_EQ(Pixels(), moved);
  EXPECT_TRUE(mHost.mWrites.empty());
  EXPECT_TRUE(mHost.mTouches.empty());
}

TEST_F(LV2UIWindow, WithoutAParentTheShowInterfaceOpensAndClosesAWindowOfItsOwn) {
  ASSERT_NE(mHost.Instantiate(0), nullptr);
  EXPECT_EQ(mHost.Widget(), 0u);
  EXPECT_EQ(mHost.Idle(), 0);  // nothing shown yet, nothing closed
  auto findEditor = [] {
    unsigned long id = 0;
    if (FILE* p = popen("xdotool search --name '^Orvanta$' 2>/dev/null | tail -1", "r")) {
      if (std::fscanf(p, "%lu", &id) != 1) id = 0;
      pclose(p);
    }
    return id;
  };
  ASSERT_EQ(findEditor(), 0u);

  auto* show = mHost.Extension<LV2UI_Show_Interface>(LV2_UI__showInterface);
  ASSERT_NE(show, nullptr);
  ASSERT_EQ(show->show(mHost.Handle()), 0);
  mHost.IdleFor(200);
  EXPECT_NE(findEditor(), 0u);
  EXPECT_EQ(mHost.Idle(), 0);
  EXPECT_EQ(show->show(mHost.Handle()), 0);  // already shown: still one window

  EXPECT_EQ(show->hide(mHost.Handle()), 0);
  mHost.IdleFor(100);
  EXPECT_EQ(findEditor(), 0u);
  EXPECT_EQ(mHost.Idle(), 0);
}

}  // namespace
