// Masks of the closed shapes, shared by drawing and regions.
#pragma once

#include "win/gdi/raster.h"

namespace qelo::win {

// The ellipse filling `box` (right and bottom exclusive).
Mask EllipseMask(const RECT& box);
// The rectangle `box` with corner ellipses of width x height.
Mask RoundRectMask(const RECT& box, int ellipseWidth, int ellipseHeight);

}  // namespace qelo::win
