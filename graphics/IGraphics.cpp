#include "graphics/IGraphics.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "framework/IParam.h"
#include "framework/IPluginBase.h"
#include "graphics/IBitmapControl.h"
#include "graphics/IControl.h"
#include "graphics/IPanelControl.h"
#include "graphics/IPopupMenu.h"

IGraphics::IGraphics(IPluginBase* pPlug, int w, int h, int refreshFPS)
    : mPlug(pPlug), mWidth(w), mHeight(h), mFPS(refreshFPS > 0 ? refreshFPS : 25) {}

IGraphics::~IGraphics() {
  delete mKeyCatcher;
  mKeyCatcher = nullptr;
  DeleteControls();
  DeleteBitmaps();
}

void IGraphics::DeleteControls() { mControls.Empty(true); }

void* IGraphics::OpenWindow(void*, void*, short, short) { return nullptr; }
void IGraphics::AttachSubWindow(void*) {}
void IGraphics::RemoveSubWindow() {}

bool IGraphics::MeasureIText(IText* pTxt, char* str, IRECT* pR) {
  return DrawIText(pTxt, str, pR, true);
}

// ---- Building the editor ----

void IGraphics::AttachBackground(int ID, const char* name) {
  IBitmap bg = LoadIBitmap(ID, name, 1);
  mControls.Insert(
      0, new IBitmapControl(mPlug, 0, 0, -1, &bg, IChannelBlend(IChannelBlend::BlendClobber)));
}

void IGraphics::AttachPanelBackground(const IColor* pColor) {
  mControls.Insert(0, new IPanelControl(mPlug, IRECT(0, 0, mWidth, mHeight), pColor));
}

int IGraphics::AttachControl(IControl* pControl) {
  // A null entry would be dereferenced by every later pass over the controls.
  if (!pControl) return -1;
  if (!mControls.Add(pControl)) {
    // The engine owns what it is given, even when the list cannot grow.
    delete pControl;
    return -1;
  }
  return mControls.GetSize() - 1;
}

void IGraphics::AttachKeyCatcher(IControl* pControl) {
  // The engine owns its catcher, so the one being replaced would otherwise be lost.
  if (pControl == mKeyCatcher) return;
  delete mKeyCatcher;
  mKeyCatcher = pControl;
}

// ---- Parameter synchronisation ----

void IGraphics::SetParameterFromGUI(int paramIdx, double normalizedValue) {
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* pControl = mControls.Get(i);
    if (pControl->ParamIdx() == paramIdx) pControl->SetValueFromUserInput(normalizedValue);
  }
}

void IGraphics::ClampControl(int paramIdx, double lo, double hi, bool normalized) {
  if (!normalized) {
    IParam* pParam = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!pParam) return;
    lo = pParam->GetNormalized(lo);
    hi = pParam->GetNormalized(hi);
  }
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* pControl = mControls.Get(i);
    if (pControl->ParamIdx() == paramIdx) pControl->Clamp(lo, hi);
  }
}

void IGraphics::HideControl(int paramIdx, bool hide) {
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* pControl = mControls.Get(i);
    if (pControl->ParamIdx() == paramIdx) pControl->Hide(hide);
  }
}

void IGraphics::GrayOutControl(int paramIdx, bool gray) {
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* pControl = mControls.Get(i);
    if (pControl->ParamIdx() == paramIdx) pControl->GrayOut(gray);
  }
}

void IGraphics::SetAllControlsDirty() {
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->SetDirty(false);
}

void IGraphics::SetStrictDrawing(bool strict) {
  mStrict = strict;
  SetAllControlsDirty();
}

void IGraphics::AssignParamNameToolTips() {
  if (!mPlug) return;
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* pControl = mControls.Get(i);
    int paramIdx = pControl->ParamIdx();
    if (paramIdx < 0) continue;
    if (IParam* pParam = mPlug->GetParam(paramIdx)) pControl->SetTooltip(pParam->GetNameForHost());
  }
}

// ---- Value prompts ----

