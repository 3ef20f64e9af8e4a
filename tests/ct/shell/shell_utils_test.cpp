// The shell utilities: item-id list helpers and their edge cases, special
// folders, names, icons, shortcuts, the message formatter, the two list
// containers and the device-change broadcaster.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "controls_fixture.h"
#include "ct_shell_intf.h"
#include "ct_shell_utils.h"
#include "ct_shell_utils_device.h"
#include "ct_shell_utils_lists.h"
#include "shell/items.h"
#include "shell/special_folders.h"
#include "shell/system_icons.h"
#include "shell/volumes.h"
#include "shell_fixture.h"

namespace qelo::ct {
namespace {

using shell::IdListPtr;

shell::LPITEMIDLIST Entry(const char* name) { return shell::MakeEntryItem(name, shell::kItemFolder); }

class ShellUtils : public ::testing::Test {
 protected:
  void SetUp() override {
    shell::SetVolumeSourceForTesting([] { return std::vector<shell::Volume>{}; });
    InitializeCtShellIntf();
    InitializeCtShellUtils();
  }
  void TearDown() override {
    FinalizeCtShellUtils();
    FinalizeCtShellIntf();
    shell::SetVolumeSourceForTesting({});
  }
  test::FakeHome home;
};

TEST_F(ShellUtils, ListSizesCopiesAndJoins) {
  IdListPtr empty(CopyIdList(nullptr, nullptr));
  EXPECT_EQ(IdListSize(empty.Get()), 2u);
  EXPECT_EQ(IdListSize(nullptr), 0u);
  IdListPtr joinedEmpty(ConcatIdLists(nullptr, empty.Get(), empty.Get()));
  EXPECT_EQ(IdListSize(joinedEmpty.Get()), 2u);
  IdListPtr a(Entry("a")), b(Entry("b"));
  IdListPtr ab(ConcatIdLists(ShellMalloc(), a.Get(), b.Get()));
  EXPECT_EQ(IdListSize(ab.Get()), IdListSize(a.Get()) + IdListSize(b.Get()) - 2);
  IdListPtr copy(CopyIdList(nullptr, ab.Get()));
  EXPECT_TRUE(shell::ILIsEqualBytes(copy.Get(), ab.Get()));
}

TEST_F(ShellUtils, IdListArrayAncestorsAndItems) {
  IdListPtr a(Entry("a")), b(Entry("bb")), c(Entry("ccc"));
  IdListPtr ab(shell::ILCombine(a.Get(), b.Get())), abc(shell::ILCombine(ab.Get(), c.Get()));
  TCtIdListArray view(abc.Get());
  EXPECT_EQ(view.Count(), 3);
  EXPECT_TRUE(shell::ILIsEqualBytes(view.Ancestor(1), ab.Get()));
  EXPECT_TRUE(shell::ILIsEqualBytes(view.Ancestor(0), abc.Get()));
  EXPECT_EQ(IdListSize(view.Ancestor(3)), 2u);
  EXPECT_EQ(view.Ancestor(4), nullptr);
  EXPECT_TRUE(shell::ILIsEqualBytes(view.Item(2), c.Get()));
  EXPECT_TRUE(shell::ILIsEqualBytes(view.Item(0), a.Get()));
  EXPECT_EQ(view.Item(3), nullptr);
  EXPECT_EQ(view.Item(-1), nullptr);
  TCtIdListArray none(nullptr);
  EXPECT_EQ(none.Count(), 0);
  EXPECT_EQ(none.Item(0), nullptr);
  IdListPtr empty(shell::ILClone(nullptr));
  TCtIdListArray emptyView(empty.Get());
  EXPECT_EQ(IdListSize(emptyView.Item(0)), 2u);
  EXPECT_EQ(emptyView.Item(1), nullptr);
}

TEST_F(ShellUtils, CompareTellsNullEmptyAndEqualApart) {
  IdListPtr empty(shell::ILClone(nullptr)), empty2(shell::ILClone(nullptr));
  EXPECT_EQ(CompareIdLists(nullptr, empty.Get()), -1);
  EXPECT_EQ(CompareIdLists(nullptr, nullptr), 0);
  EXPECT_EQ(CompareIdLists(empty.Get(), empty2.Get()), 0);
  test::MakeDir(home.Path("x"));
  IdListPtr x1 = test::ParsePath(home.Path("x")), x2 = test::ParsePath(home.Path("x"));
  EXPECT_EQ(CompareIdLists(x1.Get(), x2.Get()), 0);
  EXPECT_EQ(CompareIdLists(x1.Get(), empty.Get()), -1);
  IdListPtr parent = test::ParsePath(home.path());
  EXPECT_LT(CompareIdLists(parent.Get(), x1.Get()), 0);
}

TEST_F(ShellUtils, PathsAndSpecialFolders) {
  test::MakeDir(home.Path("Videos"));
  std::string longPath = home.Path(std::string(200, 'l'));
  test::MakeDir(longPath);
  longPath += "/" + std::string(150, 'm');
  test::MakeDir(longPath);
  IdListPtr list;
  ASSERT_EQ(PathToIdList(longPath, list.Put()), shell::S_OK);
  EXPECT_EQ(IdListToPath(list.Get()), longPath);  // nothing cut at 260 characters
  EXPECT_EQ(IdListToPath(nullptr), "");  // the desktop without a desktop folder
  EXPECT_EQ(SpecialFolderPath(nullptr, shell::CSIDL_MYVIDEO), home.Path("Videos"));
  EXPECT_EQ(SpecialFolderPath(nullptr, shell::CSIDL_MYVIDEO + 128), home.Path("Videos"));  // the top bit is ignored
  EXPECT_EQ(SpecialFolderPath(nullptr, shell::CSIDL_MYPICTURES), "");
  IdListPtr videos = test::ParsePath(home.Path("Videos"));
  EXPECT_EQ(IdListToSpecialFolder(videos.Get()), shell::CSIDL_MYVIDEO);
  IdListPtr other = test::ParsePath(longPath);
  EXPECT_EQ(IdListToSpecialFolder(other.Get()), kNoSpecialFolder);
  IdListPtr computer;
  ASSERT_EQ(GetSpecialFolderIdList(nullptr, shell::CSIDL_DRIVES, computer.Put()), shell::S_OK);
  EXPECT_EQ(IdListToSpecialFolder(computer.Get()), shell::CSIDL_DRIVES);
}

TEST_F(ShellUtils, NamesInEveryKind) {
  test::MakeDir(home.Path("Clips"));
  test::WriteFile(home.Path("Clips/movie.mp4"), "x");
  IdListPtr absolute = test::ParsePath(home.Path("Clips/movie.mp4"));
  EXPECT_EQ(GetItemDisplayName(absolute.Get()), "movie.mp4");
  shell::ComPtr<IShellFolder> folder = test::BindPath(home.Path("Clips"));
  IdListPtr item = test::ChildItem(home.Path("Clips"), "movie.mp4");
  EXPECT_EQ(GetDisplayNameOf(folder.Get(), item.Get(), TCtNameKind::nkForParsing), home.Path("Clips/movie.mp4"));
  EXPECT_EQ(GetDisplayNameOf(folder.Get(), item.Get(), TCtNameKind::nkForEditing), "movie.mp4");
  EXPECT_EQ(GetDisplayNameOf(nullptr, absolute.Get(), TCtNameKind::nkForParsing), home.Path("Clips/movie.mp4"));
  IdListPtr computer(shell::MakeComputerItem());
  EXPECT_EQ(GetItemDisplayName(computer.Get()), "Computer");
  unsigned char foreign[] = {6, 0, 'Z', 4, 0, 'a', 6, 0, 'Z', 4, 0, 'b', 0, 0};
  EXPECT_THROW(GetItemDisplayName(reinterpret_cast<LPCITEMIDLIST>(foreign)), vcl::Exception);
  EXPECT_EQ(GetDisplayNameOf(folder.Get(), reinterpret_cast<LPCITEMIDLIST>(foreign), TCtNameKind::nkNormal), "");
}

TEST_F(ShellUtils, IconsAndTheSystemImageLists) {
  test::MakeDir(home.Path("Clips"));
  IdListPtr folder = test::ParsePath(home.Path("Clips"));
  EXPECT_EQ(GetSystemIconIndex(folder.Get(), shell::SHGFI_SMALLICON), shell::kIconFolder);
  EXPECT_EQ(GetSystemIconIndex(folder.Get(), shell::SHGFI_SMALLICON | shell::SHGFI_OPENICON), shell::kIconFolderOpen);
  EXPECT_EQ(GetSystemIconIndex(nullptr, shell::SHGFI_SMALLICON), shell::kIconDesktop);
  unsigned char foreign[] = {6, 0, 'Z', 4, 0, 'a', 0, 0};
  EXPECT_EQ(GetSystemIconIndex(reinterpret_cast<LPCITEMIDLIST>(foreign), 0), 0);
  win::HIMAGELIST small = GetSystemImageList(TCtImageListSize::ilsSmall);
  EXPECT_EQ(small, shell::SystemImageList(true));
  const int count = win::ImageList_GetImageCount(small);
  // The overlay fix ran once: the two overlay pictures were added once.
  EXPECT_EQ(GetSystemImageList(TCtImageListSize::ilsLarge), shell::SystemImageList(false));
  EXPECT_EQ(win::ImageList_GetImageCount(small), count);
  int cx = 0, cy = 0;
  win::ImageList_GetIconSize(GetSystemImageList(TCtImageListSize::ilsLarge), &cx, &cy);
  EXPECT_EQ(cx, 32);
}

TEST_F(ShellUtils, VersionsFromStartUp) {
  EXPECT_TRUE(IsWinNTPlatform());
  EXPECT_EQ(ComCtl32FileVersion().mostSignificant, 0x00060000u);
  EXPECT_EQ(Shell32FileVersion().mostSignificant, 0x00060000u);
  FileVersionWords none;
  EXPECT_FALSE(GetFileVersionNumbers("missing.dll", &none));
  EXPECT_EQ(none.mostSignificant, 0u);
  EXPECT_EQ(none.leastSignificant, 0u);
}

TEST_F(ShellUtils, ShortcutsReadWholeAndComplete) {
  std::string target = home.Path(std::string(230, 't'));
  test::MakeDir(target);
  target += "/" + std::string(100, 'u');
  test::MakeDir(target);
  test::MakeSymlink(target, home.Path("link"));
  TLinkData data;
  ASSERT_EQ(ReadLinkData(home.Path("link"), &data, true), shell::S_OK);
  EXPECT_EQ(data.validFlags, kLinkDataComplete);
  EXPECT_EQ(data.path, target);
  EXPECT_TRUE(data.findData.dwFileAttributes & shell::FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(data.showCommand, win::SW_SHOWNORMAL);
  ASSERT_NE(data.idList, nullptr);
  EXPECT_EQ(IdListToPath(data.idList), target);
  ShellMemFree(data.idList);

  TLinkData again;
  again.resolveOption = 1;
  ASSERT_EQ(ReadLinkData(home.Path("link"), &again, false), shell::S_OK);
  EXPECT_EQ(again.idList, nullptr);
  test::WriteFile(home.Path("plain"), "x");
  TLinkData notALink;
  EXPECT_TRUE(FAILED(ReadLinkData(home.Path("plain"), &notALink, false)));
  EXPECT_EQ(notALink.validFlags, 0);
}

TEST_F(ShellUtils, FormatStrPosAndTrailingCharacters) {
  EXPECT_EQ(FormatStrPos("Unable to create the folder '%2'\n\n%1", {"Disk full.", "New Folder"}),
            "Unable to create the folder 'New Folder'\n\nDisk full.");
  EXPECT_EQ(FormatStrPos("", {"x"}), "");
  EXPECT_EQ(FormatStrPos("%2", {"only one"}), "");
  std::vector<std::string> fifty(50, "x"), fiftyOne(51, "x");
  EXPECT_EQ(FormatStrPos("%50", fifty), "x");
  EXPECT_THROW(FormatStrPos("%1", fiftyOne), vcl::Exception);
  EXPECT_EQ(EnsureTrailingChar("", '/'), "");
  EXPECT_EQ(EnsureTrailingChar("/home/", '/'), "/home/");
  EXPECT_EQ(EnsureTrailingChar("/home", '/'), "/home/");
  EXPECT_TRUE(IsNetDriveConnected("/mnt/share"));
  EXPECT_FALSE(NetApiAvailable());
}

TEST_F(ShellUtils, PidlListKeepsItsOrderInEachDuplicateMode) {
  auto lists = [] {
    std::vector<shell::LPITEMIDLIST> v;
    for (const char* name : {"c", "a", "e"}) v.push_back(Entry(name));
    return v;
  };
  struct Case {
    TDuplicates mode;
    int count;
    bool raises;
  };
  const Case cases[] = {{vcl::dupIgnore, 3, false}, {vcl::dupAccept, 4, false}, {vcl::dupError, 3, true}};
  for (const Case& c : cases) {
    TCtPidlList list;
    list.SetMalloc(ShellMalloc());  // the list frees the lists it deletes
    list.SetSorted(true);
    list.SetDuplicates(c.mode);
    for (shell::LPITEMIDLIST l : lists()) list.Add(l);
    EXPECT_EQ(list.IndexOf(list.Pidls(0)), 0);
    IdListPtr again(Entry("a"));
    if (c.raises) {
      EXPECT_THROW(list.Add(again.Get()), vcl::Exception);
    } else {
      int index = list.AddObject(c.mode == vcl::dupAccept ? again.Release() : again.Get(), &list);
      EXPECT_EQ(index, 0) << c.mode;  // the equal entry's place
    }
    EXPECT_EQ(list.Count(), c.count) << c.mode;
    ASSERT_EQ(list.Count() >= 3, true);
    // Without a folder, entries order by their bytes (the counts first): a, c, e.
    EXPECT_EQ(shell::DecodeItem(list.Pidls(list.Count() - 1))->payload, "e");
    int at = -1;
    IdListPtr missing(Entry("d"));
    EXPECT_FALSE(list.Find(missing.Get(), &at));
    EXPECT_EQ(at, list.Count() - 1);  // its place, before "e"
    IdListPtr longer(Entry("bb"));
    EXPECT_FALSE(list.Find(longer.Get(), &at));
    EXPECT_EQ(at, list.Count());  // a larger count sorts after every shorter item
  }
}

TEST_F(ShellUtils, PidlListSortsByTheFolderAndDeletes) {
  test::MakeDir(home.Path("sorted"));
  for (const char* name : {"b", "A", "c"}) test::WriteFile(home.Path(std::string("sorted/") + name), "x");
  shell::ComPtr<IShellFolder> folder = test::BindPath(home.Path("sorted"));
  TCtPidlList list;
  list.SetShellFolder(folder.Get());
  list.SetMalloc(ShellMalloc());
  for (const char* name : {"c", "b", "A"}) list.Add(test::ChildItem(home.Path("sorted"), name).Release());
  EXPECT_EQ(shell::DecodeItem(list.Pidls(0))->payload, "c");
  EXPECT_EQ(list.IndexOf(list.Pidls(2)), 2);  // unsorted: a scan
  list.SetSorted(true);
  EXPECT_EQ(shell::DecodeItem(list.Pidls(0))->payload, "A");  // the folder's case-folded order
  EXPECT_EQ(shell::DecodeItem(list.Pidls(2))->payload, "c");
  list.Delete(1);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_THROW(list.Delete(5), vcl::Exception);
  EXPECT_THROW(list.Pidls(-1), vcl::Exception);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

struct Recorder {
  std::vector<std::string> heard;
  void First(TCtDeviceChangeHandler*, const win::MSG& m) { heard.push_back("first " + std::to_string(m.wParam)); }
  void Failing(TCtDeviceChangeHandler*, const win::MSG&) {
    heard.push_back("failing");
    throw vcl::Exception("handler failed");
  }
  void Last(TCtDeviceChangeHandler*, const win::MSG&) { heard.push_back("last"); }
};

class DeviceChanges : public vcl::test::FormTest {};

TEST_F(DeviceChanges, HandlersHearRelayedChangesInOrder) {
  std::vector<std::string> shown;
  vcl::Application()->OnException = [&shown](vcl::TObject*, const std::exception& e) { shown.push_back(e.what()); };
  Recorder r;
  TCtDeviceChangeHandler* handler = GetDeviceChangeHandler();
  EXPECT_EQ(GetDeviceChangeHandler(), handler);
  handler->AddHandler(DeviceChangeMethod<Recorder, &Recorder::First>(&r));
  handler->AddHandler(DeviceChangeMethod<Recorder, &Recorder::Failing>(&r));
  handler->AddHandler(DeviceChangeMethod<Recorder, &Recorder::Last>(&r));
  win::PostMessage(handler->Handle(), shell::WM_DEVICECHANGE, shell::DBT_DEVICEARRIVAL, 0);
  vcl::script::PumpUntil([&] { return r.heard.size() >= 3; }, 2000);
  EXPECT_EQ(r.heard, (std::vector<std::string>{"first 32768", "failing", "last"}));
  EXPECT_EQ(shown, std::vector<std::string>{"handler failed"});

  r.heard.clear();
  handler->RemoveHandler(DeviceChangeMethod<Recorder, &Recorder::Failing>(&r));
  Recorder other;
  handler->RemoveHandler(DeviceChangeMethod<Recorder, &Recorder::First>(&other));  // another object: stays
  win::PostMessage(handler->Handle(), shell::WM_DEVICECHANGE, shell::DBT_DEVICEREMOVECOMPLETE, 0);
  vcl::script::PumpUntil([&] { return r.heard.size() >= 2; }, 2000);
  EXPECT_EQ(r.heard, (std::vector<std::string>{"first 32772", "last"}));

  r.heard.clear();
  handler->SetActive(false);
  win::PostMessage(handler->Handle(), shell::WM_DEVICECHANGE, shell::DBT_DEVICEARRIVAL, 0);
  vcl::script::Pump();
  EXPECT_TRUE(r.heard.empty());
  FreeDeviceChangeHandler();
  vcl::Application()->OnException = nullptr;
}

}  // namespace
}  // namespace qelo::ct
