#include "graphics/IFileSelectorControl.h"

#include "graphics/ControlImage.h"

using namespace control_image;

IFileSelectorControl::IFileSelectorControl(IPluginBase* pPlug, IRECT pR, int paramIdx,
                                           IBitmap* pBitmap, EFileAction action, const char* dir,
                                           const char* extensions)
    : IControl(pPlug, pR, paramIdx),
      mBitmap(OrEmpty(pBitmap)),
      mDir(dir),
      mExtensions(extensions),
      mFileAction(action) {}

void IFileSelectorControl::OnMouseDown(int, int, IMouseMod*) {
  IGraphics* pGraphics = GetGUI();
  if (!mPlug || !pGraphics) return;
  mState = kFSSelecting;
  SetDirty(false);
  pGraphics->PromptForFile(&mFile, mFileAction, &mDir, mExtensions.GetMutable());
  mValue += 1.0;
  if (mValue > 1.0) mValue = 0.0;
  mState = kFSDone;
  SetDirty(true);
}

bool IFileSelectorControl::Draw(IGraphics* pGraphics) {
  if (mState == kFSSelecting && HasPixels(mBitmap))
    pGraphics->DrawBitmap(&mBitmap, &mRECT, 0, 0, nullptr);
  return true;
}

bool IFileSelectorControl::IsDirty() {
  if (mDirty) return true;
  if (mState == kFSDone) {
    mState = kFSNone;
    return true;
  }
  return false;
}
