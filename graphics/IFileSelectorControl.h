#pragma once
// A button that asks the platform for a file; the image shows while the prompt is open.

#include "framework/UTL_String.h"
#include "graphics/IControl.h"
#include "graphics/IGraphics.h"

class IFileSelectorControl : public IControl {
 public:
  enum EFileSelectorState { kFSNone = 0, kFSSelecting = 1, kFSDone = 2 };

  IFileSelectorControl(IPluginBase* pPlug, IRECT pR, int paramIdx, IBitmap* pBitmap,
                       EFileAction action, const char* dir = "", const char* extensions = "");

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics* pGraphics) override;
  // Dirty as usual, and once more right after a prompt finished.
  bool IsDirty() override;

  void GetLastSelectedFileForPlug(UTL_String* pStr) const { pStr->Set(mFile.Get()); }
  void SetLastSelectedFileFromPlug(const char* file) { mFile.Set(file); }
  int GetState() const { return mState; }

 protected:
  IBitmap mBitmap;
  UTL_String mDir, mFile, mExtensions;
  EFileAction mFileAction;
  int mState = kFSNone;
};
