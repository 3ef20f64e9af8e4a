// Message queues: order, sent versus posted, threads, quit, waits, timers.
#include <atomic>
#include <future>
#include <string>
#include <thread>

#include "window_fixture.h"

namespace qelo::win::test {
namespace {

constexpr UINT kPing = WM_USER + 1;
constexpr UINT kPong = WM_USER + 2;

std::vector<UINT> Drain(HWND window) {
  std::vector<UINT> got;
  MSG m;
  while (PeekMessage(&m, window, 0, 0, PM_REMOVE)) {
    if (m.message == WM_PAINT) {
      DispatchMessage(&m);
      continue;
    }
    got.push_back(m.message);
    if (m.message == WM_QUIT) break;
  }
  return got;
}

TEST(Messages, DeliveryOrder) {
  struct Case {
    const char* name;
    std::function<void(HWND)> act;
    std::vector<UINT> queued;  // what the queue then gives, in order
  };
  const Case cases[] = {
      {"posted in order", [](HWND w) { PostMessage(w, kPing, 0, 0); PostMessage(w, kPong, 0, 0); },
       {kPing, kPong}},
      {"sent is a direct call, not queued", [](HWND w) { SendMessage(w, kPing, 0, 0); }, {}},
      {"quit after posted messages",
       [](HWND w) { PostQuitMessage(3); PostMessage(w, kPing, 0, 0); }, {kPing, WM_QUIT}},
      {"thread messages", [](HWND) { PostThreadMessage(GetCurrentThreadId(), kPong, 0, 0); },
       {kPong}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND w = Windows::Get().Create(WS_POPUP, RECT{0, 0, 10, 10});
    Pump();
    Windows::Get().Clear(w);
    c.act(w);
    EXPECT_EQ(Drain(nullptr), c.queued);
    DestroyWindow(w);
  }
}

TEST(Messages, SendReturnsTheHandlersResultAndGetMessageEndsOnQuit) {
  HWND w = Windows::Get().Create(WS_POPUP, RECT{0, 0, 10, 10}, nullptr,
                                 [](HWND, UINT m, WPARAM wp, LPARAM, bool* handled) -> LRESULT {
                                   *handled = m == kPing;
                                   return static_cast<LRESULT>(wp * 2);
                                 });
  EXPECT_EQ(SendMessage(w, kPing, 21, 0), 42);
  PostMessage(w, kPing, 1, 0);
  PostQuitMessage(7);
  MSG m;
  EXPECT_EQ(GetMessage(&m, nullptr, 0, 0), 1);
  EXPECT_EQ(m.message, kPing);
  EXPECT_EQ(GetMessage(&m, nullptr, 0, 0), 0);
  EXPECT_EQ(m.wParam, 7u);
  DestroyWindow(w);
}

TEST(Messages, DestroyedWindowsRefuseMessagesAndTheirQueuedOnesAreDropped) {
  HWND w = Windows::Get().Create(WS_POPUP, RECT{0, 0, 10, 10});
  ASSERT_TRUE(PostMessage(w, kPing, 0, 0));
  EXPECT_TRUE(DestroyWindow(w));
  EXPECT_FALSE(IsWindow(w));
  EXPECT_FALSE(PostMessage(w, kPing, 0, 0));
  EXPECT_EQ(SendMessage(w, kPing, 0, 0), 0);
  EXPECT_TRUE(Drain(nullptr).empty());
  const auto seen = Windows::Get().Seen(w);
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen[seen.size() - 2], WM_DESTROY);
  EXPECT_EQ(seen.back(), WM_NCDESTROY);
}

TEST(Messages, CreationGivesTheParameterAndRefusalDestroys) {
  int param = 5;
  void* received = nullptr;
  WNDCLASS c;
  c.lpszClassName = "RefusingWindow";
  c.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM l) -> LRESULT {
    if (m == WM_CREATE) {
      auto* cs = reinterpret_cast<CREATESTRUCT*>(l);
      SetWindowLongPtr(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
      return *static_cast<int*>(cs->lpCreateParams) == 0 ? -1 : 0;
    }
    return DefWindowProc(w, m, wp, l);
  };
  RegisterClass(c);
  HWND ok = CreateWindowEx(0, "RefusingWindow", "", WS_POPUP, 0, 0, 5, 5, nullptr, &param);
  ASSERT_NE(ok, nullptr);
  received = reinterpret_cast<void*>(GetWindowLongPtr(ok, GWLP_USERDATA));
  EXPECT_EQ(received, &param);
  int zero = 0;
  EXPECT_EQ(CreateWindowEx(0, "RefusingWindow", "", WS_POPUP, 0, 0, 5, 5, nullptr, &zero), nullptr);
  EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr), nullptr);
  EXPECT_EQ(CreateWindowEx(0, "RefusingWindow", "", WS_CHILD, 0, 0, 5, 5, nullptr, &param), nullptr);
  DestroyWindow(ok);
}

