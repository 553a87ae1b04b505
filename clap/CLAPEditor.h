#pragma once
// The plug-in's editor in a CLAP host: an X11 window inside the host's, at the editor's
// fixed size (or twice it on a high-density screen), driven on the host's main thread by
// the host's timer and, where offered, by its watch on the X connection. A host without
// timers gets a clean refusal: nothing here starts a thread of its own.

#include <cstdint>

#include "clap/CLAPInterface.h"

class IGraphicsLinux;
class IPluginCLAP;

class CLAPEditor {
 public:
  // How often the editor's redraw and the host's changes are looked at, in milliseconds.
  static constexpr uint32_t kTimerPeriodMs = 16;

  // resourceFolder: where the editor's images are (may be empty).
  explicit CLAPEditor(IPluginCLAP* pPlug);
  ~CLAPEditor();
  CLAPEditor(const CLAPEditor&) = delete;
  CLAPEditor& operator=(const CLAPEditor&) = delete;

  // All [host] (the host's main thread), as the calls of clap.gui are.
  static bool IsAPISupported(const char* api, bool isFloating);
  bool Create(const char* api, bool isFloating);
  void Destroy();
  bool SetScale(double scale);
  bool GetSize(uint32_t* pWidth, uint32_t* pHeight) const;
  bool SetParent(const clap::clap_window_t* pWindow);
  bool Show();
  bool Hide();
  void OnTimer(clap::clap_id timerID);
  void OnFD(int fd, uint32_t flags);

 private:
  bool OpenWindow();
  void CloseWindow();
  void Pump();

  IPluginCLAP* mPlug;
  IGraphicsLinux* mGraphics = nullptr;  // owned by the plug-in
  const clap::clap_host_timer_support_t* mTimers = nullptr;
  const clap::clap_host_posix_fd_support_t* mFDs = nullptr;
  const clap::clap_host_gui_t* mHostGUI = nullptr;
  bool mCreated = false;
  unsigned long mParent = 0;
  // Ids start at 0 in some hosts, so "none" is the invalid id.
  clap::clap_id mTimerID = clap::kInvalidID;
  int mFD = -1;
};
