// Input: routing to the window under the pointer, capture, leave messages,
// the move loop, focus and keyboard messages.
#include <thread>

#include "window_fixture.h"

namespace qelo::win::test {
namespace {

struct Got {
  UINT message;
  HWND window;
  WPARAM w;
  LPARAM l;
};

// Takes every waiting message, dispatching each, and returns the input ones.
std::vector<Got> TakeInput() {
  std::vector<Got> got;
  MSG m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
    if ((m.message >= WM_MOUSEMOVE && m.message <= WM_MOUSELEAVE) ||
        (m.message >= WM_KEYDOWN && m.message <= WM_SYSCHAR))
      got.push_back({m.message, m.hwnd, m.wParam, m.lParam});
    DispatchMessage(&m);
  }
  return got;
}

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    top = Windows::Get().Create(WS_POPUP | WS_VISIBLE, RECT{200, 200, 300, 300});
    child = Windows::Get().Create(WS_CHILD | WS_VISIBLE, RECT{10, 10, 50, 50}, top);
    TakeInput();
  }
  void TearDown() override {
    ReleaseCapture();
    DestroyWindow(top);
    InjectMouseMove(POINT{0, 0});
  }
  HWND top = nullptr;
  HWND child = nullptr;
};

TEST_F(InputTest, ButtonsGoToTheWindowUnderThePointerOrTheCapture) {
  InjectMouseButton(MouseButton::Left, true, POINT{215, 220});
  InjectMouseButton(MouseButton::Left, false, POINT{215, 220});
  InjectMouseButton(MouseButton::Left, true, POINT{280, 280});
  auto got = TakeInput();
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].window, child);
  EXPECT_EQ(got[0].message, static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_EQ(GET_X_LPARAM(got[0].l), 5);
  EXPECT_EQ(GET_Y_LPARAM(got[0].l), 10);
  EXPECT_EQ(got[2].window, top);
  InjectMouseButton(MouseButton::Left, false, POINT{280, 280});
  SetCapture(child);
  InjectMouseMove(POINT{150, 190});
  got = TakeInput();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[1].window, child);
  EXPECT_EQ(GET_X_LPARAM(got[1].l), -60) << "signed coordinates outside the window";
  EXPECT_EQ(GET_Y_LPARAM(got[1].l), -20);
  ReleaseCapture();
  InjectMouseMove(POINT{150, 190});
  EXPECT_TRUE(TakeInput().empty()) << "nothing under the pointer";
}

TEST_F(InputTest, DoubleClicksLeaveAndDisabledWindows) {
  InjectMouseButton(MouseButton::Left, true, POINT{215, 220});
  InjectMouseButton(MouseButton::Left, false, POINT{215, 220});
  InjectMouseButton(MouseButton::Left, true, POINT{215, 220});
  InjectMouseButton(MouseButton::Left, false, POINT{215, 220});
  auto got = TakeInput();
  ASSERT_EQ(got.size(), 4u);
  EXPECT_EQ(got[2].message, static_cast<UINT>(WM_LBUTTONDBLCLK));
  TRACKMOUSEEVENT track;
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = child;
  TrackMouseEvent(&track);
  InjectMouseMove(POINT{280, 280});
  got = TakeInput();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].message, static_cast<UINT>(WM_MOUSELEAVE));
  EXPECT_EQ(got[0].window, child);
  EnableWindow(child, 0);
  InjectMouseButton(MouseButton::Left, true, POINT{215, 220});
  InjectMouseButton(MouseButton::Left, false, POINT{215, 220});
  EXPECT_TRUE(TakeInput().empty());
}

