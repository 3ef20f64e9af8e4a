#include "ct_button_kind_glyphs.h"

#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace qelo::ct {

using namespace vcl;

namespace {

constexpr TColor kBackground = clOlive;
constexpr int S = kKindGlyphSize;

using Points = std::vector<TPoint>;

void Fill(TCanvas& c, TColor color, const Points& shape) {
  c.Pen()->SetColor(color);
  c.Brush()->SetColor(color);
  c.Polygon(shape);
}

void Disc(TCanvas& c, TColor color, int left, int top, int right, int bottom) {
  c.Pen()->SetColor(color);
  c.Brush()->SetColor(color);
  c.Ellipse(left, top, right, bottom);
}

// The tick, its corner at (x, y + 9).
void Tick(TCanvas& c, TColor color, int x, int y) {
  Fill(c, color, {{x, y + 6}, {x + 3, y + 9}, {x + 11, y + 1}, {x + 13, y + 3}, {x + 3, y + 13}, {x - 2, y + 8}});
}

void Cross(TCanvas& c, TColor color) {
  Fill(c, color, {{3, 5}, {5, 3}, {14, 12}, {12, 14}});
  Fill(c, color, {{12, 3}, {14, 5}, {5, 14}, {3, 12}});
}

// A letter in white on a round badge.
void Badge(TCanvas& c, TColor color, const char* letter) {
  Disc(c, color, 1, 1, S - 1, S - 1);
  c.Brush()->SetStyle(bsClear);
  c.Font()->SetName("Verdana");
  c.Font()->SetHeight(-12);
  c.Font()->SetStyle(TFontStyles{fsBold});
  c.Font()->SetColor(clWhite);
  const TSize size = c.TextExtent(letter);
  c.TextOut((S - size.cx) / 2, (S - size.cy) / 2, letter);
  c.Brush()->SetStyle(bsSolid);
}

// No entry: a red ring crossed by a bar.
void NoEntry(TCanvas& c) {
  Disc(c, clRed, 1, 1, S - 1, S - 1);
  Disc(c, kBackground, 4, 4, S - 4, S - 4);
  Fill(c, clRed, {{4, 6}, {6, 4}, {13, 11}, {11, 13}});
}

// A door standing open with its knob.
void Door(TCanvas& c) {
  c.Pen()->SetColor(clBlack);
  c.Brush()->SetColor(clGray);
  c.Rectangle(4, 1, 14, 17);
  Fill(c, clMaroon, {{5, 2}, {11, 4}, {11, 17}, {5, 15}});
  c.SetPixel(9, 9, clYellow);
  c.SetPixel(9, 10, clYellow);
}

// A stop sign: a red octagon with a white bar.
void Stop(TCanvas& c) {
  Fill(c, clRed, {{6, 1}, {11, 1}, {16, 6}, {16, 11}, {11, 16}, {6, 16}, {1, 11}, {1, 6}});
  c.Brush()->SetColor(clWhite);
  c.FillRect(Rect(4, 7, 14, 11));
}

// A ring that turns back on itself, with its arrow head.
void TurnAround(TCanvas& c) {
  const double cx = 8.5, cy = 9, outer = 7.5, inner = 4.5;
  Points ring;
  for (int deg = 40; deg <= 330; deg += 10) {
    const double a = deg * 3.14159265358979 / 180;
    ring.push_back(Point(static_cast<int>(std::lround(cx + outer * std::cos(a))),
                         static_cast<int>(std::lround(cy - outer * std::sin(a)))));
  }
  for (int deg = 330; deg >= 40; deg -= 10) {
    const double a = deg * 3.14159265358979 / 180;
    ring.push_back(Point(static_cast<int>(std::lround(cx + inner * std::cos(a))),
                         static_cast<int>(std::lround(cy - inner * std::sin(a)))));
  }
  Fill(c, clNavy, ring);
  Fill(c, clNavy, {{10, 0}, {17, 3}, {12, 9}});
}

void Chevrons(TCanvas& c) {
  for (int x : {2, 9}) Fill(c, clNavy, {{x, 3}, {x + 3, 3}, {x + 8, 9}, {x + 3, 15}, {x, 15}, {x + 5, 9}});
}

void DrawKind(TCanvas& c, TBitBtnKind kind) {
  switch (kind) {
    case bkOK: return Tick(c, clGreen, 3, 2);
    case bkCancel: return Cross(c, clRed);
    case bkHelp: return Badge(c, clBlue, "?");
    case bkYes: return Tick(c, clTeal, 3, 2);
    case bkNo: return NoEntry(c);
    case bkClose: return Door(c);
    case bkAbort: return Stop(c);
    case bkRetry: return TurnAround(c);
    case bkIgnore: return Chevrons(c);
    case bkAll:
      Tick(c, clGreen, 1, 0);
      return Tick(c, clGreen, 5, 4);
    case bkCustom: return;
  }
}

// The greyed cell: the picture's shape embossed, a highlight under a
// shadow.
void Grey(TBitmap& strip) {
  TCanvas& c = *strip.Canvas();
  std::vector<TPoint> shape;
  for (int y = 0; y < S; ++y)
    for (int x = 0; x < S; ++x)
      if (c.Pixels(x, y) != kBackground) shape.push_back(Point(x, y));
  for (const TPoint& p : shape)
    if (p.x + 1 < S && p.y + 1 < S) c.SetPixel(S + p.x + 1, p.y + 1, clBtnHighlight);
  for (const TPoint& p : shape) c.SetPixel(S + p.x, p.y, clBtnShadow);
}

std::unique_ptr<TBitmap> MakeKindGlyph(TBitBtnKind kind) {
  auto strip = std::make_unique<TBitmap>(2 * S, S);
  TCanvas& c = *strip->Canvas();
  c.Brush()->SetColor(kBackground);
  c.FillRect(Rect(0, 0, 2 * S, S));
  DrawKind(c, kind);
  Grey(*strip);
  strip->SetTransparentColor(kBackground);
  return strip;
}

}  // namespace

TBitmap* LoadKindGlyph(TBitBtnKind kind) {
  static std::array<std::unique_ptr<TBitmap>, bkAll + 1> slots;
  if (kind == bkCustom) return nullptr;
  std::unique_ptr<TBitmap>& slot = slots[static_cast<size_t>(kind)];
  if (!slot) slot = MakeKindGlyph(kind);
  return slot.get();
}

}  // namespace qelo::ct
