// The composite border of labels, panels, group boxes, status bars and
// progress bars, and the non-client frame of the framed windowed controls.
#pragma once

#include "ct_common_frames.h"
#include "win/window/window.h"

namespace qelo::ct {

// What PaintStyledFrame draws, from the outside in: the outer style, the
// border of BorderWidth lines, the inner style.
struct TStyledFrame {
  TFrameStyleEx BorderOuter = fsNone;
  TFrameStyleEx BorderInner = fsNone;
  int BorderWidth = 0;
  TSides BorderSides = kAllSides;
  int BevelWidth = 1;  // lines of the fsStatus and fsPopup styles
  TColor BorderColor = vcl::clBtnFace;
  TColor BorderHighlight = vcl::clBtnHighlight;
  TColor BorderShadow = vcl::clBtnShadow;
  TColor FlatColor = vcl::clBtnShadow;  // of the flat styles, adjusted by FlatColorAdjustment
  int FlatColorAdjustment = 0;
  TColor Color = vcl::clBtnFace;        // the control's colour
  TColor ParentColor = vcl::clBtnFace;  // shows in the cut corners of fsFlatRounded
  bool Transparent = false;
  bool SquareFlat = false;  // an inner fsFlat leaves the four corner pixels out (progress bar)
};

// Returns the rectangle inside the last lines drawn (Bounds when nothing is).
TRect PaintStyledFrame(TCanvas& canvas, const TRect& bounds, const TStyledFrame& frame);

// A one-pixel outline on all four sides without its four corner pixels;
// returns the rectangle inside it.
TRect PaintSquareFlat(TCanvas& canvas, const TRect& rect, TColor color);

// The frame of a framed control on its window context (origin at the
// window's top-left), over (0, 0, Width, Height): unless SkipFill, the
// two-pixel band in the control's Color first; then fsFlat and fsFlatBold
// in FrameColor, other styles in system colours when Color is clWindow,
// else in shades of Color.
TRect PaintControlFrame(TCanvas& canvas, int width, int height, TFrameStyleEx style, TColor color,
                        TColor frameColor, TSides sides, bool skipFill);

// Asks for the window's frame (and the given part of it) to be painted
// again, unless nothing of the window can be seen.
void RedrawControlFrame(win::HWND window, const TRect* rect);

}  // namespace qelo::ct
