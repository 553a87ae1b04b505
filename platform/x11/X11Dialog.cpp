#include "platform/x11/X11Dialog.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <memory>

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Fonts.h"
#include "platform/x11/X11TopLevel.h"
#include "platform/x11/X11Typing.h"

namespace {

constexpr int kMargin = 14;
constexpr int kButtonHeight = 24;
constexpr int kFieldHeight = 22;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (true) {
    size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end == std::string::npos ? end : end - start));
    if (end == std::string::npos) return lines;
    start = end + 1;
  }
}

class Dialog {
 public:
  Dialog(X11Connection* c, Window transientFor, const DialogSpec& request)
      : mC(c), mD(c->Get()), mSpec(request), mField(request.fieldText), mFont(mD, 13) {
    mLineHeight = mFont.Ascent() + mFont.Descent() + 3;
    mLines = Lines(request.message);
    int textWidth = 200;
    for (const std::string& l : mLines) textWidth = std::max(textWidth, Width(l) + 2 * kMargin);
    int buttonsWidth = kMargin;
    for (const std::string& b : request.buttons) buttonsWidth += ButtonWidth(b) + 8;
    mWidth = std::max({textWidth, buttonsWidth + kMargin, request.hasField ? 420 : 0});
    Layout();

    mBlack = BlackPixel(mD, c->Screen());
    mWhite = WhitePixel(mD, c->Screen());
    mPanel = c->Pixel(0xededed);
    mEdge = c->Pixel(0x8a8a8a);
    mNoteInk = c->Pixel(0xb00020);
    mWindow = XCreateSimpleWindow(mD, c->Root(), 200, 200, mWidth, mHeight, 1, mEdge, mPanel);
    mDelete =
        PresentManagedWindow(c, mWindow, request.title.c_str(), "orvanta-dialog", mWidth, mHeight);
    if (transientFor) XSetTransientForHint(mD, mWindow, transientFor);
    XSelectInput(mD, mWindow, ExposureMask | KeyPressMask | ButtonPressMask | StructureNotifyMask);
    mGC = XCreateGC(mD, mWindow, 0, nullptr);
    mTyping = std::make_unique<X11Typing>(mD, mWindow);
    XMapRaised(mD, mWindow);
    XFlush(mD);
  }

  ~Dialog() {
    mTyping.reset();  // before its window
    XFreeGC(mD, mGC);
    XDestroyWindow(mD, mWindow);
    XFlush(mD);
  }

  DialogResult Run(const std::function<bool(int, const std::string&, std::string*)>& accept,
                   const std::function<void(XEvent&)>& others) {
    DialogResult result;
    bool focused = false;
    XEvent e;
    while (mC->NextEvent(&e)) {
      if (e.xany.window != mWindow) {
        others(e);
        continue;
      }
      int pressed = -1;
      switch (e.type) {
        case MapNotify:
          if (!focused) focused = mC->Focus(mWindow);
          break;
        case Expose:
          if (e.xexpose.count == 0) Paint();
          break;
        case ClientMessage:
          if ((Atom)e.xclient.data.l[0] == mDelete) return result;
          break;
        case ButtonPress:
          for (size_t b = 0; b < mButtons.size(); ++b) {
            const XRectangle& r = mButtons[b];
            if (e.xbutton.x >= r.x && e.xbutton.x < r.x + r.width && e.xbutton.y >= r.y &&
                e.xbutton.y < r.y + r.height) {
              pressed = (int)b;
            }
          }
          break;
        case KeyPress:
          pressed = OnKey(&e.xkey);
          break;
        default:
          break;
      }
      if (pressed < 0) continue;
      mNote.clear();
      if (accept && !accept(pressed, mField, &mNote)) {
        Paint();
        continue;
      }
      result.button = pressed;
      result.fieldText = mField;
      return result;
    }
    return result;
  }

 private:
  int Width(const std::string& s) const { return mFont.Width(s.c_str(), (int)s.size()); }
  int ButtonWidth(const std::string& label) const { return std::max(72, Width(label) + 24); }

  void Layout() {
    int y = kMargin + (int)mLines.size() * mLineHeight + mLineHeight;  // one line for notes
    if (mSpec.hasField) {
      mFieldRect = {(short)kMargin, (short)y, (unsigned short)(mWidth - 2 * kMargin),
                    (unsigned short)kFieldHeight};
      y += kFieldHeight + 10;
    }
    int x = mWidth - kMargin;
    mButtons.resize(mSpec.buttons.size());
    // The default button sits rightmost, as dialogs usually place it.
    std::vector<int> order;
    order.push_back(mSpec.defaultButton);
    for (int b = 0; b < (int)mSpec.buttons.size(); ++b) {
      if (b != mSpec.defaultButton) order.push_back(b);
    }
    for (int b : order) {
      if (b < 0 || b >= (int)mSpec.buttons.size()) continue;
      int w = ButtonWidth(mSpec.buttons[b]);
      x -= w;
      mButtons[b] = {(short)x, (short)y, (unsigned short)w, (unsigned short)kButtonHeight};
      x -= 8;
    }
    mHeight = y + kButtonHeight + kMargin;
  }

