// Reading back what a top-level window and its children put on screen.
#pragma once

#include "common/composed_window.h"

namespace qelo::win::test {

// The colour at client point (x, y) of `topLevel` as composed with its
// children, or CLR_INVALID when the window cannot be composed.
inline COLORREF PixelAt(HWND topLevel, int x, int y) {
  const qelo::test::ComposedWindow picture(topLevel);
  return picture.Valid() ? picture.Pixel(x, y) : CLR_INVALID;
}

}  // namespace qelo::win::test