TEST(Messages, ParentHearsOfEachChildMade) {
  std::vector<std::pair<WPARAM, HWND>> told;
  HWND parent = Windows::Get().Create(WS_POPUP, RECT{0, 0, 50, 50}, nullptr,
                                      [&](HWND, UINT m, WPARAM w, LPARAM l, bool* handled) -> LRESULT {
                                        if (m == WM_PARENTNOTIFY) told.emplace_back(w, reinterpret_cast<HWND>(l));
                                        *handled = m == WM_PARENTNOTIFY;
                                        return 0;
                                      });
  HWND child = Windows::Get().Create(WS_CHILD, RECT{0, 0, 10, 10}, parent);
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].first, MAKEWPARAM(WM_CREATE, 0));
  EXPECT_EQ(told[0].second, child);
  Windows::Get().Create(WS_CHILD, RECT{0, 0, 10, 10}, parent, nullptr, WS_EX_NOPARENTNOTIFY);
  Windows::Get().Create(WS_POPUP, RECT{0, 0, 10, 10});
  EXPECT_EQ(told.size(), 1u) << "no notice for a child that asks for none, nor for a top-level window";
  DestroyWindow(parent);
}

// The creation hook sees the window before its first message and may
// subclass it from there, or refuse it; hooks chain newest first.
TEST(Messages, CreationHooksSeeTheWindowBeforeItsFirstMessage) {
  static std::vector<std::string> journal;
  static WNDPROC original = nullptr;
  static HHOOK outer = nullptr, inner = nullptr;
  static bool refuse = false;
  journal.clear();
  outer = SetWindowsHookEx(WH_CBT, [](int code, WPARAM w, LPARAM l) -> LRESULT {
    journal.push_back("outer");
    return CallNextHookEx(outer, code, w, l);
  }, nullptr, 0);
  inner = SetWindowsHookEx(WH_CBT, [](int code, WPARAM w, LPARAM l) -> LRESULT {
    journal.push_back("inner " + reinterpret_cast<CBT_CREATEWND*>(l)->lpcs->lpszName);
    if (refuse) return 1;
    original = reinterpret_cast<WNDPROC>(SetWindowLongPtr(
        reinterpret_cast<HWND>(w), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM wp, LPARAM lp) {
          if (m == WM_NCCREATE || m == WM_CREATE) journal.push_back(m == WM_NCCREATE ? "ncc" : "create");
          return CallWindowProc(original, h, m, wp, lp);
        })));
    return CallNextHookEx(inner, code, w, l);
  }, nullptr, 0);
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(SetWindowsHookEx(WH_CBT + 1, [](int, WPARAM, LPARAM) -> LRESULT { return 0; }, nullptr, 0), nullptr);

  WNDCLASS c;
  c.lpszClassName = "HookedWindow";
  c.lpfnWndProc = DefWindowProc;
  RegisterClass(c);
  HWND w = CreateWindowEx(0, "HookedWindow", "first", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(journal, (std::vector<std::string>{"inner first", "outer", "ncc", "create"}));
  refuse = true;
  EXPECT_EQ(CreateWindowEx(0, "HookedWindow", "second", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr), nullptr);
  refuse = false;
  EXPECT_TRUE(UnhookWindowsHookEx(inner));
  EXPECT_FALSE(UnhookWindowsHookEx(inner));
  journal.clear();
  HWND third = CreateWindowEx(0, "HookedWindow", "third", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr);
  EXPECT_EQ(journal, std::vector<std::string>{"outer"});
  UnhookWindowsHookEx(outer);
  std::thread([] {
    HWND other = CreateWindowEx(0, "HookedWindow", "elsewhere", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr);
    DestroyWindow(other);
  }).join();
  EXPECT_EQ(journal, std::vector<std::string>{"outer"}) << "hooks belong to their thread";
  DestroyWindow(w);
  DestroyWindow(third);
}

