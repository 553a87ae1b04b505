// Event routing: hit order, capture, gestures, drags, double clicks, keys and mouse-over.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"

namespace {

using ::testing::ElementsAre;

class EngineEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    g = new HeadlessGraphics(&plug, 200, 200);
    bg = new ProbeControl(&plug, &log, "bg", IRECT(0, 0, 200, 200));
    a = new ProbeControl(&plug, &log, "A", IRECT(10, 10, 50, 50), EditorTestPlug::kSteps);
    b = new ProbeControl(&plug, &log, "B", IRECT(30, 30, 70, 70));
    g->AttachControl(bg);
    g->AttachControl(a);
    g->AttachControl(b);
    plug.AttachGraphics(g);
    log.clear();
  }

  EventLog log;
  EditorTestPlug plug{&log};
  HeadlessGraphics* g;
  ProbeControl *bg, *a, *b;
  IMouseMod left{true};
};

TEST_F(EngineEvents, LaterControlsAreHitFirstUnlessHiddenOrGrayed) {
  EXPECT_EQ(g->GetMouseControlIdx(40, 40), 2);
  EXPECT_EQ(g->GetMouseControlIdx(20, 20), 1);
  EXPECT_EQ(g->GetMouseControlIdx(100, 100), 0);
  EXPECT_EQ(g->GetMouseControlIdx(250, 250), -1);

  b->Hide(true);
  EXPECT_EQ(g->GetMouseControlIdx(40, 40), 1);
  b->Hide(false);
  b->GrayOut(true);
  EXPECT_EQ(g->GetMouseControlIdx(40, 40), 1);
  // Mouse-over reaches a grayed control only when it asks for it.
  EXPECT_EQ(g->GetMouseControlIdx(40, 40, true), 1);
  b->SetMouseOverWhenGrayed(true);
  EXPECT_EQ(g->GetMouseControlIdx(40, 40, true), 2);
  EXPECT_EQ(g->GetMouseControlIdx(40, 40, false), 1);
}

TEST_F(EngineEvents, PressIsBracketedByGesturesEvenWhenReleasedElsewhere) {
  g->OnMouseDown(20, 20, &left);
  EXPECT_EQ(g->GetMouseCapture(), 1);
  g->OnMouseDrag(120, 140, &left);
  g->OnMouseUp(150, 150, &left);  // over the background
  EXPECT_THAT(log,
              ElementsAre("begin 3", "A down 20 20", "A drag 100 120", "A up 150 150", "end 3"));
  EXPECT_EQ(g->GetMouseCapture(), -1);

  // Unbound controls get no gestures; after release, drags go nowhere.
  log.clear();
  g->OnMouseDown(60, 60, &left);
  g->OnMouseUp(60, 60, &left);
  g->OnMouseDrag(61, 61, &left);
  EXPECT_THAT(log, ElementsAre("B down 60 60", "B up 60 60"));
}

TEST_F(EngineEvents, DragDeltasAreFromLastDeliveredPositionAndZeroMovesAreDropped) {
  g->OnMouseDown(20, 20, &left);
  g->OnMouseDrag(25, 20, &left);
  g->OnMouseDrag(25, 20, &left);
  g->OnMouseDrag(25, 18, &left);
  g->OnMouseDrag(22, 21, &left);
  EXPECT_THAT(log,
              ElementsAre("begin 3", "A down 20 20", "A drag 5 0", "A drag 0 -2", "A drag -3 3"));
}

TEST_F(EngineEvents, DoubleClickAsSingleCapturesWithoutBeginGesture) {
  a->SetDoubleClickAsSingle(true);
  EXPECT_TRUE(g->OnMouseDblClick(20, 20, &left));
  g->OnMouseDrag(21, 20, &left);
  g->OnMouseUp(100, 100, &left);
  EXPECT_THAT(log, ElementsAre("A down 20 20", "A drag 1 0", "A up 100 100", "end 3"));
}

