// What the shell's verbs do to files: free names instead of replacing,
// copies, moves and links, the Trash with its info file, and the context
// menus that carry these verbs, confirmations answered by a script.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "shell/context_menu.h"
#include "shell/errors.h"
#include "shell/file_operations.h"
#include "shell/namespace.h"
#include "shell/ole_data.h"
#include "shell/volumes.h"
#include "shell_fixture.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/scripting.h"

namespace qelo::shell {
namespace {

using test::Exists;
using test::MakeDir;
using test::ReadFile;
using test::WriteFile;

// GIO learns the home and data folders once per process, so this program
// has one private home for all its cases; each case works in a folder of
// its own under it.
class PrivateHome : public ::testing::Environment {
 public:
  void SetUp() override {
    home_ = std::make_unique<test::FakeHome>();
    SetVolumeSourceForTesting([] { return std::vector<Volume>{}; });
  }
  void TearDown() override {
    SetVolumeSourceForTesting({});
    home_.reset();
  }
  static std::string Folder(const std::string& name) {
    std::string path = home_->Path(name);
    MakeDir(path);
    return path;
  }
  static const test::FakeHome& Home() { return *home_; }

 private:
  static inline std::unique_ptr<test::FakeHome> home_;
};
const auto* const kPrivateHome = ::testing::AddGlobalTestEnvironment(new PrivateHome);

// A clip in `from` and one of the same name in `to`, and a folder "album"
// in `from` with a track and a link to it.
void MakeClipAndAlbum(const std::string& from, const std::string& to, const std::string& clip,
                      const std::string& clipThere) {
  WriteFile(from + "/clip.mp4", clip);
  WriteFile(to + "/clip.mp4", clipThere);
  MakeDir(from + "/album");
  WriteFile(from + "/album/track.mp3", "music");
  test::MakeSymlink("track.mp3", from + "/album/link");
}

TEST(FreeNames, TakenNamesGetTheNextNumber) {
  std::string dir = PrivateHome::Folder("names");
  WriteFile(dir + "/clip.mp4", "x");
  WriteFile(dir + "/clip (2).mp4", "x");
  MakeDir(dir + "/New Folder");
  MakeDir(dir + "/v1.0");
  WriteFile(dir + "/.hidden", "x");
  EXPECT_EQ(FreeNameIn(dir, "clip.mp4"), "clip (3).mp4");
  EXPECT_EQ(FreeNameIn(dir, "other.mp4"), "other.mp4");
  EXPECT_EQ(FreeNameIn(dir, "New Folder"), "New Folder (2)");
  EXPECT_EQ(FreeNameIn(dir, "v1.0"), "v1.0 (2)");  // a folder's dot is no extension
  EXPECT_EQ(FreeNameIn(dir, ".hidden"), ".hidden (2)");
}

TEST(Transfers, CopyingNeverReplaces) {
  std::string from = PrivateHome::Folder("copy-from"), to = PrivateHome::Folder("copy-to");
  MakeClipAndAlbum(from, to, "new", "old");
  std::vector<std::string> placed;
  ASSERT_EQ(TransferItems({from + "/clip.mp4", from + "/album"}, to, Transfer::kCopy, &placed), S_OK);
  EXPECT_EQ(placed, (std::vector<std::string>{to + "/clip (2).mp4", to + "/album"}));
  EXPECT_EQ(ReadFile(to + "/clip.mp4"), "old");
  EXPECT_EQ(ReadFile(to + "/clip (2).mp4"), "new");
  EXPECT_EQ(ReadFile(to + "/album/track.mp3"), "music");
  struct stat st;
  ASSERT_EQ(lstat((to + "/album/link").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));  // links are copied as links
  EXPECT_EQ(ReadFile(from + "/clip.mp4"), "new");

  // Copying into the item's own folder makes a copy beside it.
  placed.clear();
  ASSERT_EQ(TransferItems({from + "/clip.mp4"}, from, Transfer::kCopy, &placed), S_OK);
  EXPECT_EQ(placed, std::vector<std::string>{from + "/clip (2).mp4"});
}

TEST(Transfers, MovingKeepsOrRefusesWhatItMust) {
  std::string from = PrivateHome::Folder("move-from"), to = PrivateHome::Folder("move-to");
  WriteFile(from + "/a.txt", "a");
  WriteFile(to + "/a.txt", "there");
  MakeDir(from + "/folder");
  std::vector<std::string> placed;
  ASSERT_EQ(TransferItems({from + "/a.txt"}, to, Transfer::kMove, &placed), S_OK);
  EXPECT_FALSE(Exists(from + "/a.txt"));
  EXPECT_EQ(ReadFile(to + "/a.txt"), "there");
  EXPECT_EQ(ReadFile(to + "/a (2).txt"), "a");
  // Within its own folder a move does nothing; into itself it is refused.
  placed.clear();
  EXPECT_EQ(TransferItems({from + "/folder"}, from, Transfer::kMove, &placed), S_OK);
  EXPECT_TRUE(placed.empty());
  EXPECT_TRUE(Exists(from + "/folder"));
  EXPECT_TRUE(FAILED(TransferItems({from + "/folder"}, from + "/folder", Transfer::kMove, nullptr)));
  EXPECT_TRUE(FAILED(TransferItems({from}, from + "/folder", Transfer::kCopy, nullptr)));
  EXPECT_TRUE(Exists(from + "/folder"));
  // Links point at the source.
  placed.clear();
  ASSERT_EQ(TransferItems({from + "/folder"}, to, Transfer::kLink, &placed), S_OK);
  char target[512] = {};
  ASSERT_GT(readlink(placed.at(0).c_str(), target, sizeof target - 1), 0);
  EXPECT_EQ(std::string(target), from + "/folder");
  EXPECT_EQ(TransferItems({from + "/missing"}, to, Transfer::kCopy, nullptr), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
}

std::string TrashPath(const std::string& relative) {
  return PrivateHome::Home().Path("data/Trash/" + relative);
}

TEST(Trash, DeletedItemsGoToTheTrashWithTheirInfoFile) {
  std::string dir = PrivateHome::Folder("trash-me");
  WriteFile(dir + "/old clip.avi", "keep me");
  ASSERT_EQ(MoveToTrash(dir + "/old clip.avi"), S_OK);
  EXPECT_FALSE(Exists(dir + "/old clip.avi"));
  EXPECT_EQ(ReadFile(TrashPath("files/old clip.avi")), "keep me");
  std::string info = ReadFile(TrashPath("info/old clip.avi.trashinfo"));
  EXPECT_NE(info.find("[Trash Info]"), std::string::npos) << info;
  EXPECT_NE(info.find("Path="), std::string::npos) << info;
  EXPECT_NE(info.find("DeletionDate="), std::string::npos) << info;
  EXPECT_EQ(MoveToTrash(dir + "/missing"), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));

  MakeDir(dir + "/gone");
  WriteFile(dir + "/gone/inner", "x");
  test::MakeSymlink(dir, dir + "/gone/loop");  // removed, never followed
  ASSERT_EQ(DeletePermanently(dir + "/gone"), S_OK);
  EXPECT_FALSE(Exists(dir + "/gone"));
  EXPECT_TRUE(Exists(dir));
}

// A folder on another file system than the private home: /dev/shm when it
// is one; empty when there is none.
std::string FolderOnAnotherFileSystem() {
  struct stat home, shm;
  if (stat(PrivateHome::Home().path().c_str(), &home) != 0 || stat("/dev/shm", &shm) != 0 || home.st_dev == shm.st_dev)
    return {};
  char pattern[] = "/dev/shm/qelo-move-XXXXXX";
  return mkdtemp(pattern) ? pattern : std::string();
}

struct CrossCase {
  const char* name;
  bool simulated;  // the kernel's refusal played; else a real second file system
};

class CrossDeviceMove : public ::testing::TestWithParam<CrossCase> {};

// Across file systems a move copies, then removes the source: the content,
// the folder below it and its links arrive, the sources go, and a name in
// use at the target is not replaced.
TEST_P(CrossDeviceMove, CopiesThenRemovesTheSources) {
  const CrossCase& c = GetParam();
  std::string to;
  if (c.simulated) {
    to = PrivateHome::Folder(std::string("cross-to-") + c.name);
    SimulateCrossDeviceMovesForTesting(true);
  } else {
    to = FolderOnAnotherFileSystem();
    if (to.empty()) GTEST_SKIP() << "no second file system (/dev/shm) here";
  }
  const std::string from = PrivateHome::Folder(std::string("cross-from-") + c.name);
  MakeClipAndAlbum(from, to, "moved clip", "already there");
  std::vector<std::string> placed;
  const HRESULT hr = TransferItems({from + "/clip.mp4", from + "/album"}, to, Transfer::kMove, &placed);
  SimulateCrossDeviceMovesForTesting(false);
  ASSERT_EQ(hr, S_OK);
  EXPECT_EQ(placed, (std::vector<std::string>{to + "/clip (2).mp4", to + "/album"}));
  EXPECT_EQ(ReadFile(to + "/clip.mp4"), "already there");
  EXPECT_EQ(ReadFile(to + "/clip (2).mp4"), "moved clip");
  EXPECT_EQ(ReadFile(to + "/album/track.mp3"), "music");
  struct stat st;
  ASSERT_EQ(lstat((to + "/album/link").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_FALSE(Exists(from + "/clip.mp4"));
  EXPECT_FALSE(Exists(from + "/album"));
  if (!c.simulated) std::filesystem::remove_all(to);
}

INSTANTIATE_TEST_SUITE_P(Moves, CrossDeviceMove,
                         ::testing::Values(CrossCase{"SecondFileSystem", false}, CrossCase{"RenameRefused", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// A shown form owns the menus' messages and the verbs' questions.
class ContextMenus : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("QELO_HEADLESS", "1", 0);
    vcl::Application()->Initialize();
    form = new vcl::TForm(nullptr);
    form->SetBounds(0, 0, 300, 200);
    form->Show();
    vcl::script::Pump();
    OleSetClipboard(nullptr);
  }
  void TearDown() override {
    form->Free();
    vcl::script::Pump();
  }

  // The context menu of items of `folder` (or of its background).
  ComPtr<IContextMenu> MenuFor(const std::string& folder, const std::vector<std::string>& names) {
    ComPtr<IShellFolder> shellFolder = test::BindPath(folder);
    items.clear();
    std::vector<LPCITEMIDLIST> raw;
    for (const std::string& name : names) {
      items.push_back(test::ChildItem(folder, name));
      raw.push_back(items.back().Get());
    }
    ComPtr<IContextMenu> menu;
    HRESULT hr = raw.empty() ? shellFolder->CreateViewObject(Owner(), IID_IContextMenu, menu.PutVoid())
                             : shellFolder->GetUIObjectOf(Owner(), static_cast<UINT>(raw.size()), raw.data(),
                                                          IID_IContextMenu, nullptr, menu.PutVoid());
    EXPECT_EQ(hr, S_OK);
    return menu;
  }
  HRESULT Invoke(IContextMenu* menu, const char* verb) {
    CMINVOKECOMMANDINFO info;
    info.hwnd = Owner();
    info.lpVerb = verb;
    return menu->InvokeCommand(&info);
  }
  HWND Owner() const { return form->Handle(); }

  vcl::TForm* form = nullptr;
  std::vector<IdListPtr> items;
  vcl::script::ModalScript modal;
};

TEST_F(ContextMenus, ItemMenusCarryTheVerbsAtTheirOffsets) {
  std::string dir = PrivateHome::Folder("menu");
  WriteFile(dir + "/clip.mp4", "x");
  MakeDir(dir + "/sub");
  ComPtr<IContextMenu> menu = MenuFor(dir, {"clip.mp4"});
  HMENU popup = CreatePopupMenu();
  HRESULT hr = menu->QueryContextMenu(popup, 0, 1000, 0x7FFF, CMF_EXPLORE | CMF_CANRENAME);
  ASSERT_TRUE(SUCCEEDED(hr));
  EXPECT_EQ(hr & 0xFFFF, kVerbRename + 1);
  std::vector<UINT> ids;
  int sendTo = -1;
  for (int i = 0; i < GetMenuItemCount(popup); ++i) {
    if (HMENU sub = GetSubMenu(popup, i)) {
      sendTo = i;
      EXPECT_EQ(GetMenuItemCount(sub), 1);
      EXPECT_EQ(GetMenuState(sub, 0, MF_BYPOSITION) & MF_GRAYED, MF_GRAYED);  // the placeholder
    } else if (!(GetMenuState(popup, i, MF_BYPOSITION) & MF_SEPARATOR)) {
      ids.push_back(GetMenuItemID(popup, i));
    }
  }
  EXPECT_GE(sendTo, 0);
  EXPECT_EQ(ids, (std::vector<UINT>{1000 + kVerbOpen, 1000 + kVerbCut, 1000 + kVerbCopy, 1000 + kVerbDelete,
                                     1000 + kVerbRename}));
  EXPECT_EQ(GetMenuDefaultItem(popup, 0, 0), 1000 + kVerbOpen);
  char verb[260];
  ASSERT_EQ(menu->GetCommandString(kVerbRename, GCS_VERBA, nullptr, verb, sizeof verb), S_OK);
  EXPECT_STREQ(verb, "rename");
  char tiny[3];
  ASSERT_EQ(menu->GetCommandString(kVerbDelete, GCS_VERBA, nullptr, tiny, sizeof tiny), S_OK);
  EXPECT_STREQ(tiny, "de");  // cut to the buffer, always ended
  EXPECT_EQ(menu->GetCommandString(99, GCS_VERBA, nullptr, verb, sizeof verb), E_INVALIDARG);
  DestroyMenu(popup);

  // A folder under CMF_EXPLORE offers Explore first, and Paste.
  ComPtr<IContextMenu> folderMenu = MenuFor(dir, {"sub"});
  HMENU second = CreatePopupMenu();
  folderMenu->QueryContextMenu(second, 0, 1000, 0x7FFF, CMF_EXPLORE);
  EXPECT_EQ(GetMenuItemID(second, 0), 1000 + kVerbExplore);
  EXPECT_EQ(GetMenuState(second, 1000 + kVerbPaste, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);  // nothing to paste
  EXPECT_EQ(GetMenuState(second, 1000 + kVerbRename, MF_BYCOMMAND), 0xFFFFFFFFu);  // not asked for
  DestroyMenu(second);
}

TEST_F(ContextMenus, CopyThenPasteNeverOverwrites) {
  std::string from = PrivateHome::Folder("paste-from"), to = PrivateHome::Folder("paste-to");
  WriteFile(from + "/clip.mp4", "new");
  WriteFile(to + "/clip.mp4", "old");
  ASSERT_EQ(Invoke(MenuFor(from, {"clip.mp4"}).Get(), "copy"), S_OK);
  ComPtr<IContextMenu> background = MenuFor(to, {});
  ASSERT_EQ(Invoke(background.Get(), MAKEINTRESOURCE(kVerbPaste)), S_OK);
  EXPECT_EQ(ReadFile(to + "/clip.mp4"), "old");
  EXPECT_EQ(ReadFile(to + "/clip (2).mp4"), "new");
  EXPECT_EQ(ReadFile(from + "/clip.mp4"), "new");
  // A copy can be pasted again.
  ASSERT_EQ(Invoke(background.Get(), "paste"), S_OK);
  EXPECT_EQ(ReadFile(to + "/clip (3).mp4"), "new");
}

TEST_F(ContextMenus, CutThenPasteMovesOnce) {
  std::string from = PrivateHome::Folder("cut-from"), to = PrivateHome::Folder("cut-to");
  WriteFile(from + "/clip.mp4", "x");
  MakeDir(to + "/inside");
  ASSERT_EQ(Invoke(MenuFor(from, {"clip.mp4"}).Get(), "cut"), S_OK);
  ComPtr<IContextMenu> target = MenuFor(to, {"inside"});  // paste on a folder item
  ASSERT_EQ(Invoke(target.Get(), "PASTE"), S_OK);
  EXPECT_FALSE(Exists(from + "/clip.mp4"));
  EXPECT_TRUE(Exists(to + "/inside/clip.mp4"));
  EXPECT_TRUE(FAILED(Invoke(target.Get(), "paste")));  // the cut is used up
}

TEST_F(ContextMenus, DeleteAsksFirstAndGoesToTheTrash) {
  std::string dir = PrivateHome::Folder("delete");
  WriteFile(dir + "/keep.txt", "keep");
  WriteFile(dir + "/bin.txt", "bin");
  modal.Answer(vcl::mrNo);
  EXPECT_EQ(Invoke(MenuFor(dir, {"keep.txt"}).Get(), "delete"), HRESULT_FROM_WIN32(ERROR_CANCELLED));
  EXPECT_TRUE(Exists(dir + "/keep.txt"));
  modal.Answer(vcl::mrYes);
  EXPECT_EQ(Invoke(MenuFor(dir, {"bin.txt"}).Get(), MAKEINTRESOURCE(kVerbDelete)), S_OK);
  EXPECT_FALSE(Exists(dir + "/bin.txt"));
  EXPECT_EQ(ReadFile(TrashPath("files/bin.txt")), "bin");
  ASSERT_EQ(modal.Seen().size(), 2u);
  EXPECT_NE(modal.Seen()[1].find("\"bin.txt\""), std::string::npos) << modal.Seen()[1];
  EXPECT_EQ(modal.Unanswered(), 0);

  // Without an owner window there is nobody to ask: nothing is deleted.
  ComPtr<IContextMenu> silent = MenuFor(dir, {"keep.txt"});
  CMINVOKECOMMANDINFO info;
  info.lpVerb = "delete";
  ComPtr<IShellFolder> folder = test::BindPath(dir);
  IdListPtr item = test::ChildItem(dir, "keep.txt");
  LPCITEMIDLIST one[] = {item.Get()};
  ComPtr<IContextMenu> ownerless;
  ASSERT_EQ(folder->GetUIObjectOf(nullptr, 1, one, IID_IContextMenu, nullptr, ownerless.PutVoid()), S_OK);
  EXPECT_EQ(ownerless->InvokeCommand(&info), HRESULT_FROM_WIN32(ERROR_CANCELLED));
  EXPECT_TRUE(Exists(dir + "/keep.txt"));
}

TEST_F(ContextMenus, NewFolderTakesAFreeName) {
  std::string dir = PrivateHome::Folder("new-folder");
  MakeDir(dir + "/New Folder");
  ComPtr<IContextMenu> background = MenuFor(dir, {});
  ASSERT_EQ(Invoke(background.Get(), "newfolder"), S_OK);
  EXPECT_TRUE(test::Exists(dir + "/New Folder (2)"));
  EXPECT_EQ(Invoke(background.Get(), "rename"), E_NOTIMPL);
  EXPECT_EQ(Invoke(background.Get(), "print"), E_INVALIDARG);
}

}  // namespace
}  // namespace qelo::shell
