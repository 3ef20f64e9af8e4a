#include <chrono>
#include <thread>

#include "controls_fixture.h"
#include "win/controls/combobox.h"

namespace qelo::win::test {
namespace {

class ComboBoxTest : public ControlsTest {
 public:
  HWND MakeCombo(DWORD style, std::initializer_list<const char*> items) {
    HWND combo = Make(WC_COMBOBOX, style, RECT{10, 10, 160, 200});
    for (const char* item : items) SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    TakeNotes();
    return combo;
  }
  COMBOBOXINFO Info(HWND combo) {
    COMBOBOXINFO info;
    SendMessage(combo, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(&info));
    return info;
  }
  POINT ListRow(HWND combo, int index) {
    const int height = static_cast<int>(SendMessage(combo, CB_GETITEMHEIGHT, 0, 0));
    return POINT{20, index * height + height / 2};
  }
  // Only the notifications of the drop-down and the selection.
  std::vector<Note> TakeListNotes() {
    std::vector<Note> kept;
    for (const Note& n : TakeNotes())
      if (n.code != CBN_SETFOCUS && n.code != CBN_KILLFOCUS) kept.push_back(n);
    return kept;
  }
};

const std::initializer_list<const char*> kFruit = {"Apple", "Banana", "Blueberry", "Cherry", "Cranberry"};

TEST_F(ComboBoxTest, ChoosingFromTheDropDownNotifiesInOrder) {
  HWND combo = MakeCombo(CBS_DROPDOWNLIST, kFruit);
  const COMBOBOXINFO info = Info(combo);
  Click(combo, POINT{20, 8});
  EXPECT_EQ(TakeListNotes(), std::vector<Note>{Command(CBN_DROPDOWN)});
  ASSERT_TRUE(IsWindowVisible(info.hwndList));
  EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), 1);
  RECT list, box;
  GetWindowRect(info.hwndList, &list);
  GetWindowRect(combo, &box);
  EXPECT_EQ(list.top, box.bottom) << "the list opens below the box";
  MoveTo(info.hwndList, ListRow(combo, 1));
  MoveTo(info.hwndList, ListRow(combo, 2));
  EXPECT_TRUE(TakeListNotes().empty()) << "hovering only highlights";
  Click(info.hwndList, ListRow(combo, 2));
  EXPECT_EQ(TakeListNotes(), (std::vector<Note>{Command(CBN_SELENDOK), Command(CBN_SELCHANGE), Command(CBN_CLOSEUP)}));
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(GetWindowText(combo), "Blueberry");
  EXPECT_FALSE(IsWindowVisible(info.hwndList));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ComboBoxTest, TheDropDownScrollsByItsBarAndStaysOpen) {
  HWND combo = MakeCombo(CBS_DROPDOWNLIST, {});
  for (int i = 0; i < 20; ++i) SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(i).c_str()));
  SendMessage(combo, CB_SETMINVISIBLE, 5, 0);
  const HWND list = Info(combo).hwndList;
  Click(combo, POINT{20, 8});
  TakeNotes();
  RECT r;
  GetWindowRect(list, &r);
  const POINT downArrow{r.right - 8, r.bottom - 6};
  InjectMouseMove(downArrow);
  InjectMouseButton(MouseButton::Left, true, downArrow);  // the bar runs its loop until the release
  InjectMouseButton(MouseButton::Left, false, downArrow);
  Pump();
  EXPECT_EQ(SendMessage(combo, CB_GETTOPINDEX, 0, 0), 1);
  EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), 1) << "scrolling keeps the list open";
  EXPECT_EQ(GetCapture(), list);
  Click(list, ListRow(combo, 0));
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 1) << "the row under the pointer, counted from the top item";
  EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), 0);
}