TEST(Messages, CancelModeReleasesTheCaptureAndTheWheelScrollsThreeLines) {
  HWND w = Windows::Get().Create(WS_POPUP | WS_VISIBLE, RECT{0, 0, 10, 10});
  SetCapture(w);
  ASSERT_EQ(GetCapture(), w);
  DefWindowProc(w, WM_CANCELMODE, 0, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  UINT lines = 0;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
  EXPECT_EQ(lines, 3u);
  DestroyWindow(w);
}

TEST(Messages, SubclassingChainsThroughCallWindowProc) {
  static WNDPROC original = nullptr;
  HWND w = Windows::Get().Create(WS_POPUP, RECT{0, 0, 10, 10}, nullptr,
                                 [](HWND, UINT m, WPARAM, LPARAM, bool* handled) -> LRESULT {
                                   *handled = m == kPing;
                                   return 1;
                                 });
  original = reinterpret_cast<WNDPROC>(SetWindowLongPtr(
      w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM wp, LPARAM l) -> LRESULT {
        return CallWindowProc(original, h, m, wp, l) + (m == kPing ? 10 : 0);
      })));
  EXPECT_EQ(SendMessage(w, kPing, 0, 0), 11);
  DestroyWindow(w);
}

TEST(Messages, CrossThreadSendsInBothDirectionsAtOnceDoNotDeadlock) {
  std::atomic<HWND> mine{nullptr}, theirs{nullptr};
  // Each ping is answered by a send to the window of the other thread.
  auto answering = [](std::atomic<HWND>* other) {
    return [other](HWND, UINT m, WPARAM w, LPARAM, bool* handled) -> LRESULT {
      *handled = m == kPing || m == kPong;
      if (m == kPing) return SendMessage(other->load(), kPong, w, 0) + 1;
      return static_cast<LRESULT>(w);
    };
  };
  mine = Windows::Get().Create(WS_POPUP, RECT{0, 0, 10, 10}, nullptr, answering(&theirs));
  WindowThread other(answering(&mine));
  theirs = other.window();
  std::atomic<bool> senderDone{false};
  // A third thread sends to this thread's window (which sends on to the
  // other thread) while this thread sends to the other thread's window
  // (which sends back here while this thread waits).
  std::thread sender([&] {
    for (int i = 0; i < 200; ++i) EXPECT_EQ(SendMessage(mine.load(), kPing, i, 0), i + 1);
    senderDone = true;
  });
  for (int i = 0; i < 200; ++i) EXPECT_EQ(SendMessage(theirs.load(), kPing, i, 0), i + 1);
  while (!senderDone) {
    MsgWaitForMultipleObjects(0, nullptr, 0, 5, QS_ALLINPUT);
    Pump();
  }
  sender.join();
  other.Stop();
  EXPECT_FALSE(IsWindow(theirs.load())) << "a thread's windows end with it";
  DestroyWindow(mine.load());
}

// A notification from another thread does not wait for its handling and
// is handled before the messages posted earlier; within the window's own
// thread it is a direct call; a window that is gone refuses it.
TEST(Messages, NotificationsReturnAtOnceAndGoAheadOfPostedMessages) {
  std::vector<std::pair<UINT, WPARAM>> handled;
  HWND w = Windows::Get().Create(WS_POPUP, RECT{0, 0, 10, 10}, nullptr,
                                 [&handled](HWND, UINT m, WPARAM wp, LPARAM, bool* done) -> LRESULT {
                                   *done = m == kPing || m == kPong;
                                   if (*done) handled.emplace_back(m, wp);
                                   return 0;
                                 });
  Pump();
  std::thread([w] {
    for (WPARAM i = 0; i < 3; ++i) PostMessage(w, kPing, i, 0);
    EXPECT_EQ(SendNotifyMessage(w, kPong, 7, 0), 1);
  }).join();
  EXPECT_TRUE(handled.empty()) << "the sender did not wait";
  Pump();
  EXPECT_EQ(handled, (std::vector<std::pair<UINT, WPARAM>>{{kPong, 7}, {kPing, 0}, {kPing, 1}, {kPing, 2}}));

  handled.clear();
  EXPECT_EQ(SendNotifyMessage(w, kPong, 8, 0), 1);
  EXPECT_EQ(handled, (std::vector<std::pair<UINT, WPARAM>>{{kPong, 8}}));
  DestroyWindow(w);
  EXPECT_EQ(SendNotifyMessage(w, kPong, 9, 0), 0);
}

