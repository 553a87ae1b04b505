#include "platform/x11/X11EditorWindow.h"

#include <X11/Xatom.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "graphics/IControl.h"
#include "platform/x11/EntryFormatter.h"
#include "platform/x11/IGraphicsLinux.h"
#include "platform/x11/PixelDoubling.h"
#include "platform/x11/UiScale.h"
#include "platform/x11/ViewCoordinates.h"
#include "platform/x11/X11PopupMenu.h"
#include "platform/x11/X11TopLevel.h"
#include "raster/RAS_SysBitmap.h"

// Xlib's Bool macro would rename the parameter's Bool accessor.
#undef Bool
#include "framework/IParam.h"

using namespace viewrules;

namespace {

long long NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

constexpr long long kTooltipDelayMs = 700;

IMouseMod ToMouseMod(const Modifiers& m) { return IMouseMod(m.L, m.R, m.S, m.C, m.A); }

PixelRect ToPixel(const IRECT& r) { return {r.L, r.T, r.R, r.B}; }
IRECT ToIRECT(const PixelRect& r) { return IRECT(r.L, r.T, r.R, r.B); }

NamedKey NamedKeyFor(KeySym key) {
  switch (key) {
    case XK_space:
    case XK_KP_Space:
      return NamedKey::kSpace;
    case XK_Up:
    case XK_KP_Up:
      return NamedKey::kUp;
    case XK_Down:
    case XK_KP_Down:
      return NamedKey::kDown;
    case XK_Left:
    case XK_KP_Left:
      return NamedKey::kLeft;
    case XK_Right:
    case XK_KP_Right:
      return NamedKey::kRight;
    default:
      return NamedKey::kNone;
  }
}

}  // namespace

std::unique_ptr<X11EditorWindow> X11EditorWindow::Create(IGraphicsLinux* engine, Window parent) {
  std::unique_ptr<X11Connection> connection(X11Connection::Open());
  if (!connection) return nullptr;
  std::unique_ptr<X11EditorWindow> window(new X11EditorWindow(engine, std::move(connection)));
  if (!window->Build(parent)) return nullptr;
  return window;
}

X11EditorWindow::X11EditorWindow(IGraphicsLinux* engine, std::unique_ptr<X11Connection> connection)
    : mEngine(engine), mConnection(std::move(connection)) {}

bool X11EditorWindow::Build(Window parent) {
  Display* d = mConnection->Get();
  int screen = mConnection->Screen();
  mTopLevel = parent == None;
  mParent = mTopLevel ? mConnection->Root() : parent;
  if (!mTopLevel) {
    // A parent id that names no window is an error reply, not a crash.
    XWindowAttributes attributes;
    mConnection->BeginTrap();
    Status status = XGetWindowAttributes(d, mParent, &attributes);
    if (!mConnection->Succeeded() || !status) {
      mGone = true;
      return false;
    }
  }

  XVisualInfo info;
  if (XMatchVisualInfo(d, screen, DefaultDepth(d, screen), TrueColor, &info) ||
      XMatchVisualInfo(d, screen, 24, TrueColor, &info)) {
    mVisual = info.visual;
    mDepth = info.depth;
  } else {
    mVisual = DefaultVisual(d, screen);
    mDepth = DefaultDepth(d, screen);
  }
  mColormap = mVisual == DefaultVisual(d, screen)
                  ? DefaultColormap(d, screen)
                  : (mOwnColormap = XCreateColormap(d, mConnection->Root(), mVisual, AllocNone));

  ScaleInputs scale;
  scale.override = std::getenv("ORVANTA_UI_SCALE");
  scale.hostFactor = mEngine->HostScaleFactor();
  scale.gdkScale = std::getenv("GDK_SCALE");
  scale.xftDpi = XftDpiFromResources(XResourceManagerString(d));
  mScale = ChooseUiScale(scale);
  if (const std::string problem = UiScaleOverrideProblem(scale.override, mScale); !problem.empty())
    std::fprintf(stderr, "Orvanta: %s\n", problem.c_str());
  const int w = mEngine->Width() * mScale, h = mEngine->Height() * mScale;

  XSetWindowAttributes a;
  a.background_pixmap = None;  // the bitmap covers everything; no flash of background
  a.border_pixel = 0;
  a.colormap = mColormap;
  a.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                 KeyPressMask | StructureNotifyMask | LeaveWindowMask;
  mConnection->BeginTrap();
  mWindow = XCreateWindow(d, mParent, 0, 0, w, h, 0, mDepth, InputOutput, mVisual,
                          CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask, &a);
  if (mTopLevel) {
    mDeleteWindow = PresentManagedWindow(mConnection.get(), mWindow, "Orvanta", "orvanta", w, h);
  }
  mGC = XCreateGC(d, mWindow, 0, nullptr);
  XMapWindow(d, mWindow);
  if (!mConnection->Succeeded() || !MakeImage()) {
    mGone = true;
    return false;
  }

  // An empty cursor, for hiding the pointer while a control is dragged.
  char none = 0;
  Pixmap blank = XCreateBitmapFromData(d, mWindow, &none, 1, 1);
  XColor black{};
  mBlankCursor = XCreatePixmapCursor(d, blank, blank, &black, &black, 0, 0);
  XFreePixmap(d, blank);

  mPeriodMs = std::max(1, 1000 / std::max(1, mEngine->FPS()));
  mNextTick = NowMs() + mPeriodMs;
  XFlush(d);
  return true;
}

