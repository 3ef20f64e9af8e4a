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
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  InjectText("\xF0\x9F\x98\x80");  // U+1F600, a surrogate pair
  MSG m;
  ASSERT_TRUE(PeekMessage(&m, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
  ASSERT_TRUE(PeekMessage(&m, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
  EXPECT_EQ(m.wParam, static_cast<WPARAM>('A'));
  EXPECT_EQ(m.hwnd, other);
  ASSERT_TRUE(PeekMessage(&m, nullptr, WM_CHAR, WM_CHAR, PM_REMOVE));
  EXPECT_EQ(m.wParam, 0xD83Du);
  ASSERT_TRUE(PeekMessage(&m, nullptr, WM_CHAR, WM_CHAR, PM_NOREMOVE)) << "the trail half waits";
  EXPECT_EQ(m.wParam, 0xDE00u);
  InjectKey('A', false);
  InjectKey(VK_SHIFT, false);
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
  EnableWindow(other, 0);
  EXPECT_EQ(GetFocus(), nullptr) << "a disabled window loses the focus";
  TakeInput();
}

}  // namespace
}  // namespace qelo::win::test
