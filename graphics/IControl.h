#pragma once
// Base of every editor element: a rectangle, optionally bound to one parameter whose value it
// holds normalised (0..1), a dirty state for the drawing pass, and the event hooks the engine
// calls. Changes made by the user go to the plug-in through SetDirty(true); changes from the
// plug-in arrive through SetValueFromPlug and are never echoed back.

#include "framework/UTL_String.h"
#include "framework/UTL_TypedBuf.h"
#include "graphics/IBitmap.h"
#include "graphics/IChannelBlend.h"
#include "graphics/IMouseMod.h"
#include "graphics/IRECT.h"
#include "graphics/IText.h"

class IPluginBase;
class IGraphics;
class IParam;
class ITextControl;

enum EDirection { Vertical = 0, Horizontal = 1 };

class IControl {
 public:
  struct AuxParam {
    double value;
    int paramIdx;
  };

  IControl(IPluginBase* pPlug, IRECT pR, int paramIdx = -1,
           IChannelBlend blendMethod = IChannelBlend(IChannelBlend::BlendNone));
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // Thread tags: docs/ARCHITECTURE.md. Every hook is [ui] but these: the destructor runs
  // where the engine is destroyed ([host] at close) or resized; the two FromPlug hooks are
  // [locked], called by the base wherever a parameter changes.
  virtual ~IControl();
  virtual void OnMouseDown(int x, int y, IMouseMod* pMod);
  virtual void OnMouseUp(int x, int y, IMouseMod* pMod);
  virtual void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* pMod);
  virtual void OnMouseDblClick(int x, int y, IMouseMod* pMod);
  virtual void OnMouseWheel(int x, int y, IMouseMod* pMod, int d);
  virtual bool OnKeyDown(int x, int y, int key);
  virtual void OnMouseOver(int x, int y, IMouseMod* pMod);
  virtual void OnMouseOut();
  virtual bool Draw(IGraphics* pGraphics) = 0;
  virtual void SetValueFromPlug(double value);  // [locked]
  virtual void SetValueFromUserInput(double value);
  virtual void TextFromTextEntry(const char* txt);
  virtual void Hide(bool hide);
  virtual void GrayOut(bool gray);
  virtual bool IsHit(int x, int y);
  virtual void SetDirty(bool pushParamToPlug = true);
  virtual void SetClean();
  virtual bool IsDirty();
  virtual void OnGUIIdle();
  virtual void SetAuxParamValueFromPlug(int auxParamIdx, double value);  // [locked]

  void PromptUserInput();
  void PromptUserInput(IRECT* pTextRect);

  AuxParam* GetAuxParam(int idx) { return mAuxParams.Get() + idx; }
  int NAuxParams() const { return mAuxParams.GetSize(); }
  int AuxParamIdx(int paramIdx) const;
  void AddAuxParam(int paramIdx);
  void SetAllAuxParamsFromGUI();

  // Accessors and setters.
  IRECT* GetRECT() { return &mRECT; }
  IRECT* GetTargetRECT() { return &mTargetRECT; }
  void SetTargetArea(IRECT r) { mTargetRECT = r; }
  int ParamIdx() const { return mParamIdx; }
  double GetValue() const { return mValue; }
  double GetDefaultValue() const { return mDefaultValue; }
  void SetDefaultValue(double value) { mDefaultValue = value; }
  void Clamp(double lo, double hi) {
    mClampLo = lo;
    mClampHi = hi;
  }
  double GetClampLo() const { return mClampLo; }
  double GetClampHi() const { return mClampHi; }
  bool IsHidden() const { return mHide; }
  bool IsGrayed() const { return mGrayed; }
  bool GetRedraw() const { return mRedraw; }
  bool GetDoubleClickAsSingle() const { return mDoubleClickAsSingle; }
  void SetDoubleClickAsSingle(bool on) { mDoubleClickAsSingle = on; }
  bool GetMouseOverWhenGrayed() const { return mMouseOverWhenGrayed; }
  void SetMouseOverWhenGrayed(bool on) { mMouseOverWhenGrayed = on; }
  bool IsPromptDisabled() const { return mDisablePrompt; }
  void DisablePrompt(bool disable) { mDisablePrompt = disable; }
  int GetTextEntryLength() const { return mTextEntryLength; }
  void SetTextEntryLength(int len) { mTextEntryLength = len; }
  const char* GetTooltip() const { return mTooltip.Get(); }
  void SetTooltip(const char* tooltip) { mTooltip.Set(tooltip); }
  IText* GetText() { return &mText; }
  void SetText(const IText* pText) { mText = *pText; }
  IChannelBlend* GetBlend() { return &mBlend; }
  IPluginBase* GetPlug() const { return mPlug; }
  void SetValueDisplayControl(ITextControl* pControl) { mValueDisplayControl = pControl; }
  void SetNameDisplayControl(ITextControl* pControl) { mNameDisplayControl = pControl; }

 protected:
  // The bound parameter, or null when unbound or out of the plug-in's list.
  IParam* GetParam() const;
  // The engine attached to the plug-in, or null.
  IGraphics* GetGUI() const;

  int mTextEntryLength = 7;
  IText mText;
  IPluginBase* mPlug;
  IRECT mRECT;
  IRECT mTargetRECT;
  int mParamIdx;
  UTL_TypedBuf<AuxParam> mAuxParams;
  double mValue = 0.0;
  double mDefaultValue = -1.0;
  double mClampLo = 0.0;
  double mClampHi = 1.0;
  bool mDirty = true;
  bool mHide = false;
  bool mGrayed = false;
  bool mRedraw = false;
  bool mDisablePrompt = true;
  bool mDoubleClickAsSingle = false;
  bool mMouseOverWhenGrayed = false;
  IChannelBlend mBlend;
  ITextControl* mValueDisplayControl = nullptr;
  ITextControl* mNameDisplayControl = nullptr;
  UTL_String mTooltip;
};
