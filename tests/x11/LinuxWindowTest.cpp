// The X window of IGraphicsLinux, driven by a real pointer and keyboard (xdotool) under
// the test display: screen copy, event translation, text entry, menus, dialogs, parents
// and servers that go away.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "TestEditor.h"
#include "framework/IParam.h"
#include "graphics/GenericEditor.h"
#include "graphics/IDrawnControls.h"
#include "graphics/IPopupMenu.h"
#include "platform/x11/PixelConversion.h"
#include "tests/support/HeadlessGraphics.h"

// Xlib last: its Bool macro would rename the parameter's accessor of that name.
#include <X11/Xlib.h>

using namespace x11test;

namespace {

uint32_t Rgb(const IColor& c) { return (uint32_t)(c.R << 16 | c.G << 8 | c.B); }

// Puts the key symbols on spare keys of the display's keyboard for the scope, so that xdotool
// types them without remapping a key under the reading client's feet.
class SpareKeys {
 public:
  explicit SpareKeys(std::vector<KeySym> symbols) : mDisplay(XOpenDisplay(nullptr)) {
    if (!mDisplay) return;
    int lo = 0, hi = 0, per = 0;
    XDisplayKeycodes(mDisplay, &lo, &hi);
    KeySym* map = XGetKeyboardMapping(mDisplay, (KeyCode)lo, hi - lo + 1, &per);
    for (int code = hi; code >= lo && !symbols.empty(); --code) {
      bool unused = true;
      for (int i = 0; i < per; ++i) unused &= map[(code - lo) * per + i] == NoSymbol;
      if (!unused) continue;
      KeySym sym = symbols.back();
      symbols.pop_back();
      XChangeKeyboardMapping(mDisplay, code, 1, &sym, 1);
      mCodes.push_back(code);
    }
    XFree(map);
    XSync(mDisplay, False);
  }
  ~SpareKeys() {
    if (!mDisplay) return;
    KeySym none = NoSymbol;
    for (int code : mCodes) XChangeKeyboardMapping(mDisplay, code, 1, &none, 1);
    XCloseDisplay(mDisplay);
  }

 private:
  Display* mDisplay;
  std::vector<int> mCodes;
};

}  // namespace

// ---- With a window ----

class LinuxWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveDisplay()) GTEST_SKIP() << "no X display";
    if (!HaveProgram("xdotool")) GTEST_SKIP() << "no xdotool";
  }
  // Opens the editor top level and waits until the server shows it.
  unsigned long Open(Editor& e) {
    void* w = e.g.OpenWindow(nullptr);
    EXPECT_NE(w, nullptr);
    e.g.RunEventLoop(300);
    return (unsigned long)(uintptr_t)w;
  }
  // Pointer moves and clicks in window coordinates.
  void Click(unsigned long w, int x, int y, const char* extra = "") {
    Xdo("mousemove --window " + std::to_string(w) + " " + std::to_string(x) + " " +
        std::to_string(y));
    Xdo(std::string(extra) + " click 1");
  }
  // Press at one point, move to another, release; the editor handles each step.
  void Drag(IGraphicsLinux& g, unsigned long w, int x0, int y0, int x1, int y1) {
    const std::string window = "mousemove --window " + std::to_string(w) + " ";
    Xdo(window + std::to_string(x0) + " " + std::to_string(y0) + " mousedown 1");
    g.RunEventLoop(60);
    Xdo(window + std::to_string(x1) + " " + std::to_string(y1));
    g.RunEventLoop(60);
    Xdo("mouseup 1");
    g.RunEventLoop(100);
  }
};

