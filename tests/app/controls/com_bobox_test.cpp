#include "qelo_com_bobox.h"

#include <chrono>
#include <string>
#include <vector>

#include "controls_fixture.h"
#include "vcl/controls/scripting.h"
#include "win/window/display.h"

namespace qelo::controls::test {
namespace {

using vcl::TRect;

class ComBoboxTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    win::SetHeadlessScreenSize(win::SIZE{1024, 768});
    popup = new TQeloComBobox(nullptr);
    popup->OnSelectItem = [this](vcl::TObject*, const std::string& caption, int group, int item) {
      chosen.push_back(caption + " " + std::to_string(group) + "/" + std::to_string(item));
    };
  }
  void TearDown() override {
    popup->DestroyPopup();
    ControlTest::TearDown();
  }
  // `groups` groups named "Group n", group n with `items[n]` formats.
  void Fill(const std::vector<int>& items) {
    for (size_t g = 0; g < items.size(); ++g) {
      TComboxStrList* group = popup->AddGroup();
      group->Caption = "Group " + std::to_string(g);
      for (int i = 0; i < items[g]; ++i)
        group->AddItem("Format " + std::to_string(g) + "." + std::to_string(i),
                       "A description long enough to be wrapped onto a second line of its row.", nullptr, 0);
    }
  }
  void Open() {
    popup->PopupAt(100, 100, form, 24);
    Pump();
  }
  static bool Same(const TRect& a, const TRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  }
  TQeloComBobox* popup = nullptr;
  std::vector<std::string> chosen;
};

TEST_F(ComBoboxTest, VisibleRowsRoundHalvesToEven) {
  struct Rows {
    int height, groupRows, itemRows;
  };
  // (H - 12) / 25 - 0.5 and (H - 12) / 50 - 0.5, halves to the even side.
  const Rows cases[] = {
      {180, 6, 3},  // 6.22 and 2.86
      {62, 2, 0},   // 1.5 -> 2, 0.5 -> 0
      {87, 2, 1},   // 2.5 -> 2, 1.0
      {112, 4, 2},  // 3.5 -> 4, 1.5 -> 2
      {137, 4, 2},  // 4.5 -> 4, 2.0
      {400, 15, 7}, // 15.02 and 7.26
      {12, 0, 0},   // -0.5 -> 0
  };
  for (const Rows& c : cases) {
    popup->SetHeight(c.height);
    EXPECT_EQ(popup->GroupRows(), c.groupRows) << c.height;
    EXPECT_EQ(popup->ItemRows(), c.itemRows) << c.height;
  }
}

TEST_F(ComBoboxTest, AreaRectanglesOfTheRowsAndArrows) {
  // 500 x 180, type column 200; the arrows are 5 high, their backdrop 7.
  struct Area {
    int row;
    TQeloComBobox::TAreaKind kind;
    TRect expected;
  };
  const Area cases[] = {
      {0, TQeloComBobox::akGroupRow, {20, 3, 182, 28}},
      {2, TQeloComBobox::akGroupRow, {20, 53, 182, 78}},
      {1, TQeloComBobox::akItemRow, {239, 53, 494, 103}},
      {1, TQeloComBobox::akItemDescription, {241, 73, 494, 103}},
      {0, TQeloComBobox::akGroupsUp, {2, 2, 199, 7}},
      {0, TQeloComBobox::akGroupsDown, {2, 174, 199, 179}},
      {0, TQeloComBobox::akItemsUp, {202, 2, 498, 9}},
      {0, TQeloComBobox::akItemsDown, {202, 174, 498, 179}},
  };
  for (const Area& c : cases) {
    const TRect r = popup->GetAreaRect(c.row, c.kind);
    EXPECT_TRUE(Same(r, c.expected)) << "kind " << c.kind << " row " << c.row << ": " << r.left << "," << r.top
                                     << "," << r.right << "," << r.bottom;
  }
}

