#include "pixels.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "image_io.h"

namespace qelo::gdiplus::detail {
namespace {

uint32_t Alpha(uint32_t argb) { return argb >> 24; }

uint32_t Channel(uint32_t argb, int shift) { return argb >> shift & 0xFF; }

// x * a / 255 rounded to nearest, for x, a in 0..255.
uint32_t MulDiv255(uint32_t x, uint32_t a) {
  const uint32_t t = x * a + 128;
  return (t + (t >> 8)) >> 8;
}

// In premultiplied form these pixels have the same bytes as in straight form.
bool IsNeutral(uint32_t argb) { return Alpha(argb) == 255 || argb == 0; }

using SurfacePtr = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using ContextPtr = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

void RunDrawing(cairo_surface_t* target, PixelBox box, const Region* clip, const CairoDrawing& draw) {
  ContextPtr cr(cairo_create(target), cairo_destroy);
  cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_NONE);
  cairo_translate(cr.get(), -box.x0, -box.y0);
  if (!clip) {
    draw(cr.get());
  } else {
    SurfacePtr mask(RasterizeRegion(*clip, box), cairo_surface_destroy);
    cairo_push_group(cr.get());
    draw(cr.get());
    cairo_pop_group_to_source(cr.get());
    cairo_mask_surface(cr.get(), mask.get(), box.x0, box.y0);
  }
  cairo_surface_flush(target);
}

// Fast path: every pixel of the box reads the same premultiplied, so Cairo
// draws on the caller's memory; only pixels it left semi-transparent need
// turning back into straight alpha.
Status PaintInPlace(const Graphics::Surface& surface, PixelBox box, const Region* clip, const CairoDrawing& draw) {
  SurfacePtr target(cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(Row(surface, box.y0) + box.x0),
                                                        CAIRO_FORMAT_ARGB32, box.Width(), box.Height(), surface.stride),
                    cairo_surface_destroy);
  if (cairo_surface_status(target.get()) != CAIRO_STATUS_SUCCESS) return Status::OutOfMemory;
  RunDrawing(target.get(), box, clip, draw);
  for (int y = box.y0; y < box.y1; ++y) {
    uint32_t* row = Row(surface, y);
    for (int x = box.x0; x < box.x1; ++x) {
      if (!IsNeutral(row[x])) row[x] = Unpremultiply(row[x]);
    }
  }
  return Status::Ok;
}

// General path: draw on a premultiplied copy and write back only the pixels
// the drawing changed.
Status PaintOnCopy(const Graphics::Surface& surface, PixelBox box, const Region* clip, const CairoDrawing& draw) {
  SurfacePtr scratch(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, box.Width(), box.Height()), cairo_surface_destroy);
  if (cairo_surface_status(scratch.get()) != CAIRO_STATUS_SUCCESS) return Status::OutOfMemory;
  cairo_surface_flush(scratch.get());
  const int scratchStride = cairo_image_surface_get_stride(scratch.get());
  auto scratchRow = [&](int y) {
    return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(scratch.get()) +
                                       static_cast<std::ptrdiff_t>(y - box.y0) * scratchStride);
  };
  std::vector<uint32_t> before;
  before.reserve(static_cast<std::size_t>(box.Width()) * box.Height());
  for (int y = box.y0; y < box.y1; ++y) {
    const uint32_t* source = Row(surface, y);
    uint32_t* copy = scratchRow(y);
    for (int x = box.x0; x < box.x1; ++x) copy[x - box.x0] = Premultiply(source[x]);
    before.insert(before.end(), copy, copy + box.Width());
  }
  cairo_surface_mark_dirty(scratch.get());
  RunDrawing(scratch.get(), box, clip, draw);
  const uint32_t* old = before.data();
  for (int y = box.y0; y < box.y1; ++y) {
    uint32_t* row = Row(surface, y);
    const uint32_t* drawn = scratchRow(y);
    for (int x = 0; x < box.Width(); ++x, ++old) {
      if (drawn[x] != *old) row[box.x0 + x] = Unpremultiply(drawn[x]);
    }
  }
  return Status::Ok;
}

void ApplyStep(cairo_t* cr, const Region::Step& step, PixelBox box);

// Paints `region` as full coverage onto the current target of `cr`.
void PaintRegion(cairo_t* cr, const Region& region, PixelBox box) {
  SurfacePtr mask(RasterizeRegion(region, box), cairo_surface_destroy);
  cairo_set_source_rgba(cr, 0, 0, 0, 1);
  cairo_mask_surface(cr, mask.get(), box.x0, box.y0);
}

cairo_operator_t OperatorFor(CombineMode mode) {
  switch (mode) {
    case CombineMode::Replace: return CAIRO_OPERATOR_SOURCE;
    case CombineMode::Intersect: return CAIRO_OPERATOR_IN;
    case CombineMode::Union: return CAIRO_OPERATOR_OVER;
    case CombineMode::Xor: return CAIRO_OPERATOR_XOR;
    case CombineMode::Exclude: return CAIRO_OPERATOR_DEST_OUT;
  }
  return CAIRO_OPERATOR_OVER;
}

void ApplyStep(cairo_t* cr, const Region::Step& step, PixelBox box) {
  // The step's shape goes into a group so that unbounded operators (source,
  // in) also act outside the shape; save and restore keep the operator of
  // this step from the next one.
  cairo_save(cr);
  cairo_push_group_with_content(cr, CAIRO_CONTENT_ALPHA);
  if (step.region) {
    PaintRegion(cr, *step.region, box);
  } else {
    const RectF r = Limit(step.rect, box);
    cairo_rectangle(cr, r.X, r.Y, r.Width, r.Height);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    cairo_fill(cr);
  }
  cairo_pop_group_to_source(cr);
  cairo_set_operator(cr, OperatorFor(step.mode));
  cairo_paint(cr);
  cairo_restore(cr);
}

}  // namespace

