// Pixel work shared by the drawing code: straight and premultiplied alpha,
// pixel boxes, exact blending, and running a Cairo drawing over a
// straight-alpha surface so that untouched pixels stay bit-identical.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>

#include "gdiplus/graphics.h"
#include "gdiplus/region.h"

namespace qelo::gdiplus::detail {

// A half-open box of pixels: x0 <= x < x1, y0 <= y < y1.
struct PixelBox {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool Empty() const { return x1 <= x0 || y1 <= y0; }
  int Width() const { return x1 - x0; }
  int Height() const { return y1 - y0; }
};

// A surface the drawing code can work on: word-aligned memory, a positive
// stride that holds a row and a size within the limits.
bool ValidSurface(const uint8_t* pixels, int width, int height, int stride);

PixelBox Intersect(PixelBox a, PixelBox b);
PixelBox WholeSurface(const Graphics::Surface& surface);
// The pixels `rect` reaches, grown by `margin` on every side.
PixelBox Enclosing(const RectF& rect, float margin = 0);

// `rect` cut to `box` grown by `margin`: Cairo's fixed-point coordinates
// cannot hold very large values, and nothing beyond the box is seen.
RectF Limit(const RectF& rect, PixelBox box, float margin = 1);

// Whether Cairo can use `box` of the surface as it stands: every pixel is
// opaque or all zero.
bool ReadsTheSamePremultiplied(const Graphics::Surface& surface, PixelBox box);

uint32_t Premultiply(uint32_t argb);
uint32_t Unpremultiply(uint32_t premultiplied);
// Source-over in straight alpha, rounded to nearest.
uint32_t BlendOver(uint32_t source, uint32_t destination);
// BlendOver of `count` pixels; runs of opaque source pixels are copied
// whole, which is what blending gives them.
void BlendRowOver(const uint32_t* source, uint32_t* destination, int count);

inline uint32_t* Row(const Graphics::Surface& surface, int y) {
  return reinterpret_cast<uint32_t*>(surface.pixels + static_cast<std::ptrdiff_t>(y) * surface.stride);
}

// A binary A8 mask of `region` over `box`, to be placed at (box.x0, box.y0).
// The caller destroys it.
cairo_surface_t* RasterizeRegion(const Region& region, PixelBox box);

// Runs `draw` (in surface coordinates, shapes not anti-aliased) over `box`
// of the surface, limited to `clip` when given.
using CairoDrawing = std::function<void(cairo_t*)>;
Status PaintThroughCairo(const Graphics::Surface& surface, PixelBox box, const Region* clip,
                         const CairoDrawing& draw);

}  // namespace qelo::gdiplus::detail
