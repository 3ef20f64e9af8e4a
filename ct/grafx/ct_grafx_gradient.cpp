#include "ct_grafx_gradient.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "vcl/graphics/bitmap.h"

namespace qelo::ct {

const vcl::EnumInfo kGradientDirectionInfo{
    "TGradientDirection",
    {"gdDiagonalUp", "gdDiagonalDown", "gdHorizontalEnd", "gdHorizontalCenter", "gdHorizontalBox",
     "gdVerticalEnd", "gdVerticalCenter", "gdVerticalBox", "gdSquareBox", "gdBigSquareBox"}};

namespace {

using vcl::TPoint;

// The colours of `count` + 1 steps from one colour to another, channel by
// channel, the first and the last exact. A step of a ramp and the same
// point of the reversed ramp have one colour.
class ColorRamp {
 public:
  ColorRamp(TColor from, TColor to, int count) : from_(from), to_(to), count_(std::max(count, 0)) {}

  TColor At(int step) const {
    if (count_ == 0) return from_;
    const int64_t n = count_, k = step;
    TColor color = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      const int64_t a = (from_ >> shift) & 0xFF, b = (to_ >> shift) & 0xFF;
      // The nearest value, in integers, so that no size overflows.
      const int64_t v = (2 * (a * (n - k) + b * k) + n) / (2 * n);
      color |= static_cast<TColor>(v) << shift;
    }
    return color;
  }

 private:
  TColor from_, to_;
  int count_;
};

// Fewest steps a band covers before it may end at a change of colour. No
// step count divides by zero: 0 steps band like 1.
int MinimumBandWidth(uint8_t steps, bool box) {
  if (steps <= 8) return std::max<int>(steps, 1);
  return (box ? 256 : 255) / steps + 1;
}

// A colour as a 32-bit pixel (bytes B, G, R, A).
uint32_t PixelOf(TColor color) {
  return 0xFF000000u | ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

// Calls paint(first, end, color) for the bands of steps 0 .. count - 1.
template <class Paint>
void ForEachBand(const ColorRamp& ramp, int count, int minimumWidth, Paint paint) {
  for (int first = 0; first < count;) {
    const TColor color = ramp.At(first);
    int end = first + 1;
    while (end < count && (end - first < minimumWidth || ramp.At(end) == color)) ++end;
    paint(first, end, color);
    first = end;
  }
}

// Draws on the off-screen bitmap with a clear pen and a solid brush.
class Painter {
 public:
  Painter(vcl::TBitmap& bitmap) : bitmap_(bitmap), canvas_(*bitmap.Canvas()) {
    canvas_.Pen()->SetStyle(vcl::psClear);
    canvas_.Pen()->SetWidth(1);
    canvas_.Pen()->SetMode(vcl::pmCopy);
  }
  int Width() const { return bitmap_.Width(); }
  int Height() const { return bitmap_.Height(); }

  void Fill(const TRect& r, TColor color) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    canvas_.Brush()->SetColor(color);
    canvas_.FillRect(r);
  }
  // Copies a part of the bitmap onto itself, mirrored where a size is
  // negative (running back from its coordinate).
  void Copy(int x, int y, int width, int height, int fromX, int fromY, int fromWidth, int fromHeight) {
    win::HDC dc = canvas_.Handle();
    win::StretchBlt(dc, x, y, width, height, dc, fromX, fromY, fromWidth, fromHeight, win::SRCCOPY);
  }

 private:
  vcl::TBitmap& bitmap_;
  TCanvas& canvas_;
};

// ---- linear and centre styles ----------------------------------------------------

// Along one axis: rows (across == false) or columns from `first` to `last`
// inclusive, `from` at `first` and `to` at `last`, each line `thickness`
// long across.
void PaintRampLines(Painter& p, bool columns, int first, int last, TColor from, TColor to, int thickness,
                    uint8_t steps) {
  const int direction = last >= first ? 1 : -1;
  const int count = std::abs(last - first) + 1;
  ForEachBand(ColorRamp(from, to, count - 1), count, MinimumBandWidth(steps, false),
              [&](int begin, int end, TColor color) {
                const int a = first + direction * begin, b = first + direction * (end - 1);
                const int low = std::min(a, b), high = std::max(a, b) + 1;
                p.Fill(columns ? TRect{low, 0, high, thickness} : TRect{0, low, thickness, high}, color);
              });
}

// Fills the whole length by copying the painted strip next to itself,
// doubling it each time; the last copy is cut to the length.
void ReplicateStrip(Painter& p, bool columns, int strip) {
  const int length = columns ? p.Height() : p.Width();
  for (int filled = strip; filled < length; filled *= 2) {
    const int part = std::min(filled, length - filled);
    if (columns)
      p.Copy(0, filled, p.Width(), part, 0, 0, p.Width(), part);
    else
      p.Copy(filled, 0, part, p.Height(), 0, 0, part, p.Height());
  }
}

// A single line takes StartColor in the end styles and StopColor in the
// centre styles (it is the centre line).
void PaintLinear(Painter& p, bool columns, bool centre, TColor start, TColor stop, uint8_t steps) {
  const int size = columns ? p.Width() : p.Height();
  const int strip = std::min(8, columns ? p.Height() : p.Width());
  if (centre) {
    const int middle = size / 2;
    PaintRampLines(p, columns, size - 1, middle, start, stop, strip, steps);
    PaintRampLines(p, columns, middle, 0, stop, start, strip, steps);
  } else {
    PaintRampLines(p, columns, 0, size - 1, start, stop, strip, steps);
  }
  ReplicateStrip(p, columns, strip);
}

// ---- box styles --------------------------------------------------------------------

void PaintBox(Painter& p, TGradientDirection direction, TColor start, TColor stop, uint8_t steps) {
  const int w = p.Width(), h = p.Height();
  if (start == stop || w < 5 || h <= 4) {
    p.Fill(TRect{0, 0, w, h}, start);
    return;
  }
  if (direction == gdHorizontalBox || direction == gdSquareBox) p.Fill(TRect{0, 0, w, h}, start);
  const int hw = (w - 1) / 2, hh = (h - 1) / 2;
  const bool wideCore = direction == gdHorizontalBox || direction == gdBigSquareBox;
  const bool tallCore = direction == gdVerticalBox || direction == gdBigSquareBox;
  const int coreX = hw - (wideCore ? w / 4 : 0), coreY = hh - (tallCore ? h / 4 : 0);
  const int count = std::max(coreX, coreY) + 1;
  // The quarter's outer corner at a step, from the core's corner out to
  // (0, 0), each axis at its own pace. Rounding up keeps the outermost ring
  // one pixel wide on all four sides.
  auto corner = [&](int step) {
    if (count == 1) return TPoint{0, 0};
    const int64_t left = count - 1 - step, last = count - 1;
    return TPoint{static_cast<int>((coreX * left + last - 1) / last),
                  static_cast<int>((coreY * left + last - 1) / last)};
  };
  const TPoint centre{hw + 1, hh + 1};
  ForEachBand(ColorRamp(stop, start, count - 1), count, MinimumBandWidth(steps, true),
              [&](int begin, int end, TColor color) {
                const TPoint inner = begin == 0 ? centre : corner(begin - 1);
                const TPoint outer = corner(end - 1);
                p.Fill(TRect{outer.x, outer.y, centre.x, inner.y}, color);
                p.Fill(TRect{outer.x, inner.y, inner.x, centre.y}, color);
              });
  p.Copy(0, h - 1, centre.x, -centre.y, 0, 0, centre.x, centre.y);
  p.Copy(w - 1, 0, -centre.x, h, 0, 0, centre.x, h);
}

// ---- diagonal styles -----------------------------------------------------------------

// The bands lie across the sweep from the lower-left corner (StartColor)
// to the upper-right one (upward) or from the upper-left corner to the
// lower-right one (downward). A band's edge runs from a point of the left
// edge to one of the bottom (top) edge in the first half of the sweep and
// from the top (bottom) edge to the right edge in the second, each point
// moving its edge's length in half the steps. Every pixel takes the colour
// of the band its centre lies in, so both corners are reached alike.
void PaintDiagonal(vcl::TBitmap& bitmap, bool down, TColor start, TColor stop, uint8_t steps) {
  const int w = bitmap.Width(), h = bitmap.Height();
  const double diagonal = std::sqrt(double(w) * w + double(h) * h);
  const int count = static_cast<int>(diagonal) + 1;
  std::vector<uint32_t> bandPixel(static_cast<size_t>(count));
  ForEachBand(ColorRamp(start, stop, count - 1), count, MinimumBandWidth(steps, false),
              [&](int begin, int end, TColor color) {
                std::fill(bandPixel.begin() + begin, bandPixel.begin() + end, PixelOf(color));
              });
  for (int y = 0; y < h; ++y) {
    uint32_t* row = bitmap.ScanLine(y);
    const double along = down ? (y + 0.5) / h : (h - y - 0.5) / h;
    for (int x = 0; x < w; ++x) {
      const double sweep = ((x + 0.5) / w + along) / 2;  // 0 .. 1
      row[x] = bandPixel[std::min(static_cast<size_t>(sweep * count), bandPixel.size() - 1)];
    }
  }
}

}  // namespace

