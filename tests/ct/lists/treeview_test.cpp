// The framed tree view: the tree as indented lines (levels, errors, texts
// that begin like an indent), node heights, expanding that selects, the
// selection outline on an ordinary paint, wheel steps (also past the 16
// bits of a scroll message), node context menus from clicks and keys (one
// a click), the state colours, the frame and the form file.
#include <gtest/gtest.h>

#include <memory>

#include "ct_common_versions.h"
#include "ct_treevw.h"
#include "lists_fixture.h"
#include "popup_probe.h"
#include "vcl/controls/scripting.h"
#include "vcl/form_reader.h"
#include "vcl/strings.h"
#include "vcl/window_pixel.h"
#include "win/window/display.h"
#include "win/window/scrollbars.h"

namespace qelo::ct::test {
namespace {

using namespace vcl;
namespace script = vcl::script;
using vcl::test::Centre;
using vcl::test::ClickAt;
using vcl::test::PixelAt;

std::vector<std::string> Lines(TStrings& strings) {
  std::vector<std::string> out;
  for (int i = 0; i < strings.Count(); ++i) out.push_back(strings.Get(i));
  return out;
}

std::unique_ptr<TStringList> ListOf(const std::vector<std::string>& lines) {
  auto list = std::make_unique<TStringList>();
  for (const std::string& line : lines) list->Add(line);
  return list;
}

class TreeViewTest : public vcl::test::FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    ShellVersionRecord();  // the platform's version record, read once
    RegisterCtTreeViewClasses();
    tree = new TCtCustomTreeView(form);
    tree->SetName("tvFolders");
    tree->SetBounds(10, 10, 200, 150);
    tree->SetParent(form);
  }
  void TearDown() override {
    RecordCommonControlsVersion(ComCtlVersion(6, 0));
    FormTest::TearDown();
  }

  void Load(const std::vector<std::string>& lines) {
    tree->LoadFromStrings(*ListOf(lines));
    script::Pump();
  }
  // Every node as "level:text", in tree order.
  std::vector<std::string> Shape() const {
    std::vector<std::string> out;
    for (TTreeNode* n = tree->Items()->GetFirstNode(); n; n = n->GetNext())
      out.push_back(std::to_string(n->Level()) + ":" + n->Text());
    return out;
  }
  TTreeNode* Node(int index) const { return tree->Items()->Item(index); }
  int TopIndex() const {
    auto top = reinterpret_cast<win::HTREEITEM>(
        win::SendMessage(tree->Handle(), win::TVM_GETNEXTITEM, win::TVGN_FIRSTVISIBLE, 0));
    TTreeNode* node = tree->Items()->GetNode(top);
    int index = 0;
    for (TTreeNode* n = tree->Items()->GetFirstNode(); n && n != node; n = n->GetNext()) ++index;
    return index;
  }

  TCtCustomTreeView* tree = nullptr;
};

// ---- indented lines --------------------------------------------------------------------

struct LoadCase {
  const char* name;
  std::vector<std::string> lines;
  std::vector<std::string> shape;  // what is there afterwards
  const char* error;               // the message of the refusal, or null
};

class LoadTest : public TreeViewTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadTest, BuildsTheTreeFromTheIndents) {
  const LoadCase& c = GetParam();
  Load({"old node"});
  const auto lines = ListOf(c.lines);
  if (c.error) {
    try {
      tree->LoadFromStrings(*lines);
      ADD_FAILURE() << "no error";
    } catch (const ETreeViewError& e) {
      EXPECT_STREQ(e.what(), c.error);
    }
  } else {
    tree->LoadFromStrings(*lines);
  }
  EXPECT_EQ(Shape(), c.shape);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LoadTest,
    ::testing::Values(
        LoadCase{"ChildrenAndASecondRoot", {"A", "\tB", "\t\tC", "D"}, {"0:A", "1:B", "2:C", "0:D"}, nullptr},
        LoadCase{"BackUpSeveralLevels", {"A", "\tB", "\t\tC", "\t\t\tD", "\tE"},
                 {"0:A", "1:B", "2:C", "3:D", "1:E"}, nullptr},
        LoadCase{"BlanksCountLikeTabs", {"A", " B", " \tC", "  D"}, {"0:A", "1:B", "2:C", "2:D"}, nullptr},
        LoadCase{"AnIndentedFirstLineIsARoot", {"  A", "\tB", "C"}, {"0:A", "1:B", "0:C"}, nullptr},
        LoadCase{"NothingLeavesNoNodes", {}, {}, nullptr},
        LoadCase{"TwoLevelsDeeperIsRefused", {"A", "\tB", "\t\t\tC", "D"}, {"0:A", "1:B"},
                 "Invalid level (3) for item \"C\""},
        LoadCase{"TheFirstRefusalAtTheSecondLine", {"A", "\t\tquoted \"x\""}, {"0:A"},
                 "Invalid level (2) for item \"quoted \"x\"\""}),
    [](const auto& info) { return std::string(info.param.name); });

