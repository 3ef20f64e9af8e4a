#include "lists_fixture.h"

#include "win/window/display.h"

namespace qelo::vcl::test {
namespace {

void Press(TControl& control, TPoint clientPoint, win::MouseButton button, int times) {
  const TPoint s = control.ClientToScreen(clientPoint);
  const win::POINT p{s.x, s.y};
  win::InjectMouseMove(p);
  for (int i = 0; i < times; ++i) {
    win::InjectMouseButton(button, true, p);
    win::InjectMouseButton(button, false, p);
  }
  script::Pump();
}

}  // namespace

void ClickAt(TControl& control, TPoint clientPoint, bool right) {
  Press(control, clientPoint, right ? win::MouseButton::Right : win::MouseButton::Left, 1);
}

void DoubleClickAt(TControl& control, TPoint clientPoint) { Press(control, clientPoint, win::MouseButton::Left, 2); }

win::COLORREF PixelAt(TWinControl& control, TPoint clientPoint) {
  TCustomForm* form = control.ParentForm();
  control.Repaint();
  script::Pump();
  const TPoint p = form->ScreenToClient(control.ClientToScreen(clientPoint));
  win::HBITMAP picture = win::ComposeWindow(form->Handle());
  win::HDC dc = win::CreateCompatibleDC(nullptr);
  win::HGDIOBJ old = win::SelectObject(dc, picture);
  const win::COLORREF c = win::GetPixel(dc, p.x, p.y);
  win::SelectObject(dc, old);
  win::DeleteDC(dc);
  win::DeleteObject(picture);
  return c;
}

std::unique_ptr<TImageList> SolidImages(int width, int height, int count) {
  auto list = std::make_unique<TImageList>(nullptr);
  list->SetSize(width, height);
  TBitmap strip;
  strip.SetSize(width * count, height);
  strip.Canvas()->Brush()->SetColor(clTeal);
  strip.Canvas()->FillRect(Rect(0, 0, width * count, height));
  list->Add(&strip, nullptr);
  return list;
}

}  // namespace qelo::vcl::test