TEST_F(ComboBoxTest, AClickOutsideOrEscapeCancelsTheDropDown) {
  HWND combo = MakeCombo(CBS_DROPDOWNLIST, kFruit);
  SendMessage(combo, CB_SETCURSEL, 1, 0);
  const COMBOBOXINFO info = Info(combo);
  struct Case {
    const char* name;
    std::function<void()> cancel;
  } cases[] = {
      {"click outside", [&] { Click(parent_, POINT{300, 250}); }},
      {"escape", [&] { Tap(VK_ESCAPE); }},
      {"focus lost", [&] { SetFocus(parent_); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetFocus(combo);
    SendMessage(combo, CB_SHOWDROPDOWN, 1, 0);
    MoveTo(info.hwndList, ListRow(combo, 3));
    TakeNotes();
    c.cancel();
    EXPECT_EQ(TakeListNotes(), (std::vector<Note>{Command(CBN_SELENDCANCEL), Command(CBN_CLOSEUP)}));
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_FALSE(IsWindowVisible(info.hwndList));
  }
}

TEST_F(ComboBoxTest, KeysOpenMoveAndChoose) {
  HWND combo = MakeCombo(CBS_DROPDOWNLIST, kFruit);
  SetFocus(combo);
  TakeNotes();
  struct Case {
    int key;
    LRESULT selected;
    std::vector<Note> notes;
  } cases[] = {
      {VK_DOWN, 0, {Command(CBN_SELCHANGE)}},
      {VK_DOWN, 1, {Command(CBN_SELCHANGE)}},
      {VK_UP, 0, {Command(CBN_SELCHANGE)}},
      {VK_UP, 0, {}},
      {VK_END, 4, {Command(CBN_SELCHANGE)}},
      {VK_F4, 4, {Command(CBN_DROPDOWN)}},
      {VK_UP, 3, {Command(CBN_SELCHANGE)}},
      {VK_RETURN, 3, {Command(CBN_SELENDOK), Command(CBN_CLOSEUP)}},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    Tap(cases[i].key);
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), cases[i].selected) << "step " << i;
    EXPECT_EQ(TakeNotes(), cases[i].notes) << "step " << i;
  }
}

TEST_F(ComboBoxTest, TypingSearchesByPrefixUntilAPause) {
  HWND combo = MakeCombo(CBS_DROPDOWNLIST, kFruit);
  SetFocus(combo);
  TakeNotes();
  struct Case {
    const char* typed;
    bool pauseFirst;
    LRESULT selected;
    bool notified;
  } cases[] = {
      {"b", false, 1, true},   // Banana
      {"l", false, 2, true},   // "bl": Blueberry
      {"x", false, 2, false},  // "blx" matches nothing
      {"c", true, 3, true},    // a new search: Cherry
      {"c", false, 4, true},   // the same letter steps on: Cranberry
      {"c", false, 3, true},   // and round
  };
  for (const Case& c : cases) {
    if (c.pauseFirst) std::this_thread::sleep_for(std::chrono::milliseconds(kComboSearchPause + 100));
    Type(c.typed);
    EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), c.selected) << c.typed;
    EXPECT_EQ(TakeNotes().size(), c.notified ? 1u : 0u) << c.typed;
  }
}

TEST_F(ComboBoxTest, AnEditStyleBoxForwardsItsEditsNotifications) {
  HWND combo = MakeCombo(CBS_DROPDOWN, kFruit);
  const COMBOBOXINFO info = Info(combo);
  ASSERT_NE(info.hwndItem, combo);
  EXPECT_EQ(GetClassName(info.hwndItem), "Edit");
  SetFocus(combo);
  EXPECT_EQ(GetFocus(), info.hwndItem) << "the focus goes to the edit";
  EXPECT_EQ(TakeNotes(), std::vector<Note>{Command(CBN_SETFOCUS)});
  Type("x");
  EXPECT_EQ(TakeNotes(), (std::vector<Note>{Command(CBN_EDITUPDATE), Command(CBN_EDITCHANGE)}));
  EXPECT_EQ(GetWindowText(combo), "x");
  SendMessage(combo, CB_SETCURSEL, 3, 0);
  EXPECT_EQ(GetWindowText(info.hwndItem), "Cherry");
  EXPECT_EQ(GetWindowText(combo), "Cherry");
  EXPECT_TRUE(TakeNotes().empty()) << "a selection in code is silent";
  Tap(VK_DOWN);
  EXPECT_EQ(GetWindowText(combo), "Cranberry");
  EXPECT_EQ(TakeNotes(), std::vector<Note>{Command(CBN_SELCHANGE)});
  SetWindowText(combo, "free text");
  EXPECT_EQ(GetWindowText(info.hwndItem), "free text");
}

TEST_F(ComboBoxTest, AListStyleBoxShowsOnlyItsItems) {
  HWND combo = MakeCombo(CBS_DROPDOWNLIST, kFruit);
  SendMessage(combo, CB_SETCURSEL, 0, 0);
  SetWindowText(combo, "Cherry");
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 3);
  SetWindowText(combo, "Durian");
  EXPECT_EQ(GetWindowText(combo), "Cherry");
  char text[8];
  EXPECT_EQ(SendMessage(combo, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text)), 6);
  EXPECT_STREQ(text, "Cherry");
}

TEST_F(ComboBoxTest, TheSelectionFollowsInsertionsAndDeletions) {
  HWND combo = MakeCombo(CBS_DROPDOWNLIST, {"a", "b", "c"});
  SendMessage(combo, CB_SETCURSEL, 1, 0);
  SendMessage(combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("first"));
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 2);
  SendMessage(combo, CB_DELETESTRING, 0, 0);
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 1);
  SendMessage(combo, CB_DELETESTRING, 1, 0);
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(GetWindowText(combo), "");
  EXPECT_EQ(SendMessage(combo, CB_SETCURSEL, 9, 0), CB_ERR);
  EXPECT_EQ(SendMessage(combo, CB_GETCOUNT, 0, 0), 2);
}

