// The shell tree's large levels, filled off the window's thread: the tree
// they leave is the one a fill on the window's thread leaves (nodes, order,
// expand buttons, dimming and overlays, also where selecting a path added
// nodes on the way while the level was read), the window answers while
// they fill, and a fill that is overtaken (its node deleted, the tree
// filled anew, the window made again, the tree freed, a refresh) ends
// cleanly.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "ct_shell_ctrls_tree.h"
#include "shell_tree_fixture.h"
#include "vcl/controls/scripting.h"

namespace qelo::ct::test {
namespace {

using namespace vcl;
namespace script = vcl::script;
using qelo::test::MakeDir;
using qelo::test::MakeSymlink;
using qelo::test::WriteFile;

constexpr TCtShellTreeOptions kShowHidden{stoAutoFill, stoVirtualFolders, stoShowHidden};
constexpr TCtShellTreeOptions kHideHidden{stoAutoFill, stoVirtualFolders};
constexpr TCtShellTreeOptions kFilesToo{stoAutoFill, stoIncludeNonFolders, stoShowHidden};
// Levels above this many items are filled off the thread in the tree under test.
constexpr std::size_t kSmallLimit = 8;

// A node and, for filled nodes, its children: text, button, dimming,
// overlay and whether it is expanded.
void Describe(TTreeNode* node, const std::string& indent, std::vector<std::string>* lines) {
  lines->push_back(indent + node->Text() + (node->HasChildren() ? " +" : "") + (node->Cut() ? " cut" : "") +
                   " overlay" + std::to_string(node->OverlayIndex()) + (node->Expanded() ? " open" : ""));
  for (int i = 0; i < node->Count(); ++i) Describe(node->Item(i), indent + "  ", lines);
}

std::vector<std::string> Describe(TCustomTreeView& tree) {
  std::vector<std::string> lines;
  for (TTreeNode* node = tree.Items()->GetFirstNode(); node; node = node->getNextSibling())
    Describe(node, "", &lines);
  return lines;
}

class ShellTreeLargeLevelTest : public ShellTreeFixture {
 protected:
  void SetUp() override {
    ShellTreeFixture::SetUp();
    MakeBigFolder();
  }

  // "big" holds folders with and without subfolders, files, hidden items,
  // names that differ only in case or are not ASCII, a link to a folder and
  // a broken link: more items than kSmallLimit.
  void MakeBigFolder() {
    MakeDir(Path("big"));
    for (int i = 0; i < 24; ++i) {
      const std::string clip = Path("big/Clip" + std::to_string(i));
      MakeDir(clip);
      if (i % 2 == 0) MakeDir(clip + "/inner");
      else WriteFile(clip + "/take.mp4", "x");
    }
    for (const char* name : {"alpha", "Beta", "gamma", "Ärger", "éclair", "zebra", "Middle", "middle2"})
      MakeDir(Path("big/") + name);
    MakeDir(Path("big/.cache"));
    MakeDir(Path("big/.cache/inner"));
    MakeDir(Path("big/.hidden2"));
    std::filesystem::create_directories(Path("big/deep/one/two"));
    for (const char* name : {"note.txt", "Movie.MP4", ".secret.txt"}) WriteFile(Path("big/") + name, "x");
    MakeSymlink(Path("big/Clip0"), Path("big/link-to-clip"));
    MakeSymlink(Path("big/nowhere"), Path("big/dangling"));
  }

  TCtShellTree* MakeTree(TCtShellTreeOptions options, std::size_t syncLimit, int left) {
    auto* tree = new TCtShellTree(form);
    tree->SetBounds(left, 0, 200, 280);
    tree->SetOptions(options);
    tree->SetSyncFillLimit(syncLimit);
    tree->SetParent(form);
    TCtShellLocator root;
    root.SetPathName(base);
    tree->SetBaseFolder(&root);
    script::Pump();
    return tree;
  }

