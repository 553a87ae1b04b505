#include "platform/x11/X11TextEntry.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdio>
#include <cstring>

#include "graphics/IText.h"
#include "platform/x11/X11Connection.h"

namespace {

unsigned Rgb(const IColor& c) { return (c.R & 255) << 16 | (c.G & 255) << 8 | (c.B & 255); }

bool IsContinuation(char c) { return ((unsigned char)c & 0xC0) == 0x80; }

}  // namespace

X11TextEntry::X11TextEntry(X11Connection* connection, Window parent, const XRectangle& area,
                           const IText& style, const char* initial, const char* allowed,
                           int maxLength)
    : mConnection(connection),
      mAlign(style.mAlign),
      mFont(connection->Get(), (int)(style.mSize * 0.9), style.mFontName),
      mWidth(area.width > 0 ? area.width : 1),
      mHeight(area.height > 0 ? area.height : 1),
      mText(initial),
      mCaret(mText.GetLength()),
      mFormatter(allowed, maxLength, 0) {
  Display* d = connection->Get();
  mForeground = connection->Pixel(Rgb(style.mEntryFGColor));
  mBackground = connection->Pixel(Rgb(style.mEntryBGColor));
  mWindow =
      XCreateSimpleWindow(d, parent, area.x, area.y, mWidth, mHeight, 0, mForeground, mBackground);
  XSelectInput(d, mWindow, ExposureMask | KeyPressMask | ButtonPressMask);
  mGC = XCreateGC(d, mWindow, 0, nullptr);
  mTyping = std::make_unique<X11Typing>(d, mWindow);
  XMapRaised(d, mWindow);
  XFlush(d);
}

X11TextEntry::~X11TextEntry() {
  // Also on a lost connection, whose requests Xlib drops: the client memory is freed.
  Display* d = mConnection->Get();
  mTyping.reset();
  if (mGC) XFreeGC(d, mGC);
  XDestroyWindow(d, mWindow);
  XFlush(d);
}

bool X11TextEntry::Insert(const char* text) {
  UTL_String candidate(mText);
  candidate.Insert(text, mCaret);
  if (!Accept(candidate)) return false;
  mText.Set(candidate.Get());
  mCaret += (int)std::strlen(text);
  Redraw();
  return true;
}

X11TextEntry::KeyResult X11TextEntry::OnKey(XKeyEvent* event) {
  KeySym key = NoSymbol;
  const std::string typed = mTyping->Read(event, &key);
  switch (key) {
    case XK_Return:
    case XK_KP_Enter:
      return KeyResult::kCommit;
    case XK_Escape:
      return KeyResult::kCancel;
    case XK_BackSpace:
      if (mCaret > 0) {
        int start = mCaret - 1;
        while (start > 0 && IsContinuation(mText.Get()[start])) --start;
        UTL_String candidate(mText);
        candidate.DeleteSub(start, mCaret - start);
        // Deleting may not make a text the formatter refuses (a longer number, say).
        if (Accept(candidate)) {
          mText.Set(candidate.Get());
          mCaret = start;
        }
      }
      break;
    case XK_Delete:
      if (mCaret < mText.GetLength()) {
        int end = mCaret + 1;
        while (end < mText.GetLength() && IsContinuation(mText.Get()[end])) ++end;
        UTL_String candidate(mText);
        candidate.DeleteSub(mCaret, end - mCaret);
        if (Accept(candidate)) mText.Set(candidate.Get());
      }
      break;
    case XK_Left:
      while (mCaret > 0 && IsContinuation(mText.Get()[--mCaret])) {
      }
      break;
    case XK_Right:
      if (mCaret < mText.GetLength()) ++mCaret;
      while (mCaret < mText.GetLength() && IsContinuation(mText.Get()[mCaret])) ++mCaret;
      break;
    case XK_Home:
      mCaret = 0;
      break;
    case XK_End:
      mCaret = mText.GetLength();
      break;
    default:
      if (!typed.empty()) {
        Insert(typed.c_str());
        return KeyResult::kEdited;
      }
      return KeyResult::kIgnored;
  }
  Redraw();
  return KeyResult::kEdited;
}

void X11TextEntry::Redraw() {
  if (mConnection->IsLost()) return;
  Display* d = mConnection->Get();
  XSetForeground(d, mGC, mBackground);
  XFillRectangle(d, mWindow, mGC, 0, 0, mWidth, mHeight);
  XSetForeground(d, mGC, mForeground);
  int len = mText.GetLength();
  int textWidth = mFont.Width(mText.Get(), len);
  int caretOffset = mFont.Width(mText.Get(), mCaret);
  int ascent = mFont.Ascent(), descent = mFont.Descent();
  int x = 2;
  if (mAlign == IText::kAlignCenter) x = (mWidth - textWidth) / 2;
  if (mAlign == IText::kAlignFar) x = mWidth - 2 - textWidth;
  // Long texts keep the caret in view.
  if (x + caretOffset > mWidth - 2) x = mWidth - 2 - caretOffset;
  if (x + caretOffset < 1) x = 1 - caretOffset;
  int baseline = (mHeight + ascent - descent) / 2;
  mFont.Draw(mWindow, mGC, x, baseline, mText.Get(), len);
  XDrawLine(d, mWindow, mGC, x + caretOffset, baseline - ascent, x + caretOffset,
            baseline + descent - 1);
  XFlush(d);
}
