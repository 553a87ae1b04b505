// Dirty collection, strict and non-strict drawing, resizing, parameter synchronisation and
// value prompts.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "graphics/ITextControl.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class EnginePass : public ::testing::Test {
 protected:
  ProbeControl* Add(const char* name, IRECT r, int paramIdx = -1) {
    auto* c = new ProbeControl(&plug, &log, name, r, paramIdx);
    g->AttachControl(c);
    return c;
  }
  void Attach() {
    plug.AttachGraphics(g);
    DrawAll(g);
    g->mScreenCopies.clear();
    log.clear();
  }

  EventLog log;
  EditorTestPlug plug{&log};
  HeadlessGraphics* g = new HeadlessGraphics(&plug, 100, 100);
};

TEST_F(EnginePass, IsDirtyReturnsTheUnionOfDirtyControls) {
  ProbeControl* bg = Add("bg", IRECT(0, 0, 100, 100));
  ProbeControl* a = Add("A", IRECT(0, 0, 10, 10));
  Add("empty", IRECT());
  ProbeControl* b = Add("B", IRECT(20, 20, 30, 30));
  Attach();

  IRECT r;
  EXPECT_FALSE(g->IsDirty(&r));
  EXPECT_TRUE(r.Empty());

  a->SetDirty(false);
  b->SetDirty(false);
  g->GetControl(2)->SetDirty(false);  // empty rectangles are neutral
  EXPECT_TRUE(g->IsDirty(&r));
  EXPECT_EQ(r, IRECT(0, 0, 30, 30));
  EXPECT_TRUE(a->IsDirty());  // asking does not clean

  DrawAll(g);
  bg->SetDirty(false);
  r = IRECT();
  EXPECT_TRUE(g->IsDirty(&r));
  EXPECT_EQ(r, IRECT(0, 0, 100, 100));
}

TEST_F(EnginePass, StrictDrawingDrawsWhatTouchesTheRegionAndCleansEverything) {
  Add("bg", IRECT(0, 0, 100, 100));
  Add("touching", IRECT(10, 0, 20, 10));  // left edge on the region's right edge
  Add("beyond", IRECT(11, 0, 20, 10));
  Add("below", IRECT(0, 10, 10, 20));  // top edge on the region's bottom edge
  ProbeControl* hidden = Add("hidden", IRECT(0, 0, 5, 5));
  Attach();
  hidden->Hide(true);
  for (int i = 0; i < g->GetNControls(); ++i) g->GetControl(i)->SetDirty(false);

  IRECT region(0, 0, 10, 10);
  EXPECT_TRUE(g->Draw(&region));
  EXPECT_THAT(log, ElementsAre("bg draw", "touching draw", "below draw"));
  EXPECT_EQ(g->GetDrawRECT(), region);
  ASSERT_EQ(g->mScreenCopies.size(), 1u);
  EXPECT_EQ(g->mScreenCopies[0], region);
  // Hide set the redraw flag, so the hidden control stays dirty for one more pass.
  EXPECT_TRUE(hidden->IsDirty());
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(g->GetControl(i)->IsDirty()) << i;
}

TEST_F(EnginePass, NonStrictRedrawsOverlappingControlsOverEachDirtyOne) {
  Add("bg", IRECT(0, 0, 100, 100));
  ProbeControl* a = Add("A", IRECT(10, 10, 30, 30));
  ProbeControl* b = Add("B", IRECT(20, 20, 40, 40));
  Add("far", IRECT(60, 60, 70, 70));
  ProbeControl* hidden = Add("hidden", IRECT(15, 15, 25, 25));
  Attach();
  hidden->Hide(true);
  DrawAll(g);
  DrawAll(g);
  log.clear();

  g->SetStrictDrawing(false);
  EXPECT_FALSE(g->IsStrictDrawing());
  // SetStrictDrawing marks everything dirty, background included: a full redraw.
  IRECT all(0, 0, 100, 100);
  g->Draw(&all);
  EXPECT_THAT(log, ElementsAre("bg draw", "A draw", "B draw", "far draw"));
  EXPECT_TRUE(hidden->IsDirty());
  hidden->SetClean();

  log.clear();
  a->SetDirty(false);
  IRECT r;
  g->IsDirty(&r);
  g->Draw(&r);
  EXPECT_THAT(log, ElementsAre("bg draw", "A draw", "B draw"));
  EXPECT_EQ(g->GetDrawRECT(), IRECT(10, 10, 30, 30));
  EXPECT_FALSE(a->IsDirty());
  EXPECT_FALSE(b->IsDirty());

  // Two dirty controls: each gets its own pass with what overlaps it.
  log.clear();
  a->SetDirty(false);
  b->SetDirty(false);
  g->Draw(&all);
  EXPECT_THAT(log, ElementsAre("bg draw", "A draw", "B draw", "bg draw", "A draw", "B draw"));
}

