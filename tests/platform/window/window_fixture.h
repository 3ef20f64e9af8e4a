// Test windows whose behaviour each test gives as a handler, with a record
// of the messages they saw.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/window/composed_pixel.h"
#include "win/window/display.h"
#include "win/window/window.h"

namespace qelo::win::test {

using Handler = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM, bool* handled)>;

// Per-window handlers and the messages seen, safe from any thread.
class Windows {
 public:
  static Windows& Get();
  HWND Create(DWORD style, RECT r, HWND parent = nullptr, Handler handler = nullptr,
              DWORD exStyle = 0, const char* className = "TestWindow");
  void SetHandler(HWND window, Handler handler);
  std::vector<UINT> Seen(HWND window);
  void Clear(HWND window);
  static LRESULT Procedure(HWND window, UINT message, WPARAM w, LPARAM l);

 private:
  std::mutex mutex_;
  std::map<HWND, Handler> handlers_;
  std::map<HWND, std::vector<UINT>> seen_;
};

// Dispatches everything waiting in the calling thread's queue.
void Pump();
// Pumps the calling thread's queue until `done` holds or the time is up;
// gives the last answer of `done`.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(5));
bool Saw(HWND window, UINT message);

// A thread that owns one top-level window and runs its message loop until
// stopped. Run calls a function on that thread and gives its result.
class WindowThread {
 public:
  explicit WindowThread(Handler handler = nullptr, DWORD style = WS_POPUP,
                        RECT r = RECT{0, 0, 10, 10});
  ~WindowThread() { Stop(); }
  WindowThread(const WindowThread&) = delete;
  WindowThread& operator=(const WindowThread&) = delete;
  void Stop();
  HWND window() const { return window_; }
  LRESULT Run(const std::function<LRESULT()>& call);

 private:
  std::thread thread_;
  HWND window_ = nullptr;
  DWORD threadId_ = 0;
};
// A handler that fills the client area with one colour on WM_PAINT.
Handler Paints(COLORREF color);

}  // namespace qelo::win::test
