// The header control: item messages, divider tracking and clicks with
// their notifications in order, vetoes, owner drawing and sort marks.
#include <gtest/gtest.h>

#include "list_fixture.h"
#include "win/controls/lists/header.h"

namespace qelo::win::test {
namespace {

void DecodeHeader(const NMHDR* n, Event* e) {
  const auto* h = reinterpret_cast<const NMHEADER*>(n);
  e->item = h->iItem;
  e->value = h->pitem && (h->pitem->mask & HDI_WIDTH) ? h->pitem->cxy : -1;
}

class HeaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    header = CreateWindowEx(0, WC_HEADER, "", WS_CHILD | WS_VISIBLE | HDS_BUTTONS, 0, 0, 300, 20,
                            parent.window(), nullptr);
    ASSERT_NE(header, nullptr);
    Add("Name", 100, HDF_LEFT | HDF_STRING);
    Add("Size", 80, HDF_RIGHT | HDF_STRING);
    PumpMessages();
    parent.events.clear();
  }
  void Add(const char* text, int width, int fmt) {
    HDITEM item;
    item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
    item.pszText = const_cast<char*>(text);
    item.cxy = width;
    item.fmt = fmt;
    SendMessage(header, HDM_INSERTITEM, 99, reinterpret_cast<LPARAM>(&item));
  }
  int Width(int index) {
    HDITEM item;
    item.mask = HDI_WIDTH;
    SendMessage(header, HDM_GETITEM, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return item.cxy;
  }
  ListParent parent{&DecodeHeader};
  HWND header = nullptr;
};

TEST_F(HeaderTest, ItemMessages) {
  EXPECT_EQ(SendMessage(header, HDM_GETITEMCOUNT, 0, 0), 2);
  char text[3];
  HDITEM item;
  item.mask = HDI_TEXT | HDI_FORMAT | HDI_ORDER;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  ASSERT_TRUE(SendMessage(header, HDM_GETITEM, 1, reinterpret_cast<LPARAM>(&item)));
  EXPECT_STREQ(text, "Si") << "cut to the buffer";
  EXPECT_EQ(item.fmt, HDF_RIGHT | HDF_STRING);
  EXPECT_EQ(item.iOrder, 1);
  RECT r;
  ASSERT_TRUE(SendMessage(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r)));
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.right, 180);
  EXPECT_EQ(r.bottom, 20);
  EXPECT_FALSE(SendMessage(header, HDM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r)));

  HDHITTESTINFO hit;
  hit.pt = {150, 5};
  EXPECT_EQ(SendMessage(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 1);
  EXPECT_EQ(hit.flags, HHT_ONHEADER);
  hit.pt = {98, 5};
  EXPECT_EQ(SendMessage(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 0);
  EXPECT_EQ(hit.flags, HHT_ONDIVIDER);
  hit.pt = {250, 5};
  EXPECT_EQ(SendMessage(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), -1);
  EXPECT_TRUE(hit.flags & HHT_NOWHERE);

  RECT area{0, 0, 300, 200};
  WINDOWPOS pos;
  HDLAYOUT layout{&area, &pos};
  ASSERT_TRUE(SendMessage(header, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout)));
  EXPECT_GT(pos.cy, 12);
  EXPECT_EQ(pos.cx, 300);
  EXPECT_EQ(area.top, pos.cy);

  ASSERT_TRUE(SendMessage(header, HDM_DELETEITEM, 0, 0));
  EXPECT_EQ(SendMessage(header, HDM_GETITEMCOUNT, 0, 0), 1);
  EXPECT_EQ(Width(0), 80);
}

TEST_F(HeaderTest, SetItemAsksTheParentFirst) {
  HDITEM item;
  item.mask = HDI_WIDTH;
  item.cxy = 40;
  parent.answers[HDN_ITEMCHANGING] = 1;
  EXPECT_FALSE(SendMessage(header, HDM_SETITEM, 0, reinterpret_cast<LPARAM>(&item)));
  EXPECT_EQ(Width(0), 100);
  parent.answers.clear();
  EXPECT_TRUE(SendMessage(header, HDM_SETITEM, 0, reinterpret_cast<LPARAM>(&item)));
  EXPECT_EQ(Width(0), 40);
  EXPECT_EQ(parent.events, (std::vector<Event>{{HDN_ITEMCHANGING, 0, 40},
                                               {HDN_ITEMCHANGING, 0, 40},
                                               {HDN_ITEMCHANGED, 0, 40}}));
}

// Input steps in the header's (and parent's) client coordinates.
enum class Step { Press, Move, Release, DoubleClick };
struct Input {
  Step step;
  int x;
};

struct MouseCase {
  const char* name;
  DWORD extraStyle;
  std::vector<Input> input;
  std::map<UINT, LRESULT> answers;
  std::vector<Event> expected;
  int widthAfter;  // of item 0
};

class HeaderMouseTest : public HeaderTest, public ::testing::WithParamInterface<MouseCase> {};

