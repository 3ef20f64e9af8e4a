// The tree view: expanding and collapsing by button, key and message with
// their notifications, vetoes, selection, item rectangles and hit tests
// at a set item height, callbacks, deletion moving the selection, custom
// draw stages, right clicks and sorting.
#include <gtest/gtest.h>

#include <string>

#include "list_fixture.h"
#include "win/controls/lists/control_data.h"
#include "win/controls/lists/treeview.h"
#include "win/window/scrollbars.h"

namespace qelo::win::test {
namespace {

// Each node's lParam is its number; events carry the numbers of the
// nodes concerned (item: new or deleted node, value: old node).
void DecodeTree(const NMHDR* n, Event* e) {
  switch (n->code) {
    case TVN_SELCHANGING: case TVN_SELCHANGED: case TVN_ITEMEXPANDING: case TVN_ITEMEXPANDED:
    case TVN_DELETEITEM: case TVN_BEGINDRAG: case TVN_BEGINRDRAG: {
      const auto* t = reinterpret_cast<const NMTREEVIEW*>(n);
      const bool deleted = n->code == TVN_DELETEITEM;
      e->item = static_cast<int>(deleted ? t->itemOld.lParam : t->itemNew.lParam);
      e->value = n->code == TVN_ITEMEXPANDING || n->code == TVN_ITEMEXPANDED
                     ? static_cast<int>(t->action)
                     : static_cast<int>(deleted ? 0 : t->itemOld.lParam);
      break;
    }
    case TVN_BEGINLABELEDIT: case TVN_ENDLABELEDIT: {
      const auto* d = reinterpret_cast<const NMTVDISPINFO*>(n);
      e->item = static_cast<int>(d->item.lParam);
      e->value = d->item.pszText != nullptr;
      break;
    }
    default: break;
  }
}

class TreeViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree = CreateWindowEx(0, WC_TREEVIEW, "",
                          WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                              TVS_EDITLABELS | TVS_SHOWSELALWAYS,
                          0, 0, 200, 160, parent.window(), nullptr);
    ASSERT_NE(tree, nullptr);
    SendMessage(tree, TVM_SETITEMHEIGHT, 20, 0);
    // 1 "Music" { 2 "Rock", 3 "Jazz" }, 4 "Video" { 5 "Clips" }, 6 "Empty"
    music = Add(nullptr, "Music", 1);
    rock = Add(music, "Rock", 2);
    jazz = Add(music, "Jazz", 3);
    video = Add(nullptr, "Video", 4);
    clips = Add(video, "Clips", 5);
    empty = Add(nullptr, "Empty", 6);
    SetFocus(tree);
    PumpMessages();
    parent.events.clear();
  }
  HTREEITEM Add(HTREEITEM under, const char* text, int number, HTREEITEM after = TVI_LAST) {
    TVINSERTSTRUCT in;
    in.hParent = under ? under : TVI_ROOT;
    in.hInsertAfter = after;
    in.item.mask = TVIF_TEXT | TVIF_PARAM;
    in.item.pszText = const_cast<char*>(text);
    in.item.lParam = number;
    return reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&in)));
  }
  bool Rect(HTREEITEM item, bool textOnly, RECT* r) {
    PutItemInRect(r, item);
    return SendMessage(tree, TVM_GETITEMRECT, textOnly, reinterpret_cast<LPARAM>(r)) != 0;
  }
  RECT TextRect(HTREEITEM item) {
    RECT r{};
    Rect(item, true, &r);
    return r;
  }
  HTREEITEM Selected() {
    return reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  }
  bool Expanded(HTREEITEM item) {
    return SendMessage(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) != 0;
  }
  std::vector<Event> TreeEvents() {
    std::vector<Event> got;
    for (const Event& e : parent.events)
      if (e.what != NM_CUSTOMDRAW && e.what != TVN_KEYDOWN && e.what != NM_SETFOCUS &&
          e.what != NM_KILLFOCUS)
        got.push_back(e);
    return got;
  }
  ListParent parent{&DecodeTree};
  HWND tree = nullptr;
  HTREEITEM music, rock, jazz, video, clips, empty;
};