bool X11EditorWindow::MakeImage() {
  mImage.reset();
  mImage = X11ShmImage::Create(mConnection.get(), mVisual, mDepth, mEngine->Width() * mScale,
                               mEngine->Height() * mScale);
  if (mScale == 2) {
    // High density: a pixel-doubled copy of the engine's bitmap, updated where it is dirty.
    const int w = std::max(1, mEngine->Width()), h = std::max(1, mEngine->Height());
    mDoubled.assign(DoubledBufferBytes(w, h) / sizeof(uint32_t) + 1, 0);
  }
  return mImage != nullptr;
}

X11EditorWindow::~X11EditorWindow() {
  mEntry.reset();
  if (!mConnection->IsLost()) {
    Display* d = mConnection->Get();
    HideTooltip();
    mImage.reset();
    if (mBlankCursor) XFreeCursor(d, mBlankCursor);
    if (mGC) XFreeGC(d, mGC);
    // The window may already be gone with a host's parent; errors are trapped.
    mConnection->BeginTrap();
    if (mWindow && !mDestroyed) XDestroyWindow(d, mWindow);
    if (mOwnColormap) XFreeColormap(d, mOwnColormap);
    mConnection->Succeeded();
  } else {
    // Only client memory is left to free; Xlib drops the requests of a lost connection.
    mImage.reset();
    if (mGC) XFreeGC(mConnection->Get(), mGC);
  }
}

bool X11EditorWindow::ProcessEvents() {
  if (!IsAlive()) return false;
  Display* d = mConnection->Get();
  while (IsAlive() && XPending(d)) {
    XEvent e;
    XNextEvent(d, &e);
    Dispatch(e, true);
  }
  if (!IsAlive()) return false;
  long long now = NowMs();
  if (now >= mNextTick) {
    Tick();
    mNextTick += mPeriodMs;
    if (mNextTick <= now) mNextTick = now + mPeriodMs;  // fell behind: do not catch up
  }
  UpdateTooltip(now);
  XFlush(d);
  return IsAlive();
}

int X11EditorWindow::MillisecondsToNextTick() const {
  long long left = mNextTick - NowMs();
  return left > 0 ? (int)left : 0;
}

bool X11EditorWindow::Tick() {
  UTL_MutexLock lock(mEngine->DrawingLock());
  IRECT dirty;
  if (!mEngine->IsDirty(&dirty)) return false;
  // The region is widened as a view invalidates it, then read back for painting.
  IRECT paint = ToIRECT(ToPixelRect(ToViewRect(ToPixel(dirty))));
  mEngine->Draw(&paint);
  return true;
}

