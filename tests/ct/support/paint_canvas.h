// A framework canvas over a small memory bitmap, for the painters' pixel
// tests: the painters draw through `canvas`, the tests read pixels back.
#pragma once

#include "canvas.h"
#include "vcl/graphics/graphics.h"

namespace qelo::ct::test {

using qelo::test::Canvas;

class PaintCanvas : public Canvas {
 public:
  PaintCanvas(int width, int height, win::COLORREF fill = qelo::test::kWhite) : Canvas(width, height, fill) {
    canvas.SetHandle(dc());
  }
  ~PaintCanvas() { canvas.SetHandle(nullptr); }

  vcl::TCanvas canvas;
};

// What the painters' tests fill their canvas with: no system colour is
// this green.
inline constexpr win::COLORREF kGround = win::RGB(0, 160, 0);

// A colour as the canvas holds it.
inline win::COLORREF Rgb(vcl::TColor color) { return vcl::ColorToRGB(color); }

}  // namespace qelo::ct::test
