// Menus: building and asking items, and a tracked menu whose owner fills a
// sub-menu as it opens, measures and draws its owner-drawn items, follows
// the highlight and answers letters.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "ui_script.h"
#include "win/controls/menu_popup.h"
#include "win/controls/menus.h"
#include "win/window/display.h"

namespace qelo::win {
namespace {

const bool kHeadless = [] {
  setenv("QELO_HEADLESS", "1", 0);
  return true;
}();

TEST(MenuHandles, ItemsAreFoundByPositionAndByCommand) {
  HMENU menu = CreatePopupMenu();
  HMENU sub = CreatePopupMenu();
  ASSERT_TRUE(AppendMenu(menu, MF_STRING, 1, "&Open"));
  ASSERT_TRUE(AppendMenu(menu, MF_SEPARATOR, 0, ""));
  ASSERT_TRUE(AppendMenu(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "Send To"));
  ASSERT_TRUE(AppendMenu(sub, MF_STRING | MF_GRAYED, 7, "(empty)"));
  ASSERT_TRUE(InsertMenu(menu, 1, MF_BYCOMMAND | MF_STRING | MF_CHECKED, 2, "Second"));  // before id 1
  EXPECT_EQ(GetMenuItemCount(menu), 4);
  EXPECT_EQ(GetMenuItemID(menu, 0), 2u);
  EXPECT_EQ(GetMenuItemID(menu, 3), 0xFFFFFFFFu);  // a sub-menu has no id
  EXPECT_EQ(GetSubMenu(menu, 3), sub);
  EXPECT_EQ(GetMenuState(menu, 7, MF_BYCOMMAND), MF_GRAYED);  // found inside the sub-menu
  EXPECT_EQ(GetMenuState(menu, 3, MF_BYPOSITION), MF_POPUP | (1u << 8));
  EXPECT_EQ(GetMenuState(menu, 2, MF_BYCOMMAND), MF_CHECKED);
  EXPECT_EQ(GetMenuString(menu, 1, MF_BYCOMMAND), "&Open");
  EXPECT_EQ(GetMenuDefaultItem(menu, 0, 0), 0xFFFFFFFFu);
  ASSERT_TRUE(SetMenuDefaultItem(menu, 1, 0));
  EXPECT_EQ(GetMenuDefaultItem(menu, 0, 0), 1u);
  EXPECT_EQ(GetMenuDefaultItem(menu, 1, 0), 1u);  // by position
  ASSERT_TRUE(DeleteMenu(menu, 7, MF_BYCOMMAND));
  EXPECT_EQ(GetMenuItemCount(sub), 0);
  ASSERT_TRUE(DeleteMenu(menu, 3, MF_BYPOSITION));
  EXPECT_FALSE(IsMenu(sub));  // deleted with its item
  EXPECT_FALSE(DeleteMenu(menu, 42, MF_BYCOMMAND));
  EXPECT_TRUE(DestroyMenu(menu));
  EXPECT_FALSE(DestroyMenu(menu));
  EXPECT_EQ(GetMenuItemCount(menu), -1);
}

// The owner: fills "Send To" with three owner-drawn entries when it opens,
// and answers letters as a list of entries would.
struct Owner {
  HMENU sendTo = nullptr;
  std::vector<std::string> log;
  std::vector<UINT> drawn;
};
Owner* owner = nullptr;

const char* const kEntries[] = {"Alpha", "Beta", "Bravo"};

win::LRESULT OwnerProc(win::HWND window, win::UINT message, win::WPARAM w, win::LPARAM l) {
  switch (message) {
    case WM_INITMENUPOPUP:
      if (reinterpret_cast<HMENU>(w) == owner->sendTo) {
        owner->log.push_back("init sendto");
        DeleteMenu(owner->sendTo, 0, MF_BYPOSITION);
        for (int i = 0; i < 3; ++i) {
          MENUITEMINFO info;
          info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_DATA;
          info.fType = MFT_OWNERDRAW;
          info.wID = 11 + i;
          info.dwItemData = static_cast<UINT_PTR>(i);
          InsertMenuItem(owner->sendTo, static_cast<UINT>(i), 1, &info);
        }
      } else {
        owner->log.push_back("init menu");
      }
      return 0;
    case win::WM_MEASUREITEM: {
      auto* m = reinterpret_cast<win::MEASUREITEMSTRUCT*>(l);
      EXPECT_EQ(m->CtlType, ODT_MENU);
      m->itemWidth = 120;
      m->itemHeight = 22;
      return 1;
    }
    case win::WM_DRAWITEM: {
      auto* d = reinterpret_cast<win::DRAWITEMSTRUCT*>(l);
      owner->drawn.push_back(d->itemID);
      bool selected = (d->itemState & win::ODS_SELECTED) != 0;
      win::HBRUSH brush = win::CreateSolidBrush(selected ? win::RGB(10, 36, 106) : win::RGB(212, 208, 200));
      win::FillRect(d->hDC, &d->rcItem, brush);
      win::DeleteObject(brush);
      win::SetBkMode(d->hDC, win::TRANSPARENT);
      win::SetTextColor(d->hDC, selected ? win::RGB(255, 255, 255) : win::RGB(0, 0, 0));
      win::RECT text = d->rcItem;
      text.left += 32;
      win::DrawText(d->hDC, kEntries[d->itemData], &text, win::DT_SINGLELINE | win::DT_VCENTER);
      return 1;
    }
    case WM_MENUSELECT:
      if (win::HIWORD(w) == 0xFFFF && l == 0) owner->log.push_back("closed");
      else owner->log.push_back("select " + std::to_string(win::LOWORD(w)) + ((win::HIWORD(w) & MF_POPUP) ? " popup" : ""));
      return 0;
    case WM_MENUCHAR: {
      char letter = static_cast<char>(std::toupper(win::LOWORD(w)));
      HMENU menu = reinterpret_cast<HMENU>(l);
      int highlighted = -1;
      for (int i = 0; i < GetMenuItemCount(menu); ++i)
        if (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) highlighted = i;
      std::vector<int> matches;
      for (int i = 0; i < 3; ++i)
        if (kEntries[i][0] == letter) matches.push_back(i);
      owner->log.push_back(std::string("char ") + letter);
      if (matches.empty()) return MakeMenuCharResult(0, MNC_CLOSE);
      if (matches.size() == 1) return MakeMenuCharResult(matches[0], MNC_EXECUTE);
      int next = matches[0];
      for (int m : matches)
        if (m > highlighted) {
          next = m;
          break;
        }
      return MakeMenuCharResult(next, MNC_SELECT);
    }
    default:
      return win::DefWindowProc(window, message, w, l);
  }
}

class TrackedMenus : public ::testing::Test {
 protected:
  void SetUp() override {
    (void)kHeadless;
    static const bool registered = [] {
      win::WNDCLASS c;
      c.lpfnWndProc = OwnerProc;
      c.lpszClassName = "ShellMenuOwner";
      return win::RegisterClass(c) != 0;
    }();
    ASSERT_TRUE(registered);
    window = win::CreateWindowEx(0, "ShellMenuOwner", "", win::WS_POPUP | win::WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                 nullptr);
    ASSERT_NE(window, nullptr);
    owner = &state;
    menu = CreatePopupMenu();
    state.sendTo = CreatePopupMenu();
    AppendMenu(menu, MF_STRING, 1, "&Open");
    AppendMenu(menu, MF_SEPARATOR, 0, "");
    AppendMenu(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(state.sendTo), "Se&nd To");
    AppendMenu(state.sendTo, MF_STRING | MF_GRAYED, 0, "(empty)");
    AppendMenu(menu, MF_STRING, 3, "&Delete");
  }
  void TearDown() override {
    DestroyMenu(menu);
    win::DestroyWindow(window);
    owner = nullptr;
  }

