// The shell tree on a folder of its own: lazy filling and the expand-button
// rules, the hidden and file filters, the order, selecting a path (also
// through a hidden folder), refreshing after outside changes (the
// selection moving up when its folder goes), notifications collapsed into
// one refresh, renaming in place, new folders, the default keys (to the
// Trash only when the user agrees), the linked list's timing, Send To of
// the root, drops on nodes and fills that fail.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "ct_shell_ctrls_dragdrop.h"
#include "ct_shell_ctrls_unit.h"
#include "ct_shell_utils.h"
#include "lists_fixture.h"
#include "shell/drag_drop.h"
#include "shell/ole_data.h"
#include "shell/special_folders.h"
#include "shell_tree_fixture.h"
#include "vcl/controls/scripting.h"
#include "win/window/display.h"

namespace qelo::ct::test {
namespace {

using namespace vcl;
namespace script = vcl::script;
using qelo::test::Exists;
using qelo::test::MakeDir;
using qelo::test::WriteFile;

// The tree with its protected parts reachable.
class TestTree : public TCtShellTree {
 public:
  using TCtShellTree::TCtShellTree;
  using TCtCustomShellTree::DoSendTo;
  using TCtCustomShellTree::DragEnter;
  using TCtCustomShellTree::Drop;
};

// A linked list that only records what the tree tells it.
class FakeList : public TComponent, public TCtShellTreeListLink {
 public:
  FakeList() : TComponent(nullptr) {}
  TComponent* LinkComponent() override { return this; }
  void TreeLinked(TCtCustomShellTree* linked) override { tree = linked; }
  void TreeFolderChanged(TCtShellLocator& folder) override { folders.push_back(folder.GetPathName()); }
  void TreeNodeSelected(TTreeNode* node) override { nodes.push_back(node->Text()); }
  bool TreeExpandsSelection() override { return expandSelection; }
  void TreeChangeFlushed() override {}

  TCtCustomShellTree* tree = nullptr;
  std::vector<std::string> folders;
  std::vector<std::string> nodes;
  bool expandSelection = false;
};

constexpr uint16_t kF2 = 0x71;
constexpr uint16_t kF5 = 0x74;

constexpr TCtShellTreeOptions kQuietOptions{stoAutoFill, stoVirtualFolders, stoDefaultKeyHandling, stoContextMenus,
                                            stoShowHidden};

class ShellTreeTest : public ShellTreeFixture {
 protected:
  void SetUp() override {
    ShellTreeFixture::SetUp();
    tree = new TestTree(form);
    tree->SetBounds(0, 0, 300, 280);
    tree->SetOptions(kQuietOptions);
    tree->SetParent(form);
    tree->OnFillStart = [this](TObject*) { ++fills; };
    tree->OnFillComplete = [this](TObject*) { ++completes; };
  }