TEST_F(TreeViewTest, RowsFollowTheItemHeightAndExpansion) {
  EXPECT_EQ(SendMessage(tree, TVM_GETITEMHEIGHT, 0, 0), 20);
  EXPECT_EQ(SendMessage(tree, TVM_GETCOUNT, 0, 0), 6);
  RECT r;
  EXPECT_FALSE(Rect(rock, false, &r)) << "hidden under a collapsed node";
  ASSERT_TRUE(Rect(video, false, &r));
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.bottom, 40);
  EXPECT_EQ(r.right, 200);
  SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(music));
  ASSERT_TRUE(Rect(video, false, &r));
  EXPECT_EQ(r.top, 60);
  const RECT child = TextRect(rock), top = TextRect(music);
  EXPECT_EQ(child.left - top.left, SendMessage(tree, TVM_GETINDENT, 0, 0)) << "one indent deeper";
  EXPECT_EQ(SendMessage(tree, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, reinterpret_cast<LPARAM>(music)),
            reinterpret_cast<LRESULT>(rock));
  SendMessage(tree, TVM_SETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  const int standard = static_cast<int>(SendMessage(tree, TVM_GETITEMHEIGHT, 0, 0));
  EXPECT_GT(standard, 10);
  EXPECT_EQ(standard % 2, 0) << "even unless TVS_NONEVENHEIGHT";
}

TEST_F(TreeViewTest, HitTestNamesTheParts) {
  SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(music));
  const RECT text = TextRect(rock);
  const int indent = static_cast<int>(SendMessage(tree, TVM_GETINDENT, 0, 0));
  struct Probe {
    POINT p;
    HTREEITEM item;
    UINT flags;
  };
  const std::vector<Probe> probes{
      {{text.left + 3, text.top + 5}, rock, TVHT_ONITEMLABEL},
      {{text.right + 5, text.top + 5}, rock, TVHT_ONITEMRIGHT},
      {{TextRect(music).left - indent / 2, 10}, music, TVHT_ONITEMBUTTON},
      {{TextRect(empty).left - indent / 2, TextRect(empty).top + 10}, empty, TVHT_ONITEMINDENT},
      {{text.left - indent / 2, text.top + 5}, rock, TVHT_ONITEMINDENT},
      {{10, 150}, nullptr, TVHT_NOWHERE},
  };
  for (const Probe& probe : probes) {
    TVHITTESTINFO hit;
    hit.pt = probe.p;
    const auto got = reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    EXPECT_EQ(got, probe.item) << probe.p.x << "," << probe.p.y;
    EXPECT_EQ(hit.flags, probe.flags) << probe.p.x << "," << probe.p.y;
  }
}

// ---- scripted input -------------------------------------------------------

enum class Act { ClickButton, ClickLabel, DoubleClickLabel, Key, RightClick, Expand, Collapse, Drag, RightDrag };
struct TreeAction {
  Act act;
  int node;  // node number; the key for Act::Key
};

struct TreeCase {
  const char* name;
  int selectedFirst;  // node number selected before the script, 0 none
  std::vector<TreeAction> actions;
  std::map<UINT, LRESULT> answers;
  std::vector<Event> expected;
  int selectedAfter;
  bool musicExpandedAfter;
};

class TreeScriptTest : public TreeViewTest, public ::testing::WithParamInterface<TreeCase> {
 protected:
  HTREEITEM Node(int number) {
    const HTREEITEM all[] = {nullptr, music, rock, jazz, video, clips, empty};
    return all[number];
  }
  POINT LabelPoint(int number) {
    const RECT r = TextRect(Node(number));
    return POINT{r.left + 4, (r.top + r.bottom) / 2};
  }
};

TEST_P(TreeScriptTest, NotifiesInOrder) {
  const TreeCase& c = GetParam();
  if (c.selectedFirst) SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Node(c.selectedFirst)));
  parent.events.clear();
  parent.answers = c.answers;
  const int indent = static_cast<int>(SendMessage(tree, TVM_GETINDENT, 0, 0));
  for (const TreeAction& a : c.actions) {
    switch (a.act) {
      case Act::ClickButton: {
        const RECT r = TextRect(Node(a.node));
        parent.Click(POINT{r.left - indent / 2, (r.top + r.bottom) / 2});
        break;
      }
      case Act::ClickLabel: parent.Click(LabelPoint(a.node)); break;
      case Act::DoubleClickLabel: parent.DoubleClick(LabelPoint(a.node)); break;
      case Act::RightClick: parent.Click(LabelPoint(a.node), true); break;
      case Act::Drag: case Act::RightDrag: {
        const bool right = a.act == Act::RightDrag;
        const POINT from = LabelPoint(a.node), to{from.x + 20, from.y + 20};
        parent.Press(from, right);
        parent.Move(to);
        parent.Release(to, right);
        break;
      }
      case Act::Key:
        InjectKey(a.node, true);
        InjectKey(a.node, false);
        PumpMessages();
        break;
      case Act::Expand: case Act::Collapse:
        SendMessage(tree, TVM_EXPAND, a.act == Act::Expand ? TVE_EXPAND : TVE_COLLAPSE,
                    reinterpret_cast<LPARAM>(Node(a.node)));
        break;
    }
  }
  std::vector<Event> got = TreeEvents();
  for (Event& e : got)
    if (e.what == WM_CONTEXTMENU) e.item = e.value = 0;
  EXPECT_EQ(got, c.expected);
  EXPECT_EQ(Selected(), Node(c.selectedAfter));
  EXPECT_EQ(Expanded(music), c.musicExpandedAfter);
}