TEST_F(ComBoboxTest, HoveringAGroupShowsItsItemsFromTheFirst) {
  Fill({3, 5, 2});
  Open();
  MoveTo(*popup, 100, 60);  // Round(2.4 - 0.5) = 2
  EXPECT_EQ(popup->HotGroup(), 2);
  MoveTo(*popup, 100, 150);  // below the last group: kept at its row
  EXPECT_EQ(popup->HotGroup(), 2);
  MoveTo(*popup, 100, 50);  // Round(2.0 - 0.5) = 1.5 -> 2
  EXPECT_EQ(popup->HotGroup(), 2);
  MoveTo(*popup, 100, 49);  // Round(1.46) = 1
  EXPECT_EQ(popup->HotGroup(), 1);
  MoveTo(*popup, 300, 120);  // items: Round(2.4 - 0.5) = 2
  EXPECT_EQ(popup->HotItem(), 2);
  MoveTo(*popup, 300, 175);  // at most ItemRows - 1
  EXPECT_EQ(popup->HotItem(), 2);
  popup->Repaint();
  Pump();
  Screenshot(popup->Handle(), "app-profile-drop-down");
}

TEST_F(ComBoboxTest, RestingOnTheDownArrowScrollsOneGroupEachTickUntilTheLastShows) {
  Fill({1, 1, 1, 1, 1, 1, 1, 1, 1});  // nine groups, six rows
  Open();
  EXPECT_FALSE(popup->Scrolling());
  const auto started = std::chrono::steady_clock::now();
  MoveTo(*popup, 100, 176);  // the groups' down arrow
  EXPECT_TRUE(popup->Scrolling());
  EXPECT_EQ(popup->ScrollDir(), TQeloComBobox::sdGroupsDown);
  ASSERT_TRUE(vcl::script::PumpUntil([&] { return popup->FirstGroup() == 3; }, 5000));
  // Three steps took at least two timer intervals after the first.
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(2 * 300));
  vcl::script::PumpUntil([] { return false; }, 400);
  EXPECT_EQ(popup->FirstGroup(), 3);  // the last group shows: no further
  MoveTo(*popup, 100, 100);
  EXPECT_FALSE(popup->Scrolling());
  popup->Repaint();
  Pump();
  Screenshot(popup->Handle(), "app-profile-drop-down-scrolled");
}

TEST_F(ComBoboxTest, TheWheelScrollsTheColumnUnderTheMouse) {
  Fill({1, 1, 1, 1, 1, 1, 1, 1, 8});
  Open();
  MoveTo(*popup, 100, 60);
  const auto wheel = [&](int delta) {
    win::InjectMouseWheel(delta, win::POINT{popup->Left() + 100, popup->Top() + 60});
    Pump();
  };
  wheel(-120);
  wheel(-120);
  EXPECT_EQ(popup->FirstGroup(), 2);
  wheel(120);
  EXPECT_EQ(popup->FirstGroup(), 1);
  // Row Round(6.8 - 0.5) = 6 of the rows from group 1: group 7.
  MoveTo(*popup, 100, 170);
  EXPECT_EQ(popup->FirstGroup() + popup->HotGroup(), 7);
}

TEST_F(ComBoboxTest, MovingToAnotherGroupStartsItsItemsAtTheFirst) {
  Fill({9, 9});
  Open();
  MoveTo(*popup, 100, 10);  // group 0
  MoveTo(*popup, 300, 100);
  const auto wheel = [&](int delta) {
    win::InjectMouseWheel(delta, win::POINT{popup->Left() + 300, popup->Top() + 100});
    Pump();
  };
  wheel(-120);
  wheel(-120);
  EXPECT_EQ(popup->FirstItem(), 2);
  MoveTo(*popup, 100, 35);  // group 1
  EXPECT_EQ(popup->FirstItem(), 0);
}