bool ReadsTheSamePremultiplied(const Graphics::Surface& surface, PixelBox box) {
  for (int y = box.y0; y < box.y1; ++y) {
    const uint32_t* row = Row(surface, y);
    if (!std::all_of(row + box.x0, row + box.x1, IsNeutral)) return false;
  }
  return true;
}

bool ValidSurface(const uint8_t* pixels, int width, int height, int stride) {
  return pixels && reinterpret_cast<uintptr_t>(pixels) % 4 == 0 && width > 0 && height > 0 &&
         SizeAllowed(width, height) && stride % 4 == 0 && stride / 4 >= width;
}

PixelBox Intersect(PixelBox a, PixelBox b) {
  return {std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
}

PixelBox WholeSurface(const Graphics::Surface& surface) { return {0, 0, surface.width, surface.height}; }

PixelBox Enclosing(const RectF& rect, float margin) {
  auto clampToInt = [](double v) { return static_cast<int>(std::clamp(v, -1e9, 1e9)); };
  return {clampToInt(std::floor(rect.X - margin)), clampToInt(std::floor(rect.Y - margin)),
          clampToInt(std::ceil(double{rect.X} + rect.Width + margin)),
          clampToInt(std::ceil(double{rect.Y} + rect.Height + margin))};
}

RectF Limit(const RectF& rect, PixelBox box, float margin) {
  const float x0 = std::max(rect.X, box.x0 - margin), y0 = std::max(rect.Y, box.y0 - margin);
  const float x1 = std::min(rect.X + rect.Width, box.x1 + margin), y1 = std::min(rect.Y + rect.Height, box.y1 + margin);
  if (x1 < x0 || y1 < y0) return {};
  return {x0, y0, x1 - x0, y1 - y0};
}

uint32_t Premultiply(uint32_t argb) {
  const uint32_t a = Alpha(argb);
  if (a == 255) return argb;
  return a << 24 | MulDiv255(Channel(argb, 16), a) << 16 | MulDiv255(Channel(argb, 8), a) << 8 |
         MulDiv255(Channel(argb, 0), a);
}

uint32_t Unpremultiply(uint32_t premultiplied) {
  const uint32_t a = Alpha(premultiplied);
  if (a == 255) return premultiplied;
  if (a == 0) return 0;
  auto channel = [&](int shift) { return std::min<uint32_t>(255, (Channel(premultiplied, shift) * 255 + a / 2) / a); };
  return a << 24 | channel(16) << 16 | channel(8) << 8 | channel(0);
}

uint32_t BlendOver(uint32_t source, uint32_t destination) {
  const uint32_t sa = Alpha(source);
  if (sa == 255) return source;
  if (sa == 0) return destination;
  const uint32_t da = Alpha(destination);
  if (da == 255) {
    // The same rounding as below with the division by a constant.
    auto channel = [&](int shift) {
      return (Channel(source, shift) * sa + Channel(destination, shift) * (255 - sa) + 127) / 255;
    };
    return 0xFF000000u | channel(16) << 16 | channel(8) << 8 | channel(0);
  }
  // Colour weights scaled by 255: the source's sa * 255, the destination's
  // da * (255 - sa).
  const uint32_t sourceWeight = sa * 255;
  const uint32_t destinationWeight = da * (255 - sa);
  const uint32_t total = sourceWeight + destinationWeight;
  auto channel = [&](int shift) {
    return (Channel(source, shift) * sourceWeight + Channel(destination, shift) * destinationWeight + total / 2) / total;
  };
  return (total + 127) / 255 << 24 | channel(16) << 16 | channel(8) << 8 | channel(0);
}

void BlendRowOver(const uint32_t* source, uint32_t* destination, int count) {
  int x = 0;
  while (x < count) {
    int opaque = x;
    while (opaque < count && Alpha(source[opaque]) == 255) ++opaque;
    std::memcpy(destination + x, source + x, static_cast<size_t>(opaque - x) * sizeof(uint32_t));
    for (x = opaque; x < count && Alpha(source[x]) != 255; ++x) destination[x] = BlendOver(source[x], destination[x]);
  }
}

cairo_surface_t* RasterizeRegion(const Region& region, PixelBox box) {
  cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, std::max(box.Width(), 1), std::max(box.Height(), 1));
  ContextPtr cr(cairo_create(mask), cairo_destroy);
  cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_NONE);
  cairo_translate(cr.get(), -box.x0, -box.y0);
  if (region.GetStart() == Region::Start::Infinite) cairo_paint(cr.get());
  for (const Region::Step& step : region.GetSteps()) ApplyStep(cr.get(), step, box);
  cairo_surface_flush(mask);
  return mask;
}

Status PaintThroughCairo(const Graphics::Surface& surface, PixelBox box, const Region* clip, const CairoDrawing& draw) {
  box = Intersect(box, WholeSurface(surface));
  if (box.Empty()) return Status::Ok;
  if (ReadsTheSamePremultiplied(surface, box)) return PaintInPlace(surface, box, clip, draw);
  return PaintOnCopy(surface, box, clip, draw);
}

}  // namespace qelo::gdiplus::detail
