#include "controls_fixture.h"

#include <cstdlib>

#include "../window_pixel.h"

namespace qelo::vcl::test {

namespace {

// Before the window system's first use: windows live in memory.
const bool kHeadless = [] {
  setenv("QELO_HEADLESS", "1", 0);
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  return true;
}();

}  // namespace

void FormTest::SetUp() {
  (void)kHeadless;
  Application()->Initialize();
  form = new TForm(nullptr);
  form->SetName("frmTest");
  form->SetBorderStyle(bsNone);
  form->SetBounds(0, 0, 400, 300);
  form->Show();
  script::Pump();
}

void FormTest::TearDown() {
  form->Free();
  script::Pump();
}

win::COLORREF ControlPixel(TControl& control, int x, int y) {
  script::Pump();
  TCustomForm* form = control.ParentForm();
  const TPoint p = form->ScreenToClient(control.ClientToScreen(Point(x, y)));
  return qelo::test::WindowPixel(form->Handle(), p.x, p.y);
}

}  // namespace qelo::vcl::test
