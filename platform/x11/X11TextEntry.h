#pragma once
// The one-line entry the editor opens over a control to type its value: a child window
// with the style's entry colours, edited with the usual keys and filtered by the
// numeric formatter while typing.

#include <X11/Xlib.h>

#include <memory>

#include "framework/UTL_String.h"
#include "platform/x11/EntryFormatter.h"
#include "platform/x11/X11Fonts.h"
#include "platform/x11/X11Typing.h"

class X11Connection;
struct IText;

class X11TextEntry {
 public:
  enum class KeyResult { kEdited, kCommit, kCancel, kIgnored };

  // area is in the parent's coordinates; allowed (null for any) and maxLength follow
  // the formatter rules.
  X11TextEntry(X11Connection* connection, Window parent, const XRectangle& area, const IText& style,
               const char* initial, const char* allowed, int maxLength);
  ~X11TextEntry();
  X11TextEntry(const X11TextEntry&) = delete;
  X11TextEntry& operator=(const X11TextEntry&) = delete;

  Window Id() const { return mWindow; }
  const char* Text() const { return mText.Get(); }

  KeyResult OnKey(XKeyEvent* event);
  // Types text as if keyed in at the caret; refused edits leave the text unchanged.
  bool Insert(const char* text);
  void Redraw();

 private:
  bool Accept(const UTL_String& candidate) const { return mFormatter.IsValid(candidate.Get()); }

  X11Connection* mConnection;
  Window mWindow = None;
  GC mGC = nullptr;
  unsigned long mForeground = 0, mBackground = 0;
  int mAlign;
  X11UiFont mFont;
  std::unique_ptr<X11Typing> mTyping;
  int mWidth, mHeight;
  UTL_String mText;
  int mCaret = 0;  // byte offset
  viewrules::EntryFormatter mFormatter;
};
