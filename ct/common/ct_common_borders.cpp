#include "ct_common_borders.h"

#include "ct_common_color.h"

namespace qelo::ct {

using namespace vcl;

namespace {

bool HasBorderInside(const TStyledFrame& f) { return f.BorderWidth > 0 || f.BorderInner != fsNone; }

TRect PaintOuterStyle(TCanvas& canvas, const TRect& bounds, const TStyledFrame& f, TColor flat) {
  const TSides sides = f.BorderSides;
  switch (f.BorderOuter) {
    case fsFlat: return PaintFrameSides(canvas, bounds, flat, flat, sides);
    case fsFlatBold: return PaintFrameSidesRepeated(canvas, bounds, flat, flat, sides, 2);
    case fsFlatRounded: {
      if (!f.Transparent) {
        const TRect inside = PaintFrameSides(canvas, bounds, f.ParentColor, f.ParentColor, sides);
        const TColor second = HasBorderInside(f) ? f.BorderColor : f.Color;
        PaintFrameSides(canvas, inside, second, second, sides);
      } else if (HasBorderInside(f)) {
        const TRect inside = PaintFrameSides(canvas, bounds, clNone, clNone, sides);
        PaintFrameSides(canvas, inside, f.BorderColor, f.BorderColor, sides);
      }
      return PaintRoundedFlatBorder(canvas, bounds, flat, sides);
    }
    case fsPopup:
      return PaintFrameSidesRepeated(canvas, bounds, f.BorderHighlight, f.BorderShadow, sides, f.BevelWidth);
    case fsStatus:
      return PaintFrameSidesRepeated(canvas, bounds, f.BorderShadow, f.BorderHighlight, sides, f.BevelWidth);
    default: return PaintBorderSides(canvas, bounds, f.BorderOuter, sides);
  }
}

TRect PaintInnerStyle(TCanvas& canvas, const TRect& start, const TStyledFrame& f, TColor flat) {
  const TSides sides = f.BorderSides;
  switch (f.BorderInner) {
    case fsFlat:
      if (f.SquareFlat) return PaintSquareFlat(canvas, start, flat);
      return PaintFrameSides(canvas, start, flat, flat, sides);
    case fsFlatBold: return PaintFrameSidesRepeated(canvas, start, flat, flat, sides, 2);
    case fsFlatRounded: {
      const TRect inside = PaintFrameSides(canvas, start, f.BorderColor, f.BorderColor, sides);
      if (!f.Transparent) PaintFrameSides(canvas, inside, f.Color, f.Color, sides);
      return PaintRoundedFlatBorder(canvas, start, flat, sides);
    }
    case fsStatus:
      return PaintFrameSidesRepeated(canvas, start, f.BorderShadow, f.BorderHighlight, sides, f.BevelWidth);
    case fsPopup:
      return PaintFrameSidesRepeated(canvas, start, f.BorderHighlight, f.BorderShadow, sides, f.BevelWidth);
    default: return PaintBorderSides(canvas, start, f.BorderInner, sides);
  }
}

}  // namespace

TRect PaintSquareFlat(TCanvas& canvas, const TRect& r, TColor color) {
  canvas.Pen()->SetColor(color);
  canvas.MoveTo(r.left + 1, r.top);
  canvas.LineTo(r.right - 1, r.top);
  canvas.MoveTo(r.left + 1, r.bottom - 1);
  canvas.LineTo(r.right - 1, r.bottom - 1);
  canvas.MoveTo(r.left, r.top + 1);
  canvas.LineTo(r.left, r.bottom - 1);
  canvas.MoveTo(r.right - 1, r.top + 1);
  canvas.LineTo(r.right - 1, r.bottom - 1);
  return TRect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
}

TRect PaintStyledFrame(TCanvas& canvas, const TRect& bounds, const TStyledFrame& frame) {
  const TColor flat = AdjustColorLuminance(frame.FlatColor, frame.FlatColorAdjustment);
  TRect r = PaintOuterStyle(canvas, bounds, frame, flat);
  if (frame.BorderWidth > 0)
    r = PaintFrameSidesRepeated(canvas, r, frame.BorderColor, frame.BorderColor, frame.BorderSides,
                                frame.BorderWidth);
  return PaintInnerStyle(canvas, r, frame, flat);
}

TRect PaintControlFrame(TCanvas& canvas, int width, int height, TFrameStyleEx style, TColor color,
                        TColor frameColor, TSides sides, bool skipFill) {
  const TRect whole{0, 0, width, height};
  if (!skipFill) PaintFrameSidesRepeated(canvas, whole, color, color, kAllSides, 2);
  switch (style) {
    case fsFlat: return PaintFrameSides(canvas, whole, frameColor, frameColor, sides);
    case fsFlatBold: return PaintFrameSidesRepeated(canvas, whole, frameColor, frameColor, sides, 2);
    default:
      if (color == clWindow) return PaintBorderSides(canvas, whole, style, sides);
      return PaintColorBorderSides(canvas, whole, color, sides, style);
  }
}

void RedrawControlFrame(win::HWND window, const TRect* rect) {
  win::HDC dc = win::GetWindowDC(window);
  if (dc == nullptr) return;
  TRect clip;
  const int kind = win::GetClipBox(dc, &clip);
  win::ReleaseDC(window, dc);
  if (kind == win::ERROR || kind == win::NULLREGION || win::IsRectEmpty(&clip)) return;
  win::RedrawWindow(window, rect, nullptr, win::RDW_FRAME | win::RDW_INVALIDATE);
}

}  // namespace qelo::ct
