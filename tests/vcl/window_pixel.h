// Reading back what a window shows on the screen, for the vcl test suites.
#pragma once

#include "win/window/display.h"

namespace qelo::test {

// A pixel of a window as composed on the screen, in its own coordinates.
inline win::COLORREF WindowPixel(win::HWND window, int x, int y) {
  win::HBITMAP picture = win::ComposeWindow(window);
  win::HDC dc = win::CreateCompatibleDC(nullptr);
  win::HGDIOBJ old = win::SelectObject(dc, picture);
  const win::COLORREF c = win::GetPixel(dc, x, y);
  win::SelectObject(dc, old);
  win::DeleteDC(dc);
  win::DeleteObject(picture);
  return c;
}

}  // namespace qelo::test
