// The framed list view's header: the column comparison and the click
// cycle, the header item formats and the common-controls version gates,
// the sort mark where each display mode puts it, the program's own header
// drawing, and the hook on a header made again with its window.
#include <gtest/gtest.h>

#include "ct_common_versions.h"
#include "listview_fixture.h"
#include "vcl/controls/scripting.h"

namespace qelo::ct::test {
namespace {

using namespace vcl;
namespace script = vcl::script;
using vcl::test::ClickAt;
using vcl::test::CountPixels;

// ---- comparison ----------------------------------------------------------------------

TEST(HeaderComparison, CaseInsensitiveWithEmptyTextsLast) {
  TListView owner(nullptr);
  auto make = [&](const std::string& caption, std::vector<std::string> subItems) {
    TListItem* item = owner.Items()->Add();
    item->SetCaption(caption);
    for (const std::string& s : subItems) item->SubItems()->Add(s);
    return item;
  };
  TListItem* apple = make("apple", {"b", ""});
  TListItem* banana = make("Banana", {"B"});
  TListItem* empty = make("", {"a", "x"});
  struct Case {
    TListItem* a;
    TListItem* b;
    int column;
    int sign;
  } cases[] = {
      {apple, banana, 0, -1},   // a < B without regard to case
      {banana, apple, 0, 1},
      {apple, empty, 0, -1},    // an empty caption sorts after every other
      {empty, apple, 0, 1},
      {empty, empty, 0, 0},
      {apple, banana, 1, 0},    // "b" and "B"
      {empty, apple, 1, -1},    // "a" before "b"
      {apple, empty, 2, 1},     // an empty sub-item after "x"
      {banana, empty, 2, 1},    // a missing sub-item counts as empty
      {banana, apple, 2, 0},    // both empty
      {apple, banana, -1, 0},
      {nullptr, banana, 0, 0},
      {apple, nullptr, 0, 0},
  };
  for (const Case& c : cases) {
    const int up = CompareListItemsAscending(c.a, c.b, c.column);
    EXPECT_EQ((up > 0) - (up < 0), c.sign) << (c.a ? c.a->Caption() : "null") << " / "
                                            << (c.b ? c.b->Caption() : "null") << " column " << c.column;
    EXPECT_EQ(CompareListItemsDescending(c.a, c.b, c.column), -up);
  }
}

// ---- the click cycle -------------------------------------------------------------------

TEST_F(ListViewTest, ClicksSortUpThenDownThenUpAgain) {
  MakeList();
  list->SetAlphaSortAll(true);
  std::vector<int> clicked;
  list->OnColumnClick = [&](TObject*, TListColumn* c) { clicked.push_back(c->Index()); };
  struct Step {
    int column;
    std::vector<std::string> captions;
    bool descending;
  } steps[] = {
      {2, {"gamma", "alpha", "Beta"}, false},  // "image", "text", then the empty kind
      {2, {"Beta", "alpha", "gamma"}, true},
      {2, {"gamma", "alpha", "Beta"}, false},
      {0, {"alpha", "Beta", "gamma"}, false},
      {1, {"Beta", "gamma", "alpha"}, false},
      {1, {"alpha", "gamma", "Beta"}, true},
      {0, {"alpha", "Beta", "gamma"}, false},
  };
  int n = 0;
  for (const Step& s : steps) {
    ClickAt(*list, HeaderPoint(s.column, 10 + 20 * (n++ % 2)));  // apart, so no two make a double click
    EXPECT_EQ(Captions(), s.captions) << "column " << s.column;
    EXPECT_EQ(list->HeaderSortColumn(), s.column);
    EXPECT_EQ(list->HeaderSortDescending(), s.descending);
  }
  EXPECT_EQ(clicked.size(), std::size(steps)) << "each click also reaches OnColumnClick";

  list->SetAlphaSortAll(false);
  ClickAt(*list, HeaderPoint(2));
  EXPECT_EQ(Captions(), (std::vector<std::string>{"alpha", "Beta", "gamma"})) << "no sorting without AlphaSortAll";
  EXPECT_EQ(list->HeaderSortColumn(), 0);
}

// ---- formats and versions ---------------------------------------------------------------

int HeaderFormat(TCtListView& list, int column) {
  win::HDITEM item;
  item.mask = win::HDI_FORMAT;
  win::SendMessage(list.GetHeaderHandle(), win::HDM_GETITEM, static_cast<WPARAM>(column),
                   reinterpret_cast<LPARAM>(&item));
  return item.fmt;
}

TEST_F(ListViewTest, HeaderItemsAreOwnerDrawnForAMarkAndThePlatformsWithout) {
  MakeList();
  EXPECT_EQ(HeaderFormat(*list, 0), win::HDF_LEFT | win::HDF_OWNERDRAW);
  EXPECT_EQ(HeaderFormat(*list, 1), win::HDF_RIGHT | win::HDF_OWNERDRAW);

  auto images = vcl::test::SolidImages(16, 16);
  list->SetSmallImages(images.get());
  list->Columns()->Items(2)->SetImageIndex(0);
  list->SetHeaderSortDisplayMode(hsdmNone);
  EXPECT_EQ(HeaderFormat(*list, 0), win::HDF_LEFT | win::HDF_STRING);
  EXPECT_EQ(HeaderFormat(*list, 1), win::HDF_RIGHT | win::HDF_STRING);
  EXPECT_EQ(HeaderFormat(*list, 2), win::HDF_LEFT | win::HDF_STRING | win::HDF_IMAGE);
  list->SetSmallImages(nullptr);
}

TEST_F(ListViewTest, SortMarksNeedCommonControls470) {
  MakeList();
  RecordCommonControlsVersion(ComCtlVersion(4, 71));
  list->SetHeaderSortDisplayMode(hsdmLeftAlign);
  EXPECT_EQ(list->HeaderSortDisplayMode(), hsdmLeftAlign);
  RecordCommonControlsVersion(ComCtlVersion(4, 0));
  list->SetHeaderSortDisplayMode(hsdmRightAlign);
  EXPECT_EQ(list->HeaderSortDisplayMode(), hsdmNone);
  EXPECT_EQ(HeaderFormat(*list, 0), win::HDF_LEFT | win::HDF_STRING);
}

// ---- the sort mark on screen ------------------------------------------------------------

// Pixels of the mark's colour inside a header item (its edges are drawn
// over by the item's face).
int MarkPixels(TCtListView& list, int column) {
  win::RECT r{};
  win::SendMessage(list.GetHeaderHandle(), win::HDM_GETITEMRECT, static_cast<WPARAM>(column),
                   reinterpret_cast<LPARAM>(&r));
  return CountPixels(list, Rect(r.left + 2, r.top + 2, r.right - 2, r.bottom - 2), ColorToRGB(clBtnShadow));
}

struct MarkCase {
  const char* name;
  TCtLVHeaderSortDisplayMode mode;
  int column;
  int width;
  bool marked;
};

class SortMarkTest : public ListViewTest, public ::testing::WithParamInterface<MarkCase> {};

TEST_P(SortMarkTest, IsDrawnOnlyWhereItFits) {
  const MarkCase& c = GetParam();
  MakeList();
  list->SetHeaderSortDisplayMode(c.mode);
  list->Columns()->Items(c.column)->SetWidth(c.width);
  EXPECT_EQ(MarkPixels(*list, c.column), 0) << "no sort column yet";
  list->SetHeaderSortColumn(c.column);
  EXPECT_EQ(MarkPixels(*list, c.column) > 10, c.marked);
  const int other = c.column == 0 ? 1 : 0;
  EXPECT_EQ(MarkPixels(*list, other), 0) << "only the sort column has a mark";
}

// The mark's box is half the header's height wide (about 10 pixels here):
// a column no wider than twice that has no room for it.
INSTANTIATE_TEST_SUITE_P(
    Modes, SortMarkTest,
    ::testing::Values(MarkCase{"RightOfText", hsdmRightOfText, 0, 100, true},
                      MarkCase{"RightOfTextRightAligned", hsdmRightOfText, 1, 60, true},
                      MarkCase{"LeftAlign", hsdmLeftAlign, 2, 80, true},
                      MarkCase{"LeftAlignNarrow", hsdmLeftAlign, 2, 15, false},
                      MarkCase{"RightAlign", hsdmRightAlign, 0, 100, true},
                      MarkCase{"RightAlignTooNarrow", hsdmRightAlign, 0, 18, false},
                      MarkCase{"None", hsdmNone, 0, 100, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ListViewTest, TheMarkPointsDownWhenDescending) {
  MakeList();
  list->SetHeaderSortColumn(0);
  win::RECT r{};
  win::SendMessage(list->GetHeaderHandle(), win::HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  const int middle = (r.top + r.bottom) / 2;
  auto upperAndLower = [&] {
    const win::COLORREF shadow = ColorToRGB(clBtnShadow);
    return std::pair{CountPixels(*list, Rect(r.left + 2, r.top + 2, r.right - 2, middle), shadow),
                     CountPixels(*list, Rect(r.left + 2, middle, r.right - 2, r.bottom - 2), shadow)};
  };
  const auto [upUpper, upLower] = upperAndLower();
  EXPECT_LT(upUpper, upLower) << "ascending: apex up";
  list->SetHeaderSortDescending(true);
  const auto [downUpper, downLower] = upperAndLower();
  EXPECT_GT(downUpper, downLower) << "descending: apex down";
}

TEST_F(ListViewTest, WithoutDefaultDrawingTheProgramDrawsTheHeader) {
  MakeList();
  std::vector<std::pair<int, TRect>> drawn;
  list->OnDrawHeader = [&](TObject* sender, TCanvas* canvas, int index, const TRect& r) {
    EXPECT_EQ(sender, list);
    drawn.emplace_back(index, r);
    canvas->Brush()->SetColor(clRed);
    canvas->FillRect(r);
  };
  list->SetHeaderDefaultDrawing(false);
  script::Pump();
  list->Repaint();
  script::Pump();
  ASSERT_FALSE(drawn.empty());
  win::RECT item{};
  win::SendMessage(list->GetHeaderHandle(), win::HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
  bool sawSize = false;
  for (const auto& [index, r] : drawn)
    if (index == 1) {
      sawSize = true;
      EXPECT_EQ(vcl::test::Edges(r), (std::array<int, 4>{item.left + 2, item.top + 2, item.right - 2, item.bottom - 2}));
    }
  EXPECT_TRUE(sawSize);
  EXPECT_GT(CountPixels(*list, Rect(item.left + 2, item.top + 2, item.right - 2, item.bottom - 2), ColorToRGB(clRed)),
            (item.right - item.left - 4) * (item.bottom - item.top - 4) * 9 / 10);
}

// ---- the hook on a header made again ----------------------------------------------------

win::WNDPROC HeaderClassProcedure() {
  win::WNDCLASS c;
  win::GetClassInfo(win::WC_HEADER, &c);
  return c.lpfnWndProc;
}

bool Hooked(win::HWND header) {
  return win::GetWindowLongPtr(header, win::GWLP_WNDPROC) != reinterpret_cast<win::LONG_PTR>(HeaderClassProcedure());
}

// Showing the frame makes the window and its header again: the new header
// is the one the control names, it is hooked, and the sort mark is back.
TEST_F(ListViewTest, AHeaderMadeAgainWithTheWindowIsHookedAndKeepsTheMark) {
  MakeList();
  list->SetHeaderSortColumn(1);
  const win::HWND first = list->GetHeaderHandle();
  EXPECT_TRUE(Hooked(first));
  EXPECT_GT(MarkPixels(*list, 1), 10);

  list->SetFramingPreference(fpCustomFraming);
  list->SetFrameVisible(true);
  const win::HWND second = list->GetHeaderHandle();
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_FALSE(win::IsWindow(first));
  EXPECT_TRUE(Hooked(second)) << "the new header is hooked";
  EXPECT_EQ(HeaderFormat(*list, 1), win::HDF_RIGHT | win::HDF_OWNERDRAW);
  EXPECT_GT(MarkPixels(*list, 1), 10) << "the mark survives";

  list->SetViewStyle(vsList);
  list->SetViewStyle(vsReport);
  EXPECT_TRUE(Hooked(list->GetHeaderHandle()));

  // Moved onto another parent the header stays hooked once, and still sorts.
  auto* panel = new TPanel(form);
  panel->SetBounds(0, 0, 380, 280);
  panel->SetParent(form);
  list->SetParent(panel);
  script::Pump();
  EXPECT_TRUE(Hooked(list->GetHeaderHandle()));
  list->SetAlphaSortAll(true);
  ClickAt(*list, HeaderPoint(0));
  EXPECT_EQ(list->HeaderSortColumn(), 0);
  EXPECT_GT(MarkPixels(*list, 0), 10);
}

TEST_F(ListViewTest, AtDesignTimeTheHeaderLetsTheMouseThrough) {
  MakeList();
  const win::HWND header = list->GetHeaderHandle();
  EXPECT_NE(win::SendMessage(header, win::WM_NCHITTEST, 0, 0), win::HTTRANSPARENT);
  list->SetDesigning(true);
  EXPECT_EQ(win::SendMessage(header, win::WM_NCHITTEST, 0, 0), win::HTTRANSPARENT);
  list->SetDesigning(false);
}

}  // namespace
}  // namespace qelo::ct::test
