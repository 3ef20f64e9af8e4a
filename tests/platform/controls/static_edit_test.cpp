#include <algorithm>
#include <functional>

#include "controls_fixture.h"
#include "win/controls/edit.h"
#include "win/controls/static.h"

namespace qelo::win::test {
namespace {

class StaticTest : public ControlsTest {};

TEST_F(StaticTest, ClicksReachTheParentUnlessTheStaticAsksForThem) {
  HWND plain = Make(WC_STATIC, SS_LEFT, RECT{10, 10, 110, 30}, "Plain", 1);
  HWND notify = Make(WC_STATIC, SS_NOTIFY, RECT{10, 40, 110, 60}, "Notify", 2);
  Windows::Get().Clear(parent_);
  Click(plain, POINT{5, 5});
  const std::vector<UINT> seen = Windows::Get().Seen(parent_);
  EXPECT_NE(std::find(seen.begin(), seen.end(), WM_LBUTTONDOWN), seen.end());
  EXPECT_TRUE(TakeNotes().empty());
  Click(notify, POINT{5, 5});
  EXPECT_EQ(TakeNotes(), std::vector<Note>{Command(STN_CLICKED, 2)});
}

// Columns of the control holding anything but the background.
std::pair<int, int> InkedColumns(ControlsTest* test, HWND control, int width, int height, COLORREF background) {
  int first = width, last = -1;
  for (int x = 0; x < width; ++x)
    for (int y = 0; y < height; ++y)
      if (test->Pixel(control, POINT{x, y}) != background) {
        first = std::min(first, x);
        last = std::max(last, x);
      }
  return {first, last};
}

TEST_F(StaticTest, AlignsItsTextAsItsStyleSays) {
  struct Case {
    DWORD style;
    bool inLeftHalf, inRightHalf;
  } cases[] = {{SS_LEFT, true, false}, {SS_RIGHT, false, true}, {SS_CENTER, true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style);
    HWND label = Make(WC_STATIC, c.style, RECT{10, 10, 210, 30}, "Mid");
    const auto [first, last] = InkedColumns(this, label, 200, 20, GetSysColor(COLOR_BTNFACE));
    ASSERT_LE(first, last);
    EXPECT_EQ(first < 100, c.inLeftHalf);
    EXPECT_EQ(last >= 100, c.inRightHalf);
    DestroyWindow(label);
  }
}

class EditTest : public ControlsTest {
 public:
  HWND MakeEdit(DWORD style = 0, const std::string& text = "") {
    HWND edit = Make(WC_EDIT, style, RECT{10, 10, 210, 32}, text);
    SetFocus(edit);
    TakeNotes();
    return edit;
  }
  std::pair<DWORD, DWORD> Selection(HWND edit) {
    DWORD start = 99, end = 99;
    SendMessage(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
  }
  void Shifted(int key) {
    Key(VK_SHIFT, true);
    Tap(key);
    Key(VK_SHIFT, false);
  }
};

struct TypingCase {
  const char* name;
  DWORD style;
  std::function<void(EditTest*, HWND)> steps;
  std::string text;
  DWORD selStart, selEnd;
};

TEST_F(EditTest, TypingAndEditingKeys) {
  const TypingCase cases[] = {
      {"typing", 0, [](EditTest* t, HWND) { t->Type("abc"); }, "abc", 3, 3},
      {"backspace", 0, [](EditTest* t, HWND) { t->Type("abc\b"); }, "ab", 2, 2},
      {"shift-left selects, typing replaces",
       0, [](EditTest* t, HWND) { t->Type("hello"); t->Shifted(VK_LEFT); t->Shifted(VK_LEFT); t->Type("X"); },
       "helX", 4, 4},
      {"home then delete", 0, [](EditTest* t, HWND) { t->Type("abc"); t->Tap(VK_HOME); t->Tap(VK_DELETE); }, "bc", 0, 0},
      {"left collapses a selection to its start",
       0, [](EditTest* t, HWND) { t->Type("abcd"); t->Shifted(VK_HOME); t->Tap(VK_LEFT); t->Type("-"); }, "-abcd", 1, 1},
      {"right collapses a selection to its end",
       0, [](EditTest* t, HWND) { t->Type("abcd"); t->Shifted(VK_HOME); t->Tap(VK_RIGHT); t->Type("-"); }, "abcd-", 5, 5},
      {"backspace removes a whole character pair", 0, [](EditTest* t, HWND) { t->Type("a\xF0\x9F\x98\x80\b"); }, "a", 1, 1},
      {"delete removes a whole character pair",
       0, [](EditTest* t, HWND) { t->Type("\xF0\x9F\x98\x80z"); t->Tap(VK_HOME); t->Tap(VK_DELETE); }, "z", 0, 0},
      {"numbers only", ES_NUMBER, [](EditTest* t, HWND) { t->Type("1a2"); }, "12", 2, 2},
      {"read-only ignores typing", ES_READONLY, [](EditTest* t, HWND) { t->Type("x\b"); }, "keep", 0, 0},
      {"upper case", ES_UPPERCASE, [](EditTest* t, HWND) { t->Type("ab"); }, "AB", 2, 2},
      {"the limit cuts typing",
       0, [](EditTest* t, HWND e) { SendMessage(e, EM_LIMITTEXT, 3, 0); t->Type("abcd"); }, "abc", 3, 3},
      {"the limit never splits a pair",
       0, [](EditTest* t, HWND e) { SendMessage(e, EM_LIMITTEXT, 2, 0); t->Type("a\xF0\x9F\x98\x80"); }, "a", 1, 1},
  };
  for (const TypingCase& c : cases) {
    SCOPED_TRACE(c.name);
    HWND edit = MakeEdit(c.style, (c.style & ES_READONLY) ? "keep" : "");
    c.steps(this, edit);
    EXPECT_EQ(GetWindowText(edit), c.text);
    EXPECT_EQ(Selection(edit), std::make_pair(c.selStart, c.selEnd));
    DestroyWindow(edit);
  }
}

TEST_F(EditTest, ChangesNotifyUpdateBeforeChangeAndTheLimitSaysSo) {
  HWND edit = MakeEdit();
  Type("a");
  EXPECT_EQ(TakeNotes(), (std::vector<Note>{Command(EN_UPDATE), Command(EN_CHANGE)}));
  SetWindowText(edit, "new");
  EXPECT_EQ(TakeNotes(), (std::vector<Note>{Command(EN_UPDATE), Command(EN_CHANGE)}));
  EXPECT_EQ(Selection(edit), std::make_pair(0u, 0u));
  EXPECT_EQ(SendMessage(edit, EM_GETMODIFY, 0, 0), 0);
  SendMessage(edit, EM_LIMITTEXT, 3, 0);
  Type("x");
  EXPECT_EQ(TakeNotes(), std::vector<Note>{Command(EN_MAXTEXT)});
  EXPECT_EQ(GetWindowText(edit), "new");
  SetFocus(parent_);
  EXPECT_EQ(TakeNotes(), std::vector<Note>{Command(EN_KILLFOCUS)});
  SetFocus(edit);
  EXPECT_EQ(TakeNotes(), std::vector<Note>{Command(EN_SETFOCUS)});
}

TEST_F(EditTest, ClipboardCopyCutAndPasteTheFirstLine) {
  HWND edit = MakeEdit(0, "hello world");
  SendMessage(edit, EM_SETSEL, 0, 5);
  Type("\x03");  // Ctrl+C
  EXPECT_EQ(GetClipboardText(), "hello");
  Tap(VK_END);
  Type("\x16");  // Ctrl+V
  EXPECT_EQ(GetWindowText(edit), "hello worldhello");
  SendMessage(edit, EM_SETSEL, 5, 11);
  Shifted(VK_DELETE);  // cut
  EXPECT_EQ(GetWindowText(edit), "hellohello");
  EXPECT_EQ(GetClipboardText(), " world");
  SetClipboardText("one\ntwo");
  SendMessage(edit, EM_SETSEL, 0, -1);
  SendMessage(edit, WM_PASTE, 0, 0);
  EXPECT_EQ(GetWindowText(edit), "one");
  SendMessage(edit, EM_UNDO, 0, 0);
  EXPECT_EQ(GetWindowText(edit), "hellohello");
}

TEST_F(EditTest, APasswordNeverReachesTheClipboardAndReadOnlyTextIsNotCut) {
  HWND secret = MakeEdit(ES_PASSWORD, "secret");
  SetClipboardText("before");
  SendMessage(secret, EM_SETSEL, 0, -1);
  SendMessage(secret, WM_COPY, 0, 0);
  SendMessage(secret, WM_CUT, 0, 0);
  EXPECT_EQ(GetClipboardText(), "before");
  EXPECT_EQ(GetWindowText(secret), "secret");
  HWND fixed = Make(WC_EDIT, ES_READONLY, RECT{10, 40, 210, 62}, "fixed", 101);
  SendMessage(fixed, EM_SETSEL, 0, -1);
  SendMessage(fixed, WM_CUT, 0, 0);
  EXPECT_EQ(GetWindowText(fixed), "fixed");
  SendMessage(fixed, WM_COPY, 0, 0);
  EXPECT_EQ(GetClipboardText(), "fixed");
}

TEST_F(EditTest, SetSelClampsOrdersAndDeselects) {
  HWND edit = MakeEdit(0, "abcdef");
  struct Case {
    int32_t start, end;
    DWORD selStart, selEnd;
  } cases[] = {{0, -1, 0, 6}, {4, 2, 2, 4}, {3, 100, 3, 6}, {-1, 0, 6, 6}};
  for (const Case& c : cases) {
    SendMessage(edit, EM_SETSEL, static_cast<WPARAM>(c.start), c.end);
    EXPECT_EQ(Selection(edit), std::make_pair(c.selStart, c.selEnd)) << c.start << ", " << c.end;
  }
  EXPECT_EQ(SendMessage(edit, EM_GETLINECOUNT, 0, 0), 1);
  EXPECT_EQ(SendMessage(edit, EM_LINELENGTH, 0, 0), 6);
}

TEST_F(EditTest, WindowTextIsCopiedWithoutSplittingACharacter) {
  HWND edit = MakeEdit(0, "ab\xE2\x82\xAC");  // ab and the euro sign, three bytes
  char buffer[8];
  EXPECT_EQ(SendMessage(edit, WM_GETTEXTLENGTH, 0, 0), 5);
  EXPECT_EQ(SendMessage(edit, WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buffer)), 2);
  EXPECT_STREQ(buffer, "ab");
  EXPECT_EQ(SendMessage(edit, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer)), 5);
  EXPECT_EQ(SendMessage(edit, EM_LINELENGTH, 0, 0), 3) << "positions count UTF-16 units";
  EXPECT_EQ(SendMessage(edit, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
}

TEST_F(EditTest, DraggingTheMouseSelects) {
  HWND edit = MakeEdit(0, "abcdef");
  auto at = [&](int index) {
    const LRESULT pos = SendMessage(edit, EM_POSFROMCHAR, index, 0);
    return POINT{GET_X_LPARAM(pos), 5};
  };
  Press(edit, at(1));
  MoveTo(edit, at(4));
  Release(edit, at(4));
  EXPECT_EQ(Selection(edit), std::make_pair(1u, 4u));
  EXPECT_EQ(GetCapture(), nullptr);
  Key(VK_SHIFT, true);
  Click(edit, at(6));
  Key(VK_SHIFT, false);
  EXPECT_EQ(Selection(edit), std::make_pair(1u, 6u));
}

TEST_F(EditTest, TheCaretStaysInViewOfALongText) {
  HWND edit = MakeEdit(0, std::string(200, 'w'));
  Tap(VK_END);
  const int x = GET_X_LPARAM(SendMessage(edit, EM_POSFROMCHAR, 200, 0));
  EXPECT_GT(x, 0);
  EXPECT_LT(x, 200);
  Tap(VK_HOME);
  EXPECT_EQ(GET_X_LPARAM(SendMessage(edit, EM_POSFROMCHAR, 0, 0)), 2);
}

// Pixels of the text area that are not the background.
int Ink(ControlsTest* t, HWND edit, COLORREF background) {
  int n = 0;
  for (int x = 6; x < 190; x += 1)
    for (int y = 2; y < 18; ++y) n += t->Pixel(edit, POINT{x, y}) != background;
  return n;
}

TEST_F(EditTest, TheCueBannerShowsOnlyWhileEmptyAndAsAsked) {
  HWND edit = Make(WC_EDIT, 0, RECT{10, 10, 210, 32});
  const COLORREF white = GetSysColor(COLOR_WINDOW);
  EXPECT_EQ(Ink(this, edit, white), 0);
  SendMessage(edit, EM_SETCUEBANNER, 0, reinterpret_cast<LPARAM>("Search files"));
  EXPECT_GT(Ink(this, edit, white), 0);
  SetFocus(edit);
  EXPECT_EQ(Ink(this, edit, white), 0);
  SendMessage(edit, EM_SETCUEBANNER, 1, reinterpret_cast<LPARAM>("Search files"));
  EXPECT_GT(Ink(this, edit, white), 0);
  char cue[7];
  SendMessage(edit, EM_GETCUEBANNER, reinterpret_cast<WPARAM>(cue), sizeof cue);
  EXPECT_STREQ(cue, "Search");
}

TEST_F(EditTest, AlignsItsTextAsItsStyleSays) {
  struct Case {
    DWORD style;
    bool inLeftHalf, inRightHalf;
  } cases[] = {{ES_LEFT, true, false}, {ES_RIGHT, false, true}, {ES_CENTER, true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style);
    HWND edit = Make(WC_EDIT, c.style, RECT{10, 10, 210, 30}, "Mid");
    const auto [first, last] = InkedColumns(this, edit, 200, 20, GetSysColor(COLOR_WINDOW));
    ASSERT_LE(first, last);
    EXPECT_EQ(first < 100, c.inLeftHalf);
    EXPECT_EQ(last >= 100, c.inRightHalf);
    DestroyWindow(edit);
  }
}

TEST_F(EditTest, TheSelectionShowsWhileFocusedOrWhenAskedToStay) {
  struct Case {
    DWORD style;
    bool focused;
    bool shown;
  } cases[] = {{0, true, true}, {0, false, false}, {ES_NOHIDESEL, false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.style << (c.focused ? " focused" : ""));
    HWND edit = Make(WC_EDIT, c.style, RECT{10, 10, 210, 30}, "wwwwwwwwww");
    SendMessage(edit, EM_SETSEL, 0, -1);
    if (c.focused) SetFocus(edit);
    const int mid = GET_X_LPARAM(SendMessage(edit, EM_POSFROMCHAR, 5, 0));
    EXPECT_EQ(Pixel(edit, POINT{mid, 1}) == GetSysColor(COLOR_HIGHLIGHT), c.shown);
    SetFocus(parent_);
    DestroyWindow(edit);
  }
}

TEST_F(EditTest, ReadOnlyTurnsTheBackgroundGrey) {
  HWND edit = Make(WC_EDIT, 0, RECT{10, 10, 210, 32});
  EXPECT_EQ(Pixel(edit, POINT{150, 10}), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(SendMessage(edit, EM_SETREADONLY, 1, 0), 1);
  EXPECT_EQ(Pixel(edit, POINT{150, 10}), GetSysColor(COLOR_BTNFACE));
  Type("x");
  EXPECT_EQ(GetWindowText(edit), "");
}

}  // namespace
}  // namespace qelo::win::test
