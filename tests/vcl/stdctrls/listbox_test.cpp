// List boxes: items, the chosen index and the selection kept until the
// window exists and across a new one, the user's choices becoming OnClick,
// and owner-drawn items painted in their rectangles.
#include "stdctrls_fixture.h"
#include "vcl/controls/listbox.h"
#include "win/controls/listbox.h"

namespace qelo::vcl::test {
namespace {

class ListBoxTest : public FormTest {
 protected:
  TListBox* MakeList(std::initializer_list<const char*> items = {"one.avi", "two.mkv", "three.mp4", "four.wmv"}) {
    auto* list = new TListBox(form);
    list->SetBounds(10, 10, 150, 120);
    for (const char* item : items) list->Items()->Add(item);
    list->OnClick = [this](TObject*) { ++clicks; };
    return list;
  }
  int clicks = 0;
};

TEST_F(ListBoxTest, IndexAndSelectionKeptBeforeTheWindowAndAcrossANewOne) {
  TListBox* list = MakeList();
  list->SetItemIndex(2);
  list->SetParent(form);
  EXPECT_EQ(win::SendMessage(list->Handle(), win::LB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(win::SendMessage(list->Handle(), win::LB_GETCURSEL, 0, 0), 2);
  EXPECT_TRUE(list->Selected(2));
  EXPECT_FALSE(list->Selected(1));

  // Switching to multiple selection makes a new window; selections stay.
  list->SetMultiSelect(true);
  EXPECT_NE(WindowStyle(*list) & win::LBS_EXTENDEDSEL, 0u);
  list->SetSelected(0, true);
  list->SetSelected(3, true);
  list->SetExtendedSelect(false);  // another new window
  EXPECT_NE(WindowStyle(*list) & win::LBS_MULTIPLESEL, 0u);
  EXPECT_EQ(list->SelCount(), 3);
  EXPECT_TRUE(list->Selected(0));
  EXPECT_TRUE(list->Selected(2)) << "the item chosen before stays selected";
  EXPECT_TRUE(list->Selected(3));
  EXPECT_FALSE(list->Selected(1));
  list->SetSelected(2, false);
  EXPECT_EQ(list->SelCount(), 2);
  EXPECT_EQ(clicks, 0) << "the program's changes are no clicks";
  EXPECT_THROW(list->Selected(4), EStringListError);
}

TEST_F(ListBoxTest, ItemsFollowTheListAndSortedBoxesSortThem) {
  TListBox* list = MakeList({"b", "c"});
  list->SetSorted(true);
  list->Items()->Add("a");
  list->SetParent(form);
  list->Items()->Add("ab");
  EXPECT_EQ(list->Items()->Text(), "a\r\nab\r\nb\r\nc\r\n");
  list->Items()->Delete(0);
  list->Items()->Clear();
  EXPECT_EQ(win::SendMessage(list->Handle(), win::LB_GETCOUNT, 0, 0), 0);
}

TEST_F(ListBoxTest, TheUsersChoiceFiresOnClickOnce) {
  TListBox* list = MakeList();
  list->SetParent(form);
  const TRect row = list->ItemRect(1);
  script::MoveMouse(*list, Point(20, row.top + 2));
  ClickWindow(list->Handle(), Point(20, row.top + 2));
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
  script::PressKey(win::VK_DOWN);
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_EQ(clicks, 2);
}

TEST_F(ListBoxTest, OwnerDrawnItemsArePaintedInTheirRectangles) {
  TListBox* list = MakeList();
  list->SetStyle(lbOwnerDrawFixed);
  list->SetItemHeight(18);
  list->SetItemIndex(1);
  std::vector<std::pair<int, TRect>> drawn;
  list->OnDrawItem = [&](TWinControl* control, int index, TRect rect, TOwnerDrawState state) {
    drawn.emplace_back(index, rect);
    // Each item in a colour of its own; the selected one in the highlight.
    TCanvas* canvas = static_cast<TListBox*>(control)->Canvas();
    if (!state.Contains(odSelected)) canvas->Brush()->SetColor(index % 2 ? clRed : clLime);
    canvas->FillRect(rect);
  };
  list->SetParent(form);
  script::Pump();
  ASSERT_GE(drawn.size(), 4u);
  for (const auto& [index, rect] : drawn) {
    EXPECT_EQ(rect.top, index * 18) << "item " << index;
    EXPECT_EQ(RectHeight(rect), 18);
  }
  EXPECT_EQ(ControlPixel(*list, 30, 9), ColorToRGB(clLime));
  EXPECT_EQ(ControlPixel(*list, 30, 18 + 9), ColorToRGB(clHighlight));
  EXPECT_EQ(ControlPixel(*list, 30, 3 * 18 + 9), ColorToRGB(clRed));
}

}  // namespace
}  // namespace qelo::vcl::test