// Texts that begin like an indent, or with a quote, are written in quotes
// so that they read back as they were; the others are written as they are.
TEST_F(TreeViewTest, SavingAndLoadingGivesTheSameTree) {
  TTreeNodes& items = *tree->Items();
  TTreeNode* root = items.AddChild(nullptr, "Videos");
  TTreeNode* blank = items.AddChild(root, " leading blank");
  items.AddChild(blank, "\tleading tab");
  items.AddChild(blank, "\"quoted\"");
  items.AddChild(root, "inner \"quote\" and trailing ");
  items.AddChild(nullptr, "");
  items.AddChild(nullptr, "Music");
  const std::vector<std::string> shape = Shape();

  TStringList saved;
  tree->SaveToStrings(saved);
  EXPECT_EQ(Lines(saved), (std::vector<std::string>{"Videos", "\t\" leading blank\"", "\t\t\"\tleading tab\"",
                                                    "\t\t\"\"\"quoted\"\"\"", "\tinner \"quote\" and trailing ",
                                                    "", "Music"}));
  auto* other = new TCtCustomTreeView(form);
  other->SetParent(form);
  other->LoadFromStrings(saved);
  std::vector<std::string> loaded;
  for (TTreeNode* n = other->Items()->GetFirstNode(); n; n = n->GetNext())
    loaded.push_back(std::to_string(n->Level()) + ":" + n->Text());
  EXPECT_EQ(loaded, shape);

  // A line of an older file whose text only looks quoted is read as it is.
  Load({"\"not closed", "\"a\"b\"", "\"a\"\"b\""});
  EXPECT_EQ(Shape(), (std::vector<std::string>{"0:\"not closed", "0:\"a\"b\"", "0:a\"b"}));
}

// ---- node height, expanding ------------------------------------------------------------------

TEST_F(TreeViewTest, ItemHeightZeroOrLessIsThePlatformsHeight) {
  Load({"A", "B"});
  const int platformHeight = RectHeight(Node(0)->DisplayRect(false));
  ASSERT_GT(platformHeight, 0);
  tree->SetItemHeight(30);
  EXPECT_EQ(RectHeight(Node(0)->DisplayRect(false)), 30);
  EXPECT_EQ(Node(1)->DisplayRect(false).top, 30);
  tree->SetItemHeight(-4);
  EXPECT_EQ(tree->ItemHeight(), 0) << "a negative height is stored as 0 once there is a window";
  EXPECT_EQ(RectHeight(Node(0)->DisplayRect(false)), platformHeight);

  auto* unshown = new TCtCustomTreeView(form);
  unshown->SetItemHeight(-2);
  EXPECT_EQ(unshown->ItemHeight(), -2) << "kept until the window exists";
  unshown->SetItemHeight(24);
  unshown->SetParent(form);
  unshown->Items()->AddChild(nullptr, "X");
  EXPECT_EQ(RectHeight(unshown->Items()->GetFirstNode()->DisplayRect(false)), 24) << "applied to the new window";
}

TEST_F(TreeViewTest, SelectOnExpandAndAutoExpandExcludeEachOther) {
  tree->SetAutoExpand(true);
  tree->SetSelectOnExpand(true);
  EXPECT_FALSE(tree->AutoExpand());
  EXPECT_FALSE(GetOrdProp(*tree, "AutoExpand")) << "the published property reads the same";
  SetOrdProp(*tree, "AutoExpand", 1);
  EXPECT_FALSE(tree->SelectOnExpand());
  EXPECT_TRUE(tree->AutoExpand());
}

TEST_F(TreeViewTest, ExpandingOrCollapsingSelectsTheNodeWithSelectOnExpand) {
  Load({"A", "\ta1", "B", "\tb1"});
  TTreeNode* a = Node(0);
  TTreeNode* b = Node(2);
  a->Expand(false);
  EXPECT_EQ(tree->GetSelected(), nullptr) << "without the option nothing is selected";
  tree->SetSelectOnExpand(true);
  b->Expand(false);
  EXPECT_EQ(tree->GetSelected(), b);
  a->Collapse(false);
  EXPECT_EQ(tree->GetSelected(), a);
  EXPECT_FALSE(a->Expanded());
}

