#include "ct_common_glyphs.h"

#include <array>

#include "ct_common_color.h"
#include "ct_common_system.h"
#include "vcl/controls/themes.h"
#include "vcl/graphics/bitmap.h"

namespace qelo::ct {

using namespace vcl;

const EnumInfo kHotTrackStyleInfo{"THotTrackStyle", {"htsInterior", "htsFrame"}};

namespace {

constexpr int kThemedStyle = 1;

// The arrow colour of the themed drop-down button: its pixel at (8, 10),
// dark shadow where it would vanish on the window colour.
TColor ThemedArrowColor() {
  TBitmap button(17, 21);
  const auto details = ThemeServices()->GetElementDetails(tcDropDownButtonHot);
  const TRect face{0, 0, 16, 20};
  ThemeServices()->DrawElement(button.Canvas()->Handle(), details, face);
  const TColor arrow = button.Canvas()->Pixels(8, 10);
  return ColorsAreSimilar(arrow, clWindow) ? cl3DDkShadow : arrow;
}

TColor ArrowColor(TCanvas& canvas, int style, bool enabled) {
  if (!enabled) return clBtnShadow;
  if (style == kThemedStyle) return ThemedArrowColor();
  return ColorsAreSimilar(canvas.Brush()->Color(), clBlack) ? cl3DDkShadow : clBlack;
}

}  // namespace

void PaintDropDownButton(TCanvas& canvas, const TRect& rect, int style, bool enabled) {
  if (IsWinVersionAtLeast(kWinVista)) style = 2;
  const TColor savedBrush = canvas.Brush()->Color();
  const TPenStyle savedPen = canvas.Pen()->Style();
  const TColor arrow = ArrowColor(canvas, style, enabled);
  canvas.Pen()->SetStyle(psClear);
  canvas.Brush()->SetColor(arrow);
  const int height = rect.bottom - rect.top;
  const int x = rect.left + (rect.right - rect.left) / 2;
  const int y = rect.top + height / 2 - (height % 2 == 0 ? 1 : 0) + (style == kThemedStyle ? 4 : 2);
  if (style == kThemedStyle) {
    const std::array<TPoint, 6> chevron{{{x, y}, {x - 4, y - 5}, {x - 3, y - 7}, {x, y - 3}, {x + 3, y - 7},
                                         {x + 5, y - 5}}};
    canvas.Polygon(chevron);
  } else {
    canvas.SetPixel(x, y, arrow);
    for (int row = 1; row <= 3; ++row) canvas.FillRect(TRect{x - row, y - row, x + row + 1, y - row + 1});
  }
  canvas.Pen()->SetStyle(savedPen);
  canvas.Brush()->SetColor(savedBrush);
}

void PaintGradientRing(TCanvas& canvas, const TRect& rect, TGradientDirection direction, TColor startColor,
                       TColor stopColor) {
  if (!FullColorDisplay()) return;
  win::HDC dc = canvas.Handle();
  win::HRGN saved = win::CreateRectRgn(0, 0, 0, 0);
  const bool hadClip = win::GetClipRgn(dc, saved) == 1;
  win::ExcludeClipRect(dc, rect.left + 2, rect.top + 2, rect.right - 2, rect.bottom - 2);
  PaintGradient(canvas, rect, direction, startColor, stopColor, 1);
  win::SelectClipRgn(dc, hadClip ? saved : nullptr);
  win::DeleteObject(saved);
}

namespace {

TColor FillColor(const TCheckGlyph& g) {
  switch (g.DrawState) {
    case cdsPressed: return DarkenColor(g.FocusColor, 20);
    case cdsDisabled: return g.DisabledColor;
    default:
      if (!g.Focused) return g.ReadOnly ? g.ReadOnlyColor : g.Color;
      return g.ReadOnly && g.ReadOnlyColorOnFocus ? g.ReadOnlyColor : g.FocusColor;
  }
}

// The tick, drawn from (x0, y0) one pixel above the inner rectangle's
// top-left.
void PaintTick(TCanvas& canvas, int x0, int y0, TColor color) {
  constexpr std::array<std::array<int, 2>, 7> kShortStroke{
      {{2, 5}, {2, 6}, {2, 7}, {3, 6}, {3, 7}, {3, 8}, {4, 7}}};
  for (const auto& [dx, dy] : kShortStroke) canvas.SetPixel(x0 + dx, y0 + dy, color);
  for (int i = 0; i <= 3; ++i) {
    canvas.SetPixel(x0 + 4 + i, y0 + 8 - i, color);
    canvas.SetPixel(x0 + 4 + i, y0 + 9 - i, color);
    canvas.SetPixel(x0 + 5 + i, y0 + 6 - i, color);
  }
  canvas.SetPixel(x0 + 8, y0 + 4, color);
  canvas.SetPixel(x0 + 8, y0 + 5, color);
}

}  // namespace

TRect PaintCheckGlyph(TCanvas& canvas, const TRect& rect, const TCheckGlyph& g) {
  const bool hot = g.DrawState == cdsHot;
  const TColor frame = hot && g.HotTrackStyle == htsFrame ? g.HotFrameColor : g.FrameColor;
  const TRect inner = PaintBoxOutline(canvas, rect, frame);
  canvas.Brush()->SetColor(FillColor(g));
  canvas.FillRect(inner);
  const TColor check = g.DrawState == cdsDisabled ? clBtnShadow : g.CheckColor;
  if (g.State == cgsChecked) {
    PaintTick(canvas, inner.left, inner.top - 1, check);
  } else if (g.State == cgsGrayed) {
    canvas.Brush()->SetColor(check);
    canvas.FillRect(TRect{inner.left + 2, inner.top + 2, inner.right - 2, inner.bottom - 2});
  }
  if (hot && g.HotTrackStyle == htsInterior)
    PaintGradientRing(canvas, inner, gdDiagonalDown, g.HotFrameColor, g.HotFillColor);
  else if (hot)
    PaintBoxOutline(canvas, inner, g.HotFrameColor);
  return inner;
}

}  // namespace qelo::ct
