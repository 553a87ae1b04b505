#include "graphics/IURLControl.h"

#include <cstring>

#include "graphics/IGraphics.h"

namespace {
// Copies at most kMaxURLLength - 1 bytes and always terminates.
void CopyBounded(char* dest, const char* src) {
  if (!src || !src[0]) return;
  std::strncpy(dest, src, IURLControl::kMaxURLLength - 1);
  dest[IURLControl::kMaxURLLength - 1] = '\0';
}
}  // namespace

IURLControl::IURLControl(IPluginBase* pPlug, IRECT pR, const char* url, const char* backupURL,
                         const char* errMsg)
    : IControl(pPlug, pR) {
  CopyBounded(mURL, url);
  CopyBounded(mBackupURL, backupURL);
  CopyBounded(mErrMsg, errMsg);
}

void IURLControl::OnMouseDown(int, int, IMouseMod*) {
  IGraphics* pGraphics = GetGUI();
  if (!pGraphics) return;
  bool opened = mURL[0] && pGraphics->OpenURL(mURL, mErrMsg, nullptr, nullptr);
  if (!opened && mBackupURL[0]) pGraphics->OpenURL(mBackupURL, mErrMsg, nullptr, nullptr);
}
