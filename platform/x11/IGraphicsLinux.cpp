#include "platform/x11/IGraphicsLinux.h"

#include <poll.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "framework/IPluginBase.h"
#include "graphics/EditorResourceFolder.h"
#include "graphics/IControl.h"
#include "platform/x11/BundleLookup.h"
#include "platform/x11/MessageBoxRules.h"
#include "platform/x11/ResourceNames.h"
#include "platform/x11/UrlOpener.h"
#include "platform/x11/UrlRules.h"
#include "platform/x11/X11Clipboard.h"
#include "platform/x11/X11Dialog.h"
#include "platform/x11/X11EditorWindow.h"
#include "platform/x11/XdgPaths.h"
#include "raster/RAS_DeferredPNG.h"

using namespace viewrules;

namespace {

IGraphicsLinux::URLOpener gURLOpener = nullptr;
// Engines with an open window; all on the user-interface thread.
std::vector<IGraphicsLinux*> gOpenEditors;
void* gURLOpenerContext = nullptr;

const char* Env(const char* name) { return std::getenv(name); }

bool IsDirectory(const std::string& path) {
  struct stat s;
  return stat(path.c_str(), &s) == 0 && S_ISDIR(s.st_mode);
}

bool IsRegularFile(const std::string& path) {
  struct stat s;
  return stat(path.c_str(), &s) == 0 && S_ISREG(s.st_mode);
}

std::vector<std::string> SplitExtensions(const char* extensions) {
  std::vector<std::string> list;
  std::string current;
  for (const char* p = extensions ? extensions : "";; ++p) {
    if (*p == ' ' || *p == 0) {
      if (!current.empty()) list.push_back(current);
      current.clear();
      if (*p == 0) break;
    } else {
      current += *p;
    }
  }
  return list;
}

bool HasExtension(const std::string& path, const std::vector<std::string>& extensions) {
  if (extensions.empty()) return true;
  size_t dot = path.rfind('.');
  size_t slash = path.rfind('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  std::string ext = path.substr(dot + 1);
  for (const std::string& e : extensions) {
    if (strcasecmp(e.c_str(), ext.c_str()) == 0) return true;
  }
  return false;
}

}  // namespace

IGraphicsLinux::IGraphicsLinux(IPluginBase* pPlug, int w, int h, int refreshFPS)
    : IGraphics(pPlug, w, h, refreshFPS) {}

IGraphicsLinux::~IGraphicsLinux() { CloseWindow(); }

void IGraphicsLinux::GetResourceFolder(UTL_String* folder) const {
  if (mResourceFolder.GetLength()) {
    folder->Set(mResourceFolder.Get());
    return;
  }
  GetEditorResourceFolder(folder);
  if (!folder->GetLength() && !BundleResourcesFolder(mBundleID.Get(), folder)) folder->Set("");
}

// ---- Window ----

void* IGraphicsLinux::OpenWindow(void* pParentWnd) {
  // From inside the window's own event handling the open window stays.
  if (mEventDepth > 0) return GetWindow();
  CloseWindow();
  mWindow = X11EditorWindow::Create(this, (Window)(uintptr_t)pParentWnd);
  if (!mWindow) {
    std::fprintf(stderr, "Orvanta: cannot open the editor window (%s)\n",
                 pParentWnd ? "no such parent window, or no X display" : "no X display");
    return nullptr;
  }
  gOpenEditors.push_back(this);
  UpdateTooltips();
  return GetWindow();
}

int IGraphicsLinux::WindowScale() const { return mWindow ? mWindow->Scale() : 1; }

void IGraphicsLinux::CloseWindow() {
  if (!mWindow) return;
  if (mEventDepth > 0) {
    // A control closed the editor while its event is being handled: the window is
    // destroyed once the handling returns, not under it.
    mClosePending = true;
    return;
  }
  mClosePending = false;
  if (mCursorHidden) ShowMouseCursor();
  mWindow.reset();
  gOpenEditors.erase(std::remove(gOpenEditors.begin(), gOpenEditors.end(), this),
                     gOpenEditors.end());
}

int IGraphicsLinux::ProcessAllEvents() {
  // A window may close (and leave the list) while it is pumped.
  std::vector<IGraphicsLinux*> editors = gOpenEditors;
  for (IGraphicsLinux* editor : editors) {
    if (std::find(gOpenEditors.begin(), gOpenEditors.end(), editor) != gOpenEditors.end()) {
      editor->ProcessEvents();
    }
  }
  return (int)gOpenEditors.size();
}

int IGraphicsLinux::MillisecondsToNextTickOfAll() {
  int soonest = -1;
  for (IGraphicsLinux* editor : gOpenEditors) {
    int ms = editor->MillisecondsToNextTick();
    if (ms >= 0 && (soonest < 0 || ms < soonest)) soonest = ms;
  }
  return soonest;
}

void* IGraphicsLinux::GetWindow() { return mWindow ? (void*)(uintptr_t)mWindow->Id() : nullptr; }

bool IGraphicsLinux::ProcessEvents() {
  if (!mWindow || mEventDepth > 0) return mWindow != nullptr;
  ++mEventDepth;
  bool alive = mWindow->ProcessEvents();
  --mEventDepth;
  if (!alive || mClosePending) CloseWindow();
  return mWindow != nullptr;
}

UTL_Mutex* IGraphicsLinux::DrawingLock() const {
  return GetPlug() ? GetPlug()->GetMutex() : nullptr;
}

bool IGraphicsLinux::DrawDirty() {
  if (mWindow) return mWindow->Tick();
  UTL_MutexLock lock(DrawingLock());
  IRECT dirty;
  if (!IsDirty(&dirty)) return false;
  Draw(&dirty);
  return true;
}

int IGraphicsLinux::MillisecondsToNextTick() const {
  return mWindow ? mWindow->MillisecondsToNextTick() : -1;
}

int IGraphicsLinux::ConnectionFd() const { return mWindow ? mWindow->Fd() : -1; }

void IGraphicsLinux::RunEventLoop(int milliseconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (ProcessEvents()) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    end - std::chrono::steady_clock::now())
                    .count();
    if (left <= 0) break;
    int wait = std::min<long long>(left, MillisecondsToNextTick());
    pollfd p{ConnectionFd(), POLLIN, 0};
    poll(&p, 1, wait);
  }
}

