#pragma once
// An editor engine without a window, for the sheet tools and the tests: it draws into its
// off-screen bitmap as usual, loads images from PNG files in one folder, and records what the
// platform would have been asked (screen copies, menus, text entries, addresses, file prompts)
// instead of showing anything. Menus, addresses and file prompts answer from scripted values.

#include <string>
#include <vector>

#include "framework/Framework.h"
#include "framework/IPluginBase.h"
#include "graphics/Graphics.h"
#include "tools/png/PngWriter.h"  // how the sheets and tests save what was drawn

class HeadlessGraphics : public IGraphics {
 public:
  struct MenuRequest {
    std::vector<std::string> items;
    std::vector<int> flags;
    IRECT rect;
  };
  struct TextEntryRequest {
    IControl* control;
    std::string text;
    IRECT rect;
    IParam* param;
  };
  static constexpr int kMenuNoChoice = -2;

  struct URLRequest {
    std::string url, errMsg;
  };

  HeadlessGraphics(IPluginBase* pPlug, int w, int h, const char* imageFolder = "",
                   int refreshFPS = 0);

  // What the platform was asked.
  std::vector<IRECT> mScreenCopies;
  std::vector<MenuRequest> mMenus;
  std::vector<TextEntryRequest> mTextEntries;
  std::vector<URLRequest> mURLs;
  std::vector<std::string> mFilePrompts;  // the file name each prompt started from
  std::vector<std::string> mLoads;        // file names handed to OSLoadBitmap

  // Scripted answers: the item the next menus choose (-1 cancels, kMenuNoChoice hands the menu
  // back without a choice), whether each address
  // opens (missing answers: false), and the file the next prompts choose.
  std::vector<int> mMenuAnswers;
  std::vector<bool> mURLAnswers;
  std::string mFileAnswer;

  bool DrawScreen(IRECT* pR) override;
  void ForceEndUserEdit() override {}
  int ShowMessageBox(const char*, const char*, int) override { return 0; }
  IPopupMenu* CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pAreaRect) override;
  void CreateTextEntry(IControl* pControl, IText* pText, IRECT* pTextRect, const char* str,
                       IParam* pParam) override;
  void HostPath(UTL_String* pPath) override { pPath->Set(""); }
  void PluginPath(UTL_String* pPath) override { pPath->Set(mImageFolder.c_str()); }
  void DesktopPath(UTL_String* pPath) override { pPath->Set(""); }
  void AppSupportPath(UTL_String* pPath, bool) override { pPath->Set(""); }
  void SandboxSafeAppSupportPath(UTL_String* pPath) override { pPath->Set(""); }
  void PromptForFile(UTL_String* pFilename, EFileAction action, UTL_String* pDir,
                     char* extensions) override;
  bool PromptForColor(IColor*, char*) override { return false; }
  bool OpenURL(const char* url, const char* errMsg, const char* windowTitle,
               const char* confirmMsg) override;
  using IGraphics::OpenWindow;
  void* OpenWindow(void*) override { return nullptr; }
  void CloseWindow() override {}
  void* GetWindow() override { return nullptr; }
  bool GetTextFromClipboard(UTL_String* pStr) override {
    pStr->Set("");
    return false;
  }
  void UpdateTooltips() override {}
  RAS_IBitmap* OSLoadBitmap(int ID, const char* name) override;

 private:
  std::string mImageFolder;
};

// A plug-in with no host: host notifications go nowhere.
class HeadlessPlug : public IPluginBase {
 public:
  explicit HeadlessPlug(int nParams);

  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int, double) override {}
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override {}
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return 120.0; }
  void GetTimeSig(int* pNum, int* pDenom) override {
    *pNum = 4;
    *pDenom = 4;
  }
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg*) override { return false; }
};
