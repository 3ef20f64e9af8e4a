// Reading back what a top-level window and its children show on the
// screen: the window composed once, selected into a memory context.
#pragma once

#include "win/gdi/gdi.h"
#include "win/window/display.h"

namespace qelo::test {

class ComposedWindow {
 public:
  explicit ComposedWindow(win::HWND topLevel)
      : picture_(win::ComposeWindow(topLevel)),
        dc_(win::CreateCompatibleDC(nullptr)),
        old_(win::SelectObject(dc_, picture_)) {}
  ~ComposedWindow() {
    win::SelectObject(dc_, old_);
    win::DeleteDC(dc_);
    win::DeleteObject(picture_);
  }
  ComposedWindow(const ComposedWindow&) = delete;
  ComposedWindow& operator=(const ComposedWindow&) = delete;

  // False when the window could not be composed.
  bool Valid() const { return picture_ != nullptr; }
  win::HDC dc() const { return dc_; }
  // The colour at a point of the window, in its own coordinates.
  win::COLORREF Pixel(int x, int y) const { return win::GetPixel(dc_, x, y); }

 private:
  win::HBITMAP picture_;
  win::HDC dc_;
  win::HGDIOBJ old_;
};

}  // namespace qelo::test
