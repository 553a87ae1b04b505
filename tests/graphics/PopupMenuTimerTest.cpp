// Popup menu model and the polled timer.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ctime>

#include "graphics/IPopupMenu.h"
#include "graphics/Timer.h"

namespace {

std::string Texts(const IPopupMenu& menu) {
  std::string s;
  for (int i = 0; i < menu.GetNItems(); ++i) s += std::string(menu.GetItemText(i)) + ";";
  return s;
}

TEST(PopupMenu, InsertPositionsAreClamped) {
  IPopupMenu menu;
  menu.AddItem("a");
  menu.AddItem("b");
  menu.AddItem("c");
  menu.AddItem(new IPopupMenuItem("first"), 0);
  menu.AddItem(new IPopupMenuItem("last"), 7);
  menu.AddItem(new IPopupMenuItem("front"), -5);
  menu.AddItem("mid", 3, IPopupMenuItem::kDisabled);
  menu.AddSeparator(-1);
  EXPECT_EQ(Texts(menu), "front;first;a;mid;b;c;last;;");
  EXPECT_FALSE(menu.GetItem(3)->GetEnabled());
  EXPECT_TRUE(menu.GetItem(7)->GetIsSeparator());
  EXPECT_EQ(menu.GetItem(8), nullptr);
  EXPECT_EQ(menu.GetItem(-1), nullptr);
}

TEST(PopupMenu, SubmenusAreReferencedNotOwned) {
  IPopupMenu sub;
  sub.AddItem("inner");
  {
    IPopupMenu menu;
    IPopupMenuItem* item = menu.AddItem("more", &sub);
    EXPECT_EQ(item->GetSubmenu(), &sub);
    EXPECT_EQ(item->GetFlags(), 0);
  }
  EXPECT_STREQ(sub.GetItemText(0), "inner");  // still alive after its parent went
}

TEST(PopupMenu, PrefixAcceptsOnlyZeroToThree) {
  IPopupMenu menu;
  menu.SetPrefix(2);
  menu.SetPrefix(4);
  EXPECT_EQ(menu.GetPrefix(), 2);
  menu.SetPrefix(-1);
  EXPECT_EQ(menu.GetPrefix(), 2);
  menu.SetPrefix(0);
  EXPECT_EQ(menu.GetPrefix(), 0);
}

TEST(PopupMenu, CheckingItems) {
  IPopupMenu menu;
  menu.AddItem("a", -1, IPopupMenuItem::kChecked);
  menu.AddItem("b", -1, IPopupMenuItem::kTitle);
  menu.AddItem("c", -1, IPopupMenuItem::kChecked);
  menu.CheckItemAlone(1);
  EXPECT_FALSE(menu.IsItemChecked(0));
  EXPECT_TRUE(menu.IsItemChecked(1));
  EXPECT_FALSE(menu.IsItemChecked(2));
  EXPECT_TRUE(menu.GetItem(1)->GetIsTitle());  // other flags survive

  EXPECT_FALSE(menu.CheckItem(10, true));
  EXPECT_FALSE(menu.IsItemChecked(10));
  EXPECT_TRUE(menu.CheckItem(1, false));
  EXPECT_FALSE(menu.IsItemChecked(1));
  EXPECT_EQ(menu.GetChosenItemIdx(), -1);
}

void BurnProcessorTime(double seconds) {
  std::clock_t start = std::clock();
  volatile double sink = 0.0;
  while ((double)(std::clock() - start) < seconds * CLOCKS_PER_SEC) sink = sink + 1.0;
}

TEST(Timer, AnswersOncePerElapsedPeriodOfProcessorTime) {
  Timer timer;
  EXPECT_FALSE(timer.Every(0.05));
  BurnProcessorTime(0.06);
  EXPECT_TRUE(timer.Every(0.05));
  EXPECT_FALSE(timer.Every(0.05));
  BurnProcessorTime(0.06);
  EXPECT_TRUE(timer.Every(0.05));
}

}  // namespace