TEST_P(HeaderMouseTest, NotifiesInOrder) {
  const MouseCase& c = GetParam();
  SetWindowLongPtr(header, GWL_STYLE, GetWindowLongPtr(header, GWL_STYLE) | c.extraStyle);
  parent.answers = c.answers;
  for (const Input& in : c.input) {
    const POINT p{in.x, 10};
    switch (in.step) {
      case Step::Press: parent.Press(p); break;
      case Step::Move: parent.Move(p); break;
      case Step::Release: parent.Release(p); break;
      case Step::DoubleClick: parent.DoubleClick(p); break;
    }
  }
  EXPECT_EQ(parent.events, c.expected);
  EXPECT_EQ(Width(0), c.widthAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, HeaderMouseTest,
    ::testing::Values(
        MouseCase{"ClickOnItem", 0, {{Step::Press, 140}, {Step::Release, 140}}, {},
                  {{HDN_ITEMCLICK, 1, -1}}, 100},
        MouseCase{"PressThenLeaveTheItem", 0,
                  {{Step::Press, 140}, {Step::Move, 60}, {Step::Release, 60}}, {}, {}, 100},
        MouseCase{"DragDivider", 0,
                  {{Step::Press, 99}, {Step::Move, 129}, {Step::Release, 129}}, {},
                  {{HDN_BEGINTRACK, 0, 100}, {HDN_TRACK, 0, 130}, {HDN_ENDTRACK, 0, 130},
                   {HDN_ITEMCHANGING, 0, 130}, {HDN_ITEMCHANGED, 0, 130}},
                  130},
        MouseCase{"FullDragChangesWhileMoving", HDS_FULLDRAG,
                  {{Step::Press, 99}, {Step::Move, 89}, {Step::Release, 89}}, {},
                  {{HDN_BEGINTRACK, 0, 100}, {HDN_TRACK, 0, 90}, {HDN_ITEMCHANGING, 0, 90},
                   {HDN_ITEMCHANGED, 0, 90}, {HDN_ENDTRACK, 0, 90}},
                  90},
        MouseCase{"DragNeverBelowZero", 0,
                  {{Step::Press, 101}, {Step::Move, -50}, {Step::Release, -50}}, {},
                  {{HDN_BEGINTRACK, 0, 100}, {HDN_TRACK, 0, 0}, {HDN_ENDTRACK, 0, 0},
                   {HDN_ITEMCHANGING, 0, 0}, {HDN_ITEMCHANGED, 0, 0}},
                  0},
        MouseCase{"BeginTrackRefused", 0,
                  {{Step::Press, 99}, {Step::Move, 129}, {Step::Release, 129}},
                  {{HDN_BEGINTRACK, 1}}, {{HDN_BEGINTRACK, 0, 100}}, 100},
        MouseCase{"ChangeRefused", 0,
                  {{Step::Press, 99}, {Step::Move, 129}, {Step::Release, 129}},
                  {{HDN_ITEMCHANGING, 1}},
                  {{HDN_BEGINTRACK, 0, 100}, {HDN_TRACK, 0, 130}, {HDN_ENDTRACK, 0, 130},
                   {HDN_ITEMCHANGING, 0, 130}},
                  100},
        MouseCase{"DoubleClickOnDivider", 0, {{Step::DoubleClick, 180}}, {{HDN_BEGINTRACK, 1}},
                  {{HDN_BEGINTRACK, 1, 80}, {HDN_DIVIDERDBLCLICK, 1, -1}}, 100}),
    [](const auto& info) { return std::string(info.param.name); });

// Dragging an item to another place (HDS_DRAGDROP, with HDS_BUTTONS).
struct DragCase {
  const char* name;
  std::vector<Input> input;
  std::map<UINT, LRESULT> answers;
  std::vector<Event> expected;
  std::vector<int> orderAfter;
};

class HeaderDragTest : public HeaderTest, public ::testing::WithParamInterface<DragCase> {
 protected:
  std::vector<int> Order() {
    std::vector<int> order(2, -1);
    EXPECT_TRUE(SendMessage(header, HDM_GETORDERARRAY, 2, reinterpret_cast<LPARAM>(order.data())));
    return order;
  }
};

TEST_P(HeaderDragTest, MovesTheItemAndNotifies) {
  const DragCase& c = GetParam();
  SetWindowLongPtr(header, GWL_STYLE, GetWindowLongPtr(header, GWL_STYLE) | HDS_DRAGDROP);
  parent.answers = c.answers;
  for (const Input& in : c.input) {
    const POINT p{in.x, 10};
    if (in.step == Step::Press) parent.Press(p);
    if (in.step == Step::Move) parent.Move(p);
    if (in.step == Step::Release) parent.Release(p);
  }
  EXPECT_EQ(parent.events, c.expected);
  EXPECT_EQ(Order(), c.orderAfter);
  RECT moved;
  SendMessage(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&moved));
  EXPECT_EQ(moved.left, c.orderAfter[0] == 0 ? 0 : 80) << "items are laid out by place";
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, HeaderDragTest,
    ::testing::Values(
        DragCase{"DropOnTheNextItem", {{Step::Press, 40}, {Step::Move, 60}, {Step::Move, 150}, {Step::Release, 150}},
                 {}, {{HDN_BEGINDRAG, 0, -1}, {HDN_ENDDRAG, 0, -1}, {HDN_ITEMCHANGED, 0, -1}}, {1, 0}},
        DragCase{"SmallMoveIsAClick", {{Step::Press, 40}, {Step::Move, 43}, {Step::Release, 43}}, {},
                 {{HDN_ITEMCLICK, 0, -1}}, {0, 1}},
        DragCase{"BeginDragRefused", {{Step::Press, 40}, {Step::Move, 150}, {Step::Release, 150}},
                 {{HDN_BEGINDRAG, 1}}, {{HDN_BEGINDRAG, 0, -1}}, {0, 1}},
        DragCase{"EndDragRefused", {{Step::Press, 40}, {Step::Move, 150}, {Step::Release, 150}},
                 {{HDN_ENDDRAG, 1}}, {{HDN_BEGINDRAG, 0, -1}, {HDN_ENDDRAG, 0, -1}}, {0, 1}},
        DragCase{"DroppedWhereItWas", {{Step::Press, 40}, {Step::Move, 70}, {Step::Release, 70}}, {},
                 {{HDN_BEGINDRAG, 0, -1}, {HDN_ENDDRAG, 0, -1}}, {0, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HeaderTest, OrderArrayMustNameEveryItemOnce) {
  int order[2] = {1, 0};
  ASSERT_TRUE(SendMessage(header, HDM_SETORDERARRAY, 2, reinterpret_cast<LPARAM>(order)));
  EXPECT_EQ(SendMessage(header, HDM_ORDERTOINDEX, 0, 0), 1);
  HDHITTESTINFO hit;
  hit.pt = {20, 5};
  EXPECT_EQ(SendMessage(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 1) << "item 1 now stands first";
  int twice[2] = {0, 0};
  EXPECT_FALSE(SendMessage(header, HDM_SETORDERARRAY, 2, reinterpret_cast<LPARAM>(twice)));
  int tooShort[1] = {0};
  EXPECT_FALSE(SendMessage(header, HDM_SETORDERARRAY, 1, reinterpret_cast<LPARAM>(tooShort)));
  int back[2] = {-1, -1};
  ASSERT_TRUE(SendMessage(header, HDM_GETORDERARRAY, 2, reinterpret_cast<LPARAM>(back)));
  EXPECT_EQ(back[0], 1);
  EXPECT_EQ(back[1], 0);

  // A new item takes its index's place; the others keep theirs.
  Add("Date", 60, HDF_LEFT | HDF_STRING);
  int three[3] = {};
  ASSERT_TRUE(SendMessage(header, HDM_GETORDERARRAY, 3, reinterpret_cast<LPARAM>(three)));
  EXPECT_EQ(std::vector<int>(three, three + 3), (std::vector<int>{1, 0, 2}));
  ASSERT_TRUE(SendMessage(header, HDM_DELETEITEM, 1, 0));
  int two[2] = {};
  ASSERT_TRUE(SendMessage(header, HDM_GETORDERARRAY, 2, reinterpret_cast<LPARAM>(two)));
  EXPECT_EQ(two[0], 0);
  EXPECT_EQ(two[1], 1);
}

TEST_F(HeaderTest, OwnerDrawnItemsAreDrawnByTheParent) {
  HDITEM item;
  item.mask = HDI_FORMAT | HDI_LPARAM;
  item.fmt = HDF_OWNERDRAW;
  item.lParam = 77;
  SendMessage(header, HDM_SETITEM, 1, reinterpret_cast<LPARAM>(&item));
  parent.drawn.clear();
  InvalidateRect(header, nullptr, 1);
  UpdateWindow(header);
  ASSERT_EQ(parent.drawn.size(), 1u);
  const DRAWITEMSTRUCT& d = parent.drawn[0];
  EXPECT_EQ(d.CtlType, ODT_HEADER);
  EXPECT_EQ(d.itemID, 1u);
  EXPECT_EQ(d.hwndItem, header);
  EXPECT_EQ(d.itemData, 77u);
  EXPECT_EQ(d.rcItem.left, 100);
  EXPECT_EQ(d.rcItem.right, 180);
  EXPECT_EQ(d.rcItem.bottom, 20);
}

TEST_F(HeaderTest, SortMarkIsDrawnRightOfTheText) {
  auto shadowPixels = [&] {
    int count = 0;
    for (int x = 20; x < 96; ++x)
      for (int y = 2; y < 18; ++y)
        count += ShownPixel(parent.window(), x, y) == GetSysColor(COLOR_BTNSHADOW);
    return count;
  };
  const int plain = shadowPixels();
  HDITEM item;
  item.mask = HDI_FORMAT;
  item.fmt = HDF_LEFT | HDF_STRING | HDF_SORTUP;
  SendMessage(header, HDM_SETITEM, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_GT(shadowPixels(), plain + 10);
}

}  // namespace
}  // namespace qelo::win::test
