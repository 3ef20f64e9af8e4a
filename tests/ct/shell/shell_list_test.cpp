// The shell list on a folder of its own: masks and the hidden filter, the
// detail columns and their widths kept between folders and lists, the
// list's own columns for a folder without details (with the
// "DirectoryCols" value), sorting by header clicks, opening and going up,
// the link to a shell tree both ways, refreshing after outside changes,
// renaming in place, the default keys and drops.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>

#include "ct_shell_ctrls_unit.h"
#include "ct_shell_intf.h"
#include "ct_shell_ctrls_list.h"
#include "ct_shell_utils.h"
#include "lists_fixture.h"
#include "registry/registry.h"
#include "shell/drag_drop.h"
#include "shell/errors.h"
#include "shell/file_operations.h"
#include "shell/launch.h"
#include "shell/namespace.h"
#include "shell/ole_data.h"
#include "shell/special_folders.h"
#include "shell/volumes.h"
#include "shell_tree_fixture.h"
#include "ui_script.h"
#include "vcl/controls/scripting.h"
#include "vcl/form_reader.h"
#include "win/window/display.h"
#include "win/window/scrollbars.h"

namespace qelo::ct::test {
namespace {

using namespace vcl;
namespace script = vcl::script;
using qelo::test::Exists;
using qelo::test::MakeDir;
using qelo::test::MakeSymlink;
using qelo::test::WriteFile;

constexpr uint16_t kF2 = 0x71;
constexpr uint16_t kF5 = 0x74;

// No watching unless a test asks for it.
constexpr TCtShellListOptions kQuietOptions{sloAutoFill, sloVirtualFolders, sloDefaultKeyHandling, sloContextMenus,
                                            sloOleDrag, sloOleDrop};

// The list with its protected parts reachable.
class TestList : public TCtShellList {
 public:
  using TCtShellList::TCtShellList;
  using TCtCustomShellList::DelayTimerFired;
  using TCtCustomShellList::DragEnter;
  using TCtCustomShellList::DragOver;
  using TCtCustomShellList::Drop;
  using TCtCustomShellList::FillList;

  int menusOpened = 0;  // shell menus the list owned

 protected:
  void Dispatch(TMessage& m) override {
    if (m.Msg == shell::WM_INITMENUPOPUP && m.LParam == 0) ++menusOpened;
    TCtShellList::Dispatch(m);
  }
};

// A shell menu object that only records the flags it was asked with.
class RecordingMenu final : public shell::ComObject<shell::IContextMenu, shell::IID_IContextMenu> {
 public:
  explicit RecordingMenu(std::vector<shell::UINT>* flags) : flags_(flags) {}
  HRESULT QueryContextMenu(shell::HMENU, shell::UINT, shell::UINT, shell::UINT, shell::UINT flags) override {
    flags_->push_back(flags);
    return shell::S_OK;
  }
  HRESULT InvokeCommand(shell::CMINVOKECOMMANDINFO*) override { return shell::E_FAIL; }
  HRESULT GetCommandString(shell::UINT_PTR, shell::UINT, shell::UINT*, char*, shell::UINT) override {
    return shell::E_FAIL;
  }

 private:
  ~RecordingMenu() = default;
  std::vector<shell::UINT>* flags_;
};

// A folder that offers IShellFolder only: no detail columns.
class PlainFolder final : public shell::ComObject<shell::IShellFolder, shell::IID_IShellFolder> {
 public:
  explicit PlainFolder(IShellFolder* inner) : inner_(shell::ComPtr<IShellFolder>::Share(inner)) {}
  HRESULT ParseDisplayName(win::HWND o, void* b, const char* n, shell::ULONG* e, LPITEMIDLIST* l,
                           shell::ULONG* a) override {
    return inner_->ParseDisplayName(o, b, n, e, l, a);
  }
  HRESULT EnumObjects(win::HWND o, shell::DWORD f, shell::IEnumIDList** i) override {
    return inner_->EnumObjects(o, f, i);
  }
  HRESULT BindToObject(LPCITEMIDLIST l, void* b, shell::REFIID i, void** o) override {
    return inner_->BindToObject(l, b, i, o);
  }
  HRESULT CompareIDs(win::LPARAM c, LPCITEMIDLIST a, LPCITEMIDLIST b) override { return inner_->CompareIDs(c, a, b); }
  HRESULT CreateViewObject(win::HWND, shell::REFIID, void** o) override {
    *o = nullptr;
    return shell::E_NOINTERFACE;
  }
  HRESULT GetAttributesOf(shell::UINT c, LPCITEMIDLIST const* i, shell::ULONG* a) override {
    return inner_->GetAttributesOf(c, i, a);
  }
  HRESULT GetUIObjectOf(win::HWND o, shell::UINT c, LPCITEMIDLIST const* i, shell::REFIID d, shell::UINT* r,
                        void** out) override {
    if (menuFlags && d == shell::IID_IContextMenu) {
      *out = static_cast<shell::IContextMenu*>(new RecordingMenu(menuFlags));
      return shell::S_OK;
    }
    return inner_->GetUIObjectOf(o, c, i, d, r, out);
  }
  HRESULT GetDisplayNameOf(LPCITEMIDLIST i, shell::DWORD f, shell::STRRET* n) override {
    return inner_->GetDisplayNameOf(i, f, n);
  }
  HRESULT SetNameOf(win::HWND o, LPCITEMIDLIST i, const char* n, shell::DWORD f, LPITEMIDLIST* l) override {
    return inner_->SetNameOf(o, i, n, f, l);
  }

  std::vector<shell::UINT>* menuFlags = nullptr;  // when set, menus only record their flags

 private:
  ~PlainFolder() = default;
  shell::ComPtr<IShellFolder> inner_;
};

class ShellListTest : public ShellTreeFixture {
 protected:
  void SetUp() override {
    ShellTreeFixture::SetUp();
    RegisterCtShellListClasses();
    list = MakeList();
  }

  TestList* MakeList() {
    auto* made = new TestList(form);
    made->SetBounds(0, 0, 460, 300);
    made->SetOptions(kQuietOptions);
    made->SetViewStyle(vsReport);
    made->SetParent(form);
    made->OnFillStart = [this](TObject*) { ++fills; };
    return made;
  }

