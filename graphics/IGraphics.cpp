#include "graphics/IGraphics.h"

#include "graphics/IControl.h"

IGraphics::IGraphics(IPluginBase* pPlug, int w, int h, int refreshFPS)
    : mPlug(pPlug), mWidth(w), mHeight(h), mFPS(refreshFPS > 0 ? refreshFPS : 25) {}

IGraphics::~IGraphics() {
  delete mKeyCatcher;
  mKeyCatcher = nullptr;
  DeleteControls();
  DeleteBitmaps();
}

void IGraphics::DeleteControls() { mControls.Empty(true); }

void IGraphics::DeleteBitmaps() {}

void* IGraphics::OpenWindow(void*, void*, short, short) { return nullptr; }
void IGraphics::AttachSubWindow(void*) {}
void IGraphics::RemoveSubWindow() {}

bool IGraphics::MeasureIText(IText* pTxt, char* str, IRECT* pR) {
  return DrawIText(pTxt, str, pR, true);
}

bool IGraphics::DrawIText(IText*, char*, IRECT*, bool) { return false; }

void IGraphics::Resize(int w, int h) {
  mWidth = w;
  mHeight = h;
}

int IGraphics::AttachControl(IControl* pControl) {
  mControls.Add(pControl);
  return mControls.GetSize() - 1;
}

void IGraphics::AttachKeyCatcher(IControl* pControl) { mKeyCatcher = pControl; }

void IGraphics::SetParameterFromPlug(int, double, bool) {}
void IGraphics::PrepDraw() {}
