// Our top-level windows as another client (a window manager) reads them back from the
// server.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "X11TestSupport.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11TopLevel.h"

// Not above gtest: Xlib's None macro would rename a type of gtest's.
#include <X11/Xutil.h>

using namespace x11test;

namespace {

class X11TopLevel : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveDisplay()) GTEST_SKIP() << "no X display";
    mConnection.reset(X11Connection::Open());
    mWindowManager = XOpenDisplay(nullptr);
    ASSERT_NE(mConnection, nullptr);
    ASSERT_NE(mWindowManager, nullptr);
  }
  void TearDown() override {
    if (mWindowManager) XCloseDisplay(mWindowManager);
  }

  void ExpectFixedSize(Window w, int width, int height) {
    XSizeHints size{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(mWindowManager, w, &size, &supplied));
    EXPECT_EQ(size.flags & (PMinSize | PMaxSize), PMinSize | PMaxSize);
    EXPECT_EQ(size.min_width, width);
    EXPECT_EQ(size.max_width, width);
    EXPECT_EQ(size.min_height, height);
    EXPECT_EQ(size.max_height, height);
  }

  std::string Name(Window w) {
    char* name = nullptr;
    std::string result;
    if (XFetchName(mWindowManager, w, &name) && name) result = name;
    if (name) XFree(name);
    return result;
  }

  std::unique_ptr<X11Connection> mConnection;
  Display* mWindowManager = nullptr;
};

}  // namespace

TEST_F(X11TopLevel, ManagedWindowsCarryTitleClassFixedSizeAndCloseButton) {
  Display* d = mConnection->Get();
  Window w = XCreateSimpleWindow(d, mConnection->Root(), 0, 0, 320, 140, 1, 0, 0);
  Atom close =
      PresentManagedWindow(mConnection.get(), w, "Orvanta question", "orvanta-dialog", 320, 140);
  XSync(d, False);

  EXPECT_EQ(Name(w), "Orvanta question");
  XClassHint hint{};
  ASSERT_TRUE(XGetClassHint(mWindowManager, w, &hint));
  EXPECT_STREQ(hint.res_name, "orvanta-dialog");
  EXPECT_STREQ(hint.res_class, "Orvanta");
  XFree(hint.res_name);
  XFree(hint.res_class);
  ExpectFixedSize(w, 320, 140);

  // The close button sends exactly the atom returned.
  EXPECT_EQ(close, XInternAtom(mWindowManager, "WM_DELETE_WINDOW", False));
  Atom* protocols = nullptr;
  int count = 0;
  ASSERT_TRUE(XGetWMProtocols(mWindowManager, w, &protocols, &count));
  ASSERT_EQ(count, 1);
  EXPECT_EQ(protocols[0], close);
  XFree(protocols);

  // A resized window keeps its new size fixed.
  FixManagedSize(d, w, 400, 150);
  XSync(d, False);
  ExpectFixedSize(w, 400, 150);
  XDestroyWindow(d, w);
  XSync(d, False);
}

TEST_F(X11TopLevel, PopupsBypassTheWindowManagerAndShowWhereTheyArePut) {
  Display* d = mConnection->Get();
  unsigned long white = WhitePixel(d, mConnection->Screen());
  unsigned long black = BlackPixel(d, mConnection->Screen());
  Window w = CreatePopupWindow(mConnection.get(), 30, 40, 120, 60, ExposureMask | KeyPressMask,
                               "Orvanta menu", white, black);
  XSync(d, False);

  XWindowAttributes a;
  ASSERT_TRUE(XGetWindowAttributes(d, w, &a));
  EXPECT_TRUE(a.override_redirect);
  EXPECT_EQ(a.map_state, IsViewable);
  EXPECT_EQ(a.x, 30);
  EXPECT_EQ(a.y, 40);
  EXPECT_EQ(a.width, 120);
  EXPECT_EQ(a.height, 60);
  EXPECT_EQ(a.border_width, 1);
  EXPECT_EQ(a.your_event_mask, ExposureMask | KeyPressMask);
  EXPECT_EQ(Name(w), "Orvanta menu");

  // On top of a window mapped before it.
  Window below = XCreateSimpleWindow(d, mConnection->Root(), 0, 0, 200, 200, 0, 0, 0);
  XMapWindow(d, below);
  XRaiseWindow(d, below);
  Window popup = CreatePopupWindow(mConnection.get(), 10, 10, 20, 20, ExposureMask,
                                   "Orvanta tooltip", white, black);
  XSync(d, False);
  Window root, parent, *children = nullptr;
  unsigned int n = 0;
  ASSERT_TRUE(XQueryTree(mWindowManager, mConnection->Root(), &root, &parent, &children, &n));
  ASSERT_GE(n, 2u);
  EXPECT_EQ(children[n - 1], popup);  // the stacking order lists the top last
  XFree(children);
  XDestroyWindow(d, popup);
  XDestroyWindow(d, below);
  XDestroyWindow(d, w);
  XSync(d, False);
}
