// Test windows whose behaviour each test gives as a handler, with a record
// of the messages they saw.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <mutex>
#include <vector>

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
// A handler that fills the client area with one colour on WM_PAINT.
Handler Paints(COLORREF color);
COLORREF PixelAt(HWND topLevel, int x, int y);

}  // namespace qelo::win::test
