// Masks of the closed shapes, shared by drawing and regions.
#pragma once

#include "gdi/raster.h"

namespace qelo::win {

// A rectangle with corner ellipses of width x height (right and bottom
// exclusive); an ellipse when they are as large as the rectangle. A pixel
// belongs to it when its centre is inside.
struct RoundedShape {
  RoundedShape(const RECT& box, int ellipseWidth, int ellipseHeight);
  static RoundedShape Ellipse(const RECT& box);
  // The run [x0, x1) of row y; false when the row is empty.
  bool Row(int y, int* x0, int* x1) const;
  // The shape's pixels within `area` only, so that a huge shape costs no
  // more than the part of it that can be drawn.
  Mask MaskIn(const RECT& area) const;

  RECT box;
  double rx = 0;
  double ry = 0;
};

}  // namespace qelo::win
