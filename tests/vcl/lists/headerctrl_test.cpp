// The framework header control: sections in the window, clicks, drags of
// a divider and owner-drawn sections; and form files that make the list
// controls by class name.
#include "lists_fixture.h"
#include "vcl/controls/headerctrl.h"
#include "vcl/controls/listview.h"
#include "vcl/controls/treeview.h"
#include "vcl/form_reader.h"
#include "win/window/display.h"

namespace qelo::vcl::test {
namespace {

using namespace win;

class HeaderControlTest : public FormTest {
 protected:
  // Sections "One" (80), "Two" (60, owner-drawn when asked), "Three" (70).
  THeaderControl* MakeHeader(bool ownerDrawn = false) {
    auto* header = new THeaderControl(form);
    for (auto [text, width] : {std::pair{"One", 80}, std::pair{"Two", 60}, std::pair{"Three", 70}}) {
      THeaderSection* s = header->Sections()->Add();
      s->SetText(text);
      s->SetWidth(width);
    }
    if (ownerDrawn) header->Sections()->Items(1)->SetStyle(hsOwnerDraw);
    header->SetParent(form);
    script::Pump();
    return header;
  }
};

TEST_F(HeaderControlTest, SectionsReachTheWindowAndAClickNamesTheSection) {
  THeaderControl* header = MakeHeader();
  EXPECT_EQ(SendMessage(header->Handle(), HDM_GETITEMCOUNT, 0, 0), 3);
  RECT r{};
  SendMessage(header->Handle(), HDM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.left, header->Sections()->Items(2)->Left());
  EXPECT_EQ(r.left, 140);
  std::vector<int> clicked;
  header->OnSectionClick = [&](THeaderControl*, THeaderSection* s) { clicked.push_back(s->Index()); };
  ClickAt(*header, Point(100, header->Height() / 2));
  ClickAt(*header, Point(150, header->Height() / 2));
  EXPECT_EQ(clicked, (std::vector<int>{1, 2}));
  EXPECT_THROW(header->Sections()->Items(3), EListError);
}

TEST_F(HeaderControlTest, DraggingADividerTracksAndResizesTheSection) {
  THeaderControl* header = MakeHeader();
  std::vector<std::pair<TSectionTrackState, int>> track;
  std::vector<int> resized;
  header->OnSectionTrack = [&](THeaderControl*, THeaderSection* s, int width, TSectionTrackState state) {
    EXPECT_EQ(s->Index(), 0);
    track.emplace_back(state, width);
  };
  header->OnSectionResize = [&](THeaderControl*, THeaderSection* s) { resized.push_back(s->Width()); };
  const int y = header->Height() / 2;
  const TPoint from = header->ClientToScreen(Point(80, y)), to = header->ClientToScreen(Point(110, y));
  InjectMouseMove(POINT{from.x, from.y});
  InjectMouseButton(MouseButton::Left, true, POINT{from.x, from.y});
  InjectMouseMove(POINT{to.x, to.y});
  InjectMouseButton(MouseButton::Left, false, POINT{to.x, to.y});
  script::Pump();
  ASSERT_GE(track.size(), 2u);
  EXPECT_EQ(track.front(), std::make_pair(tsTrackBegin, 80));
  EXPECT_EQ(track.back(), std::make_pair(tsTrackEnd, 110));
  EXPECT_EQ(header->Sections()->Items(0)->Width(), 110);
  EXPECT_EQ(resized, std::vector<int>{110});
  EXPECT_EQ(header->Sections()->Items(1)->Left(), 110);
}

TEST_F(HeaderControlTest, OwnerDrawnSectionsAreDrawnByOnDrawSectionInTheirRectangles) {
  THeaderControl* header = MakeHeader(true);
  std::vector<std::pair<int, TRect>> drawn;
  header->OnDrawSection = [&](THeaderControl* control, THeaderSection* s, const TRect& r, bool) {
    drawn.emplace_back(s->Index(), r);
    control->Canvas()->Brush()->SetColor(clRed);
    control->Canvas()->FillRect(r);
  };
  EXPECT_EQ(PixelAt(*header, Point(110, header->Height() / 2)), RGB(255, 0, 0));
  EXPECT_NE(PixelAt(*header, Point(40, header->Height() / 2)), RGB(255, 0, 0));
  ASSERT_FALSE(drawn.empty());
  for (const auto& [index, r] : drawn) {
    EXPECT_EQ(index, 1) << "only the owner-drawn section";
    EXPECT_EQ(Edges(r), (std::array<int, 4>{80, 0, 140, header->ClientHeight()}));
  }
}

TEST_F(FormTest, FormFilesMakeTheListControlsByClassName) {
  ReadComponentText(*form, R"(object frmTest: TForm
  object hdrTop: THeaderControl
  end
  object lvFiles: TListView
    Top = 20
    ViewStyle = vsReport
    MultiSelect = True
    RowSelect = True
    ReadOnly = True
    ColumnClick = False
  end
  object tvFolders: TTreeView
    Top = 180
    ShowRoot = False
    ReadOnly = True
    RightClickSelect = True
  end
end
)",
                    "lists.form");
  auto& view = script::Find<TListView>(*form, "lvFiles");
  const auto viewStyle = static_cast<DWORD>(GetWindowLongPtr(view.Handle(), GWL_STYLE));
  EXPECT_EQ(viewStyle & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_FALSE(viewStyle & LVS_SINGLESEL);
  EXPECT_TRUE(viewStyle & LVS_NOSORTHEADER);
  EXPECT_FALSE(viewStyle & LVS_EDITLABELS);
  EXPECT_TRUE(SendMessage(view.Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);

  auto& tree = script::Find<TTreeView>(*form, "tvFolders");
  EXPECT_TRUE(tree.RightClickSelect());
  const auto treeStyle = static_cast<DWORD>(GetWindowLongPtr(tree.Handle(), GWL_STYLE));
  EXPECT_FALSE(treeStyle & TVS_LINESATROOT);
  EXPECT_FALSE(treeStyle & TVS_EDITLABELS);
  EXPECT_TRUE(treeStyle & TVS_HASBUTTONS);

  auto& header = script::Find<THeaderControl>(*form, "hdrTop");
  EXPECT_EQ(header.Align(), alTop);
  EXPECT_EQ(GetClassName(header.Handle()), WC_HEADER);
}

}  // namespace
}  // namespace qelo::vcl::test
