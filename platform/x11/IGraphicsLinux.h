#pragma once
// The editor engine on Linux: an Xlib window (a child of the window a host passes, or a
// top-level window) showing the engine's off-screen bitmap, with the engine's redraw
// timer, event translation, text entry, popup menus, dialogs, URL opening, clipboard,
// cursor and XDG paths. Without a window it still draws into its bitmap.
//
// X11 has no run loop of its own: the host's user-interface thread calls ProcessEvents
// (or RunEventLoop) often, for example whenever ConnectionFd() is readable and every
// MillisecondsToNextTick(). This header includes no X11 header.

#include <memory>

#include "framework/UTL_Mutex.h"
#include "framework/UTL_String.h"
#include "graphics/IGraphics.h"

class X11EditorWindow;

class IGraphicsLinux : public IGraphics {
 public:
  IGraphicsLinux(IPluginBase* pPlug, int w, int h, int refreshFPS = 0);
  ~IGraphicsLinux() override;

  void SetBundleID(const char* bundleID) { mBundleID.Set(bundleID); }
  const char* GetBundleID() const { return mBundleID.Get(); }
  // Folder the images are loaded from. When none is set, the folder the format's entry set
  // for the binary's editors (graphics/EditorResourceFolder.h), else the Resources folder of
  // the bundle with the bundle identifier.
  void SetResourceFolder(const char* folder) { mResourceFolder.Set(folder); }
  void GetResourceFolder(UTL_String* folder) const;
  // The file name of the last image that could not be loaded; "" when none failed.
  const char* GetLastImageFailure() const { return mLastImageFailure.Get(); }

  // ---- Platform operations of the engine ----
  bool DrawScreen(IRECT* pR) override;
  void ForceEndUserEdit() override;
  void Resize(int w, int h) override;
  const char* GetGUIAPI() override { return "X11 GUI"; }
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  IPopupMenu* CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pAreaRect) override;
  void CreateTextEntry(IControl* pControl, IText* pText, IRECT* pTextRect, const char* str,
                       IParam* pParam) override;
  void HostPath(UTL_String* pPath) override;
  void PluginPath(UTL_String* pPath) override;
  void DesktopPath(UTL_String* pPath) override;
  void AppSupportPath(UTL_String* pPath, bool isSystem = false) override;
  void SandboxSafeAppSupportPath(UTL_String* pPath) override;
  void PromptForFile(UTL_String* pFilename, EFileAction action, UTL_String* pDir,
                     char* extensions) override;
  bool PromptForColor(IColor* pColor, char* prompt) override;
  bool OpenURL(const char* url, const char* errMsg = nullptr, const char* windowTitle = nullptr,
               const char* confirmMsg = nullptr) override;
  // pParentWnd: an X window id (cast to a pointer) to open inside, or null for a
  // top-level window. Returns the editor's window id as a pointer; null when no display
  // can be reached or the parent does not exist.
  void* OpenWindow(void* pParentWnd) override;
  using IGraphics::OpenWindow;
  void CloseWindow() override;
  void* GetWindow() override;
  bool GetTextFromClipboard(UTL_String* pStr) override;
  void HideMouseCursor() override;
  void ShowMouseCursor() override;
  void UpdateTooltips() override;
  RAS_IBitmap* OSLoadBitmap(int ID, const char* name) override;

  // A host's request for a larger editor on high-density screens (1 or 2); 0 leaves the choice
  // to the display's settings. Takes effect when a window opens.
  void SetHostScaleFactor(double factor) { mHostScaleFactor = factor; }
  double HostScaleFactor() const { return mHostScaleFactor; }
  // Window pixels per engine pixel of the open window; 1 without one.
  int WindowScale() const;

  // ---- Driving the window ----
  // The timer's drawing pass: draws the dirty region into the bitmap and, with a window, onto
  // the screen; false when nothing was dirty. Every pass holds the plug-in's lock, under which
  // parameter changes from the host's threads write control values and readout texts.
  bool DrawDirty();
  UTL_Mutex* DrawingLock() const;
  // Handles every pending event and, when due, a timer tick. Returns whether the window
  // is (still) open; a window the host destroyed or a lost X server closes it.
  bool ProcessEvents();
  // Milliseconds until the next timer tick is due (0 when overdue); -1 without a window.
  int MillisecondsToNextTick() const;
  // File descriptor of the X connection, to wait on; -1 without a window.
  int ConnectionFd() const;
  // Processes events for the given time, sleeping in between; returns early when the
  // window closes.
  void RunEventLoop(int milliseconds);
  // The open window's screen copy goes through shared memory (MIT-SHM), not XPutImage.
  bool CopiesThroughSharedMemory() const;
  // Waits until the X server has finished every screen copy sent so far, so that a
  // measurement counts a frame only once it is on the screen. False without a window.
  bool WaitForScreenCopies();

  // Pumps every open editor window of the process, for hosts that hold only the window
  // (through the view factory) and give the plug-in one idle call. Returns how many
  // editor windows are open afterwards.
  static int ProcessAllEvents();
  // Milliseconds until any open window's next timer tick; -1 when none is open.
  static int MillisecondsToNextTickOfAll();

  // URL opening goes through xdg-open unless a host or test installs its own opener.
  // The opener receives the address to open (a web address, or a file:// URL).
  using URLOpener = bool (*)(const char* address, void* context);
  static void SetURLOpener(URLOpener opener, void* context);

 private:
  friend class X11EditorWindow;

  UTL_String mBundleID;
  UTL_String mResourceFolder;
  UTL_String mLastImageFailure;
  std::unique_ptr<X11EditorWindow> mWindow;
  int mEventDepth = 0;  // ProcessEvents is running (controls may call back into us)
  bool mClosePending = false;
  double mHostScaleFactor = 0;
};