void IGraphics::PromptUserInput(IControl* pControl, IParam* pParam, IRECT* pTextRect) {
  if (!pControl || !pParam || !pTextRect) return;
  int nTexts = pParam->GetNDisplayTexts();
  IParam::EParamType type = pParam->Type();
  char current[IParam::kDisplayTextSize];

  if (type == IParam::kTypeEnum || (type == IParam::kTypeBool && nTexts > 0)) {
    pParam->GetDisplayForHost(pParam->Value(), false, current, true);
    IPopupMenu menu;
    for (int i = 0; i < nTexts; ++i) {
      const char* text = pParam->GetDisplayTextAtIdx(i);
      int flags = std::strcmp(text, current) == 0 ? IPopupMenuItem::kChecked : 0;
      menu.AddItem(new IPopupMenuItem(text, flags), -1);
    }
    IPopupMenu* pChosen = CreateIPopupMenu(&menu, pTextRect);
    // A menu handed back without a chosen item is a cancel as well.
    if (pChosen && pChosen->GetChosenItemIdx() >= 0)
      pControl->SetValueFromUserInput(pParam->GetNormalized((double)pChosen->GetChosenItemIdx()));
    return;
  }

  pParam->GetDisplayForHost(pParam->Value(), false, current, false);
  CreateTextEntry(pControl, pControl->GetText(), pTextRect, current, pParam);
}

void IGraphics::SetFromStringAfterPrompt(IControl* pControl, IParam* pParam, char* txt) {
  if (!pParam || !pControl) return;
  double value = 0.0;
  IParam::EParamType type = pParam->Type();
  if (type == IParam::kTypeBool || type == IParam::kTypeEnum) {
    int mapped = 0;
    pParam->MapDisplayText(txt ? txt : "", &mapped);
    value = (double)mapped;
  } else {
    value = txt ? std::strtod(txt, nullptr) : 0.0;
    // "nan" or "inf" typed into the entry must not reach the parameter.
    if (!std::isfinite(value)) value = 0.0;
    if (pParam->GetNegateDisplay()) value = -value;
  }
  pControl->SetValueFromUserInput(pParam->GetNormalized(value));
}

// ---- Drawing pass ----

void IGraphics::Resize(int w, int h) {
  mWidth = w;
  mHeight = h;
  ReleaseMouseCapture();
  DeleteControls();
  DeleteBitmaps();
  PrepDraw();
  if (mPlug) mPlug->ResizeGraphics(w, h);
}

bool IGraphics::IsDirty(IRECT* pR) {
  // Every frame asks: changes the audio thread applied reach the controls here.
  if (mPlug) mPlug->ShowProcessingChanges();
  bool dirty = false;
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* pControl = mControls.Get(i);
    if (pControl->IsDirty()) {
      // With no rectangle to collect into, the answer alone is still worth giving.
      if (pR) *pR = pR->Union(*pControl->GetRECT());
      dirty = true;
    }
  }
  return dirty;
}

bool IGraphics::Draw(IRECT* pR) {
  int n = mControls.GetSize();
  // No controls or no region: nothing to draw or copy; the controls keep their dirty state.
  if (n == 0 || !pR) return true;

  if (mStrict) {
    mDrawRECT = *pR;
    for (int i = 0; i < n; ++i) {
      IControl* pControl = mControls.Get(i);
      if (!pControl->IsHidden() && pR->Intersects(*pControl->GetRECT())) pControl->Draw(this);
      pControl->SetClean();
    }
  } else if (mControls.Get(0)->IsDirty()) {
    // The background repaints everything over it.
    mDrawRECT = *mControls.Get(0)->GetRECT();
    for (int j = 0; j < n; ++j) {
      IControl* pControl = mControls.Get(j);
      if (j == 0 || !pControl->IsHidden()) {
        pControl->Draw(this);
        pControl->SetClean();
      }
    }
  } else {
    for (int i = 1; i < n; ++i) {
      IControl* pDirty = mControls.Get(i);
      if (!pDirty->IsDirty()) continue;
      mDrawRECT = *pDirty->GetRECT();
      for (int j = 0; j < n; ++j) {
        IControl* pControl = mControls.Get(j);
        if (pControl->IsHidden()) continue;
        if (j == i || pControl->GetRECT()->Intersects(mDrawRECT)) pControl->Draw(this);
      }
      pDirty->SetClean();
    }
  }
  return DrawScreen(pR);
}

// ---- Events ----

void IGraphics::ReleaseMouseCapture() {
  mMouseCapture = -1;
  mMouseX = mMouseY = -1;
}