TEST_F(ComboBoxTest, AWheelNotchOverTheEditFieldWorksTheBox) {
  HWND combo = MakeCombo(CBS_DROPDOWN, kFruit);
  SendMessage(combo, CB_SETCURSEL, 1, 0);
  const HWND edit = Info(combo).hwndItem;
  SetFocus(edit);
  TakeNotes();
  SendMessage(edit, WM_MOUSEWHEEL, static_cast<WPARAM>(static_cast<uint16_t>(-WHEEL_DELTA)) << 16, 0);
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 2) << "the edit field passed the notch to the box";
  EXPECT_EQ(TakeListNotes(), std::vector<Note>{Command(CBN_SELCHANGE)});
}

TEST_F(ComboBoxTest, OwnerDrawnBoxesMeasureAndDrawTheFieldThroughTheParent) {
  std::vector<UINT> measured;
  std::vector<std::pair<UINT, UINT>> drawn;  // item, state
  onMessage_ = [&](UINT message, WPARAM, LPARAM l, LRESULT*) {
    if (message == WM_MEASUREITEM) {
      auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
      measured.push_back(m->itemID);
      m->itemHeight = 13;
      return true;
    }
    if (message == WM_DRAWITEM) {
      const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
      drawn.emplace_back(d->itemID, d->itemState & (ODS_COMBOBOXEDIT | ODS_SELECTED));
      return true;
    }
    return false;
  };
  HWND combo = MakeCombo(CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, {"x", "y"});
  EXPECT_EQ(measured, (std::vector<UINT>{0, static_cast<UINT>(-1)}));
  EXPECT_EQ(SendMessage(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0), 13);
  RECT r;
  GetWindowRect(combo, &r);
  EXPECT_LT(r.bottom - r.top, 30) << "the box is as tall as its field";
  SendMessage(combo, CB_SETCURSEL, 1, 0);
  SetFocus(combo);
  drawn.clear();
  UpdateWindow(combo);
  EXPECT_EQ(drawn, (std::vector<std::pair<UINT, UINT>>{{1, ODS_COMBOBOXEDIT | ODS_SELECTED}}));
}

TEST_F(ComboBoxTest, TheParentsColourAnswerPaintsTheFieldTheEditAndTheList) {
  HBRUSH tint = CreateSolidBrush(RGB(255, 255, 200));
  std::vector<HWND> asking;
  onMessage_ = [&](UINT message, WPARAM, LPARAM l, LRESULT* result) {
    if (message != WM_CTLCOLOREDIT && message != WM_CTLCOLORLISTBOX) return false;
    asking.push_back(reinterpret_cast<HWND>(l));
    *result = reinterpret_cast<LRESULT>(tint);
    return true;
  };
  HWND list = MakeCombo(CBS_DROPDOWNLIST, kFruit);
  HWND edit = MakeCombo(CBS_DROPDOWN, kFruit);
  SetWindowPos(edit, nullptr, 10, 60, 150, 20, SWP_NOZORDER | SWP_NOSIZE);
  EXPECT_EQ(Pixel(list, POINT{60, 10}), RGB(255, 255, 200));
  const HWND child = Info(edit).hwndItem;
  EXPECT_EQ(Pixel(child, POINT{60, 5}), RGB(255, 255, 200)) << "the edit child's request reaches the box's parent";
  EXPECT_NE(std::find(asking.begin(), asking.end(), child), asking.end());
  SendMessage(list, CB_SHOWDROPDOWN, 1, 0);
  const HWND dropped = Info(list).hwndList;
  UpdateWindow(dropped);
  EXPECT_EQ(PixelAt(dropped, 100, ListRow(list, 4).y), RGB(255, 255, 200));
  SendMessage(list, CB_SHOWDROPDOWN, 0, 0);
  DestroyWindow(list);
  DestroyWindow(edit);
  DeleteObject(tint);
}

TEST_F(ComboBoxTest, AParentMayDestroyTheBoxWhenItDropsDown) {
  HWND combo = MakeCombo(CBS_DROPDOWNLIST, kFruit);
  const HWND list = Info(combo).hwndList;
  onNote_ = [&](const Note& n, LPARAM) {
    if (n.code == CBN_DROPDOWN) DestroyWindow(combo);
  };
  Click(combo, POINT{20, 8});
  EXPECT_FALSE(IsWindow(combo));
  EXPECT_FALSE(IsWindow(list)) << "the drop-down goes with its box";
  EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
}  // namespace qelo::win::test
