#include "drawing.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace qelo::skin {

Picture::Picture(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {}

Picture::~Picture() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

bool Picture::WritePng(const std::string& path) const {
  cairo_surface_flush(surface_);
  return cairo_surface_write_to_png(surface_, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

namespace {

void Put16(std::vector<uint8_t>& out, unsigned v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& out, unsigned v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

std::vector<Rgb> Picture::KeyedPixels(Rgb edgeBackground) const {
  cairo_surface_flush(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  std::vector<Rgb> pixels;
  pixels.reserve(static_cast<size_t>(width_) * height_);
  for (int y = 0; y < height_; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
    for (int x = 0; x < width_; ++x) {
      const uint32_t p = row[x];
      const unsigned a = p >> 24;
      if (a == 0) {
        pixels.push_back(palette::kOlive);
        continue;
      }
      // Premultiplied colour over the background.
      Rgb out = 0;
      for (int shift : {16, 8, 0}) {
        const unsigned channel = ((p >> shift) & 0xFF) + ((edgeBackground >> shift) & 0xFF) * (255 - a) / 255;
        out |= std::min(channel, 255u) << shift;
      }
      pixels.push_back(out);
    }
  }
  return pixels;
}

bool Picture::WriteKeyedBmp(const std::string& path, Rgb edgeBackground) const {
  const std::vector<Rgb> pixels = KeyedPixels(edgeBackground);
  const int rowBytes = (width_ * 3 + 3) & ~3;
  std::vector<uint8_t> out;
  out.reserve(54 + static_cast<size_t>(rowBytes) * height_);
  out.push_back('B');
  out.push_back('M');
  Put32(out, 54 + rowBytes * height_);
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);  // BITMAPINFOHEADER
  Put32(out, width_);
  Put32(out, height_);  // rows bottom up
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);
  Put32(out, rowBytes * height_);
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = height_ - 1; y >= 0; --y) {
    for (int x = 0; x < width_; ++x) {
      const Rgb p = pixels[static_cast<size_t>(y) * width_ + x];
      out.push_back(p & 0xFF);
      out.push_back((p >> 8) & 0xFF);
      out.push_back((p >> 16) & 0xFF);
    }
    for (int pad = width_ * 3; pad < rowBytes; ++pad) out.push_back(0);
  }
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
  return std::fclose(file) == 0 && written;
}

bool Picture::WriteKeyedPng(const std::string& path, Rgb edgeBackground) const {
  const std::vector<Rgb> pixels = KeyedPixels(edgeBackground);
  cairo_surface_t* opaque = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_);
  unsigned char* data = cairo_image_surface_get_data(opaque);
  const int stride = cairo_image_surface_get_stride(opaque);
  for (int y = 0; y < height_; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
    for (int x = 0; x < width_; ++x) row[x] = 0xFF000000u | pixels[static_cast<size_t>(y) * width_ + x];
  }
  cairo_surface_mark_dirty(opaque);
  const bool written = cairo_surface_write_to_png(opaque, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(opaque);
  return written;
}

void FillRect(cairo_t* cr, double x, double y, double w, double h, Rgb colour) {
  cairo_rectangle(cr, x, y, w, h);
  SetColour(cr, colour);
  cairo_fill(cr);
}

void FillRounded(cairo_t* cr, double x, double y, double w, double h, double radius, Rgb colour) {
  RoundedRectangle(cr, x, y, w, h, radius);
  SetColour(cr, colour);
  cairo_fill(cr);
}

void StrokeRounded(cairo_t* cr, double x, double y, double w, double h, double radius, Rgb colour) {
  RoundedRectangle(cr, x + 0.5, y + 0.5, w - 1, h - 1, radius);
  SetColour(cr, colour);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

namespace {

PangoLayout* TextLayout(cairo_t* cr, const std::string& text, int pixels, bool bold) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  const std::string font = std::string("DejaVu Sans") + (bold ? " Bold " : " ") + std::to_string(pixels) + "px";
  PangoFontDescription* description = pango_font_description_from_string(font.c_str());
  pango_layout_set_font_description(layout, description);
  pango_font_description_free(description);
  pango_layout_set_text(layout, text.c_str(), -1);
  return layout;
}

}  // namespace

int TextWidth(cairo_t* cr, const std::string& text, int pixels, bool bold) {
  PangoLayout* layout = TextLayout(cr, text, pixels, bold);
  int w = 0, h = 0;
  pango_layout_get_pixel_size(layout, &w, &h);
  g_object_unref(layout);
  return w;
}

void Text(cairo_t* cr, const std::string& text, double x, double y, double width, int pixels, Rgb colour,
          bool bold, Align align, double boxHeight) {
  PangoLayout* layout = TextLayout(cr, text, pixels, bold);
  int w = 0, h = 0;
  pango_layout_get_pixel_size(layout, &w, &h);
  double left = x;
  if (align == Align::kCenter) left = x + std::round((width - w) / 2);
  if (align == Align::kRight) left = x + width - w;
  const double top = boxHeight > 0 ? y + std::round((boxHeight - h) / 2) : y;
  SetColour(cr, colour);
  cairo_move_to(cr, left, top);
  pango_cairo_show_layout(cr, layout);
  g_object_unref(layout);
}

void Triangle(cairo_t* cr, double x, double y, double w, double h, Direction d, Rgb colour) {
  switch (d) {
    case Direction::kDown:
      cairo_move_to(cr, x, y);
      cairo_line_to(cr, x + w, y);
      cairo_line_to(cr, x + w / 2, y + h);
      break;
    case Direction::kUp:
      cairo_move_to(cr, x, y + h);
      cairo_line_to(cr, x + w, y + h);
      cairo_line_to(cr, x + w / 2, y);
      break;
    case Direction::kRight:
      cairo_move_to(cr, x, y);
      cairo_line_to(cr, x + w, y + h / 2);
      cairo_line_to(cr, x, y + h);
      break;
    case Direction::kLeft:
      cairo_move_to(cr, x + w, y);
      cairo_line_to(cr, x, y + h / 2);
      cairo_line_to(cr, x + w, y + h);
      break;
  }
  cairo_close_path(cr);
  SetColour(cr, colour);
  cairo_fill(cr);
}

void PlayGlyph(cairo_t* cr, double x, double y, double s, Rgb colour) {
  Triangle(cr, x + s * 0.28, y + s * 0.2, s * 0.5, s * 0.6, Direction::kRight, colour);
}

void PauseGlyph(cairo_t* cr, double x, double y, double s, Rgb colour) {
  FillRect(cr, x + s * 0.27, y + s * 0.22, s * 0.17, s * 0.56, colour);
  FillRect(cr, x + s * 0.56, y + s * 0.22, s * 0.17, s * 0.56, colour);
}

void StopGlyph(cairo_t* cr, double x, double y, double s, Rgb colour) {
  FillRounded(cr, x + s * 0.26, y + s * 0.26, s * 0.48, s * 0.48, s * 0.05, colour);
}

void CameraGlyph(cairo_t* cr, double x, double y, double s, Rgb colour) {
  // Drawn on a layer of its own so that its cut-outs show what lies below.
  cairo_push_group(cr);
  FillRounded(cr, x + s * 0.14, y + s * 0.3, s * 0.72, s * 0.5, s * 0.08, colour);
  FillRect(cr, x + s * 0.36, y + s * 0.22, s * 0.28, s * 0.12, colour);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_arc(cr, x + s * 0.5, y + s * 0.55, s * 0.15, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  cairo_arc(cr, x + s * 0.5, y + s * 0.55, s * 0.09, 0, 2 * M_PI);
  SetColour(cr, colour);
  cairo_fill(cr);
  cairo_pop_group_to_source(cr);
  cairo_paint(cr);
}

void FolderGlyph(cairo_t* cr, double x, double y, double s, Rgb colour) {
  FillRounded(cr, x + s * 0.12, y + s * 0.24, s * 0.34, s * 0.2, s * 0.05, colour);
  FillRounded(cr, x + s * 0.12, y + s * 0.32, s * 0.76, s * 0.46, s * 0.06, colour);
}

void PlusGlyph(cairo_t* cr, double x, double y, double s, Rgb colour) {
  FillRect(cr, x + s * 0.42, y + s * 0.2, s * 0.16, s * 0.6, colour);
  FillRect(cr, x + s * 0.2, y + s * 0.42, s * 0.6, s * 0.16, colour);
}

void PenGlyph(cairo_t* cr, double x, double y, double s, Rgb colour) {
  cairo_save(cr);
  cairo_translate(cr, x + s * 0.5, y + s * 0.5);
  cairo_rotate(cr, M_PI / 4);
  FillRect(cr, -s * 0.09, -s * 0.38, s * 0.18, s * 0.56, colour);
  cairo_move_to(cr, -s * 0.09, s * 0.22);
  cairo_line_to(cr, s * 0.09, s * 0.22);
  cairo_line_to(cr, 0, s * 0.38);
  cairo_close_path(cr);
  cairo_fill(cr);
  cairo_restore(cr);
}

void MergeGlyph(cairo_t* cr, double x, double y, double s, Rgb colour) {
  SetColour(cr, colour);
  cairo_set_line_width(cr, s * 0.12);
  cairo_move_to(cr, x + s * 0.2, y + s * 0.22);
  cairo_curve_to(cr, x + s * 0.45, y + s * 0.22, x + s * 0.45, y + s * 0.5, x + s * 0.62, y + s * 0.5);
  cairo_move_to(cr, x + s * 0.2, y + s * 0.78);
  cairo_curve_to(cr, x + s * 0.45, y + s * 0.78, x + s * 0.45, y + s * 0.5, x + s * 0.62, y + s * 0.5);
  cairo_stroke(cr);
  Triangle(cr, x + s * 0.6, y + s * 0.36, s * 0.24, s * 0.28, Direction::kRight, colour);
}

void GearGlyph(cairo_t* cr, double x, double y, double s, Rgb colour) {
  // Drawn on a layer of its own so that its cut-outs show what lies below.
  cairo_push_group(cr);
  const double cx = x + s / 2, cy = y + s / 2;
  SetColour(cr, colour);
  for (int i = 0; i < 8; ++i) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, i * M_PI / 4);
    cairo_rectangle(cr, -s * 0.07, -s * 0.4, s * 0.14, s * 0.2);
    cairo_fill(cr);
    cairo_restore(cr);
  }
  cairo_arc(cr, cx, cy, s * 0.27, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_arc(cr, cx, cy, s * 0.11, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  cairo_pop_group_to_source(cr);
  cairo_paint(cr);
}

void FilmGlyph(cairo_t* cr, double x, double y, double s, Rgb colour) {
  // Drawn on a layer of its own so that its cut-outs show what lies below.
  cairo_push_group(cr);
  FillRounded(cr, x + s * 0.12, y + s * 0.2, s * 0.76, s * 0.6, s * 0.06, colour);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  for (int i = 0; i < 4; ++i) {
    cairo_rectangle(cr, x + s * (0.18 + i * 0.17), y + s * 0.25, s * 0.08, s * 0.08);
    cairo_rectangle(cr, x + s * (0.18 + i * 0.17), y + s * 0.67, s * 0.08, s * 0.08);
  }
  cairo_rectangle(cr, x + s * 0.24, y + s * 0.39, s * 0.52, s * 0.22);
  cairo_fill(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  cairo_pop_group_to_source(cr);
  cairo_paint(cr);
}

void LogoMark(cairo_t* cr, double x, double y, double s) {
  FillRounded(cr, x, y, s, s, s * 0.22, palette::kAccent);
  // A frame with an arrow running through it: a clip being moved on.
  cairo_set_line_width(cr, s * 0.09);
  SetColour(cr, 0xFFFFFF);
  RoundedRectangle(cr, x + s * 0.18, y + s * 0.26, s * 0.42, s * 0.48, s * 0.06);
  cairo_stroke(cr);
  FillRect(cr, x + s * 0.36, y + s * 0.455, s * 0.34, s * 0.09, 0xFFFFFF);
  Triangle(cr, x + s * 0.66, y + s * 0.33, s * 0.2, s * 0.34, Direction::kRight, 0xFFFFFF);
}

}  // namespace qelo::skin
