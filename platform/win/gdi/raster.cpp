#include "gdi/raster.h"

#include <algorithm>
#include <cstdlib>

namespace qelo::win {

Pixel ApplyRop3(uint8_t table, Pixel p, Pixel s, Pixel d) {
  constexpr Pixel kOpaque = 0xFF000000u;
  switch (table) {  // the common ones without walking the truth table
    case 0x88: return (s & d) | kOpaque;
    case 0xEE: return (s | d) | kOpaque;
    case 0x66: return (s ^ d) | kOpaque;
    case 0xBB: return (~s | d) | kOpaque;
    case 0x33: return ~s | kOpaque;
    case 0x55: return ~d | kOpaque;
    case 0x5A: return (p ^ d) | kOpaque;
  }
  Pixel result = 0;
  for (int i = 0; i < 8; ++i) {
    if (((table >> i) & 1) == 0) continue;
    result |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  }
  return (result & 0x00FFFFFFu) | 0xFF000000u;
}

uint8_t Rop3Table(uint32_t rop) { return static_cast<uint8_t>((rop >> 16) & 0xFF); }

uint8_t Rop2Table(int mode) {
  const int binary = std::clamp(mode, R2_BLACK, R2_WHITE) - 1;
  uint8_t table = 0;
  for (int i = 0; i < 8; ++i) {
    const int pen = (i >> 2) & 1;
    const int dest = i & 1;
    if ((binary >> (pen * 2 + dest)) & 1) table |= static_cast<uint8_t>(1 << i);
  }
  return table;
}

bool RopUsesPattern(uint8_t t) { return ((t >> 4) & 0x0F) != (t & 0x0F); }
bool RopUsesSource(uint8_t t) { return ((t >> 2) & 0x33) != (t & 0x33); }

// ---- inks ----------------------------------------------------------------

Ink Ink::Solid(const DeviceContext& dc, COLORREF color) {
  Ink ink;
  ink.empty_ = false;
  ink.solid_ = DevicePixel(dc, color);
  return ink;
}

Ink Ink::FromBrush(const DeviceContext& dc, const BrushObject* brush) {
  if (brush == nullptr || brush->style == BrushObject::Style::Null) return Ink{};
  if (brush->style == BrushObject::Style::Solid) return Solid(dc, brush->color);
  Ink ink;
  ink.empty_ = false;
  ink.patterned_ = true;
  ink.origin_ = dc.state.brushOrigin;
  const Pixel zero = DevicePixel(dc, dc.state.textColor);
  const Pixel one = DevicePixel(dc, dc.state.bkColor);
  for (size_t i = 0; i < ink.pattern_.size(); ++i) {
    const Pixel p = brush->pattern[i];
    if (brush->monoPattern) {
      ink.pattern_[i] = (p & 0xFFFFFF) ? one : zero;
    } else {
      ink.pattern_[i] = dc.bitmap->mono ? NearestMono(ToColor(p)) : p;
    }
  }
  return ink;
}

// ---- masks ---------------------------------------------------------------

Mask Mask::Blank(const RECT& box) {
  Mask mask;
  mask.box = box;
  mask.coverage.assign(static_cast<size_t>(std::max(0, box.right - box.left)) *
                           std::max(0, box.bottom - box.top),
                       0);
  return mask;
}

Mask FillPathMask(const RECT& box, const std::function<void(cairo_t*)>& path, bool winding) {
  Mask mask = Mask::Blank(box);
  if (mask.coverage.empty()) return mask;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, mask.Width(), mask.Height());
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_fill_rule(cr, winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
  cairo_translate(cr, -box.left, -box.top);
  path(cr);
  cairo_fill(cr);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < mask.Height(); ++y) {
    for (int x = 0; x < mask.Width(); ++x) {
      mask.coverage[static_cast<size_t>(y) * mask.Width() + x] = data[y * stride + x] >= 128 ? 255 : 0;
    }
  }
  cairo_surface_destroy(surface);
  return mask;
}

Mask OutlineOf(const Mask& filled, int width) {
  // City-block distance of every covered pixel to the nearest uncovered one
  // (outside the box counts as uncovered), in one pass down and one up.
  const int w = filled.Width();
  const int h = filled.Height();
  std::vector<int> distance(filled.coverage.size());
  auto at = [&](int x, int y) -> int& { return distance[static_cast<size_t>(y) * w + x]; };
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (filled.coverage[static_cast<size_t>(y) * w + x] == 0) {
        at(x, y) = 0;
        continue;
      }
      const int up = y > 0 ? at(x, y - 1) : 0;
      const int left = x > 0 ? at(x - 1, y) : 0;
      at(x, y) = std::min(up, left) + 1;
    }
  }
  for (int y = h - 1; y >= 0; --y) {
    for (int x = w - 1; x >= 0; --x) {
      const int down = y + 1 < h ? at(x, y + 1) : 0;
      const int right = x + 1 < w ? at(x + 1, y) : 0;
      at(x, y) = std::min(at(x, y), std::min(down, right) + 1);
    }
  }
  Mask outline = filled;
  for (size_t i = 0; i < outline.coverage.size(); ++i) {
    if (distance[i] > width) outline.coverage[i] = 0;
  }
  return outline;
}

