#include "stdctrls_fixture.h"

#include "../window_pixel.h"

namespace qelo::vcl::test {

win::COLORREF ScreenPixel(TCustomForm& f, int x, int y) {
  script::Pump();
  return qelo::test::WindowPixel(f.Handle(), x, y);
}

win::DWORD WindowStyle(TWinControl& control) {
  return static_cast<win::DWORD>(win::GetWindowLongPtr(control.Handle(), win::GWL_STYLE));
}

void ClickWindow(win::HWND window, TPoint p) {
  win::POINT s{p.x, p.y};
  win::ClientToScreen(window, &s);
  win::InjectMouseMove(s);
  win::InjectMouseButton(win::MouseButton::Left, true, s);
  script::Pump();
  win::InjectMouseButton(win::MouseButton::Left, false, s);
  script::Pump();
}

}  // namespace qelo::vcl::test