  // Runs `step` on the tree filled on the window's thread and on the tree
  // that fills large levels off it, waits for the latter, and compares them.
  void Compare(TCtShellTreeOptions options, const std::function<void(TCtShellTree&)>& step) {
    TCtShellTree* sync = MakeTree(options, std::numeric_limits<std::size_t>::max(), 0);
    TCtShellTree* async = MakeTree(options, kSmallLimit, 210);
    int starts = 0, completes = 0;
    async->OnFillStart = [&](TObject*) { ++starts; };
    async->OnFillComplete = [&](TObject*) { ++completes; };
    step(*sync);
    EXPECT_FALSE(sync->FillsPending());
    step(*async);
    EXPECT_TRUE(async->FillsPending()) << "the large level is read off the window's thread";
    ASSERT_TRUE(script::PumpUntil([&] { return !async->FillsPending(); }, 10000));
    EXPECT_EQ(Describe(*async), Describe(*sync));
    EXPECT_EQ(async->SelectedPathName(), sync->SelectedPathName());
    EXPECT_EQ(starts, completes);
  }
};

struct FillCase {
  const char* name;
  TCtShellTreeOptions options;
  const char* select;  // a path below the base to select; null: expand "big"
};

class ShellTreeLargeLevelSameTest : public ShellTreeLargeLevelTest, public ::testing::WithParamInterface<FillCase> {};

TEST_P(ShellTreeLargeLevelSameTest, ALevelFilledOffTheThreadIsTheOneFilledOnIt) {
  const FillCase& c = GetParam();
  Compare(c.options, [&](TCtShellTree& tree) {
    if (!c.select) return ChildNamed(tree.Items()->GetFirstNode(), "big")->Expand(false);
    TCtShellLocator target;
    target.SetPathName(Path(c.select));
    tree.SetSelectedFolder(&target);
  });
}

INSTANTIATE_TEST_SUITE_P(
    Levels, ShellTreeLargeLevelSameTest,
    ::testing::Values(FillCase{"Expanded", kShowHidden, nullptr}, FillCase{"HiddenLeftOut", kHideHidden, nullptr},
                      FillCase{"FilesToo", kFilesToo, nullptr},
                      FillCase{"SelectedThroughIt", kShowHidden, "big/deep/one/two"},
                      FillCase{"SelectedInTheMiddle", kShowHidden, "big/Middle"},
                      FillCase{"SelectedFirst", kFilesToo, "big/alpha"},
                      FillCase{"SelectedHiddenLeftOut", kHideHidden, "big/.cache/inner"}),
    [](const auto& info) { return std::string(info.param.name); });

// A message posted to the window is answered before any node of the level
// is added, and again between the slices that add them.
TEST_F(ShellTreeLargeLevelTest, TheWindowAnswersWhileALargeLevelFills) {
  MakeDir(Path("many"));
  for (int i = 0; i < 1000; ++i) MakeDir(Path("many/f" + std::to_string(i)));
  TCtShellTree* tree = MakeTree(kShowHidden, kSmallLimit, 0);
  TTreeNode* many = ChildNamed(tree->Items()->GetFirstNode(), "many");
  std::vector<int> countsWhenAnswered;
  std::vector<bool> pendingWhenAnswered;
  auto answer = [&] {
    countsWhenAnswered.push_back(many->Count());
    pendingWhenAnswered.push_back(tree->FillsPending());
  };
  // Posted ahead of the expansion so a reader quicker than this thread (as
  // under a sanitizer) cannot queue its first slice before it.
  Application()->Post(answer);
  many->Expand(false);
  tree->OnInsertItem = [&](TObject*, TTreeNode*) {
    if (many->Count() == 1) Application()->Post(answer);
  };
  ASSERT_TRUE(script::PumpUntil([&] { return !tree->FillsPending(); }, 10000));
  EXPECT_TRUE(many->Expanded()) << "the node opened at once";
  ASSERT_EQ(countsWhenAnswered.size(), 2u);
  EXPECT_EQ(countsWhenAnswered[0], 0) << "answered before the level was read";
  EXPECT_LT(countsWhenAnswered[1], 1000) << "answered between slices";
  EXPECT_EQ(pendingWhenAnswered, (std::vector<bool>{true, true}));
  EXPECT_EQ(many->Count(), 1000);
}

// What overtakes a pending fill; each leaves no fill pending and adds no
// node afterwards.
struct OvertakeCase {
  const char* name;
  std::function<void(TCtShellTree& tree, TTreeNode* big)> step;
  bool treeFreed;
};

class ShellTreeLargeLevelOvertakenTest : public ShellTreeLargeLevelTest, public ::testing::WithParamInterface<OvertakeCase> {};

TEST_P(ShellTreeLargeLevelOvertakenTest, AnOvertakenFillEndsCleanly) {
  const OvertakeCase& c = GetParam();
  TCtShellTree* tree = MakeTree(kShowHidden, kSmallLimit, 0);
  int starts = 0, completes = 0, inserted = 0;
  tree->OnFillStart = [&](TObject*) { ++starts; };
  tree->OnFillComplete = [&](TObject*) { ++completes; };
  TTreeNode* big = ChildNamed(tree->Items()->GetFirstNode(), "big");
  big->Expand(false);
  ASSERT_TRUE(tree->FillsPending());
  tree->OnInsertItem = [&](TObject*, TTreeNode*) { ++inserted; };
  c.step(*tree, big);
  if (c.treeFreed) {
    script::PumpUntil([] { return false; }, 200);  // a late message of the job finds nothing
    return;
  }
  EXPECT_FALSE(tree->FillsPending());
  script::Pump();  // a window made again fills its first level anew
  const int after = inserted;
  script::PumpUntil([] { return false; }, 200);
  EXPECT_EQ(inserted, after) << "no node comes after the fill ended";
  EXPECT_EQ(starts, completes);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ShellTreeLargeLevelOvertakenTest,
    ::testing::Values(
        OvertakeCase{"NodeDeleted", [](TCtShellTree& tree, TTreeNode* big) { tree.Items()->Delete(big); }, false},
        OvertakeCase{"FilledAnew", [](TCtShellTree& tree, TTreeNode*) { tree.FillTree(); }, false},
        OvertakeCase{"WindowMadeAgain", [](TCtShellTree& tree, TTreeNode*) { tree.SetReadOnly(true); }, false},
        OvertakeCase{"TreeFreed", [](TCtShellTree& tree, TTreeNode*) { tree.Free(); }, true}),
    [](const auto& info) { return std::string(info.param.name); });

// A refresh needs the level whole: it completes the fill first, and the
// level is then as a fill on the thread leaves it.
TEST_F(ShellTreeLargeLevelTest, ARefreshCompletesAPendingFillFirst) {
  TCtShellTree* sync = MakeTree(kShowHidden, std::numeric_limits<std::size_t>::max(), 0);
  TCtShellTree* async = MakeTree(kShowHidden, kSmallLimit, 210);
  for (TCtShellTree* tree : {sync, async}) ChildNamed(tree->Items()->GetFirstNode(), "big")->Expand(false);
  ASSERT_TRUE(async->FillsPending());
  async->RefreshNodes();
  EXPECT_FALSE(async->FillsPending());
  EXPECT_EQ(Describe(*async), Describe(*sync));
}

}  // namespace
}  // namespace qelo::ct::test