bool X11EditorWindow::CopyToScreen(const IRECT& r) {
  if (!IsAlive() || !mImage) return false;
  RAS_SysBitmap* bitmap = mEngine->GetDrawBitmap();
  if (!bitmap || !bitmap->getBits()) return false;
  const int w = std::min(bitmap->getWidth(), mEngine->Width());
  const int h = std::min(bitmap->getHeight(), mEngine->Height());
  if (mScale == 2) {
    // High density: the region pixel-doubled into the doubled copy, which is then copied.
    const PixelRect c = ClipToSurface(ToPixel(r), w, h);
    if (c.R <= c.L || c.B <= c.T) return true;
    uint32_t* doubled = AlignDoubledStart(mDoubled.data());
    const int span = DoubledRowSpan(std::max(1, mEngine->Width()));
    DoublePixels(bitmap->getBits() + (size_t)c.T * bitmap->getRowSpan() + c.L, bitmap->getRowSpan(),
                 c.R - c.L, c.B - c.T, doubled + (size_t)(2 * c.T) * span + 2 * c.L, span);
    mImage->Copy(mWindow, mGC, doubled, span, 2 * w, 2 * h, {2 * c.L, 2 * c.T, 2 * c.R, 2 * c.B});
    return true;
  }
  mImage->Copy(mWindow, mGC, bitmap->getBits(), bitmap->getRowSpan(), w, h, ToPixel(r));
  return true;
}

bool X11EditorWindow::WaitForScreenCopies() {
  if (!IsAlive() || !mImage) return false;
  mImage->WaitForServer();
  return IsAlive();
}

void X11EditorWindow::Resize(int w, int h) {
  if (!IsAlive()) return;
  EndTextEntry(false);
  XResizeWindow(mConnection->Get(), mWindow, w * mScale, h * mScale);
  if (mTopLevel) FixManagedSize(mConnection->Get(), mWindow, w * mScale, h * mScale);
  MakeImage();
}

InputState X11EditorWindow::StateOf(unsigned int s) const {
  InputState state;
  state.shift = s & ShiftMask;
  state.control = s & ControlMask;
  state.alt = s & Mod1Mask;
  state.command = s & Mod4Mask;  // Super
  return state;
}

void X11EditorWindow::RememberPointer(int x, int y) {
  PixelPoint p = ToEnginePoint(ToEngineCoordinate(x, mScale), ToEngineCoordinate(y, mScale));
  mPrevX = p.x;
  mPrevY = p.y;
}

X11EditorWindow::ModalWait::ModalWait(X11EditorWindow* window) {
  if (!window || window->mInputDepth == 0) return;
  mReleased = window->mEngine->DrawingLock();
  if (mReleased) mReleased->Leave();
}

X11EditorWindow::ModalWait::~ModalWait() {
  if (mReleased) mReleased->Enter();
}

namespace {
// Holds the plug-in's lock while one input event is handled.
class InputScope {
 public:
  InputScope(UTL_Mutex* lock, int* depth) : mLock(lock), mDepth(depth) { ++*mDepth; }
  ~InputScope() { --*mDepth; }
  InputScope(const InputScope&) = delete;
  InputScope& operator=(const InputScope&) = delete;

 private:
  UTL_MutexLock mLock;
  int* mDepth;
};
}  // namespace