  void Show(const std::string& path, TestList* which = nullptr) {
    TCtShellLocator folder;
    folder.SetPathName(path);
    (which ? which : list)->SetFolder(&folder);
    script::Pump();
  }

  std::vector<std::string> Captions(TestList* which = nullptr) const {
    std::vector<std::string> captions;
    TestList* l = which ? which : list;
    for (int i = 0; i < l->Items()->Count(); ++i) captions.push_back(l->Items()->Item(i)->Caption());
    return captions;
  }
  // A column's text as the window shows it (asked of the list on display).
  std::string Text(int index, int subItem) const {
    char buffer[260] = {};
    win::LVITEM item;
    item.iSubItem = subItem;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    win::SendMessage(list->Handle(), win::LVM_GETITEMTEXT, static_cast<win::WPARAM>(index),
                     reinterpret_cast<win::LPARAM>(&item));
    return buffer;
  }
  int IndexOf(const std::string& caption) const {
    for (int i = 0; i < list->Items()->Count(); ++i)
      if (list->Items()->Item(i)->Caption() == caption) return i;
    return -1;
  }
  TListItem* Item(const std::string& caption) const {
    const int i = IndexOf(caption);
    return i < 0 ? nullptr : list->Items()->Item(i);
  }
  void SelectOnly(const std::string& caption) {
    TListItem* item = Item(caption);
    ASSERT_NE(item, nullptr) << caption;
    list->SetSelected(item);
    item->SetFocused(true);
  }
  std::vector<std::string> ColumnCaptions() const {
    std::vector<std::string> captions;
    for (int i = 0; i < list->Columns()->Count(); ++i) captions.push_back(list->Columns()->Items(i)->Caption());
    return captions;
  }
  TPoint HeaderPoint(int column) const {
    win::RECT r{};
    win::SendMessage(list->GetHeaderHandle(), win::HDM_GETITEMRECT, static_cast<win::WPARAM>(column),
                     reinterpret_cast<win::LPARAM>(&r));
    win::POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    win::ClientToScreen(list->GetHeaderHandle(), &p);
    return list->ScreenToClient(Point(p.x, p.y));
  }