TEST_F(EngineEvents, PlainDoubleClickDoesNotCapture) {
  EXPECT_FALSE(g->OnMouseDblClick(20, 20, &left));
  EXPECT_EQ(g->GetMouseCapture(), -1);
  g->OnMouseUp(20, 20, &left);
  // The base restores the default it learnt when the editor was attached.
  EXPECT_THAT(log, ElementsAre("A dbl 20 20", "gui 3 0.5000", "A up 20 20", "end 3"));
  EXPECT_FALSE(g->OnMouseDblClick(300, 300, &left));
}

TEST_F(EngineEvents, WheelGoesToTheControlUnderThePointer) {
  g->OnMouseWheel(40, 40, &left, -2);
  g->OnMouseWheel(300, 300, &left, 1);
  EXPECT_THAT(log, ElementsAre("B wheel -2"));
}

TEST_F(EngineEvents, KeysGoToControlsThenToTheKeyCatcher) {
  b->mTakesKeys = false;
  EXPECT_FALSE(g->OnKeyDown(40, 40, 65));
  EXPECT_TRUE(g->OnKeyDown(20, 20, 66));
  EXPECT_FALSE(g->OnKeyDown(100, 100, 67));  // background, no catcher
  g->AttachKeyCatcher(new ProbeControl(&plug, &log, "K", IRECT()));
  EXPECT_TRUE(g->OnKeyDown(100, 100, 68));
  EXPECT_TRUE(g->OnKeyDown(300, 300, 69));
  // A new catcher replaces the old one, which the engine deletes; attaching the same one again
  // keeps it.
  IControl* replacement = new ProbeControl(&plug, &log, "L", IRECT());
  g->AttachKeyCatcher(replacement);
  g->AttachKeyCatcher(replacement);
  EXPECT_TRUE(g->OnKeyDown(100, 100, 70));
  EXPECT_THAT(log,
              ElementsAre("B key 65", "A key 66", "K key 68", "K key 69", "K deleted", "L key 70"));
}

TEST_F(EngineEvents, MouseOverOnlyWhenEnabled) {
  IMouseMod none;
  EXPECT_FALSE(g->OnMouseOver(20, 20, &none));
  EXPECT_TRUE(log.empty());

  g->HandleMouseOver(true);
  EXPECT_TRUE(g->OnMouseOver(20, 20, &none));
  EXPECT_TRUE(g->OnMouseOver(40, 40, &none));
  EXPECT_TRUE(g->OnMouseOver(300, 300, &none));  // nothing there: nobody is told
  EXPECT_EQ(g->GetMouseOver(), 2);
  g->OnMouseOut();
  EXPECT_EQ(g->GetMouseOver(), -1);
  EXPECT_THAT(log, ElementsAre("A over", "B over", "A out", "bg out", "A out", "B out"));
}

TEST_F(EngineEvents, RightClickPromptsOnlyWhenEnabled) {
  IMouseMod right(false, true);
  g->OnMouseDown(20, 20, &right);
  EXPECT_TRUE(g->mTextEntries.empty());
  a->DisablePrompt(false);
  g->OnMouseDown(20, 20, &right);
  ASSERT_EQ(g->mTextEntries.size(), 1u);
  // An integer parameter without display texts: a 40 by 16 entry centred on the control.
  EXPECT_EQ(g->mTextEntries[0].rect, IRECT(10, 22, 50, 38));
  EXPECT_EQ(g->mTextEntries[0].text, "5");
}

TEST_F(EngineEvents, AutomationQueryIgnoresTheBackground) {
  EXPECT_EQ(g->GetParamIdxForPTAutomation(20, 20), EditorTestPlug::kSteps);
  EXPECT_EQ(g->GetLastClickedParamForPTAutomation(), EditorTestPlug::kSteps);
  EXPECT_EQ(g->GetLastClickedParamForPTAutomation(), -1);
  EXPECT_EQ(g->GetParamIdxForPTAutomation(100, 100), -1);
  EXPECT_EQ(g->GetParamIdxForPTAutomation(40, 40), -1);  // unbound
}

}  // namespace