void X11EditorWindow::Dispatch(XEvent& e, bool input) {
  // Keys read after a change of the keyboard map (as typing tools make) need the new map.
  if (e.type == MappingNotify) {
    XRefreshKeyboardMapping(&e.xmapping);
    return;
  }
  if (mEntry && e.xany.window == mEntry->Id()) {
    if (e.type == Expose && e.xexpose.count == 0) mEntry->Redraw();
    if (e.type == KeyPress && input) {
      InputScope scope(mEngine->DrawingLock(), &mInputDepth);
      OnKey(e.xkey);
    }
    return;
  }
  if (mTooltip && e.xany.window == mTooltip) {
    if (e.type == Expose && e.xexpose.count == 0) PaintTooltip();
    return;
  }
  if (e.xany.window != mWindow) return;
  switch (e.type) {
    case Expose:
      OnExpose(e.xexpose);
      break;
    case DestroyNotify:
      if (e.xdestroywindow.window == mWindow) mGone = mDestroyed = true;
      break;
    case ClientMessage:
      if (mTopLevel && (Atom)e.xclient.data.l[0] == mDeleteWindow) mGone = true;
      break;
    case LeaveNotify:
      HideTooltip();
      // Into a window of ours inside the editor (the text entry) is not leaving it.
      if (e.xcrossing.detail != NotifyInferior) {
        mPointerStill = 0;  // no tooltip for where the pointer was
        InputScope scope(mEngine->DrawingLock(), &mInputDepth);
        mEngine->OnMouseOut();
      }
      break;
    case ButtonPress:
    case ButtonRelease:
    case MotionNotify:
    case KeyPress: {
      if (!input) break;
      InputScope scope(mEngine->DrawingLock(), &mInputDepth);
      if (e.type == MotionNotify) {
        OnMotion(e.xmotion);
      } else if (e.type == KeyPress) {
        OnKey(e.xkey);
      } else {
        OnButton(e.xbutton, e.type == ButtonPress);
      }
      break;
    }
    default:
      break;
  }
}

void X11EditorWindow::OnExpose(const XExposeEvent& e) {
  // Every engine pixel the window region touches.
  const int s = mScale, l = e.x / s, t = e.y / s;
  const int right = (e.x + e.width + s - 1) / s, bottom = (e.y + e.height + s - 1) / s;
  IRECT r = ToIRECT(ToPixelRect({(double)l, (double)t, (double)(right - l), (double)(bottom - t)}));
  mExposed = mExposed.Union(r);
  if (e.count > 0) return;
  IRECT paint = mExposed;
  mExposed.Clear();
  UTL_MutexLock lock(mEngine->DrawingLock());
  mEngine->Draw(&paint);
}

void X11EditorWindow::OnButton(XButtonEvent& e, bool press) {
  RememberPointer(e.x, e.y);
  HideTooltip();
  int wheel = WheelStepsForButton(e.button);
  if (e.button == 4 || e.button == 5 || e.button == 6 || e.button == 7) {
    if (!press || wheel == 0) return;
    EndTextEntry(false);  // the wheel closes an entry without committing it
    IMouseMod mod = ToMouseMod(ModifiersFor(PointerButton::kLeft, StateOf(e.state)));
    mEngine->OnMouseWheel(mPrevX, mPrevY, &mod, wheel);
    return;
  }
  if (e.button != Button1 && e.button != Button3) return;
  PointerButton button = e.button == Button1 ? PointerButton::kLeft : PointerButton::kRight;
  IMouseMod mod = ToMouseMod(ModifiersFor(button, StateOf(e.state)));
  if (!press) {
    mEngine->OnMouseUp(mPrevX, mPrevY, &mod);
    return;
  }
  // Clicking elsewhere leaves an open entry, which commits it.
  EndTextEntry(true);
  mConnection->Focus(mWindow, e.time);
  int count = mClicks.Press(e.time, mPrevX, mPrevY, button);
  if (DeliverPress(button, count) == PressDelivery::kDoubleClick) {
    mEngine->OnMouseDblClick(mPrevX, mPrevY, &mod);
  } else {
    mEngine->OnMouseDown(mPrevX, mPrevY, &mod);
  }
}

