#pragma once
// A top-level window standing for the host's, in which UIs are embedded. Xlib stays in its
// source file: its macros collide with names in the test headers.

class LV2HostWindow {
 public:
  LV2HostWindow(int w, int h);
  ~LV2HostWindow();
  LV2HostWindow(const LV2HostWindow&) = delete;
  LV2HostWindow& operator=(const LV2HostWindow&) = delete;

  // 0 when no display could be opened.
  unsigned long Id() const { return mWindow; }
  // The window a window is a child of; 0 when it cannot be told.
  unsigned long ParentOf(unsigned long window) const;

 private:
  void* mDisplay = nullptr;
  unsigned long mWindow = 0;
};