bool IGraphicsLinux::CopiesThroughSharedMemory() const {
  return mWindow && mWindow->CopiesThroughSharedMemory();
}

bool IGraphicsLinux::WaitForScreenCopies() { return mWindow && mWindow->WaitForScreenCopies(); }

bool IGraphicsLinux::DrawScreen(IRECT* pR) {
  if (!mWindow || !pR) return false;
  return mWindow->CopyToScreen(*pR);
}

void IGraphicsLinux::Resize(int w, int h) {
  if (w == Width() && h == Height()) return;
  IGraphics::Resize(w, h);
  if (mWindow) mWindow->Resize(w, h);
}

void IGraphicsLinux::ForceEndUserEdit() {
  if (mWindow) mWindow->EndTextEntry(false);
}

void IGraphicsLinux::CreateTextEntry(IControl* pControl, IText* pText, IRECT* pTextRect,
                                     const char* str, IParam* pParam) {
  if (mWindow && pTextRect) mWindow->OpenTextEntry(pControl, pParam, pText, str, *pTextRect);
}

IPopupMenu* IGraphicsLinux::CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pAreaRect) {
  ReleaseMouseCapture();
  if (!mWindow || !pMenu || !pAreaRect) return nullptr;
  return mWindow->RunMenu(pMenu, *pAreaRect);
}

// ---- Dialogs ----

