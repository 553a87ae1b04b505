#pragma once
// The X window of an open editor: creation inside a parent or at top level, the redraw
// timer, the screen copy, and the translation of X events into engine calls through the
// input rules. Owned by IGraphicsLinux while the editor is open.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>
#include <vector>

#include "graphics/IRECT.h"
#include "platform/x11/InputRules.h"
#include "platform/x11/PixelConversion.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Fonts.h"
#include "platform/x11/X11ShmImage.h"
#include "platform/x11/X11TextEntry.h"

class IGraphicsLinux;
class UTL_Mutex;
class IControl;
class IParam;
class IPopupMenu;
struct IText;

class X11EditorWindow {
 public:
  // Null when no display can be reached or the parent window does not exist.
  static std::unique_ptr<X11EditorWindow> Create(IGraphicsLinux* engine, Window parent);
  ~X11EditorWindow();
  X11EditorWindow(const X11EditorWindow&) = delete;
  X11EditorWindow& operator=(const X11EditorWindow&) = delete;

  Window Id() const { return mWindow; }
  // Window pixels per engine pixel: 1, or 2 on high-density screens.
  int Scale() const { return mScale; }
  X11Connection* Connection() const { return mConnection.get(); }
  // False once the window was closed by the user, destroyed by the host, or the server
  // went away.
  bool IsAlive() const { return !mGone && !mConnection->IsLost(); }

  bool ProcessEvents();
  int MillisecondsToNextTick() const;
  // Draws the dirty region, under the engine's drawing lock; false when nothing was dirty.
  bool Tick();
  int Fd() const { return ConnectionNumber(mConnection->Get()); }

  // Copies r (clipped to the window) of the engine's bitmap to the window.
  bool CopyToScreen(const IRECT& r);
  bool CopiesThroughSharedMemory() const { return mImage && mImage->SharedMemory(); }
  bool WaitForScreenCopies();
  void Resize(int w, int h);

  void OpenTextEntry(IControl* control, IParam* param, IText* style, const char* text,
                     const IRECT& area);
  void EndTextEntry(bool commit);
  bool HasTextEntry() const { return mEntry != nullptr; }

  IPopupMenu* RunMenu(IPopupMenu* menu, const IRECT& area);
  // Runs other modal loops with the editor kept painted.
  void HandleForeignEvent(XEvent& e) { Dispatch(e, false); }

  // The user's input reaches the engine with the plug-in's lock held, as drawing does: the
  // host's threads move the same controls under that lock. A modal loop (a menu, a dialog)
  // opened from that input lets go of it while it waits for the user, so that the host's
  // renders and parameter calls never wait on a person.
  class ModalWait {
   public:
    explicit ModalWait(X11EditorWindow* window);
    ~ModalWait();
    ModalWait(const ModalWait&) = delete;
    ModalWait& operator=(const ModalWait&) = delete;

   private:
    UTL_Mutex* mReleased = nullptr;
  };

  // Pointer position on the screen, or false when unknown.
  bool PointerOnScreen(int* x, int* y);
  void HideCursor();
  void ShowCursorAt(int rootX, int rootY);

  void SetTooltipAreas(std::vector<IRECT> areas);

 private:
  X11EditorWindow(IGraphicsLinux* engine, std::unique_ptr<X11Connection> connection);
  bool Build(Window parent);
  bool MakeImage();
  void Dispatch(XEvent& e, bool input);
  void OnButton(XButtonEvent& e, bool press);
  void OnMotion(XMotionEvent& e);
  void OnKey(XKeyEvent& e);
  void OnExpose(const XExposeEvent& e);
  void UpdateTooltip(long long now);
  void HideTooltip();
  void PaintTooltip();
  viewrules::InputState StateOf(unsigned int xState) const;
  void RememberPointer(int x, int y);

  IGraphicsLinux* mEngine;
  std::unique_ptr<X11Connection> mConnection;
  Window mWindow = None;
  Window mParent = None;
  bool mTopLevel = false;
  bool mGone = false;
  // Input events being handled on this thread, each holding the plug-in's lock.
  int mInputDepth = 0;
  bool mDestroyed = false;  // the server destroyed the window (with its parent)
  Atom mDeleteWindow = None;
  GC mGC = nullptr;
  Visual* mVisual = nullptr;
  Colormap mColormap = None;
  Colormap mOwnColormap = None;
  int mDepth = 0;
  std::unique_ptr<X11ShmImage> mImage;
  int mScale = 1;
  std::vector<uint32_t> mDoubled;  // the pixel-doubled bitmap of a high-density window
  Cursor mBlankCursor = None;

  long long mNextTick = 0;
  int mPeriodMs = 40;

  viewrules::ClickCounter mClicks;
  int mPrevX = 0, mPrevY = 0;
  IRECT mExposed;

  std::unique_ptr<X11TextEntry> mEntry;
  IControl* mEntryControl = nullptr;
  IParam* mEntryParam = nullptr;

  std::vector<IRECT> mTooltipAreas;
  Window mTooltip = None;
  UTL_String mTooltipText;
  std::unique_ptr<X11UiFont> mTooltipFont;
  long long mPointerStill = 0;
};