TEST(Messages, SendToAThreadThatEndsReturnsZero) {
  WindowThread t([](HWND, UINT m, WPARAM, LPARAM, bool* handled) -> LRESULT {
    *handled = m == kPing;
    if (m == kPing) PostQuitMessage(0);
    return 9;
  });
  EXPECT_EQ(SendMessage(t.window(), kPing, 0, 0), 9);
  t.Stop();
  EXPECT_EQ(SendMessage(t.window(), kPing, 0, 0), 0);
}

TEST(Messages, TimersFireOnlyWhenIdleAndKilledTimersNever) {
  HWND w = Windows::Get().Create(WS_POPUP, RECT{0, 0, 10, 10});
  Pump();
  ASSERT_EQ(SetTimer(w, 10, 1, nullptr), 10u);
  ASSERT_EQ(SetTimer(w, 11, 20, nullptr), 11u);
  std::this_thread::sleep_for(std::chrono::milliseconds(40));
  PostMessage(w, kPing, 0, 0);
  PostMessage(w, kPong, 0, 0);
  MSG m;
  std::vector<UINT> order;
  for (int i = 0; i < 3 && GetMessage(&m, nullptr, 0, 0) > 0; ++i) order.push_back(m.message);
  EXPECT_EQ(order, (std::vector<UINT>{kPing, kPong, WM_TIMER}));
  EXPECT_TRUE(KillTimer(w, 10));
  EXPECT_TRUE(KillTimer(w, 11));
  EXPECT_FALSE(KillTimer(w, 11));
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 60) {
    MsgWaitForMultipleObjects(0, nullptr, 0, 20, QS_ALLINPUT);
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) EXPECT_NE(m.message, WM_TIMER);
  }
  DestroyWindow(w);
}

struct TimerCall {
  HWND window;
  UINT_PTR id;
};
std::vector<TimerCall> g_timerCalls;  // the test's own thread only
void RecordTimer(HWND window, UINT message, UINT_PTR id, DWORD) {
  EXPECT_EQ(message, static_cast<UINT>(WM_TIMER));
  g_timerCalls.push_back({window, id});
}
void ForgedTimer(HWND, UINT, UINT_PTR, DWORD) { ADD_FAILURE() << "a forged timer procedure ran"; }

MSG NextTimerMessage() {
  MSG m;
  EXPECT_EQ(GetMessage(&m, nullptr, WM_TIMER, WM_TIMER), 1);
  return m;
}

