#include "graphics/GenericEditor.h"

#include <algorithm>

#include "framework/IParam.h"
#include "framework/IPluginBase.h"
#include "graphics/IDrawnControls.h"
#include "graphics/IGraphics.h"
#include "graphics/IKnobControl.h"

using namespace generic_editor;

namespace {

constexpr IColor kBackground(255, 36, 40, 48);
constexpr IColor kTitleColor(255, 235, 235, 235);
constexpr IColor kNameColor(255, 170, 176, 186);
constexpr IColor kValueColor(255, 235, 235, 235);
constexpr IColor kFaceColor(255, 58, 62, 72);
constexpr IColor kTrackColor(255, 80, 84, 92);
constexpr IColor kPointerColor(255, 235, 235, 235);
constexpr const char* kFont = "DejaVu Sans";

constexpr int kKnobSize = 48;
constexpr int kSwitchW = 36, kSwitchH = 18;

// A line knob on a round face, ringed by its travel with the part up to the value in the
// switch's on colour.
class FaceKnobControl : public IKnobLineControl {
 public:
  FaceKnobControl(IPluginBase* pPlug, IRECT r, int paramIdx)
      : IKnobLineControl(pPlug, r, paramIdx, &kPointerColor, 4.0, r.W() / 2 - 8) {
    // Over the panel, so the anti-aliased edges blend into it.
    mBlend = IChannelBlend(IChannelBlend::BlendNone);
  }

  bool Draw(IGraphics* pGraphics) override {
    float cx = mRECT.MW(), cy = mRECT.MH();
    float ring = (float)(mRECT.W() / 2 - 2);
    float value = mMinAngle + (float)mValue * (mMaxAngle - mMinAngle);
    pGraphics->FillCircle(&kFaceColor, (int)cx, (int)cy, ring - 4.0f, &mBlend, true);
    // Two pixels thick: the same arcs one pixel apart.
    for (float r : {ring, ring - 1.0f}) {
      pGraphics->DrawArc(&kTrackColor, cx, cy, r, mMinAngle, mMaxAngle, &mBlend, true);
      pGraphics->DrawArc(&IDrawnSwitchControl::kDefaultOnColor, cx, cy, r, mMinAngle, value,
                         &mBlend, true);
    }
    return IKnobLineControl::Draw(pGraphics);
  }
};

// Display texts stand for the value and its unit together.
bool HasLabel(const IParam* pParam) {
  return pParam->GetNDisplayTexts() == 0 && pParam->GetLabelForHost()[0];
}

void AttachCell(IGraphics* pGraphics, IPluginBase* pPlug, int paramIdx, int x, int y) {
  IParam* pParam = pPlug->GetParam(paramIdx);
  IText name(12, &kNameColor, kFont);
  pGraphics->AttachControl(
      new ILabelControl(pPlug, IRECT(x, y, x + kCellW, y + 18), pParam->GetNameForHost(), &name));

  IControl* pControl;
  int cx = x + kCellW / 2, cy = y + 44;
  if (pParam->Type() == IParam::kTypeBool) {
    pControl = new IDrawnSwitchControl(
        pPlug, IRECT(cx - kSwitchW / 2, cy - kSwitchH / 2, cx + kSwitchW / 2, cy + kSwitchH / 2),
        paramIdx);
  } else {
    int h = kKnobSize / 2;
    pControl = new FaceKnobControl(pPlug, IRECT(cx - h, cy - h, cx + h, cy + h), paramIdx);
    pControl->DisablePrompt(false);
  }
  pGraphics->AttachControl(pControl);

  // Shows automation through its parameter, and the control's own changes as its value
  // display; it takes no clicks, which the control beside it handles.
  IText value(11, &kValueColor, kFont);
  auto* pCaption = new ICaptionControl(pPlug, IRECT(x + 2, y + 74, x + kCellW - 2, y + 90),
                                       paramIdx, &value, HasLabel(pParam));
  pCaption->SetTargetArea(IRECT());
  pGraphics->AttachControl(pCaption);
  pControl->SetValueDisplayControl(pCaption);
}

int Columns(int nParams) { return std::clamp(nParams, 1, kMaxColumns); }

}  // namespace

void GetGenericEditorSize(int nParams, int* pW, int* pH) {
  int n = std::max(nParams, 0), columns = Columns(n);
  int rows = (n + columns - 1) / columns;
  if (pW) *pW = 2 * kMargin + columns * kCellW;
  if (pH) *pH = 2 * kMargin + kHeaderH + rows * kCellH;
}

void AttachGenericEditor(IGraphics* pGraphics) {
  IPluginBase* pPlug = pGraphics ? pGraphics->GetPlug() : nullptr;
  if (!pPlug) return;
  pGraphics->AttachPanelBackground(&kBackground);
  IText title(14, &kTitleColor, kFont, IText::kStyleBold);
  pGraphics->AttachControl(new ILabelControl(
      pPlug, IRECT(kMargin, kMargin, pGraphics->Width() - kMargin, kMargin + kHeaderH - 6),
      pPlug->GetEffectName(), &title));

  int columns = Columns(pPlug->NParams());
  for (int i = 0; i < pPlug->NParams(); ++i)
    AttachCell(pGraphics, pPlug, i, kMargin + (i % columns) * kCellW,
               kMargin + kHeaderH + (i / columns) * kCellH);
}
