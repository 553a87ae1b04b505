// The editor through the plug-in view, as a VST3 host on Linux shows it: embedded in an X11
// window of the test's own, driven by a run loop of the test's own that the view takes from
// its frame. On an X server of its own, so that it runs beside the other window tests.

#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "lv2/LV2HostWindow.h"
#include "support/EditorLayout.h"
#include "vst3/VST3TestHost.h"
#include "vst3/VST3View.h"
#include "x11/X11TestSupport.h"

namespace {

using namespace editor_layout;
using namespace vst3test;
using Clock = std::chrono::steady_clock;

// Watches file descriptors and repeats timers, as a host's main loop does.
struct RunLoop : HostObject<IRunLoop> {
  struct Timer {
    ITimerHandler* handler;
    Clock::duration interval;
    Clock::time_point due;
  };
  std::vector<std::pair<IEventHandler*, int>> mFds;
  std::vector<Timer> mTimers;

  tresult registerEventHandler(IEventHandler* h, int fd) override {
    mFds.emplace_back(h, fd);
    return kResultTrue;
  }
  tresult unregisterEventHandler(IEventHandler* h) override {
    std::erase_if(mFds, [h](auto& e) { return e.first == h; });
    return kResultOk;
  }
  tresult registerTimer(ITimerHandler* h, uint64 ms) override {
    mTimers.push_back({h, std::chrono::milliseconds(ms), Clock::now()});
    return kResultTrue;
  }
  tresult unregisterTimer(ITimerHandler* h) override {
    std::erase_if(mTimers, [h](auto& t) { return t.handler == h; });
    return kResultOk;
  }
  void Run(int milliseconds) {
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (Clock::now() < end) {
      std::vector<pollfd> fds;
      for (auto& [h, fd] : mFds) fds.push_back({fd, POLLIN, 0});
      poll(fds.data(), fds.size(), 5);
      for (size_t i = 0; i < fds.size() && i < mFds.size(); ++i)
        if (fds[i].revents & POLLIN) mFds[i].first->onFDIsSet(fds[i].fd);
      for (size_t i = 0; i < mTimers.size(); ++i) {
        if (Clock::now() < mTimers[i].due) continue;
        mTimers[i].due += mTimers[i].interval;
        mTimers[i].handler->onTimer();
      }
    }
  }
};

// The host's frame lends its run loop.
struct Frame : HostObject<IPlugFrame> {
  RunLoop mLoop;
  tresult queryInterface(const char* iid, void** obj) override {
    if (IRunLoop::kIID.Matches(iid)) {
      *obj = &mLoop;
      return kResultOk;
    }
    return HostObject<IPlugFrame>::queryInterface(iid, obj);
  }
  tresult resizeView(IPlugView*, ViewRect*) override { return kResultFalse; }
};

class VST3Editor : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!mServer.IsUp() || !x11test::HaveProgram("xdotool"))
      GTEST_SKIP() << "needs Xvfb and xdotool";
    setenv("DISPLAY", mServer.Name().c_str(), 1);
    mParent = std::make_unique<LV2HostWindow>(2 * kWidth, 2 * kHeight);
    ASSERT_TRUE(mHost.Factory() && mHost.Create());
    ASSERT_EQ(mHost.mController->setComponentHandler(&mHandler), kResultOk);
    mView = mHost.mController->createView("editor");
    ASSERT_NE(mView, nullptr);
    ASSERT_EQ(mView->setFrame(&mFrame), kResultOk);
  }
  void TearDown() override {
    if (mView) {
      mView->removed();
      mView->setFrame(nullptr);
      mView->release();
    }
  }
  std::vector<uint32_t> Pixels() { return x11test::ReadWindow(mParent->Id(), kWidth, kHeight); }

  x11test::PrivateServer mServer;
  Host mHost{OrvantaBundle()};
  Handler mHandler;
  Frame mFrame;
  std::unique_ptr<LV2HostWindow> mParent;
  IPlugView* mView = nullptr;
  x11test::Pointer mPointer{[this] { return mParent->Id(); },
                            [this](int ms) { mFrame.mLoop.Run(ms); }};
};