TEST_F(TreeViewTest, NodeTipsAreOffOnTheNtFamilyBefore472) {
  auto style = [&] { return win::GetWindowLongPtr(tree->Handle(), win::GWL_STYLE) & win::TVS_NOTOOLTIPS; };
  EXPECT_EQ(style(), 0);
  RecordCommonControlsVersion(ComCtlVersion(4, 71));
  tree->SetShowLines(false);  // makes the window again
  EXPECT_NE(style(), 0);
  RecordCommonControlsVersion(ComCtlVersion(4, 72));
  tree->SetShowLines(true);
  EXPECT_EQ(style(), 0);
}

// ---- selection outline -----------------------------------------------------------------------

// An ordinary paint brings no context: the outline is drawn on one of the
// control's own, not on none (which failed every paint).
TEST_F(TreeViewTest, TheSelectionOutlineIsDrawnOnAnOrdinaryPaintWhileUnfocused) {
  Load({"Videos", "Music"});
  auto* other = new TButton(form);
  other->SetBounds(250, 10, 80, 24);
  other->SetParent(form);
  script::Focus(*other);
  TPen red;
  red.SetColor(clRed);
  tree->SetSelectionPen(&red);
  tree->SetSelected(Node(1));
  const TRect text = Node(1)->DisplayRect(true);
  const TPoint edge = Point(text.left, (text.top + text.bottom) / 2);
  EXPECT_NE(PixelAt(*tree, edge), ColorToRGB(clRed)) << "HideSelection hides it";
  tree->SetHideSelection(false);
  int failures = 0;
  Application()->OnException = [&](TObject*, const std::exception&) { ++failures; };
  EXPECT_EQ(PixelAt(*tree, edge), ColorToRGB(clRed));
  EXPECT_EQ(PixelAt(*tree, Point(text.right - 1, text.top)), ColorToRGB(clRed));
  EXPECT_EQ(failures, 0);
  script::Focus(*tree);
  EXPECT_NE(PixelAt(*tree, edge), ColorToRGB(clRed)) << "not while focused";
  Application()->OnException = nullptr;
}

// ---- wheel -------------------------------------------------------------------------------------

TEST_F(TreeViewTest, ANotchScrollsTheWheelLinesAndStopsAtTheTop) {
  std::vector<std::string> lines;
  for (int i = 0; i < 60; ++i) lines.push_back("node " + std::to_string(i));
  Load(lines);
  script::Focus(*tree);
  auto wheel = [&](int notches) {
    script::TurnWheel(*tree, notches * win::WHEEL_DELTA);
    script::Pump();
  };
  const int step = WheelScrollLines();
  ASSERT_GT(step, 0);
  wheel(-1);
  EXPECT_EQ(TopIndex(), step);
  wheel(-2);
  EXPECT_EQ(TopIndex(), 3 * step);
  wheel(2);
  EXPECT_EQ(TopIndex(), step);
  wheel(2);
  EXPECT_EQ(TopIndex(), 0) << "stops at the top";
  EXPECT_EQ(tree->GetSelected(), nullptr) << "the wheel selects nothing";
}

// A scroll message carries 16 bits of position; the wheel goes on past
// them. The window stands for a tree of 100,000 rows scrolled to row
// 65,534: it takes the scroll requests itself and keeps its bar.
TEST_F(TreeViewTest, TheWheelScrollsBeyondSixteenBitsOfPosition) {
  Load({"Videos"});
  const win::HWND window = tree->Handle();
  auto setPosition = [window](int position) {
    win::SCROLLINFO info;
    info.fMask = win::SIF_RANGE | win::SIF_PAGE | win::SIF_POS;
    info.nMin = 0;
    info.nMax = 99999;
    info.nPage = 10;
    info.nPos = position;
    win::SetScrollInfo(window, win::SB_VERT, &info, 1);
  };
  auto position = [window] {
    win::SCROLLINFO info;
    info.fMask = win::SIF_POS;
    win::GetScrollInfo(window, win::SB_VERT, &info);
    return info.nPos;
  };
  int row = 65534;
  setPosition(row);
  const auto platform = tree->WindowProc;
  tree->WindowProc = [&](TMessage& m) {
    if (m.Msg != win::WM_VSCROLL) return platform(m);
    switch (win::LOWORD(m.WParam)) {
      case win::SB_LINEDOWN: ++row; break;
      case win::SB_LINEUP: --row; break;
      case win::SB_THUMBPOSITION: row = win::HIWORD(m.WParam); break;
      default: break;
    }
    setPosition(row);
  };
  script::Focus(*tree);
  const int lines = WheelScrollLines();
  script::TurnWheel(*tree, -win::WHEEL_DELTA);
  EXPECT_EQ(row, 65534 + lines);
  EXPECT_EQ(position(), 65534 + lines);
  script::TurnWheel(*tree, 2 * win::WHEEL_DELTA);
  EXPECT_EQ(row, 65534 - lines);
  tree->WindowProc = platform;
}