const Event kMenu{WM_CONTEXTMENU, 0, 0};
constexpr int kCollapse = TVE_COLLAPSE, kExpand = TVE_EXPAND;

INSTANTIATE_TEST_SUITE_P(
    Scripts, TreeScriptTest,
    ::testing::Values(
        TreeCase{"ButtonExpands", 0, {{Act::ClickButton, 1}}, {},
                 {{TVN_ITEMEXPANDING, 1, kExpand}, {TVN_ITEMEXPANDED, 1, kExpand}, {NM_CLICK}},
                 0, true},
        TreeCase{"ExpandRefused", 0, {{Act::ClickButton, 1}}, {{TVN_ITEMEXPANDING, 1}},
                 {{TVN_ITEMEXPANDING, 1, kExpand}, {NM_CLICK}}, 0, false},
        TreeCase{"SecondButtonClickCollapses", 0, {{Act::ClickButton, 1}, {Act::ClickButton, 1}}, {},
                 {{TVN_ITEMEXPANDING, 1, kExpand}, {TVN_ITEMEXPANDED, 1, kExpand}, {NM_CLICK},
                  {TVN_ITEMEXPANDING, 1, kCollapse}, {TVN_ITEMEXPANDED, 1, kCollapse}, {NM_CLICK}},
                 0, false},
        TreeCase{"ClickSelects", 4, {{Act::ClickLabel, 6}}, {},
                 {{TVN_SELCHANGING, 6, 4}, {TVN_SELCHANGED, 6, 4}, {NM_CLICK}}, 6, false},
        TreeCase{"SelectionRefused", 4, {{Act::ClickLabel, 6}}, {{TVN_SELCHANGING, 1}},
                 {{TVN_SELCHANGING, 6, 4}, {NM_CLICK}}, 4, false},
        TreeCase{"DoubleClickToggles", 0, {{Act::DoubleClickLabel, 1}}, {},
                 {{TVN_SELCHANGING, 1, 0}, {TVN_SELCHANGED, 1, 0}, {NM_CLICK}, {NM_DBLCLK},
                  {TVN_ITEMEXPANDING, 1, kExpand}, {TVN_ITEMEXPANDED, 1, kExpand}},
                 1, true},
        TreeCase{"CollapsingMovesTheSelectionUp", 0, {{Act::Expand, 1}, {Act::ClickLabel, 3}, {Act::Collapse, 1}}, {},
                 {{TVN_ITEMEXPANDING, 1, kExpand}, {TVN_ITEMEXPANDED, 1, kExpand},
                  {TVN_SELCHANGING, 3, 0}, {TVN_SELCHANGED, 3, 0}, {NM_CLICK},
                  {TVN_ITEMEXPANDING, 1, kCollapse}, {TVN_SELCHANGING, 1, 3}, {TVN_SELCHANGED, 1, 3},
                  {TVN_ITEMEXPANDED, 1, kCollapse}},
                 1, false},
        TreeCase{"KeysWalkAndExpand", 1, {{Act::Key, VK_RIGHT}, {Act::Key, VK_DOWN}, {Act::Key, VK_LEFT}}, {},
                 {{TVN_ITEMEXPANDING, 1, kExpand}, {TVN_ITEMEXPANDED, 1, kExpand},
                  {TVN_SELCHANGING, 2, 1}, {TVN_SELCHANGED, 2, 1},
                  {TVN_SELCHANGING, 1, 2}, {TVN_SELCHANGED, 1, 2}},
                 1, true},
        TreeCase{"DragStartsInsteadOfAClick", 0, {{Act::Drag, 4}}, {},
                 {{TVN_SELCHANGING, 4, 0}, {TVN_SELCHANGED, 4, 0}, {TVN_BEGINDRAG, 4, 0}}, 4, false},
        TreeCase{"RightDragHasNoMenu", 0, {{Act::RightDrag, 4}}, {}, {{TVN_BEGINRDRAG, 4, 0}}, 0, false},
        TreeCase{"RightClickGivesRClickThenContextMenu", 0, {{Act::RightClick, 4}}, {},
                 {{NM_RCLICK}, kMenu}, 0, false},
        TreeCase{"AnsweredRClickHasNoContextMenu", 0, {{Act::RightClick, 4}}, {{NM_RCLICK, 1}},
                 {{NM_RCLICK}}, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TreeViewTest, CheckBoxesStartUncheckedAndToggle) {
  DestroyWindow(tree);
  tree = CreateWindowEx(0, WC_TREEVIEW, "", WS_CHILD | WS_VISIBLE | TVS_CHECKBOXES, 0, 0, 200, 160,
                        parent.window(), nullptr);
  HTREEITEM node = Add(nullptr, "Checked", 1);
  auto checkState = [&] {
    return SendMessage(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node), TVIS_STATEIMAGEMASK) >> 12;
  };
  EXPECT_EQ(checkState(), 1);
  const RECT text = TextRect(node);
  parent.Click(POINT{text.left + 3, (text.top + text.bottom) / 2});
  EXPECT_EQ(checkState(), 1) << "a click on the label only selects";
  parent.Click(POINT{text.left - 8, (text.top + text.bottom) / 2});
  EXPECT_EQ(checkState(), 2);
  SendMessage(tree, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(checkState(), 1);
}

TEST_F(TreeViewTest, SelectingAHiddenNodeExpandsItsParent) {
  ASSERT_TRUE(SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(clips)));
  EXPECT_TRUE(Expanded(video));
  EXPECT_EQ(TreeEvents(), (std::vector<Event>{{TVN_SELCHANGING, 5, 0},
                                              {TVN_ITEMEXPANDING, 4, kExpand},
                                              {TVN_ITEMEXPANDED, 4, kExpand},
                                              {TVN_SELCHANGED, 5, 0}}));
}

TEST_F(TreeViewTest, DeletingTheSelectionSelectsANeighbour) {
  SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(video));
  parent.events.clear();
  ASSERT_TRUE(SendMessage(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(video)));
  EXPECT_EQ(Selected(), empty);
  EXPECT_EQ(TreeEvents(), (std::vector<Event>{{TVN_SELCHANGING, 6, 4},
                                              {TVN_SELCHANGED, 6, 4},
                                              {TVN_DELETEITEM, 5, 0},
                                              {TVN_DELETEITEM, 4, 0}}));
  EXPECT_EQ(SendMessage(tree, TVM_GETCOUNT, 0, 0), 4);
  TVITEM stale;
  stale.mask = TVIF_PARAM;
  stale.hItem = clips;
  EXPECT_FALSE(SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&stale))) << "a deleted handle";
  EXPECT_TRUE(SendMessage(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)));
  EXPECT_EQ(SendMessage(tree, TVM_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(Selected(), nullptr);
}

TEST_F(TreeViewTest, CallbacksAnswerTextImagesAndChildren) {
  HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32, 2, 2);
  SendMessage(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
  TVITEM set;
  set.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
  set.hItem = empty;
  set.pszText = LPSTR_TEXTCALLBACK;
  set.iImage = set.iSelectedImage = I_IMAGECALLBACK;
  set.cChildren = I_CHILDRENCALLBACK;
  SendMessage(tree, TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&set));
  std::vector<UINT> asked;
  parent.inspect = [&](NMHDR* n) {
    if (n->code != TVN_GETDISPINFO) return;
    auto* d = reinterpret_cast<NMTVDISPINFO*>(n);
    asked.push_back(d->item.mask & (TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN));
    if (d->item.mask & TVIF_TEXT) std::snprintf(d->item.pszText, d->item.cchTextMax, "Asked");
    if (d->item.mask & TVIF_IMAGE) d->item.iImage = 7;
    if (d->item.mask & TVIF_SELECTEDIMAGE) d->item.iSelectedImage = 8;
    if (d->item.mask & TVIF_CHILDREN) d->item.cChildren = 1;
  };
  char text[16];
  TVITEM get;
  get.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
  get.hItem = empty;
  get.pszText = text;
  get.cchTextMax = sizeof text;
  ASSERT_TRUE(SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&get)));
  EXPECT_STREQ(text, "Asked");
  EXPECT_EQ(get.iImage, 7);
  EXPECT_EQ(get.iSelectedImage, 8);
  EXPECT_EQ(get.cChildren, 1);
  EXPECT_EQ(asked, (std::vector<UINT>{TVIF_TEXT, TVIF_IMAGE, TVIF_SELECTEDIMAGE, TVIF_CHILDREN}));
  TVHITTESTINFO hit;
  const RECT r = TextRect(empty);
  hit.pt = POINT{r.left - 16 - 19 / 2, (r.top + r.bottom) / 2};
  SendMessage(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  EXPECT_EQ(hit.flags, TVHT_ONITEMBUTTON) << "the callback's children give the node a button";
  ImageList_Destroy(images);
}