int IGraphicsLinux::ShowMessageBox(const char* text, const char* caption, int type) {
  std::unique_ptr<X11Connection> own;
  X11Connection* connection = mWindow ? mWindow->Connection() : nullptr;
  if (!connection) {
    own.reset(X11Connection::Open());
    connection = own.get();
  }
  if (!connection) {
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    return 0;
  }
  MessageBoxLabels labels = MessageBoxButtons(type);
  DialogSpec request;
  request.title = caption ? caption : "";
  request.message = text ? text : "";
  // Buttons in the order default, alternate, other; Escape answers like the last.
  request.buttons.push_back(labels.defaultLabel);
  if (labels.alternateLabel) request.buttons.push_back(labels.alternateLabel);
  if (labels.otherLabel) request.buttons.push_back(labels.otherLabel);
  request.defaultButton = 0;
  request.cancelButton = request.buttons.size() > 1 ? (int)request.buttons.size() - 1 : 0;
  X11EditorWindow* window = mWindow.get();
  X11EditorWindow::ModalWait wait(window);
  DialogResult result =
      RunDialog(connection, mWindow ? mWindow->Id() : None, request, nullptr, [window](XEvent& e) {
        if (window) window->HandleForeignEvent(e);
      });
  static const MessageBoxButton kOrder[] = {MessageBoxButton::kDefault,
                                            MessageBoxButton::kAlternate, MessageBoxButton::kOther};
  if (result.button < 0 || result.button > 2) return 0;
  return MessageBoxAnswer(type, kOrder[result.button]);
}

void IGraphicsLinux::PromptForFile(UTL_String* pFilename, EFileAction action, UTL_String* pDir,
                                   char* extensions) {
  if (!pFilename || !pDir) return;
  if (!mWindow) {
    pFilename->Set("");
    return;
  }
  std::string proposed = pFilename->Get();
  if (pDir->GetLength() == 0) DesktopPath(pDir);
  pFilename->Set("");
  std::string folder = pDir->Get();
  if (!folder.empty() && folder.back() != '/') folder += '/';

  std::vector<std::string> types = SplitExtensions(extensions);
  bool save = action == kFileSave;
  DialogSpec request;
  request.title = save ? "Save" : "Open";
  request.message = save ? "Save as:" : "Open the file:";
  if (!types.empty()) request.message += std::string("  (") + (extensions ? extensions : "") + ")";
  request.buttons = {save ? "Save" : "Open", "Cancel"};
  request.defaultButton = 0;
  request.cancelButton = 1;
  request.hasField = true;
  request.fieldText = folder + proposed;

  std::string chosen;
  auto accept = [&](int button, const std::string& field, std::string* note) {
    if (button != 0) return true;
    std::string path = field;
    if (path.empty() || path.back() == '/') {
      *note = "Please give a file name.";
      return false;
    }
    if (save) {
      if (!HasExtension(path, types)) path += "." + types.front();
      size_t slash = path.rfind('/');
      if (slash == std::string::npos || !IsDirectory(path.substr(0, slash + 1))) {
        *note = "That folder does not exist.";
        return false;
      }
    } else if (!IsRegularFile(path)) {
      *note = "There is no such file.";
      return false;
    } else if (!HasExtension(path, types)) {
      *note = "That is not a file of the listed types.";
      return false;
    }
    chosen = path;
    return true;
  };
  X11EditorWindow* window = mWindow.get();
  X11EditorWindow::ModalWait wait(window);
  DialogResult result = RunDialog(window->Connection(), window->Id(), request, accept,
                                  [window](XEvent& e) { window->HandleForeignEvent(e); });
  if (result.button != 0 || chosen.empty()) return;
  pFilename->Set(chosen.c_str());
  pDir->Set(chosen.substr(0, chosen.rfind('/') + 1).c_str());
}

bool IGraphicsLinux::PromptForColor(IColor*, char*) { return false; }

bool IGraphicsLinux::OpenURL(const char* url, const char*, const char*, const char*) {
  char cwd[PATH_MAX];
  UTL_String address;
  if (!OpenableAddress(url, getcwd(cwd, sizeof cwd) ? cwd : nullptr, &address)) return false;
  if (gURLOpener) return gURLOpener(address.Get(), gURLOpenerContext);
  return LaunchDesktopOpener(address.Get());
}

void IGraphicsLinux::SetURLOpener(URLOpener opener, void* context) {
  gURLOpener = opener;
  gURLOpenerContext = context;
}