// Through shared memory where the (local) test server offers it, and through XPutImage
// when the environment turns shared memory off.
TEST_F(LinuxWindow, ShowsTheEngineBitmapPixelForPixel) {
  const char* display = std::getenv("DISPLAY");
  for (bool sharedMemory : {true, false}) {
    SCOPED_TRACE(sharedMemory ? "shared memory" : "XPutImage");
    if (sharedMemory)
      unsetenv("ORVANTA_X11_NO_SHM");
    else
      setenv("ORVANTA_X11_NO_SHM", "1", 1);
    Editor e;
    unsigned long w = Open(e);
    unsetenv("ORVANTA_X11_NO_SHM");
    EXPECT_EQ(e.g.CopiesThroughSharedMemory(), sharedMemory && display && display[0] == ':');
    std::vector<uint32_t> shown = ReadWindow(w, 200, 150);
    ASSERT_EQ(shown.size(), 200u * 150u);
    auto mismatches = [&e](const std::vector<uint32_t>& pixels) {
      viewrules::VisualFormat rgb(0xff0000, 0xff00, 0xff);
      int n = 0;
      for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 200; ++x) n += pixels[y * 200 + x] != rgb.Convert(e.BitmapPixel(x, y));
      }
      return n;
    };
    EXPECT_EQ(mismatches(shown), 0);
    EXPECT_EQ(shown[20 * 200 + 20], Rgb(kRed));
    EXPECT_EQ(shown[20 * 200 + 120], Rgb(kBlue));

    // A change becomes visible on the next timer tick, and only the dirty control redraws.
    int rightDraws = e.right->mDraws;
    e.left->mColor = kBlue;
    e.left->SetDirty(false);
    e.g.RunEventLoop(120);
    shown = ReadWindow(w, 200, 150);
    EXPECT_EQ(shown[20 * 200 + 20], Rgb(kBlue));
    EXPECT_EQ(e.right->mDraws, rightDraws);

    // Full copies take turns in the shared segments; each must show its own frame.
    for (const IColor& color : {kRed, kBlue}) {
      e.right->mColor = color;
      e.g.SetAllControlsDirty();
      e.g.RunEventLoop(120);
      shown = ReadWindow(w, 200, 150);
      EXPECT_EQ(shown[20 * 200 + 120], Rgb(color));
      EXPECT_EQ(mismatches(shown), 0);
    }
    e.g.CloseWindow();
    EXPECT_FALSE(e.g.WindowIsOpen());
  }
}

TEST_F(LinuxWindow, PointerEventsReachTheControlUnderThePointer) {
  Editor e;
  unsigned long w = Open(e);
  Click(w, 30, 40);
  e.g.RunEventLoop(100);
  ASSERT_EQ(e.left->mEvents.size(), 2u);
  EXPECT_EQ(e.left->mEvents[0].kind, "down");
  EXPECT_EQ(e.left->mEvents[0].x, 30);
  EXPECT_EQ(e.left->mEvents[0].y, 40);
  EXPECT_TRUE(e.left->mEvents[0].mod.L);
  EXPECT_FALSE(e.left->mEvents[0].mod.R);
  EXPECT_EQ(e.left->mEvents[1].kind, "up");

  // A drag that leaves the control still reaches it (the press captured it).
  e.left->mEvents.clear();
  Drag(e.g, w, 40, 100, 150, 60);
  ASSERT_GE(e.left->mEvents.size(), 3u);
  EXPECT_EQ(e.left->mEvents.front().kind, "down");
  EXPECT_EQ(e.left->mEvents[1].kind, "drag");
  EXPECT_EQ(e.left->mEvents[1].x, 150);
  EXPECT_EQ(e.left->mEvents[1].y, 60);
  EXPECT_EQ(e.left->mEvents.back().kind, "up");
  EXPECT_TRUE(e.right->mEvents.empty());
}

