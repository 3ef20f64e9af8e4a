// Writing pixels through a context's clip: raster operations, inks (pen
// colours and brushes), coverage masks and the spans they are painted in.
#pragma once

#include <functional>
#include <vector>

#include "gdi/objects.h"

namespace qelo::win {

// Ternary raster operations: bit (P << 2 | S << 1 | D) of the table gives
// the result bit. Applied to the colour bits; results are opaque.
Pixel ApplyRop3(uint8_t table, Pixel p, Pixel s, Pixel d);
uint8_t Rop3Table(uint32_t rop);
// The ternary table of a binary (pen) mix mode R2_*.
uint8_t Rop2Table(int mode);
bool RopUsesPattern(uint8_t table);
bool RopUsesSource(uint8_t table);

// The colour a pen, brush or text paints at a device pixel.
class Ink {
 public:
  static Ink Solid(const DeviceContext& dc, COLORREF color);
  // nullopt-like empty ink for a null brush.
  static Ink FromBrush(const DeviceContext& dc, const BrushObject* brush);
  bool Empty() const { return empty_; }
  bool Uniform() const { return !empty_ && !patterned_; }
  Pixel At(int x, int y) const {
    if (!patterned_) return solid_;
    return pattern_[((y - origin_.y) & 7) * 8 + ((x - origin_.x) & 7)];
  }

 private:
  bool empty_ = true;
  bool patterned_ = false;
  Pixel solid_ = 0;
  std::array<Pixel, 64> pattern_{};
  POINT origin_;
};

// A rectangle of coverage values (0..255) in device units.
struct Mask {
  RECT box;
  std::vector<uint8_t> coverage;
  int Width() const { return box.right - box.left; }
  int Height() const { return box.bottom - box.top; }
  uint8_t At(int x, int y) const {
    return coverage[static_cast<size_t>(y - box.top) * Width() + (x - box.left)];
  }
  uint8_t& At(int x, int y) {
    return coverage[static_cast<size_t>(y - box.top) * Width() + (x - box.left)];
  }
  static Mask Blank(const RECT& box);
};

// The bitmap pixels of one context, seen through its visible region.
class Target {
 public:
  explicit Target(DeviceContext& dc);
  bool Valid() const { return bitmap_ != nullptr; }
  // Calls f(y, x0, x1) for each visible run of `box` (device units, right
  // and bottom exclusive), optionally also inside `limit`.
  void ForEachSpan(const RECT& box, const std::function<void(int, int, int)>& f,
                   const RECT* limit = nullptr) const;
  Pixel* Row(int y) const { return bitmap_->Row(y + origin_.y) + origin_.x; }
  bool Mono() const { return bitmap_->mono; }
  bool Visible(int x, int y) const;

 private:
  HBITMAP bitmap_ = nullptr;
  POINT origin_;
  RegionPtr visible_;
};

// Fills a device rectangle with the ink under a ternary operation.
void FillBox(const Target& target, const RECT& box, const Ink& ink, uint8_t table);
// Paints the mask's covered pixels with the ink; partial coverage blends
// (copy only; on monochrome bitmaps coverage is cut at half).
void PaintMask(const Target& target, const Mask& mask, const Ink& ink, uint8_t table,
               const RECT* limit = nullptr);

// Rasterises a filled path (device units) without antialiasing: a pixel is
// covered when its centre is inside.
Mask FillPathMask(const RECT& box, const std::function<void(cairo_t*)>& path, bool winding);
// Pixels of the mask within `width` steps (4-neighbour) of its outside.
Mask OutlineOf(const Mask& filled, int width);

// Visits the pixels of a one-pixel line from a to b, b left out, as the
// classic line algorithm steps them, with each pixel's step number; steps
// whose major-axis coordinate is outside `window` are skipped without cost.
void StepLine(POINT a, POINT b, const RECT& window, const std::function<void(POINT, int64_t)>& visit);
// The number of pixels StepLine steps from a to b.
int64_t LineSteps(POINT a, POINT b);

}  // namespace qelo::win
