#include "tests/support/HeadlessGraphics.h"

#include "graphics/IPopupMenu.h"
#include "raster/Raster.h"

HeadlessGraphics::HeadlessGraphics(IPluginBase* pPlug, int w, int h, const char* imageFolder,
                                   int refreshFPS)
    : IGraphics(pPlug, w, h, refreshFPS), mImageFolder(imageFolder ? imageFolder : "") {}

bool HeadlessGraphics::DrawScreen(IRECT* pR) {
  mScreenCopies.push_back(*pR);
  return true;
}

IPopupMenu* HeadlessGraphics::CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pAreaRect) {
  ReleaseMouseCapture();
  MenuRequest request;
  request.rect = *pAreaRect;
  for (int i = 0; i < pMenu->GetNItems(); ++i) {
    request.items.push_back(pMenu->GetItemText(i));
    request.flags.push_back(pMenu->GetItem(i)->GetFlags());
  }
  mMenus.push_back(request);
  if (mMenuAnswers.empty()) return nullptr;
  int answer = mMenuAnswers.front();
  mMenuAnswers.erase(mMenuAnswers.begin());
  if (answer == kMenuNoChoice) return pMenu;
  if (answer < 0) return nullptr;
  pMenu->SetChosenItemIdx(answer);
  return pMenu;
}

void HeadlessGraphics::CreateTextEntry(IControl* pControl, IText*, IRECT* pTextRect,
                                       const char* str, IParam* pParam) {
  mTextEntries.push_back(TextEntryRequest{pControl, str ? str : "", *pTextRect, pParam});
}

void HeadlessGraphics::PromptForFile(UTL_String* pFilename, EFileAction, UTL_String*, char*) {
  mFilePrompts.push_back(pFilename->Get());
  pFilename->Set(mFileAnswer.c_str());
}

bool HeadlessGraphics::OpenURL(const char* url, const char* errMsg, const char*, const char*) {
  mURLs.push_back(URLRequest{url ? url : "", errMsg ? errMsg : ""});
  size_t i = mURLs.size() - 1;
  return i < mURLAnswers.size() && mURLAnswers[i];
}

RAS_IBitmap* HeadlessGraphics::OSLoadBitmap(int, const char* name) {
  mLoads.push_back(name ? name : "");
  std::string path = mImageFolder.empty() ? std::string(name) : mImageFolder + "/" + name;
  return RAS_LoadPNG(path.c_str(), nullptr);
}

HeadlessPlug::HeadlessPlug(int nParams)
    : IPluginBase(nParams, "2-2", 0, "Headless", "Headless", "Orvanta", 0x10000, 0x48646c73,
                  0x517a766b, 0, false, true, false, kAPIAU) {}
