#include "controls_fixture.h"

#include <cstdlib>
#include <filesystem>

#include "common/composed_window.h"
#include "register_controls.h"
#include "vcl/controls/scripting.h"
#include "win/window/display.h"

namespace qelo::controls::test {

namespace {

// Before the window system's first use: windows live in memory.
const bool kHeadless = [] {
  setenv("QELO_HEADLESS", "1", 0);
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  return true;
}();

win::POINT ScreenPoint(vcl::TControl& control, int x, int y) {
  const vcl::TPoint p = control.ClientToScreen(vcl::Point(x, y));
  return win::POINT{p.x, p.y};
}

unsigned ToRgb(vcl::TColor c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

}  // namespace

void ControlTest::SetUp() {
  (void)kHeadless;
  vcl::Application()->Initialize();
  RegisterCustomControls();
  form = new vcl::TForm(nullptr);
  form->SetName("frmTest");
  form->SetBorderStyle(vcl::bsNone);
  form->SetBounds(0, 0, 600, 400);
  form->SetColor(0xFFFFFF);
  form->Show();
  Pump();
}

void ControlTest::TearDown() {
  form->Free();
  Pump();
}

void ControlTest::Press(vcl::TControl& control, int x, int y) {
  win::InjectMouseMove(ScreenPoint(control, x, y));
  win::InjectMouseButton(win::MouseButton::Left, true, ScreenPoint(control, x, y));
  Pump();
}

void ControlTest::MoveTo(vcl::TControl& control, int x, int y) {
  win::InjectMouseMove(ScreenPoint(control, x, y));
  Pump();
}

void ControlTest::Release(vcl::TControl& control, int x, int y) {
  win::InjectMouseButton(win::MouseButton::Left, false, ScreenPoint(control, x, y));
  Pump();
}

void ControlTest::Pump() { vcl::script::Pump(); }

unsigned ControlTest::Pixel(win::HWND topLevel, int x, int y) {
  return ToRgb(qelo::test::ComposedWindow(topLevel).Pixel(x, y));
}

void ControlTest::Screenshot(win::HWND topLevel, const std::string& name) {
  std::filesystem::create_directories(QELO_SCREENSHOT_DIR);
  EXPECT_TRUE(win::SaveWindowScreenshot(topLevel, std::string(QELO_SCREENSHOT_DIR) + "/" + name + ".png"));
}

void FillPng(vcl::TPngImage& png, int width, int height, unsigned rgb) {
  png.SetWidth(width);
  png.SetHeight(height);
  for (int y = 0; y < height; ++y) {
    uint32_t* row = png.ScanLine(y);
    for (int x = 0; x < width; ++x) row[x] = 0xFF000000u | rgb;
  }
}

std::string WriteBandedPng(const std::string& path, int width, int height, const std::vector<int>& starts,
                           const std::vector<unsigned>& colours) {
  vcl::TBitmap bitmap(width, height);
  for (size_t i = 0; i < starts.size(); ++i) {
    const int end = i + 1 < starts.size() ? starts[i + 1] : width;
    for (int y = 0; y < height; ++y) {
      uint32_t* row = bitmap.ScanLine(y);
      for (int x = starts[i]; x < end; ++x) row[x] = 0xFF000000u | colours[i];
    }
  }
  bitmap.SaveToFile(path);
  return path;
}

std::string WriteSolidPng(const std::string& path, int width, int height, unsigned rgb) {
  return WriteBandedPng(path, width, height, {0}, {rgb});
}

}  // namespace qelo::controls::test
