// The list view: clicks, right clicks, check boxes and header clicks with
// their notifications in order, vetoes, custom and owner drawing stages
// with their rectangles, rows sized by the small image list, items and
// columns, callbacks, sorting, scrolling, keys and info tips.
#include <gtest/gtest.h>

#include <string>

#include "canvas.h"
#include "list_fixture.h"
#include "win/controls/lists/listview.h"
#include "win/window/scrollbars.h"

namespace qelo::win::test {
namespace {

void DecodeList(const NMHDR* n, Event* e) {
  if (n->code >= HDN_FIRST - 99 && n->code <= HDN_FIRST) {
    e->item = reinterpret_cast<const NMHEADER*>(n)->iItem;
    return;
  }
  switch (n->code) {
    case LVN_ITEMCHANGING: case LVN_ITEMCHANGED: case LVN_COLUMNCLICK: case LVN_INSERTITEM:
    case LVN_DELETEITEM: case LVN_DELETEALLITEMS: case LVN_BEGINDRAG: case LVN_BEGINRDRAG: {
      const auto* v = reinterpret_cast<const NMLISTVIEW*>(n);
      e->item = v->iItem;
      e->value = n->code == LVN_COLUMNCLICK ? v->iSubItem : static_cast<int>(v->uNewState);
      break;
    }
    case NM_CLICK: case NM_DBLCLK: case NM_RCLICK: case LVN_ITEMACTIVATE: {
      const auto* a = reinterpret_cast<const NMITEMACTIVATE*>(n);
      e->item = a->iItem;
      e->value = a->iSubItem;
      break;
    }
    case LVN_BEGINLABELEDIT: case LVN_ENDLABELEDIT: {
      const auto* d = reinterpret_cast<const NMLVDISPINFO*>(n);
      e->item = d->item.iItem;
      e->value = d->item.pszText != nullptr;
      break;
    }
    case LVN_GETINFOTIP: e->item = reinterpret_cast<const NMLVGETINFOTIP*>(n)->iItem; break;
    case LVN_KEYDOWN: e->value = reinterpret_cast<const NMLVKEYDOWN*>(n)->wVKey; break;
    default: break;
  }
}

constexpr UINT kSelFocus = LVIS_SELECTED | LVIS_FOCUSED;

class ListViewTest : public ::testing::Test {
 protected:
  void SetUp() override { Make(0, 0); }
  void Make(DWORD style, DWORD exStyle) {
    if (list) DestroyWindow(list);
    list = CreateWindowEx(0, WC_LISTVIEW, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | style, 0, 0,
                          300, 200, parent.window(), nullptr);
    ASSERT_NE(list, nullptr);
    SendMessage(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(exStyle));
    AddColumn("Name", 100);
    AddColumn("Size", 80);
    for (const char* name : {"alpha", "beta", "gamma"}) AddItem(name);
    SetFocus(list);
    PumpMessages();
    parent.events.clear();
    parent.drawn.clear();
  }
  void AddColumn(const char* text, int width) {
    LVCOLUMN c;
    c.mask = LVCF_TEXT | LVCF_WIDTH;
    c.pszText = const_cast<char*>(text);
    c.cx = width;
    SendMessage(list, LVM_INSERTCOLUMN, 99, reinterpret_cast<LPARAM>(&c));
  }
  int AddItem(const char* text, char* size = nullptr) {
    LVITEM item;
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = 999;
    item.pszText = const_cast<char*>(text);
    item.lParam = 10 + SendMessage(list, LVM_GETITEMCOUNT, 0, 0);
    const int index = static_cast<int>(SendMessage(list, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item)));
    LVITEM sub;
    sub.iSubItem = 1;
    sub.pszText = size ? size : const_cast<char*>("1 KB");
    SendMessage(list, LVM_SETITEMTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&sub));
    return index;
  }
  UINT State(int index, UINT mask = 0xFFFF) {
    return static_cast<UINT>(SendMessage(list, LVM_GETITEMSTATE, static_cast<WPARAM>(index), mask));
  }
  void SetState(int index, UINT state, UINT mask) {
    LVITEM item;
    item.state = state;
    item.stateMask = mask;
    SendMessage(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  }
  RECT ItemRect(int index, int part) {
    RECT r;
    r.left = part;
    SendMessage(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return r;
  }
  RECT SubItemRect(int index, int sub) {
    RECT r;
    r.top = sub;
    r.left = LVIR_BOUNDS;
    SendMessage(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return r;
  }
  POINT LabelCentre(int index) {
    const RECT r = ItemRect(index, LVIR_LABEL);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  std::string Text(int index, int sub) {
    char buffer[64] = {};
    LVITEM item;
    item.iSubItem = sub;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessage(list, LVM_GETITEMTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return buffer;
  }
  ListParent parent{&DecodeList};
  HWND list = nullptr;
};

// ---- scripted input ------------------------------------------------------

enum class Act { Click, RightClick, DoubleClick, ClickCheck, ClickHeader, CtrlClick, ShiftClick, Drag, RightDrag };
struct Action {
  Act act;
  int row;  // row, or header column for ClickHeader; -1: below the rows
};

struct ScriptCase {
  const char* name;
  DWORD exStyle;
  int preselected;  // selected and focused before the script, -1 none
  std::vector<Action> actions;
  std::map<UINT, LRESULT> answers;
  std::vector<Event> expected;  // WM_CONTEXTMENU events are compared by kind only
  std::vector<UINT> statesAfter;
};

class ListViewScriptTest : public ListViewTest, public ::testing::WithParamInterface<ScriptCase> {};

TEST_P(ListViewScriptTest, NotifiesInOrder) {
  const ScriptCase& c = GetParam();
  Make(0, c.exStyle);
  if (c.preselected >= 0) SetState(c.preselected, kSelFocus, kSelFocus);
  parent.events.clear();
  parent.answers = c.answers;
  for (const Action& a : c.actions) {
    POINT p = a.row >= 0 ? LabelCentre(a.row) : POINT{50, 190};
    if (a.act == Act::ClickCheck) p.x = ItemRect(a.row, LVIR_ICON).left - 8;
    if (a.act == Act::ClickHeader) p = POINT{a.row * 100 + 40, 5};
    switch (a.act) {
      case Act::RightClick: parent.Click(p, true); break;
      case Act::Drag: case Act::RightDrag: {
        const bool right = a.act == Act::RightDrag;
        parent.Press(p, right);
        parent.Move(POINT{p.x + 20, p.y + 20});
        parent.Release(POINT{p.x + 20, p.y + 20}, right);
        break;
      }
      case Act::DoubleClick: parent.DoubleClick(p); break;
      case Act::CtrlClick: case Act::ShiftClick: {
        const int key = a.act == Act::CtrlClick ? VK_CONTROL : VK_SHIFT;
        InjectKey(key, true);
        parent.Click(p);
        InjectKey(key, false);
        PumpMessages();
        break;
      }
      default: parent.Click(p); break;
    }
  }
  std::vector<Event> got = parent.events;
  std::erase_if(got, [](const Event& e) { return e.what == LVN_KEYDOWN || e.what == NM_CUSTOMDRAW; });
  for (Event& e : got)
    if (e.what == WM_CONTEXTMENU) e.item = e.value = 0;
  EXPECT_EQ(got, c.expected);
  for (size_t i = 0; i < c.statesAfter.size(); ++i)
    EXPECT_EQ(State(static_cast<int>(i)), c.statesAfter[i]) << "item " << i;
}

const Event kMenu{WM_CONTEXTMENU, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    Scripts, ListViewScriptTest,
    ::testing::Values(
        ScriptCase{"ClickSelectsAndFocusesTheRow", 0, -1, {{Act::Click, 1}}, {},
                   {{LVN_ITEMCHANGING, 1, kSelFocus}, {LVN_ITEMCHANGED, 1, kSelFocus},
                    {NM_CLICK, 1, 0}},
                   {0, kSelFocus, 0}},
        ScriptCase{"ClickMovesTheSelection", 0, 0, {{Act::Click, 2}}, {},
                   {{LVN_ITEMCHANGING, 0, 0}, {LVN_ITEMCHANGED, 0, 0},
                    {LVN_ITEMCHANGING, 2, kSelFocus}, {LVN_ITEMCHANGED, 2, kSelFocus},
                    {NM_CLICK, 2, 0}},
                   {0, 0, kSelFocus}},
        ScriptCase{"RefusedChangeKeepsTheState", 0, -1, {{Act::Click, 1}},
                   {{LVN_ITEMCHANGING, 1}},
                   {{LVN_ITEMCHANGING, 1, kSelFocus}, {NM_CLICK, 1, 0}}, {0, 0, 0}},
        ScriptCase{"ClickBesideTheItemsClearsTheSelection", 0, 1, {{Act::Click, -1}}, {},
                   {{LVN_ITEMCHANGING, 1, 0}, {LVN_ITEMCHANGED, 1, 0}, {NM_CLICK, -1, 0}},
                   {0, LVIS_FOCUSED, 0}},
        ScriptCase{"RightClickGivesRClickThenContextMenu", 0, -1, {{Act::RightClick, 2}}, {},
                   {{LVN_ITEMCHANGING, 2, kSelFocus}, {LVN_ITEMCHANGED, 2, kSelFocus},
                    {NM_RCLICK, 2, 0}, kMenu},
                   {0, 0, kSelFocus}},
        ScriptCase{"AnsweredRClickHasNoContextMenu", 0, 2, {{Act::RightClick, 2}},
                   {{NM_RCLICK, 1}}, {{NM_RCLICK, 2, 0}}, {0, 0, kSelFocus}},
        ScriptCase{"DragStartsInsteadOfAClick", 0, -1, {{Act::Drag, 1}}, {},
                   {{LVN_ITEMCHANGING, 1, kSelFocus}, {LVN_ITEMCHANGED, 1, kSelFocus},
                    {LVN_BEGINDRAG, 1, 0}},
                   {0, kSelFocus, 0}},
        ScriptCase{"RightDragHasNoMenu", 0, -1, {{Act::RightDrag, 1}}, {},
                   {{LVN_ITEMCHANGING, 1, kSelFocus}, {LVN_ITEMCHANGED, 1, kSelFocus},
                    {LVN_BEGINRDRAG, 1, 0}},
                   {0, kSelFocus, 0}},
        ScriptCase{"DoubleClickActivates", 0, -1, {{Act::DoubleClick, 0}}, {},
                   {{LVN_ITEMCHANGING, 0, kSelFocus}, {LVN_ITEMCHANGED, 0, kSelFocus},
                    {NM_CLICK, 0, 0}, {NM_DBLCLK, 0, 0}, {LVN_ITEMACTIVATE, 0, 0}},
                   {kSelFocus, 0, 0}},
        ScriptCase{"CheckBoxClickToggles", LVS_EX_CHECKBOXES, -1, {{Act::ClickCheck, 0}}, {},
                   {{LVN_ITEMCHANGING, 0, LVIS_CHECKED}, {LVN_ITEMCHANGED, 0, LVIS_CHECKED},
                    {NM_CLICK, 0, 0}},
                   {LVIS_CHECKED, LVIS_UNCHECKED, LVIS_UNCHECKED}},
        ScriptCase{"CheckBoxOnASelectedRowReportsOnlyTheCheck", LVS_EX_CHECKBOXES, 0,
                   {{Act::ClickCheck, 0}}, {},
                   {{LVN_ITEMCHANGING, 0, LVIS_CHECKED}, {LVN_ITEMCHANGED, 0, LVIS_CHECKED},
                    {NM_CLICK, 0, 0}},
                   {kSelFocus | LVIS_CHECKED, LVIS_UNCHECKED, LVIS_UNCHECKED}},
        ScriptCase{"CheckBoxChangeRefused", LVS_EX_CHECKBOXES, -1, {{Act::ClickCheck, 0}},
                   {{LVN_ITEMCHANGING, 1}},
                   {{LVN_ITEMCHANGING, 0, LVIS_CHECKED}, {NM_CLICK, 0, 0}},
                   {LVIS_UNCHECKED, LVIS_UNCHECKED, LVIS_UNCHECKED}},
        ScriptCase{"HeaderClickIsAColumnClick", 0, -1,
                   {{Act::ClickHeader, 1}}, {},
                   {{HDN_ITEMCLICK, 1, 0}, {LVN_COLUMNCLICK, -1, 1}}, {0, 0, 0}},
        ScriptCase{"CtrlClickAddsShiftClickRanges", 0, 0,
                   {{Act::CtrlClick, 2}, {Act::ShiftClick, 1}}, {},
                   {{LVN_ITEMCHANGING, 0, 0}, {LVN_ITEMCHANGED, 0, 0},  // the focus leaves 0
                    {LVN_ITEMCHANGING, 2, kSelFocus}, {LVN_ITEMCHANGED, 2, kSelFocus},
                    {NM_CLICK, 2, 0},
                    {LVN_ITEMCHANGING, 0, 0}, {LVN_ITEMCHANGED, 0, 0},
                    {LVN_ITEMCHANGING, 1, LVIS_SELECTED}, {LVN_ITEMCHANGED, 1, LVIS_SELECTED},
                    {LVN_ITEMCHANGING, 2, 0}, {LVN_ITEMCHANGED, 2, 0},  // the focus leaves 2
                    {LVN_ITEMCHANGING, 1, LVIS_FOCUSED}, {LVN_ITEMCHANGED, 1, LVIS_FOCUSED},
                    {NM_CLICK, 1, 0}},
                   {0, kSelFocus, LVIS_SELECTED}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ListViewTest, SingleSelectionKeepsOneItemSelected) {
  Make(LVS_SINGLESEL, 0);
  SetState(0, LVIS_SELECTED, LVIS_SELECTED);
  SetState(2, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(State(0), 0u);
  EXPECT_EQ(State(2), LVIS_SELECTED);
  EXPECT_EQ(SendMessage(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
}

TEST_F(ListViewTest, ClickOutsideTheLabelNeedsFullRowSelect) {
  const POINT sizeCell{150, LabelCentre(1).y};
  parent.Click(sizeCell);
  EXPECT_EQ(State(1), 0u);
  Make(0, LVS_EX_FULLROWSELECT);
  parent.Click(sizeCell);
  EXPECT_EQ(State(1), kSelFocus);
  LVHITTESTINFO hit;
  hit.pt = sizeCell;
  EXPECT_EQ(SendMessage(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 1);
  EXPECT_EQ(hit.iSubItem, 1);
  EXPECT_EQ(hit.flags, LVHT_ONITEMLABEL);
}

TEST_F(ListViewTest, KeysMoveTheSelectionAndOpenTheMenu) {
  SetState(0, kSelFocus, kSelFocus);
  parent.events.clear();
  InjectKey(VK_DOWN, true);
  InjectKey(VK_DOWN, false);
  PumpMessages();
  EXPECT_EQ(State(1), kSelFocus);
  EXPECT_EQ(State(0), 0u);
  parent.events.clear();
  InjectKey(VK_APPS, true);
  InjectKey(VK_APPS, false);
  PumpMessages();
  ASSERT_FALSE(parent.events.empty());
  EXPECT_EQ(parent.events.back().what, static_cast<UINT>(WM_CONTEXTMENU));
}

// ---- drawing -------------------------------------------------------------

struct Stage {
  DWORD stage;
  int item;
  int subItem;
  RECT rc;
};

TEST_F(ListViewTest, CustomDrawReachesEveryStageWithItsRectangle) {
  std::vector<Stage> stages;
  parent.inspect = [&](NMHDR* n) {
    if (n->code != NM_CUSTOMDRAW) return;
    auto* d = reinterpret_cast<NMLVCUSTOMDRAW*>(n);
    stages.push_back({d->nmcd.dwDrawStage, static_cast<int>(d->nmcd.dwItemSpec), d->iSubItem,
                      d->nmcd.rc});
    switch (d->nmcd.dwDrawStage) {
      case CDDS_PREPAINT: parent.answers[NM_CUSTOMDRAW] = CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT; break;
      case CDDS_ITEMPREPAINT: parent.answers[NM_CUSTOMDRAW] = CDRF_NOTIFYSUBITEMDRAW | CDRF_NOTIFYPOSTPAINT; break;
      default: parent.answers[NM_CUSTOMDRAW] = CDRF_DODEFAULT; break;
    }
  };
  InvalidateRect(list, nullptr, 1);
  UpdateWindow(list);
  RECT client;
  GetClientRect(list, &client);
  std::vector<Stage> expected{{CDDS_PREPAINT, 0, 0, client}};
  for (int i = 0; i < 3; ++i) {
    expected.push_back({CDDS_ITEMPREPAINT, i, 0, ItemRect(i, LVIR_BOUNDS)});
    RECT first = SubItemRect(i, 1);
    first.left -= 100;
    first.right = first.left + 100;
    expected.push_back({CDDS_ITEMPREPAINT | CDDS_SUBITEM, i, 0, first});
    expected.push_back({CDDS_ITEMPREPAINT | CDDS_SUBITEM, i, 1, SubItemRect(i, 1)});
    expected.push_back({CDDS_ITEMPOSTPAINT, i, 0, ItemRect(i, LVIR_BOUNDS)});
  }
  expected.push_back({CDDS_POSTPAINT, 0, 0, client});
  ASSERT_EQ(stages.size(), expected.size());
  for (size_t i = 0; i < stages.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(stages[i].stage, expected[i].stage);
    EXPECT_EQ(stages[i].item, expected[i].item);
    EXPECT_EQ(stages[i].subItem, expected[i].subItem);
    EXPECT_TRUE(EqualRect(&stages[i].rc, &expected[i].rc))
        << stages[i].rc.left << "," << stages[i].rc.top << "," << stages[i].rc.right << ","
        << stages[i].rc.bottom;
  }
  EXPECT_EQ(ItemRect(1, LVIR_BOUNDS).right - ItemRect(1, LVIR_BOUNDS).left, 180);
}

TEST_F(ListViewTest, CustomDrawColoursAndSkipsItems) {
  const COLORREF paint = RGB(0, 128, 0);
  parent.inspect = [&](NMHDR* n) {
    if (n->code != NM_CUSTOMDRAW) return;
    auto* d = reinterpret_cast<NMLVCUSTOMDRAW*>(n);
    if (d->nmcd.dwDrawStage == CDDS_PREPAINT) parent.answers[NM_CUSTOMDRAW] = CDRF_NOTIFYITEMDRAW;
    if (d->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return;
    d->clrTextBk = paint;
    parent.answers[NM_CUSTOMDRAW] = d->nmcd.dwItemSpec == 1 ? CDRF_SKIPDEFAULT : CDRF_DODEFAULT;
  };
  InvalidateRect(list, nullptr, 1);
  const RECT row0 = ItemRect(0, LVIR_BOUNDS), row1 = ItemRect(1, LVIR_BOUNDS);
  EXPECT_EQ(ShownPixel(parent.window(), 150, row0.top + 1), paint);
  EXPECT_EQ(ShownPixel(parent.window(), 150, row1.top + 1), GetSysColor(COLOR_WINDOW));
}

TEST_F(ListViewTest, PaintsIntoTheContextThatComesWithTheMessage) {
  SetState(1, kSelFocus, kSelFocus);
  const RECT row1 = ItemRect(1, LVIR_LABEL), row0 = ItemRect(0, LVIR_LABEL);
  for (UINT message : {WM_PAINT, WM_PRINTCLIENT}) {
    qelo::test::Canvas canvas(300, 200, RGB(1, 2, 3));
    SendMessage(list, message, reinterpret_cast<WPARAM>(canvas.dc()), 0);
    EXPECT_EQ(canvas.At(row1.right - 3, row1.top + 2), GetSysColor(COLOR_HIGHLIGHT)) << message;
    EXPECT_EQ(canvas.At(row0.right - 3, row0.top + 2), GetSysColor(COLOR_WINDOW)) << message;
  }
}

TEST_F(ListViewTest, OwnerDrawnRowsAreDrawnByTheParent) {
  Make(LVS_OWNERDRAWFIXED, 0);
  SetState(1, LVIS_SELECTED, LVIS_SELECTED);
  parent.drawn.clear();
  InvalidateRect(list, nullptr, 1);
  UpdateWindow(list);
  ASSERT_EQ(parent.drawn.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    const DRAWITEMSTRUCT& d = parent.drawn[static_cast<size_t>(i)];
    const RECT bounds = ItemRect(i, LVIR_BOUNDS);
    EXPECT_EQ(d.CtlType, ODT_LISTVIEW);
    EXPECT_EQ(d.itemID, static_cast<UINT>(i));
    EXPECT_EQ(d.itemData, static_cast<UINT_PTR>(10 + i));
    EXPECT_TRUE(EqualRect(&d.rcItem, &bounds));
    EXPECT_EQ((d.itemState & 1) != 0, i == 1) << "selected state of row " << i;
  }
}

TEST_F(ListViewTest, RowsAreAsHighAsTheSmallImages) {
  const int textRows = ItemRect(0, LVIR_BOUNDS).bottom - ItemRect(0, LVIR_BOUNDS).top;
  EXPECT_LT(textRows, 20);
  HIMAGELIST images = ImageList_Create(16, 20, ILC_COLOR32, 1, 1);
  SendMessage(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
  const RECT row0 = ItemRect(0, LVIR_BOUNDS), row1 = ItemRect(1, LVIR_BOUNDS);
  EXPECT_EQ(row0.bottom - row0.top, 20);
  EXPECT_EQ(row1.top, row0.bottom);
  EXPECT_EQ(ItemRect(0, LVIR_ICON).right - ItemRect(0, LVIR_ICON).left, 16);
  EXPECT_EQ(ItemRect(0, LVIR_LABEL).left, ItemRect(0, LVIR_ICON).right);
  LVHITTESTINFO hit;
  hit.pt = POINT{50, row1.top + 19};
  EXPECT_EQ(SendMessage(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 1);
  hit.pt = POINT{50, row1.top + 20};
  EXPECT_EQ(SendMessage(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 2);
  DestroyWindow(list);  // not shared: the list view destroys it
  list = nullptr;
  EXPECT_EQ(ImageList_GetImageCount(images), 0);
  EXPECT_FALSE(ImageList_Destroy(images));
}

// ---- items and columns ------------------------------------------------------

TEST_F(ListViewTest, ItemsColumnsAndSearches) {
  EXPECT_EQ(Text(1, 0), "beta");
  EXPECT_EQ(Text(1, 1), "1 KB");
  EXPECT_EQ(Text(1, 5), "") << "sub-items never set are empty";
  LVCOLUMN c;
  char caption[16];
  c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  c.pszText = caption;
  c.cchTextMax = sizeof caption;
  ASSERT_TRUE(SendMessage(list, LVM_GETCOLUMN, 1, reinterpret_cast<LPARAM>(&c)));
  EXPECT_STREQ(caption, "Size");
  EXPECT_EQ(c.cx, 80);
  EXPECT_EQ(c.iSubItem, 1);
  SendMessage(list, LVM_SETCOLUMNWIDTH, 0, 60);
  EXPECT_EQ(SendMessage(list, LVM_GETCOLUMNWIDTH, 0, 0), 60);
  EXPECT_EQ(SubItemRect(0, 1).left, 60);

  LVFINDINFO find;
  find.flags = LVFI_PARAM;
  find.lParam = 12;
  EXPECT_EQ(SendMessage(list, LVM_FINDITEM, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)), 2);
  find.flags = LVFI_PARTIAL | LVFI_WRAP;
  find.psz = "BE";
  EXPECT_EQ(SendMessage(list, LVM_FINDITEM, 1, reinterpret_cast<LPARAM>(&find)), 1);

  SetState(0, LVIS_SELECTED, LVIS_SELECTED);
  SetState(2, kSelFocus, kSelFocus);
  EXPECT_EQ(SendMessage(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 0);
  EXPECT_EQ(SendMessage(list, LVM_GETNEXTITEM, 0, LVNI_SELECTED), 2);
  EXPECT_EQ(SendMessage(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 2);
  EXPECT_EQ(SendMessage(list, LVM_GETNEXTITEM, 2, LVNI_ALL | LVNI_ABOVE), 1);
}

TEST_F(ListViewTest, DeletingNotifiesBeforeTheItemGoes) {
  std::vector<LPARAM> seen;
  parent.inspect = [&](NMHDR* n) {
    if (n->code == LVN_DELETEITEM) seen.push_back(reinterpret_cast<NMLISTVIEW*>(n)->lParam);
  };
  ASSERT_TRUE(SendMessage(list, LVM_DELETEITEM, 1, 0));
  EXPECT_EQ(Text(1, 0), "gamma");
  EXPECT_FALSE(SendMessage(list, LVM_DELETEITEM, 5, 0));
  ASSERT_TRUE(SendMessage(list, LVM_DELETEALLITEMS, 0, 0));
  EXPECT_EQ(SendMessage(list, LVM_GETITEMCOUNT, 0, 0), 0);
  EXPECT_EQ(seen, (std::vector<LPARAM>{11, 10, 12}));
  EXPECT_EQ(parent.events[1].what, LVN_DELETEALLITEMS);
}

TEST_F(ListViewTest, CallbackTextIsAskedOfTheParent) {
  LVITEM item;
  item.mask = LVIF_TEXT;
  item.iItem = 0;
  item.pszText = LPSTR_TEXTCALLBACK;
  SendMessage(list, LVM_SETITEM, 0, reinterpret_cast<LPARAM>(&item));
  parent.inspect = [](NMHDR* n) {
    if (n->code != LVN_GETDISPINFO) return;
    auto* d = reinterpret_cast<NMLVDISPINFO*>(n);
    if (d->item.mask & LVIF_TEXT) std::snprintf(d->item.pszText, d->item.cchTextMax, "row %d", d->item.iItem);
  };
  EXPECT_EQ(Text(0, 0), "row 0");
  LVITEM got;
  got.mask = LVIF_TEXT;
  got.iItem = 0;
  SendMessage(list, LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&got));
  EXPECT_EQ(got.pszText, LPSTR_TEXTCALLBACK);
}

int CompareDescending(LPARAM a, LPARAM b, LPARAM sign) { return static_cast<int>((a - b) * sign); }

TEST_F(ListViewTest, SortingMovesItemsWithTheirStates) {
  SetState(0, kSelFocus, kSelFocus);
  ASSERT_TRUE(SendMessage(list, LVM_SORTITEMS, static_cast<WPARAM>(-1),
                          reinterpret_cast<LPARAM>(&CompareDescending)));
  EXPECT_EQ(Text(0, 0), "gamma");
  EXPECT_EQ(Text(2, 0), "alpha");
  EXPECT_EQ(State(2), kSelFocus);
  EXPECT_EQ(Text(2, 1), "1 KB");
}

TEST_F(ListViewTest, ColumnsStandInTheHeadersOrder) {
  int order[2] = {1, 0};
  ASSERT_TRUE(SendMessage(list, LVM_SETCOLUMNORDERARRAY, 2, reinterpret_cast<LPARAM>(order)));
  RECT size;
  size.top = 1;
  size.left = LVIR_BOUNDS;
  ASSERT_TRUE(SendMessage(list, LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&size)));
  EXPECT_EQ(size.left, 0);
  EXPECT_EQ(size.right, 80);
  RECT label;
  label.left = LVIR_LABEL;
  ASSERT_TRUE(SendMessage(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&label)));
  EXPECT_EQ(label.right, 180);
  LVHITTESTINFO hit;
  hit.pt = {40, size.top + 2};
  SendMessage(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  EXPECT_EQ(hit.iSubItem, 1);
  LVCOLUMN column;
  column.mask = LVCF_ORDER;
  ASSERT_TRUE(SendMessage(list, LVM_GETCOLUMN, 0, reinterpret_cast<LPARAM>(&column)));
  EXPECT_EQ(column.iOrder, 1);
  int back[2] = {};
  ASSERT_TRUE(SendMessage(list, LVM_GETCOLUMNORDERARRAY, 2, reinterpret_cast<LPARAM>(back)));
  EXPECT_EQ(back[0], 1);
}

TEST_F(ListViewTest, HeaderDragsColumnsOnlyWithHeaderDragDrop) {
  auto header = reinterpret_cast<HWND>(SendMessage(list, LVM_GETHEADER, 0, 0));
  EXPECT_FALSE(GetWindowLongPtr(header, GWL_STYLE) & HDS_DRAGDROP);
  EXPECT_TRUE(GetWindowLongPtr(header, GWL_STYLE) & HDS_FULLDRAG) << "widths follow a dragged divider";
  SendMessage(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_HEADERDRAGDROP, LVS_EX_HEADERDRAGDROP);
  EXPECT_TRUE(GetWindowLongPtr(header, GWL_STYLE) & HDS_DRAGDROP);
  parent.Press({40, 5});
  parent.Move({60, 5});
  parent.Move({150, 5});
  parent.Release({150, 5});
  int order[2] = {};
  ASSERT_TRUE(SendMessage(list, LVM_GETCOLUMNORDERARRAY, 2, reinterpret_cast<LPARAM>(order)));
  EXPECT_EQ(order[0], 1);
  EXPECT_EQ(order[1], 0);
  EXPECT_NE(std::find(parent.events.begin(), parent.events.end(), Event{HDN_ENDDRAG, 0, 0}), parent.events.end());
}

TEST_F(ListViewTest, CancelModeEndsAPress) {
  parent.Press({20, 30});
  EXPECT_EQ(GetCapture(), list);
  SendMessage(list, WM_CANCELMODE, 0, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  parent.events.clear();
  parent.Release({20, 30});
  EXPECT_TRUE(parent.events.empty()) << "no click after the mode ended";
}

TEST_F(ListViewTest, ScrollingMovesRowsAndClampsAtTheEnds) {
  for (int i = 0; i < 30; ++i) AddItem("more");
  const int row = ItemRect(0, LVIR_BOUNDS).bottom - ItemRect(0, LVIR_BOUNDS).top;
  const int page = static_cast<int>(SendMessage(list, LVM_GETCOUNTPERPAGE, 0, 0));
  EXPECT_GT(page, 3);
  SendMessage(list, LVM_SCROLL, 0, row * 2 + 1);
  EXPECT_EQ(SendMessage(list, LVM_GETTOPINDEX, 0, 0), 3) << "part rows count as whole rows";
  EXPECT_EQ(ItemRect(3, LVIR_BOUNDS).top, ItemRect(0, LVIR_BOUNDS).top + 3 * row);
  SendMessage(list, LVM_SCROLL, 0, -100 * row);
  EXPECT_EQ(SendMessage(list, LVM_GETTOPINDEX, 0, 0), 0);
  SendMessage(list, LVM_ENSUREVISIBLE, 32, 0);
  EXPECT_EQ(SendMessage(list, LVM_GETTOPINDEX, 0, 0), 33 - page);
  SendMessage(list, LVM_SCROLL, 0, 100 * row);
  EXPECT_EQ(SendMessage(list, LVM_GETTOPINDEX, 0, 0), 33 - page) << "never past the last page";
  InjectMouseWheel(WHEEL_DELTA, POINT{ListParent::kLeft + 50, ListParent::kTop + 100});
  PumpMessages();
  EXPECT_EQ(SendMessage(list, LVM_GETTOPINDEX, 0, 0), 30 - page);
}

TEST_F(ListViewTest, ScrollBarsFollowTheRowsAndDriveThem) {
  EXPECT_FALSE(GetWindowLongPtr(list, GWL_STYLE) & WS_VSCROLL) << "nothing to scroll yet";
  for (int i = 0; i < 30; ++i) AddItem("more");
  EXPECT_TRUE(GetWindowLongPtr(list, GWL_STYLE) & WS_VSCROLL);
  const int page = static_cast<int>(SendMessage(list, LVM_GETCOUNTPERPAGE, 0, 0));
  SCROLLINFO info;
  info.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(list, SB_VERT, &info));
  EXPECT_EQ(info.nMax, 32);
  EXPECT_EQ(info.nPage, static_cast<UINT>(page));
  struct Request {
    int code;
    int position;
    int top;
  };
  for (const Request& r : {Request{SB_LINEDOWN, 0, 1}, Request{SB_PAGEDOWN, 0, 1 + page},
                           Request{SB_THUMBPOSITION, 10, 10}, Request{SB_LINEUP, 0, 9},
                           Request{SB_BOTTOM, 0, 33 - page}, Request{SB_TOP, 0, 0}}) {
    SendMessage(list, WM_VSCROLL, static_cast<WPARAM>(r.code) | (static_cast<WPARAM>(r.position) << 16), 0);
    EXPECT_EQ(SendMessage(list, LVM_GETTOPINDEX, 0, 0), r.top) << "request " << r.code;
    EXPECT_EQ(GetScrollPos(list, SB_VERT), r.top) << "request " << r.code;
  }
  AddColumn("Wide", 400);
  EXPECT_TRUE(GetWindowLongPtr(list, GWL_STYLE) & WS_HSCROLL);
  SendMessage(list, WM_HSCROLL, SB_THUMBPOSITION | (50 << 16), 0);
  EXPECT_EQ(ItemRect(0, LVIR_BOUNDS).left, -50) << "rows move left with the bar";
  RECT header;
  GetWindowRect(reinterpret_cast<HWND>(SendMessage(list, LVM_GETHEADER, 0, 0)), &header);
  POINT origin{0, 0};
  ClientToScreen(list, &origin);
  EXPECT_EQ(header.left - origin.x, -50) << "and so does the header";
}

TEST_F(ListViewTest, InfoTipAsksTheParentForACutLabel) {
  Make(0, LVS_EX_INFOTIP);
  std::string offered;
  DWORD flags = 0;
  parent.inspect = [&](NMHDR* n) {
    if (n->code != LVN_GETINFOTIP) return;
    auto* tip = reinterpret_cast<NMLVGETINFOTIP*>(n);
    offered = tip->pszText;
    flags = tip->dwFlags;
  };
  char longName[] = "a name far too long for its narrow column";
  LVITEM item;
  item.pszText = longName;
  SendMessage(list, LVM_SETITEMTEXT, 1, reinterpret_cast<LPARAM>(&item));
  parent.Move(LabelCentre(0));
  EXPECT_EQ(flags, LVGIT_UNFOLDED);
  EXPECT_EQ(offered, "");
  parent.Move(LabelCentre(1));
  EXPECT_EQ(flags, 0u);
  EXPECT_EQ(offered, longName);
}

}  // namespace
}  // namespace qelo::win::test
