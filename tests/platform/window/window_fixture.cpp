#include "window_fixture.h"

#include <algorithm>

#include <cstdlib>
#include <future>

namespace qelo::win::test {
namespace {

// Tests run without a display whatever the environment says.
const bool g_headless = [] { return setenv("QELO_HEADLESS", "1", 1) == 0; }();

void RegisterOnce(const char* name, UINT style) {
  WNDCLASS c;
  c.lpszClassName = name;
  c.lpfnWndProc = &Windows::Procedure;
  c.style = style;
  c.hbrBackground = SysColorBackground(COLOR_WINDOW);
  c.hCursor = LoadCursor(nullptr, IDC_ARROW);
  RegisterClass(c);
}

}  // namespace

Windows& Windows::Get() {
  static Windows* windows = [] {
    RegisterOnce("TestWindow", CS_DBLCLKS);
    RegisterOnce("PlainWindow", 0);
    RegisterOnce("RedrawWindow", CS_HREDRAW | CS_VREDRAW);
    return new Windows;
  }();
  return *windows;
}

HWND Windows::Create(DWORD style, RECT r, HWND parent, Handler handler, DWORD exStyle,
                     const char* className) {
  HWND w = CreateWindowEx(exStyle, className, "test", style, r.left, r.top, r.right - r.left,
                          r.bottom - r.top, parent, nullptr);
  if (w && handler) SetHandler(w, std::move(handler));
  return w;
}

void Windows::SetHandler(HWND window, Handler handler) {
  std::lock_guard lock(mutex_);
  handlers_[window] = std::move(handler);
}

std::vector<UINT> Windows::Seen(HWND window) {
  std::lock_guard lock(mutex_);
  return seen_[window];
}

void Windows::Clear(HWND window) {
  std::lock_guard lock(mutex_);
  seen_[window].clear();
}

LRESULT Windows::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  Windows& self = Get();
  Handler handler;
  {
    std::lock_guard lock(self.mutex_);
    self.seen_[window].push_back(message);
    auto it = self.handlers_.find(window);
    if (it != self.handlers_.end()) handler = it->second;
  }
  if (handler) {
    bool handled = true;
    const LRESULT result = handler(window, message, w, l, &handled);
    if (handled) return result;
  }
  return DefWindowProc(window, message, w, l);
}

void Pump() {
  MSG m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));
      return;
    }
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return done();
    MsgWaitForMultipleObjects(0, nullptr, 0, 5, QS_ALLINPUT);
    Pump();
  }
  return true;
}

bool Saw(HWND window, UINT message) {
  const auto seen = Windows::Get().Seen(window);
  return std::find(seen.begin(), seen.end(), message) != seen.end();
}

namespace {
constexpr UINT kRunOnThread = WM_USER + 0x3F0;  // lParam: const std::function<LRESULT()>*
}  // namespace

WindowThread::WindowThread(Handler handler, DWORD style, RECT r) {
  std::promise<HWND> made;
  auto future = made.get_future();
  Handler withRun = [handler](HWND h, UINT m, WPARAM w, LPARAM l, bool* handled) -> LRESULT {
    if (m == kRunOnThread) return (*reinterpret_cast<const std::function<LRESULT()>*>(l))();
    if (handler) return handler(h, m, w, l, handled);
    *handled = false;
    return 0;
  };
  thread_ = std::thread([&made, withRun, style, r] {
    made.set_value(Windows::Get().Create(style, r, nullptr, withRun));
    MSG m;
    while (GetMessage(&m, nullptr, 0, 0) > 0) {
      TranslateMessage(&m);
      DispatchMessage(&m);
    }
  });
  window_ = future.get();
  threadId_ = GetWindowThreadProcessId(window_, nullptr);
}

void WindowThread::Stop() {
  if (!thread_.joinable()) return;
  PostThreadMessage(threadId_, WM_QUIT, 0, 0);
  thread_.join();
}

LRESULT WindowThread::Run(const std::function<LRESULT()>& call) {
  return SendMessage(window_, kRunOnThread, 0, reinterpret_cast<LPARAM>(&call));
}

Handler Paints(COLORREF color) {
  return [color](HWND window, UINT message, WPARAM, LPARAM, bool* handled) -> LRESULT {
    if (message != WM_PAINT) {
      *handled = false;
      return 0;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT r;
    GetClientRect(window, &r);
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    EndPaint(window, &ps);
    return 0;
  };
}

}  // namespace qelo::win::test
