// The shell controls' menu helpers: the key-text parser and the default-key
// table, commands by verb, new-folder naming, and the control's own Send To
// sub-menu (filled afresh, drawn by the owner, letters answered, hints),
// dropping on a Send To entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "controls_fixture.h"
#include "ct_shell_ctrls_keys.h"
#include "ct_shell_ctrls_menus.h"
#include "ct_shell_ctrls_unit.h"
#include "ct_shell_intf.h"
#include "ct_shell_utils.h"
#include "shell/special_folders.h"
#include "shell/volumes.h"
#include "shell_fixture.h"
#include "ui_script.h"
#include "vcl/controls/timer.h"
#include "win/controls/menu_popup.h"
#include "win/window/display.h"

namespace qelo::ct {
namespace {

using shell::IdListPtr;

TEST(ShellKeys, KeyTextsParseWithoutRegardToCase) {
  struct Case {
    const char* text;
    TShortCut expected;
  };
  const Case cases[] = {
      {"Ctrl+A", vcl::scCtrl | 'A'},
      {"ctrl+a", vcl::scCtrl | 'A'},
      {"^C", vcl::scCtrl | 'C'},
      {"Del", 46},
      {"Shift+Del", vcl::scShift | 46},
      {"alt+shift+F24", vcl::scAlt | vcl::scShift | 135},
      {"Ctrl+Alt+Enter", vcl::scCtrl | vcl::scAlt | 13},
      {"BkSp", 8},
      {"pgdn", 34},
      {"7", '7'},
      {"#300", 300},
      {"F5", 116},
      {"Foo", 0},
      {"Ctrl+", 0},
      {"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ShellTextToShortCut(c.text), c.expected) << c.text;
  EXPECT_EQ(ShellShortCutToText(vcl::scShift | vcl::scCtrl | 'X'), "Shift+Ctrl+X");
  EXPECT_EQ(ShellShortCutToText(96), "0");  // the numeric pad's digits read as digits
  EXPECT_EQ(ShellShortCutToText(250), "#250");
  EXPECT_EQ(ShellShortCutToText(0), "");
}

TEST(ShellKeys, TheDefaultKeysAndDeleteWithShift) {
  EXPECT_EQ(DefaultKey(dkSelectAll).keyText, "Ctrl+A");
  EXPECT_TRUE(IsDefaultKey(dkRename, 113));
  EXPECT_TRUE(IsDefaultKey(dkPaste, vcl::scCtrl | 'V'));
  EXPECT_FALSE(IsDefaultKey(dkCopy, vcl::scCtrl | 'V'));
  EXPECT_TRUE(IsDeleteKey(46));
  EXPECT_TRUE(IsDeleteKey(vcl::scShift | 46));
  EXPECT_FALSE(IsDeleteKey(vcl::scCtrl | 46));
  ReleaseDefaultKeyTable();
  EXPECT_TRUE(IsDefaultKey(dkRefresh, 116));  // parsed again on the next lookup
}

class ShellMenus : public vcl::test::FormTest {
 protected:
  void SetUp() override {
    vcl::test::FormTest::SetUp();
    shell::SetVolumeSourceForTesting([] { return std::vector<shell::Volume>{}; });
    InitializeCtShellIntf();
    InitializeCtShellUtils();
    InitializeShellCtrls();
  }
  void TearDown() override {
    FinalizeShellCtrls();
    FinalizeCtShellUtils();
    FinalizeCtShellIntf();
    shell::SetVolumeSourceForTesting({});
    vcl::test::FormTest::TearDown();
  }
  shell::ComPtr<IContextMenu> ItemMenu(const std::string& folder, const std::string& name) {
    shell::ComPtr<shell::IShellFolder> f = test::BindPath(folder);
    item = test::ChildItem(folder, name);
    shell::LPCITEMIDLIST one = item.Get();
    shell::ComPtr<IContextMenu> menu;
    EXPECT_EQ(f->GetUIObjectOf(form->Handle(), 1, &one, shell::IID_IContextMenu, nullptr, menu.PutVoid()), shell::S_OK);
    return menu;
  }
  test::FakeHome home;
  IdListPtr item;
  vcl::script::ModalScript modal;
};

TEST_F(ShellMenus, VerbsFindTheirCommandOrNothingRuns) {
  test::MakeDir(home.Path("f"));
  test::WriteFile(home.Path("f/clip.mp4"), "x");
  shell::ComPtr<IContextMenu> menu = ItemMenu(home.Path("f"), "clip.mp4");
  EXPECT_EQ(FindVerbCommand(menu.Get(), "COPY"), static_cast<int>(shell::kVerbCopy));
  EXPECT_EQ(FindVerbCommand(menu.Get(), "paste"), -1);  // a file's menu has no paste
  EXPECT_EQ(InvokeContextCommand(form->Handle(), menu.Get(), "paste"), shell::E_FAIL);
  EXPECT_EQ(InvokeContextCommand(form->Handle(), menu.Get(), "copy"), shell::S_OK);
  shell::ComPtr<shell::IDataObject> clip;
  EXPECT_EQ(shell::OleGetClipboard(clip.Put()), shell::S_OK);
  shell::OleSetClipboard(nullptr);

  shell::ComPtr<shell::IShellFolder> folder = test::BindPath(home.Path("f"));
  shell::ComPtr<IContextMenu> object;
  HMENU popup = nullptr;
  shell::LPCITEMIDLIST one = item.Get();
  ASSERT_TRUE(SUCCEEDED(GetContextMenu(nullptr, folder.Get(), 1, &one, &object, &popup, shell::CMF_EXPLORE)));
  EXPECT_EQ(shell::GetMenuItemID(popup, 0), kFirstShellCommand + shell::kVerbOpen);
  shell::DestroyMenu(popup);
  IdListPtr foreign(shell::ILClone(nullptr));
  shell::LPCITEMIDLIST bad = foreign.Get();
  EXPECT_TRUE(FAILED(GetContextMenu(nullptr, folder.Get(), 1, &bad, &object, &popup, 0)));
  EXPECT_EQ(popup, nullptr);
}

TEST_F(ShellMenus, NewFoldersTakeTheNextFreeName) {
  std::string dir = home.Path("n");
  test::MakeDir(dir);
  test::MakeDir(dir + "/New Folder");
  test::MakeDir(dir + "/New Folder (2)");
  std::string name;
  EXPECT_EQ(CreateFolderIn(dir, &name), 1);
  EXPECT_EQ(name, "New Folder (3)");
  EXPECT_TRUE(test::Exists(dir + "/New Folder (3)"));
  // Every name of the first scheme taken: the second scheme.
  for (int n = 4; n <= 50; ++n) test::MakeDir(dir + "/New Folder (" + std::to_string(n) + ")");
  EXPECT_EQ(CreateFolderIn(dir + "/", &name), 1);
  EXPECT_EQ(name, "fldr");
  EXPECT_EQ(CreateFolderIn(dir, &name), 1);
  EXPECT_EQ(name, "fldr2");
  // No folder given: nothing is made anywhere, and the user is told.
  modal.Answer(vcl::mrOk);
  EXPECT_EQ(CreateFolderIn("", &name), 0);
  EXPECT_EQ(name, "");
  ASSERT_EQ(modal.Seen().size(), 1u);
  EXPECT_NE(modal.Seen()[0].find("Unable to create the folder 'New Folder'"), std::string::npos) << modal.Seen()[0];
  modal.Answer(vcl::mrOk);
  EXPECT_EQ(CreateFolderIn(home.Path("missing"), &name), 0);
  EXPECT_EQ(modal.Unanswered(), 0);
}

TEST_F(ShellMenus, WaitingKeepsHandlingMessages) {
  bool handled = false;
  win::PostMessage(form->Handle(), win::WM_NULL, 0, 0);
  vcl::TTimer timer(nullptr);
  timer.SetInterval(20);
  timer.SetOnTimer([&](vcl::TObject*) { handled = true; });
  timer.SetEnabled(true);
  WaitWithHourglass(150);
  EXPECT_TRUE(handled);
  EXPECT_EQ(vcl::Screen()->Cursor(), vcl::crDefault);
}

// The owner window of a tracked shell menu: passes the menu messages to the
// helpers as a shell control does.
TCtShellMenuSite* site = nullptr;
std::vector<std::string> hints;
win::LRESULT SiteProc(win::HWND window, win::UINT message, win::WPARAM w, win::LPARAM l) {
  win::LRESULT result = 0;
  if (site && HandleShellMenuMessage(*site, message, w, l, &result)) return result;
  return win::DefWindowProc(window, message, w, l);
}

class SendToMenus : public ShellMenus {
 protected:
  void SetUp() override {
    ShellMenus::SetUp();
    sendTo = shell::SendToDirectory();
    std::filesystem::create_directories(sendTo);
    test::MakeDir(home.Path("Archive"));
    test::MakeDir(home.Path("Backup"));
    test::MakeSymlink(home.Path("Archive"), sendTo + "/Archive.lnk");
    test::MakeSymlink(home.Path("Backup"), sendTo + "/Backup");
    test::WriteFile(sendTo + "/Burner.desktop", "x");
    test::WriteFile(sendTo + "/.hidden", "x");
    test::MakeDir(sendTo + "/a folder");
    static const bool registered = [] {
      win::WNDCLASS c;
      c.lpfnWndProc = SiteProc;
      c.lpszClassName = "ShellMenuSite";
      return win::RegisterClass(c) != 0;
    }();
    ASSERT_TRUE(registered);
    owner = win::CreateWindowEx(0, "ShellMenuSite", "", win::WS_POPUP | win::WS_VISIBLE, 0, 0, 20, 20, nullptr, nullptr);
    test::MakeDir(home.Path("clips"));
    test::WriteFile(home.Path("clips/clip.mp4"), "movie");
    menuObject = ItemMenu(home.Path("clips"), "clip.mp4");
    state.menuObject = menuObject.Get();
    state.smallImages = GetSystemImageList(TCtImageListSize::ilsSmall);
    state.onPopupHint = [](const std::string& hint) { hints.push_back(hint); };
    site = &state;
    hints.clear();
  }
  void TearDown() override {
    site = nullptr;
    win::DestroyWindow(owner);
    ShellMenus::TearDown();
  }
  // The menu with its Send To sub-menu (position 2 after Open and a line).
  HMENU BuildMenu() {
    HMENU popup = shell::CreatePopupMenu();
    menuObject->QueryContextMenu(popup, 0, kFirstShellCommand, kLastShellCommand, shell::CMF_EXPLORE);
    return popup;
  }
  static void Key(int vk) {
    win::InjectKey(vk, true);
    win::InjectKey(vk, false);
  }
  std::string sendTo;
  win::HWND owner = nullptr;
  shell::ComPtr<IContextMenu> menuObject;
  TCtShellMenuSite state;
};

TEST_F(SendToMenus, TheOwnerDrawnListIsSortedWithoutExtensionsAndFresh) {
  HMENU popup = BuildMenu();
  HMENU sub = shell::GetSubMenu(popup, 2);
  ASSERT_NE(sub, nullptr);
  win::LRESULT result = 0;
  ASSERT_TRUE(HandleShellMenuMessage(state, shell::WM_INITMENUPOPUP, reinterpret_cast<win::WPARAM>(sub), 2, &result));
  std::vector<std::string> names;
  for (int i = 0; i < shell::GetMenuItemCount(sub); ++i) {
    EXPECT_EQ(shell::GetMenuItemID(sub, i), static_cast<win::UINT>(i + 1));
    EXPECT_TRUE(shell::GetMenuState(sub, static_cast<win::UINT>(i), shell::MF_BYPOSITION) & shell::MF_OWNERDRAW);
    names.push_back(shell::GetMenuString(sub, static_cast<win::UINT>(i), shell::MF_BYPOSITION));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Archive", "Backup", "Burner"}));  // no folders, nothing hidden
  shell::DestroyMenu(popup);

  // An entry that went away is gone from the next menu.
  std::filesystem::remove(sendTo + "/Burner.desktop");
  popup = BuildMenu();
  sub = shell::GetSubMenu(popup, 2);
  HandleShellMenuMessage(state, shell::WM_INITMENUPOPUP, reinterpret_cast<win::WPARAM>(sub), 2, &result);
  EXPECT_EQ(shell::GetMenuItemCount(sub), 2);
  EXPECT_EQ(SendToList()->Count(), 2);
  shell::DestroyMenu(popup);
}

TEST_F(SendToMenus, LettersSelectOrRunEntriesAndHintsFollowTheHighlight) {
  HMENU popup = BuildMenu();
  std::string shots = QELO_SCREENSHOT_DIR;
  std::filesystem::create_directories(shots);
  test::TimedSteps steps({
      [] { Key(win::VK_DOWN); },  // Open: its help text is the hint
      [] { Key(win::VK_DOWN); },
      [] { Key(win::VK_RIGHT); },  // Send To, filled as it opens
      [] { win::InjectText("b"); },  // Backup and Burner start with B: Backup
      [] { win::InjectText("b"); },  // then Burner
      [&] { win::SaveWindowScreenshot(win::menu_popup::TrackingWindow(1), shots + "/shell-sendto.png"); },
      [] { win::InjectText("a"); },  // one entry: Archive runs
  });
  win::UINT chosen = shell::TrackPopupMenu(popup, shell::TPM_RETURNCMD, 100, 100, 0, owner, nullptr);
  EXPECT_EQ(chosen, 1u);  // Archive, the first entry
  ASSERT_FALSE(hints.empty());
  EXPECT_EQ(hints.front(), "Opens the selected items.");
  EXPECT_EQ(hints.back(), "");  // the menu closed
  shell::DestroyMenu(popup);
}

TEST_F(SendToMenus, DroppingOnAnEntryCopiesTheItems) {
  shell::ComPtr<shell::IShellFolder> folder = test::BindPath(home.Path("clips"));
  IdListPtr folderList = test::ParsePath(home.Path("clips"));
  shell::LPCITEMIDLIST one = item.Get();
  std::vector<shell::LPCITEMIDLIST> items{one};
  shell::ComPtr<shell::IDataObject> data;
  ASSERT_EQ(folder->GetUIObjectOf(nullptr, 1, &one, shell::IID_IDataObject, nullptr, data.PutVoid()), shell::S_OK);
  DropOnSendToEntry("Backup", data.Get());
  EXPECT_EQ(test::ReadFile(home.Path("Backup/clip.mp4")), "movie");
  EXPECT_EQ(test::ReadFile(home.Path("clips/clip.mp4")), "movie");  // copied, not moved
  EXPECT_THROW(DropOnSendToEntry("Nothing Here", data.Get()), vcl::Exception);
  EXPECT_THROW(DropOnSendToEntry("Burner.desktop", data.Get()), vcl::Exception);  // a file: no drop target
}

}  // namespace
}  // namespace qelo::ct
