#include "controls_fixture.h"

#include <cstdlib>

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

}  // namespace qelo::vcl::test
