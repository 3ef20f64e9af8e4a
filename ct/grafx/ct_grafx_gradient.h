// The two-colour gradient painter of the control library, in ten
// directions.
#pragma once

#include <cstdint>

#include "vcl/graphics/graphics.h"
#include "vcl/typeinfo.h"

namespace qelo::ct {

using vcl::TCanvas;
using vcl::TColor;
using vcl::TRect;

enum TGradientDirection {
  gdDiagonalUp,        // lower-left StartColor to upper-right StopColor
  gdDiagonalDown,      // upper-left StartColor to lower-right StopColor
  gdHorizontalEnd,     // StartColor at the top, StopColor at the bottom
  gdHorizontalCenter,  // StartColor at top and bottom, StopColor in the middle row
  gdHorizontalBox,     // concentric rectangles around a horizontal bar half the width
  gdVerticalEnd,       // StartColor at the left, StopColor at the right
  gdVerticalCenter,    // StartColor at left and right, StopColor in the middle column
  gdVerticalBox,       // concentric rectangles around a vertical bar half the height
  gdSquareBox,         // concentric rectangles around the centre point
  gdBigSquareBox       // concentric rectangles around a core of half the size
};
extern const vcl::EnumInfo kGradientDirectionInfo;

// Paints the gradient over the rectangle's absolute size at its Left and
// Top (nothing when either side is 0); the first and last rows, columns
// or rings carry the two colours exactly. Steps sets the coarsest bands:
// at Steps 1 every run of one colour is one band.
void PaintGradient(TCanvas& canvas, const TRect& rect, TGradientDirection direction, TColor startColor,
                   TColor stopColor, uint8_t steps);

}  // namespace qelo::ct
