#include "gdiplus/graphics.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "image_io.h"
#include "pixels.h"
#include "text.h"

namespace qelo::gdiplus {
namespace {

using detail::PixelBox;

bool Finite(const RectF& r) {
  return std::isfinite(r.X) && std::isfinite(r.Y) && std::isfinite(r.Width) && std::isfinite(r.Height);
}

bool WholePixels(const RectF& r) {
  return r.X == std::floor(r.X) && r.Y == std::floor(r.Y) && r.Width == std::floor(r.Width) &&
         r.Height == std::floor(r.Height) && std::abs(r.X) < 1e8f && std::abs(r.Y) < 1e8f;
}

// Source rectangles may overshoot the image by rounding, not by more.
bool WithinImage(const RectF& s, const Bitmap& image) {
  constexpr float kSlack = 1e-3f;
  return s.Width > 0 && s.Height > 0 && s.X >= -kSlack && s.Y >= -kSlack &&
         s.X + s.Width <= image.GetWidth() + kSlack && s.Y + s.Height <= image.GetHeight() + kSlack;
}

void SetSourceColor(cairo_t* cr, Color color) {
  cairo_set_source_rgba(cr, color.GetR() / 255.0, color.GetG() / 255.0, color.GetB() / 255.0, color.GetA() / 255.0);
}

Graphics::Surface SurfaceOf(const Bitmap& bitmap) {
  return {bitmap.Scan0(), bitmap.GetWidth(), bitmap.GetHeight(), bitmap.Stride()};
}

bool Overlaps(const Graphics::Surface& a, const Graphics::Surface& b) {
  const uint8_t* aEnd = a.pixels + static_cast<std::ptrdiff_t>(a.stride) * a.height;
  const uint8_t* bEnd = b.pixels + static_cast<std::ptrdiff_t>(b.stride) * b.height;
  return a.pixels < bEnd && b.pixels < aEnd;
}

// A copy of the source pixels a drawing reads, so that drawing an image onto
// itself reads none it has already written.
std::vector<uint32_t> CopyPixels(const Graphics::Surface& source, PixelBox box) {
  std::vector<uint32_t> copy;
  copy.reserve(static_cast<std::size_t>(box.Width()) * box.Height());
  for (int y = box.y0; y < box.y1; ++y) {
    const uint32_t* row = detail::Row(source, y);
    copy.insert(copy.end(), row + box.x0, row + box.x1);
  }
  return copy;
}

using SurfacePtr = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

// `box` of the image as Cairo reads it: exactly the pixels the source
// rectangle covers, so that nothing outside it is sampled. The image's own
// memory when it reads the same premultiplied and is not being drawn on,
// else a premultiplied copy.
SurfacePtr SourcePixels(const Graphics::Surface& image, PixelBox box, const Graphics::Surface& target) {
  if (!Overlaps(image, target) && detail::ReadsTheSamePremultiplied(image, box)) {
    return SurfacePtr(cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(detail::Row(image, box.y0) + box.x0),
                                                          CAIRO_FORMAT_ARGB32, box.Width(), box.Height(), image.stride),
                      cairo_surface_destroy);
  }
  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, box.Width(), box.Height()), cairo_surface_destroy);
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return surface;
  cairo_surface_flush(surface.get());
  uint8_t* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  for (int y = box.y0; y < box.y1; ++y) {
    const uint32_t* row = detail::Row(image, y);
    auto* out = reinterpret_cast<uint32_t*>(data + static_cast<std::ptrdiff_t>(y - box.y0) * stride);
    std::transform(row + box.x0, row + box.x1, out, detail::Premultiply);
  }
  cairo_surface_mark_dirty(surface.get());
  return surface;
}

// On and off lengths in pen widths, by DashStyle.
const std::vector<double> kDashPatterns[] = {{}, {3, 1}, {1, 1}, {3, 1, 1, 1}, {3, 1, 1, 1, 1, 1}};

std::vector<double> DashPattern(DashStyle style, double width) {
  const auto index = static_cast<std::size_t>(style);
  std::vector<double> pattern = index < std::size(kDashPatterns) ? kDashPatterns[index] : std::vector<double>{};
  for (double& length : pattern) length *= width;
  return pattern;
}

}  // namespace

Graphics::Graphics(Bitmap* bitmap) : bitmap_(bitmap) {
  valid_ = bitmap && bitmap->GetLastStatus() == Status::Ok;
  if (valid_) surface_ = SurfaceOf(*bitmap);
  status_ = valid_ ? Status::Ok : Status::InvalidParameter;
}

Graphics::Graphics(uint8_t* pixels, int width, int height, int stride) {
  valid_ = detail::ValidSurface(pixels, width, height, stride);
  if (valid_) surface_ = {pixels, width, height, stride};
  status_ = valid_ ? Status::Ok : Status::InvalidParameter;
}