TEST_F(InputTest, TheMoveLoopMovesTheWindow) {
  Windows::Get().SetHandler(child, [](HWND h, UINT m, WPARAM, LPARAM, bool* handled) -> LRESULT {
    *handled = m == WM_LBUTTONDOWN;
    if (m == WM_LBUTTONDOWN) {
      ReleaseCapture();
      SendMessage(GetParent(h), WM_SYSCOMMAND, 0xF012, 0);
    }
    return 0;
  });
  InjectMouseButton(MouseButton::Left, true, POINT{215, 220});
  std::thread user([] {
    // The loop runs in the handler; the pointer moves meanwhile.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    InjectMouseMove(POINT{255, 240});
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    InjectMouseButton(MouseButton::Left, false, POINT{255, 240});
  });
  MSG m;
  while (GetMessage(&m, nullptr, 0, 0) > 0 && m.message != WM_LBUTTONDOWN) DispatchMessage(&m);
  DispatchMessage(&m);
  user.join();
  RECT r;
  GetWindowRect(top, &r);
  EXPECT_EQ(r.left, 240);
  EXPECT_EQ(r.top, 220);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(InputTest, KeyboardGoesToTheFocusWithUtf16Characters) {
  HWND other = Windows::Get().Create(WS_CHILD | WS_VISIBLE, RECT{60, 60, 90, 90}, top);
  SetFocus(child);
  EXPECT_EQ(GetActiveWindow(), top);
  SetFocus(other);
  auto seen = Windows::Get().Seen(child);
  EXPECT_EQ(seen.back(), static_cast<UINT>(WM_KILLFOCUS));
  TakeInput();
  InjectKey(VK_SHIFT, true);
  InjectKey('A', true);
  EXPECT_LT(GetAsyncKeyState(VK_SHIFT), 0);
  InjectText("\xF0\x9F\x98\x80");  // U+1F600, a surrogate pair
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  ASSERT_TRUE(PeekMessage(&m, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
  EXPECT_EQ(m.wParam, static_cast<WPARAM>('A'));
  EXPECT_EQ(m.hwnd, other);
  ASSERT_TRUE(PeekMessage(&m, nullptr, WM_CHAR, WM_CHAR, PM_REMOVE));
  EXPECT_EQ(m.wParam, 0xD83Du);
  ASSERT_TRUE(PeekMessage(&m, nullptr, WM_CHAR, WM_CHAR, PM_NOREMOVE)) << "the trail half waits";
  EXPECT_EQ(m.wParam, 0xDE00u);
  InjectKey('A', false);
  InjectKey(VK_SHIFT, false);
  EXPECT_GE(GetAsyncKeyState(VK_SHIFT), 0);
  TakeInput();
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
  EnableWindow(other, 0);
  EXPECT_EQ(GetFocus(), nullptr) << "a disabled window loses the focus";
  TakeInput();
}

// Key presses whose characters the display's text input never brings get
// them from TranslateMessage; printable keys get none (text input has them).
TEST_F(InputTest, TranslatingAKeyPressPostsTheCharactersTextInputLacks) {
  struct Case {
    const char* name;
    std::vector<int> held;
    int key;
    UINT message;  // 0: no character
    WPARAM character;
  };
  const Case cases[] = {
      {"Backspace", {}, VK_BACK, WM_CHAR, 0x08},  {"Tab", {}, VK_TAB, WM_CHAR, 0x09},
      {"Enter", {}, VK_RETURN, WM_CHAR, 0x0D},    {"Escape", {}, VK_ESCAPE, WM_CHAR, 0x1B},
      {"Ctrl+C", {VK_CONTROL}, 'C', WM_CHAR, 3},  {"Alt+O", {VK_MENU}, 'O', WM_SYSCHAR, 'o'},
      {"Alt+Shift+O", {VK_MENU, VK_SHIFT}, 'O', WM_SYSCHAR, 'O'},
      {"A", {}, 'A', 0, 0},                       {"Shift+A", {VK_SHIFT}, 'A', 0, 0},
      {"Left", {}, VK_LEFT, 0, 0},                {"Ctrl+Tab", {VK_CONTROL}, VK_TAB, 0, 0},
  };
  SetFocus(child);
  TakeInput();
  for (const Case& c : cases) {
    for (int held : c.held) InjectKey(held, true);
    InjectKey(c.key, true);
    MSG m;
    // The held keys come first; the key press is translated as a loop would.
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE) && m.wParam != static_cast<WPARAM>(c.key)) {
    }
    ASSERT_EQ(m.wParam, static_cast<WPARAM>(c.key)) << c.name;
    EXPECT_TRUE(TranslateMessage(&m)) << c.name;
    const bool got = PeekMessage(&m, nullptr, WM_CHAR, WM_SYSCHAR, PM_REMOVE);
    if (c.message == 0) {
      EXPECT_FALSE(got) << c.name << " makes no character";
    } else {
      ASSERT_TRUE(got) << c.name;
      EXPECT_EQ(m.message, c.message) << c.name;
      EXPECT_EQ(m.wParam, c.character) << c.name;
      EXPECT_EQ(m.hwnd, child) << c.name;
    }
    InjectKey(c.key, false);
    for (int held : c.held) InjectKey(held, false);
    TakeInput();
  }
}

// The calling thread's key state moves only as it reads input; the
// keyboard's state moves at once; another thread's stays as it read it.
TEST_F(InputTest, KeyStateFollowsTheInputTheThreadRead) {
  WindowThread other;
  auto otherKey = [&](int vk) { return other.Run([vk] { return static_cast<LRESULT>(GetKeyState(vk)); }); };
  SetFocus(child);
  struct Step {
    const char* name;
    std::function<void()> act;
    int vk;
    bool asyncDown, threadDown, toggled;  // toggled since the start
  };
  const bool startToggle[] = {(GetKeyState('K') & 1) != 0, (GetKeyState(VK_RBUTTON) & 1) != 0};
  auto toggledNow = [&](int vk) { return ((GetKeyState(vk) & 1) != 0) != startToggle[vk == 'K' ? 0 : 1]; };
  MSG m;
  const Step steps[] = {
      {"pressed, not read", [] { InjectKey('K', true); }, 'K', true, false, false},
      {"looked at, not removed", [&] { PeekMessage(&m, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE); },
       'K', true, false, false},
      {"read", [&] { PeekMessage(&m, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE); }, 'K', true, true, true},
      {"released, not read", [] { InjectKey('K', false); }, 'K', false, true, true},
      {"release read", [] { TakeInput(); }, 'K', false, false, true},
      {"second press toggles back", [] { InjectKey('K', true); InjectKey('K', false); TakeInput(); },
       'K', false, false, false},
      {"a button pressed", [] { InjectMouseButton(MouseButton::Right, true, POINT{215, 220}); },
       VK_RBUTTON, true, false, false},
      {"the button read", [] { TakeInput(); }, VK_RBUTTON, true, true, true},
      {"the button released and read",
       [] { InjectMouseButton(MouseButton::Right, false, POINT{215, 220}); TakeInput(); },
       VK_RBUTTON, false, false, true},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    step.act();
    EXPECT_EQ(GetAsyncKeyState(step.vk) < 0, step.asyncDown);
    EXPECT_EQ(GetKeyState(step.vk) < 0, step.threadDown);
    EXPECT_EQ(toggledNow(step.vk), step.toggled);
    EXPECT_GE(otherKey(step.vk), 0) << "the other thread read none of it";
  }
}

TEST_F(InputTest, FocusActivationAndCaptureBelongToEachThread) {
  WindowThread other(nullptr, WS_POPUP | WS_VISIBLE, RECT{400, 400, 450, 450});
  const HWND theirs = other.window();
  auto ask = [&](HWND (*query)()) {
    return reinterpret_cast<HWND>(other.Run([query] { return reinterpret_cast<LRESULT>(query()); }));
  };
  SetFocus(child);
  EXPECT_EQ(GetFocus(), child);
  EXPECT_EQ(GetActiveWindow(), top);
  EXPECT_EQ(ask(&GetFocus), nullptr) << "the other thread sees its own focus";
  EXPECT_EQ(ask(&GetActiveWindow), nullptr);
  Windows::Get().Clear(child);
  Windows::Get().Clear(top);

  // Focusing a window of another thread moves the keyboard to that thread.
  EXPECT_EQ(SetFocus(theirs), child);
  EXPECT_EQ(ask(&GetFocus), theirs);
  EXPECT_EQ(ask(&GetActiveWindow), theirs);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetForegroundWindow(), theirs);
  EXPECT_TRUE(PumpUntil([&] { return Saw(child, WM_KILLFOCUS) && Saw(top, WM_ACTIVATE); }))
      << "told on this thread";
  InjectKey('Q', true);
  InjectKey('Q', false);
  EXPECT_TRUE(PumpUntil([&] { return Saw(theirs, WM_KEYUP); }));
  EXPECT_TRUE(TakeInput().empty()) << "no key came to this thread";
  EnableWindow(theirs, 0);
  EXPECT_EQ(ask(&GetFocus), nullptr) << "disabling it took the focus on its own thread";
  EnableWindow(theirs, 1);

  // Capture: only for the caller's windows; one capture holds the mouse.
  EXPECT_EQ(SetCapture(theirs), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
  other.Run([&] { return reinterpret_cast<LRESULT>(SetCapture(theirs)); });
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(ask(&GetCapture), theirs);
  InjectMouseMove(POINT{215, 220});
  EXPECT_TRUE(PumpUntil([&] { return Saw(theirs, WM_MOUSEMOVE); })) << "the capture gets the pointer";
  EXPECT_TRUE(TakeInput().empty());
  SetCapture(child);
  EXPECT_EQ(ask(&GetCapture), nullptr) << "taken by this thread";
  EXPECT_TRUE(PumpUntil([&] { return Saw(theirs, WM_CAPTURECHANGED); }));
  ReleaseCapture();

  // And back: activating this thread's window deactivates the other's.
  SetActiveWindow(top);
  EXPECT_EQ(GetForegroundWindow(), top);
  EXPECT_EQ(ask(&GetActiveWindow), nullptr);
  EXPECT_EQ(ask(&GetFocus), nullptr) << "the keyboard left that thread";
  EXPECT_EQ(GetFocus(), top) << "activation focused the top-level window";
  TakeInput();
}

// The player's pattern: a child window of a second thread inside this
// thread's window. Clicking it activates this thread's window without the
// second thread waiting for this one, which is not reading its queue.
TEST_F(InputTest, AClickInAnotherThreadsChildActivatesWithoutWaiting) {
  HWND elsewhere = Windows::Get().Create(WS_POPUP | WS_VISIBLE, RECT{600, 600, 650, 650});
  ASSERT_EQ(GetForegroundWindow(), elsewhere);
  WindowThread other;
  const HWND theirs = other.window();
  other.Run([&] {
    SetWindowLongPtr(theirs, GWL_STYLE, WS_CHILD);
    SetParent(theirs, top);
    MoveWindow(theirs, 60, 60, 30, 30, 0);
    ShowWindow(theirs, SW_SHOW);
    return LRESULT{0};
  });
  InjectMouseButton(MouseButton::Left, true, POINT{270, 270});
  InjectMouseButton(MouseButton::Left, false, POINT{270, 270});
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (!Saw(theirs, WM_LBUTTONUP) && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_TRUE(Saw(theirs, WM_LBUTTONUP)) << "the click was handled while this thread did not pump";
  EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == top; })) << "activated once this thread pumped";
  EXPECT_EQ(GetActiveWindow(), top);
  other.Stop();
  DestroyWindow(elsewhere);
}

}  // namespace
}  // namespace qelo::win::test
