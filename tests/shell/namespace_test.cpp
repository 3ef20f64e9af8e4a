// The namespace over the file system: paths to lists and back, enumeration
// filters, the order of items, attributes, display names and renaming.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "shell/errors.h"
#include "shell/items.h"
#include "shell/namespace.h"
#include "shell/special_folders.h"
#include "shell/volumes.h"
#include "shell_fixture.h"

namespace qelo::shell {
namespace {

using test::FakeHome;
using test::MakeDir;
using test::WriteFile;

class Namespace : public ::testing::Test {
 protected:
  void SetUp() override { SetVolumeSourceForTesting([] { return std::vector<Volume>{}; }); }
  void TearDown() override { SetVolumeSourceForTesting({}); }
  FakeHome home;
};

TEST_F(Namespace, PathsSurviveTheTripToAListAndBack) {
  std::string deep = home.Path("deep");
  MakeDir(deep);
  while (deep.size() < 400) {  // well past 260 characters
    deep += "/a folder with a rather long name";
    MakeDir(deep);
  }
  const std::string names[] = {"plain.mp4", "  blanks around  ", "Ünïcödé 映画.mkv", "\xff\xfe not utf-8",
                               std::string(255, 'L')};
  for (const std::string& name : names) {
    for (const std::string& folder : {home.path(), deep}) {
      std::string path = folder + "/" + name;
      WriteFile(path, "x");
      IdListPtr list = test::ParsePath(path);
      ASSERT_TRUE(list) << path;
      EXPECT_EQ(SHPathOfIdList(list.Get()), path);
      ComPtr<IShellFolder> desktop;
      ASSERT_EQ(SHGetDesktopFolder(desktop.Put()), S_OK);
      EXPECT_EQ(test::DisplayName(desktop.Get(), list.Get(), SHGDN_FORPARSING), path);
    }
  }
}

TEST_F(Namespace, PathsParseUnderTheVolumeThatHoldsThem) {
  std::string stick = home.Path("stick");
  MakeDir(stick);
  MakeDir(stick + "/clips");
  SetVolumeSourceForTesting([stick] { return std::vector<Volume>{{stick, "STICK", DRIVE_REMOVABLE}}; });
  IdListPtr list = test::ParsePath(stick + "/clips/");
  ASSERT_TRUE(list);
  ASSERT_EQ(ILGetCount(list.Get()), 3);  // Computer, the stick, clips
  std::optional<ItemView> volume = DecodeItem(ILNext(list.Get()));
  ASSERT_TRUE(volume);
  EXPECT_EQ(volume->kind, ItemKind::kVolume);
  EXPECT_EQ(volume->payload, stick);
  EXPECT_EQ(SHPathOfIdList(list.Get()), stick + "/clips");

  IdListPtr outside = test::ParsePath(home.path() + "/./stick/../x/..");
  ASSERT_TRUE(outside);
  EXPECT_EQ(SHPathOfIdList(outside.Get()), home.path());
  EXPECT_EQ(DecodeItem(ILNext(outside.Get()))->payload, "/");
}

TEST_F(Namespace, ParsingFailsForWhatDoesNotExist) {
  IdListPtr list;
  EXPECT_EQ(SHParsePath(home.Path("missing/x"), list.Put()), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(list);
  EXPECT_EQ(SHParsePath("relative/path", list.Put()), E_INVALIDARG);
  EXPECT_EQ(SHParsePath("", list.Put()), E_INVALIDARG);
}

TEST_F(Namespace, ListsWithoutAPathGiveNone) {
  IdListPtr computer;
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, computer.Put()), S_OK);
  std::string path = "unchanged";
  EXPECT_FALSE(SHGetPathFromIDList(computer.Get(), &path));
  EXPECT_EQ(path, "");
  // A damaged item makes the list name nothing.
  unsigned char damaged[] = {6, 0, 'Z', 4, 0, 'a', 0, 0};
  EXPECT_EQ(SHPathOfIdList(reinterpret_cast<LPCITEMIDLIST>(damaged)), "");
}

TEST_F(Namespace, EnumerationFollowsTheFilters) {
  std::string dir = home.Path("mix");
  MakeDir(dir);
  MakeDir(dir + "/sub");
  MakeDir(dir + "/.hiddendir");
  WriteFile(dir + "/file.txt", "x");
  WriteFile(dir + "/.hiddenfile", "x");
  test::MakeSymlink(dir + "/sub", dir + "/linkdir");
  test::MakeSymlink(dir + "/file.txt", dir + "/linkfile");
  test::MakeSymlink(dir + "/nowhere", dir + "/broken");
  ComPtr<IShellFolder> folder = test::BindPath(dir);
  ASSERT_TRUE(folder);
  struct Case {
    DWORD flags;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {SHCONTF_FOLDERS, {"linkdir", "sub"}},
      {SHCONTF_NONFOLDERS, {"broken", "file.txt", "linkfile"}},
      {SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN, {".hiddendir", "linkdir", "sub"}},
      {SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN,
       {".hiddendir", ".hiddenfile", "broken", "file.txt", "linkdir", "linkfile", "sub"}},
      {0, {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> names = test::EnumeratedNames(folder.Get(), c.flags);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, c.names) << "flags " << c.flags;
  }
}

TEST_F(Namespace, EnumeratingAFolderThatWentAwayFails) {
  std::string dir = home.Path("gone");
  MakeDir(dir);
  ComPtr<IShellFolder> folder = test::BindPath(dir);
  ASSERT_TRUE(folder);
  ASSERT_EQ(rmdir(dir.c_str()), 0);
  ComPtr<IEnumIDList> items;
  EXPECT_EQ(folder->EnumObjects(nullptr, SHCONTF_FOLDERS, items.Put()), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
}

TEST_F(Namespace, DesktopShowsComputerHomeAndTheDesktopDirectory) {
  MakeDir(home.Path("Desktop"));
  MakeDir(home.Path("Desktop/On the desktop"));
  ComPtr<IShellFolder> desktop;
  ASSERT_EQ(SHGetDesktopFolder(desktop.Put()), S_OK);
  std::vector<std::string> names = test::EnumeratedNames(desktop.Get(), SHCONTF_FOLDERS);
  EXPECT_EQ(names, (std::vector<std::string>{"::{Computer}", "::{Home}", "On the desktop"}));

  ComPtr<IEnumIDList> items;
  ASSERT_EQ(desktop->EnumObjects(nullptr, SHCONTF_FOLDERS, items.Put()), S_OK);
  LPITEMIDLIST got[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ(items->Next(3, got, &fetched), S_OK);
  ASSERT_EQ(fetched, 3u);
  IdListPtr computer(got[0]), homeItem(got[1]), entry(got[2]);
  EXPECT_EQ(test::DisplayName(desktop.Get(), computer.Get(), SHGDN_NORMAL), "Computer");
  EXPECT_EQ(test::DisplayName(desktop.Get(), homeItem.Get(), SHGDN_FORPARSING), home.path());
  EXPECT_EQ(SHPathOfIdList(entry.Get()), home.Path("Desktop/On the desktop"));
  EXPECT_EQ(items->Next(1, got, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
}

TEST_F(Namespace, ComputerListsTheVolumesRootFirst) {
  std::string disk = home.Path("disk");
  MakeDir(disk);
  SetVolumeSourceForTesting([disk] { return std::vector<Volume>{{disk, "Data", DRIVE_FIXED}}; });
  IdListPtr computerList;
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, computerList.Put()), S_OK);
  ComPtr<IShellFolder> desktop, computer;
  ASSERT_EQ(SHGetDesktopFolder(desktop.Put()), S_OK);
  ASSERT_EQ(desktop->BindToObject(computerList.Get(), nullptr, IID_IShellFolder, computer.PutVoid()), S_OK);
  EXPECT_EQ(test::EnumeratedNames(computer.Get(), SHCONTF_FOLDERS), (std::vector<std::string>{"/", disk}));
  EXPECT_TRUE(test::EnumeratedNames(computer.Get(), SHCONTF_NONFOLDERS).empty());
}

TEST_F(Namespace, OnlyTheSameItemComparesEqual) {
  std::string dir = home.Path("order");
  MakeDir(dir);
  for (const char* name : {"b", "A", "a", "B", "ä"}) WriteFile(dir + "/" + name, "x");
  MakeDir(dir + "/zfolder");
  ComPtr<IShellFolder> folder = test::BindPath(dir);
  ASSERT_TRUE(folder);
  std::vector<IdListPtr> items;
  for (const char* name : {"b", "A", "a", "zfolder", "B", "ä"}) items.push_back(test::ChildItem(dir, name));
  std::vector<LPCITEMIDLIST> order;
  for (const IdListPtr& item : items) order.push_back(item.Get());
  std::sort(order.begin(), order.end(), [&](LPCITEMIDLIST x, LPCITEMIDLIST y) {
    return CompareResultOrder(folder->CompareIDs(0, x, y)) < 0;
  });
  std::vector<std::string> names;
  for (LPCITEMIDLIST item : order) names.push_back(test::DisplayName(folder.Get(), item, SHGDN_INFOLDER));
  EXPECT_EQ(names, (std::vector<std::string>{"zfolder", "A", "a", "B", "b", "ä"}));

  IdListPtr again = test::ChildItem(dir, "a");
  EXPECT_EQ(CompareResultOrder(folder->CompareIDs(0, items[2].Get(), again.Get())), 0);
  EXPECT_NE(CompareResultOrder(folder->CompareIDs(0, items[1].Get(), items[2].Get())), 0);  // "A" and "a"

  // Whole lists from the desktop: a parent comes before its children.
  ComPtr<IShellFolder> desktop;
  ASSERT_EQ(SHGetDesktopFolder(desktop.Put()), S_OK);
  IdListPtr parent = test::ParsePath(dir), child = test::ParsePath(dir + "/a");
  EXPECT_LT(CompareResultOrder(desktop->CompareIDs(0, parent.Get(), child.Get())), 0);
  EXPECT_GT(CompareResultOrder(desktop->CompareIDs(0, child.Get(), parent.Get())), 0);
  IdListPtr child2 = test::ParsePath(dir + "/a");
  EXPECT_EQ(desktop->CompareIDs(0, child.Get(), child2.Get()), S_OK);
}

TEST_F(Namespace, AttributesDescribeTheItem) {
  std::string dir = home.Path("attrs");
  MakeDir(dir);
  MakeDir(dir + "/with sub");
  MakeDir(dir + "/with sub/inner");
  MakeDir(dir + "/files only");
  WriteFile(dir + "/files only/f", "x");
  WriteFile(dir + "/.secret", "x");
  WriteFile(dir + "/plain", "x");
  test::MakeSymlink(dir + "/plain", dir + "/shortcut");
  ComPtr<IShellFolder> folder = test::BindPath(dir);
  ASSERT_TRUE(folder);
  auto attributes = [&](const char* name, ULONG asked) {
    IdListPtr item = test::ChildItem(dir, name);
    LPCITEMIDLIST items[] = {item.Get()};
    ULONG a = asked;
    EXPECT_EQ(folder->GetAttributesOf(1, items, &a), S_OK) << name;
    return a;
  };
  const ULONG all = 0xFFFFFFFF & ~SFGAO_VALIDATE;
  EXPECT_EQ(attributes("with sub", SFGAO_FOLDER | SFGAO_HASSUBFOLDER | SFGAO_FILESYSTEM),
            SFGAO_FOLDER | SFGAO_HASSUBFOLDER | SFGAO_FILESYSTEM);
  EXPECT_EQ(attributes("files only", SFGAO_FOLDER | SFGAO_HASSUBFOLDER), SFGAO_FOLDER);
  EXPECT_EQ(attributes(".secret", SFGAO_HIDDEN | SFGAO_GHOSTED | SFGAO_FOLDER), SFGAO_HIDDEN | SFGAO_GHOSTED);
  EXPECT_EQ(attributes("plain", SFGAO_LINK | SFGAO_STREAM | SFGAO_CANRENAME | SFGAO_CANDELETE),
            SFGAO_STREAM | SFGAO_CANRENAME | SFGAO_CANDELETE);
  EXPECT_EQ(attributes("shortcut", SFGAO_LINK | SFGAO_FOLDER), SFGAO_LINK);
  EXPECT_EQ(attributes("plain", all) & SFGAO_REMOVABLE, 0u);
  // Asked for nothing, nothing comes back.
  EXPECT_EQ(attributes("with sub", 0), 0u);

  // Several items: what all of them have.
  IdListPtr a = test::ChildItem(dir, "with sub"), b = test::ChildItem(dir, "plain");
  LPCITEMIDLIST both[] = {a.Get(), b.Get()};
  ULONG common = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_CANCOPY;
  EXPECT_EQ(folder->GetAttributesOf(2, both, &common), S_OK);
  EXPECT_EQ(common, SFGAO_FILESYSTEM | SFGAO_CANCOPY);
}

TEST_F(Namespace, ReadOnlyFolderForbidsRenaming) {
  if (geteuid() == 0) GTEST_SKIP() << "the superuser may write anywhere";
  std::string dir = home.Path("locked");
  MakeDir(dir);
  WriteFile(dir + "/f", "x");
  ComPtr<IShellFolder> folder = test::BindPath(dir);
  IdListPtr item = test::ChildItem(dir, "f");
  ASSERT_EQ(chmod(dir.c_str(), 0555), 0);
  LPCITEMIDLIST items[] = {item.Get()};
  ULONG a = SFGAO_CANRENAME | SFGAO_CANDELETE;
  EXPECT_EQ(folder->GetAttributesOf(1, items, &a), S_OK);
  EXPECT_EQ(a, 0u);
  chmod(dir.c_str(), 0755);
}

TEST_F(Namespace, DisplayNamesInEachForm) {
  std::string dir = home.Path("names");
  MakeDir(dir);
  std::string odd = "caf\xe9.avi";  // Latin-1 bytes, not UTF-8
  WriteFile(dir + "/" + odd, "x");
  ComPtr<IShellFolder> folder = test::BindPath(dir);
  IdListPtr item = test::ChildItem(dir, odd);
  ASSERT_TRUE(item);
  EXPECT_EQ(test::DisplayName(folder.Get(), item.Get(), SHGDN_NORMAL), "caf\xef\xbf\xbd.avi");
  EXPECT_EQ(test::DisplayName(folder.Get(), item.Get(), SHGDN_INFOLDER), "caf\xef\xbf\xbd.avi");
  EXPECT_EQ(test::DisplayName(folder.Get(), item.Get(), SHGDN_FOREDITING | SHGDN_INFOLDER), "caf\xef\xbf\xbd.avi");
  EXPECT_EQ(test::DisplayName(folder.Get(), item.Get(), SHGDN_FORPARSING | SHGDN_INFOLDER), odd);
  EXPECT_EQ(test::DisplayName(folder.Get(), item.Get(), SHGDN_FORPARSING), dir + "/" + odd);
}

TEST_F(Namespace, RenameNeverReplacesAnExistingName) {
  std::string dir = home.Path("rename");
  MakeDir(dir);
  WriteFile(dir + "/old.txt", "old");
  WriteFile(dir + "/taken.txt", "taken");
  MakeDir(dir + "/folder");
  MakeDir(dir + "/other folder");
  ComPtr<IShellFolder> folder = test::BindPath(dir);
  IdListPtr old = test::ChildItem(dir, "old.txt");
  IdListPtr renamed;
  EXPECT_EQ(folder->SetNameOf(nullptr, old.Get(), "taken.txt", SHGDN_INFOLDER, renamed.Put()),
            HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS));
  EXPECT_FALSE(renamed);
  EXPECT_EQ(test::ReadFile(dir + "/old.txt"), "old");
  EXPECT_EQ(test::ReadFile(dir + "/taken.txt"), "taken");

  IdListPtr sub = test::ChildItem(dir, "folder");
  EXPECT_EQ(folder->SetNameOf(nullptr, sub.Get(), "other folder", 0, renamed.Put()),
            HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS));
  EXPECT_TRUE(test::Exists(dir + "/folder"));

  for (const std::string& bad : {std::string(), std::string("a/b"), std::string(".."), std::string(256, 'x')})
    EXPECT_EQ(folder->SetNameOf(nullptr, old.Get(), bad.c_str(), 0, renamed.Put()),
              HRESULT_FROM_WIN32(ERROR_INVALID_NAME))
        << bad;

  ASSERT_EQ(folder->SetNameOf(nullptr, old.Get(), "new name.txt", 0, renamed.Put()), S_OK);
  EXPECT_EQ(test::ReadFile(dir + "/new name.txt"), "old");
  EXPECT_FALSE(test::Exists(dir + "/old.txt"));
  EXPECT_EQ(test::DisplayName(folder.Get(), renamed.Get(), SHGDN_INFOLDER), "new name.txt");

  // The same name again succeeds and changes nothing.
  IdListPtr same;
  EXPECT_EQ(folder->SetNameOf(nullptr, renamed.Get(), "new name.txt", 0, same.Put()), S_OK);
  EXPECT_EQ(CompareResultOrder(folder->CompareIDs(0, same.Get(), renamed.Get())), 0);
}

TEST_F(Namespace, BindingNeedsAFolder) {
  std::string dir = home.Path("bind");
  MakeDir(dir);
  WriteFile(dir + "/file", "x");
  ComPtr<IShellFolder> folder = test::BindPath(dir);
  IdListPtr file = test::ChildItem(dir, "file");
  ComPtr<IShellFolder> bound;
  EXPECT_EQ(folder->BindToObject(file.Get(), nullptr, IID_IShellFolder, bound.PutVoid()),
            HRESULT_FROM_WIN32(ERROR_DIRECTORY));
  IdListPtr empty(ILClone(nullptr));
  EXPECT_EQ(folder->BindToObject(empty.Get(), nullptr, IID_IShellFolder, bound.PutVoid()), E_INVALIDARG);
  EXPECT_EQ(folder->BindToObject(nullptr, nullptr, IID_IShellFolder, bound.PutVoid()), E_INVALIDARG);

  // Relative names parse inside the folder, several levels at once.
  MakeDir(dir + "/x");
  MakeDir(dir + "/x/y");
  IdListPtr relative;
  ULONG attributes = SFGAO_FOLDER;
  ASSERT_EQ(folder->ParseDisplayName(nullptr, nullptr, "x/y", nullptr, relative.Put(), &attributes), S_OK);
  EXPECT_EQ(ILGetCount(relative.Get()), 2);
  EXPECT_EQ(attributes, SFGAO_FOLDER);
  EXPECT_EQ(folder->ParseDisplayName(nullptr, nullptr, "../escape", nullptr, relative.Put(), nullptr), E_INVALIDARG);
}

TEST_F(Namespace, DetailColumnsEndAfterTheFourth) {
  std::string dir = home.Path("details");
  MakeDir(dir);
  WriteFile(dir + "/clip.txt", std::string(3000, 'x'));
  ComPtr<IShellFolder> folder = test::BindPath(dir);
  ComPtr<IShellFolder2> folder2;
  ASSERT_EQ(folder.As(IID_IShellFolder2, &folder2), S_OK);
  IdListPtr item = test::ChildItem(dir, "clip.txt");
  std::vector<std::string> headings, values;
  for (UINT column = 0;; ++column) {
    SHELLDETAILS details;
    if (FAILED(folder2->GetDetailsOf(nullptr, column, &details))) break;
    headings.push_back(TakeStrRet(&details.str, nullptr));
    ASSERT_EQ(folder2->GetDetailsOf(item.Get(), column, &details), S_OK);
    values.push_back(TakeStrRet(&details.str, item.Get()));
  }
  EXPECT_EQ(headings, (std::vector<std::string>{"Name", "Size", "Type", "Modified"}));
  ASSERT_EQ(values.size(), 4u);
  EXPECT_EQ(values[0], "clip.txt");
  EXPECT_EQ(values[1], "3 KB");
  EXPECT_FALSE(values[2].empty());
  DWORD state = 0;
  EXPECT_EQ(folder2->GetDefaultColumnState(1, &state), S_OK);
  EXPECT_TRUE(state & SHCOLSTATE_ONBYDEFAULT);
  EXPECT_EQ(folder2->GetDefaultColumnState(4, &state), E_INVALIDARG);
}

}  // namespace
}  // namespace qelo::shell