Status Graphics::Ready() const {
  if (!valid_) return Status::InvalidParameter;
  if (bitmap_ && bitmap_->IsLocked()) return Status::WrongState;
  return Status::Ok;
}

Status Graphics::Done(Status status) { return status_ = status; }

const Region* Graphics::Clip() const { return clip_ && !clip_->IsInfinite() ? &*clip_ : nullptr; }

Status Graphics::Clear(Color color) {
  if (Status s = Ready(); s != Status::Ok) return Done(s);
  const uint32_t value = color.GetValue();
  const PixelBox whole = detail::WholeSurface(surface_);
  if (!Clip()) {
    for (int y = 0; y < surface_.height; ++y) std::fill_n(detail::Row(surface_, y), surface_.width, value);
    return Done(Status::Ok);
  }
  SurfacePtr mask(detail::RasterizeRegion(*Clip(), whole), cairo_surface_destroy);
  const uint8_t* coverage = cairo_image_surface_get_data(mask.get());
  const int maskStride = cairo_image_surface_get_stride(mask.get());
  for (int y = 0; y < surface_.height; ++y) {
    uint32_t* row = detail::Row(surface_, y);
    const uint8_t* inside = coverage + static_cast<std::ptrdiff_t>(y) * maskStride;
    for (int x = 0; x < surface_.width; ++x) {
      if (inside[x]) row[x] = value;
    }
  }
  return Done(Status::Ok);
}

Status Graphics::FillRectangle(const SolidBrush& brush, const RectF& rect) {
  if (Status s = Ready(); s != Status::Ok) return Done(s);
  if (!Finite(rect)) return Done(Status::InvalidParameter);
  return Done(detail::PaintThroughCairo(surface_, detail::Enclosing(rect), Clip(), [&](cairo_t* cr) {
    SetSourceColor(cr, brush.GetColor());
    const RectF visible = detail::Limit(rect, detail::WholeSurface(surface_));
    cairo_rectangle(cr, visible.X, visible.Y, visible.Width, visible.Height);
    cairo_fill(cr);
  }));
}

Status Graphics::FillRegion(const SolidBrush& brush, const Region& region) {
  if (Status s = Ready(); s != Status::Ok) return Done(s);
  const PixelBox box = detail::Intersect(detail::Enclosing(region.GetBounds()), detail::WholeSurface(surface_));
  if (box.Empty()) return Done(Status::Ok);
  return Done(detail::PaintThroughCairo(surface_, box, Clip(), [&](cairo_t* cr) {
    SurfacePtr mask(detail::RasterizeRegion(region, box), cairo_surface_destroy);
    SetSourceColor(cr, brush.GetColor());
    cairo_mask_surface(cr, mask.get(), box.x0, box.y0);
  }));
}

Status Graphics::DrawRectangle(const Pen& pen, const RectF& rect) {
  if (Status s = Ready(); s != Status::Ok) return Done(s);
  const float width = pen.GetWidth();
  if (!Finite(rect) || !std::isfinite(width) || width <= 0) return Done(Status::InvalidParameter);
  return Done(detail::PaintThroughCairo(surface_, detail::Enclosing(rect, width + 1), Clip(), [&](cairo_t* cr) {
    SetSourceColor(cr, pen.GetColor());
    cairo_set_line_width(cr, width);
    const std::vector<double> dashes = DashPattern(pen.GetDashStyle(), width);
    cairo_set_dash(cr, dashes.data(), static_cast<int>(dashes.size()), 0);
    // Sides beyond the surface are moved, not dropped, and stay out of sight.
    const RectF path = detail::Limit({rect.X + 0.5f, rect.Y + 0.5f, rect.Width, rect.Height},
                                     detail::WholeSurface(surface_), width + 2);
    cairo_rectangle(cr, path.X, path.Y, path.Width, path.Height);
    cairo_stroke(cr);
  }));
}

Status Graphics::DrawImage(const Bitmap& image, float x, float y) {
  const auto w = static_cast<float>(image.GetWidth()), h = static_cast<float>(image.GetHeight());
  return DrawImage(image, RectF{x, y, w, h}, RectF{0, 0, w, h});
}

Status Graphics::DrawImage(const Bitmap& image, const RectF& dest) {
  return DrawImage(image, dest, RectF{0, 0, static_cast<float>(image.GetWidth()), static_cast<float>(image.GetHeight())});
}

Status Graphics::DrawImage(const Bitmap& image, const RectF& dest, const RectF& source) {
  if (Status s = Ready(); s != Status::Ok) return Done(s);
  if (image.GetLastStatus() != Status::Ok || !Finite(dest) || !Finite(source) || !WithinImage(source, image) ||
      dest.Width <= 0 || dest.Height <= 0) {
    return Done(Status::InvalidParameter);
  }
  if (image.IsLocked()) return Done(Status::WrongState);
  const bool sameSize = dest.Width == source.Width && dest.Height == source.Height;
  if (sameSize && WholePixels(dest) && WholePixels(source) && !Clip()) return Done(DrawExact(image, dest, source));
  return Done(DrawScaled(image, dest, source));
}

