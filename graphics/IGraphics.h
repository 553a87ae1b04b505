#pragma once
// The platform-neutral editor engine: owns the controls and the off-screen surface, routes
// mouse, wheel and key events to controls, collects what must be redrawn and draws it.
// A platform class derives from it and supplies the window, screen copy, image loading,
// prompts and menus (the pure virtual operations below).

#include "framework/UTL_Mutex.h"
#include "framework/UTL_PtrList.h"
#include "framework/UTL_String.h"
#include "graphics/IBitmap.h"
#include "graphics/IChannelBlend.h"
#include "graphics/IColor.h"
#include "graphics/IMouseMod.h"
#include "graphics/IRECT.h"
#include "graphics/IText.h"

class IPluginBase;
class IParam;
class IControl;
class IPopupMenu;
class RAS_IBitmap;
class RAS_IFont;
class RAS_MemBitmap;
class RAS_SysBitmap;

enum EFileAction { kFileOpen = 0, kFileSave = 1 };

class IGraphics {
 public:
  IGraphics(IPluginBase* pPlug, int w, int h, int refreshFPS = 0);
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // ---- Virtual operations (the platform class supplies the pure ones) ----
  // Thread tags: docs/ARCHITECTURE.md. Every operation is [ui] (the editor's thread, no lock
  // held on entry) but the destructor and image loading, which are [host].
  virtual bool DrawScreen(IRECT* pR) = 0;
  virtual bool MeasureIText(IText* pTxt, char* str, IRECT* pR);
  virtual void ForceEndUserEdit() = 0;
  virtual void Resize(int w, int h);
  virtual bool WindowIsOpen() { return GetWindow() != nullptr; }
  virtual const char* GetGUIAPI() { return ""; }
  virtual int ShowMessageBox(const char* text, const char* caption, int type) = 0;
  // Shows the menu; returns the menu chosen from (with its chosen index set) or null.
  virtual IPopupMenu* CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pAreaRect) = 0;
  // Opens a one-line entry; the typed text comes back through SetFromStringAfterPrompt.
  virtual void CreateTextEntry(IControl* pControl, IText* pText, IRECT* pTextRect, const char* str,
                               IParam* pParam) = 0;
  virtual void HostPath(UTL_String* pPath) = 0;
  virtual void PluginPath(UTL_String* pPath) = 0;
  virtual void DesktopPath(UTL_String* pPath) = 0;
  virtual void AppSupportPath(UTL_String* pPath, bool isSystem = false) = 0;
  virtual void SandboxSafeAppSupportPath(UTL_String* pPath) = 0;
  virtual void PromptForFile(UTL_String* pFilename, EFileAction action, UTL_String* pDir,
                             char* extensions) = 0;
  virtual bool PromptForColor(IColor* pColor, char* prompt) = 0;
  virtual bool OpenURL(const char* url, const char* errMsg = nullptr,
                       const char* windowTitle = nullptr, const char* confirmMsg = nullptr) = 0;
  virtual void* OpenWindow(void* pParentWnd) = 0;
  virtual void* OpenWindow(void* pParentWnd, void* pParentControl, short leftOffset,
                           short topOffset);
  virtual void AttachSubWindow(void* pParentWnd);
  virtual void RemoveSubWindow();
  virtual void CloseWindow() = 0;
  virtual void* GetWindow() = 0;
  virtual bool GetTextFromClipboard(UTL_String* pStr) = 0;
  virtual ~IGraphics();  // [host] with the plug-in at close
  virtual void HideMouseCursor() {}
  virtual void ShowMouseCursor() {}
  virtual void UpdateTooltips() = 0;
  // [host] while the editor is built, under the image cache's lock. A new raster bitmap of the
  // image owned by the caller, which may decode its pixels only when they are first drawn;
  // null when the image cannot be found or read.
  virtual RAS_IBitmap* OSLoadBitmap(int ID, const char* name) = 0;

  // ---- Building the editor ----
  void AttachBackground(int ID, const char* name);
  void AttachPanelBackground(const IColor* pColor);
  int AttachControl(IControl* pControl);
  // Takes ownership; deletes the catcher it replaces.
  void AttachKeyCatcher(IControl* pControl);

  IControl* GetControl(int idx) const { return mControls.Get(idx); }
  int GetNControls() const { return mControls.GetSize(); }
  IPluginBase* GetPlug() const { return mPlug; }
  IControl* GetKeyCatcher() const { return mKeyCatcher; }

  // ---- Parameter synchronisation ----
  void SetParameterFromPlug(int paramIdx, double value, bool normalized);
  void SetControlFromPlug(int controlIdx, double normalizedValue);
  void SetParameterFromGUI(int paramIdx, double normalizedValue);
  void ClampControl(int paramIdx, double lo, double hi, bool normalized);
  void HideControl(int paramIdx, bool hide);
  void GrayOutControl(int paramIdx, bool gray);
  void SetAllControlsDirty();
  void SetStrictDrawing(bool strict);
  bool IsStrictDrawing() const { return mStrict; }
  void AssignParamNameToolTips();

  // ---- Value prompts ----
  void PromptUserInput(IControl* pControl, IParam* pParam, IRECT* pTextRect);
  void SetFromStringAfterPrompt(IControl* pControl, IParam* pParam, char* txt);

  // ---- Drawing pass ----
  void PrepDraw();
  bool IsDirty(IRECT* pR);
  bool Draw(IRECT* pR);
  const IRECT& GetDrawRECT() const { return mDrawRECT; }

  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  int FPS() const { return mFPS; }
  RAS_SysBitmap* GetDrawBitmap() const { return mDrawBitmap; }
  void* GetBits();

  // ---- Events (editor pixels, origin top left) ----
  void OnMouseDown(int x, int y, IMouseMod* pMod);
  void OnMouseUp(int x, int y, IMouseMod* pMod);
  void OnMouseDrag(int x, int y, IMouseMod* pMod);
  bool OnMouseDblClick(int x, int y, IMouseMod* pMod);
  void OnMouseWheel(int x, int y, IMouseMod* pMod, int d);
  bool OnKeyDown(int x, int y, int key);
  bool OnMouseOver(int x, int y, IMouseMod* pMod);
  void OnMouseOut();
  void ReleaseMouseCapture();
  int GetMouseControlIdx(int x, int y, bool mouseOver = false);
  void OnGUIIdle();

  int GetMouseCapture() const { return mMouseCapture; }
  int GetMouseOver() const { return mMouseOver; }
  int GetMouseX() const { return mMouseX; }
  int GetMouseY() const { return mMouseY; }
  void HandleMouseOver(bool canHandle) { mHandleMouseOver = canHandle; }
  bool CanHandleMouseOver() const { return mHandleMouseOver; }
  void EnableTooltips(bool enable) { mEnableTooltips = enable; }
  bool TooltipsEnabled() const { return mEnableTooltips; }

  // ---- Automation queries ----
  int GetParamIdxForPTAutomation(int x, int y);
  int GetLastClickedParamForPTAutomation();

  // ---- Images ----
  // Handed no image, or the empty handle of one that failed to load, the image calls below draw
  // nothing and answer true, as a fully clipped call does; ScaleBitmap and CropBitmap then give
  // an empty handle. Primitives handed no colour or rectangle draw nothing and answer true too,
  // except ForcePixel (false: no pixel written) and DrawIText, which answers false for a text it
  // has no style or rectangle for, as for a font it cannot make.
  IBitmap LoadIBitmap(int ID, const char* name, int nStates = 1, bool framesAreHoriz = false);
  void RetainBitmap(IBitmap* pBitmap);
  void ReleaseBitmap(IBitmap* pBitmap);
  IBitmap ScaleBitmap(IBitmap* pBitmap, int destW, int destH);
  IBitmap CropBitmap(IBitmap* pBitmap, IRECT* pR);

  // ---- Drawing primitives (into the off-screen surface) ----
  bool DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int srcX, int srcY,
                  const IChannelBlend* pBlend = nullptr);
  bool DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int bmpState = 1,
                  const IChannelBlend* pBlend = nullptr);
  bool DrawRotatedBitmap(IBitmap* pBitmap, int destCtrX, int destCtrY, double angle,
                         int yOffsetZeroDeg = 0, const IChannelBlend* pBlend = nullptr);
  bool DrawRotatedMask(IBitmap* pBase, IBitmap* pMask, IBitmap* pTop, int x, int y, double angle,
                       const IChannelBlend* pBlend = nullptr);
  bool DrawPoint(const IColor* pColor, float x, float y, const IChannelBlend* pBlend = nullptr,
                 bool antiAlias = false);
  bool ForcePixel(const IColor* pColor, int x, int y);
  IColor GetPoint(int x, int y);
  bool DrawLine(const IColor* pColor, float x1, float y1, float x2, float y2,
                const IChannelBlend* pBlend = nullptr, bool antiAlias = false);
  bool DrawArc(const IColor* pColor, float cx, float cy, float r, float minAngle, float maxAngle,
               const IChannelBlend* pBlend = nullptr, bool antiAlias = false);
  bool DrawCircle(const IColor* pColor, float cx, float cy, float r,
                  const IChannelBlend* pBlend = nullptr, bool antiAlias = false);
  bool RoundRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend, int cornerRadius,
                 bool antiAlias);
  bool FillRoundRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend, int cornerRadius,
                     bool antiAlias);
  bool FillIRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend = nullptr);
  bool FillCircle(const IColor* pColor, int cx, int cy, float r,
                  const IChannelBlend* pBlend = nullptr, bool antiAlias = false);
  bool FillTriangle(const IColor* pColor, int x1, int y1, int x2, int y2, int x3, int y3,
                    IChannelBlend* pBlend = nullptr);
  bool FillIConvexPolygon(const IColor* pColor, int* x, int* y, int nPoints,
                          const IChannelBlend* pBlend = nullptr);
  bool DrawRect(const IColor* pColor, IRECT* pR);
  bool DrawVerticalLine(const IColor* pColor, int xi, int yLo, int yHi);
  bool DrawHorizontalLine(const IColor* pColor, int yi, int xLo, int xHi);
  bool DrawVerticalLine(const IColor* pColor, IRECT* pR, float x);
  bool DrawHorizontalLine(const IColor* pColor, IRECT* pR, float y);
  bool DrawRadialLine(const IColor* pColor, float cx, float cy, float angle, float rMin, float rMax,
                      const IChannelBlend* pBlend = nullptr, bool antiAlias = false);
  bool DrawIText(IText* pTxt, char* str, IRECT* pR, bool measure = false);

  // Finds or creates the font for a text style; null when none can be made.
  static RAS_IFont* CacheFont(IText* pTxt);

 protected:
  UTL_Mutex mMutex;
  UTL_PtrList<IControl> mControls;
  IPluginBase* mPlug;
  IRECT mDrawRECT;
  bool mCursorHidden = false;
  int mHiddenCursorX = -1, mHiddenCursorY = -1;
  RAS_SysBitmap* mDrawBitmap = nullptr;
  RAS_MemBitmap* mTmpBitmap = nullptr;
  int mWidth, mHeight;
  int mFPS;
  int mMouseCapture = -1;
  int mMouseOver = -1;
  int mMouseX = 0, mMouseY = 0;
  int mLastClickedParam = -1;
  bool mHandleMouseOver = false;
  bool mStrict = true;
  bool mEnableTooltips = false;
  IControl* mKeyCatcher = nullptr;

 private:
  void DeleteControls();
  void DeleteBitmaps();
  // A new w by h image for scaling or cropping; null when the size is empty or cannot be had.
  static RAS_MemBitmap* NewImage(int w, int h);
};

// Draws text with a bitmap font whose frames are the printable characters from the space (32)
// to "~" (126).
void DrawBitmapedText(IGraphics* pGraphics, IBitmap* pTextBitmap, IRECT* pR, IText* pTxt,
                      IChannelBlend* pBlend, const char* str, bool vCenter, bool multiline,
                      int charWidth, int charHeight, int charOffset);
