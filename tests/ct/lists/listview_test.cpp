// The framed list view: the last column filling the client width, the
// state colours on screen, context menus from clicks and keys (one a
// click), check-state vetoes, wheel steps, info tips and the row-click
// label edit rule.
#include <gtest/gtest.h>

#include "listview_fixture.h"
#include "vcl/controls/scripting.h"
#include "vcl/window_pixel.h"
#include "win/window/display.h"

namespace qelo::ct::test {
namespace {

using namespace vcl;
namespace script = vcl::script;
using vcl::test::ClickAt;
using vcl::test::PixelAt;

// ---- the last column ----------------------------------------------------------------

struct FillCase {
  const char* name;
  int width;          // of the control (a 2-pixel edge each side)
  bool items;         // the list has rows
  int firstWidths;    // of "Name" and "Size" together: 100 + this - 100
  int expectedLast;   // width of "Kind" afterwards
};

class LastColumnTest : public ListViewTest, public ::testing::WithParamInterface<FillCase> {};

TEST_P(LastColumnTest, TakesWhatTheOtherColumnsLeave) {
  const FillCase& c = GetParam();
  MakeList(c.items ? std::vector<std::string>{"alpha"} : std::vector<std::string>{});
  list->Columns()->Items(0)->SetWidth(c.firstWidths - 60);
  list->SetWidth(c.width);  // a new size fills again
  EXPECT_EQ(list->Columns()->Items(2)->Width(), c.expectedLast);
}

// Client width is width - 4; without rows a scroll bar's 16 pixels are kept free.
INSTANTIATE_TEST_SUITE_P(
    Widths, LastColumnTest,
    ::testing::Values(FillCase{"FillsTheGap", 304, true, 160, 140},
                      FillCase{"KeepsRoomForAScrollBarWithoutRows", 304, false, 160, 124},
                      FillCase{"SmallGapGivesFive", 304, true, 297, 5},
                      FillCase{"GapOfFiveIsKept", 304, true, 295, 5},
                      FillCase{"GapOfSixIsTaken", 304, true, 294, 6},
                      FillCase{"FullWidthLeavesItAlone", 304, true, 300, 80},
                      FillCase{"WiderColumnsLeaveItAlone", 304, true, 420, 80},
                      FillCase{"ShrinksToTheGap", 200, true, 160, 36}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ListViewTest, LastColumnIsLeftAloneWhenNotFillingOrNotInReportView) {
  MakeList();
  list->SetFillLastColumn(false);
  list->SetWidth(400);
  EXPECT_EQ(list->Columns()->Items(2)->Width(), 80);
  list->SetFillLastColumn(true);  // turning it on fills at once
  EXPECT_EQ(list->Columns()->Items(2)->Width(), 396 - 160);
  list->Columns()->Items(2)->SetWidth(50);
  list->SetViewStyle(vsSmallIcon);
  list->SetWidth(300);
  EXPECT_EQ(list->Columns()->Items(2)->Width(), 50);
}

TEST_F(ListViewTest, DraggingADividerFillsTheLastColumnAgain) {
  MakeList();
  EXPECT_EQ(list->Columns()->Items(2)->Width(), 80);
  vcl::test::DragAt(*list, HeaderPoint(0, 99), HeaderPoint(0, 79));  // "Name" 20 pixels narrower
  EXPECT_EQ(list->Columns()->Items(0)->Width(), 80);
  EXPECT_EQ(list->Columns()->Items(2)->Width(), 296 - 140);
}

// ---- colours ------------------------------------------------------------------------

TEST_F(ListViewTest, StateColoursAreWhatTheRowsArePaintedOn) {
  MakeList();
  auto* other = new TCtListView(form);
  other->SetBounds(10, 220, 100, 40);
  other->SetParent(form);
  list->SetFocusColor(clYellow);
  list->SetDisabledColor(clSilver);
  const TPoint beside = Point(230, RowPoint(0).y);  // in the row's last cell, right of its text
  EXPECT_EQ(PixelAt(*list, beside), ColorToRGB(clWindow));

  list->SetEnabled(false);
  EXPECT_EQ(list->Color(), clSilver);
  EXPECT_EQ(PixelAt(*list, beside), ColorToRGB(clSilver));
  EXPECT_EQ(PixelAt(*list, Point(150, 180)), ColorToRGB(clSilver)) << "below the rows too";

  list->SetEnabled(true);
  EXPECT_EQ(list->Color(), clWindow);
  script::Focus(*list);
  EXPECT_EQ(list->Color(), clYellow);
  EXPECT_EQ(PixelAt(*list, Point(150, 180)), ColorToRGB(clYellow));
  script::Focus(*other);
  EXPECT_EQ(list->Color(), clWindow);
  EXPECT_EQ(win::SendMessage(list->Handle(), win::LVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(ColorToRGB(clWindow)));
}

TEST_F(ListViewTest, TheFrameSitsInTheNonClientEdge) {
  MakeList();
  list->SetFramingPreference(fpCustomFraming);
  list->SetFrameColor(clRed);
  EXPECT_EQ(list->ClientWidth(), list->Width() - 4);
  const win::HWND window = list->Handle();
  list->SetFrameVisible(true);
  EXPECT_NE(list->Handle(), window) << "showing the frame makes the window again";
  EXPECT_EQ(list->Items()->Count(), 3);
  script::Pump();
  EXPECT_EQ(qelo::test::WindowPixel(form->Handle(), list->Left(), list->Top() + 50), ColorToRGB(clRed));
  EXPECT_EQ(qelo::test::WindowPixel(form->Handle(), list->Left() + 2, list->Top() + 100), ColorToRGB(clWindow));
}

TEST_F(ListViewTest, AControllerShowsTheFrameWithoutMakingTheWindowAgain) {
  MakeList();
  TCtFrameController controller(form);
  controller.SetFrameVisible(true);
  controller.SetFrameColor(clMaroon);
  const win::HWND window = list->Handle();
  list->SetFrameController(&controller);
  EXPECT_TRUE(list->FrameVisible());
  EXPECT_EQ(list->FrameColor(), clMaroon);
  EXPECT_EQ(list->Handle(), window) << "the controller's push keeps the window";
  list->SetFrameController(nullptr);
  list->SetFrameVisible(false);
  EXPECT_NE(list->Handle(), window) << "a change of the list's own does make it again";
}

// ---- context menus --------------------------------------------------------------------

class ContextMenuTest : public ListViewTest {
 protected:
  void SetUp() override {
    ListViewTest::SetUp();
    MakeList();
    list->SetPopupMenu(CountingMenu("pmList"));
    itemMenu = CountingMenu("pmItem");
    list->OnItemContextMenu = [this](TObject*, TListItem* item, TPoint& p, TPopupMenu*& menu) {
      asked.push_back((item ? item->Caption() : "none") + "@" + std::to_string(p.x) + "," + std::to_string(p.y));
      if (replaceMenu) menu = itemMenu;
    };
  }
  std::string At(TPoint p) const { return std::to_string(p.x) + "," + std::to_string(p.y); }
  TPoint IconCentre(int row) const {
    const TRect r = list->Items()->Item(row)->DisplayRect(drIcon);
    return Point((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  vcl::TPopupMenu* itemMenu = nullptr;
  bool replaceMenu = false;
  std::vector<std::string> asked;
};

TEST_F(ContextMenuTest, ARightClickOnAnItemShowsOneMenuAtTheClick) {
  const TPoint p = RowPoint(1);
  ClickAt(*list, p, true);
  EXPECT_EQ(asked, std::vector<std::string>{"Beta@" + At(p)});
  EXPECT_EQ(popupsFor, std::vector<std::string>{"pmList:lvFiles"});
  EXPECT_TRUE(list->Items()->Item(1)->Selected());

  replaceMenu = true;
  ClickAt(*list, RowPoint(2), true);
  EXPECT_EQ(popupsFor, (std::vector<std::string>{"pmList:lvFiles", "pmItem:lvFiles"}))
      << "the event chose the other menu";
}

TEST_F(ContextMenuTest, ARightClickBesideTheItemsWithNoFocusedItemShowsTheOwnMenuOnce) {
  ClickAt(*list, Point(150, 170), true);
  EXPECT_TRUE(asked.empty());
  EXPECT_EQ(popupsFor, std::vector<std::string>{"pmList:lvFiles"});

  bool offered = false;
  list->OnContextPopup = [&](TObject*, TPoint, bool& handled) { offered = handled = true; };
  ClickAt(*list, Point(150, 170), true);
  EXPECT_TRUE(offered);
  EXPECT_EQ(popups, 1) << "OnContextPopup took the click";
}

TEST_F(ContextMenuTest, ARightClickBesideTheItemsWithAFocusedItemShowsItsMenuAtItsIcon) {
  list->Items()->Item(2)->SetFocused(true);
  ClickAt(*list, Point(150, 170), true);
  EXPECT_EQ(asked, std::vector<std::string>{"gamma@" + At(IconCentre(2))});
  EXPECT_EQ(popups, 1);
}

TEST_F(ContextMenuTest, MenuKeyAndShiftF10OpenTheFocusedItemsMenuAtItsIcon) {
  script::Focus(*list);
  script::PressKey(win::VK_APPS);
  EXPECT_EQ(popupsFor, std::vector<std::string>{"pmList:lvFiles"}) << "no item focused: the own menu";
  EXPECT_TRUE(asked.empty());

  list->Items()->Item(1)->SetSelected(true);
  list->Items()->Item(1)->SetFocused(true);
  script::PressKey(win::VK_F10, TShiftState{ssShift});
  EXPECT_EQ(asked, std::vector<std::string>{"Beta@" + At(IconCentre(1))});
  script::PressKey(win::VK_APPS);
  EXPECT_EQ(asked.size(), 2u);
  EXPECT_EQ(popups, 3) << "one menu for each key";

  // A menu message after one the control has shown shows nothing, until
  // the next right click.
  win::SendMessage(list->Handle(), win::WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list->Handle()), -1);
  EXPECT_EQ(popups, 3);
  ClickAt(*list, RowPoint(1), true);
  EXPECT_EQ(popups, 4);
}

TEST_F(ContextMenuTest, AMenuMessageWithoutASelectionIsIgnored) {
  const TPoint s = list->ClientToScreen(RowPoint(0));
  win::SendMessage(list->Handle(), win::WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list->Handle()),
                   win::MAKELPARAM(s.x, s.y));
  EXPECT_EQ(popups, 0);
  list->Items()->Item(0)->SetSelected(true);
  list->Items()->Item(0)->SetFocused(true);
  win::SendMessage(list->Handle(), win::WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list->Handle()),
                   win::MAKELPARAM(s.x, s.y));
  EXPECT_EQ(asked, std::vector<std::string>{"alpha@" + At(RowPoint(0))});
  EXPECT_EQ(popups, 1);
}

// ---- check marks ---------------------------------------------------------------------

TEST_F(ListViewTest, CheckStateChangesCanBeRefusedAndAreReportedWhenMade) {
  MakeList();
  list->SetCheckboxes(true);
  std::vector<std::string> journal;
  bool allow = false;
  list->OnCheckStateChanging = [&](TObject*, TListItem* item, bool toBeChecked, bool& allowChange) {
    journal.push_back(item->Caption() + (toBeChecked ? " to checked" : " to unchecked"));
    allowChange = allow;
  };
  list->OnCheckStateChange = [&](TObject*, TListItem* item) {
    journal.push_back(item->Caption() + (item->Checked() ? " checked" : " unchecked"));
  };
  const TPoint box = RowPoint(0, 8);  // the check box cell
  ClickAt(*list, box);
  EXPECT_FALSE(list->Items()->Item(0)->Checked());
  EXPECT_EQ(journal, std::vector<std::string>{"alpha to checked"});

  allow = true;
  journal.clear();
  ClickAt(*list, box);
  EXPECT_TRUE(list->Items()->Item(0)->Checked());
  list->Items()->Item(0)->SetChecked(false);
  EXPECT_EQ(journal, (std::vector<std::string>{"alpha to checked", "alpha checked", "alpha to unchecked",
                                               "alpha unchecked"}));
  journal.clear();
  list->Items()->Item(1)->SetSelected(true);
  EXPECT_TRUE(journal.empty()) << "other state changes are no check changes";
}

// ---- the wheel -----------------------------------------------------------------------

class WheelTest : public ListViewTest {
 protected:
  void SetUp() override {
    ListViewTest::SetUp();
    std::vector<std::string> rows;
    for (int i = 0; i < 40; ++i) rows.push_back("row " + std::to_string(i));
    MakeList(rows);
    script::Focus(*list);
  }
  void Wheel(int notches) {
    const TPoint s = list->ClientToScreen(Point(50, 50));
    win::InjectMouseWheel(notches * win::WHEEL_DELTA, win::POINT{s.x, s.y});
    script::Pump();
  }
  int RowHeight() const { return RectHeight(list->Items()->Item(0)->DisplayRect(drBounds)); }
};

// A notch is 16 pixels a wheel line (32 in the icon view): three lines of
// 16 pixels, rounded up to whole rows.
TEST_F(WheelTest, ANotchScrollsAFixedStepAndTouchesNoSelection) {
  int selections = 0;
  list->OnSelectItem = [&](TObject*, TListItem*, bool) { ++selections; };
  const int rows = (48 + RowHeight() - 1) / RowHeight();
  Wheel(-1);
  EXPECT_EQ(TopRow(), rows);
  Wheel(-2);
  EXPECT_EQ(TopRow(), 3 * rows);
  Wheel(3);
  EXPECT_EQ(TopRow(), 0);
  Wheel(1);
  EXPECT_EQ(TopRow(), 0) << "stops at the top";
  EXPECT_EQ(list->SelCount(), 0) << "wheeling up from no selection selects nothing";
  EXPECT_EQ(list->ItemFocused(), nullptr);
  EXPECT_EQ(selections, 0);

  list->SetViewStyle(vsIcon);
  script::Focus(*list);
  Wheel(-1);
  EXPECT_EQ(TopRow(), (96 + RowHeight() - 1) / RowHeight());
}

// ---- info tips -----------------------------------------------------------------------

TEST_F(ListViewTest, InfoTipShowsBelowTheItemUnderTheMouse) {
  MakeList();
  auto tip = [&]() -> THintWindow* {
    for (int i = 0; i < list->ComponentCount(); ++i)
      if (auto* h = dynamic_cast<THintWindow*>(list->Components(i))) return h;
    return nullptr;
  };
  script::MoveMouse(*list, RowPoint(1));
  EXPECT_EQ(tip(), nullptr) << "no tips without OnInfoTip";

  list->OnInfoTip = [](TObject*, TListItem* item, std::string& text) { text = item->Caption() + " (tip)"; };
  script::MoveMouse(*list, RowPoint(1, 30));
  ASSERT_NE(tip(), nullptr);
  EXPECT_TRUE(tip()->Visible());
  EXPECT_EQ(tip()->Caption(), "Beta (tip)");
  const TRect bounds = list->Items()->Item(1)->DisplayRect(drBounds);
  const TPoint expected = list->ClientToScreen(Point(bounds.left + 5, bounds.bottom - 3));
  EXPECT_EQ(tip()->Left(), expected.x);
  EXPECT_EQ(tip()->Top(), expected.y);

  script::MoveMouse(*list, Point(150, 170));
  EXPECT_FALSE(tip()->Visible()) << "no item under the mouse";
}

// ---- label edits ----------------------------------------------------------------------

TEST_F(ListViewTest, WithRowSelectionAClickEditsOnlyOnTheLabel) {
  MakeList();
  list->SetReadOnly(false);
  list->SetRowSelect(true);
  script::Pump();
  int edits = 0;
  list->OnEditing = [&](TObject*, TListItem*, bool&) { ++edits; };
  auto editBox = [&] { return win::SendMessage(list->Handle(), win::LVM_GETEDITCONTROL, 0, 0) != 0; };
  const TPoint sizeCell = RowPoint(0, 130);
  ClickAt(*list, sizeCell);
  ClickAt(*list, RowPoint(0, 145));  // a second click on the selected row starts an edit
  EXPECT_FALSE(editBox()) << "a click on another column is no label click";
  EXPECT_EQ(edits, 0);

  list->SetEditOnRowClick(true);
  ClickAt(*list, sizeCell);
  EXPECT_TRUE(editBox());
  script::PressKey(win::VK_ESCAPE);
  list->SetEditOnRowClick(false);

  ClickAt(*list, RowPoint(0, 30));
  EXPECT_TRUE(editBox()) << "on the label";
  script::PressKey(win::VK_ESCAPE);
  script::MoveMouse(*list, Point(150, 170));
  script::PressKey(0x71);  // F2 with the mouse elsewhere
  EXPECT_TRUE(editBox()) << "the keyboard edits wherever the mouse is";
  script::PressKey(win::VK_ESCAPE);
}

}  // namespace
}  // namespace qelo::ct::test
