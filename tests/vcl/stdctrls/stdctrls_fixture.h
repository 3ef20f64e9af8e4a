// What the standard control tests share: the shown form of the control
// tests, reading pixels of what the form shows, and the window style.
#pragma once

#include "../controls/controls_fixture.h"

namespace qelo::vcl::test {

// A pixel of the form as it shows on the screen, in form client coordinates.
win::COLORREF ScreenPixel(TCustomForm& form, int x, int y);
win::DWORD WindowStyle(TWinControl& control);
// A left click at a client point of any window (a drop-down list, say).
void ClickWindow(win::HWND window, TPoint clientPoint);

}  // namespace qelo::vcl::test