// ---- context menus -----------------------------------------------------------------------------

class NodeMenuTest : public TreeViewTest {
 protected:
  void SetUp() override {
    TreeViewTest::SetUp();
    Load({"Videos", "\tHoliday", "Music", "Pictures"});
    Node(0)->Expand(false);
    auto note = [this](TPopupMenu& menu) {
      shown.push_back(PopupTarget(menu));
      TTreeNode* selected = tree->GetSelected();
      selectedWhileOpen.push_back(selected ? selected->Text() : "none");
    };
    tree->SetPopupMenu(MakeProbeMenu(form, "pmTree", note));
    nodeMenu = MakeProbeMenu(form, "pmNode", note);
    tree->OnNodeContextMenu = [this](TObject*, TTreeNode* node, TPoint& p, TPopupMenu*& menu) {
      asked.push_back((node ? node->Text() : "none") + "@" + At(p));
      if (replace) menu = replace == 1 ? nodeMenu : nullptr;
    };
  }
  static std::string At(TPoint p) { return std::to_string(p.x) + "," + std::to_string(p.y); }
  TPoint NodePoint(int index) const { return Centre(Node(index)->DisplayRect(true)); }

  TPopupMenu* nodeMenu = nullptr;
  int replace = 0;  // 1: the event gives pmNode, 2: no menu
  std::vector<std::string> asked, shown, selectedWhileOpen;
};

TEST_F(NodeMenuTest, ARightClickOnANodeOffersItAndShowsOneMenu) {
  tree->SetRightClickSelect(true);
  tree->SetSelected(Node(2));
  const TPoint p = NodePoint(1);
  ClickAt(*tree, p, true);
  EXPECT_EQ(asked, std::vector<std::string>{"Holiday@" + At(p)});
  EXPECT_EQ(shown, std::vector<std::string>{"pmTree:tvFolders"});
  EXPECT_EQ(selectedWhileOpen, std::vector<std::string>{"Holiday"}) << "the clicked node while the menu is open";
  EXPECT_EQ(tree->GetSelected(), Node(1)) << "RightClickSelect selected it afterwards";

  tree->SetRightClickSelect(false);
  replace = 1;
  ClickAt(*tree, NodePoint(3), true);
  EXPECT_EQ(shown, (std::vector<std::string>{"pmTree:tvFolders", "pmNode:tvFolders"})) << "the event's menu";
  EXPECT_EQ(selectedWhileOpen.back(), "Holiday") << "without RightClickSelect the tree's selection";
  EXPECT_EQ(tree->GetSelected(), Node(1));

  replace = 2;
  ClickAt(*tree, NodePoint(2), true);  // elsewhere: no double click
  EXPECT_EQ(asked.size(), 3u);
  EXPECT_EQ(shown.size(), 2u) << "the event took the menu away";
}

TEST_F(NodeMenuTest, ARightClickBesideTheNodesOffersTheSelectedNode) {
  tree->SetSelected(Node(2));
  const TPoint p = Point(100, 130);
  ClickAt(*tree, p, true);
  EXPECT_EQ(asked, std::vector<std::string>{"Music@" + At(p)});
  EXPECT_EQ(shown.size(), 1u);
}

TEST_F(NodeMenuTest, ARightClickBesideTheNodesWithNoSelectionShowsTheOwnMenuOnce) {
  const TPoint p = Point(100, 130);
  ClickAt(*tree, p, true);
  EXPECT_EQ(asked, std::vector<std::string>{"none@" + At(p)});
  EXPECT_EQ(shown, std::vector<std::string>{"pmTree:tvFolders"});
}