TEST_F(TreeViewTest, CustomDrawReachesEachRowWithItsRectangle) {
  SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(video));
  struct Stage {
    DWORD stage;
    HTREEITEM item;
    int level;
    RECT rc;
  };
  std::vector<Stage> stages;
  parent.inspect = [&](NMHDR* n) {
    if (n->code != NM_CUSTOMDRAW) return;
    auto* d = reinterpret_cast<NMTVCUSTOMDRAW*>(n);
    stages.push_back({d->nmcd.dwDrawStage, reinterpret_cast<HTREEITEM>(d->nmcd.dwItemSpec), d->iLevel, d->nmcd.rc});
    parent.answers[NM_CUSTOMDRAW] = d->nmcd.dwDrawStage == CDDS_PREPAINT
                                        ? CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT
                                        : CDRF_NOTIFYPOSTPAINT;
  };
  InvalidateRect(tree, nullptr, 1);
  UpdateWindow(tree);
  const std::vector<HTREEITEM> rows{music, video, clips, empty};
  ASSERT_EQ(stages.size(), 2 + 2 * rows.size());
  EXPECT_EQ(stages.front().stage, CDDS_PREPAINT);
  EXPECT_EQ(stages.back().stage, CDDS_POSTPAINT);
  for (size_t i = 0; i < rows.size(); ++i) {
    RECT full;
    ASSERT_TRUE(Rect(rows[i], false, &full));
    const Stage& pre = stages[1 + 2 * i];
    const Stage& post = stages[2 + 2 * i];
    EXPECT_EQ(pre.stage, CDDS_ITEMPREPAINT);
    EXPECT_EQ(post.stage, CDDS_ITEMPOSTPAINT);
    EXPECT_EQ(pre.item, rows[i]);
    EXPECT_EQ(pre.level, rows[i] == clips ? 1 : 0);
    EXPECT_TRUE(EqualRect(&pre.rc, &full)) << i;
  }
}

