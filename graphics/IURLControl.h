#pragma once
// A clickable area that opens a web address (or a backup address when the first fails).
// Draws nothing: whatever marks the link belongs to the images under it.

#include "graphics/IControl.h"

class IURLControl : public IControl {
 public:
  static constexpr int kMaxURLLength = 512;  // terminator included; longer texts are cut

  IURLControl(IPluginBase* pPlug, IRECT pR, const char* url, const char* backupURL = nullptr,
              const char* errMsg = nullptr);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics*) override { return true; }

  const char* GetURL() const { return mURL; }
  const char* GetBackupURL() const { return mBackupURL; }
  const char* GetErrMsg() const { return mErrMsg; }

 protected:
  char mURL[kMaxURLLength] = {};
  char mBackupURL[kMaxURLLength] = {};
  char mErrMsg[kMaxURLLength] = {};
};