TEST_F(NodeMenuTest, MenuKeyAndShiftF10OpenTheSelectedNodesMenuAtItsText) {
  script::Focus(*tree);
  script::PressKey(win::VK_APPS);
  EXPECT_TRUE(asked.empty()) << "no selection: the own menu, offered to nobody";
  EXPECT_EQ(shown, std::vector<std::string>{"pmTree:tvFolders"});

  tree->SetSelected(Node(3));
  script::PressKey(win::VK_F10, TShiftState{ssShift});
  script::PressKey(win::VK_APPS);
  EXPECT_EQ(asked, (std::vector<std::string>{"Pictures@" + At(NodePoint(3)), "Pictures@" + At(NodePoint(3))}));
  EXPECT_EQ(shown.size(), 3u) << "one menu for each key";
  script::PressKey(win::VK_APPS, TShiftState{ssCtrl});
  EXPECT_EQ(shown.size(), 3u) << "Ctrl with the menu key is no menu request of the control";
}

TEST_F(NodeMenuTest, AMenuMessageWithASelectedNodeIsLeftToTheClickAndTheKeys) {
  tree->SetSelected(Node(0));
  const TPoint s = tree->ClientToScreen(Point(100, 130));
  win::SendMessage(tree->Handle(), win::WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree->Handle()),
                   win::MAKELPARAM(s.x, s.y));
  EXPECT_TRUE(shown.empty());
  tree->SetSelected(nullptr);
  win::SendMessage(tree->Handle(), win::WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree->Handle()),
                   win::MAKELPARAM(s.x, s.y));
  EXPECT_EQ(asked, std::vector<std::string>{"none@100,130"});
  EXPECT_EQ(shown.size(), 1u);
}

// ---- colours, frame, form file -------------------------------------------------------------------

TEST_F(TreeViewTest, StateColoursAreWhatTheNodesArePaintedOn) {
  Load({"Videos"});
  tree->SetFocusColor(clYellow);
  tree->SetDisabledColor(clSilver);
  const TPoint empty = Point(150, 120);
  EXPECT_EQ(PixelAt(*tree, empty), ColorToRGB(clWindow));
  script::Focus(*tree);
  EXPECT_EQ(tree->Color(), clYellow);
  EXPECT_EQ(PixelAt(*tree, empty), ColorToRGB(clYellow));
  tree->SetEnabled(false);
  EXPECT_EQ(tree->Color(), clSilver);
  EXPECT_EQ(PixelAt(*tree, empty), ColorToRGB(clSilver));
  tree->SetEnabled(true);
  EXPECT_NE(tree->Color(), clSilver);
}

TEST_F(TreeViewTest, TheFrameSitsInTheNonClientEdge) {
  Load({"Videos"});
  tree->SetFramingPreference(fpCustomFraming);
  tree->SetFrameColor(clRed);
  const win::HWND window = tree->Handle();
  tree->SetFrameVisible(true);
  EXPECT_NE(tree->Handle(), window) << "showing the frame makes the window again";
  EXPECT_EQ(tree->Items()->Count(), 1);
  script::Pump();
  EXPECT_EQ(qelo::test::WindowPixel(form->Handle(), tree->Left(), tree->Top() + 50), ColorToRGB(clRed));
  EXPECT_EQ(qelo::test::WindowPixel(form->Handle(), tree->Left() + 2, tree->Top() + 100), ColorToRGB(clWindow));
}

constexpr const char* kTreeForm = R"(object frmTree: TForm
  object tvOld: TCtCustomTreeView
    Left = 8
    Top = 8
    Width = 160
    Height = 120
    AutoExpand = True
    ItemHeight = 22
    FrameFlat = True
    FrameFlatStyle = fsLowered
    FocusColor = clYellow
  end
end
)";

TEST_F(TreeViewTest, AFormFileSetsItsPropertiesAndOldFrameNames) {
  auto* read = new TForm(form);
  ReadComponentText(*read, kTreeForm, "tree.form");
  auto& old = script::Find<TCtCustomTreeView>(*read, "tvOld");
  EXPECT_TRUE(old.AutoExpand());
  EXPECT_EQ(old.ItemHeight(), 22);
  EXPECT_TRUE(old.FrameHotTrack());
  EXPECT_EQ(old.FrameStyle(), fsStatus);
  EXPECT_EQ(old.FrameHotStyle(), fsLowered);
  EXPECT_EQ(old.FocusColor(), clYellow);
  EXPECT_TRUE(IsStoredProp(old, "FocusColor")) << "it differs from Color";
}

}  // namespace
}  // namespace qelo::ct::test
