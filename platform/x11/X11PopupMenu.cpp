#include "platform/x11/X11PopupMenu.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "graphics/IPopupMenu.h"
#include "platform/x11/MenuTitles.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Fonts.h"
#include "platform/x11/X11TopLevel.h"

namespace {

constexpr int kItemHeight = 20;
constexpr int kSeparatorHeight = 7;
constexpr int kCheckColumn = 20;
constexpr int kIndent = 12;
constexpr int kArrowColumn = 18;

long long NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

struct Level {
  IPopupMenu* menu = nullptr;
  Window window = None;
  int x = 0, y = 0, width = 0, height = 0;
  std::vector<int> tops;  // top of each item
  int highlighted = -1;
};

class MenuSession {
 public:
  MenuSession(X11Connection* c, const std::function<void(XEvent&)>& others)
      : mC(c), mD(c->Get()), mOthers(others), mFont(mD, 13) {
    mBlack = BlackPixel(mD, c->Screen());
    mWhite = WhitePixel(mD, c->Screen());
    mGray = c->Pixel(0x9a9a9a);
    mHighlight = c->Pixel(0x3465a4);
    mBorder = c->Pixel(0x555555);
  }

  ~MenuSession() {
    while (!mLevels.empty()) CloseLevel();
    XUngrabPointer(mD, CurrentTime);
    XUngrabKeyboard(mD, CurrentTime);
    XFlush(mD);
  }

