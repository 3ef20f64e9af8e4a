#include "ct_common_frames.h"

#include <array>

#include "ct_common_color.h"

namespace qelo::ct {

using namespace vcl;

const EnumInfo kSideInfo{"TSide", {"sdLeft", "sdTop", "sdRight", "sdBottom"}};
const EnumInfo kFrameStyleInfo{"TFrameStyle",
                               {"fsNone", "fsFlat", "fsGroove", "fsBump", "fsLowered", "fsButtonDown",
                                "fsRaised", "fsButtonUp", "fsStatus", "fsPopup", "fsFlatBold"}};
const EnumInfo kFrameStyleExInfo{"TFrameStyleEx",
                                 {"fsNone", "fsFlat", "fsGroove", "fsBump", "fsLowered", "fsButtonDown",
                                  "fsRaised", "fsButtonUp", "fsStatus", "fsPopup", "fsFlatBold",
                                  "fsFlatRounded"}};

namespace {

struct EdgeColors {
  TColor upperLeft;
  TColor lowerRight;
};

// The one-pass and etched styles, by ordinal (the two-pass styles have
// their own table).
constexpr std::array<EdgeColors, 11> kSystemEdges = {{
    {clWindow, clWindow},              // fsNone
    {cl3DDkShadow, cl3DDkShadow},      // fsFlat
    {clBtnShadow, clBtnHighlight},     // fsGroove
    {clBtnHighlight, clBtnShadow},     // fsBump
    {},                                // fsLowered: two passes
    {},                                // fsButtonDown: two passes
    {},                                // fsRaised: two passes
    {},                                // fsButtonUp: two passes
    {clBtnShadow, clBtnHighlight},     // fsStatus
    {clBtnHighlight, clBtnShadow},     // fsPopup
    {clBtnShadow, clBtnShadow},        // fsFlatBold
}};

struct TwoPassEdges {
  EdgeColors outer, inner;
};

bool IsTwoPass(TFrameStyle style) {
  return style == fsRaised || style == fsLowered || style == fsButtonUp || style == fsButtonDown;
}

TwoPassEdges SystemTwoPass(TFrameStyle style) {
  switch (style) {
    case fsRaised: return {{cl3DLight, cl3DDkShadow}, {clBtnHighlight, clBtnShadow}};
    case fsLowered: return {{clBtnShadow, clBtnHighlight}, {cl3DDkShadow, cl3DLight}};
    case fsButtonUp: return {{clBtnHighlight, cl3DDkShadow}, {cl3DLight, clBtnShadow}};
    default: return {{clBtnText, clBtnText}, {clBtnShadow, clBtnShadow}};  // fsButtonDown
  }
}

TRect PaintTwoPass(TCanvas& canvas, const TRect& rect, const TwoPassEdges& edges, TSides sides) {
  const TRect inside = PaintFrameSides(canvas, rect, edges.outer.upperLeft, edges.outer.lowerRight, sides);
  return PaintFrameSides(canvas, inside, edges.inner.upperLeft, edges.inner.lowerRight, sides);
}

void Dot(TCanvas& canvas, int x, int y, TColor color) { canvas.SetPixel(x, y, color); }

// Two lines of `a` and `b` side by side, `b` one pixel further in and to
// the lower right, with the ends where a drawn side meets an undrawn one
// finished so the pair reads as one groove or ridge.
TRect PaintEtched(TCanvas& canvas, const TRect& r, EdgeColors colors, TSides sides) {
  const TColor a = colors.upperLeft, b = colors.lowerRight;
  const bool left = sides.Contains(sdLeft), top = sides.Contains(sdTop);
  const bool right = sides.Contains(sdRight), bottom = sides.Contains(sdBottom);
  if (right)
    Dot(canvas, r.right - 1, r.top, b);
  else if (top)
    Dot(canvas, r.right - 1, r.top, a);
  if (bottom)
    Dot(canvas, r.left, r.bottom - 1, b);
  else if (left)
    Dot(canvas, r.left, r.bottom - 1, a);
  if (top && !left) Dot(canvas, r.left, r.top + 1, b);
  if (left && !top) Dot(canvas, r.left + 1, r.top, b);
  if (bottom && !right) Dot(canvas, r.right - 1, r.bottom - 2, a);
  if (right && !bottom) Dot(canvas, r.right - 2, r.bottom - 1, a);
  const TRect lower{r.left + 1, r.top + 1, r.right, r.bottom};
  PaintFrameSides(canvas, lower, b, b, sides);
  PaintFrameSides(canvas, TRect{r.left, r.top, r.right - 1, r.bottom - 1}, a, a, sides);
  return TRect{r.left + (left ? 2 : 0), r.top + (top ? 2 : 0), r.right - (right ? 2 : 0),
               r.bottom - (bottom ? 2 : 0)};
}

}  // namespace

TRect PaintFrameSides(TCanvas& canvas, const TRect& rect, TColor upperLeftColor, TColor lowerRightColor,
                      TSides sides) {
  const TRect& r = rect;
  if (upperLeftColor != clNone) {
    canvas.Pen()->SetColor(upperLeftColor);
    if (sides.Contains(sdLeft)) {
      canvas.MoveTo(r.left, r.top);
      canvas.LineTo(r.left, r.bottom);
    }
    if (sides.Contains(sdTop)) {
      canvas.MoveTo(r.left, r.top);
      canvas.LineTo(r.right, r.top);
    }
  }
  if (lowerRightColor != clNone) {
    canvas.Pen()->SetColor(lowerRightColor);
    if (sides.Contains(sdRight)) {
      canvas.MoveTo(r.right - 1, r.top);
      canvas.LineTo(r.right - 1, r.bottom);
    }
    if (sides.Contains(sdBottom)) {
      canvas.MoveTo(r.left, r.bottom - 1);
      canvas.LineTo(r.right, r.bottom - 1);
    }
  }
  return TRect{r.left + (sides.Contains(sdLeft) ? 1 : 0), r.top + (sides.Contains(sdTop) ? 1 : 0),
               r.right - (sides.Contains(sdRight) ? 1 : 0), r.bottom - (sides.Contains(sdBottom) ? 1 : 0)};
}

TRect PaintFrameSidesRepeated(TCanvas& canvas, const TRect& rect, TColor upperLeftColor,
                              TColor lowerRightColor, TSides sides, int count) {
  canvas.Pen()->SetWidth(1);
  TRect r = rect;
  for (int i = 0; i < count; ++i) r = PaintFrameSides(canvas, r, upperLeftColor, lowerRightColor, sides);
  return r;
}

TRect PaintBorder(TCanvas& canvas, const TRect& rect, TFrameStyle style) {
  return PaintBorderSides(canvas, rect, style, kAllSides);
}

TRect PaintBorderSides(TCanvas& canvas, const TRect& rect, TFrameStyle style, TSides sides) {
  switch (style) {
    case fsNone: return rect;
    case fsFlat:
    case fsStatus:
    case fsPopup:
      return PaintFrameSides(canvas, rect, kSystemEdges[style].upperLeft, kSystemEdges[style].lowerRight, sides);
    case fsFlatBold: return PaintFrameSidesRepeated(canvas, rect, clBtnShadow, clBtnShadow, sides, 2);
    case fsGroove: return PaintEtched(canvas, rect, kSystemEdges[fsGroove], sides);
    default:
      if (IsTwoPass(style)) return PaintTwoPass(canvas, rect, SystemTwoPass(style), sides);
      return PaintEtched(canvas, rect, kSystemEdges[fsBump], sides);
  }
}

TRect PaintColorBorder(TCanvas& canvas, const TRect& rect, TColor color, TFrameStyle style) {
  return PaintColorBorderSides(canvas, rect, color, kAllSides, style);
}

TRect PaintColorBorderSides(TCanvas& canvas, const TRect& rect, TColor color, TSides sides, TFrameStyle style) {
  const TColor d50 = DarkenColor(color, 50), d100 = DarkenColor(color, 100);
  const TColor l50 = LightenColor(color, 50), l100 = LightenColor(color, 100);
  switch (style) {
    case fsNone: return rect;
    case fsFlat: return PaintFrameSides(canvas, rect, d50, d50, sides);
    case fsFlatBold: return PaintFrameSidesRepeated(canvas, rect, d50, d50, sides, 2);
    case fsGroove: return PaintEtched(canvas, rect, {d50, l100}, sides);
    case fsLowered: return PaintTwoPass(canvas, rect, {{d50, l100}, {d100, l50}}, sides);
    case fsRaised: return PaintTwoPass(canvas, rect, {{l50, d100}, {l100, d50}}, sides);
    case fsButtonDown: return PaintColorButtonBorderSides(canvas, rect, color, sides, true);
    case fsButtonUp: return PaintColorButtonBorderSides(canvas, rect, color, sides, false);
    case fsStatus: return PaintFrameSides(canvas, rect, d50, l100, sides);
    case fsPopup: return PaintFrameSides(canvas, rect, l100, d50, sides);
    default: return PaintEtched(canvas, rect, {l100, d50}, sides);
  }
}

TRect PaintColorButtonBorder(TCanvas& canvas, const TRect& rect, TColor color, bool down) {
  return PaintColorButtonBorderSides(canvas, rect, color, kAllSides, down);
}

TRect PaintColorButtonBorderSides(TCanvas& canvas, const TRect& rect, TColor color, TSides sides, bool down) {
  const TColor d50 = DarkenColor(color, 50), d100 = DarkenColor(color, 100);
  if (down) return PaintTwoPass(canvas, rect, {{d100, d100}, {d50, d50}}, sides);
  return PaintTwoPass(canvas, rect, {{LightenColor(color, 100), d100}, {LightenColor(color, 40), d50}}, sides);
}

TRect PaintButtonEdge(TCanvas& canvas, const TRect& rect, bool down) {
  return PaintBorder(canvas, rect, down ? fsButtonDown : fsButtonUp);
}

TRect PaintBoxOutline(TCanvas& canvas, const TRect& rect, TColor color) {
  return PaintFrameSides(canvas, rect, color, color, kAllSides);
}

TRect PaintBoxCorners(TCanvas& canvas, const TRect& rect, TColor color, int length) {
  const TRect& r = rect;
  canvas.Pen()->SetColor(color);
  auto leg = [&](int x, int y, int dx, int dy) {  // from the corner (x, y) along both edges
    canvas.MoveTo(x, y + dy * (length - 1));
    canvas.LineTo(x, y);
    canvas.LineTo(x + dx * length, y);
  };
  leg(r.left, r.top, 1, 1);
  leg(r.right - 1, r.top, -1, 1);
  leg(r.left, r.bottom - 1, 1, -1);
  leg(r.right - 1, r.bottom - 1, -1, -1);
  return TRect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
}

TRect PaintFocusOutline(TCanvas& canvas, const TRect& rect) {
  const TRect& r = rect;
  for (int y = r.top + 1; y < r.bottom; y += 2) {
    Dot(canvas, r.left, y, clBlack);
    Dot(canvas, r.right - 1, y, clBlack);
  }
  for (int x = r.left + 1; x < r.right; x += 2) {
    Dot(canvas, x, r.top, clBlack);
    Dot(canvas, x, r.bottom - 1, clBlack);
  }
  return TRect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
}

TRect PaintRoundedFlatBorder(TCanvas& canvas, const TRect& rect, TColor color, TSides sides) {
  const bool left = sides.Contains(sdLeft), top = sides.Contains(sdTop);
  const bool right = sides.Contains(sdRight), bottom = sides.Contains(sdBottom);
  const TRect inner{rect.left + (left ? 2 : 0), rect.top + (top ? 2 : 0), rect.right - (right ? 2 : 0),
                    rect.bottom - (bottom ? 2 : 0)};
  canvas.Pen()->SetColor(color);
  auto line = [&](int x0, int y0, int x1, int y1) {
    canvas.MoveTo(x0, y0);
    canvas.LineTo(x1, y1);
  };
  if (left) line(rect.left, inner.top, rect.left, inner.bottom);
  if (right) line(rect.right - 1, inner.top, rect.right - 1, inner.bottom);
  if (top) line(inner.left, rect.top, inner.right, rect.top);
  if (bottom) line(inner.left, rect.bottom - 1, inner.right, rect.bottom - 1);
  if (left && top) Dot(canvas, rect.left + 1, rect.top + 1, color);
  if (right && top) Dot(canvas, rect.right - 2, rect.top + 1, color);
  if (right && bottom) Dot(canvas, rect.right - 2, rect.bottom - 2, color);
  if (left && bottom) Dot(canvas, rect.left + 1, rect.bottom - 2, color);
  return inner;
}

}  // namespace qelo::ct
