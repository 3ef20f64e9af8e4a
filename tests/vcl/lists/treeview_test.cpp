// The framework tree view over the native one: nodes kept in step with the
// window, expand and collapse events (and their vetoes), selection by
// click, label edits, image indexes asked for while drawing and custom
// drawing.
#include "lists_fixture.h"
#include "vcl/controls/treeview.h"

namespace qelo::vcl::test {
namespace {

using namespace win;

class TreeViewTest : public FormTest {
 protected:
  // A: B: C, and D, on a tree at (10, 10) of 200 x 200.
  TTreeView* MakeTree(bool show = true) {
    auto* tree = new TTreeView(form);
    tree->SetBounds(10, 10, 200, 200);
    a = tree->Items()->Add(nullptr, "A");
    b = tree->Items()->AddChild(a, "B");
    c = tree->Items()->AddChildObject(b, "C", this);
    d = tree->Items()->Add(a, "D");
    if (show) {
      tree->SetParent(form);
      script::Pump();
    }
    return tree;
  }
  static HTREEITEM Native(TTreeView& tree, UINT relation, HTREEITEM from) {
    return reinterpret_cast<HTREEITEM>(SendMessage(tree.Handle(), TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(from)));
  }
  static TPoint TextPoint(TTreeNode* node) {
    const TRect r = node->DisplayRect(true);
    return Point(r.left + 2, (r.top + r.bottom) / 2);
  }
  TTreeNode *a = nullptr, *b = nullptr, *c = nullptr, *d = nullptr;
};

TEST_F(TreeViewTest, NodesReachTheWindowInTheirPlacesAndKeepTheirStatesAcrossANewWindow) {
  TTreeView* tree = MakeTree(false);
  a->Expand(false);
  tree->SetSelected(b);
  Journal journal;
  tree->OnChange = [&](TObject*, TTreeNode* n) { journal.Add("change " + n->Text()); };
  tree->OnExpanded = [&](TObject*, TTreeNode* n) { journal.Add("expanded " + n->Text()); };
  tree->SetParent(form);

  HWND h = tree->Handle();
  EXPECT_EQ(SendMessage(h, TVM_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(Native(*tree, TVGN_ROOT, nullptr), a->ItemId());
  EXPECT_EQ(Native(*tree, TVGN_CHILD, a->ItemId()), b->ItemId());
  EXPECT_EQ(Native(*tree, TVGN_CHILD, b->ItemId()), c->ItemId());
  EXPECT_EQ(Native(*tree, TVGN_NEXT, a->ItemId()), d->ItemId());
  EXPECT_TRUE(a->Expanded());
  EXPECT_EQ(tree->Selected(), b);
  EXPECT_TRUE(journal.lines.empty()) << "pushing nodes to the window is not a user's change";

  // The framework's view of the tree.
  EXPECT_EQ(tree->Items()->Count(), 4);
  EXPECT_EQ(tree->Items()->Item(2), c);
  EXPECT_EQ(c->Level(), 2);
  EXPECT_EQ(c->Parent(), b);
  EXPECT_EQ(c->GetNext(), d);
  EXPECT_EQ(a->getNextSibling(), d);
  EXPECT_EQ(c->Data(), this);
  EXPECT_TRUE(b->HasChildren());
  EXPECT_FALSE(d->HasChildren());
  EXPECT_THROW(tree->Items()->Item(4), ETreeViewError);

  // A node inserted later goes to its place in the window.
  TTreeNode* first = tree->Items()->Insert(a, "first");
  EXPECT_EQ(Native(*tree, TVGN_ROOT, nullptr), first->ItemId());
  EXPECT_EQ(Native(*tree, TVGN_NEXT, first->ItemId()), a->ItemId());

  tree->SetShowLines(false);  // a new window
  ASSERT_NE(tree->Handle(), h);
  EXPECT_TRUE(a->Expanded());
  EXPECT_FALSE(b->Expanded());
  EXPECT_EQ(tree->Selected(), b);
  EXPECT_EQ(Native(*tree, TVGN_CHILD, b->ItemId()), c->ItemId());
  EXPECT_TRUE(journal.lines.empty());
}

// The order of a custom sort holds in the framework's nodes and in the
// window alike, on one level or on all.
TEST_F(TreeViewTest, ACustomSortReordersTheNodesAndTheWindowTogether) {
  TTreeView* tree = MakeTree();
  TTreeNode* e = tree->Items()->AddChild(a, "E");
  TTreeNode* f = tree->Items()->AddChild(a, "F");
  const TTVCompare descending = [](TTreeNode* x, TTreeNode* y) { return y->Text().compare(x->Text()); };
  ASSERT_TRUE(a->CustomSort(descending));
  EXPECT_EQ(a->Item(0), f);
  EXPECT_EQ(a->Item(2), b);
  EXPECT_EQ(Native(*tree, TVGN_CHILD, a->ItemId()), f->ItemId());
  EXPECT_EQ(Native(*tree, TVGN_NEXT, f->ItemId()), e->ItemId());
  EXPECT_EQ(Native(*tree, TVGN_NEXT, e->ItemId()), b->ItemId());
  EXPECT_EQ(Native(*tree, TVGN_ROOT, nullptr), a->ItemId()) << "one level only";
  ASSERT_TRUE(tree->CustomSort(descending, true));
  EXPECT_EQ(Native(*tree, TVGN_ROOT, nullptr), d->ItemId());
  EXPECT_EQ(d->AbsoluteIndex(), 0);
  EXPECT_EQ(c->AbsoluteIndex(), 5);
  EXPECT_FALSE(tree->CustomSort(nullptr));
}

// Cut and overlay states reach the window and come back with a new one;
// the drop highlight and the indent are the window's.
TEST_F(TreeViewTest, CutOverlayDropHighlightAndIndentReachTheWindow) {
  TTreeView* tree = MakeTree();
  auto state = [&](TTreeNode* node) {
    return static_cast<UINT>(SendMessage(tree->Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node->ItemId()),
                                         TVIS_CUT | TVIS_OVERLAYMASK));
  };
  b->SetCut(true);
  d->SetOverlayIndex(1);
  EXPECT_EQ(state(b), TVIS_CUT);
  EXPECT_EQ(state(d), 2u << 8) << "overlay slot 1 is the list's overlay image 2";
  tree->SetShowLines(false);  // a new window
  EXPECT_EQ(state(b), TVIS_CUT);
  EXPECT_EQ(state(d), 2u << 8);
  d->SetOverlayIndex(-1);
  EXPECT_EQ(state(d), 0u);
  tree->SetDropTarget(d);
  EXPECT_EQ(tree->DropTarget(), d);
  tree->SetDropTarget(nullptr);
  EXPECT_EQ(tree->DropTarget(), nullptr);
  tree->SetIndent(31);
  EXPECT_EQ(SendMessage(tree->Handle(), TVM_GETINDENT, 0, 0), 31);
  EXPECT_FALSE(tree->IsEditing());
}

TEST_F(TreeViewTest, DeletingANodeFreesItsChildrenFirstAndTheWindowFollows) {
  TTreeView* tree = MakeTree();
  tree->SetSelected(c);
  std::vector<std::string> deleted;
  tree->OnDeletion = [&](TObject*, TTreeNode* n) { deleted.push_back(n->Text()); };
  a->Delete();
  EXPECT_EQ(deleted, (std::vector<std::string>{"C", "B", "A"}));
  EXPECT_EQ(SendMessage(tree->Handle(), TVM_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(tree->Items()->GetFirstNode(), d);
  EXPECT_NE(tree->Selected(), c);
  TTreeNode* e = tree->Items()->AddChild(d, "E");
  EXPECT_TRUE(d->HasChildren());
  e->Delete();
  EXPECT_FALSE(d->HasChildren());
  tree->Items()->Clear();
  EXPECT_EQ(SendMessage(tree->Handle(), TVM_GETCOUNT, 0, 0), 0);
}

TEST_F(TreeViewTest, ExpandingAndCollapsingAskFirstAndTellAfter) {
  struct Case {
    bool expand;
    bool allow;
    bool expandedAfter;
    std::vector<std::string> events;
  };
  const Case cases[] = {
      {true, true, true, {"expanding A", "expanded A"}},
      {true, false, false, {"expanding A"}},
      {false, true, false, {"collapsing A", "collapsed A"}},
      {false, false, true, {"collapsing A"}},
  };
  for (const Case& cs : cases) {
    SCOPED_TRACE(std::string(cs.expand ? "expand" : "collapse") + (cs.allow ? "" : " refused"));
    TTreeView* tree = MakeTree(false);
    if (!cs.expand) a->Expand(false);
    tree->SetParent(form);
    Journal journal;
    tree->OnExpanding = [&](TObject*, TTreeNode* n, bool& allow) { journal.Add("expanding " + n->Text()); allow = cs.allow; };
    tree->OnExpanded = [&](TObject*, TTreeNode* n) { journal.Add("expanded " + n->Text()); };
    tree->OnCollapsing = [&](TObject*, TTreeNode* n, bool& allow) { journal.Add("collapsing " + n->Text()); allow = cs.allow; };
    tree->OnCollapsed = [&](TObject*, TTreeNode* n) { journal.Add("collapsed " + n->Text()); };
    a->SetExpanded(cs.expand);
    EXPECT_EQ(a->Expanded(), cs.expandedAfter);
    EXPECT_EQ(journal.lines, cs.events);
    EXPECT_EQ(b->DisplayRect(true).bottom > 0, cs.expandedAfter) << "B shows only below an expanded A";
    tree->Free();
  }
}

TEST_F(TreeViewTest, AClickSelectsTheNodeUnderItUnlessOnChangingRefuses) {
  TTreeView* tree = MakeTree();
  Journal journal;
  bool allow = true;
  tree->OnChanging = [&](TObject*, TTreeNode* n, bool& allowChange) {
    journal.Add("changing " + n->Text());
    allowChange = allow;
  };
  tree->OnChange = [&](TObject*, TTreeNode* n) { journal.Add("change " + n->Text()); };
  EXPECT_EQ(tree->GetNodeAt(TextPoint(d).x, TextPoint(d).y), d);
  ClickAt(*tree, TextPoint(d));
  EXPECT_EQ(tree->Selected(), d);
  EXPECT_EQ(journal.lines, (std::vector<std::string>{"changing D", "change D"}));
  allow = false;
  journal.lines.clear();
  ClickAt(*tree, TextPoint(a));
  EXPECT_EQ(tree->Selected(), d);
  EXPECT_EQ(journal.lines, std::vector<std::string>{"changing A"});
}

TEST_F(TreeViewTest, ARightClickSelectsOnlyWithRightClickSelectAndOpensOneMenu) {
  for (bool rightClickSelect : {false, true}) {
    SCOPED_TRACE(rightClickSelect ? "RightClickSelect" : "plain");
    TTreeView* tree = MakeTree();
    tree->SetRightClickSelect(rightClickSelect);
    tree->SetSelected(a);
    int popups = 0;
    tree->OnContextPopup = [&](TObject*, TPoint, bool& handled) {
      ++popups;
      handled = true;
    };
    ClickAt(*tree, TextPoint(d), true);
    EXPECT_EQ(tree->Selected(), rightClickSelect ? d : a);
    EXPECT_EQ(popups, 1);
    tree->Free();
  }
}

TEST_F(TreeViewTest, LabelEditsAskOnEditingAndTakeTheTextOnEditedLeaves) {
  TTreeView* tree = MakeTree();
  bool allowEdit = false;
  tree->OnEditing = [&](TObject*, TTreeNode*, bool& allow) { allow = allowEdit; };
  tree->OnEdited = [&](TObject*, TTreeNode* n, std::string& text) {
    EXPECT_EQ(n, d);
    text += "!";
  };
  script::Focus(*tree);
  EXPECT_FALSE(d->EditText());
  allowEdit = true;
  ASSERT_TRUE(d->EditText());
  HWND edit = reinterpret_cast<HWND>(SendMessage(tree->Handle(), TVM_GETEDITCONTROL, 0, 0));
  ASSERT_NE(edit, nullptr);
  SetWindowText(edit, "Dee");
  script::PressKey(VK_RETURN);
  script::Pump();
  EXPECT_EQ(d->Text(), "Dee!");
  char buffer[16] = {};
  TVITEM item;
  item.mask = TVIF_TEXT | TVIF_HANDLE;
  item.hItem = d->ItemId();
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  SendMessage(tree->Handle(), TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(buffer, "Dee!");
}

TEST_F(TreeViewTest, ImagesAreAskedForWhileDrawingAndCustomDrawingPaintsOnTheCanvas) {
  TTreeView* tree = MakeTree();
  auto images = SolidImages(16, 16);
  tree->SetImages(images.get());
  std::vector<std::string> asked;
  tree->OnGetImageIndex = [&](TObject*, TTreeNode* n) {
    asked.push_back(n->Text());
    n->SetImageIndex(n == d ? 0 : -1);
  };
  const TRect dText = d->DisplayRect(true);
  const TPoint dIcon = Point(dText.left - 8, (dText.top + dText.bottom) / 2);
  EXPECT_EQ(PixelAt(*tree, dIcon), ColorToRGB(clTeal));
  EXPECT_NE(std::find(asked.begin(), asked.end(), "D"), asked.end());
  const TRect aText = a->DisplayRect(true);
  EXPECT_NE(PixelAt(*tree, Point(aText.left - 8, (aText.top + aText.bottom) / 2)), ColorToRGB(clTeal));

  tree->OnCustomDrawItem = [&](TCustomTreeView* sender, TTreeNode* n, TCustomDrawState, bool& defaultDraw) {
    if (n != a) return;
    sender->Canvas()->Brush()->SetColor(clRed);
    sender->Canvas()->FillRect(n->DisplayRect(false));
    defaultDraw = false;
  };
  EXPECT_EQ(PixelAt(*tree, TextPoint(a)), RGB(255, 0, 0));
  EXPECT_NE(PixelAt(*tree, TextPoint(d)), RGB(255, 0, 0));
  images.reset();  // the tree forgets a freed image list
  EXPECT_EQ(tree->Images(), nullptr);
  EXPECT_NE(PixelAt(*tree, dIcon), ColorToRGB(clTeal));
}

}  // namespace
}  // namespace qelo::vcl::test
