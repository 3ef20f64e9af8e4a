#include "controls_fixture.h"
#include "win/controls/button.h"

namespace qelo::win::test {
namespace {

class ButtonTest : public ControlsTest {};

constexpr RECT kBox{10, 10, 130, 34};
constexpr POINT kInside{20, 12};

struct ClickCase {
  const char* name;
  DWORD style;
  std::vector<LRESULT> checksAfterEachClick;
};

TEST_F(ButtonTest, ClicksChangeTheCheckOfAutomaticKindsAndAlwaysNotify) {
  const ClickCase cases[] = {
      {"auto check box", BS_AUTOCHECKBOX, {BST_CHECKED, BST_UNCHECKED, BST_CHECKED}},
      {"auto three-state", BS_AUTO3STATE, {BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED}},
      {"plain check box", BS_CHECKBOX, {BST_UNCHECKED, BST_UNCHECKED}},
      {"push button", BS_PUSHBUTTON, {0, 0}},
      {"auto radio", BS_AUTORADIOBUTTON, {BST_CHECKED, BST_CHECKED}},
  };
  for (const ClickCase& c : cases) {
    SCOPED_TRACE(c.name);
    HWND button = Make(WC_BUTTON, c.style, kBox, "Option");
    TakeNotes();
    for (LRESULT expected : c.checksAfterEachClick) {
      Click(button, kInside);
      EXPECT_EQ(SendMessage(button, BM_GETCHECK, 0, 0), expected);
      EXPECT_EQ(TakeNotes(), std::vector<Note>{Command(BN_CLICKED)});
      EXPECT_EQ(SendMessage(button, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
    }
    DestroyWindow(button);
  }
}

TEST_F(ButtonTest, TheCheckIsAlreadyChangedWhenTheParentHearsTheClick) {
  HWND box = Make(WC_BUTTON, BS_AUTOCHECKBOX, kBox, "Shut down");
  LRESULT seen = -1;
  onNote_ = [&](const Note&, LPARAM) { seen = SendMessage(box, BM_GETCHECK, 0, 0); };
  Click(box, kInside);
  EXPECT_EQ(seen, BST_CHECKED);
}

TEST_F(ButtonTest, ReleasingOutsideCancelsAndReturningInsideRearms) {
  HWND button = Make(WC_BUTTON, BS_AUTOCHECKBOX, kBox, "Box");
  TakeNotes();
  Press(button, kInside);
  EXPECT_NE(SendMessage(button, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
  MoveTo(button, POINT{200, 80});
  EXPECT_EQ(SendMessage(button, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
  Release(button, POINT{200, 80});
  EXPECT_TRUE(TakeNotes().empty());
  EXPECT_EQ(SendMessage(button, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(GetCapture(), nullptr);

  Press(button, kInside);
  MoveTo(button, POINT{200, 80});
  MoveTo(button, kInside);
  Release(button, kInside);
  EXPECT_EQ(TakeNotes(), std::vector<Note>{Command(BN_CLICKED)});
}

TEST_F(ButtonTest, SpaceClicksOnReleaseAndLosingFocusMeanwhileCancels) {
  HWND box = Make(WC_BUTTON, BS_AUTOCHECKBOX | BS_NOTIFY, kBox, "Box");
  SetFocus(box);
  EXPECT_NE(SendMessage(box, BM_GETSTATE, 0, 0) & BST_FOCUS, 0);
  EXPECT_EQ(TakeNotes(), std::vector<Note>{Command(BN_SETFOCUS)});
  Key(VK_SPACE, true);
  EXPECT_NE(SendMessage(box, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
  EXPECT_TRUE(TakeNotes().empty());
  Key(VK_SPACE, false);
  EXPECT_EQ(TakeNotes(), std::vector<Note>{Command(BN_CLICKED)});
  EXPECT_EQ(SendMessage(box, BM_GETCHECK, 0, 0), BST_CHECKED);

  Key(VK_SPACE, true);
  SetFocus(parent_);
  Key(VK_SPACE, false);
  EXPECT_EQ(TakeNotes(), std::vector<Note>{Command(BN_KILLFOCUS)});
  EXPECT_EQ(SendMessage(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessage(box, BM_GETSTATE, 0, 0) & (BST_PUSHED | BST_FOCUS), 0);
}

TEST_F(ButtonTest, SettingTheCheckInCodeIsSilentAndKeepsTwoStateBoxesTwoState) {
  HWND box = Make(WC_BUTTON, BS_AUTOCHECKBOX, kBox);
  HWND three = Make(WC_BUTTON, BS_3STATE, RECT{10, 40, 130, 60}, "", 101);
  TakeNotes();
  SendMessage(box, BM_SETCHECK, BST_INDETERMINATE, 0);
  SendMessage(three, BM_SETCHECK, BST_INDETERMINATE, 0);
  EXPECT_EQ(SendMessage(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessage(three, BM_GETCHECK, 0, 0), BST_INDETERMINATE);
  SendMessage(box, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessage(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(TakeNotes(), std::vector<Note>{Command(BN_CLICKED)});
}

TEST_F(ButtonTest, AnAutomaticRadioButtonClearsOnlyItsOwnGroup) {
  // A class made from the button's, as a framework makes its own classes.
  WNDCLASS copy;
  ASSERT_TRUE(GetClassInfo(WC_BUTTON, &copy));
  copy.lpszClassName = "FrameworkRadio";
  RegisterClass(copy);
  for (const char* className : {WC_BUTTON, "FrameworkRadio"}) {
    SCOPED_TRACE(className);
    HWND a = Make(className, BS_AUTORADIOBUTTON | WS_GROUP, RECT{10, 10, 130, 30}, "a", 1);
    HWND b = Make(className, BS_AUTORADIOBUTTON, RECT{10, 40, 130, 60}, "b", 2);
    HWND other = Make(className, BS_AUTORADIOBUTTON | WS_GROUP, RECT{10, 70, 130, 90}, "c", 3);
    Click(a, kInside);
    Click(other, kInside);
    Click(b, kInside);
    EXPECT_EQ(SendMessage(a, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessage(b, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessage(other, BM_GETCHECK, 0, 0), BST_CHECKED);
    for (HWND w : {a, b, other}) DestroyWindow(w);
  }
}

TEST_F(ButtonTest, AParentMayDestroyTheButtonFromItsClick) {
  HWND button = Make(WC_BUTTON, BS_AUTOCHECKBOX, kBox, "Close");
  onNote_ = [&](const Note&, LPARAM) { DestroyWindow(button); };
  Click(button, kInside);
  EXPECT_FALSE(IsWindow(button));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ButtonTest, DrawsTheCheckMarkAndTheDefaultFrame) {
  HWND box = Make(WC_BUTTON, BS_AUTOCHECKBOX, RECT{10, 10, 130, 30}, "Box");
  HWND ok = Make(WC_BUTTON, BS_DEFPUSHBUTTON, RECT{10, 40, 90, 64}, "OK", 101);
  const POINT boxMiddle{6, 10};
  EXPECT_EQ(Pixel(box, boxMiddle), GetSysColor(COLOR_WINDOW));
  SendMessage(box, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(Pixel(box, boxMiddle), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(Pixel(ok, POINT{0, 0}), RGB(0, 0, 0));
  const POINT focusCorner{4, 4};  // inside the default frame and the raised edge
  EXPECT_EQ(Pixel(ok, focusCorner), GetSysColor(COLOR_BTNFACE));
  SetFocus(ok);
  EXPECT_NE(Pixel(ok, focusCorner), GetSysColor(COLOR_BTNFACE)) << "the focus rectangle";
}

}  // namespace
}  // namespace qelo::win::test