// What DispatchMessage does with WM_TIMER: the timer's procedure, the
// window procedure, or nothing.
TEST(Messages, TimerProceduresAndThreadTimers) {
  HWND w = Windows::Get().Create(WS_POPUP, RECT{0, 0, 10, 10});
  Pump();
  struct Case {
    const char* name;
    std::function<MSG()> take;
    bool procedureRuns;    // the timer's procedure, for the message's window
    bool windowProcedure;  // the window procedure gets WM_TIMER
  };
  UINT_PTR threadId = 0;
  const Case cases[] = {
      {"a window timer's procedure", [&] { SetTimer(w, 7, 10, &RecordTimer); return NextTimerMessage(); },
       true, false},
      {"a window timer without one", [&] { SetTimer(w, 7, 10, nullptr); return NextTimerMessage(); },
       false, true},
      {"a thread timer's procedure",
       [&] {
         threadId = SetTimer(nullptr, 0, 10, &RecordTimer);
         MSG m = NextTimerMessage();
         EXPECT_EQ(m.hwnd, nullptr);
         EXPECT_EQ(m.wParam, threadId);
         return m;
       },
       true, false},
      {"a forged procedure in a posted WM_TIMER",
       [&] {
         SetTimer(w, 7, 10, &RecordTimer);
         PostMessage(w, WM_TIMER, 7, reinterpret_cast<LPARAM>(&ForgedTimer));
         return NextTimerMessage();
       },
       false, false},
      {"a timer killed after its message was taken",
       [&] {
         SetTimer(w, 7, 10, &RecordTimer);
         MSG m = NextTimerMessage();
         KillTimer(w, 7);
         return m;
       },
       false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_timerCalls.clear();
    Windows::Get().Clear(w);
    const MSG m = c.take();
    DispatchMessage(&m);
    KillTimer(w, 7);
    KillTimer(nullptr, threadId);
    ASSERT_EQ(g_timerCalls.size(), c.procedureRuns ? 1u : 0u);
    if (c.procedureRuns) {
      EXPECT_EQ(g_timerCalls[0].window, m.hwnd);
      EXPECT_EQ(g_timerCalls[0].id, m.wParam);
    }
    EXPECT_EQ(Saw(w, WM_TIMER), c.windowProcedure);
    threadId = 0;
  }
  DestroyWindow(w);
}

TEST(Messages, ThreadTimersGetFreshIdsAndDie) {
  const UINT_PTR a = SetTimer(nullptr, 0, 10, nullptr);
  const UINT_PTR b = SetTimer(nullptr, 0, 10, nullptr);
  EXPECT_NE(a, 0u);
  EXPECT_NE(b, 0u);
  EXPECT_NE(a, b);
  EXPECT_EQ(SetTimer(nullptr, a, 20, nullptr), a) << "an id of the thread restarts that timer";
  const UINT_PTR c = SetTimer(nullptr, a + b + 1000, 10, nullptr);
  EXPECT_NE(c, a + b + 1000) << "an unknown id is not taken";
  const MSG m = NextTimerMessage();
  EXPECT_EQ(m.hwnd, nullptr);
  EXPECT_TRUE(m.wParam == a || m.wParam == b || m.wParam == c);
  for (UINT_PTR id : {a, b, c}) EXPECT_TRUE(KillTimer(nullptr, id));
  EXPECT_FALSE(KillTimer(nullptr, a));
  MSG later;
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, 0, 40, QS_ALLINPUT), WAIT_TIMEOUT);
  EXPECT_FALSE(PeekMessage(&later, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
  WindowThread other;
  EXPECT_EQ(SetTimer(other.window(), 1, 10, nullptr), 0u) << "not the caller's window";
}

TEST(Messages, WaitsSeeEventsMessagesAndTimeouts) {
  WaitableEvent manual(true), automatic(false);
  WaitableEvent* both[] = {&manual, &automatic};
  EXPECT_EQ(MsgWaitForMultipleObjects(2, both, 0, 10, QS_ALLINPUT), WAIT_TIMEOUT);
  std::thread setter([&] { automatic.Set(); });
  EXPECT_EQ(MsgWaitForMultipleObjects(2, both, 0, 5000, QS_ALLINPUT), WAIT_OBJECT_0 + 1);
  setter.join();
  EXPECT_FALSE(automatic.IsSet());
  PostThreadMessage(GetCurrentThreadId(), kPing, 0, 0);
  EXPECT_EQ(MsgWaitForMultipleObjects(2, both, 0, 5000, QS_ALLINPUT), WAIT_OBJECT_0 + 2);
  Pump();
  manual.Set();
  EXPECT_EQ(MsgWaitForMultipleObjects(2, both, 0, 0, QS_ALLINPUT), WAIT_OBJECT_0);
  EXPECT_TRUE(manual.IsSet());
  EXPECT_EQ(MsgWaitForMultipleObjects(1, both, 1, 0, QS_ALLINPUT), WAIT_FAILED);
}

TEST(Messages, PostFromAThreadWithoutWindows) {
  HWND w = Windows::Get().Create(WS_POPUP, RECT{0, 0, 10, 10});
  std::thread([w] {
    for (int i = 0; i < 50; ++i) PostMessage(w, kPing, i, 0);
  }).join();
  MSG m;
  int count = 0;
  while (PeekMessage(&m, w, kPing, kPing, PM_REMOVE)) EXPECT_EQ(m.wParam, static_cast<WPARAM>(count++));
  EXPECT_EQ(count, 50);
  DestroyWindow(w);
}

}  // namespace
}  // namespace qelo::win::test
