// Waitable events and change-notification handles: which handle a wait
// picks, what each filter reports, subtree watches that cover only listed
// folders, their limit, and descriptors all closed again.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "fd_count.h"
#include "shell/change_notify.h"
#include "shell/errors.h"
#include "shell/launch.h"
#include "shell/namespace.h"
#include "shell/shell_log.h"
#include "shell/volumes.h"
#include "shell_fixture.h"

namespace qelo::shell {
namespace {

using test::MakeDir;
using test::WriteFile;

constexpr DWORD kShortWait = 300;  // for changes that must not be reported

TEST(WaitHandles, EventsResetAsTheyWereMade) {
  HANDLE manual = CreateEvent(nullptr, 1, 0, nullptr);
  HANDLE automatic = CreateEvent(nullptr, 0, 1, nullptr);
  ASSERT_NE(manual, nullptr);
  ASSERT_NE(automatic, nullptr);
  HANDLE both[] = {manual, automatic};
  EXPECT_EQ(WaitForMultipleObjects(2, both, 0, 0), WAIT_OBJECT_0 + 1);
  EXPECT_EQ(WaitForMultipleObjects(2, both, 0, 0), WAIT_TIMEOUT);  // the automatic one reset itself
  ASSERT_TRUE(SetEvent(manual));
  ASSERT_TRUE(SetEvent(automatic));
  EXPECT_EQ(WaitForMultipleObjects(2, both, 0, 0), WAIT_OBJECT_0);  // array order decides
  EXPECT_EQ(WaitForMultipleObjects(2, both, 0, 0), WAIT_OBJECT_0);  // manual stays set
  ASSERT_TRUE(ResetEvent(manual));
  EXPECT_EQ(WaitForMultipleObjects(2, both, 0, 0), WAIT_OBJECT_0 + 1);
  // Setting twice before a wait releases one wait.
  SetEvent(automatic);
  SetEvent(automatic);
  EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_TIMEOUT);
  EXPECT_TRUE(CloseHandle(manual));
  EXPECT_TRUE(CloseHandle(automatic));
  EXPECT_FALSE(CloseHandle(manual));
  EXPECT_FALSE(SetEvent(manual));
}

TEST(WaitHandles, BadWaitsFail) {
  HANDLE event = CreateEvent(nullptr, 1, 0, nullptr);
  HANDLE many[65];
  for (HANDLE& h : many) h = event;
  EXPECT_EQ(WaitForMultipleObjects(0, many, 0, 0), WAIT_FAILED);
  EXPECT_EQ(WaitForMultipleObjects(65, many, 0, 0), WAIT_FAILED);
  EXPECT_EQ(WaitForMultipleObjects(64, many, 0, 0), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForMultipleObjects(2, many, 1, 0), WAIT_FAILED);  // waiting for all is not offered
  HANDLE stale = reinterpret_cast<HANDLE>(&many);
  EXPECT_EQ(WaitForSingleObject(stale, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  CloseHandle(event);
}

TEST(WaitHandles, AWaitEndsWhenAnotherThreadSets) {
  HANDLE event = CreateEvent(nullptr, 0, 0, nullptr);
  auto start = std::chrono::steady_clock::now();
  std::thread setter([event] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    SetEvent(event);
  });
  EXPECT_EQ(WaitForSingleObject(event, 5000), WAIT_OBJECT_0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
  setter.join();
  auto before = std::chrono::steady_clock::now();
  EXPECT_EQ(WaitForSingleObject(event, 100), WAIT_TIMEOUT);
  EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(100));
  CloseHandle(event);
}

class ChangeNotification : public ::testing::Test {
 protected:
  void SetUp() override {
    SetVolumeSourceForTesting([] { return std::vector<Volume>{}; });
    ForgetListedFoldersForTesting();
    SetSubtreeFolderLimitForTesting(0);
  }
  void TearDown() override {
    SetVolumeSourceForTesting({});
    SetShellLogSink({});
    SetSubtreeFolderLimitForTesting(0);
  }
  // Lists a folder through the namespace, as a tree does when it expands.
  void List(const std::string& path) {
    ComPtr<IShellFolder> folder = test::BindPath(path);
    ASSERT_TRUE(folder);
    test::EnumeratedNames(folder.Get(), SHCONTF_FOLDERS);
  }
  test::FakeHome home;
};

TEST_F(ChangeNotification, FiltersChooseWhatIsReported) {
  std::string dir = home.Path("watched");
  MakeDir(dir);
  HANDLE names = FindFirstChangeNotification(dir, 0, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME);
  HANDLE folders = FindFirstChangeNotification(dir, 0, FILE_NOTIFY_CHANGE_DIR_NAME);
  ASSERT_NE(names, INVALID_HANDLE_VALUE);
  ASSERT_NE(folders, INVALID_HANDLE_VALUE);
  EXPECT_EQ(WaitForSingleObject(names, 0), WAIT_TIMEOUT);

  WriteFile(dir + "/new.txt", "x");
  EXPECT_EQ(WaitForSingleObject(names, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(names, 0), WAIT_OBJECT_0);  // stays signalled until asked for the next
  EXPECT_EQ(WaitForSingleObject(folders, kShortWait), WAIT_TIMEOUT);  // a file is no folder
  EXPECT_TRUE(FindNextChangeNotification(names));
  EXPECT_EQ(WaitForSingleObject(names, 0), WAIT_TIMEOUT);

  MakeDir(dir + "/sub");
  EXPECT_EQ(WaitForSingleObject(folders, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(names, 5000), WAIT_OBJECT_0);
  EXPECT_TRUE(FindCloseChangeNotification(names));
  EXPECT_TRUE(FindCloseChangeNotification(folders));
  EXPECT_FALSE(FindNextChangeNotification(names));
}

TEST_F(ChangeNotification, AChangeBeforeAskingForTheNextIsNotLost) {
  std::string dir = home.Path("busy");
  MakeDir(dir);
  HANDLE watch = FindFirstChangeNotification(dir, 0, FILE_NOTIFY_CHANGE_FILE_NAME);
  ASSERT_NE(watch, INVALID_HANDLE_VALUE);
  WriteFile(dir + "/first", "x");
  ASSERT_EQ(WaitForSingleObject(watch, 5000), WAIT_OBJECT_0);
  WriteFile(dir + "/second", "x");  // after the wait ended, before the next is asked for
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_TRUE(FindNextChangeNotification(watch));
  EXPECT_EQ(WaitForSingleObject(watch, 0), WAIT_OBJECT_0);
  ASSERT_TRUE(FindNextChangeNotification(watch));
  EXPECT_EQ(WaitForSingleObject(watch, kShortWait), WAIT_TIMEOUT);
  FindCloseChangeNotification(watch);
}

TEST_F(ChangeNotification, ASubtreeWatchCoversOnlyListedFolders) {
  std::string root = home.Path("drive");
  MakeDir(root);
  MakeDir(root + "/listed");
  MakeDir(root + "/listed/deeper");
  MakeDir(root + "/unlisted");
  List(root);
  List(root + "/listed");
  HANDLE subtree = FindFirstChangeNotification(root, 1, FILE_NOTIFY_CHANGE_FILE_NAME);
  HANDLE flat = FindFirstChangeNotification(root, 0, FILE_NOTIFY_CHANGE_FILE_NAME);
  ASSERT_NE(subtree, INVALID_HANDLE_VALUE);
  HANDLE both[] = {subtree, flat};

  WriteFile(root + "/unlisted/a", "x");
  EXPECT_EQ(WaitForMultipleObjects(2, both, 0, kShortWait), WAIT_TIMEOUT);

  WriteFile(root + "/listed/b", "x");
  EXPECT_EQ(WaitForMultipleObjects(2, both, 0, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(flat, kShortWait), WAIT_TIMEOUT);
  FindNextChangeNotification(subtree);

  // A folder listed after the watch began joins it.
  WriteFile(root + "/listed/deeper/c", "x");
  EXPECT_EQ(WaitForSingleObject(subtree, kShortWait), WAIT_TIMEOUT);
  List(root + "/listed/deeper");
  WriteFile(root + "/listed/deeper/d", "x");
  EXPECT_EQ(WaitForSingleObject(subtree, 5000), WAIT_OBJECT_0);

  FindCloseChangeNotification(subtree);
  FindCloseChangeNotification(flat);
}

TEST_F(ChangeNotification, ASubtreeWatchStopsAtItsLimitAndSaysSo) {
  std::vector<std::string> lines;
  SetShellLogSink([&lines](const std::string& line) { lines.push_back(line); });
  SetSubtreeFolderLimitForTesting(2);  // the root and one more
  std::string root = home.Path("big");
  MakeDir(root);
  MakeDir(root + "/one");
  MakeDir(root + "/two");
  MakeDir(root + "/three");
  HANDLE watch = FindFirstChangeNotification(root, 1, FILE_NOTIFY_CHANGE_FILE_NAME);
  ASSERT_NE(watch, INVALID_HANDLE_VALUE);
  List(root + "/one");
  List(root + "/two");
  List(root + "/three");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("folder limit"), std::string::npos) << lines[0];
  WriteFile(root + "/two/x", "x");
  EXPECT_EQ(WaitForSingleObject(watch, kShortWait), WAIT_TIMEOUT);
  WriteFile(root + "/one/x", "x");
  EXPECT_EQ(WaitForSingleObject(watch, 5000), WAIT_OBJECT_0);
  FindCloseChangeNotification(watch);
}

TEST_F(ChangeNotification, AWatchWhoseFolderGoesAwayEnds) {
  std::string dir = home.Path("doomed");
  MakeDir(dir);
  HANDLE watch = FindFirstChangeNotification(dir, 0, FILE_NOTIFY_CHANGE_DIR_NAME);
  ASSERT_NE(watch, INVALID_HANDLE_VALUE);
  ASSERT_EQ(rmdir(dir.c_str()), 0);
  EXPECT_EQ(WaitForSingleObject(watch, 5000), WAIT_OBJECT_0);
  EXPECT_FALSE(FindNextChangeNotification(watch));
  EXPECT_EQ(WaitForSingleObject(watch, 0), WAIT_ABANDONED_0);
  EXPECT_TRUE(FindCloseChangeNotification(watch));
}

TEST_F(ChangeNotification, WatchesNeedAFolder) {
  EXPECT_EQ(FindFirstChangeNotification(home.Path("missing"), 0, FILE_NOTIFY_CHANGE_FILE_NAME), INVALID_HANDLE_VALUE);
  WriteFile(home.Path("file"), "x");
  EXPECT_EQ(FindFirstChangeNotification(home.Path("file"), 0, FILE_NOTIFY_CHANGE_FILE_NAME), INVALID_HANDLE_VALUE);
  EXPECT_EQ(FindFirstChangeNotification(home.path(), 0, 0), INVALID_HANDLE_VALUE);
  EXPECT_EQ(FindFirstChangeNotification("", 0, FILE_NOTIFY_CHANGE_FILE_NAME), INVALID_HANDLE_VALUE);
}

TEST_F(ChangeNotification, EveryDescriptorIsClosedAgain) {
  int before = test::OpenDescriptorCount();
  std::vector<HANDLE> handles;
  for (int i = 0; i < 20; ++i) {
    handles.push_back(FindFirstChangeNotification(home.path(), i % 2, FILE_NOTIFY_CHANGE_FILE_NAME));
    handles.push_back(CreateEvent(nullptr, i % 2, 0, nullptr));
  }
  List(home.path());
  EXPECT_GT(test::OpenDescriptorCount(), before);
  for (HANDLE h : handles) EXPECT_TRUE(CloseHandle(h));
  EXPECT_EQ(test::OpenDescriptorCount(), before);
}

TEST(DefaultHandler, TargetsAreHandedOverAsAddresses) {
  test::FakeHome home;
  std::vector<std::string> opened;
  SetLaunchRecorderForTesting([&opened](const std::string& uri) {
    opened.push_back(uri);
    return true;
  });
  MakeDir(home.Path("My Videos"));
  WriteFile(home.Path("My Videos/caf\xe9.mp4"), "x");
  EXPECT_TRUE(OpenWithDefaultHandler(home.Path("My Videos")));
  EXPECT_TRUE(OpenWithDefaultHandler(home.Path("My Videos/caf\xe9.mp4")));
  EXPECT_TRUE(OpenWithDefaultHandler("https://example.org/help?x=1"));
  std::string error;
  EXPECT_FALSE(OpenWithDefaultHandler(home.Path("missing"), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(OpenWithDefaultHandler("relative/file"));
  EXPECT_FALSE(OpenWithDefaultHandler("; rm -rf ~"));
  ASSERT_EQ(opened.size(), 3u);
  EXPECT_EQ(opened[0], "file://" + home.path() + "/My%20Videos");
  EXPECT_EQ(opened[1], "file://" + home.path() + "/My%20Videos/caf%E9.mp4");
  EXPECT_EQ(opened[2], "https://example.org/help?x=1");

  EXPECT_GT(ShellExecute(nullptr, "explore", home.Path("My Videos").c_str(), nullptr, nullptr, 1), 32);
  EXPECT_GT(ShellExecute(nullptr, nullptr, home.Path("My Videos").c_str(), nullptr, nullptr, 1), 32);
  EXPECT_EQ(ShellExecute(nullptr, "print", home.Path("My Videos").c_str(), nullptr, nullptr, 1), 27);
  EXPECT_EQ(ShellExecute(nullptr, "open", home.Path("missing").c_str(), nullptr, nullptr, 1), 2);
  SetLaunchRecorderForTesting([](const std::string&) { return false; });
  EXPECT_EQ(ShellExecute(nullptr, "open", home.Path("My Videos").c_str(), nullptr, nullptr, 1), 31);
  SetLaunchRecorderForTesting({});
}

}  // namespace
}  // namespace qelo::shell
