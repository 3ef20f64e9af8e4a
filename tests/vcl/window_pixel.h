// Reading back what a window shows on the screen, for the vcl test suites.
#pragma once

#include "common/composed_window.h"

namespace qelo::test {

// A pixel of a window as composed on the screen, in its own coordinates.
inline win::COLORREF WindowPixel(win::HWND window, int x, int y) { return ComposedWindow(window).Pixel(x, y); }

}  // namespace qelo::test
