// The list view's groups and owner data: the rows items show in under
// their groups' headers (collapsed and hidden groups, the group view off),
// the keys that walk the rows, the header row's look; an owner-data list
// that asks its parent for every text, says what it will paint, lets the
// parent find items and tells a range selection at once.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/composed_window.h"
#include "list_fixture.h"
#include "win/controls/lists/listview.h"

namespace qelo::win::test {
namespace {

struct Hint {
  int from, to;
};

class ListViewGroupsTest : public ::testing::Test {
 protected:
  ListViewGroupsTest()
      : parent([this](const NMHDR* n, Event* e) {
          if (n->code == LVN_ODCACHEHINT) hints.push_back({reinterpret_cast<const NMLVCACHEHINT*>(n)->iFrom,
                                                           reinterpret_cast<const NMLVCACHEHINT*>(n)->iTo});
          if (n->code == LVN_ODSTATECHANGED) {
            const auto* c = reinterpret_cast<const NMLVODSTATECHANGE*>(n);
            e->item = c->iFrom;
            e->value = c->iTo;
          }
        }) {}
  void Make(DWORD style = 0) {
    list = CreateWindowEx(0, WC_LISTVIEW, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | style, 0, 0, 300, 200,
                          parent.window(), nullptr);
    ASSERT_NE(list, nullptr);
    LVCOLUMN c;
    c.mask = LVCF_TEXT | LVCF_WIDTH;
    c.pszText = const_cast<char*>("Name");
    c.cx = 200;
    SendMessage(list, LVM_INSERTCOLUMN, 0, reinterpret_cast<LPARAM>(&c));
    SetFocus(list);
  }
  void AddGroup(int id, const char* header) {
    LVGROUP g;
    g.mask = LVGF_GROUPID | LVGF_HEADER;
    g.iGroupId = id;
    g.pszHeader = header;
    SendMessage(list, LVM_INSERTGROUP, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&g));
  }
  void AddItem(const char* text, int group) {
    LVITEM item;
    item.mask = LVIF_TEXT | LVIF_GROUPID;
    item.iItem = 999;
    item.pszText = const_cast<char*>(text);
    item.iGroupId = group;
    SendMessage(list, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item));
  }
  // The item shown at row n (the list's client coordinates), or -1.
  int ItemAtRow(int row) {
    RECT r;
    r.left = LVIR_BOUNDS;
    SendMessage(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    const int height = r.bottom - r.top;
    LVHITTESTINFO hit;
    hit.pt = POINT{20, HeaderHeight() + row * height + height / 2};
    return static_cast<int>(SendMessage(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  }
  int HeaderHeight() {
    RECT r;
    GetWindowRect(reinterpret_cast<HWND>(SendMessage(list, LVM_GETHEADER, 0, 0)), &r);
    return r.bottom - r.top;
  }
  std::vector<int> ShownRows(int rows) {
    std::vector<int> shown;
    for (int row = 0; row < rows; ++row) shown.push_back(ItemAtRow(row));
    return shown;
  }
  int Focused() { return static_cast<int>(SendMessage(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)); }
  void Key(int key) {
    SendMessage(list, WM_KEYDOWN, static_cast<WPARAM>(key), 0);
    PumpMessages();
  }
  void SetGroupState(int id, UINT state) {
    LVGROUP g;
    g.mask = LVGF_STATE;
    g.stateMask = LVGS_COLLAPSED | LVGS_HIDDEN;
    g.state = state;
    SendMessage(list, LVM_SETGROUPINFO, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&g));
  }

  std::vector<Hint> hints;
  ListParent parent;
  HWND list = nullptr;
};

// Items 0 "b1" and 2 "b2" in group 2; 1 "a1" and 4 "a2" in group 1; 3 in
// none. Group 1 comes first.
class GroupedList : public ListViewGroupsTest {
 protected:
  void SetUp() override {
    Make();
    AddGroup(1, "Videos");
    AddGroup(2, "Music");
    AddItem("b1", 2);
    AddItem("a1", 1);
    AddItem("b2", 2);
    AddItem("loose", I_GROUPIDNONE);
    AddItem("a2", 1);
  }
};

TEST_F(GroupedList, ItemsShowUnderTheirGroupsHeadersInTheGroupsOrder) {
  EXPECT_EQ(ShownRows(5), (std::vector<int>{0, 1, 2, 3, 4})) << "the group view is off";
  EXPECT_EQ(SendMessage(list, LVM_ENABLEGROUPVIEW, 1, 0), 1);
  EXPECT_EQ(SendMessage(list, LVM_ISGROUPVIEWENABLED, 0, 0), 1);
  EXPECT_EQ(ShownRows(7), (std::vector<int>{-1, 1, 4, -1, 0, 2, -1})) << "an item of no group does not show";
  EXPECT_EQ(SendMessage(list, LVM_GETGROUPCOUNT, 0, 0), 2);

  SetGroupState(1, LVGS_COLLAPSED);
  EXPECT_EQ(ShownRows(5), (std::vector<int>{-1, -1, 0, 2, -1})) << "a collapsed group shows its header only";
  SetGroupState(1, LVGS_HIDDEN);
  EXPECT_EQ(ShownRows(4), (std::vector<int>{-1, 0, 2, -1})) << "a hidden group shows nothing";

  SetGroupState(1, LVGS_NORMAL);
  LVITEM move;
  move.mask = LVIF_GROUPID;
  move.iItem = 3;
  move.iGroupId = 1;
  SendMessage(list, LVM_SETITEM, 0, reinterpret_cast<LPARAM>(&move));
  EXPECT_EQ(ShownRows(4), (std::vector<int>{-1, 1, 3, 4})) << "an item moved into a group shows in it";
  SendMessage(list, LVM_REMOVEGROUP, 1, 0);
  EXPECT_EQ(ShownRows(4), (std::vector<int>{-1, 0, 2, -1}));
}

TEST_F(GroupedList, KeysWalkTheItemsInTheOrderTheyShow) {
  SendMessage(list, LVM_ENABLEGROUPVIEW, 1, 0);
  Key(VK_HOME);
  EXPECT_EQ(Focused(), 1);
  std::vector<int> walked;
  for (int i = 0; i < 4; ++i) {
    Key(VK_DOWN);
    walked.push_back(Focused());
  }
  EXPECT_EQ(walked, (std::vector<int>{4, 0, 2, 2})) << "over the header, and no further than the last";
  Key(VK_UP);
  Key(VK_UP);
  EXPECT_EQ(Focused(), 4);
  Key(VK_END);
  EXPECT_EQ(Focused(), 2);
}

TEST_F(GroupedList, HeaderRowShowsItsTextAndALineInTheHotLightColour) {
  SendMessage(list, LVM_ENABLEGROUPVIEW, 1, 0);
  UpdateWindow(list);
  PumpMessages();
  RECT item;
  item.left = LVIR_BOUNDS;
  SendMessage(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
  const int rowHeight = item.bottom - item.top;
  const int headerTop = item.top - rowHeight;
  const COLORREF ink = GetSysColor(COLOR_HOTLIGHT), paper = GetSysColor(COLOR_WINDOW);
  auto distance = [](COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
           std::abs(GetBValue(a) - GetBValue(b));
  };
  const qelo::test::ComposedWindow shown(parent.window());
  int inkLeft = -1, inkRight = -1;
  for (int x = 0; x < 300; ++x)
    for (int y = headerTop; y < headerTop + rowHeight; ++y) {
      const COLORREF p = shown.Pixel(x, y);
      if (distance(p, ink) >= distance(p, paper)) continue;
      if (inkLeft < 0) inkLeft = x;
      inkRight = x;
    }
  EXPECT_GE(inkLeft, 4) << "the header's text starts 4 pixels in";
  EXPECT_LE(inkLeft, 6);
  EXPECT_GT(inkRight, 250) << "the line runs on to the right edge";
  EXPECT_EQ(shown.Pixel(inkRight, headerTop + rowHeight / 2), ink) << "a line of the header's colour";
}

// ---- owner data ------------------------------------------------------------------

class OwnerDataList : public ListViewGroupsTest {
 protected:
  void SetUp() override {
    Make(LVS_OWNERDATA);
    parent.inspect = [this](NMHDR* n) {
      if (n->code == LVN_GETDISPINFO) {
        auto* info = reinterpret_cast<NMLVDISPINFO*>(n);
        asked.push_back(info->item.iItem);
        if (info->item.mask & LVIF_TEXT) {
          const std::string text = "row " + std::to_string(info->item.iItem) + "." + std::to_string(info->item.iSubItem);
          snprintf(info->item.pszText, static_cast<size_t>(info->item.cchTextMax), "%s", text.c_str());
        }
        if (info->item.mask & LVIF_IMAGE) info->item.iImage = -1;
      }
      if (n->code == LVN_ODFINDITEM) {
        auto* find = reinterpret_cast<NMLVFINDITEM*>(n);
        findStart = find->iStart;
        findText = find->lvfi.psz ? find->lvfi.psz : "";
      }
    };
  }
  std::vector<int> asked;
  int findStart = -1;
  std::string findText;
};

TEST_F(OwnerDataList, CountIsTheParentsAndEveryTextIsAskedFor) {
  EXPECT_EQ(SendMessage(list, LVM_ENABLEGROUPVIEW, 1, 0), -1) << "an owner-data list shows no groups";
  EXPECT_EQ(SendMessage(list, LVM_SETITEMCOUNT, 100000, 0), 1);
  EXPECT_EQ(SendMessage(list, LVM_GETITEMCOUNT, 0, 0), 100000);
  char buffer[32] = {};
  LVITEM text;
  text.iSubItem = 1;
  text.pszText = buffer;
  text.cchTextMax = sizeof buffer;
  SendMessage(list, LVM_GETITEMTEXT, 70000, reinterpret_cast<LPARAM>(&text));
  EXPECT_STREQ(buffer, "row 70000.1") << "a sub-item too";
  LVITEM insert;
  insert.mask = LVIF_TEXT;
  insert.pszText = const_cast<char*>("mine");
  EXPECT_EQ(SendMessage(list, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&insert)), -1) << "the parent keeps the items";

  hints.clear();
  InvalidateRect(list, nullptr, 1);
  UpdateWindow(list);
  ASSERT_FALSE(hints.empty());
  EXPECT_EQ(hints.back().from, 0);
  RECT r;
  r.left = LVIR_BOUNDS;
  SendMessage(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_GE(hints.back().to, (200 - HeaderHeight()) / (r.bottom - r.top) - 1) << "the rows on the page";
  EXPECT_LT(hints.back().to, 20);
}

TEST_F(OwnerDataList, FindingAsksTheParentAndARangeSelectsAtOnce) {
  SendMessage(list, LVM_SETITEMCOUNT, 50, 0);
  parent.answers[LVN_ODFINDITEM] = 42;
  LVFINDINFO find;
  find.flags = LVFI_STRING;
  find.psz = "row 42";
  EXPECT_EQ(SendMessage(list, LVM_FINDITEM, 9, reinterpret_cast<LPARAM>(&find)), 42);
  EXPECT_EQ(findStart, 10);
  EXPECT_EQ(findText, "row 42");
  parent.answers[LVN_ODFINDITEM] = 500;
  EXPECT_EQ(SendMessage(list, LVM_FINDITEM, 0, reinterpret_cast<LPARAM>(&find)), -1) << "no such item";

  Key(VK_HOME);
  parent.events.clear();
  InjectKey(VK_SHIFT, true);
  for (int i = 0; i < 3; ++i) {
    InjectKey(VK_DOWN, true);
    InjectKey(VK_DOWN, false);
  }
  InjectKey(VK_SHIFT, false);
  PumpMessages();
  EXPECT_EQ(SendMessage(list, LVM_GETSELECTEDCOUNT, 0, 0), 4);
  std::vector<Event> ranges;
  for (const Event& e : parent.events)
    if (e.what == LVN_ODSTATECHANGED) ranges.push_back(e);
  EXPECT_EQ(ranges, (std::vector<Event>{{LVN_ODSTATECHANGED, 0, 1}, {LVN_ODSTATECHANGED, 0, 2}, {LVN_ODSTATECHANGED, 0, 3}}))
      << "each step told as one range";
}

}  // namespace
}  // namespace qelo::win::test
