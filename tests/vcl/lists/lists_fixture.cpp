#include "lists_fixture.h"

#include "common/composed_window.h"
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

// Paints the control and hands a DC on a picture of its form, with the
// form's client point of the control's client origin.
template <class Read>
auto ReadPainted(TWinControl& control, Read read) {
  TCustomForm* form = control.ParentForm();
  control.Repaint();
  script::Pump();
  const TPoint origin = form->ScreenToClient(control.ClientToScreen(Point(0, 0)));
  const qelo::test::ComposedWindow picture(form->Handle());
  return read(picture.dc(), origin);
}

}  // namespace

void ClickAt(TControl& control, TPoint clientPoint, bool right) {
  Press(control, clientPoint, right ? win::MouseButton::Right : win::MouseButton::Left, 1);
}

void DoubleClickAt(TControl& control, TPoint clientPoint) { Press(control, clientPoint, win::MouseButton::Left, 2); }

void DragAt(TControl& control, TPoint from, TPoint to) {
  auto screen = [&](TPoint p) {
    const TPoint s = control.ClientToScreen(p);
    return win::POINT{s.x, s.y};
  };
  win::InjectMouseMove(screen(from));
  win::InjectMouseButton(win::MouseButton::Left, true, screen(from));
  for (int step = 1; step <= 4; ++step)
    win::InjectMouseMove(screen(Point(from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4)));
  win::InjectMouseButton(win::MouseButton::Left, false, screen(to));
  script::Pump();
}

win::COLORREF PixelAt(TWinControl& control, TPoint p) {
  return ReadPainted(control, [&](win::HDC dc, TPoint o) { return win::GetPixel(dc, o.x + p.x, o.y + p.y); });
}

int CountPixels(TWinControl& control, const TRect& r, win::COLORREF colour) {
  return ReadPainted(control, [&](win::HDC dc, TPoint o) {
    int count = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) count += win::GetPixel(dc, o.x + x, o.y + y) == colour;
    return count;
  });
}

TListView* NewReportView(TComponent* owner) {
  auto* view = new TListView(owner);
  view->SetBounds(10, 10, 300, 200);
  view->SetViewStyle(vsReport);
  for (auto [caption, width] : {std::pair{"Name", 100}, std::pair{"Size", 60}}) {
    TListColumn* c = view->Columns()->Add();
    c->SetCaption(caption);
    c->SetWidth(width);
  }
  return view;
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
