// The frame vocabulary of the control library and its line painters: frame
// sides, the 3D frame styles in system colours or in shades of one colour,
// the push-button edge, boxes, the dotted focus outline and the rounded
// flat border.
//
// Every painter draws with the canvas's pen (its colour set here) and
// returns the rectangle left inside what it drew, so that painters chain.
#pragma once

#include <cstdint>

#include "vcl/graphics/graphics.h"
#include "vcl/typeinfo.h"

namespace qelo::ct {

using vcl::TCanvas;
using vcl::TColor;
using vcl::TRect;

enum TSide { sdLeft, sdTop, sdRight, sdBottom };
// Carried as bits 1 left, 2 top, 4 right, 8 bottom.
using TSides = vcl::TSet<TSide>;
constexpr TSides kAllSides{sdLeft, sdTop, sdRight, sdBottom};
extern const vcl::EnumInfo kSideInfo;

enum TFrameStyleEx {
  fsNone, fsFlat, fsGroove, fsBump, fsLowered, fsButtonDown, fsRaised, fsButtonUp, fsStatus, fsPopup,
  fsFlatBold, fsFlatRounded
};
// The styles up to fsFlatBold.
using TFrameStyle = TFrameStyleEx;
extern const vcl::EnumInfo kFrameStyleInfo;
extern const vcl::EnumInfo kFrameStyleExInfo;

// One-pixel lines on the chosen sides: left and top in UpperLeftColor,
// right and bottom (owning the top-right and bottom-left corners) in
// LowerRightColor. A colour of clNone draws nothing but still takes its
// sides' pixel. The result is moved in by 1 on every chosen side.
TRect PaintFrameSides(TCanvas& canvas, const TRect& rect, TColor upperLeftColor, TColor lowerRightColor,
                      TSides sides);
// Count such lines, each inside the last, with a pen 1 pixel wide.
TRect PaintFrameSidesRepeated(TCanvas& canvas, const TRect& rect, TColor upperLeftColor,
                              TColor lowerRightColor, TSides sides, int count);

// A frame style in system colours. fsGroove, fsBump and styles without a
// system-colour form of their own draw an etched pair of lines and move
// in by 2.
TRect PaintBorder(TCanvas& canvas, const TRect& rect, TFrameStyle style);
TRect PaintBorderSides(TCanvas& canvas, const TRect& rect, TFrameStyle style, TSides sides);

// A frame style in shades of one colour (darker and lighter by 50 and 100).
TRect PaintColorBorder(TCanvas& canvas, const TRect& rect, TColor color, TFrameStyle style);
TRect PaintColorBorderSides(TCanvas& canvas, const TRect& rect, TColor color, TSides sides, TFrameStyle style);
TRect PaintColorButtonBorder(TCanvas& canvas, const TRect& rect, TColor color, bool down);
TRect PaintColorButtonBorderSides(TCanvas& canvas, const TRect& rect, TColor color, TSides sides, bool down);

// The classic push-button edge in system colours, two pixels deep: raised
// (fsButtonUp) or, Down, pressed (fsButtonDown: a dark line and a shadow
// line inside it).
TRect PaintButtonEdge(TCanvas& canvas, const TRect& rect, bool down);

// One line of one colour round all four sides.
TRect PaintBoxOutline(TCanvas& canvas, const TRect& rect, TColor color);
// Only the corners, each leg Length pixels long; the result is the
// rectangle inflated by -1.
TRect PaintBoxCorners(TCanvas& canvas, const TRect& rect, TColor color, int length);
// Every second pixel of the outline in black, starting one pixel in from
// each side's start.
TRect PaintFocusOutline(TCanvas& canvas, const TRect& rect);
// One-pixel lines on the chosen sides with the corners cut off, and a pixel
// inside each corner where two drawn sides meet; moves in by 2 on every
// chosen side.
TRect PaintRoundedFlatBorder(TCanvas& canvas, const TRect& rect, TColor color, TSides sides);

}  // namespace qelo::ct
