// A hook on a window of another's: messages pass the handler first, the
// window's own procedure comes back when the hook lets go, a destroyed
// window is let go of, and what the handler throws reaches the
// application's exception handler.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "controls_fixture.h"
#include "vcl/controls/window_hook.h"

namespace qelo::vcl::test {
namespace {

constexpr UINT kAsk = win::WM_USER + 7;

// A plain window that answers kAsk with 5.
win::HWND MakeWindow(win::HWND parent) {
  static const bool registered = [] {
    win::WNDCLASS c;
    c.lpszClassName = "HookTarget";
    c.lpfnWndProc = [](win::HWND w, UINT m, WPARAM wp, LPARAM l) -> LRESULT {
      return m == kAsk ? 5 : win::DefWindowProc(w, m, wp, l);
    };
    return win::RegisterClass(c) != 0;
  }();
  (void)registered;
  return win::CreateWindowEx(0, "HookTarget", "", win::WS_CHILD, 0, 0, 10, 10, parent, nullptr);
}

class WindowHookTest : public FormTest {};

TEST_F(WindowHookTest, MessagesPassTheHandlerWhichCallsTheWindowsOwnProcedure) {
  const win::HWND window = MakeWindow(form->Handle());
  std::vector<UINT> seen;
  TWindowHook hook(form, [&](TMessage& m) {
    if (m.Msg == kAsk) seen.push_back(m.Msg);
    hook.CallPrevious(m);
    if (m.Msg == kAsk) m.Result *= 10;
  });
  ASSERT_TRUE(hook.Hook(window));
  EXPECT_EQ(hook.Window(), window);
  EXPECT_EQ(win::SendMessage(window, kAsk, 0, 0), 50);
  EXPECT_EQ(seen.size(), 1u);

  TWindowHook other(form, [](TMessage&) {});
  EXPECT_FALSE(other.Hook(window)) << "one hook a window";
  EXPECT_FALSE(other.Hook(nullptr));

  hook.Unhook();
  EXPECT_EQ(hook.Window(), nullptr);
  EXPECT_EQ(win::SendMessage(window, kAsk, 0, 0), 5);
  EXPECT_TRUE(other.Hook(window)) << "free again";
  win::DestroyWindow(window);
}

TEST_F(WindowHookTest, ADestroyedWindowIsLetGoAfterItsLastMessage) {
  const win::HWND window = MakeWindow(form->Handle());
  std::vector<UINT> seen;
  TWindowHook hook(form, [&](TMessage& m) {
    seen.push_back(m.Msg);
    hook.CallPrevious(m);
  });
  hook.Hook(window);
  win::DestroyWindow(window);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), win::WM_NCDESTROY);
  EXPECT_EQ(hook.Window(), nullptr);
  const win::HWND next = MakeWindow(form->Handle());
  EXPECT_TRUE(hook.Hook(next));
  win::DestroyWindow(next);
}

TEST_F(WindowHookTest, AHookPlacedLaterIsNotCutOff) {
  static win::WNDPROC below = nullptr;
  const win::HWND window = MakeWindow(form->Handle());
  TWindowHook hook(form, [&](TMessage& m) { hook.CallPrevious(m); });
  hook.Hook(window);
  below = reinterpret_cast<win::WNDPROC>(win::SetWindowLongPtr(
      window, win::GWLP_WNDPROC, reinterpret_cast<win::LONG_PTR>(+[](win::HWND w, UINT m, WPARAM wp, LPARAM l) {
        return win::CallWindowProc(below, w, m, wp, l) + (m == kAsk ? 1 : 0);
      })));
  hook.Unhook();
  EXPECT_EQ(win::SendMessage(window, kAsk, 0, 0), 6) << "the later subclass still runs, passing on to the window";
  win::DestroyWindow(window);
}

TEST_F(WindowHookTest, WhatTheHandlerThrowsGoesToTheApplicationAndCountsAsHandled) {
  const win::HWND window = MakeWindow(form->Handle());
  std::vector<std::string> reported;
  Application()->OnException = [&](TObject* sender, const std::exception& e) {
    reported.push_back((sender == form ? "form: " : "other: ") + std::string(e.what()));
  };
  TWindowHook hook(form, [&](TMessage& m) {
    if (m.Msg == kAsk) throw std::runtime_error("header broke");
    hook.CallPrevious(m);
  });
  hook.Hook(window);
  EXPECT_EQ(win::SendMessage(window, kAsk, 0, 0), 0);
  EXPECT_EQ(reported, std::vector<std::string>{"form: header broke"});
  Application()->OnException = nullptr;
  win::DestroyWindow(window);
}

}  // namespace
}  // namespace qelo::vcl::test