TEST_F(VST3Editor, DraggingAFaderReportsEditsAndHostChangesMoveTheControls) {
  EXPECT_EQ(mView->isPlatformTypeSupported("X11EmbedWindowID"), kResultOk);
  EXPECT_EQ(mView->isPlatformTypeSupported("HWND"), kResultFalse);
  EXPECT_EQ(mView->attached((void*)mParent->Id(), "HWND"), kInvalidArgument);
  ASSERT_EQ(mView->attached((void*)mParent->Id(), kPlatformTypeX11EmbedWindowID), kResultOk);
  ViewRect size;
  ASSERT_EQ(mView->getSize(&size), kResultOk);
  EXPECT_EQ(size.right - size.left, kWidth);
  EXPECT_EQ(size.bottom - size.top, kHeight);
  EXPECT_EQ(mView->canResize(), kResultFalse);
  // Its X connection and a frame timer, and nothing of its own: the test's loop draws it.
  EXPECT_EQ(mFrame.mLoop.mFds.size(), 1u);
  EXPECT_EQ(mFrame.mLoop.mTimers.size(), 1u);
  mFrame.mLoop.Run(300);

  const FaderGeometry g = Fader();
  ASSERT_GT(g.travel, 0);
  const std::vector<uint32_t> before = Pixels();
  ASSERT_TRUE(mPointer.Drag(kMonoFaderPointerX, kFaderTop + g.half + 20, kMonoFaderPointerX,
                            kFaderTop + g.half + 150));
  ASSERT_GE(mHandler.mCalls.size(), 3u);
  EXPECT_EQ(mHandler.mCalls.front(), "begin 1");
  EXPECT_EQ(mHandler.mCalls.back(), "end 1");
  const std::string last = mHandler.mCalls[mHandler.mCalls.size() - 2];
  ASSERT_EQ(last.rfind("perform 1 ", 0), 0u) << last;
  EXPECT_NEAR(std::atof(last.c_str() + 10), 1.0 - 150.0 / g.travel, 0.01);
  EXPECT_NEAR(mHost.mController->getParamNormalized(1), 1.0 - 150.0 / g.travel, 0.01);
  EXPECT_FALSE(SameRegion(before, Pixels(), kMonoReadoutRect));

  // The host's change moves the editor and is not reported back.
  mHandler.mCalls.clear();
  const std::vector<uint32_t> dragged = Pixels();
  ASSERT_EQ(mHost.mController->setParamNormalized(2, Normalized(2, -6.0)), kResultOk);
  mFrame.mLoop.Run(150);
  const std::vector<uint32_t> moved = Pixels();
  EXPECT_FALSE(SameRegion(dragged, moved, kStereoReadoutRect));
  EXPECT_TRUE(SameRegion(dragged, moved, kMonoReadoutRect));
  EXPECT_TRUE(mHandler.mCalls.empty());

  EXPECT_EQ(mView->removed(), kResultOk);
  EXPECT_TRUE(mFrame.mLoop.mFds.empty() && mFrame.mLoop.mTimers.empty());
}

TEST_F(VST3Editor, AContentScaleOfTwoOpensTheEditorAtTwiceItsSize) {
  IPlugViewContentScaleSupport* scale = nullptr;
  ASSERT_EQ(mView->queryInterface(IPlugViewContentScaleSupport::kIID.Bytes(), (void**)&scale),
            kResultOk);
  ASSERT_EQ(scale->setContentScaleFactor(2.0f), kResultOk);
  ViewRect size;
  ASSERT_EQ(mView->getSize(&size), kResultOk);
  EXPECT_EQ(size.right, 2 * kWidth);
  ASSERT_EQ(mView->attached((void*)mParent->Id(), kPlatformTypeX11EmbedWindowID), kResultOk);
  ASSERT_EQ(mView->getSize(&size), kResultOk);
  EXPECT_EQ(size.right, 2 * kWidth);
  EXPECT_EQ(size.bottom, 2 * kHeight);
  // An open window keeps its scale; one editor window per plug-in.
  EXPECT_EQ(scale->setContentScaleFactor(1.0f), kResultFalse);
  scale->release();
  IPlugView* second = mHost.mController->createView("editor");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->attached((void*)mParent->Id(), kPlatformTypeX11EmbedWindowID), kResultFalse);
  second->release();
}

}  // namespace