void PaintGradient(TCanvas& canvas, const TRect& rect, TGradientDirection direction, TColor startColor,
                   TColor stopColor, uint8_t steps) {
  const int w = std::abs(rect.right - rect.left), h = std::abs(rect.bottom - rect.top);
  if (w == 0 || h == 0) return;
  const TColor start = vcl::ColorToRGB(startColor), stop = vcl::ColorToRGB(stopColor);
  std::unique_ptr<vcl::TBitmap> bitmap;
  try {
    bitmap = std::make_unique<vcl::TBitmap>(w, h);
  } catch (const vcl::EInvalidGraphic&) {
    return;  // larger than any off-screen bitmap can be
  }
  Painter painter(*bitmap);
  switch (direction) {
    case gdHorizontalEnd: PaintLinear(painter, false, false, start, stop, steps); break;
    case gdHorizontalCenter: PaintLinear(painter, false, true, start, stop, steps); break;
    case gdVerticalEnd: PaintLinear(painter, true, false, start, stop, steps); break;
    case gdVerticalCenter: PaintLinear(painter, true, true, start, stop, steps); break;
    case gdDiagonalUp:
    case gdDiagonalDown:
      if (start == stop)
        painter.Fill(TRect{0, 0, w, h}, start);
      else
        PaintDiagonal(*bitmap, direction == gdDiagonalDown, start, stop, steps);
      break;
    default: PaintBox(painter, direction, start, stop, steps); break;
  }
  win::BitBlt(canvas.Handle(), rect.left, rect.top, w, h, bitmap->Canvas()->Handle(), 0, 0, win::SRCCOPY);
}

}  // namespace qelo::ct
