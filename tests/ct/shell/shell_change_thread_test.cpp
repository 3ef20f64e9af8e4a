// The change-notification thread: one posted message per change with the
// watch's slot, 63 slots and no more, slots reused after removing all,
// changes in listed sub-folders seen, and every descriptor closed at the end.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "ct_shell_ctrls_change.h"
#include "fd_count.h"
#include "shell/change_notify.h"
#include "shell/volumes.h"
#include "shell_fixture.h"

namespace qelo::ct {
namespace {

using test::MakeDir;
using test::WriteFile;

std::vector<win::WPARAM> posted;

win::LRESULT RecordChanges(win::HWND window, win::UINT message, win::WPARAM w, win::LPARAM l) {
  if (message == WM_SHELLCHANGED) posted.push_back(w);
  return win::DefWindowProc(window, message, w, l);
}

class ChangeThread : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("QELO_HEADLESS", "1", 0);
    shell::SetVolumeSourceForTesting([] { return std::vector<shell::Volume>{}; });
    shell::ForgetListedFoldersForTesting();
    static const bool registered = [] {
      win::WNDCLASS c;
      c.lpfnWndProc = RecordChanges;
      c.lpszClassName = "ChangeThreadOwner";
      return win::RegisterClass(c) != 0;
    }();
    ASSERT_TRUE(registered);
    window = win::CreateWindowEx(0, "ChangeThreadOwner", "", win::WS_POPUP, 0, 0, 1, 1, nullptr, nullptr);
    posted.clear();
    descriptors = test::OpenDescriptorCount();
  }
  void TearDown() override {
    win::DestroyWindow(window);
    shell::SetVolumeSourceForTesting({});
  }
  // Handles messages until `count` changes were posted or the time is up.
  bool WaitForPosts(std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (posted.size() < count && std::chrono::steady_clock::now() < end) {
      win::MSG m;
      while (win::PeekMessage(&m, nullptr, 0, 0, win::PM_REMOVE)) win::DispatchMessage(&m);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return posted.size() >= count;
  }
  void Settle() { WaitForPosts(posted.size() + 1, std::chrono::milliseconds(300)); }

  test::FakeHome home;
  win::HWND window = nullptr;
  int descriptors = 0;
};

TEST_F(ChangeThread, EachChangePostsItsSlotAndTheWatchGoesOn) {
  MakeDir(home.Path("a"));
  MakeDir(home.Path("b"));
  {
    TChangeHandlerThread thread(window, WM_SHELLCHANGED);
    int slotA = -1, slotB = -1;
    ASSERT_TRUE(thread.AddWatch(home.Path("a"), shell::FILE_NOTIFY_CHANGE_FILE_NAME, &slotA, false));
    ASSERT_TRUE(thread.AddWatch(home.Path("b"), shell::FILE_NOTIFY_CHANGE_FILE_NAME, &slotB, false));
    EXPECT_EQ(slotA, 0);
    EXPECT_EQ(slotB, 1);
    WriteFile(home.Path("b/one"), "x");
    ASSERT_TRUE(WaitForPosts(1));
    Settle();
    EXPECT_EQ(posted, std::vector<win::WPARAM>{1});
    WriteFile(home.Path("b/two"), "x");
    ASSERT_TRUE(WaitForPosts(2));
    WriteFile(home.Path("a/three"), "x");
    ASSERT_TRUE(WaitForPosts(3));
    EXPECT_EQ(posted.back(), 0u);
    int none = 7;
    EXPECT_FALSE(thread.AddWatch("", shell::FILE_NOTIFY_CHANGE_FILE_NAME, &none, false));
    EXPECT_EQ(none, -1);
    EXPECT_FALSE(thread.AddWatch(home.Path("missing"), shell::FILE_NOTIFY_CHANGE_FILE_NAME, &none, false));
  }
  EXPECT_EQ(test::OpenDescriptorCount(), descriptors);
}

TEST_F(ChangeThread, TheSixtyFourthWatchIsRefusedAndSlotsAreReused) {
  {
    TChangeHandlerThread thread(window, WM_SHELLCHANGED);
    int slot = -1;
    for (int i = 0; i < TChangeHandlerThread::kSlotCount; ++i) {
      ASSERT_TRUE(thread.AddWatch(home.path(), shell::FILE_NOTIFY_CHANGE_DIR_NAME, &slot, false)) << i;
      EXPECT_EQ(slot, i);
    }
    EXPECT_FALSE(thread.AddWatch(home.path(), shell::FILE_NOTIFY_CHANGE_DIR_NAME, &slot, false));
    EXPECT_EQ(slot, -1);
    // A second refusal closes the handle the first one left pending.
    EXPECT_FALSE(thread.AddWatch(home.path(), shell::FILE_NOTIFY_CHANGE_DIR_NAME, &slot, false));
    // The action event, the 63 watches and one pending handle: the first refused is gone.
    EXPECT_EQ(test::OpenDescriptorCount(), descriptors + 1 + TChangeHandlerThread::kSlotCount + 1);
    thread.RemoveAllWatches();
    ASSERT_TRUE(thread.AddWatch(home.path(), shell::FILE_NOTIFY_CHANGE_DIR_NAME, &slot, false));
    EXPECT_EQ(slot, 0);
    ASSERT_TRUE(thread.AddWatch(home.path(), shell::FILE_NOTIFY_CHANGE_DIR_NAME, &slot, false));
    EXPECT_EQ(slot, 1);
  }
  // The thread, its event, every watch and the refused pending one: all closed.
  EXPECT_EQ(test::OpenDescriptorCount(), descriptors);
}

TEST_F(ChangeThread, ASubtreeWatchSeesListedSubfolders) {
  MakeDir(home.Path("drive"));
  MakeDir(home.Path("drive/listed"));
  MakeDir(home.Path("drive/unlisted"));
  {
    shell::ComPtr<shell::IShellFolder> listed = test::BindPath(home.Path("drive/listed"));
    test::EnumeratedNames(listed.Get(), shell::SHCONTF_FOLDERS);  // as a tree expanding the folder
  }
  {
    TChangeHandlerThread thread(window, WM_SHELLCHANGED);
    int slot = -1;
    ASSERT_TRUE(thread.AddWatch(home.Path("drive"), shell::FILE_NOTIFY_CHANGE_DIR_NAME, &slot, true));
    MakeDir(home.Path("drive/unlisted/new"));
    Settle();
    EXPECT_TRUE(posted.empty());
    MakeDir(home.Path("drive/listed/new"));
    ASSERT_TRUE(WaitForPosts(1));
    EXPECT_EQ(posted[0], static_cast<win::WPARAM>(slot));
  }
  EXPECT_EQ(test::OpenDescriptorCount(), descriptors);
}

TEST_F(ChangeThread, AWatchWhoseFolderGoesAwayDropsOut) {
  MakeDir(home.Path("doomed"));
  TChangeHandlerThread thread(window, WM_SHELLCHANGED);
  int slot = -1;
  ASSERT_TRUE(thread.AddWatch(home.Path("doomed"), shell::FILE_NOTIFY_CHANGE_DIR_NAME, &slot, false));
  ASSERT_EQ(rmdir(home.Path("doomed").c_str()), 0);
  ASSERT_TRUE(WaitForPosts(1));  // the folder's going is a change
  Settle();
  // The thread dropped the watch: its slot is the first free one again.
  MakeDir(home.Path("other"));
  int next = -1;
  ASSERT_TRUE(thread.AddWatch(home.Path("other"), shell::FILE_NOTIFY_CHANGE_DIR_NAME, &next, false));
  EXPECT_EQ(next, 0);
}

}  // namespace
}  // namespace qelo::ct