  int OnKey(XKeyEvent* event) {
    KeySym key = NoSymbol;
    const std::string typed = mTyping->Read(event, &key);
    if (key == XK_Return || key == XK_KP_Enter) return mSpec.defaultButton;
    if (key == XK_Escape) return mSpec.cancelButton;
    if (!mSpec.hasField) return -1;
    if (key == XK_BackSpace) {
      // A whole character: its UTF-8 continuation bytes with it.
      while (!mField.empty() && ((unsigned char)mField.back() & 0xC0) == 0x80) mField.pop_back();
      if (!mField.empty()) mField.pop_back();
    } else {
      mField += typed;
    }
    Paint();
    return -1;
  }

  void Paint() {
    XSetForeground(mD, mGC, mPanel);
    XFillRectangle(mD, mWindow, mGC, 0, 0, mWidth, mHeight);
    int ascent = mFont.Ascent();
    XSetForeground(mD, mGC, mBlack);
    int y = kMargin + ascent;
    for (const std::string& l : mLines) {
      mFont.Draw(mWindow, mGC, kMargin, y, l.c_str(), (int)l.size());
      y += mLineHeight;
    }
    if (!mNote.empty()) {
      XSetForeground(mD, mGC, mNoteInk);
      mFont.Draw(mWindow, mGC, kMargin, y, mNote.c_str(), (int)mNote.size());
    }
    if (mSpec.hasField) {
      const XRectangle& r = mFieldRect;
      XSetForeground(mD, mGC, mWhite);
      XFillRectangle(mD, mWindow, mGC, r.x, r.y, r.width, r.height);
      XSetForeground(mD, mGC, mEdge);
      XDrawRectangle(mD, mWindow, mGC, r.x, r.y, r.width - 1, r.height - 1);
      XSetForeground(mD, mGC, mBlack);
      // Show the end of long paths, where the caret is.
      int x = r.x + 4, w = Width(mField);
      if (x + w > r.x + r.width - 6) x = r.x + r.width - 6 - w;
      int base = r.y + (r.height + ascent) / 2 - 1;
      mFont.Draw(mWindow, mGC, x, base, mField.c_str(), (int)mField.size());
      XDrawLine(mD, mWindow, mGC, x + w + 1, r.y + 4, x + w + 1, r.y + r.height - 5);
    }
    for (size_t b = 0; b < mButtons.size(); ++b) {
      const XRectangle& r = mButtons[b];
      XSetForeground(mD, mGC, mWhite);
      XFillRectangle(mD, mWindow, mGC, r.x, r.y, r.width, r.height);
      XSetForeground(mD, mGC, (int)b == mSpec.defaultButton ? mBlack : mEdge);
      XDrawRectangle(mD, mWindow, mGC, r.x, r.y, r.width - 1, r.height - 1);
      XSetForeground(mD, mGC, mBlack);
      const std::string& label = mSpec.buttons[b];
      mFont.Draw(mWindow, mGC, r.x + (r.width - Width(label)) / 2,
                 r.y + (r.height + ascent) / 2 - 1, label.c_str(), (int)label.size());
    }
    XFlush(mD);
  }

  X11Connection* mC;
  Display* mD;
  const DialogSpec& mSpec;
  std::string mField;
  std::string mNote;
  std::vector<std::string> mLines;
  std::vector<XRectangle> mButtons;
  XRectangle mFieldRect{};
  X11UiFont mFont;
  std::unique_ptr<X11Typing> mTyping;
  int mLineHeight = 0;
  int mWidth = 0, mHeight = 0;
  Window mWindow = None;
  GC mGC = nullptr;
  Atom mDelete = None;
  unsigned long mBlack = 0, mWhite = 0, mPanel = 0, mEdge = 0, mNoteInk = 0;
};

}  // namespace

DialogResult RunDialog(X11Connection* connection, Window transientFor, const DialogSpec& request,
                       const std::function<bool(int, const std::string&, std::string*)>& accept,
                       const std::function<void(XEvent&)>& others) {
  if (!connection || connection->IsLost() || request.buttons.empty()) return {};
  Dialog dialog(connection, transientFor, request);
  return dialog.Run(accept, others);
}