TEST_F(TreeViewTest, SortingByTextAndByCallback) {
  ASSERT_TRUE(SendMessage(tree, TVM_SORTCHILDREN, 0, reinterpret_cast<LPARAM>(music)));
  EXPECT_EQ(SendMessage(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(music)),
            reinterpret_cast<LRESULT>(jazz));
  TVSORTCB byNumberDown;
  byNumberDown.hParent = TVI_ROOT;
  byNumberDown.lpfnCompare = [](LPARAM a, LPARAM b, LPARAM) { return static_cast<int>(b - a); };
  ASSERT_TRUE(SendMessage(tree, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&byNumberDown)));
  EXPECT_EQ(SendMessage(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0), reinterpret_cast<LRESULT>(empty));
  EXPECT_EQ(SendMessage(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(video)),
            reinterpret_cast<LRESULT>(music));
  HTREEITEM books = Add(nullptr, "Books", 7, TVI_SORT);
  EXPECT_EQ(SendMessage(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0), reinterpret_cast<LRESULT>(books))
      << "a sorted insert goes before the first sibling that sorts after it";
}

TEST_F(TreeViewTest, LongLabelsScrollSideways) {
  EXPECT_FALSE(GetWindowLongPtr(tree, GWL_STYLE) & WS_HSCROLL);
  HTREEITEM wide = Add(nullptr, "A label far wider than the narrow tree it sits in", 9);
  EXPECT_TRUE(GetWindowLongPtr(tree, GWL_STYLE) & WS_HSCROLL);
  const RECT before = TextRect(wide);
  SendMessage(tree, WM_HSCROLL, SB_THUMBPOSITION | (30 << 16), 0);
  EXPECT_EQ(GetScrollPos(tree, SB_HORZ), 30);
  const RECT after = TextRect(wide);
  EXPECT_EQ(after.left, before.left - 30);
  TVHITTESTINFO hit;
  hit.pt = POINT{after.left + 40, after.top + 2};
  EXPECT_EQ(SendMessage(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), reinterpret_cast<LRESULT>(wide));
  EXPECT_EQ(hit.flags, TVHT_ONITEMLABEL);
  SendMessage(tree, WM_HSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(GetScrollPos(tree, SB_HORZ), 22);
  SendMessage(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(wide));
  EXPECT_EQ(TextRect(music).left, before.left) << "nothing left to scroll: back at the start";
}

TEST_F(TreeViewTest, ScrollingKeepsTheSelectionInView) {
  for (int i = 0; i < 20; ++i) Add(nullptr, "More", 100 + i);
  const int page = static_cast<int>(SendMessage(tree, TVM_GETVISIBLECOUNT, 0, 0));
  EXPECT_EQ(page, 8);
  HTREEITEM last = reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_GETNEXTITEM, TVGN_LASTVISIBLE, 0));
  SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(last));
  RECT r;
  ASSERT_TRUE(Rect(last, false, &r));
  EXPECT_EQ(r.bottom, 160);
  EXPECT_EQ(GetScrollPos(tree, SB_VERT), 23 - 8);
  InjectMouseWheel(WHEEL_DELTA, POINT{ListParent::kLeft + 50, ListParent::kTop + 50});
  PumpMessages();
  ASSERT_TRUE(Rect(last, false, &r));
  EXPECT_EQ(r.bottom, 160 + 3 * 20);
  EXPECT_EQ(GetScrollPos(tree, SB_VERT), 23 - 8 - 3);
  SendMessage(tree, WM_VSCROLL, SB_THUMBTRACK | (2 << 16), 0);
  EXPECT_EQ(SendMessage(tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0), reinterpret_cast<LRESULT>(empty));
  SendMessage(tree, WM_VSCROLL, SB_PAGEUP, 0);
  EXPECT_EQ(GetScrollPos(tree, SB_VERT), 0) << "never above the first row";
}

