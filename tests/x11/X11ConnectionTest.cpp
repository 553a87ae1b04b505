// The connection's own requests: colours, focus, and the modal wait, also once the server
// is gone (where Xlib would otherwise end the process).
#include <gtest/gtest.h>

#include <memory>

#include "X11TestSupport.h"
#include "platform/x11/X11Connection.h"

using namespace x11test;

namespace {

Window MapWindow(X11Connection* c) {
  Display* d = c->Get();
  Window w = XCreateSimpleWindow(d, c->Root(), 0, 0, 40, 30, 0, 0, 0);
  XSelectInput(d, w, StructureNotifyMask);
  XMapWindow(d, w);
  return w;
}

}  // namespace

TEST(X11Connection, ColoursAndFocus) {
  if (!HaveDisplay()) GTEST_SKIP() << "no X display";
  std::unique_ptr<X11Connection> c(X11Connection::Open());
  ASSERT_NE(c, nullptr);
  Display* d = c->Get();
  Visual* visual = DefaultVisual(d, c->Screen());
  if (visual->red_mask == 0xff0000 && visual->green_mask == 0xff00 && visual->blue_mask == 0xff) {
    EXPECT_EQ(c->Pixel(0x3465a4), 0x3465a4u);
    EXPECT_EQ(c->Pixel(0xffffff), 0xffffffu);
  }

  // Focus on a window that is not viewable is refused, not an error that ends anything.
  Window hidden = XCreateSimpleWindow(d, c->Root(), 0, 0, 10, 10, 0, 0, 0);
  EXPECT_FALSE(c->Focus(hidden));
  Window shown = MapWindow(c.get());
  XEvent e;
  do {
    ASSERT_TRUE(c->NextEvent(&e));
  } while (e.type != MapNotify);
  EXPECT_TRUE(c->Focus(shown));
  XDestroyWindow(d, hidden);
  XDestroyWindow(d, shown);
}

TEST(X11Connection, ModalWaitHandsOutEveryWindowsEventsAndEndsWithTheServer) {
  if (!HaveProgram("Xvfb")) GTEST_SKIP() << "no Xvfb";
  PrivateServer server;
  ASSERT_TRUE(server.IsUp()) << "private Xvfb did not start";
  std::unique_ptr<X11Connection> c(X11Connection::Open(server.Name().c_str()));
  ASSERT_NE(c, nullptr);
  Window first = MapWindow(c.get());
  Window second = MapWindow(c.get());
  XEvent e;
  ASSERT_TRUE(c->NextEvent(&e));
  EXPECT_EQ(e.type, MapNotify);
  EXPECT_EQ(e.xany.window, first);
  ASSERT_TRUE(c->NextEvent(&e));
  EXPECT_EQ(e.xany.window, second);

  server.Stop();
  EXPECT_FALSE(c->NextEvent(&e));
  EXPECT_TRUE(c->IsLost());
  // What is asked of a lost connection has a safe answer.
  EXPECT_EQ(c->Pixel(0xffffff), BlackPixel(c->Get(), c->Screen()));
  EXPECT_EQ(c->Intern("WM_DELETE_WINDOW"), (Atom)None);
  EXPECT_FALSE(c->Focus(first));
}
