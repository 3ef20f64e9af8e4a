// The framework list view's groups, owner data, finding, hover time, right
// clicks on the header and drawing events of every stage, and a form file
// that sets them.
#include <string>
#include <vector>

#include "lists_fixture.h"
#include "vcl/controls/listview.h"
#include "vcl/form_reader.h"

namespace qelo::vcl::test {
namespace {

using namespace win;

class ListViewDataTest : public FormTest {
 protected:
  TListView* MakeReport() {
    TListView* view = NewReportView(form);
    view->SetParent(form);
    return view;
  }
  // The item shown on row n below the header, or -1 (a group's header).
  int ItemOnRow(TListView& view, int row) {
    const int height = RectHeight(view.Items()->Item(0)->DisplayRect(drBounds));
    RECT header;
    GetWindowRect(view.HeaderHandle(), &header);
    TListItem* item = view.GetItemAt(20, (header.bottom - header.top) + row * height + height / 2);
    return item ? item->Index() : -1;
  }
};

TEST_F(ListViewDataTest, ItemsShowUnderTheirGroupsWhileGroupViewAndGroupsKeepTheirNumbers) {
  TListView* view = MakeReport();
  TListGroup* videos = view->Groups()->Add();
  videos->SetHeader("Videos");
  TListGroup* music = view->Groups()->Add();
  music->SetHeader("Music");
  EXPECT_EQ(videos->GroupID(), 0);
  EXPECT_EQ(music->GroupID(), 1) << "the next free number";
  music->SetGroupID(0);
  EXPECT_EQ(music->GroupID(), 1) << "a number another group has is not taken";
  for (auto [caption, group] : {std::pair{"song", 1}, std::pair{"clip", 0}, std::pair{"film", 0}}) {
    TListItem* item = view->Items()->Add();
    item->SetCaption(caption);
    item->SetGroupID(group);
  }
  script::Pump();
  EXPECT_EQ(ItemOnRow(*view, 0), 0) << "without the group view the items keep their order";
  view->SetGroupView(true);
  script::Pump();
  std::vector<int> rows;
  for (int row = 0; row < 5; ++row) rows.push_back(ItemOnRow(*view, row));
  EXPECT_EQ(rows, (std::vector<int>{-1, 1, 2, -1, 0}));

  music->SetState(TListGroupStateSet{lgsCollapsed});
  EXPECT_EQ(ItemOnRow(*view, 4), -1) << "a collapsed group hides its items";
  view->RecreateWnd();
  script::Pump();
  EXPECT_EQ(ItemOnRow(*view, 1), 1) << "groups and group numbers survive a new window";
  EXPECT_EQ(SendMessage(view->Handle(), LVM_GETGROUPCOUNT, 0, 0), 2);
  view->Groups()->Delete(0);
  EXPECT_EQ(SendMessage(view->Handle(), LVM_GETGROUPCOUNT, 0, 0), 1);
}

TEST_F(ListViewDataTest, OwnerDataListShowsWhatOnDataFillsAndAsksOnDataFindAndOnDataHint) {
  TListView* view = MakeReport();
  view->SetOwnerData(true);
  std::vector<int> filled;
  view->OnData = [&](TObject*, TListItem* item) {
    filled.push_back(item->Index());
    item->SetCaption("Clip " + std::to_string(item->Index()));
    item->SubItems()->Add(std::to_string(item->Index() * 10) + " KB");
  };
  std::vector<std::pair<int, int>> hints;
  view->OnDataHint = [&](TObject*, int from, int to) { hints.emplace_back(from, to); };
  view->Items()->SetCount(10000);
  EXPECT_EQ(view->Items()->Count(), 10000);
  EXPECT_EQ(SendMessage(view->Handle(), LVM_GETITEMCOUNT, 0, 0), 10000);
  EXPECT_THROW(view->Items()->Add(), EListError);

  EXPECT_EQ(view->Items()->Item(9876)->Caption(), "Clip 9876");
  char buffer[32] = {};
  LVITEM text;
  text.iSubItem = 1;
  text.pszText = buffer;
  text.cchTextMax = sizeof buffer;
  SendMessage(view->Handle(), LVM_GETITEMTEXT, 42, reinterpret_cast<LPARAM>(&text));
  EXPECT_STREQ(buffer, "420 KB") << "the window's texts are OnData's";

  filled.clear();
  view->Repaint();
  script::Pump();
  ASSERT_FALSE(hints.empty());
  EXPECT_EQ(hints.back().first, 0);
  EXPECT_GT(hints.back().second, 3);
  EXPECT_LE(*std::max_element(filled.begin(), filled.end()), hints.back().second) << "only shown items are filled";

  ClickAt(*view, Centre(view->Items()->Item(2)->DisplayRect(drLabel)));
  ASSERT_NE(view->Selected(), nullptr);
  EXPECT_EQ(view->Selected()->Index(), 2);
  EXPECT_EQ(view->Selected()->Caption(), "Clip 2");

  std::vector<std::string> finds;
  view->OnDataFind = [&](TObject*, TItemFind find, const std::string& text, const TPoint&, void*, int start,
                         TSearchDirection, bool wrap, int& index) {
    finds.push_back(std::to_string(find) + " " + text + " from " + std::to_string(start) + (wrap ? " wrap" : ""));
    index = 77;
  };
  TListItem* found = view->FindCaption(5, "Clip 7", true, true, false);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->Index(), 77);
  EXPECT_EQ(finds, std::vector<std::string>{std::to_string(ifPartialString) + " Clip 7 from 5"});

