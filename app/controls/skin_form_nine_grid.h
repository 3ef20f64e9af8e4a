// The nine pieces of a skinned window's background: the image cut by two
// vertical and two horizontal grid lines; its corners keep their size, its
// edges stretch along the window's sides and its centre both ways.
#pragma once

#include "vcl/graphics/graphics.h"

namespace qelo::controls {

struct TNineGrid {
  int left = 0, top = 0;       // grid lines in image coordinates, from the
  int right = 0, bottom = 0;   // image's left and top edges
};

// The pieces: 0 top left, 1 top right, 2 top middle, 3 bottom left,
// 4 bottom right, 5 bottom middle, 6 middle left, 7 centre, 8 middle right.
inline constexpr int kNineGridPieces = 9;

// Piece `piece` in the image (`isSource`) or in the window. The lines are
// taken into the image and in order first, so no piece is ever negative; a
// window smaller than the image's fixed edges shrinks those edges in
// proportion. Any other piece number gives an empty rectangle.
vcl::TRect NineGridRect(bool isSource, int piece, const TNineGrid& grid, vcl::TSize imageSize,
                        vcl::TSize windowSize);

}  // namespace qelo::controls