void X11EditorWindow::OnMotion(XMotionEvent& e) {
  // Only the latest position of a burst matters.
  Display* d = mConnection->Get();
  XEvent next;
  while (XPending(d) && XPeekEvent(d, &next) == 1 && next.type == MotionNotify &&
         next.xmotion.window == mWindow) {
    XNextEvent(d, &next);
    e = next.xmotion;
  }
  RememberPointer(e.x, e.y);
  mPointerStill = NowMs();
  HideTooltip();
  if (e.state & (Button1Mask | Button3Mask)) {
    if (mEntry) return;  // no drags while the entry is open
    PointerButton button = (e.state & Button1Mask) ? PointerButton::kLeft : PointerButton::kRight;
    IMouseMod mod = ToMouseMod(ModifiersFor(button, StateOf(e.state)));
    mEngine->OnMouseDrag(mPrevX, mPrevY, &mod);
  } else {
    IMouseMod mod = ToMouseMod(ModifiersFor(PointerButton::kLeft, StateOf(e.state)));
    mEngine->OnMouseOver(mPrevX, mPrevY, &mod);
  }
}

void X11EditorWindow::OnKey(XKeyEvent& e) {
  if (mEntry) {
    switch (mEntry->OnKey(&e)) {
      case X11TextEntry::KeyResult::kCommit:
        EndTextEntry(true);
        break;
      case X11TextEntry::KeyResult::kCancel:
        EndTextEntry(false);
        break;
      default:
        break;
    }
    return;
  }
  char typed[8] = {};
  KeySym key = NoSymbol;
  XKeyEvent plain = e;
  plain.state &= ~(ControlMask | Mod1Mask | Mod4Mask);  // the character without modifiers
  int n = XLookupString(&plain, typed, sizeof typed - 1, &key, nullptr);
  typed[n > 0 ? n : 0] = 0;
  KeyTranslation t = TranslateKey(NamedKeyFor(key), typed);
  if (t.disposition == KeyDisposition::kDrop) return;
  if (t.disposition == KeyDisposition::kEngine && mEngine->OnKeyDown(mPrevX, mPrevY, t.code)) {
    return;
  }
  // Not ours: the host's window gets the key, so that its shortcuts keep working.
  if (!mTopLevel) {
    XEvent forward;
    forward.xkey = e;
    forward.xkey.window = mParent;
    mConnection->BeginTrap();
    XSendEvent(mConnection->Get(), mParent, True, KeyPressMask, &forward);
    mConnection->Succeeded();
  }
}

void X11EditorWindow::OpenTextEntry(IControl* control, IParam* param, IText* style,
                                    const char* text, const IRECT& area) {
  if (!control || mEntry || !IsAlive()) return;
  ViewRect v = ToViewRect(ToPixel(area));
  const int s = mScale;
  XRectangle r{(short)(v.x * s), (short)(v.y * s), (unsigned short)std::max(1.0, v.w * s),
               (unsigned short)std::max(1.0, v.h * s)};
  const char* allowed = param ? EntryCharacters(param->Type()) : nullptr;
  int maxLength = param ? control->GetTextEntryLength() : 0;
  IText entryStyle = style ? *style : IText();
  entryStyle.mSize *= s;
  mEntry = std::make_unique<X11TextEntry>(mConnection.get(), mWindow, r, entryStyle, text, allowed,
                                          maxLength);
  mEntryControl = control;
  mEntryParam = param;
  if (mTopLevel) XRaiseWindow(mConnection->Get(), mWindow);
  mConnection->Focus(mEntry->Id());
}

void X11EditorWindow::EndTextEntry(bool commit) {
  if (!mEntry) return;
  UTL_String text(mEntry->Text());
  IControl* control = mEntryControl;
  IParam* param = mEntryParam;
  mEntry.reset();
  mEntryControl = nullptr;
  mEntryParam = nullptr;
  if (IsAlive()) mConnection->Focus(mWindow);
  if (!commit) return;
  if (param) {
    mEngine->SetFromStringAfterPrompt(control, param, text.GetMutable());
  } else {
    control->TextFromTextEntry(text.Get());
  }
  IRECT all(0, 0, mEngine->Width(), mEngine->Height());
  UTL_MutexLock lock(mEngine->DrawingLock());
  mEngine->Draw(&all);
}

