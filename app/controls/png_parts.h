// Drawing parts of PNG pictures with their transparency: one rectangle of a
// picture stretched into another, and a picture in three slices whose ends
// keep their width while the middle stretches.
#pragma once

#include "vcl/graphics/png_image.h"

namespace qelo::controls {

// Blends `source` (picture coordinates) of `picture` into `dest` on the
// canvas; nothing for an empty picture or an empty rectangle.
void DrawPngPart(vcl::TCanvas& canvas, vcl::TPngImage& picture, const vcl::TRect& source,
                 const vcl::TRect& dest);

// The picture at its own height from `left` to `right` at `top`: its first
// and last `edge` columns unscaled at both ends, the columns between them
// stretched over the rest. A picture narrower than two edges gives each end
// half of it.
void DrawThreeSlices(vcl::TCanvas& canvas, vcl::TPngImage& picture, int left, int top, int right,
                     int edge);

// Round half to even, the rounding of the custom controls' arithmetic.
int RoundHalfEven(double value);

}  // namespace qelo::controls