TEST_F(ComBoboxTest, ClickingAnItemHidesThePopupAndReportsIt) {
  Fill({2, 3});
  Open();
  MoveTo(*popup, 100, 35);  // group 1
  Press(*popup, 300, 60);   // Round(1.2 - 0.5) = 1
  EXPECT_FALSE(popup->Visible());
  EXPECT_EQ(chosen, (std::vector<std::string>{"Format 1.1 1/1"}));
  EXPECT_EQ(popup->SelGroup(), 1);
  EXPECT_EQ(popup->SelItem(), 1);
  EXPECT_EQ(win::GetCapture(), nullptr);
}

TEST_F(ComBoboxTest, ClicksBelowAShortGroupOrInTheGroupColumnDoNothing) {
  Fill({2});
  Open();
  MoveTo(*popup, 100, 10);
  Press(*popup, 300, 140);  // row 2 of a group of two
  Release(*popup, 300, 140);
  Press(*popup, 100, 10);
  Release(*popup, 100, 10);
  EXPECT_TRUE(popup->Visible());
  EXPECT_TRUE(chosen.empty());
  EXPECT_EQ(win::GetCapture(), popup->Handle());
}

TEST_F(ComBoboxTest, EscapeAndClicksOutsideHideWithoutAChoice) {
  Fill({2, 3});
  Open();
  MoveTo(*popup, 100, 35);
  Press(*popup, 300, 10);  // chooses 1/0
  ASSERT_EQ(chosen.size(), 1u);
  Open();
  vcl::script::PressKey(win::VK_ESCAPE);
  EXPECT_FALSE(popup->Visible());
  EXPECT_EQ(popup->SelGroup(), 1);
  EXPECT_EQ(popup->SelItem(), 0);
  Open();
  Press(*popup, -20, 40);  // outside the popup: the capture brings it here
  EXPECT_FALSE(popup->Visible());
  EXPECT_EQ(chosen.size(), 1u);
  EXPECT_EQ(win::GetCapture(), nullptr);
}

TEST_F(ComBoboxTest, ThePopupOpensAboveTheButtonNearTheBottomAndStaysOnTheWorkArea) {
  struct Placement {
    int x, y, left, top;
  };
  const TRect work = vcl::Screen()->WorkAreaRect();
  const int w = popup->Width(), h = popup->Height();  // 500 x 180
  const Placement cases[] = {
      {100, 100, 100, 100},
      {100, work.bottom - h, 100, work.bottom - h - h - 30},       // no room below: above the 30-pixel button
      {100, work.bottom - h - 1, 100, work.bottom - h - 1},        // just room
      {work.right - w, 100, work.right - w, 100},                  // W >= width - X: moved to end at the edge
      {work.right - w + 40, 100, work.right - w, 100},
      {work.right - w - 1, 100, work.right - w - 1, 100},
      {work.left - 50, 100, work.left, 100},
  };
  for (const Placement& c : cases) {
    popup->PopupAt(c.x, c.y, form, 30);
    Pump();
    EXPECT_EQ(popup->Left(), c.left) << c.x << "," << c.y;
    EXPECT_EQ(popup->Top(), c.top) << c.x << "," << c.y;
    popup->HidePopup();
  }
}

TEST_F(ComBoboxTest, FormFilesCreateItByClassName) {
  const vcl::ClassInfo* info = vcl::FindClass("TQeloComBobox");
  ASSERT_NE(info, nullptr);
  auto* made = dynamic_cast<TQeloComBobox*>(info->Create(nullptr));
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->Width(), 500);
  EXPECT_EQ(made->Height(), 180);
  EXPECT_FALSE(made->Visible());
  EXPECT_EQ(vcl::GetOrdProp(*made, "TypeWidth"), 200);
  EXPECT_NE(vcl::GetObjectProp(*made, "Brush"), nullptr);
  made->DestroyPopup();
}

}  // namespace
}  // namespace qelo::controls::test
