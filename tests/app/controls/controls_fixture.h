// What the custom-control tests share: the headless window system, a shown
// form to put controls on, mouse input at a control's points, pictures
// made for a test, and reading back what a window shows.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/temp_dir.h"
#include "vcl/controls/forms.h"
#include "vcl/graphics/png_image.h"

namespace qelo::controls::test {

// A shown 600 x 400 borderless form at the screen's top left, freed after
// the test with everything on it; the custom controls are registered.
class ControlTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The left button pressed, the mouse moved and the button released at
  // points of the control, each followed by the messages it caused.
  static void Press(vcl::TControl& control, int x, int y);
  static void MoveTo(vcl::TControl& control, int x, int y);
  static void Release(vcl::TControl& control, int x, int y);
  static void Pump();

  // The pixel of the form (or of any top-level window) as the screen shows it,
  // as 0xRRGGBB.
  static unsigned Pixel(win::HWND topLevel, int x, int y);
  unsigned FormPixel(int x, int y) const { return Pixel(form->Handle(), x, y); }
  // Saves what the window shows as build/screenshots/<name>.png.
  static void Screenshot(win::HWND topLevel, const std::string& name);

  vcl::TForm* form = nullptr;
  qelo::test::TempDir dir;
};

// A picture of that size in one opaque colour (0xRRGGBB).
void FillPng(vcl::TPngImage& png, int width, int height, unsigned rgb);
// The same written as a PNG file; returns its path.
std::string WriteSolidPng(const std::string& path, int width, int height, unsigned rgb);
// A picture whose columns are coloured in bands: bands[i] covers the
// columns from starts[i] to the next start.
std::string WriteBandedPng(const std::string& path, int width, int height, const std::vector<int>& starts,
                           const std::vector<unsigned>& colours);

}  // namespace qelo::controls::test
