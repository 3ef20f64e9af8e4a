// What the control tests share: the headless window system, a shown form
// to put controls on, and a small form class read from a form file.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vcl/controls/extctrls.h"
#include "vcl/controls/forms.h"
#include "vcl/controls/scripting.h"
#include "vcl/controls/stdctrls.h"

namespace qelo::vcl::test {

// A shown 400 x 300 form (client area) at the screen's top left; freed
// after the test with everything on it.
class FormTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  TForm* form = nullptr;
};

// A pixel of what a control shows, in its own coordinates, read from its
// form's window as the screen composes it once pending messages are handled.
win::COLORREF ControlPixel(TControl& control, int x, int y);

// Records what controls report, in order.
struct Journal {
  std::vector<std::string> lines;
  void Add(const std::string& line) { lines.push_back(line); }
};

}  // namespace qelo::vcl::test
