// Reading back what a top-level window and its children put on screen.
#pragma once

#include "win/gdi/gdi.h"
#include "win/window/display.h"

namespace qelo::win::test {

// The colour at client point (x, y) of `topLevel` as composed with its
// children, or CLR_INVALID when the window cannot be composed.
inline COLORREF PixelAt(HWND topLevel, int x, int y) {
  HBITMAP picture = ComposeWindow(topLevel);
  if (picture == nullptr) return CLR_INVALID;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, picture);
  const COLORREF c = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(picture);
  return c;
}

}  // namespace qelo::win::test
