#include "controls_fixture.h"
#include "win/controls/listbox.h"

namespace qelo::win::test {
namespace {

class ListBoxTest : public ControlsTest {
 public:
  // A list of five rows' height (each row is LB_GETITEMHEIGHT high).
  HWND MakeList(DWORD style, std::initializer_list<const char*> items, int rows = 5) {
    HWND list = Make(WC_LISTBOX, style, RECT{10, 10, 160, 10});
    rowHeight_ = static_cast<int>(SendMessage(list, LB_GETITEMHEIGHT, 0, 0));
    SetWindowPos(list, nullptr, 0, 0, 150, rows * rowHeight_, SWP_NOMOVE | SWP_NOZORDER);
    for (const char* item : items) SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    Pump();
    TakeNotes();
    return list;
  }
  POINT Row(int index) const { return POINT{20, index * rowHeight_ + rowHeight_ / 2}; }
  std::vector<int> Selected(HWND list) {
    int32_t items[32];
    const LRESULT n = SendMessage(list, LB_GETSELITEMS, 32, reinterpret_cast<LPARAM>(items));
    return n < 0 ? std::vector<int>{} : std::vector<int>(items, items + n);
  }
  void ClickWith(int modifier, HWND list, int row) {
    Key(modifier, true);
    InjectMouseMove(POINT{});
    Click(list, Row(row));
    Key(modifier, false);
  }

  int rowHeight_ = 0;
};

const std::initializer_list<const char*> kFive = {"alpha", "beta", "gamma", "delta", "epsilon"};

TEST_F(ListBoxTest, AClickSelectsOnceAndADragNotifiesOnRelease) {
  HWND list = MakeList(LBS_NOTIFY, kFive);
  Click(list, Row(2));
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(TakeNotes(), (std::vector<Note>{Command(LBN_SETFOCUS), Command(LBN_SELCHANGE)}));
  Click(list, Row(2));
  EXPECT_EQ(TakeNotes(), std::vector<Note>{Command(LBN_DBLCLK)}) << "the same item again is a double click";
  Press(list, Row(0));
  MoveTo(list, Row(1));
  MoveTo(list, Row(3));
  EXPECT_TRUE(TakeNotes().empty());
  Release(list, Row(3));
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 3);
  EXPECT_EQ(TakeNotes(), std::vector<Note>{Command(LBN_SELCHANGE)});
  SendMessage(list, LB_SETCURSEL, 0, 0);
  EXPECT_TRUE(TakeNotes().empty()) << "selection in code is silent";
}

TEST_F(ListBoxTest, MultipleSelectionStyles) {
  struct Step {
    int modifier;  // 0, VK_SHIFT or VK_CONTROL
    int row;
  };
  struct Case {
    const char* name;
    DWORD style;
    std::vector<Step> clicks;
    std::vector<int> selected;
  } cases[] = {
      {"multiple: clicks toggle", LBS_MULTIPLESEL, {{0, 1}, {0, 3}, {0, 1}}, {3}},
      {"extended: a click selects only it", LBS_EXTENDEDSEL, {{0, 1}, {0, 3}}, {3}},
      {"extended: shift selects from the anchor", LBS_EXTENDEDSEL, {{0, 1}, {VK_SHIFT, 3}}, {1, 2, 3}},
      {"extended: control toggles", LBS_EXTENDEDSEL, {{0, 1}, {VK_CONTROL, 3}, {VK_CONTROL, 1}}, {3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND list = MakeList(LBS_NOTIFY | c.style, kFive);
    for (const Step& s : c.clicks) {
      if (s.modifier) ClickWith(s.modifier, list, s.row);
      else Click(list, Row(s.row));
    }
    EXPECT_EQ(Selected(list), c.selected);
    EXPECT_EQ(SendMessage(list, LB_GETSELCOUNT, 0, 0), static_cast<LRESULT>(c.selected.size()));
    EXPECT_EQ(SendMessage(list, LB_SETCURSEL, 0, 0), LB_ERR);
    DestroyWindow(list);
  }
}

TEST_F(ListBoxTest, KeysMoveTheSelectionAndTypingFindsTheNextMatch) {
  HWND list = MakeList(LBS_NOTIFY, {"apple", "banana", "blueberry", "cherry"});
  SetFocus(list);
  TakeNotes();
  struct Case {
    std::function<void()> action;
    LRESULT selected;
    bool notified;
  } cases[] = {
      {[&] { Tap(VK_DOWN); }, 0, true},   {[&] { Tap(VK_END); }, 3, true},  {[&] { Tap(VK_DOWN); }, 3, false},
      {[&] { Type("b"); }, 1, true},      {[&] { Type("b"); }, 2, true},    {[&] { Type("z"); }, 2, false},
      {[&] { Tap(VK_HOME); }, 0, true},   {[&] { Tap(VK_UP); }, 0, false},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    cases[i].action();
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), cases[i].selected) << "step " << i;
    EXPECT_EQ(TakeNotes().size(), cases[i].notified ? 1u : 0u) << "step " << i;
  }
}

TEST_F(ListBoxTest, SortedItemsFindingAndDeleting) {
  HWND list = MakeList(LBS_SORT, {"pear", "Apple", "fig", "banana"});
  char text[16];
  const char* expected[] = {"Apple", "banana", "fig", "pear"};
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(SendMessage(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text)), static_cast<LRESULT>(strlen(expected[i])));
    EXPECT_STREQ(text, expected[i]);
  }
  auto find = [&](UINT message, int start, const char* s) { return SendMessage(list, message, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(s)); };
  EXPECT_EQ(find(LB_FINDSTRING, -1, "APP"), 0);
  EXPECT_EQ(find(LB_FINDSTRING, 0, "a"), 0) << "wraps round to the start";
  EXPECT_EQ(find(LB_FINDSTRING, -1, "x"), LB_ERR);
  EXPECT_EQ(find(LB_FINDSTRINGEXACT, -1, "fi"), LB_ERR);
  EXPECT_EQ(find(LB_FINDSTRINGEXACT, -1, "FIG"), 2);
  SendMessage(list, LB_SETCURSEL, 2, 0);
  EXPECT_EQ(SendMessage(list, LB_DELETESTRING, 0, 0), 3);
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 1) << "the selection follows its item";
  SendMessage(list, LB_DELETESTRING, 1, 0);
  EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), LB_ERR);
  EXPECT_EQ(SendMessage(list, LB_DELETESTRING, 7, 0), LB_ERR);
  EXPECT_EQ(SendMessage(list, LB_GETTEXT, 7, reinterpret_cast<LPARAM>(text)), LB_ERR);
}