TEST_F(LinuxWindow, GenericEditorSwitchesAndTurnsUnderThePointer) {
  HeadlessPlug plug(2);
  plug.GetParam(0)->InitDouble("Width", 100.0, 0.0, 200.0, 0.1, "%");
  plug.GetParam(1)->InitBool("Flip", false);
  int width = 0, height = 0;
  GetGenericEditorSize(plug.NParams(), &width, &height);
  auto* g = new IGraphicsLinux(&plug, width, height);
  AttachGenericEditor(g);
  plug.AttachGraphics(g);
  const unsigned long w = (unsigned long)(uintptr_t)g->OpenWindow(nullptr);
  g->RunEventLoop(300);
  // Each parameter's control follows the background, the title and the parameter's name.
  const IRECT knob = *g->GetControl(3)->GetRECT(), flip = *g->GetControl(6)->GetRECT();

  Click(w, (int)flip.MW(), (int)flip.MH());
  g->RunEventLoop(150);
  EXPECT_EQ(plug.GetParam(1)->Value(), 1.0);
  // The thumb shows over the centre of the track's right end.
  const std::vector<uint32_t> shown = ReadWindow(w, width, height);
  ASSERT_EQ(shown.size(), (size_t)(width * height));
  EXPECT_EQ(shown[(flip.T + flip.H() / 2) * width + flip.R - flip.H() / 2 - 1],
            Rgb(IDrawnSwitchControl::kDefaultThumbColor));
  // Up by the knob's height is a quarter of its travel: 100 % + 50 %.
  Drag(*g, w, (int)knob.MW(), (int)knob.MH(), (int)knob.MW(), (int)knob.MH() - knob.H());
  EXPECT_NEAR(plug.GetParam(0)->Value(), 150.0, 1e-9);
  g->CloseWindow();
}

TEST_F(LinuxWindow, AtTwiceTheSizeEveryPixelDoublesAndThePointerMapsBack) {
  setenv("ORVANTA_UI_SCALE", "2", 1);
  Editor e;
  unsigned long w = Open(e);
  unsetenv("ORVANTA_UI_SCALE");
  EXPECT_EQ(e.g.WindowScale(), 2);
  std::vector<uint32_t> shown = ReadWindow(w, 400, 300);
  ASSERT_EQ(shown.size(), 400u * 300u);
  RAS_SysBitmap* b = e.g.GetDrawBitmap();
  viewrules::VisualFormat rgb(0xff0000, 0xff00, 0xff);
  int mismatches = 0;
  for (int y = 0; y < 300; ++y) {
    for (int x = 0; x < 400; ++x) {
      mismatches +=
          shown[y * 400 + x] != rgb.Convert(b->getBits()[y / 2 * b->getRowSpan() + x / 2]);
    }
  }
  EXPECT_EQ(mismatches, 0);

  // Both window pixels of an engine pixel reach it (the second click is a double click on the
  // same pixel); drags map back the same way.
  Click(w, 61, 81);
  Click(w, 60, 80);
  Drag(e.g, w, 80, 200, 301, 121);
  std::vector<std::string> kinds;
  for (const Event& ev : e.left->mEvents) kinds.push_back(ev.kind);
  ASSERT_EQ(kinds, (std::vector<std::string>{"down", "up", "double", "up", "down", "drag", "up"}));
  const int expected[][2] = {{30, 40}, {30, 40}, {30, 40}, {30, 40}, {40, 100}, {150, 60}};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(e.left->mEvents[i].x, expected[i][0]) << i;
    EXPECT_EQ(e.left->mEvents[i].y, expected[i][1]) << i;
  }
}

TEST_F(LinuxWindow, ModifiersDoubleClicksWheelAndKeys) {
  Editor e;
  unsigned long w = Open(e);
  Xdo("mousemove --window " + std::to_string(w) + " 130 50");
  Xdo("keydown shift click 3 keyup shift");
  e.g.RunEventLoop(100);
  ASSERT_GE(e.right->mEvents.size(), 1u);
  EXPECT_EQ(e.right->mEvents[0].kind, "down");
  EXPECT_FALSE(e.right->mEvents[0].mod.L);
  EXPECT_TRUE(e.right->mEvents[0].mod.R);
  EXPECT_TRUE(e.right->mEvents[0].mod.S);

  // The Super key is the Command key: a left click with it reports L and R.
  e.right->mEvents.clear();
  Xdo("keydown super click 1 keyup super");
  e.g.RunEventLoop(100);
  ASSERT_GE(e.right->mEvents.size(), 1u);
  EXPECT_TRUE(e.right->mEvents[0].mod.L && e.right->mEvents[0].mod.R);

  // A double click: the second press arrives as a double click, not as a press.
  e.g.RunEventLoop(500);
  e.right->mEvents.clear();
  Xdo("click --repeat 2 --delay 60 1");
  e.g.RunEventLoop(100);
  std::string kinds;
  for (const Event& ev : e.right->mEvents) kinds += ev.kind + " ";
  EXPECT_EQ(kinds, "down up double up ");

  e.right->mEvents.clear();
  Xdo("click 4 click 5");
  e.g.RunEventLoop(100);
  ASSERT_EQ(e.right->mEvents.size(), 2u);
  EXPECT_EQ(e.right->mEvents[0].kind, "wheel");
  EXPECT_EQ(e.right->mEvents[0].d, 1);
  EXPECT_EQ(e.right->mEvents[1].d, -1);

  // Keys go to the control under the pointer: "q" and "Q" are 31, the up arrow 1.
  e.right->mEvents.clear();
  Xdo("key q shift+q Up percent");
  e.g.RunEventLoop(100);
  std::string keys;
  for (const Event& ev : e.right->mEvents) keys += std::to_string(ev.d) + " ";
  EXPECT_EQ(keys, "31 31 1 ");
}