int IGraphics::GetMouseControlIdx(int x, int y, bool mouseOver) {
  if (mMouseCapture >= 0) return mMouseCapture;
  for (int c = mControls.GetSize() - 1; c >= 0; --c) {
    IControl* pControl = mControls.Get(c);
    if (pControl->IsHidden()) continue;
    if (pControl->IsGrayed() && !(mouseOver && pControl->GetMouseOverWhenGrayed())) continue;
    if (pControl->IsHit(x, y)) return c;
  }
  return -1;
}

void IGraphics::OnMouseDown(int x, int y, IMouseMod* pMod) {
  ReleaseMouseCapture();
  int c = GetMouseControlIdx(x, y, false);
  if (c < 0) return;
  mMouseCapture = c;
  mMouseX = x;
  mMouseY = y;
  IControl* pControl = mControls.Get(c);
  int paramIdx = pControl->ParamIdx();
  if (paramIdx >= 0 && mPlug) mPlug->BeginInformHostOfParamChange(paramIdx);
  pControl->OnMouseDown(x, y, pMod);
}

void IGraphics::OnMouseUp(int x, int y, IMouseMod* pMod) {
  int c = GetMouseControlIdx(x, y, false);
  ReleaseMouseCapture();
  if (c < 0) return;
  if (IControl* pControl = mControls.Get(c)) pControl->OnMouseUp(x, y, pMod);
  // The handler may have rebuilt the list: look the control up again.
  IControl* pControl = mControls.Get(c);
  if (pControl && pControl->ParamIdx() >= 0 && mPlug)
    mPlug->EndInformHostOfParamChange(pControl->ParamIdx());
}

void IGraphics::OnMouseDrag(int x, int y, IMouseMod* pMod) {
  IControl* pControl = mControls.Get(mMouseCapture);
  if (!pControl) return;
  int dX = x - mMouseX, dY = y - mMouseY;
  if (dX == 0 && dY == 0) return;
  mMouseX = x;
  mMouseY = y;
  pControl->OnMouseDrag(x, y, dX, dY, pMod);
}

bool IGraphics::OnMouseDblClick(int x, int y, IMouseMod* pMod) {
  ReleaseMouseCapture();
  int c = GetMouseControlIdx(x, y, false);
  if (c < 0) return false;
  IControl* pControl = mControls.Get(c);
  if (pControl->GetDoubleClickAsSingle()) {
    mMouseCapture = c;
    mMouseX = x;
    mMouseY = y;
    pControl->OnMouseDown(x, y, pMod);
    return true;
  }
  pControl->OnMouseDblClick(x, y, pMod);
  return false;
}

void IGraphics::OnMouseWheel(int x, int y, IMouseMod* pMod, int d) {
  int c = GetMouseControlIdx(x, y, false);
  if (c >= 0) mControls.Get(c)->OnMouseWheel(x, y, pMod, d);
}

bool IGraphics::OnKeyDown(int x, int y, int key) {
  int c = GetMouseControlIdx(x, y, false);
  if (c > 0) return mControls.Get(c)->OnKeyDown(x, y, key);
  return mKeyCatcher ? mKeyCatcher->OnKeyDown(x, y, key) : false;
}

bool IGraphics::OnMouseOver(int x, int y, IMouseMod* pMod) {
  if (!mHandleMouseOver) return false;
  int c = GetMouseControlIdx(x, y, true);
  if (c >= 0) {
    mMouseX = x;
    mMouseY = y;
    mControls.Get(c)->OnMouseOver(x, y, pMod);
    if (mMouseOver >= 0 && mMouseOver != c) {
      if (IControl* pPrevious = mControls.Get(mMouseOver)) pPrevious->OnMouseOut();
    }
    mMouseOver = c;
  }
  return true;
}

void IGraphics::OnMouseOut() {
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->OnMouseOut();
  mMouseOver = -1;
}

void IGraphics::OnGUIIdle() {
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->OnGUIIdle();
}

// ---- Automation queries ----

int IGraphics::GetParamIdxForPTAutomation(int x, int y) {
  int c = GetMouseControlIdx(x, y, false);
  mLastClickedParam = c > 0 ? mControls.Get(c)->ParamIdx() : -1;
  return mLastClickedParam;
}

int IGraphics::GetLastClickedParamForPTAutomation() {
  int idx = mLastClickedParam;
  mLastClickedParam = -1;
  return idx;
}