  TestList* list = nullptr;
  int fills = 0;
};

// ---- filling and masks -------------------------------------------------------------------

TEST_F(ShellListTest, TheDefaultsListTheDesktopOnceTheWindowExists) {
  auto* fresh = new TCtShellList(form);
  EXPECT_EQ(fresh->Options(), kDefaultShellListOptions);
  EXPECT_EQ(fresh->SortColumn(), 1);
  ASSERT_NE(fresh->SmallImages(), nullptr);
  EXPECT_EQ(fresh->SmallImages()->Handle(), GetSystemImageList(TCtImageListSize::ilsSmall));
  fresh->SetOptions(kQuietOptions);
  fresh->SetParent(form);
  EXPECT_EQ(fresh->Items()->Count(), 0) << "filled from the posted auto-fill message";
  script::Pump();
  EXPECT_GE(fresh->Items()->Count(), 2) << "Computer and Home at least";
}

struct MaskCase {
  const char* name;
  const char* mask;
  bool showHidden;
  std::vector<std::string> captions;
};

class ShellListMaskTest : public ShellListTest, public ::testing::WithParamInterface<MaskCase> {};

// Folders always pass a mask; masks match without regard to case.
TEST_P(ShellListMaskTest, MasksChooseTheFilesAndFoldersAlwaysPass) {
  const MaskCase& c = GetParam();
  for (const char* file : {"a.mp4", "b.AVI", "c.txt", ".d.mp4"}) WriteFile(Path(file), "x");
  MakeDir(Path("clips.txt"));
  MakeDir(Path(".cache"));
  TCtShellListOptions options = kQuietOptions;
  if (c.showHidden) options.Include(sloShowHidden);
  list->SetOptions(options);
  list->SetFileMask(c.mask);
  Show(base);
  EXPECT_EQ(Captions(), c.captions);
}

INSTANTIATE_TEST_SUITE_P(
    Masks, ShellListMaskTest,
    ::testing::Values(
        MaskCase{"Everything", "*", false, {"clips.txt", "a.mp4", "b.AVI", "c.txt"}},
        MaskCase{"EverythingDotted", "*.*", false, {"clips.txt", "a.mp4", "b.AVI", "c.txt"}},
        MaskCase{"OneMask", "*.mp4", false, {"clips.txt", "a.mp4"}},
        MaskCase{"TwoMasksAnyCase", "*.MP4; *.avi", false, {"clips.txt", "a.mp4", "b.AVI"}},
        MaskCase{"NoMatch", "*.mkv", false, {"clips.txt"}},
        MaskCase{"HiddenToo", "*.mp4", true, {".cache", "clips.txt", ".d.mp4", "a.mp4"}},
        MaskCase{"HiddenAll", "", true, {".cache", "clips.txt", ".d.mp4", "a.mp4", "b.AVI", "c.txt"}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- columns -----------------------------------------------------------------------------

TEST_F(ShellListTest, DetailColumnsShowTheFolderDetailsAskedForOnDisplay) {
  WriteFile(Path("small.txt"), std::string(10, 'x'));
  WriteFile(Path("large.bin"), std::string(3000, 'x'));
  MakeDir(Path("folder"));
  Show(base);
  EXPECT_EQ(ColumnCaptions(), (std::vector<std::string>{"Name", "Size", "Type", "Modified"}));
  EXPECT_EQ(list->Columns()->Items(1)->Alignment(), taRightJustify);
  EXPECT_EQ(list->Columns()->Items(0)->Width(), 28 * 7) << "a heading's characters, 7 pixels each";
  EXPECT_EQ(Text(IndexOf("small.txt"), 1), "1 KB");
  EXPECT_EQ(Text(IndexOf("large.bin"), 1), "3 KB");
  EXPECT_EQ(Text(IndexOf("folder"), 1), "") << "folders have no size";
  EXPECT_EQ(Text(IndexOf("folder"), 2), "Folder");
  EXPECT_FALSE(Text(IndexOf("small.txt"), 3).empty());
  EXPECT_TRUE(Item("small.txt")->SubItems()->Count() == 0) << "nothing stored: the texts are asked for";
}

TEST_F(ShellListTest, ColumnWidthsSurviveAFolderChangeAndANewListForFileSystemFolders) {
  MakeDir(Path("inner"));
  Show(base);
  list->Columns()->Items(0)->SetWidth(123);
  list->Columns()->Items(2)->SetWidth(77);
  Show(Path("inner"));
  EXPECT_EQ(list->Columns()->Items(0)->Width(), 123);
  EXPECT_EQ(list->Columns()->Items(2)->Width(), 77);

  TestList* second = MakeList();
  Show(base, second);
  EXPECT_EQ(second->Columns()->Items(0)->Width(), 123) << "widths are kept for the program's run";
  list->Free();
  second->Free();
}

TEST_F(ShellListTest, AFolderWithoutDetailsGetsTheListsOwnColumns) {
  WriteFile(Path("clip.avi"), std::string(2048 + 1, 'x'));
  MakeDir(Path("sub"));
  Show(base);
  shell::ComPtr<IShellFolder> folder;
  ASSERT_TRUE(SUCCEEDED(BindToShellFolder(list->FolderIdList(), &folder)));
  const shell::IdListPtr folderList(CopyIdList(ShellMalloc(), list->FolderIdList()));
  auto plain = shell::ComPtr<IShellFolder>::Adopt(new PlainFolder(folder.Get()));
  list->FillList(plain.Get(), folderList.Get());
  EXPECT_EQ(ColumnCaptions(), (std::vector<std::string>{"Name", "Size", "Type", "Modified"}));
  EXPECT_EQ(list->ShellDetails(), nullptr);
  EXPECT_EQ(Text(IndexOf("clip.avi"), 1), "3KB") << "kilobytes rounded up";
  EXPECT_EQ(Text(IndexOf("sub"), 1), "");
  EXPECT_EQ(Text(IndexOf("sub"), 2), "Folder");
  EXPECT_FALSE(Text(IndexOf("clip.avi"), 3).empty());
}

// The settings store keeps no binary values: "DirectoryCols" is read as the
// bytes of whatever value is there, and one shorter than four 16-bit words
// gives the default widths instead of being read past its end.
TEST_F(ShellListTest, DirectoryColsGivesWidthsOnlyWhenItHoldsFourWords) {
  qelo::test::TempDir dir;
  qelo::test::ScopedEnv store("QELO_REGISTRY_DIR", dir.path());
  reg::Key key = reg::kNoKey;
  ASSERT_EQ(reg::CreateKey(reg::HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer",
                           reg::kAllAccess, &key),
            reg::Status::kOk);
  auto setString = [&](const std::string& text) {
    reg::SetValue(key, "DirectoryCols", reg::ValueType::kString, text.c_str(),
                  static_cast<std::uint32_t>(text.size() + 1));
  };
  const std::array<int, 4> defaults{200, 60, 100, 120};
  RememberedDirectoryCols().clear();
  SharedColumnWidthStream().clear();
  EXPECT_EQ(DefaultColumnWidths(), defaults) << "no value";

  const std::uint32_t dword = 0x00500040;
  reg::SetValue(key, "DirectoryCols", reg::ValueType::kDword, &dword, sizeof dword);
  EXPECT_EQ(DefaultColumnWidths(), defaults) << "four bytes hold two words, not four";

  setString("ABCDEFGH");  // nine bytes with the terminator: four words and one byte
  EXPECT_EQ(DefaultColumnWidths(), (std::array<int, 4>{0x4241, 0x4443, 0x4645, 0x4847}));

  setString(std::string(30, 'A'));
  EXPECT_EQ(DefaultColumnWidths(), defaults) << "more than 22 bytes is no column record";

  setString("ABCDEFGH");
  EXPECT_EQ(DefaultColumnWidths(), (std::array<int, 4>{0x4241, 0x4443, 0x4645, 0x4847}));
  SaveColumnWidths({11, 22, 33, 44, 55});
  EXPECT_EQ(DefaultColumnWidths(), (std::array<int, 4>{11, 22, 33, 44})) << "unchanged: the saved widths";
  setString("HGFEDCBA");
  EXPECT_EQ(DefaultColumnWidths(), (std::array<int, 4>{0x4748, 0x4546, 0x4344, 0x4142})) << "changed: the value's";
  reg::CloseKey(key);
  RememberedDirectoryCols().clear();
  SharedColumnWidthStream().clear();
}

// ---- sorting -----------------------------------------------------------------------------

TEST_F(ShellListTest, HeaderClicksSortByTheFoldersOrderAndASecondClickReverses) {
  WriteFile(Path("b.txt"), std::string(5000, 'x'));
  WriteFile(Path("a.txt"), std::string(10, 'x'));
  WriteFile(Path("C.txt"), std::string(2500, 'x'));
  MakeDir(Path("zdir"));
  Show(base);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"zdir", "a.txt", "b.txt", "C.txt"})) << "folders first, by name";
  struct Step {
    int column;
    int sortColumn;
    std::vector<std::string> captions;
  } steps[] = {
      {0, -1, {"C.txt", "b.txt", "a.txt", "zdir"}},
      {0, 1, {"zdir", "a.txt", "b.txt", "C.txt"}},
      {1, 2, {"zdir", "a.txt", "C.txt", "b.txt"}},
      {1, -2, {"b.txt", "C.txt", "a.txt", "zdir"}},
  };
  int n = 0;
  for (const Step& s : steps) {
    SCOPED_TRACE(n++);
    vcl::test::ClickAt(*list, HeaderPoint(s.column));
    script::PumpUntil([] { return false; }, 600);  // no two clicks make a double click
    EXPECT_EQ(list->SortColumn(), s.sortColumn);
    EXPECT_EQ(Captions(), s.captions);
    EXPECT_EQ(list->HeaderSortColumn(), s.column);
    EXPECT_EQ(list->HeaderSortDescending(), s.sortColumn < 0);
  }
  list->OnColumnClick = [this](TObject*, TListColumn*) { list->SetSortColumn(0); };
  vcl::test::ClickAt(*list, HeaderPoint(0));
  EXPECT_EQ(list->SortColumn(), 0) << "a sort set by the click's handler stands";
  EXPECT_EQ(list->HeaderSortColumn(), -1);
}

// ---- opening and going up ------------------------------------------------------------------

TEST_F(ShellListTest, OpeningFoldersAndLinksToThemBrowsesBackspaceGoesUp) {
  MakeDir(Path("outer"));
  MakeDir(Path("outer/inner"));
  WriteFile(Path("outer/inner/deep.txt"), "x");
  MakeSymlink(Path("outer/inner"), Path("shortcut"));
  Show(base);
  script::Focus(*list);
  SelectOnly("outer");
  script::PressKey(win::VK_RETURN);
  EXPECT_EQ(list->FolderPath(), Path("outer"));
  EXPECT_EQ(Captions(), std::vector<std::string>{"inner"});

  vcl::test::DoubleClickAt(*list, vcl::test::Centre(Item("inner")->DisplayRect(drLabel)));
  script::Pump();
  EXPECT_EQ(list->FolderPath(), Path("outer/inner"));
  EXPECT_EQ(Captions(), std::vector<std::string>{"deep.txt"});

  script::PressKey(win::VK_BACK);
  EXPECT_EQ(list->FolderPath(), Path("outer"));
  list->GoUp(1);
  EXPECT_EQ(list->FolderPath(), base);

  SelectOnly("shortcut");
  script::PressKey(win::VK_RETURN);
  EXPECT_EQ(Captions(), std::vector<std::string>{"deep.txt"}) << "a link to a folder opens the folder";
}

TEST_F(ShellListTest, EnterOnAFileRunsItsDefaultCommandUnlessVetoed) {
  WriteFile(Path("movie.mp4"), "x");
  MakeDir(Path("folder"));
  std::vector<std::string> opened;
  shell::SetLaunchRecorderForTesting([&](const std::string& uri) {
    opened.push_back(uri);
    return true;
  });
  Show(base);
  script::Focus(*list);
  SelectOnly("movie.mp4");
  script::PressKey(win::VK_RETURN);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_NE(opened[0].find("movie.mp4"), std::string::npos) << opened[0];
  EXPECT_EQ(list->FolderPath(), base);

  list->OnOpenDefault = [](TObject*, bool& allow) { allow = false; };
  script::PressKey(win::VK_RETURN);
  EXPECT_EQ(opened.size(), 1u) << "the event refused";

  list->SetOptions(TCtShellListOptions(kQuietOptions).Include(sloNoBrowse));
  SelectOnly("folder");
  script::PressKey(win::VK_RETURN);
  script::PressKey(win::VK_BACK);
  EXPECT_EQ(list->FolderPath(), base) << "no browsing: the list stays";
  shell::SetLaunchRecorderForTesting({});
}

// ---- the tree's link -----------------------------------------------------------------------

TEST_F(ShellListTest, ALinkedListFollowsTheTreeAndTheTreeFollowsAnOpenedFolder) {
  MakeDir(Path("one"));
  MakeDir(Path("one/two"));
  WriteFile(Path("one/file.txt"), "x");
  auto* tree = new TCtShellTree(form);
  tree->SetBounds(0, 0, 200, 300);
  tree->SetOptions(TCtShellTreeOptions{stoAutoFill, stoVirtualFolders, stoShowHidden});
  tree->SetParent(form);
  list->SetLeft(210);
  tree->SetShellList(list->TreeLink());
  EXPECT_EQ(list->ShellTree(), tree);
  TCtShellLocator root;
  root.SetPathName(base);
  tree->SetBaseFolder(&root);
  script::Pump();
  EXPECT_EQ(list->FolderPath(), base);
  EXPECT_EQ(Captions(), std::vector<std::string>{"one"});

  script::Focus(*list);
  SelectOnly("one");
  script::PressKey(win::VK_RETURN);
  EXPECT_EQ(tree->SelectedPathName(), Path("one")) << "the tree follows";
  EXPECT_EQ(list->FolderPath(), Path("one"));
  EXPECT_EQ(Captions(), (std::vector<std::string>{"two", "file.txt"}));

  list->GoUp(1);
  EXPECT_EQ(tree->SelectedPathName(), base) << "going up goes through the tree";
  EXPECT_EQ(list->FolderPath(), base);

  list->SetOptions(TCtShellListOptions(kQuietOptions).Include(sloFilesOnly));
  TCtShellLocator one;
  one.SetPathName(Path("one"));
  tree->SetSelectedFolder(&one);
  script::Pump();
  EXPECT_EQ(Captions(), std::vector<std::string>{"file.txt"}) << "the tree shows the folders";
  EXPECT_TRUE(tree->Selected()->Expanded());

  tree->Free();
  EXPECT_EQ(list->ShellTree(), nullptr);
  list->GoUp(1);
  EXPECT_EQ(list->FolderPath(), base) << "on its own again";
}

// ---- refreshing ------------------------------------------------------------------------------

TEST_F(ShellListTest, OutsideChangesRefreshOnceAndKeepTheSelection) {
  WriteFile(Path("keep.txt"), "x");
  WriteFile(Path("gone.txt"), "x");
  list->SetOptions(TCtShellListOptions(kQuietOptions).Include(sloDynamicRefresh));
  Show(base);
  script::Focus(*list);
  SelectOnly("keep.txt");
  fills = 0;
  std::filesystem::remove(Path("gone.txt"));
  WriteFile(Path("new.txt"), "x");
  EXPECT_TRUE(script::PumpUntil([&] { return IndexOf("new.txt") >= 0; }, 3000)) << "the change thread told";
  EXPECT_EQ(Captions(), (std::vector<std::string>{"keep.txt", "new.txt"}));
  EXPECT_TRUE(Item("keep.txt")->Selected());

  script::PumpUntil([] { return false; }, 600);
  fills = 0;
  for (int i = 0; i < 3; ++i) {
    win::PostMessage(list->Handle(), WM_SHELLCHANGED, 0, 0);
    script::PumpUntil([] { return false; }, 100);
  }
  EXPECT_TRUE(script::PumpUntil([&] { return fills > 0; }, 1500));
  script::PumpUntil([] { return false; }, 600);
  EXPECT_EQ(fills, 1) << "three notifications in a row, one refresh";
}

// ---- renaming and keys ---------------------------------------------------------------------

struct RenameCase {
  const char* name;
  const char* typed;
  const char* caption;  // the item's caption afterwards
  bool renamed;
};

class ShellListRenameTest : public ShellListTest, public ::testing::WithParamInterface<RenameCase> {};

TEST_P(ShellListRenameTest, RenamesTrimmedAndRefusedNamesLeaveTheCaption) {
  const RenameCase& c = GetParam();
  WriteFile(Path("old.txt"), "x");
  WriteFile(Path("taken.txt"), "y");
  Show(base);
  script::Focus(*list);
  SelectOnly("old.txt");
  script::PressKey(kF2);
  auto edit = reinterpret_cast<win::HWND>(win::SendMessage(list->Handle(), win::LVM_GETEDITCONTROL, 0, 0));
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(win::GetWindowText(edit), "old.txt");
  win::SetWindowText(edit, c.typed);
  script::ModalScript modal;
  if (!c.renamed) modal.Answer(mrOk);  // the shell tells the user why
  script::PressKey(win::VK_RETURN);
  EXPECT_EQ(modal.Unanswered(), 0);
  EXPECT_EQ(modal.Pending(), 0);
  EXPECT_NE(Item(c.caption), nullptr);
  EXPECT_EQ(Exists(Path("old.txt")), !c.renamed);
  EXPECT_EQ(qelo::test::ReadFile(Path("taken.txt")), "y") << "nothing is overwritten";
}

INSTANTIATE_TEST_SUITE_P(Names, ShellListRenameTest,
                         ::testing::Values(RenameCase{"Plain", "new.txt", "new.txt", true},
                                           RenameCase{"Trimmed", "  spaced.txt \t", "spaced.txt", true},
                                           RenameCase{"Clash", "taken.txt", "old.txt", false},
                                           RenameCase{"Slash", "a/b", "old.txt", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShellListTest, TheDefaultKeysSelectCopyPasteAndDeleteToTheTrashWhenAsked) {
  MakeDir(Path("target"));
  WriteFile(Path("one.txt"), "1");
  WriteFile(Path("two.txt"), "2");
  Show(base);
  script::Focus(*list);
  script::PressKey('A', {ssCtrl});
  EXPECT_EQ(list->SelectedCount(), 3);

  SelectOnly("one.txt");
  script::PressKey('C', {ssCtrl});
  Show(Path("target"));
  fills = 0;
  script::PressKey('V', {ssCtrl});
  EXPECT_TRUE(Exists(Path("target/one.txt")));
  EXPECT_EQ(Captions(), std::vector<std::string>{"one.txt"}) << "refreshed after the paste";
  EXPECT_EQ(fills, 1);

  Show(base);
  script::ModalScript modal;
  modal.Answer(mrNo);
  SelectOnly("two.txt");
  script::PressKey(win::VK_DELETE, {ssShift});
  EXPECT_TRUE(Exists(Path("two.txt"))) << "Shift+Del asks as Del does";
  modal.Answer(mrYes);
  script::PressKey(win::VK_DELETE);
  EXPECT_FALSE(Exists(Path("two.txt")));
  EXPECT_TRUE(Exists(TrashedPath("two.txt"))) << "moved to the Trash, not destroyed";
  EXPECT_EQ(IndexOf("two.txt"), -1);
  EXPECT_EQ(modal.Seen().size(), 2u);
  EXPECT_EQ(modal.Unanswered(), 0);

  fills = 0;
  script::PressKey(kF5);
  EXPECT_EQ(fills, 1);
  shell::OleSetClipboard(nullptr);
}

// The Trash refuses items of system mounts (/dev/shm is one): deleting such
// an item asks a second time, and only a second yes deletes it for good.
TEST_F(ShellListTest, AnItemTheTrashRefusesIsDeletedForGoodOnlyAfterASecondYes) {
  struct stat home, shm;
  if (stat(base.c_str(), &home) != 0 || stat("/dev/shm", &shm) != 0 || home.st_dev == shm.st_dev)
    GTEST_SKIP() << "no /dev/shm apart from the home folder";
  char pattern[] = "/dev/shm/qelo-trash-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string folder = pattern;
  WriteFile(folder + "/probe", "x");
  if (shell::MoveToTrash(folder + "/probe") != shell::HRESULT_FROM_WIN32(shell::ERROR_NOT_SUPPORTED)) {
    std::filesystem::remove_all(folder);
    GTEST_SKIP() << "the Trash takes items from /dev/shm here";
  }
  WriteFile(folder + "/clip.mp4", "x");
  Show(folder);
  script::Focus(*list);
  SelectOnly("clip.mp4");
  script::ModalScript modal;
  modal.Answer(mrYes);
  modal.Answer(mrNo);
  script::PressKey(win::VK_DELETE);
  EXPECT_TRUE(Exists(folder + "/clip.mp4")) << "the second answer was no";
  ASSERT_EQ(modal.Seen().size(), 2u);
  EXPECT_NE(modal.Seen()[1].find("cannot be moved to the Trash"), std::string::npos) << modal.Seen()[1];
  EXPECT_NE(modal.Seen()[1].find("delete it permanently"), std::string::npos) << modal.Seen()[1];
  modal.Answer(mrYes);
  modal.Answer(mrYes);
  script::PressKey(win::VK_DELETE);
  EXPECT_FALSE(Exists(folder + "/clip.mp4"));
  EXPECT_FALSE(Exists(TrashedPath("clip.mp4"))) << "deleted for good, not moved to the Trash";
  EXPECT_EQ(IndexOf("clip.mp4"), -1);
  EXPECT_EQ(modal.Unanswered(), 0);
  std::filesystem::remove_all(folder);
}

// ---- drops ---------------------------------------------------------------------------------

TEST_F(ShellListTest, DropsGoToTheFolderItemUnderThePointerOrBesideTheItemsToTheFolder) {
  MakeDir(Path("box"));
  MakeDir(Path("elsewhere"));
  WriteFile(Path("elsewhere/payload.txt"), "p");
  WriteFile(Path("elsewhere/second.txt"), "s");
  Show(base);
  auto dropOf = [&](const std::string& name) {
    shell::ComPtr<IShellFolder> folder;
    shell::IdListPtr folderList, item;
    EXPECT_TRUE(SUCCEEDED(PathToIdList(Path("elsewhere"), folderList.Put())));
    EXPECT_TRUE(SUCCEEDED(BindToShellFolder(folderList.Get(), &folder)));
    shell::ULONG eaten = 0;
    folder->ParseDisplayName(nullptr, nullptr, name.c_str(), &eaten, item.Put(), nullptr);
    return TDataObject_shlv::Create(folder.Get(), folderList.Get(), {item.Get()});
  };
  const TRect box = Item("box")->DisplayRect(drLabel);
  const TPoint onBox = list->ClientToScreen(vcl::test::Centre(box));
  uint32_t effect = shell::DROPEFFECT_COPY;
  shell::ComPtr<IDataObject> payload = dropOf("payload.txt");
  list->DragEnter(payload.Get(), win::MK_LBUTTON, win::POINT{onBox.x, onBox.y}, &effect);
  EXPECT_NE(effect & shell::DROPEFFECT_COPY, 0u);
  const auto highlighted = win::SendMessage(list->Handle(), win::LVM_GETITEMSTATE,
                                           static_cast<win::WPARAM>(IndexOf("box")), win::LVIS_DROPHILITED);
  EXPECT_EQ(highlighted, static_cast<win::LRESULT>(win::LVIS_DROPHILITED)) << "the folder under the pointer";
  effect = shell::DROPEFFECT_COPY;
  list->Drop(payload.Get(), 0, win::POINT{onBox.x, onBox.y}, &effect);
  EXPECT_TRUE(Exists(Path("box/payload.txt")));

  const TPoint beside = list->ClientToScreen(Point(400, 250));
  effect = shell::DROPEFFECT_COPY;
  shell::ComPtr<IDataObject> second = dropOf("second.txt");
  list->DragEnter(second.Get(), win::MK_LBUTTON, win::POINT{beside.x, beside.y}, &effect);
  list->Drop(second.Get(), 0, win::POINT{beside.x, beside.y}, &effect);
  EXPECT_TRUE(Exists(Path("second.txt"))) << "beside the items: into the list's folder";
  EXPECT_GE(IndexOf("second.txt"), 0) << "refreshed after the drop";
}

// A form file names the tree's list; the list then knows its tree.
TEST_F(ShellListTest, AFormFileLinksATreeToItsList) {
  auto* host = new TForm(form);
  ReadComponentText(*host,
                    "object Host: TForm\n"
                    "  object Tree: TCtShellTree\n"
                    "    Options = []\n"
                    "    ShellList = Files\n"
                    "  end\n"
                    "  object Files: TCtShellList\n"
                    "    Options = []\n"
                    "  end\n"
                    "end\n",
                    "host.form");
  auto& tree = script::Find<TCtShellTree>(*host, "Tree");
  auto& files = script::Find<TCtShellList>(*host, "Files");
  EXPECT_EQ(tree.ShellListControl(), &files);
  EXPECT_EQ(files.ShellTree(), &tree);
}

// ---- drives, refreshing, the tree link, icons, menus, the wheel ------------------------------

TEST_F(ShellListTest, AListShowingComputerFollowsDrivesThatComeAndGo) {
  auto volumes = std::make_shared<std::vector<shell::Volume>>();
  shell::SetVolumeSourceForTesting([volumes] { return *volumes; });
  shell::IdListPtr computer;
  ASSERT_TRUE(SUCCEEDED(GetSpecialFolderIdList(nullptr, shell::CSIDL_DRIVES, computer.Put())));
  TCtShellLocator drives;
  drives.SetIdList(computer.Get());
  list->SetFolder(&drives);
  TestList* other = MakeList();
  Show(base, other);
  int otherFills = 0;
  other->OnFillStart = [&](TObject*) { ++otherFills; };
  script::Pump();
  EXPECT_EQ(IndexOf("Memory Stick"), -1);

  *volumes = {shell::Volume{"/media/stick", "Memory Stick", shell::DRIVE_REMOVABLE}};
  shell::CheckVolumeChanges();
  EXPECT_TRUE(script::PumpUntil([&] { return IndexOf("Memory Stick") >= 0; }, 3000)) << "the stick came";
  volumes->clear();
  shell::CheckVolumeChanges();
  EXPECT_TRUE(script::PumpUntil([&] { return IndexOf("Memory Stick") < 0; }, 3000)) << "and went";
  EXPECT_EQ(otherFills, 0) << "a list on another folder is not read again";
}

// The list is compared with the folder, not filled again: the items that
// stay are the same items, still selected and focused, read anew, and the
// view stays where it was.
TEST_F(ShellListTest, ARefreshKeepsTheItemsThatStayAndTheirSelection) {
  for (int i = 0; i < 60; ++i) WriteFile(Path("f" + std::to_string(10 + i) + ".txt"), "x");
  Show(base);
  script::Focus(*list);
  SelectOnly("f50.txt");
  TListItem* kept = Item("f50.txt");
  Item("f65.txt")->MakeVisible();
  const int scrolled = win::GetScrollPos(list->Handle(), win::SB_VERT);
  ASSERT_GT(scrolled, 0);
  std::filesystem::remove(Path("f11.txt"));
  WriteFile(Path("g.txt"), "new");
  WriteFile(Path("f51.txt"), std::string(5000, 'x'));
  fills = 0;
  script::PressKey(kF5);
  EXPECT_EQ(Item("f50.txt"), kept) << "the same item, not made again";
  EXPECT_TRUE(kept->Selected());
  EXPECT_TRUE(kept->Focused());
  EXPECT_EQ(IndexOf("f11.txt"), -1);
  EXPECT_EQ(IndexOf("g.txt"), 59) << "new items take their sorted place: the last";
  EXPECT_EQ(Text(IndexOf("f51.txt"), 1), "5 KB") << "read again";
  EXPECT_EQ(win::GetScrollPos(list->Handle(), win::SB_VERT), scrolled);
  EXPECT_EQ(fills, 1);
}

// An item the list fails to add is told in a message box, and the failure
// goes on to whoever refreshed.
TEST_F(ShellListTest, AnItemThatFailsToBeAddedIsToldAndTheFailureGoesOn) {
  WriteFile(Path("one.txt"), "1");
  Show(base);
  WriteFile(Path("two.txt"), "2");
  list->OnAddItem = [](TObject*, IShellFolder*, LPCITEMIDLIST, LPCITEMIDLIST, shell::ULONG, bool&) {
    throw vcl::Exception("the handler failed");
  };
  script::ModalScript modal;
  modal.Answer(mrOk);
  EXPECT_THROW(list->RefreshItems(), vcl::Exception);
  EXPECT_EQ(modal.Seen(), std::vector<std::string>{"Clipshift: Exception in AddNewShellItem"});
}

TEST_F(ShellListTest, SettingTheFolderMovesTheLinkedTree) {
  MakeDir(Path("one"));
  MakeDir(ProcessHome().Path("beside"));
  auto* tree = new TCtShellTree(form);
  tree->SetBounds(0, 0, 200, 300);
  tree->SetOptions(TCtShellTreeOptions{stoAutoFill, stoVirtualFolders});
  tree->SetParent(form);
  list->SetLeft(210);
  TCtShellLocator root;
  root.SetPathName(base);
  tree->SetBaseFolder(&root);
  tree->SetShellListControl(list);
  script::Pump();
  Show(Path("one"));
  EXPECT_EQ(tree->SelectedPathName(), Path("one"));
  EXPECT_EQ(list->FolderPath(), Path("one"));
  Show(ProcessHome().Path("beside"));
  EXPECT_EQ(list->FolderPath(), ProcessHome().Path("beside")) << "a folder the tree cannot reach is still shown";
  tree->Free();
}

// A selection the tree holds back (a key press with a list linked) goes
// before the list's own refresh.
TEST_F(ShellListTest, TheDelayedRefreshLetsTheTreesHeldBackSelectionGoFirst) {
  for (const char* name : {"a", "b"}) MakeDir(Path(name));
  auto* tree = new TCtShellTree(form);
  tree->SetBounds(0, 0, 200, 300);
  tree->SetOptions(TCtShellTreeOptions{stoAutoFill, stoVirtualFolders});
  tree->SetParent(form);
  list->SetLeft(210);
  tree->SetShellList(list->TreeLink());
  TCtShellLocator root;
  root.SetPathName(base);
  tree->SetBaseFolder(&root);
  Show(Path("a"));
  script::Focus(*tree);
  script::PressKey(win::VK_DOWN);
  ASSERT_EQ(tree->SelectedPathName(), Path("b"));
  ASSERT_EQ(list->FolderPath(), Path("a")) << "held back";
  std::vector<std::string> shownWhenFilled;
  list->OnFillStart = [&](TObject*) { shownWhenFilled.push_back(list->Folder()->GetPathName()); };
  list->DelayTimerFired();
  EXPECT_EQ(list->FolderPath(), Path("b"));
  ASSERT_FALSE(shownWhenFilled.empty());
  EXPECT_EQ(shownWhenFilled.front(), Path("b"));
  tree->Free();
}

TEST_F(ShellListTest, IconsComeFromTheEventTheItemsOwnIndexOrTheShell) {
  WriteFile(Path("asked.txt"), "x");
  WriteFile(Path("own.txt"), "x");
  WriteFile(Path("shell.txt"), "x");
  list->OnGetImageIndex = [](TObject*, TListItem* item) {
    if (item->Caption() == "asked.txt") item->SetImageIndex(7);
  };
  Show(base);
  Item("own.txt")->SetImageIndex(3);
  auto image = [&](const std::string& caption) {
    win::LVITEM item;
    item.mask = win::LVIF_IMAGE;
    item.iItem = IndexOf(caption);
    win::SendMessage(list->Handle(), win::LVM_GETITEM, 0, reinterpret_cast<win::LPARAM>(&item));
    return item.iImage;
  };
  shell::IdListPtr shellItem;
  ASSERT_TRUE(SUCCEEDED(PathToIdList(Path("shell.txt"), shellItem.Put())));
  EXPECT_EQ(image("asked.txt"), 7);
  EXPECT_EQ(image("own.txt"), 3);
  EXPECT_EQ(image("shell.txt"), GetSystemIconIndex(shellItem.Get(), shell::SHGFI_SMALLICON));
}

// The shell's menu offers renaming only for a focused item with a path.
TEST_F(ShellListTest, TheMenuOffersRenamingOnlyForAFocusedItemWithAPath) {
  shell::ComPtr<IShellFolder> desktop;
  ASSERT_TRUE(SUCCEEDED(DesktopFolder(&desktop)));
  auto recording = shell::ComPtr<PlainFolder>::Adopt(new PlainFolder(desktop.Get()));
  std::vector<shell::UINT> flags;
  recording->menuFlags = &flags;
  list->FillList(recording.Get(), nullptr);
  script::Focus(*list);
  script::PopupScript popups;
  for (const char* name : {"Computer", "Home"}) {
    SelectOnly(name);
    script::PressKey(win::VK_APPS);
  }
  ASSERT_EQ(flags.size(), 2u);
  EXPECT_EQ(flags[0] & shell::CMF_CANRENAME, 0u) << "Computer has no path";
  EXPECT_NE(flags[1] & shell::CMF_CANRENAME, 0u) << "Home has one";
}

// The button that opened a menu going up is not a second menu; a later
// right click opens the menu again.
TEST_F(ShellListTest, ARightClickAfterAMenuFromTheKeyboardOpensTheMenuAgain) {
  WriteFile(Path("clip.mp4"), "x");
  Show(base);
  script::Focus(*list);
  SelectOnly("clip.mp4");
  script::PopupScript popups;
  script::PressKey(win::VK_APPS);
  EXPECT_EQ(list->menusOpened, 1);
  vcl::test::ClickAt(*list, vcl::test::Centre(Item("clip.mp4")->DisplayRect(drLabel)), true);
  EXPECT_EQ(list->menusOpened, 2);
  EXPECT_EQ(popups.Unanswered(), 2) << "both dismissed";
}

// Shell extensions ask their host window for the process's shell browser.
TEST_F(ShellListTest, TheHostWindowAnswersTheShellBrowser) {
  class Browser final : public shell::ComObject<shell::IUnknown, shell::IID_IShellBrowser> {};
  const auto answer = [&] { return win::SendMessage(list->Handle(), win::WM_USER + 7, 0, 0); };
  EXPECT_EQ(answer(), 0) << "none registered";
  auto browser = shell::ComPtr<Browser>::Adopt(new Browser);
  shell::SHSetInstanceExplorer(browser.Get());
  EXPECT_EQ(answer(), reinterpret_cast<win::LRESULT>(static_cast<shell::IUnknown*>(browser.Get())));
  shell::SHSetInstanceExplorer(nullptr);
  EXPECT_EQ(answer(), 0);
}

// In list style a notch scrolls the columns sideways, one line; in report
// style the rows move.
TEST_F(ShellListTest, TheWheelScrollsSidewaysInListStyle) {
  for (int i = 0; i < 200; ++i) WriteFile(Path("clip" + std::to_string(100 + i) + ".mp4"), "x");
  list->SetViewStyle(vsList);
  Show(base);
  script::Focus(*list);
  ASSERT_EQ(win::GetScrollPos(list->Handle(), win::SB_HORZ), 0);
  script::TurnWheel(*list, -win::WHEEL_DELTA);
  const int sideways = win::GetScrollPos(list->Handle(), win::SB_HORZ);
  EXPECT_GT(sideways, 0);
  script::TurnWheel(*list, win::WHEEL_DELTA);
  EXPECT_EQ(win::GetScrollPos(list->Handle(), win::SB_HORZ), 0);
  list->SetViewStyle(vsReport);
  script::Pump();
  script::TurnWheel(*list, -win::WHEEL_DELTA);
  EXPECT_EQ(win::GetScrollPos(list->Handle(), win::SB_HORZ), 0);
  EXPECT_GT(win::GetScrollPos(list->Handle(), win::SB_VERT), 0);
}

// ---- dragging out ----------------------------------------------------------------------------

// A drag played step by step through the pointer: a press, moves, the
// release over the target and, when the drop asks what to do, a letter.
struct DragCase {
  const char* name;
  bool rightButton;
  const char* answer;  // the letter for the drop's question; null: no question
  bool moved;          // else copied
};

class ShellDragOutTest : public ShellListTest, public ::testing::WithParamInterface<DragCase> {
 protected:
  TCtShellTree* MakeTree() {
    auto* tree = new TCtShellTree(form);
    tree->SetBounds(0, 0, 200, 300);
    tree->SetOptions(TCtShellTreeOptions{stoAutoFill, stoVirtualFolders, stoOleDrag, stoOleDrop});
    tree->SetParent(form);
    list->SetLeft(210);
    TCtShellLocator root;
    root.SetPathName(base);
    tree->SetBaseFolder(&root);
    script::Pump();
    return tree;
  }
  // Plays the drag from a client point of one control to one of another.
  void Drag(TControl& from, TPoint start, TControl& to, TPoint end, const DragCase& c) {
    const TPoint a = from.ClientToScreen(start), b = to.ClientToScreen(end);
    const auto button = c.rightButton ? win::MouseButton::Right : win::MouseButton::Left;
    std::vector<std::function<void()>> steps = {
        [=] { win::InjectMouseMove({a.x, a.y}); },
        [=] { win::InjectMouseButton(button, true, {a.x, a.y}); },
        [=] { win::InjectMouseMove({a.x + 12, a.y + 2}); },
        [=] { win::InjectMouseMove({(a.x + b.x) / 2, (a.y + b.y) / 2}); },
        [=] { win::InjectMouseMove({b.x, b.y}); },
        [=] { win::InjectMouseMove({b.x + 1, b.y}); },
        [=] { win::InjectMouseButton(button, false, {b.x + 1, b.y}); }};
    for (const std::function<void()>& extra : during) steps.insert(steps.end() - 1, extra);
    if (c.answer) steps.push_back([text = c.answer] { win::InjectText(text); });
    qelo::test::TimedSteps timed(std::move(steps), 40);
    ASSERT_TRUE(script::PumpUntil([&] { return timed.Done(); }, 10000));
    script::PumpUntil([] { return false; }, 200);
  }
  std::vector<std::function<void()>> during;  // steps while the drag goes on
};

TEST_P(ShellDragOutTest, AFolderDraggedOutOfTheTreeLandsInTheListsFolder) {
  const DragCase& c = GetParam();
  MakeDir(Path("box"));
  WriteFile(Path("box/inside.txt"), "x");
  MakeDir(Path("to"));
  TCtShellTree* tree = MakeTree();
  Show(Path("to"));
  TTreeNode* box = ChildNamed(tree->Items()->GetFirstNode(), "box");
  ASSERT_NE(box, nullptr);
  Drag(*tree, vcl::test::Centre(box->DisplayRect(true)), *list, Point(100, 200), c);
  EXPECT_TRUE(Exists(Path("to/box/inside.txt")));
  EXPECT_EQ(Exists(Path("box")), !c.moved);
  EXPECT_EQ(ChildNamed(tree->Items()->GetFirstNode(), "box") != nullptr, !c.moved) << "the tree was read again";
  EXPECT_EQ(Captions(), std::vector<std::string>{"box"}) << "and so was the list";
  tree->Free();
}

TEST_P(ShellDragOutTest, AFileDraggedOutOfTheListLandsInTheTreesFolder) {
  const DragCase& c = GetParam();
  MakeDir(Path("bin"));
  MakeDir(Path("from"));
  WriteFile(Path("from/clip.mp4"), "movie");
  TCtShellTree* tree = MakeTree();
  Show(Path("from"));
  // The list's own menu does not open while its items are dragged.
  during.push_back([this] { win::SendMessage(list->Handle(), win::WM_CONTEXTMENU, 0, -1); });
  TTreeNode* bin = ChildNamed(tree->Items()->GetFirstNode(), "bin");
  ASSERT_NE(bin, nullptr);
  Drag(*list, vcl::test::Centre(Item("clip.mp4")->DisplayRect(drLabel)), *tree,
       vcl::test::Centre(bin->DisplayRect(true)), c);
  EXPECT_EQ(qelo::test::ReadFile(Path("bin/clip.mp4")), "movie");
  EXPECT_EQ(Exists(Path("from/clip.mp4")), !c.moved);
  EXPECT_EQ(IndexOf("clip.mp4") >= 0, !c.moved) << "the list was read again";
  EXPECT_EQ(list->menusOpened, 0);
  tree->Free();
}

INSTANTIATE_TEST_SUITE_P(Buttons, ShellDragOutTest,
                         ::testing::Values(DragCase{"LeftMovesWithinAVolume", false, nullptr, true},
                                           DragCase{"RightAsksAndCopies", true, "c", false},
                                           DragCase{"RightAsksAndMoves", true, "m", true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qelo::ct::test