// A pixel-for-pixel blend: opaque source pixels are copied exactly.
Status Graphics::DrawExact(const Bitmap& image, const RectF& dest, const RectF& source) {
  const int dx = static_cast<int>(dest.X), dy = static_cast<int>(dest.Y);
  const int sx = static_cast<int>(source.X), sy = static_cast<int>(source.Y);
  const PixelBox target = detail::Intersect(
      {dx, dy, dx + static_cast<int>(dest.Width), dy + static_cast<int>(dest.Height)}, detail::WholeSurface(surface_));
  if (target.Empty()) return Status::Ok;
  const Graphics::Surface from = SurfaceOf(image);
  const PixelBox read{target.x0 - dx + sx, target.y0 - dy + sy, target.x1 - dx + sx, target.y1 - dy + sy};
  const bool sameMemory = Overlaps(from, surface_);
  const std::vector<uint32_t> copy = sameMemory ? CopyPixels(from, read) : std::vector<uint32_t>{};
  for (int y = target.y0; y < target.y1; ++y) {
    const int line = y - target.y0;
    const uint32_t* next = sameMemory ? copy.data() + static_cast<std::ptrdiff_t>(line) * read.Width()
                                      : detail::Row(from, read.y0 + line) + read.x0;
    detail::BlendRowOver(next, detail::Row(surface_, y) + target.x0, target.Width());
  }
  return Status::Ok;
}

Status Graphics::DrawScaled(const Bitmap& image, const RectF& dest, const RectF& source) {
  const PixelBox read = detail::Intersect(detail::Enclosing(source), detail::WholeSurface(SurfaceOf(image)));
  SurfacePtr pixels = SourcePixels(SurfaceOf(image), read, surface_);
  if (cairo_surface_status(pixels.get()) != CAIRO_STATUS_SUCCESS) return Status::OutOfMemory;
  return detail::PaintThroughCairo(surface_, detail::Enclosing(dest), Clip(), [&](cairo_t* cr) {
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(pixels.get());
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_BILINEAR);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_matrix_t toSource;
    cairo_matrix_init_translate(&toSource, source.X - read.x0, source.Y - read.y0);
    cairo_matrix_scale(&toSource, source.Width / dest.Width, source.Height / dest.Height);
    cairo_matrix_translate(&toSource, -dest.X, -dest.Y);
    cairo_pattern_set_matrix(pattern, &toSource);
    cairo_set_source(cr, pattern);
    const RectF visible = detail::Limit(dest, detail::WholeSurface(surface_));
    cairo_rectangle(cr, visible.X, visible.Y, visible.Width, visible.Height);
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
  });
}

Status Graphics::DrawString(std::string_view text, const Font& font, PointF origin, const SolidBrush& brush) {
  if (Status s = Ready(); s != Status::Ok) return Done(s);
  if (font.GetLastStatus() != Status::Ok || !detail::IsValidText(text) || !std::isfinite(origin.X) ||
      !std::isfinite(origin.Y)) {
    return Done(Status::InvalidParameter);
  }
  if (text.empty()) return Done(Status::Ok);
  detail::LayoutPtr layout = detail::MakeLayout(text, font);
  RectF reach = detail::InkAndLogicalExtent(layout.get());
  reach.X += origin.X;
  reach.Y += origin.Y;
  return Done(detail::PaintThroughCairo(surface_, detail::Enclosing(reach, 2), Clip(), [&](cairo_t* cr) {
    pango_cairo_update_layout(cr, layout.get());
    SetSourceColor(cr, brush.GetColor());
    cairo_move_to(cr, origin.X, origin.Y);
    pango_cairo_show_layout(cr, layout.get());
  }));
}

Status Graphics::MeasureString(std::string_view text, const Font& font, PointF origin, RectF* bounds) {
  if (Status s = Ready(); s != Status::Ok) return Done(s);
  if (!bounds || font.GetLastStatus() != Status::Ok || !detail::IsValidText(text)) return Done(Status::InvalidParameter);
  const RectF extent = text.empty() ? RectF{} : detail::LogicalExtent(detail::MakeLayout(text, font).get());
  *bounds = {origin.X, origin.Y, extent.Width, extent.Height};
  return Done(Status::Ok);
}

Status Graphics::SetClip(const Region& region, CombineMode mode) {
  if (!valid_) return Done(Status::InvalidParameter);
  if (mode == CombineMode::Replace || !clip_) clip_.emplace();
  clip_->Combine(mode == CombineMode::Replace ? CombineMode::Intersect : mode, region);
  return Done(Status::Ok);
}

void Graphics::ResetClip() { clip_.reset(); }

}  // namespace qelo::gdiplus
