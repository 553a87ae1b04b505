#include "tools/graphics-sheet/HeadlessGraphics.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

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

bool WritePng(RAS_IBitmap* bitmap, const char* path) {
  int w = bitmap->getWidth(), h = bitmap->getHeight();
  RAS_pixel* bits = bitmap->getBits();
  if (!bits || w <= 0 || h <= 0) return false;
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  std::vector<png_byte> row((size_t)w * 4);
  volatile bool ok = false;
  if (info && !setjmp(png_jmpbuf(png))) {
    png_init_io(png, file);
    png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y) {
      const RAS_pixel* src = bits + (size_t)y * (size_t)bitmap->getRowSpan();
      for (int x = 0; x < w; ++x) {
        row[4 * x + 0] = (png_byte)RAS_GETR(src[x]);
        row[4 * x + 1] = (png_byte)RAS_GETG(src[x]);
        row[4 * x + 2] = (png_byte)RAS_GETB(src[x]);
        row[4 * x + 3] = (png_byte)RAS_GETA(src[x]);
      }
      png_write_row(png, row.data());
    }
    png_write_end(png, info);
    ok = true;
  }
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0 && ok;
}