// More new labels than the control measures at once go to its measuring
// thread: the scroll range is that of the labels measured so far until the
// widths come back, then that of all of them, each as measured here.
TEST_F(TreeViewTest, ManyNewLabelsAreMeasuredOffTheThread) {
  SendMessage(tree, WM_SETREDRAW, 0, 0);
  HTREEITEM folder = Add(nullptr, "Folder", 10);
  std::vector<HTREEITEM> children;
  for (int i = 0; i < 1000; ++i) {
    const std::string text = i == 600 ? "A label far wider than the narrow tree it sits in" : "item" + std::to_string(i);
    children.push_back(Add(folder, text.c_str(), 1000 + i));
  }
  SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(folder));
  SendMessage(tree, WM_SETREDRAW, 1, 0);
  EXPECT_TRUE(TreeViewMeasuringLabels(tree));
  for (int waited = 0; TreeViewMeasuringLabels(tree) && waited < 10000; waited += 10) {
    PumpMessages();
    MsgWaitForMultipleObjects(0, nullptr, 0, 10, QS_ALLINPUT);
  }
  PumpMessages();
  ASSERT_FALSE(TreeViewMeasuringLabels(tree));
  SCROLLINFO horizontal;
  horizontal.fMask = SIF_RANGE;
  ASSERT_TRUE(GetScrollInfo(tree, SB_HORZ, &horizontal));
  EXPECT_EQ(horizontal.nMax, TextRect(children[600]).right - 1) << "the widest label, measured off the thread";
  const HFONT font = reinterpret_cast<HFONT>(SendMessage(tree, WM_GETFONT, 0, 0));
  for (int i : {0, 600, 999}) {
    char text[80] = {};
    TVITEM item;
    item.mask = TVIF_TEXT;
    item.hItem = children[static_cast<std::size_t>(i)];
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item));
    const RECT r = TextRect(children[static_cast<std::size_t>(i)]);
    EXPECT_EQ(r.right - r.left, lists::FontTextWidth(font, text) + 4) << text;
  }
}

}  // namespace
}  // namespace qelo::win::test