TEST_F(EnginePass, DrawWithoutControlsCopiesNothing) {
  plug.AttachGraphics(g);
  IRECT r(0, 0, 10, 10);
  EXPECT_TRUE(g->Draw(&r));
  EXPECT_THAT(g->mScreenCopies, IsEmpty());
}

TEST_F(EnginePass, NothingIsAttachedForANullControl) {
  Add("bg", IRECT(0, 0, 100, 100));
  EXPECT_EQ(g->AttachControl(nullptr), -1);
  EXPECT_EQ(g->GetNControls(), 1);
  Attach();
  IMouseMod left(true);
  g->OnMouseDown(20, 20, &left);
  g->SetAllControlsDirty();
  IRECT r(0, 0, 100, 100);
  EXPECT_TRUE(g->Draw(&r));
  EXPECT_THAT(log, ElementsAre("bg down 20 20", "bg draw"));
}

TEST_F(EnginePass, ResizeLeavesNoControls) {
  Add("bg", IRECT(0, 0, 100, 100));
  Add("A", IRECT(10, 10, 30, 30), EditorTestPlug::kGain);
  Attach();
  IMouseMod left(true);
  g->OnMouseDown(20, 20, &left);
  log.clear();

  g->Resize(300, 200);
  EXPECT_EQ(g->GetNControls(), 0);
  EXPECT_EQ(g->GetMouseCapture(), -1);
  EXPECT_EQ(g->Width(), 300);
  EXPECT_EQ(g->Height(), 200);
  EXPECT_NE(g->GetBits(), nullptr);
  EXPECT_THAT(log, ElementsAre("A deleted", "bg deleted", "resize 300 200"));
  // A release after the rebuild reaches nobody and sends nothing.
  log.clear();
  g->OnMouseUp(20, 20, &left);
  EXPECT_THAT(log, IsEmpty());
}

TEST_F(EnginePass, ParameterValuesReachBoundAndAuxiliaryControls) {
  ProbeControl* a = Add("A", IRECT(0, 0, 10, 10), EditorTestPlug::kGain);
  ProbeControl* twin = Add("twin", IRECT(10, 0, 20, 10), EditorTestPlug::kGain);
  ProbeControl* aux = Add("aux", IRECT(20, 0, 30, 10));
  aux->AddAuxParam(EditorTestPlug::kSteps);
  aux->AddAuxParam(EditorTestPlug::kGain);
  Attach();

  IParam* gain = plug.GetParam(EditorTestPlug::kGain);
  g->SetParameterFromPlug(EditorTestPlug::kGain, -10.0, false);
  double n = gain->GetNormalized(-10.0);
  EXPECT_DOUBLE_EQ(a->GetValue(), n);
  EXPECT_DOUBLE_EQ(twin->GetValue(), n);
  EXPECT_DOUBLE_EQ(aux->GetAuxParam(1)->value, n);
  EXPECT_DOUBLE_EQ(aux->GetAuxParam(0)->value, 0.5);  // pushed at attach time
  EXPECT_TRUE(aux->IsDirty());

  g->SetControlFromPlug(0, 0.25);
  g->SetControlFromPlug(7, 0.75);  // outside the list: ignored
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.25);

  // A change from one control moves every control of the parameter and reaches the plug-in.
  log.clear();
  g->SetParameterFromGUI(EditorTestPlug::kGain, 0.5);
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.5);
  EXPECT_DOUBLE_EQ(twin->GetValue(), 0.5);
  EXPECT_THAT(log, ElementsAre("gui 0 0.5000", "gui 0 0.5000"));
}

TEST_F(EnginePass, ClampHideAndGrayActOnEveryBoundControl) {
  ProbeControl* a = Add("A", IRECT(0, 0, 10, 10), EditorTestPlug::kGain);
  ProbeControl* other = Add("other", IRECT(10, 0, 20, 10), EditorTestPlug::kSteps);
  Attach();

  g->ClampControl(EditorTestPlug::kGain, -50.0, 0.0, false);
  IParam* gain = plug.GetParam(EditorTestPlug::kGain);
  EXPECT_DOUBLE_EQ(a->GetClampLo(), gain->GetNormalized(-50.0));
  EXPECT_DOUBLE_EQ(a->GetClampHi(), gain->GetNormalized(0.0));
  EXPECT_DOUBLE_EQ(other->GetClampHi(), 1.0);

  g->HideControl(EditorTestPlug::kGain, true);
  g->GrayOutControl(EditorTestPlug::kSteps, true);
  EXPECT_TRUE(a->IsHidden());
  EXPECT_FALSE(other->IsHidden());
  EXPECT_TRUE(other->IsGrayed());

  g->AssignParamNameToolTips();
  EXPECT_STREQ(a->GetTooltip(), "Gain");
  EXPECT_STREQ(other->GetTooltip(), "Steps");
}