IPopupMenu* X11EditorWindow::RunMenu(IPopupMenu* menu, const IRECT& area) {
  if (!IsAlive()) return nullptr;
  EndTextEntry(false);
  HideTooltip();
  int rx = 0, ry = 0;
  Window child;
  XTranslateCoordinates(mConnection->Get(), mWindow, mConnection->Root(), area.L * mScale,
                        area.B * mScale + 4, &rx, &ry, &child);
  ModalWait wait(this);
  return RunPopupMenu(mConnection.get(), menu, rx, ry, [this](XEvent& e) { Dispatch(e, false); });
}

bool X11EditorWindow::PointerOnScreen(int* x, int* y) {
  if (!IsAlive()) return false;
  Window root, child;
  int wx, wy;
  unsigned int mask;
  return XQueryPointer(mConnection->Get(), mWindow, &root, &child, x, y, &wx, &wy, &mask);
}

void X11EditorWindow::HideCursor() {
  if (IsAlive()) XDefineCursor(mConnection->Get(), mWindow, mBlankCursor);
}

void X11EditorWindow::ShowCursorAt(int rootX, int rootY) {
  if (!IsAlive()) return;
  Display* d = mConnection->Get();
  XWarpPointer(d, None, mConnection->Root(), 0, 0, 0, 0, rootX, rootY);
  XUndefineCursor(d, mWindow);
  XFlush(d);
}

void X11EditorWindow::SetTooltipAreas(std::vector<IRECT> areas) {
  HideTooltip();
  mTooltipAreas = std::move(areas);
}

void X11EditorWindow::UpdateTooltip(long long now) {
  if (mTooltipAreas.empty() || mTooltip || mPointerStill == 0 ||
      now - mPointerStill < kTooltipDelayMs) {
    return;
  }
  mPointerStill = 0;  // once per pause
  bool inside = std::any_of(mTooltipAreas.begin(), mTooltipAreas.end(),
                            [&](const IRECT& r) { return r.Contains(mPrevX, mPrevY); });
  // The control under the pointer, whether or not the editor follows the pointer for hovering.
  int over = mEngine->GetMouseControlIdx(mPrevX, mPrevY, true);
  IControl* control = inside && over >= 0 ? mEngine->GetControl(over) : nullptr;
  const char* tip = control ? control->GetTooltip() : "";
  if (!tip || !*tip) return;

  Display* d = mConnection->Get();
  int rx = 0, ry = 0;
  Window child;
  XTranslateCoordinates(d, mWindow, mConnection->Root(), mPrevX * mScale + 12, mPrevY * mScale + 18,
                        &rx, &ry, &child);
  mTooltipText.Set(tip);
  if (!mTooltipFont) mTooltipFont = std::make_unique<X11UiFont>(d, 12 * mScale);
  const int w = mTooltipFont->Width(mTooltipText.Get(), mTooltipText.GetLength()) + 8;
  const int h = mTooltipFont->Ascent() + mTooltipFont->Descent() + 4;
  mTooltip =
      CreatePopupWindow(mConnection.get(), rx, ry, w, h, ExposureMask, "Orvanta tooltip",
                        WhitePixel(d, mConnection->Screen()), BlackPixel(d, mConnection->Screen()));
}

void X11EditorWindow::PaintTooltip() {
  Display* d = mConnection->Get();
  GC gc = XCreateGC(d, mTooltip, 0, nullptr);
  XSetForeground(d, gc, BlackPixel(d, mConnection->Screen()));
  mTooltipFont->Draw(mTooltip, gc, 4, 2 + mTooltipFont->Ascent(), mTooltipText.Get(),
                     mTooltipText.GetLength());
  XFreeGC(d, gc);
}

void X11EditorWindow::HideTooltip() {
  if (!mTooltip || mConnection->IsLost()) return;
  XDestroyWindow(mConnection->Get(), mTooltip);
  mTooltip = None;
}