TEST_F(LinuxWindow, TextEntryFiltersCommitsAndCancels) {
  Editor e;
  unsigned long w = Open(e);
  IParam gain;
  gain.InitDouble("Gain", 0, -94, 6, 0.01, "dB");
  gain.SetShape(1);
  IRECT area(10, 10, 90, 30);
  e.g.CreateTextEntry(e.left, e.left->GetText(), &area, "", &gain);
  e.g.RunEventLoop(100);
  Xdo("type --delay 20 '%1.5'");  // the percent sign is refused
  Xdo("key Return");
  e.g.RunEventLoop(150);
  EXPECT_NEAR(e.left->GetValue(), gain.GetNormalized(1.5), 1e-9);

  // Without a parameter the control takes the text as typed.
  e.g.CreateTextEntry(e.left, e.left->GetText(), &area, "ab", nullptr);
  e.g.RunEventLoop(100);
  Xdo("key c Return");
  e.g.RunEventLoop(150);
  EXPECT_EQ(e.left->mEntered, "abc");
  // Any character arrives as UTF-8; backspace takes a whole character.
  {
    SpareKeys keys({0xb5, 0xb0, 0x100221e, 0xe9});  // µ ° ∞ é
    e.g.RunEventLoop(100);
    e.g.CreateTextEntry(e.left, e.left->GetText(), &area, "ab", nullptr);
    e.g.RunEventLoop(100);
    Xdo("type --delay 30 'µ°∞é'");
    Xdo("key BackSpace Return");
    e.g.RunEventLoop(150);
  }
  EXPECT_EQ(e.left->mEntered, "abµ°∞");
  e.left->mEntered = "abc";

  // The wheel closes the entry without committing; drags do not reach the engine meanwhile.
  e.g.CreateTextEntry(e.left, e.left->GetText(), &area, "zz", nullptr);
  e.g.RunEventLoop(100);
  e.left->mEvents.clear();
  Xdo("mousemove --window " + std::to_string(w) + " 30 100 click 4");
  e.g.RunEventLoop(150);
  EXPECT_EQ(e.left->mEntered, "abc");
  ASSERT_EQ(e.left->mEvents.size(), 1u);
  EXPECT_EQ(e.left->mEvents[0].kind, "wheel");
}