TEST_F(EnginePass, EnumeratedParametersPromptWithAMenu) {
  ProbeControl* a = Add("A", IRECT(0, 0, 40, 20), EditorTestPlug::kMode);
  Attach();
  a->DisablePrompt(false);

  g->mMenuAnswers = {2, -1, HeadlessGraphics::kMenuNoChoice};
  a->PromptUserInput();
  ASSERT_EQ(g->mMenus.size(), 1u);
  EXPECT_THAT(g->mMenus[0].items, ElementsAre("One", "Two", "Three"));
  EXPECT_THAT(g->mMenus[0].flags, ElementsAre(0, IPopupMenuItem::kChecked, 0));
  EXPECT_EQ(g->mMenus[0].rect, IRECT(0, 0, 40, 20));  // display texts: the control itself
  EXPECT_THAT(log, ElementsAre("gui 1 1.0000"));
  EXPECT_EQ(plug.GetParam(EditorTestPlug::kMode)->Value(), 2.0);

  // The menu now checks "Three"; cancelling changes nothing.
  log.clear();
  a->PromptUserInput();
  EXPECT_THAT(g->mMenus[1].flags, ElementsAre(0, 0, IPopupMenuItem::kChecked));
  EXPECT_THAT(log, IsEmpty());
  // A menu handed back without a chosen item counts as cancelled too.
  a->PromptUserInput();
  EXPECT_EQ(g->mMenus.size(), 3u);
  EXPECT_THAT(log, IsEmpty());
  EXPECT_TRUE(g->mTextEntries.empty());
}

TEST_F(EnginePass, OtherParametersPromptWithATextEntry) {
  ProbeControl* a = Add("A", IRECT(0, 0, 40, 20), EditorTestPlug::kGain);
  Attach();
  a->DisablePrompt(false);
  IRECT where(5, 5, 45, 21);
  a->PromptUserInput(&where);
  ASSERT_EQ(g->mTextEntries.size(), 1u);
  EXPECT_EQ(g->mTextEntries[0].control, a);
  EXPECT_EQ(g->mTextEntries[0].text, "0.00");
  EXPECT_EQ(g->mTextEntries[0].rect, where);
  EXPECT_EQ(g->mTextEntries[0].param, plug.GetParam(EditorTestPlug::kGain));
  EXPECT_TRUE(a->GetRedraw());

  // Missing pieces: nothing happens.
  g->PromptUserInput(a, nullptr, &where);
  g->PromptUserInput(a, plug.GetParam(0), nullptr);
  EXPECT_EQ(g->mTextEntries.size(), 1u);
}

TEST_F(EnginePass, TypedTextIsParsedForTheParameter) {
  ProbeControl* gainCtl = Add("gain", IRECT(0, 0, 10, 10), EditorTestPlug::kGain);
  ProbeControl* modeCtl = Add("mode", IRECT(10, 0, 20, 10), EditorTestPlug::kMode);
  Attach();
  IParam* gain = plug.GetParam(EditorTestPlug::kGain);
  IParam* mode = plug.GetParam(EditorTestPlug::kMode);

  char typed[] = "-12.5 dB";
  g->SetFromStringAfterPrompt(gainCtl, gain, typed);
  EXPECT_DOUBLE_EQ(gainCtl->GetValue(), gain->GetNormalized(-12.5));
  EXPECT_NEAR(gain->Value(), -12.5, 1e-9);

  char words[] = "loud";
  g->SetFromStringAfterPrompt(gainCtl, gain, words);
  EXPECT_DOUBLE_EQ(gainCtl->GetValue(), gain->GetNormalized(0.0));

  // Not-a-number input must not reach the parameter.
  char nan[] = "nan";
  g->SetFromStringAfterPrompt(gainCtl, gain, nan);
  EXPECT_DOUBLE_EQ(gainCtl->GetValue(), gain->GetNormalized(0.0));
  EXPECT_NEAR(gain->Value(), 0.0, 1e-9);

  char three[] = "Three";
  g->SetFromStringAfterPrompt(modeCtl, mode, three);
  EXPECT_DOUBLE_EQ(modeCtl->GetValue(), 1.0);
  char unknown[] = "Four";
  g->SetFromStringAfterPrompt(modeCtl, mode, unknown);
  EXPECT_DOUBLE_EQ(modeCtl->GetValue(), 0.0);

  log.clear();
  g->SetFromStringAfterPrompt(modeCtl, nullptr, three);
  EXPECT_THAT(log, IsEmpty());
}

}  // namespace