  IPopupMenu* Run(IPopupMenu* menu, int rootX, int rootY) {
    if (!menu || menu->GetNItems() == 0) return nullptr;
    OpenLevel(menu, rootX, rootY);
    Window w = mLevels[0].window;
    XGrabPointer(mD, w, True, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                 GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
    XGrabKeyboard(mD, w, True, GrabModeAsync, GrabModeAsync, CurrentTime);
    long long opened = NowMs();
    bool pressedInside = false;
    XEvent e;
    while (mC->NextEvent(&e)) {
      int level = LevelOf(e.xany.window);
      if (level < 0 && e.type != ButtonPress && e.type != ButtonRelease && e.type != MotionNotify &&
          e.type != KeyPress) {
        mOthers(e);
        continue;
      }
      switch (e.type) {
        case Expose:
          if (e.xexpose.count == 0) Paint(level);
          break;
        case MotionNotify:
          Hover(e.xmotion.x_root, e.xmotion.y_root);
          break;
        case ButtonPress: {
          int l, i;
          if (!Hit(e.xbutton.x_root, e.xbutton.y_root, &l, &i)) return nullptr;  // outside
          pressedInside = true;
          break;
        }
        case ButtonRelease: {
          int l, i;
          if (!Hit(e.xbutton.x_root, e.xbutton.y_root, &l, &i)) break;
          // The release of the click that opened the menu does not choose.
          if (!pressedInside && NowMs() - opened < 300) break;
          if (IPopupMenu* chosen = Choose(l, i)) return chosen;
          break;
        }
        case KeyPress: {
          KeySym key = XLookupKeysym(&e.xkey, 0);
          if (key == XK_Escape) return nullptr;
          if (IPopupMenu* chosen = OnKey(key)) return chosen;
          break;
        }
        default:
          break;
      }
    }
    return nullptr;
  }

 private:
  void Title(IPopupMenu* menu, int i, UTL_String* title) {
    viewrules::MenuItemTitle(menu->GetPrefix(), i + 1, menu->GetItemText(i), title);
  }

  int TextWidth(const char* s) const { return mFont.Width(s, (int)std::strlen(s)); }

  void OpenLevel(IPopupMenu* menu, int x, int y) {
    Level level;
    level.menu = menu;
    int width = 80, top = 2;
    UTL_String title;
    for (int i = 0; i < menu->GetNItems(); ++i) {
      IPopupMenuItem* item = menu->GetItem(i);
      level.tops.push_back(top);
      top += item->GetIsSeparator() ? kSeparatorHeight : kItemHeight;
      Title(menu, i, &title);
      int w =
          kCheckColumn + (item->GetIsTitle() ? kIndent : 0) + TextWidth(title.Get()) + kArrowColumn;
      if (w > width) width = w;
    }
    level.tops.push_back(top);
    level.width = width;
    level.height = top + 2;
    // Keep the menu on the screen.
    int sw = DisplayWidth(mD, mC->Screen()), sh = DisplayHeight(mD, mC->Screen());
    level.x = x + width > sw ? (sw - width > 0 ? sw - width : 0) : x;
    level.y = y + level.height > sh ? (sh - level.height > 0 ? sh - level.height : 0) : y;

    long events =
        ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask;
    level.window = CreatePopupWindow(mC, level.x, level.y, level.width, level.height, events,
                                     "Orvanta menu", mWhite, mBorder);
    mLevels.push_back(level);
    XFlush(mD);
  }

  void CloseLevel() {
    XDestroyWindow(mD, mLevels.back().window);
    mLevels.pop_back();
  }

  int LevelOf(Window w) const {
    for (size_t l = 0; l < mLevels.size(); ++l) {
      if (mLevels[l].window == w) return (int)l;
    }
    return -1;
  }

  // The topmost level and item under a root point; item -1 over padding.
  bool Hit(int rx, int ry, int* level, int* item) {
    for (int l = (int)mLevels.size() - 1; l >= 0; --l) {
      const Level& v = mLevels[l];
      if (rx < v.x || ry < v.y || rx >= v.x + v.width + 2 || ry >= v.y + v.height + 2) continue;
      *level = l;
      *item = -1;
      int y = ry - v.y - 1;
      for (int i = 0; i + 1 < (int)v.tops.size(); ++i) {
        if (y >= v.tops[i] && y < v.tops[i + 1]) *item = i;
      }
      return true;
    }
    return false;
  }

  bool Selectable(IPopupMenu* menu, int i) {
    IPopupMenuItem* item = menu->GetItem(i);
    return item && !item->GetIsSeparator() && item->GetEnabled();
  }

  void Highlight(int l, int i) {
    Level& v = mLevels[l];
    if (v.highlighted == i) return;
    v.highlighted = i;
    while ((int)mLevels.size() > l + 1) CloseLevel();
    Paint(l);
    IPopupMenuItem* item = i >= 0 ? v.menu->GetItem(i) : nullptr;
    if (item && item->GetSubmenu() && item->GetEnabled() && item->GetSubmenu()->GetNItems() > 0) {
      OpenLevel(item->GetSubmenu(), v.x + v.width, v.y + v.tops[i]);
    }
  }

  void Hover(int rx, int ry) {
    int l, i;
    if (!Hit(rx, ry, &l, &i)) return;
    Highlight(l, i >= 0 && Selectable(mLevels[l].menu, i) ? i : -1);
  }

  IPopupMenu* Choose(int l, int i) {
    if (i < 0) return nullptr;
    IPopupMenu* menu = mLevels[l].menu;
    IPopupMenuItem* item = menu->GetItem(i);
    if (!Selectable(menu, i) || item->GetSubmenu()) return nullptr;
    menu->SetChosenItemIdx(i);
    return menu;
  }

  IPopupMenu* OnKey(KeySym key) {
    Level& v = mLevels.back();
    int n = v.menu->GetNItems();
    int l = (int)mLevels.size() - 1;
    if (key == XK_Down || key == XK_Up) {
      int step = key == XK_Down ? 1 : -1;
      for (int k = 1, i = v.highlighted; k <= n; ++k) {
        i = ((i < 0 && step < 0 ? n : i) + step + n) % n;
        if (Selectable(v.menu, i)) {
          Highlight(l, i);
          break;
        }
      }
    } else if ((key == XK_Left || key == XK_BackSpace) && l > 0) {
      CloseLevel();
    } else if ((key == XK_Return || key == XK_KP_Enter || key == XK_space) && v.highlighted >= 0) {
      return Choose(l, v.highlighted);
    }
    return nullptr;
  }

  void Paint(int l) {
    if (l < 0) return;
    Level& v = mLevels[l];
    GC gc = XCreateGC(mD, v.window, 0, nullptr);
    XSetForeground(mD, gc, mWhite);
    XFillRectangle(mD, v.window, gc, 0, 0, v.width, v.height);
    int ascent = mFont.Ascent(), descent = mFont.Descent();
    UTL_String title;
    for (int i = 0; i < v.menu->GetNItems(); ++i) {
      IPopupMenuItem* item = v.menu->GetItem(i);
      int top = v.tops[i];
      if (item->GetIsSeparator()) {
        XSetForeground(mD, gc, mGray);
        XDrawLine(mD, v.window, gc, 4, top + kSeparatorHeight / 2, v.width - 5,
                  top + kSeparatorHeight / 2);
        continue;
      }
      bool lit = i == v.highlighted;
      if (lit) {
        XSetForeground(mD, gc, mHighlight);
        XFillRectangle(mD, v.window, gc, 0, top, v.width, kItemHeight);
      }
      unsigned long ink = !item->GetEnabled() ? mGray : lit ? mWhite : mBlack;
      XSetForeground(mD, gc, ink);
      int baseline = top + (kItemHeight + ascent - descent) / 2;
      if (item->GetChecked()) {
        XPoint tick[3] = {{6, (short)(top + 10)}, {9, (short)(top + 13)}, {15, (short)(top + 6)}};
        XSetLineAttributes(mD, gc, 2, LineSolid, CapRound, JoinRound);
        XDrawLines(mD, v.window, gc, tick, 3, CoordModeOrigin);
        XSetLineAttributes(mD, gc, 0, LineSolid, CapButt, JoinMiter);
      }
      Title(v.menu, i, &title);
      int x = kCheckColumn + (item->GetIsTitle() ? kIndent : 0);
      mFont.Draw(v.window, gc, x, baseline, title.Get(), title.GetLength());
      if (item->GetSubmenu()) {
        XPoint arrow[3] = {{(short)(v.width - 12), (short)(top + 6)},
                           {(short)(v.width - 7), (short)(top + 10)},
                           {(short)(v.width - 12), (short)(top + 14)}};
        XFillPolygon(mD, v.window, gc, arrow, 3, Convex, CoordModeOrigin);
      }
    }
    XFreeGC(mD, gc);
    XFlush(mD);
  }

  X11Connection* mC;
  Display* mD;
  const std::function<void(XEvent&)>& mOthers;
  X11UiFont mFont;
  unsigned long mBlack, mWhite, mGray, mHighlight, mBorder;
  std::vector<Level> mLevels;
};

}  // namespace

IPopupMenu* RunPopupMenu(X11Connection* connection, IPopupMenu* menu, int rootX, int rootY,
                         const std::function<void(XEvent&)>& others) {
  if (!connection || connection->IsLost()) return nullptr;
  MenuSession session(connection, others);
  return session.Run(menu, rootX, rootY);
}
