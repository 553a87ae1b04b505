// The control base: defaults, value flow in both directions, clamping, redraw passes, hiding,
// graying, hit rectangles and the value and name displays.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "GraphicsTestSupport.h"
#include "graphics/ITextControl.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ControlBase : public ::testing::Test {
 protected:
  void SetUp() override {
    g = new HeadlessGraphics(&plug, 100, 100);
    c = new ProbeControl(&plug, &log, "C", IRECT(10, 10, 20, 20), EditorTestPlug::kGain);
    g->AttachControl(c);
  }
  void TearDown() override {
    if (plug.GetGUI() != g) delete g;
  }
  // One drawing pass over the whole editor; true when the control asked for it.
  bool Pass() {
    bool dirty = c->IsDirty();
    DrawAll(g);
    return dirty;
  }

  EventLog log;
  EditorTestPlug plug{&log};
  HeadlessGraphics* g;
  ProbeControl* c;
};

TEST_F(ControlBase, FirstValueFromThePlugInBecomesTheDefault) {
  EXPECT_TRUE(c->IsDirty());  // new controls start dirty
  plug.AttachGraphics(g);
  double n = plug.GetParam(EditorTestPlug::kGain)->GetNormalized();
  EXPECT_DOUBLE_EQ(c->GetDefaultValue(), n);
  EXPECT_DOUBLE_EQ(c->GetValue(), n);
  EXPECT_TRUE(Pass());
  EXPECT_FALSE(c->IsDirty());

  c->SetValueFromPlug(n);  // same value: nothing
  EXPECT_FALSE(c->IsDirty());
  log.clear();
  c->SetValueFromPlug(0.5);  // no echo to the plug-in, and exactly two passes
  EXPECT_THAT(log, IsEmpty());
  EXPECT_TRUE(Pass());
  EXPECT_TRUE(Pass());
  EXPECT_FALSE(Pass());
  EXPECT_DOUBLE_EQ(c->GetDefaultValue(), n);
}

TEST_F(ControlBase, DoubleClickRestoresTheDefaultOnlyOnceKnown) {
  IMouseMod left(true);
  c->mValue = 0.3;
  c->OnMouseDblClick(15, 15, &left);
  EXPECT_DOUBLE_EQ(c->GetValue(), 0.3);

  plug.AttachGraphics(g);
  c->mValue = 0.3;
  log.clear();
  c->OnMouseDblClick(15, 15, &left);
  EXPECT_DOUBLE_EQ(c->GetValue(), 0.94);
  EXPECT_THAT(log, ElementsAre("C dbl 15 15", "gui 0 0.9400"));
}

TEST_F(ControlBase, SetDirtyClampsBeforePushing) {
  plug.AttachGraphics(g);
  c->Clamp(0.2, 0.8);
  log.clear();
  c->SetValueFromUserInput(0.9);
  EXPECT_DOUBLE_EQ(c->GetValue(), 0.8);
  c->SetValueFromUserInput(0.1);
  EXPECT_DOUBLE_EQ(c->GetValue(), 0.2);
  EXPECT_THAT(log, ElementsAre("gui 0 0.8000", "gui 0 0.2000"));
  // A user change also asks for a second pass.
  EXPECT_TRUE(Pass());
  EXPECT_TRUE(Pass());
  EXPECT_FALSE(Pass());
}

TEST_F(ControlBase, UnboundControlsPushNothing) {
  auto* free = new ProbeControl(&plug, &log, "F", IRECT(0, 0, 5, 5));
  g->AttachControl(free);
  plug.AttachGraphics(g);
  log.clear();
  free->mValue = 1.5;
  free->SetDirty(true);
  EXPECT_DOUBLE_EQ(free->GetValue(), 1.0);
  EXPECT_THAT(log, IsEmpty());
}

TEST_F(ControlBase, GrayingSetsAndRestoresTheWeight) {
  c->mBlend.mWeight = 0.6f;
  c->GrayOut(true);
  EXPECT_FLOAT_EQ(c->GetBlend()->mWeight, 0.25f);
  c->GrayOut(false);
  EXPECT_EQ(c->GetBlend()->mWeight, 1.0f);
  EXPECT_TRUE(c->IsDirty());
}