  static void Key(int vk) {
    win::InjectKey(vk, true);
    win::InjectKey(vk, false);
  }
  static void Screenshot(int level, const std::string& name) {
    std::string dir = QELO_SCREENSHOT_DIR;
    std::filesystem::create_directories(dir);
    EXPECT_TRUE(win::SaveWindowScreenshot(win::menu_popup::TrackingWindow(level), dir + "/" + name));
  }

  win::HWND window = nullptr;
  HMENU menu = nullptr;
  Owner state;
};

TEST_F(TrackedMenus, TheOwnerFillsDrawsAndAnswersLetters) {
  qelo::test::TimedSteps steps({
      [] { Key(win::VK_DOWN); },   // Open
      [] { Key(win::VK_DOWN); },   // Send To (the separator is skipped)
      [] { Key(win::VK_RIGHT); },  // opens it: filled by the owner
      [] { win::InjectText("b"); },  // two entries start with B: Beta is selected
      [] { win::InjectText("b"); },  // then Bravo
      [] { Screenshot(0, "shell-menu.png"); Screenshot(1, "shell-menu-sendto.png"); },
      [] { Key(win::VK_RETURN); },
  });
  UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, 100, 100, 0, window, nullptr);
  EXPECT_EQ(chosen, 13u);
  EXPECT_EQ(state.log, (std::vector<std::string>{"init menu", "select 1", "select 2 popup", "init sendto",
                                                 "select 11", "char B", "select 12", "char B", "select 13",
                                                 "closed"}));
  EXPECT_NE(std::find(state.drawn.begin(), state.drawn.end(), 13u), state.drawn.end());
  EXPECT_EQ(GetMenuItemCount(state.sendTo), 3);
}

TEST_F(TrackedMenus, ALetterOfOneEntryRunsItAndUnknownLettersClose) {
  {
    qelo::test::TimedSteps steps({[] { Key(win::VK_DOWN); }, [] { Key(win::VK_DOWN); }, [] { Key(win::VK_RIGHT); },
                            [] { win::InjectText("a"); }});
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 100, 100, 0, window, nullptr), 11u);
  }
  {
    qelo::test::TimedSteps steps({[] { Key(win::VK_DOWN); }, [] { Key(win::VK_DOWN); }, [] { Key(win::VK_RIGHT); },
                            [] { win::InjectText("z"); }});
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 100, 100, 0, window, nullptr), 0u);
  }
  // Without TPM_RETURNCMD the choice comes as WM_COMMAND.
  qelo::test::TimedSteps steps({[] { win::InjectText("d"); }});
  EXPECT_EQ(TrackPopupMenu(menu, 0, 100, 100, 0, window, nullptr), 1u);
  win::MSG m;
  ASSERT_TRUE(win::PeekMessage(&m, window, WM_COMMAND, WM_COMMAND, win::PM_REMOVE));
  EXPECT_EQ(m.wParam, 3u);
}

}  // namespace
}  // namespace qelo::win