TEST_F(ListBoxTest, ItemsWithDataAreReportedWhenDeleted) {
  std::vector<UINT_PTR> deleted;
  onMessage_ = [&](UINT message, WPARAM, LPARAM l, LRESULT*) {
    if (message != WM_DELETEITEM) return false;
    deleted.push_back(reinterpret_cast<const DELETEITEMSTRUCT*>(l)->itemData);
    return true;
  };
  HWND list = MakeList(0, {"a", "b", "c"});
  SendMessage(list, LB_SETITEMDATA, 0, 11);
  SendMessage(list, LB_SETITEMDATA, 2, 33);
  SendMessage(list, LB_DELETESTRING, 0, 0);
  EXPECT_EQ(deleted, std::vector<UINT_PTR>{11});
  DestroyWindow(list);
  EXPECT_EQ(deleted, (std::vector<UINT_PTR>{11, 33}));
}

TEST_F(ListBoxTest, ScrollsToKeepTheCaretInViewAndFollowsItsBar) {
  HWND list = MakeList(WS_VSCROLL, {});
  for (int i = 0; i < 20; ++i) SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(i).c_str()));
  EXPECT_TRUE(GetWindowLongPtr(list, GWL_STYLE) & WS_VSCROLL);
  SetFocus(list);
  Tap(VK_END);
  EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 15);
  EXPECT_EQ(GetScrollPos(list, SB_VERT), 15);
  SendMessage(list, WM_VSCROLL, (4 << 16) | SB_THUMBPOSITION, 0);
  EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 4);
  EXPECT_EQ(GetScrollPos(list, SB_VERT), 4);
  SendMessage(list, WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 0);
  SendMessage(list, LB_RESETCONTENT, 0, 0);
  EXPECT_FALSE(GetWindowLongPtr(list, GWL_STYLE) & WS_VSCROLL) << "nothing left to scroll";
}

TEST_F(ListBoxTest, OwnerDrawnItemsAreMeasuredAndDrawnByTheParent) {
  std::vector<std::pair<UINT, UINT>> drawn;  // item, state
  onMessage_ = [&](UINT message, WPARAM, LPARAM l, LRESULT*) {
    if (message == WM_MEASUREITEM) {
      auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
      EXPECT_EQ(m->CtlType, ODT_LISTBOX);
      m->itemHeight = 20;
      return true;
    }
    if (message == WM_DRAWITEM) {
      const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
      EXPECT_EQ(d->CtlType, ODT_LISTBOX);
      EXPECT_EQ(d->rcItem.top, static_cast<int>(d->itemID) * 20);
      drawn.emplace_back(d->itemID, d->itemState & ODS_SELECTED);
      return true;
    }
    return false;
  };
  HWND list = MakeList(LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, {"a", "b", "c"});
  EXPECT_EQ(SendMessage(list, LB_GETITEMHEIGHT, 0, 0), 20);
  SendMessage(list, LB_SETCURSEL, 1, 0);
  drawn.clear();
  UpdateWindow(list);
  EXPECT_EQ(drawn, (std::vector<std::pair<UINT, UINT>>{{0, 0}, {1, ODS_SELECTED}, {2, 0}}));
}

TEST_F(ListBoxTest, DrawsTheSelectedRowHighlighted) {
  HWND list = MakeList(0, kFive);
  SendMessage(list, LB_SETCURSEL, 1, 0);
  EXPECT_EQ(Pixel(list, POINT{140, Row(1).y}), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(Pixel(list, POINT{140, Row(2).y}), GetSysColor(COLOR_WINDOW));
}

}  // namespace
}  // namespace qelo::win::test