TEST_F(LinuxWindow, PopupMenusReturnTheChosenMenu) {
  Editor e;
  unsigned long w = Open(e);
  IPopupMenu sub;
  sub.AddItem("Deep one");
  sub.AddItem("Deep µ°∞ Ωμέγα");
  IPopupMenu menu;
  menu.SetPrefix(2);
  menu.AddItem("First");
  menu.AddItem("Second", -1, IPopupMenuItem::kChecked);
  menu.AddItem("Off", -1, IPopupMenuItem::kDisabled);
  menu.AddSeparator();
  menu.AddItem("More", &sub);
  IRECT area(10, 10, 90, 30);

  // The menu opens below the area; items are 20 pixels high under a 2-pixel margin.
  auto pick = [&](const std::string& actions) {
    std::thread driver([&] {
      for (int i = 0; i < 50 && !Xdo("search --sync --limit 1 --name 'Orvanta menu'"); ++i) {
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(350));
      Xdo(actions);
    });
    IPopupMenu* chosen = e.g.CreateIPopupMenu(&menu, &area);
    driver.join();
    return chosen;
  };
  std::string win = std::to_string(w);
  // Menu top at window y 34; item i centred at 34 + 1 + 2 + 20 i + 10.
  EXPECT_EQ(pick("mousemove --window " + win + " 40 67 click 1"), &menu);
  EXPECT_EQ(menu.GetChosenItemIdx(), 1);

  menu.SetChosenItemIdx(-1);
  EXPECT_EQ(pick("mousemove --window " + win + " 40 87 click 1 key Escape"), nullptr);
  EXPECT_EQ(menu.GetChosenItemIdx(), -1);  // disabled: no choice

  EXPECT_EQ(pick("key Escape"), nullptr);

  // "More" sits under the separator; its submenu opens beside it.
  IPopupMenu* chosen = pick("mousemove --window " + win +
                            " 40 104 sleep 0.2 mousemove_relative 120 22 sleep 0.2 click 1");
  EXPECT_EQ(chosen, &sub);
  EXPECT_EQ(sub.GetChosenItemIdx(), 1);

  // A menu opened by a click lets go of the plug-in's lock, which the click's handling holds,
  // for as long as it waits for the user.
  HeadlessPlug plug(1);
  Editor locked(&plug);
  const unsigned long lockedWin = Open(locked);
  bool freeDuringMenu = false;
  locked.left->mOnDown = [&] {
    std::thread driver([&] {
      for (int i = 0; i < 50 && !Xdo("search --sync --limit 1 --name 'Orvanta menu'"); ++i) {
      }
      if ((freeDuringMenu = plug.GetMutex()->TryEnter())) plug.GetMutex()->Leave();
      Xdo("key Escape");
    });
    EXPECT_EQ(locked.g.CreateIPopupMenu(&menu, &area), nullptr);
    driver.join();
  };
  Click(lockedWin, 40, 40);
  locked.g.RunEventLoop(300);
  EXPECT_TRUE(freeDuringMenu);
  // Taken again afterwards: another thread cannot have it while a click is handled.
  bool heldDuringClick = false;
  locked.left->mOnDown = [&] {
    std::thread([&] {
      if (!(heldDuringClick = !plug.GetMutex()->TryEnter())) plug.GetMutex()->Leave();
    }).join();
  };
  Click(lockedWin, 40, 40);
  locked.g.RunEventLoop(200);
  EXPECT_TRUE(heldDuringClick);
}

TEST_F(LinuxWindow, MessageBoxAnswers) {
  Editor e;
  Open(e);
  auto answer = [&](int type, const char* keys) {
    std::thread driver([&] {
      WaitForFocus("Orvanta question");
      Xdo(std::string("key ") + keys);
    });
    int result = e.g.ShowMessageBox("Replace the preset?", "Orvanta question", type);
    driver.join();
    return result;
  };
  EXPECT_EQ(answer(4, "Return"), 1);
  EXPECT_EQ(answer(4, "Escape"), 7);  // No
  EXPECT_EQ(answer(3, "Escape"), 2);  // Cancel
  EXPECT_EQ(answer(1, "Escape"), 2);  // Cancel, not No
  EXPECT_EQ(answer(0, "Return"), 1);
}