void StepLine(POINT a, POINT b, const RECT& window, const std::function<void(POINT, int64_t)>& visit) {
  const bool xMajor = std::abs(int64_t{b.x} - a.x) >= std::abs(int64_t{b.y} - a.y);
  // Walk along the major axis; the minor axis follows the error term,
  // rounding halfway points toward the start.
  const int64_t major0 = xMajor ? a.x : a.y;
  const int64_t minor0 = xMajor ? a.y : a.x;
  const int64_t dMajor = std::abs((xMajor ? int64_t{b.x} : int64_t{b.y}) - major0);
  const int64_t dMinor = std::abs((xMajor ? int64_t{b.y} : int64_t{b.x}) - minor0);
  const int sMajor = (xMajor ? a.x < b.x : a.y < b.y) ? 1 : -1;
  const int sMinor = (xMajor ? a.y < b.y : a.x < b.x) ? 1 : -1;
  // Only the steps whose major coordinate lies in the window are visited.
  const int64_t low = xMajor ? window.left : window.top;
  const int64_t high = (xMajor ? window.right : window.bottom) - 1;
  int64_t first = sMajor > 0 ? low - major0 : major0 - high;
  int64_t last = sMajor > 0 ? high - major0 : major0 - low;
  first = std::max<int64_t>(first, 0);
  last = std::min<int64_t>(last, dMajor - 1);
  for (int64_t i = first; i <= last; ++i) {
    // Minor steps taken after i major steps: the fewest that keep the
    // error 2 * dMinor * i - 2 * dMajor * m at or below dMajor.
    const int64_t excess = 2 * dMinor * i - dMajor;
    const int64_t m = excess <= 0 ? 0 : (excess + 2 * dMajor - 1) / (2 * dMajor);
    const int64_t major = major0 + sMajor * i;
    const int64_t minor = minor0 + sMinor * m;
    visit(xMajor ? POINT{static_cast<int>(major), static_cast<int>(minor)}
                 : POINT{static_cast<int>(minor), static_cast<int>(major)},
          i);
  }
}

int64_t LineSteps(POINT a, POINT b) {
  return std::max(std::abs(int64_t{b.x} - a.x), std::abs(int64_t{b.y} - a.y));
}

// ---- targets -------------------------------------------------------------

Target::Target(DeviceContext& dc) : bitmap_(dc.bitmap), origin_(dc.areaOrigin), visible_(VisibleRegion(dc)) {}

void Target::ForEachSpan(const RECT& box, const std::function<void(int, int, int)>& f,
                         const RECT* limit) const {
  RegionPtr area = MakeRegion(box);
  cairo_region_intersect(area.get(), visible_.get());
  if (limit) {
    RegionPtr extra = MakeRegion(*limit);
    cairo_region_intersect(area.get(), extra.get());
  }
  const int n = cairo_region_num_rectangles(area.get());
  for (int i = 0; i < n; ++i) {
    cairo_rectangle_int_t r;
    cairo_region_get_rectangle(area.get(), i, &r);
    for (int y = r.y; y < r.y + r.height; ++y) f(y, r.x, r.x + r.width);
  }
}

bool Target::Visible(int x, int y) const { return cairo_region_contains_point(visible_.get(), x, y); }

void FillBox(const Target& target, const RECT& box, const Ink& ink, uint8_t table) {
  if (ink.Empty() && RopUsesPattern(table)) return;
  target.ForEachSpan(box, [&](int y, int x0, int x1) {
    Pixel* row = target.Row(y);
    if (table == 0xF0 && ink.Uniform()) {
      std::fill(row + x0, row + x1, ink.At(x0, y));
      return;
    }
    for (int x = x0; x < x1; ++x) {
      const Pixel p = ink.Empty() ? 0 : ink.At(x, y);
      row[x] = table == 0xF0 ? p : ApplyRop3(table, p, 0, row[x]);
    }
  });
}

namespace {

Pixel Blend(Pixel ink, Pixel dest, int coverage) {
  Pixel out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const int i = (ink >> shift) & 0xFF;
    const int d = (dest >> shift) & 0xFF;
    out |= static_cast<Pixel>(d + ((i - d) * coverage + 127) / 255) << shift;
  }
  return out;
}

}  // namespace

void PaintMask(const Target& target, const Mask& mask, const Ink& ink, uint8_t table,
               const RECT* limit) {
  if (ink.Empty() && RopUsesPattern(table)) return;
  const bool blend = table == 0xF0 && !target.Mono();
  target.ForEachSpan(
      mask.box,
      [&](int y, int x0, int x1) {
        Pixel* row = target.Row(y);
        const uint8_t* cover =
            mask.coverage.data() + static_cast<ptrdiff_t>(y - mask.box.top) * mask.Width() - mask.box.left;
        for (int x = x0; x < x1; ++x) {
          const int coverage = cover[x];
          if (coverage == 0) continue;
          const Pixel p = ink.Empty() ? 0 : ink.At(x, y);
          if (blend && coverage < 255) {
            row[x] = Blend(p, row[x], coverage);
          } else if (coverage >= 128) {
            row[x] = table == 0xF0 ? p : ApplyRop3(table, p, 0, row[x]);
          }
        }
      },
      limit);
}

}  // namespace qelo::win