TEST_F(ControlBase, HitRectangleIsHalfOpenAndEmptyNeverHits) {
  EXPECT_TRUE(c->IsHit(10, 15));
  EXPECT_TRUE(c->IsHit(19, 19));
  EXPECT_FALSE(c->IsHit(20, 15));
  EXPECT_FALSE(c->IsHit(15, 20));
  EXPECT_FALSE(c->IsHit(9, 15));
  c->SetTargetArea(IRECT());
  EXPECT_FALSE(c->IsHit(0, 0));
  c->SetTargetArea(IRECT(30, 30, 40, 40));
  EXPECT_TRUE(c->IsHit(35, 35));
  EXPECT_FALSE(c->IsHit(15, 15));
}

TEST_F(ControlBase, HiddenControlsStayDirtyForOneMorePassButAreNotDrawn) {
  plug.AttachGraphics(g);
  Pass();
  c->Hide(true);
  log.clear();
  EXPECT_TRUE(Pass());
  EXPECT_TRUE(Pass());
  EXPECT_FALSE(Pass());
  EXPECT_THAT(log, IsEmpty());
  EXPECT_EQ(g->GetMouseControlIdx(15, 15), -1);
}

TEST_F(ControlBase, AuxiliaryParametersAreFoundAndPushed) {
  c->AddAuxParam(EditorTestPlug::kSteps);
  c->AddAuxParam(EditorTestPlug::kMode);
  EXPECT_EQ(c->AuxParamIdx(EditorTestPlug::kMode), 1);
  EXPECT_EQ(c->AuxParamIdx(EditorTestPlug::kBypass), -1);
  plug.AttachGraphics(g);
  c->SetAuxParamValueFromPlug(0, 0.3);
  c->SetAuxParamValueFromPlug(2, 0.9);  // no such entry: ignored
  EXPECT_EQ(c->NAuxParams(), 2);
  log.clear();
  c->SetAllAuxParamsFromGUI();
  EXPECT_THAT(log, ElementsAre("gui 3 0.3000", "gui 1 0.5000"));
}

TEST_F(ControlBase, ValueAndNameDisplaysFollowUserChanges) {
  IText style;
  auto* value = new ITextControl(&plug, IRECT(0, 30, 60, 40), &style, "");
  auto* name = new ITextControl(&plug, IRECT(0, 40, 60, 50), &style, "Gain");
  g->AttachControl(value);
  g->AttachControl(name);
  c->SetValueDisplayControl(value);
  c->SetNameDisplayControl(name);
  plug.AttachGraphics(g);
  DrawAll(g);

  c->SetValueFromUserInput(plug.GetParam(EditorTestPlug::kGain)->GetNormalized(-6.5));
  EXPECT_STREQ(value->GetTextForPlug(), "-6.50 dB");
  EXPECT_TRUE(value->IsDirty());
  EXPECT_FALSE(name->IsDirty());  // same name: left alone

  // A parameter without a label leaves the trailing space.
  auto* steps = new ProbeControl(&plug, &log, "S", IRECT(0, 60, 10, 70), EditorTestPlug::kSteps);
  g->AttachControl(steps);
  steps->SetValueDisplayControl(value);
  steps->SetValueFromUserInput(0.3);
  EXPECT_STREQ(value->GetTextForPlug(), "3 ");
}

TEST(TextControl, SetTextFromPlugMarksDirtyOnlyOnChange) {
  IText style;
  ITextControl text(nullptr, IRECT(0, 0, 10, 10), &style, "abc");
  text.SetClean();
  text.SetTextFromPlug("abc");
  EXPECT_FALSE(text.IsDirty());
  text.SetTextFromPlug("abd");
  EXPECT_TRUE(text.IsDirty());
  EXPECT_STREQ(text.GetTextForPlug(), "abd");
}

}  // namespace