TEST_F(LinuxWindow, ChildOfAParentAndThingsThatGoAway) {
  Display* host = XOpenDisplay(nullptr);  // the host's own connection
  ASSERT_NE(host, nullptr);
  Window parent = XCreateSimpleWindow(host, DefaultRootWindow(host), 0, 0, 300, 200, 0, 0, 0);
  XMapWindow(host, parent);
  XSync(host, False);

  Editor e;
  void* w = e.g.OpenWindow((void*)(uintptr_t)parent);
  ASSERT_NE(w, nullptr);
  e.g.RunEventLoop(100);
  Window root, actualParent, *children = nullptr;
  unsigned int n = 0;
  XQueryTree(host, (Window)(uintptr_t)w, &root, &actualParent, &children, &n);
  if (children) XFree(children);
  EXPECT_EQ(actualParent, parent);

  // Closing and reopening keeps the controls and their state.
  e.left->SetValueFromPlug(0.25);
  e.g.CloseWindow();
  EXPECT_FALSE(e.g.ProcessEvents());
  w = e.g.OpenWindow((void*)(uintptr_t)parent);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(e.g.GetControl(1), e.left);
  EXPECT_DOUBLE_EQ(e.left->GetValue(), 0.25);

  // The host destroys its window: the editor notices and closes; later calls do nothing.
  XDestroyWindow(host, parent);
  XSync(host, False);
  e.g.RunEventLoop(200);
  EXPECT_FALSE(e.g.WindowIsOpen());
  EXPECT_FALSE(e.g.ProcessEvents());
  e.g.CloseWindow();

  // A parent id that names no window.
  EXPECT_EQ(e.g.OpenWindow((void*)(uintptr_t)0x3ffffff), nullptr);
  EXPECT_FALSE(e.g.WindowIsOpen());
  XCloseDisplay(host);
}

TEST_F(LinuxWindow, SurvivesTheServerGoingAway) {
  if (!HaveProgram("Xvfb")) GTEST_SKIP() << "no Xvfb";
  PrivateServer server;
  ASSERT_TRUE(server.IsUp()) << "private Xvfb did not start";
  std::string saved = std::getenv("DISPLAY");
  setenv("DISPLAY", server.Name().c_str(), 1);
  Editor e;
  void* w = e.g.OpenWindow(nullptr);
  setenv("DISPLAY", saved.c_str(), 1);
  server.Stop();
  ASSERT_NE(w, nullptr);
  e.g.RunEventLoop(200);  // would end the process with Xlib's default handler
  EXPECT_FALSE(e.g.WindowIsOpen());
  EXPECT_FALSE(e.g.ProcessEvents());
}