  // Roots the tree at this test's folder (stoAutoFill fills it at once).
  void Root() {
    TCtShellLocator folder;
    folder.SetPathName(base);
    tree->SetBaseFolder(&folder);
    script::Pump();
  }
  TTreeNode* RootNode() const { return tree->Items()->GetFirstNode(); }
  TTreeNode* Expanded(TTreeNode* node) {
    node->Expand(false);
    script::Pump();
    return node;
  }
  void Select(const std::string& path) {
    TCtShellLocator folder;
    folder.SetPathName(path);
    tree->SetSelectedFolder(&folder);
    script::Pump();
  }
  std::string SelectedText() const { return tree->Selected() ? tree->Selected()->Text() : "<none>"; }
  // Starts a rename on the node, types the name and presses Enter.
  void Rename(TTreeNode* node, const std::string& name) {
    ASSERT_TRUE(node->EditText());
    auto edit = reinterpret_cast<win::HWND>(win::SendMessage(tree->Handle(), win::TVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    win::SetWindowText(edit, name);
    script::PressKey(win::VK_RETURN);
  }

  TestTree* tree = nullptr;
  int fills = 0;
  int completes = 0;
};

TEST_F(ShellTreeTest, TheDefaultsShowTheDesktopFilledOnceTheWindowExists) {
  auto* fresh = new TCtShellTree(form);
  EXPECT_EQ(fresh->Options(), kDefaultShellTreeOptions);
  EXPECT_FALSE(fresh->ShowRoot());
  EXPECT_EQ(fresh->Width(), 150);
  EXPECT_EQ(fresh->Height(), 150);
  ASSERT_NE(fresh->Images(), nullptr);
  EXPECT_EQ(fresh->Images()->Handle(), GetSystemImageList(TCtImageListSize::ilsSmall));
  fresh->SetOptions(kQuietOptions);  // no watches of the whole disk in a test
  fresh->SetParent(form);
  EXPECT_EQ(fresh->Items()->GetFirstNode(), nullptr) << "filled from the posted auto-fill message";
  script::Pump();
  TTreeNode* root = fresh->Items()->GetFirstNode();
  ASSERT_NE(root, nullptr);
  EXPECT_TRUE(root->Expanded());
  EXPECT_EQ(fresh->Selected(), root);
  EXPECT_FALSE(root->Text().empty());
  EXPECT_GE(root->Count(), 2) << "Computer and Home at least";
}

struct FillCase {
  const char* name;
  TCtShellTreeOptions options;
  std::vector<std::string> children;
  std::vector<bool> buttons;  // HasChildren of each child
};

class ShellTreeFillTest : public ShellTreeTest, public ::testing::WithParamInterface<FillCase> {};

// "withsub" holds a folder, "fileonly" a file, "empty" nothing; ".secret"
// is hidden and holds a folder.
TEST_P(ShellTreeFillTest, LevelsFillWhenExpandedWithTheButtonsTheAttributesGive) {
  const FillCase& c = GetParam();
  MakeDir(Path("withsub"));
  MakeDir(Path("withsub/inner"));
  MakeDir(Path("fileonly"));
  WriteFile(Path("fileonly/clip.mp4"), "x");
  MakeDir(Path("empty"));
  MakeDir(Path(".secret"));
  MakeDir(Path(".secret/deep"));
  WriteFile(Path("top.txt"), "x");
  tree->SetOptions(c.options);
  Root();
  TTreeNode* root = RootNode();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->Text(), std::filesystem::path(base).filename().string());
  EXPECT_EQ(ChildTexts(root), c.children);
  std::vector<bool> buttons;
  for (int i = 0; i < root->Count(); ++i) buttons.push_back(root->Item(i)->HasChildren());
  EXPECT_EQ(buttons, c.buttons);
  TTreeNode* withsub = ChildNamed(root, "withsub");
  ASSERT_NE(withsub, nullptr);
  EXPECT_EQ(withsub->Count(), 0) << "nothing is read before the node is expanded";
  EXPECT_EQ(ChildTexts(Expanded(withsub)), std::vector<std::string>{"inner"});
  if (TTreeNode* secret = ChildNamed(root, ".secret")) {
    EXPECT_TRUE(secret->Cut()) << "hidden items are dimmed";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Options, ShellTreeFillTest,
    ::testing::Values(
        FillCase{"HiddenShown", kQuietOptions, {".secret", "empty", "fileonly", "withsub"}, {true, false, false, true}},
        FillCase{"HiddenLeftOut",
                 TCtShellTreeOptions{stoAutoFill, stoVirtualFolders},
                 {"empty", "fileonly", "withsub"},
                 {false, false, true}},
        FillCase{"FilesToo",
                 TCtShellTreeOptions{stoAutoFill, stoIncludeNonFolders},
                 {"empty", "fileonly", "withsub", "top.txt"},
                 {true, true, true, false}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShellTreeTest, ChildrenFollowTheFolderOrderWithoutRegardToCase) {
  for (const char* name : {"b", "C", "a2", "A1", "B10"}) MakeDir(Path(name));
  Root();
  EXPECT_EQ(ChildTexts(RootNode()), (std::vector<std::string>{"A1", "a2", "b", "B10", "C"}));
}

TEST_F(ShellTreeTest, SelectingAPathMakesTheNodesOnTheWayAlsoThroughAHiddenFolder) {
  MakeDir(Path(".secret"));
  MakeDir(Path(".secret/deep"));
  MakeDir(Path(".secret/deep/deeper"));
  MakeDir(Path("open"));
  tree->SetOptions(TCtShellTreeOptions{stoAutoFill});
  Root();
  EXPECT_EQ(ChildTexts(RootNode()), std::vector<std::string>{"open"});
  Select(Path(".secret/deep/deeper"));
  EXPECT_EQ(SelectedText(), "deeper");
  EXPECT_EQ(tree->SelectedPathName(), Path(".secret/deep/deeper"));
  TTreeNode* secret = ChildNamed(RootNode(), ".secret");
  ASSERT_NE(secret, nullptr) << "the hidden folder on the way is added";
  EXPECT_TRUE(secret->Expanded());
  EXPECT_EQ(tree->SelectedFolder()->GetPathName(), Path(".secret/deep/deeper"));

  const int beeps = win::MessageBeepCount();
  Select(Path("open/missing"));  // cannot be parsed: the locator holds the desktop
  EXPECT_EQ(tree->Selected(), RootNode());
  MakeDir(ProcessHome().Path("elsewhere"));
  MakeDir(ProcessHome().Path("elsewhere/open"));
  Select(ProcessHome().Path("elsewhere/open"));
  EXPECT_EQ(tree->Selected(), RootNode()) << "a folder outside the base is not looked for inside it";
  EXPECT_EQ(win::MessageBeepCount(), beeps + 1);
}

TEST_F(ShellTreeTest, ARefreshFollowsOutsideChangesAndMovesTheSelectionUp) {
  MakeDir(Path("keep"));
  MakeDir(Path("keep/gone"));
  MakeDir(Path("keep/gone/below"));
  MakeDir(Path("old"));
  MakeDir(Path("unread"));
  MakeDir(Path("unread/child"));
  Root();
  Select(Path("keep/gone/below"));
  ASSERT_EQ(SelectedText(), "below");
  TTreeNode* unread = ChildNamed(RootNode(), "unread");
  ASSERT_EQ(unread->Count(), 0);

  std::filesystem::remove_all(Path("keep/gone"));
  std::filesystem::rename(Path("old"), Path("renamed"));
  MakeDir(Path("fresh"));
  MakeDir(Path("keep/new"));
  MakeDir(Path("unread/second"));
  fills = completes = 0;
  script::Focus(*tree);
  script::PressKey(kF5);
  EXPECT_EQ(fills, 1);
  EXPECT_EQ(completes, 1);
  EXPECT_EQ(ChildTexts(RootNode()), (std::vector<std::string>{"fresh", "keep", "renamed", "unread"}));
  TTreeNode* keep = ChildNamed(RootNode(), "keep");
  EXPECT_EQ(ChildTexts(keep), std::vector<std::string>{"new"});
  EXPECT_EQ(tree->Selected(), keep) << "the selection goes to the parent of the folder that went";
  EXPECT_EQ(tree->SelectedFolder()->GetPathName(), Path("keep"));
  EXPECT_EQ(ChildNamed(RootNode(), "unread")->Count(), 0) << "a level never read stays unread";
  EXPECT_EQ(ChildTexts(Expanded(ChildNamed(RootNode(), "unread"))), (std::vector<std::string>{"child", "second"}));
}

TEST_F(ShellTreeTest, NotificationsInARowGiveOneRefreshAndFollowTheChangeThread) {
  MakeDir(Path("first"));
  TCtShellTreeOptions watching = kQuietOptions;
  tree->SetOptions(watching.Include(stoDynamicRefresh));
  Root();
  script::Focus(*tree);
  fills = 0;
  for (int i = 0; i < 3; ++i) {
    win::PostMessage(tree->Handle(), WM_SHELLCHANGED, 0, 0);
    script::PumpUntil([] { return false; }, 100);
  }
  EXPECT_EQ(fills, 0) << "the timer restarts with each notification";
  EXPECT_TRUE(script::PumpUntil([&] { return fills > 0; }, 2000));
  script::PumpUntil([] { return false; }, 600);
  EXPECT_EQ(fills, 1);

  // A real change, told by the change thread.
  MakeDir(Path("second"));
  EXPECT_TRUE(script::PumpUntil([&] { return ChildNamed(RootNode(), "second") != nullptr; }, 5000));
}

struct RenameCase {
  const char* name;
  std::string typed;
  std::string label;    // the node's text afterwards
  std::string onDisk;   // the folder's name afterwards
  bool toldTheUser;
};

class ShellTreeRenameTest : public ShellTreeTest, public ::testing::WithParamInterface<RenameCase> {};

TEST_P(ShellTreeRenameTest, RenamesTrimmedAndRefusedNamesLeaveTheLabel) {
  const RenameCase& c = GetParam();
  MakeDir(Path("clips"));
  MakeDir(Path("taken"));
  Root();
  Select(Path("clips"));
  script::Focus(*tree);
  script::ModalScript modal;
  if (c.toldTheUser) modal.Answer(mrOk);
  TTreeNode* node = tree->Selected();
  Rename(node, c.typed);
  EXPECT_EQ(node->Text(), c.label);
  EXPECT_TRUE(Exists(Path(c.onDisk)));
  EXPECT_EQ(modal.Seen().size(), c.toldTheUser ? 1u : 0u);
  EXPECT_EQ(modal.Unanswered(), 0);
  EXPECT_EQ(tree->SelectedPathName(), Path(c.onDisk));
  EXPECT_EQ(tree->SelectedFolder()->GetPathName(), Path(c.onDisk));
}

INSTANTIATE_TEST_SUITE_P(Names, ShellTreeRenameTest,
                         ::testing::Values(RenameCase{"Trimmed", "  movies \t", "movies", "movies", false},
                                           RenameCase{"NameInUse", "taken", "clips", "clips", true},
                                           RenameCase{"NoSuchName", "a/b", "clips", "clips", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShellTreeTest, TheEditBoxOffersTheEditingNameAndTheRootIsNotRenamed) {
  MakeDir(Path("clips"));
  Root();
  script::Focus(*tree);
  EXPECT_FALSE(RootNode()->EditText());
  TTreeNode* clips = ChildNamed(RootNode(), "clips");
  clips->SetText("shown otherwise");
  ASSERT_TRUE(clips->EditText());
  auto edit = reinterpret_cast<win::HWND>(win::SendMessage(tree->Handle(), win::TVM_GETEDITCONTROL, 0, 0));
  EXPECT_EQ(win::GetWindowText(edit), "clips");
  script::PressKey(win::VK_ESCAPE);
  tree->SetReadOnly(true);  // a new window, filled anew
  script::Pump();
  ASSERT_NE(ChildNamed(RootNode(), "clips"), nullptr);
  EXPECT_FALSE(ChildNamed(RootNode(), "clips")->EditText());
}

TEST_F(ShellTreeTest, ANewFolderIsNamedFreelyAndEditedAtOnce) {
  MakeDir(Path("work"));
  MakeDir(Path("work/New Folder"));
  Root();
  Select(Path("work"));
  script::Focus(*tree);
  ASSERT_TRUE(tree->CreateNewFolder());
  EXPECT_TRUE(Exists(Path("work/New Folder (2)")));
  TTreeNode* work = tree->Selected();
  EXPECT_TRUE(work->Expanded());
  EXPECT_EQ(ChildTexts(work), (std::vector<std::string>{"New Folder", "New Folder (2)"}));
  ASSERT_TRUE(tree->IsEditing());
  auto edit = reinterpret_cast<win::HWND>(win::SendMessage(tree->Handle(), win::TVM_GETEDITCONTROL, 0, 0));
  EXPECT_EQ(win::GetWindowText(edit), "New Folder (2)");
  win::SetWindowText(edit, "Snapshots");
  script::PressKey(win::VK_RETURN);
  EXPECT_TRUE(Exists(Path("work/Snapshots")));
  EXPECT_FALSE(Exists(Path("work/New Folder (2)")));
  EXPECT_EQ(ChildTexts(work), (std::vector<std::string>{"New Folder", "Snapshots"}));

  // The change that the tree's own rename brings is no refresh; the next is.
  fills = 0;
  win::PostMessage(tree->Handle(), WM_SHELLCHANGED, 0, 0);
  script::PumpUntil([] { return false; }, 700);
  EXPECT_EQ(fills, 0);
  win::PostMessage(tree->Handle(), WM_SHELLCHANGED, 0, 0);
  EXPECT_TRUE(script::PumpUntil([&] { return fills == 1; }, 2000));
}

TEST_F(ShellTreeTest, TheDefaultKeysCopyPasteAndDeleteToTheTrashOnlyWhenTheUserAgrees) {
  MakeDir(Path("source"));
  MakeDir(Path("target"));
  MakeDir(Path("victim"));
  MakeDir(Path("spared"));
  Root();
  script::Focus(*tree);

  Select(Path("source"));
  fills = 0;
  script::PressKey('C', {ssCtrl});
  EXPECT_EQ(fills, 0) << "copying refreshes nothing";
  shell::ComPtr<shell::IDataObject> clip;
  EXPECT_EQ(shell::OleGetClipboard(clip.Put()), shell::S_OK);
  Select(Path("target"));
  script::PressKey('V', {ssCtrl});
  EXPECT_TRUE(Exists(Path("target/source")));
  EXPECT_EQ(ChildTexts(ChildNamed(RootNode(), "target")), std::vector<std::string>{"source"});
  EXPECT_EQ(fills, 1);

  script::ModalScript modal;
  modal.Answer(mrYes);
  Select(Path("victim"));
  script::PressKey(win::VK_DELETE);
  EXPECT_FALSE(Exists(Path("victim")));
  EXPECT_TRUE(Exists(TrashedPath("victim"))) << "moved to the Trash, not destroyed";
  EXPECT_EQ(ChildNamed(RootNode(), "victim"), nullptr);
  ASSERT_EQ(modal.Seen().size(), 1u);
  EXPECT_NE(modal.Seen()[0].find("Trash"), std::string::npos) << modal.Seen()[0];

  modal.Answer(mrNo);
  Select(Path("spared"));
  script::PressKey(win::VK_DELETE, {ssShift});
  EXPECT_TRUE(Exists(Path("spared"))) << "Shift+Del asks as Del does";
  EXPECT_EQ(modal.Seen().size(), 2u);

  // Shell calls made silently ask nobody, so they delete nothing.
  tree->BeginSilent();
  EXPECT_TRUE(FAILED(tree->DoCommandForNode(tree->Selected(), "delete")));
  tree->EndSilent();
  EXPECT_TRUE(Exists(Path("spared")));
  EXPECT_EQ(tree->DoCommandForNode(RootNode(), "delete"), shell::S_FALSE) << "the root is left alone";
  EXPECT_EQ(modal.Unanswered(), 0);

  script::PressKey(kF2);
  EXPECT_TRUE(tree->IsEditing());
  script::PressKey(win::VK_ESCAPE);
  shell::OleSetClipboard(nullptr);
}

TEST_F(ShellTreeTest, AKeyMovesTheLinkedListAfterADelayAClickAtOnce) {
  for (const char* name : {"a", "b", "c"}) MakeDir(Path(name));
  FakeList list;
  tree->SetShellList(&list);
  EXPECT_EQ(list.tree, tree);
  Root();
  Select(Path("a"));
  ASSERT_EQ(SelectedText(), "a");
  list.nodes.clear();
  script::Focus(*tree);
  script::PressKey(win::VK_DOWN);
  EXPECT_EQ(SelectedText(), "b") << "the selection moves at once";
  EXPECT_TRUE(list.nodes.empty()) << "the list waits";
  EXPECT_EQ(tree->SelectedPathName(), Path("b"));
  EXPECT_TRUE(script::PumpUntil([&] { return !list.nodes.empty(); }, 1500));
  EXPECT_EQ(list.nodes, std::vector<std::string>{"b"});
  EXPECT_EQ(tree->SelectedFolder()->GetPathName(), Path("b"));

  list.nodes.clear();
  TTreeNode* c = ChildNamed(RootNode(), "c");
  vcl::test::ClickAt(*tree, vcl::test::Centre(c->DisplayRect(true)));
  EXPECT_EQ(list.nodes, std::vector<std::string>{"c"});

  tree->SetShellList(nullptr);
  EXPECT_EQ(list.tree, nullptr);
}

TEST_F(ShellTreeTest, AListThatGoesIsForgotten) {
  auto* list = new FakeList;
  tree->SetShellList(list);
  list->Free();
  EXPECT_EQ(tree->ShellList(), nullptr);
}

TEST_F(ShellTreeTest, SendingTheRootSendsItsFolder) {
  const std::string sendTo = shell::SendToDirectory();
  std::filesystem::create_directories(sendTo);
  MakeDir(ProcessHome().Path("backup"));
  const std::string entry = std::filesystem::path(base).filename().string() + "-backup";
  qelo::test::MakeSymlink(ProcessHome().Path("backup"), sendTo + "/" + entry);
  MakeDir(Path("inside"));
  Root();
  SendToList()->Clear();
  SendToList()->Add(entry);
  tree->DoSendTo(RootNode(), 0);
  EXPECT_TRUE(Exists(ProcessHome().Path("backup/") + std::filesystem::path(base).filename().string() + "/inside"));
}

TEST_F(ShellTreeTest, DropsGoToTheNodeUnderThePointerNeverToTheRootOnEntering) {
  MakeDir(Path("bin"));
  MakeDir(ProcessHome().Path("outside"));
  WriteFile(ProcessHome().Path("outside/clip.mp4"), "movie");
  Root();
  shell::IdListPtr folderList = qelo::test::ParsePath(ProcessHome().Path("outside"));
  shell::IdListPtr item = qelo::test::ChildItem(ProcessHome().Path("outside"), "clip.mp4");
  shell::ComPtr<shell::IShellFolder> folder = qelo::test::BindPath(ProcessHome().Path("outside"));
  shell::ComPtr<shell::IDataObject> data = TDataObject_shlv::Create(folder.Get(), folderList.Get(), {item.Get()});
  auto screenPoint = [&](TTreeNode* node) {
    const TPoint p = tree->ClientToScreen(vcl::test::Centre(node->DisplayRect(true)));
    return win::POINT{p.x, p.y};
  };
  uint32_t effect = shell::DROPEFFECT_COPY;
  EXPECT_EQ(tree->DragEnter(data.Get(), win::MK_LBUTTON, screenPoint(RootNode()), &effect), shell::S_OK);
  EXPECT_EQ(effect, shell::DROPEFFECT_NONE);
  TTreeNode* bin = ChildNamed(RootNode(), "bin");
  effect = shell::DROPEFFECT_COPY;
  EXPECT_EQ(tree->DragEnter(data.Get(), win::MK_LBUTTON, screenPoint(bin), &effect), shell::S_OK);
  EXPECT_EQ(tree->DropTarget(), bin);
  effect = shell::DROPEFFECT_COPY;
  EXPECT_EQ(tree->Drop(data.Get(), 0, screenPoint(bin), &effect), shell::S_OK);
  EXPECT_EQ(qelo::test::ReadFile(Path("bin/clip.mp4")), "movie");
  EXPECT_TRUE(Exists(ProcessHome().Path("outside/clip.mp4"))) << "copied, not moved";
  EXPECT_EQ(tree->DropTarget(), nullptr);
}

// The system image list is shared with every other user: only while the
// tree paints is its background the tree's colour.
TEST_F(ShellTreeTest, TheImagesTakeTheTreesColourOnlyWhileItPaints) {
  MakeDir(Path("clips"));
  Root();
  const win::HIMAGELIST system = GetSystemImageList(TCtImageListSize::ilsSmall);
  const win::COLORREF before = win::ImageList_GetBkColor(system);
  tree->SetColor(static_cast<TColor>(0x00336699));
  std::vector<win::COLORREF> whilePainting;
  tree->OnCustomDrawItem = [&](TCustomTreeView*, TTreeNode*, TCustomDrawState, bool& defaultDraw) {
    whilePainting.push_back(win::ImageList_GetBkColor(system));
    defaultDraw = true;
  };
  tree->Invalidate();
  win::UpdateWindow(tree->Handle());
  ASSERT_FALSE(whilePainting.empty());
  for (win::COLORREF c : whilePainting) EXPECT_EQ(c, 0x00336699u);
  EXPECT_EQ(win::ImageList_GetBkColor(system), before) << "given back after painting";
}

struct DesignHitCase {
  const char* name;
  bool interactive;
  const char* where;  // "label", "right", "beyond", "below"
  bool toControl;
};

class ShellTreeDesignHitTest : public ShellTreeTest, public ::testing::WithParamInterface<DesignHitCase> {};

// A form designer lets clicks on items, their buttons, the space right of
// them and beyond the client area reach the tree, with
// stoDesignInteractive only.
TEST_P(ShellTreeDesignHitTest, ClicksOnItemsGoToTheTreeWhenInteractive) {
  const DesignHitCase& c = GetParam();
  MakeDir(Path("outer"));
  MakeDir(Path("outer/inner"));
  tree->SetOptions(TCtShellTreeOptions(kQuietOptions).Include(stoDesignInteractive));
  Root();
  if (!c.interactive) tree->SetOptions(kQuietOptions);
  TTreeNode* outer = ChildNamed(RootNode(), "outer");
  ASSERT_NE(outer, nullptr);
  const TRect label = outer->DisplayRect(true);
  const std::string where = c.where;
  TPoint p = vcl::test::Centre(label);
  if (where == "right") p.x = label.right + 20;
  else if (where == "beyond") p.x = tree->ClientWidth() + 5;
  else if (where == "below") p.y = tree->ClientHeight() - 2;
  const auto answer = win::SendMessage(tree->Handle(), CM_DESIGNHITTEST, 0, win::MAKELPARAM(p.x, p.y));
  EXPECT_EQ(answer != 0, c.toControl);
}

INSTANTIATE_TEST_SUITE_P(Points, ShellTreeDesignHitTest,
                         ::testing::Values(DesignHitCase{"Label", true, "label", true},
                                           DesignHitCase{"RightOfTheLabel", true, "right", true},
                                           DesignHitCase{"BeyondTheClientArea", true, "beyond", true},
                                           DesignHitCase{"BelowTheItems", true, "below", false},
                                           DesignHitCase{"LabelNotInteractive", false, "label", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// Emptying the window's tree at once is no selection change: the linked
// list and OnChange hear nothing.
TEST_F(ShellTreeTest, EmptyingTheWindowsTreeIsNoSelectionChange) {
  MakeDir(Path("clips"));
  FakeList list;
  tree->SetShellList(&list);
  Root();
  Select(Path("clips"));
  list.nodes.clear();
  list.folders.clear();
  int changes = 0;
  tree->OnChange = [&](TObject*, TTreeNode*) { ++changes; };
  win::SendMessage(tree->Handle(), win::TVM_DELETEITEM, 0, reinterpret_cast<win::LPARAM>(win::TVI_ROOT));
  script::Pump();
  EXPECT_EQ(changes, 0);
  EXPECT_TRUE(list.nodes.empty());
  tree->SetShellList(nullptr);
}

TEST_F(ShellTreeTest, ABaseFolderThatCannotBeBoundLeavesNoNodesAndPairedNotifications) {
  MakeDir(Path("doomed"));
  TCtShellLocator doomed;
  doomed.SetPathName(Path("doomed"));
  tree->SetOptions(TCtShellTreeOptions{});
  tree->SetBaseFolder(&doomed);
  std::filesystem::remove(Path("doomed"));
  EXPECT_THROW(tree->FillTree(), vcl::Exception);
  EXPECT_EQ(tree->Items()->GetFirstNode(), nullptr);
  EXPECT_EQ(fills, completes);
}

}  // namespace
}  // namespace qelo::ct::test
