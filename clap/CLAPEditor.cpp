#include "clap/CLAPEditor.h"

#include <cstring>

#include "clap/IPluginCLAP.h"
#include "platform/x11/IGraphicsLinux.h"

namespace {

template <class T>
const T* HostExtension(const clap::clap_host_t* host, const char* id) {
  return host && host->get_extension ? static_cast<const T*>(host->get_extension(host, id))
                                     : nullptr;
}

}  // namespace

CLAPEditor::CLAPEditor(IPluginCLAP* pPlug) : mPlug(pPlug) {}

CLAPEditor::~CLAPEditor() { Destroy(); }

bool CLAPEditor::IsAPISupported(const char* api, bool isFloating) {
  return api && !std::strcmp(api, clap::kWindowAPIX11) && !isFloating;
}

bool CLAPEditor::Create(const char* api, bool isFloating) {
  if (mCreated || !IsAPISupported(api, isFloating)) return false;
  mGraphics = dynamic_cast<IGraphicsLinux*>(mPlug->MakeEditorOnce());
  const clap::clap_host_t* host = mPlug->Host();
  auto* timers = HostExtension<clap::clap_host_timer_support_t>(host, clap::kExtTimerSupport);
  // Without the host's timer nothing would redraw the editor on the host's thread.
  if (!mGraphics || !timers || !timers->register_timer || !timers->unregister_timer) return false;
  mTimers = timers;
  auto* fds = HostExtension<clap::clap_host_posix_fd_support_t>(host, clap::kExtPosixFDSupport);
  if (fds && fds->register_fd && fds->unregister_fd) mFDs = fds;
  mHostGUI = HostExtension<clap::clap_host_gui_t>(host, clap::kExtGUI);
  mCreated = true;
  return true;
}

void CLAPEditor::Destroy() {
  CloseWindow();
  mCreated = false;
  mParent = 0;
}

bool CLAPEditor::SetScale(double scale) {
  // Whole factors only; the window takes the scale when it opens.
  if (!mCreated || !(scale == 1.0 || scale == 2.0)) return false;
  mGraphics->SetHostScaleFactor(scale);
  return true;
}

bool CLAPEditor::GetSize(uint32_t* pWidth, uint32_t* pHeight) const {
  if (!mCreated || !pWidth || !pHeight) return false;
  // Before a window decides, the host's scale (or 1) is the answer; an open window that
  // chose otherwise asks the host to follow.
  const int scale = mGraphics->GetWindow()                ? mGraphics->WindowScale()
                    : mGraphics->HostScaleFactor() >= 1.5 ? 2
                                                          : 1;
  *pWidth = (uint32_t)(mGraphics->Width() * scale);
  *pHeight = (uint32_t)(mGraphics->Height() * scale);
  return true;
}

bool CLAPEditor::SetParent(const clap::clap_window_t* pWindow) {
  if (!mCreated || !pWindow || !pWindow->api || std::strcmp(pWindow->api, clap::kWindowAPIX11) ||
      !pWindow->x11)
    return false;
  CloseWindow();
  mParent = pWindow->x11;
  return OpenWindow();
}

bool CLAPEditor::Show() {
  if (!mCreated || !mParent) return false;
  return mGraphics->GetWindow() || OpenWindow();
}

bool CLAPEditor::Hide() {
  if (!mCreated) return false;
  CloseWindow();
  return true;
}

bool CLAPEditor::OpenWindow() {
  uint32_t expectedW = 0, expectedH = 0;
  GetSize(&expectedW, &expectedH);
  if (!mGraphics->OpenWindow(reinterpret_cast<void*>(mParent))) return false;
  const clap::clap_host_t* host = mPlug->Host();
  if (!mTimers->register_timer(host, kTimerPeriodMs, &mTimerID)) {
    mTimerID = clap::kInvalidID;
    mGraphics->CloseWindow();
    return false;
  }
  const int fd = mGraphics->ConnectionFd();
  if (mFDs && fd >= 0 && mFDs->register_fd(host, fd, clap::kPosixFDRead)) mFD = fd;
  uint32_t w = 0, h = 0;
  GetSize(&w, &h);
  if ((w != expectedW || h != expectedH) && mHostGUI && mHostGUI->request_resize)
    mHostGUI->request_resize(host, w, h);
  return true;
}

void CLAPEditor::CloseWindow() {
  const clap::clap_host_t* host = mPlug->Host();
  if (mTimerID != clap::kInvalidID) mTimers->unregister_timer(host, mTimerID);
  mTimerID = clap::kInvalidID;
  if (mFD >= 0) mFDs->unregister_fd(host, mFD);
  mFD = -1;
  if (mGraphics) mGraphics->CloseWindow();
}

void CLAPEditor::Pump() {
  // A window the host destroyed under us closes; the host's calls find it closed.
  if (mGraphics && mGraphics->GetWindow() && !mGraphics->ProcessEvents()) CloseWindow();
}

void CLAPEditor::OnTimer(clap::clap_id timerID) {
  if (timerID == mTimerID && mTimerID != clap::kInvalidID) Pump();
}

void CLAPEditor::OnFD(int fd, uint32_t /*flags*/) {
  if (fd == mFD && mFD >= 0) Pump();
}