namespace {

// Owns the CLIPBOARD selection on a connection of its own and hands out text, until
// stopped; the way a desktop application offers copied text.
class ClipboardOwner {
 public:
  explicit ClipboardOwner(std::string text) : mText(std::move(text)) {
    mDisplay = XOpenDisplay(nullptr);
    mWindow = XCreateSimpleWindow(mDisplay, DefaultRootWindow(mDisplay), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(mDisplay, XInternAtom(mDisplay, "CLIPBOARD", False), mWindow, CurrentTime);
    XSync(mDisplay, False);
    mThread = std::thread([this] { Serve(); });
  }
  ~ClipboardOwner() {
    mStop = true;
    mThread.join();
    XDestroyWindow(mDisplay, mWindow);
    XCloseDisplay(mDisplay);
  }

 private:
  void Serve() {
    Atom utf8 = XInternAtom(mDisplay, "UTF8_STRING", False);
    while (!mStop) {
      while (XPending(mDisplay)) {
        XEvent e;
        XNextEvent(mDisplay, &e);
        if (e.type != SelectionRequest) continue;
        XSelectionRequestEvent& r = e.xselectionrequest;
        XSelectionEvent answer{};
        answer.type = SelectionNotify;
        answer.requestor = r.requestor;
        answer.selection = r.selection;
        answer.target = r.target;
        answer.time = r.time;
        answer.property = None;
        if (r.target == utf8) {
          XChangeProperty(mDisplay, r.requestor, r.property, utf8, 8, PropModeReplace,
                          (const unsigned char*)mText.data(), (int)mText.size());
          answer.property = r.property;
        }
        XSendEvent(mDisplay, r.requestor, False, 0, (XEvent*)&answer);
        XFlush(mDisplay);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

  std::string mText;
  Display* mDisplay;
  Window mWindow;
  std::atomic<bool> mStop{false};
  std::thread mThread;
};

}  // namespace

TEST_F(LinuxWindow, ReadsClipboardTextWithAndWithoutAWindow) {
  Editor e;
  UTL_String text("old");
  {
    ClipboardOwner owner("-12.5 dB \xc3\xa9");
    EXPECT_TRUE(e.g.GetTextFromClipboard(&text));  // no window: a hidden one asks
    EXPECT_STREQ(text.Get(), "-12.5 dB \xc3\xa9");
    Open(e);
    text.Set("old");
    EXPECT_TRUE(e.g.GetTextFromClipboard(&text));
    EXPECT_STREQ(text.Get(), "-12.5 dB \xc3\xa9");
  }
  // The owner is gone: no text, and the string is emptied.
  EXPECT_FALSE(e.g.GetTextFromClipboard(&text));
  EXPECT_STREQ(text.Get(), "");
}

TEST_F(LinuxWindow, HiddenCursorComesBackWhereItWasHidden) {
  Editor e;
  unsigned long w = Open(e);
  Xdo("mousemove --window " + std::to_string(w) + " 50 60");
  Display* d = XOpenDisplay(nullptr);
  auto pointer = [d](int* x, int* y) {
    Window root, child;
    int wx, wy;
    unsigned int mask;
    XQueryPointer(d, DefaultRootWindow(d), &root, &child, x, y, &wx, &wy, &mask);
  };
  int hiddenX, hiddenY;
  pointer(&hiddenX, &hiddenY);
  e.g.HideMouseCursor();
  e.g.HideMouseCursor();  // a second hide keeps the first position
  Xdo("mousemove_relative 80 40");
  e.g.RunEventLoop(50);
  int x, y;
  pointer(&x, &y);
  EXPECT_NE(x, hiddenX);
  e.g.ShowMouseCursor();
  e.g.RunEventLoop(50);
  pointer(&x, &y);
  EXPECT_EQ(x, hiddenX);
  EXPECT_EQ(y, hiddenY);
  XCloseDisplay(d);
}

TEST_F(LinuxWindow, AControlMayCloseTheEditorFromItsOwnEvent) {
  Editor e;
  unsigned long w = Open(e);
  e.left->mOnDown = [&] {
    e.g.CloseWindow();
    EXPECT_EQ(e.g.OpenWindow(nullptr), (void*)(uintptr_t)w);  // no new window meanwhile
  };
  Click(w, 30, 40);
  e.g.RunEventLoop(100);
  EXPECT_FALSE(e.g.WindowIsOpen());
  ASSERT_FALSE(e.left->mEvents.empty());
  EXPECT_EQ(e.left->mEvents[0].kind, "down");
}

TEST_F(LinuxWindow, TooltipsShowForTheControlUnderAPausedPointerAndGoWhenItLeaves) {
  Editor e;  // mouse-over handling stays off: tooltips do not need it
  e.right->SetTooltip("Stereo width ∞ °");
  unsigned long w = Open(e);
  auto tooltipShown = [] { return Xdo("search --onlyvisible --name 'Orvanta tooltip'"); };

  // Not enabled: no areas, no tooltip.
  Xdo("mousemove --window " + std::to_string(w) + " 150 60 mousemove_relative 1 1");
  e.g.RunEventLoop(900);
  EXPECT_FALSE(tooltipShown());

  e.g.EnableTooltips(true);
  e.g.UpdateTooltips();
  Xdo("mousemove_relative 1 1");
  e.g.RunEventLoop(900);
  EXPECT_TRUE(tooltipShown());
  Xdo("mousemove_relative 2 2");  // moving hides it
  e.g.RunEventLoop(100);
  EXPECT_FALSE(tooltipShown());

  // A control without a tooltip shows none.
  Xdo("mousemove --window " + std::to_string(w) + " 40 60 mousemove_relative 1 1");
  e.g.RunEventLoop(900);
  EXPECT_FALSE(tooltipShown());
  // Leaving the window hides the tooltip and ends the hover.
  e.g.HandleMouseOver(true);
  Xdo("mousemove --window " + std::to_string(w) + " 150 60 mousemove_relative 1 1");
  e.g.RunEventLoop(900);
  EXPECT_TRUE(tooltipShown());
  EXPECT_EQ(e.g.GetMouseOver(), 2);
  e.right->mEvents.clear();
  Xdo("mousemove --window " + std::to_string(w) + " 260 60");  // the window is 200 wide
  e.g.RunEventLoop(900);
  EXPECT_FALSE(tooltipShown());
  EXPECT_EQ(e.g.GetMouseOver(), -1);
  ASSERT_EQ(e.right->mEvents.size(), 1u);
  EXPECT_EQ(e.right->mEvents[0].kind, "out");
}

TEST_F(LinuxWindow, OneIdleCallPumpsEveryOpenEditor) {
  Editor a, b;
  EXPECT_EQ(IGraphicsLinux::MillisecondsToNextTickOfAll(), -1);
  a.g.OpenWindow(nullptr);
  b.g.OpenWindow(nullptr);
  // Side by side, so that both can be read back.
  Xdo("windowmove " + std::to_string((unsigned long)(uintptr_t)b.g.GetWindow()) + " 400 0");
  EXPECT_EQ(IGraphicsLinux::ProcessAllEvents(), 2);
  EXPECT_GE(IGraphicsLinux::MillisecondsToNextTickOfAll(), 0);
  a.left->mColor = kBlue;
  b.right->mColor = kRed;
  a.left->SetDirty(false);
  b.right->SetDirty(false);
  for (int i = 0; i < 20; ++i) {
    IGraphicsLinux::ProcessAllEvents();
    usleep(10000);
  }
  EXPECT_EQ(ReadWindow((unsigned long)(uintptr_t)a.g.GetWindow(), 200, 150)[20 * 200 + 20],
            Rgb(kBlue));
  EXPECT_EQ(ReadWindow((unsigned long)(uintptr_t)b.g.GetWindow(), 200, 150)[20 * 200 + 120],
            Rgb(kRed));
  a.g.CloseWindow();
  EXPECT_EQ(IGraphicsLinux::ProcessAllEvents(), 1);
}

TEST_F(LinuxWindow, FilePromptsOpenSaveAndCancel) {
  Editor e;
  Open(e);
  std::string folder = ::testing::TempDir() + "prompt-" + std::to_string(getpid());
  mkdir(folder.c_str(), 0700);
  std::string existing = folder + "/bank.fxb";
  FILE* f = std::fopen(existing.c_str(), "w");
  std::fputs("x", f);
  std::fclose(f);

  auto prompt = [&](UTL_String* file, EFileAction action, UTL_String* dir, const char* ext,
                    const std::vector<std::string>& steps) {
    std::thread driver([&] {
      WaitForFocus(action == kFileSave ? "Save" : "Open");
      for (const std::string& step : steps) Xdo(step);
    });
    e.g.PromptForFile(file, action, dir, (char*)ext);
    driver.join();
  };

  // Cancel: the name is emptied, an empty folder becomes the desktop folder.
  UTL_String file("preset.fxp"), dir("");
  prompt(&file, kFileOpen, &dir, "fxp fxb", {"key Escape"});
  EXPECT_STREQ(file.Get(), "");
  UTL_String desktop;
  e.g.DesktopPath(&desktop);
  EXPECT_STREQ(dir.Get(), desktop.Get());

  // Open: a missing file is refused (the dialog stays), an existing one is taken.
  file.Set("");
  dir.Set("/nonexistent");
  prompt(&file, kFileOpen, &dir, "fxp fxb",
         {"key --repeat 40 BackSpace", "type --delay 5 '" + folder + "/missing.fxb'", "key Return",
          "key --repeat 11 BackSpace", "type --delay 5 'bank.fxb'", "key Return"});
  EXPECT_EQ(std::string(file.Get()), existing);
  EXPECT_EQ(std::string(dir.Get()), folder + "/");

  // Save: the first listed extension is added to a bare name.
  file.Set("mine");
  dir.Set(folder.c_str());
  prompt(&file, kFileSave, &dir, "fxp fxb", {"key Return"});
  EXPECT_EQ(std::string(file.Get()), folder + "/mine.fxp");
}