bool IGraphicsLinux::GetTextFromClipboard(UTL_String* pStr) {
  if (!pStr) return false;
  if (mWindow) return ReadClipboardText(mWindow->Connection(), mWindow->Id(), pStr);
  // Without an editor window a hidden one receives the text.
  std::unique_ptr<X11Connection> connection(X11Connection::Open());
  if (!connection) {
    pStr->Set("");
    return false;
  }
  Display* d = connection->Get();
  XSetWindowAttributes a{};
  Window requestor =
      XCreateWindow(d, connection->Root(), 0, 0, 1, 1, 0, 0, InputOnly, CopyFromParent, 0, &a);
  bool ok = ReadClipboardText(connection.get(), requestor, pStr);
  if (!connection->IsLost()) XDestroyWindow(d, requestor);
  return ok;
}

// ---- Cursor ----

void IGraphicsLinux::HideMouseCursor() {
  if (mCursorHidden || !mWindow) return;
  int x, y;
  if (!mWindow->PointerOnScreen(&x, &y)) return;
  mWindow->HideCursor();
  mCursorHidden = true;
  mHiddenCursorX = x;
  mHiddenCursorY = y;
}

void IGraphicsLinux::ShowMouseCursor() {
  if (!mCursorHidden) return;
  if (mWindow) mWindow->ShowCursorAt(mHiddenCursorX, mHiddenCursorY);
  mCursorHidden = false;
}

void IGraphicsLinux::UpdateTooltips() {
  if (!mWindow) return;
  std::vector<IRECT> areas;
  if (TooltipsEnabled()) {
    for (int i = 0; i < GetNControls(); ++i) {
      IControl* control = GetControl(i);
      if (!control->IsHidden() && !control->GetTargetRECT()->Empty()) {
        areas.push_back(*control->GetTargetRECT());
      }
    }
  }
  mWindow->SetTooltipAreas(std::move(areas));
}

// ---- Paths ----

void IGraphicsLinux::HostPath(UTL_String* pPath) {
  if (pPath) BundleExecutablePath(mBundleID.Get(), pPath);
}

void IGraphicsLinux::PluginPath(UTL_String* pPath) {
  if (pPath) BundleParentFolder(mBundleID.Get(), pPath);
}

void IGraphicsLinux::DesktopPath(UTL_String* pPath) {
  if (!pPath) return;
  UTL_String file;
  std::string text;
  if (UserDirsFile(Env, &file)) {
    if (FILE* f = std::fopen(file.Get(), "r")) {
      char buf[4096];
      size_t n;
      while ((n = std::fread(buf, 1, sizeof buf, f)) > 0 && text.size() < 65536)
        text.append(buf, n);
      std::fclose(f);
    }
  }
  if (!DesktopFolder(Env, text.c_str(), pPath)) pPath->Set("");
}

void IGraphicsLinux::AppSupportPath(UTL_String* pPath, bool isSystem) {
  if (pPath && !AppDataFolder(Env, isSystem, pPath)) pPath->Set("");
}

void IGraphicsLinux::SandboxSafeAppSupportPath(UTL_String* pPath) {
  if (pPath && !MusicFolder(Env, pPath)) pPath->Set("");
}

// ---- Images ----

RAS_IBitmap* IGraphicsLinux::OSLoadBitmap(int, const char* name) {
  UTL_String folder, path;
  GetResourceFolder(&folder);
  RAS_IBitmap* bitmap = nullptr;
  // Only the header is read now; the pixels are decoded when the editor first draws them.
  if (ResourcePath(folder.Get(), name, &path)) bitmap = RAS_DeferredPNG::Open(path.Get());
  if (!bitmap) {
    // The editor still opens; it says which picture is missing or unreadable.
    mLastImageFailure.Set(name ? name : "(no name)");
    std::fprintf(stderr, "Orvanta: cannot load the image %s (%s)\n", mLastImageFailure.Get(),
                 path.GetLength() ? path.Get() : "not a PNG resource name, or no resource folder");
  }
  return bitmap;
}