  view->SetOwnerData(false);
  EXPECT_EQ(view->Items()->Count(), 0) << "the program's items go with owner data";
}

TEST_F(ListViewDataTest, FindCaptionAndFindDataSearchFromAnItemWithOrWithoutWrapping) {
  TListView* view = MakeReport();
  int tags[3] = {};
  for (const char* caption : {"alpha", "beta", "alphabet"}) {
    TListItem* item = view->Items()->Add();
    item->SetCaption(caption);
    item->SetData(&tags[item->Index()]);
  }
  struct Case {
    int start;
    const char* value;
    bool partial, inclusive, wrap;
    int expected;
  } cases[] = {
      {0, "alpha", false, true, false, 0}, {0, "alpha", false, false, false, -1}, {0, "alpha", true, false, false, 2},
      {2, "alpha", false, false, true, 0}, {0, "ALPHABET", false, true, false, 2}, {0, "gamma", true, true, true, -1},
  };
  for (const Case& c : cases) {
    TListItem* item = view->FindCaption(c.start, c.value, c.partial, c.inclusive, c.wrap);
    EXPECT_EQ(item ? item->Index() : -1, c.expected) << c.value << " from " << c.start;
  }
  EXPECT_EQ(view->FindData(0, &tags[1], true, false), view->Items()->Item(1));
  EXPECT_EQ(view->FindData(1, &tags[0], false, false), nullptr);
  EXPECT_EQ(view->FindData(1, &tags[0], false, true), view->Items()->Item(0));
}

TEST_F(ListViewDataTest, RightClickOnTheHeaderNamesItsColumnAndThePoint) {
  TListView* view = MakeReport();
  view->Items()->Add()->SetCaption("row");
  std::vector<int> columns;
  TPoint where{};
  view->OnColumnRightClick = [&](TObject*, TListColumn* column, TPoint p) {
    columns.push_back(column->Index());
    where = p;
  };
  HWND header = view->HeaderHandle();
  RECT r{};
  SendMessage(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
  POINT p{r.left + 10, (r.top + r.bottom) / 2};
  ClientToScreen(header, &p);
  const TPoint client = view->ScreenToClient(Point(p.x, p.y));
  ClickAt(*view, client, true);
  EXPECT_EQ(columns, std::vector<int>{1});
  EXPECT_EQ(where.x, client.x);
  EXPECT_EQ(where.y, client.y);
  ClickAt(*view, Centre(view->Items()->Item(0)->DisplayRect(drLabel)), true);
  EXPECT_EQ(columns.size(), 1u) << "a right click on a row is no column's";
}

TEST_F(ListViewDataTest, AdvancedDrawingEventsComeAtEveryStage) {
  TListView* view = MakeReport();
  view->Items()->Add()->SetCaption("only");
  std::vector<std::string> stages;
  auto name = [](TCustomDrawStage s) { return s == cdPrePaint ? "pre" : s == cdPostPaint ? "post" : "erase"; };
  view->OnAdvancedCustomDraw = [&](TCustomListView*, const TRect&, TCustomDrawStage s, bool&) {
    stages.push_back(std::string("control ") + name(s));
  };
  view->OnAdvancedCustomDrawItem = [&](TCustomListView*, TListItem* item, TCustomDrawState, TCustomDrawStage s,
                                       bool&) { stages.push_back(item->Caption() + " " + name(s)); };
  view->OnAdvancedCustomDrawSubItem = [&](TCustomListView*, TListItem*, int sub, TCustomDrawState,
                                          TCustomDrawStage s, bool& defaultDraw) {
    stages.push_back("sub " + std::to_string(sub) + " " + name(s));
    if (sub == 1 && s == cdPrePaint) defaultDraw = false;
  };
  int plain = 0;
  view->OnCustomDraw = [&](TCustomListView*, const TRect&, bool&) { ++plain; };
  view->Repaint();
  script::Pump();
  EXPECT_EQ(stages, (std::vector<std::string>{"control pre", "only pre", "sub 0 pre", "sub 0 post", "sub 1 pre",
                                             "sub 1 post", "only post", "control post"}))
      << "a sub-item the handler drew itself still has its post stage";
  EXPECT_GE(plain, 1) << "the plain event still comes before";
}

TEST_F(ListViewDataTest, FormFileKeepsGroupsGroupViewOwnerDataAndHoverTime) {
  ReadComponentText(*form, R"(object frmTest: TForm
  object lvGroups: TListView
    ViewStyle = vsReport
    GroupView = True
    HoverTime = 300
    Groups = <
      item
        Header = 'Videos'
        GroupID = 4
        HeaderAlign = taCenter
      end
      item
        Header = 'Music'
        GroupID = 7
        State = [lgsNormal, lgsCollapsible, lgsCollapsed]
        TitleImage = 2
      end>
  end
  object lvData: TListView
    OwnerData = True
  end
end
)",
                    "groups.form");
  auto& view = script::Find<TListView>(*form, "lvGroups");
  ASSERT_EQ(view.Groups()->Count(), 2);
  EXPECT_EQ(view.Groups()->Items(0)->GroupID(), 4);
  EXPECT_EQ(view.Groups()->Items(0)->HeaderAlign(), taCenter);
  EXPECT_EQ(view.Groups()->Items(1)->Header(), "Music");
  EXPECT_TRUE(view.Groups()->Items(1)->State().Contains(lgsCollapsed));
  EXPECT_EQ(view.Groups()->Items(1)->TitleImage(), 2);
  EXPECT_TRUE(view.GroupView());
  EXPECT_EQ(SendMessage(view.Handle(), LVM_ISGROUPVIEWENABLED, 0, 0), 1);
  EXPECT_EQ(SendMessage(view.Handle(), LVM_HASGROUP, 7, 0), 1);
  EXPECT_EQ(view.HoverTime(), 300);
  EXPECT_EQ(SendMessage(view.Handle(), LVM_GETHOVERTIME, 0, 0), 300);
  auto& data = script::Find<TListView>(*form, "lvData");
  EXPECT_TRUE(data.OwnerData());
  EXPECT_TRUE(GetWindowLongPtr(data.Handle(), GWL_STYLE) & LVS_OWNERDATA);
}

}  // namespace
}  // namespace qelo::vcl::test
