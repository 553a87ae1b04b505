#pragma once
// Text drawn with a cached font: a fixed or plug-in-set text, and a caption that shows its
// parameter's display value.

#include "framework/UTL_String.h"
#include "graphics/IControl.h"

class ITextControl : public IControl {
 public:
  ITextControl(IPluginBase* pPlug, IRECT pR, IText* pText, const char* str = "");

  // Replaces the text and marks the control dirty, only when the text changes.
  void SetTextFromPlug(const char* str);
  const char* GetTextForPlug() const { return mStr.Get(); }

  bool Draw(IGraphics* pGraphics) override;

 protected:
  UTL_String mStr;
};

class ICaptionControl : public ITextControl {
 public:
  ICaptionControl(IPluginBase* pPlug, IRECT pR, int paramIdx, IText* pText,
                  bool showParamLabel = true);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics* pGraphics) override;

 protected:
  bool mShowParamLabel;
};
