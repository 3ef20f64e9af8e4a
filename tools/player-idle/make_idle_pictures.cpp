// Draws the player's two no-file pictures at build time: a two-pane one of
// 782 x 282 and a one-pane one of 352 x 225, as PNG files.
//   qelo_make_idle_pictures <two-pane.png> <one-pane.png>
#include <cairo.h>

#include <cmath>
#include <cstdio>

#include "cairo_draw.h"

namespace {

constexpr int kGap = 8;

using qelo::drawing::SetColour;

// A dark pane with a soft vertical shade and a thin inner frame.
void Pane(cairo_t* cr, double x, double y, double w, double h) {
  cairo_pattern_t* shade = cairo_pattern_create_linear(0, y, 0, y + h);
  cairo_pattern_add_color_stop_rgb(shade, 0, 0.16, 0.17, 0.20);
  cairo_pattern_add_color_stop_rgb(shade, 1, 0.06, 0.06, 0.08);
  cairo_rectangle(cr, x, y, w, h);
  cairo_set_source(cr, shade);
  cairo_fill(cr);
  cairo_pattern_destroy(shade);
  cairo_rectangle(cr, x + 6.5, y + 6.5, w - 13, h - 13);
  SetColour(cr, 0x3A3D44);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

// A play sign in a ring, centred at (cx, cy).
void PlaySign(cairo_t* cr, double cx, double cy, double r) {
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  SetColour(cr, 0x5A606B);
  cairo_set_line_width(cr, r / 8);
  cairo_stroke(cr);
  cairo_move_to(cr, cx - r * 0.35, cy - r * 0.5);
  cairo_line_to(cr, cx + r * 0.55, cy);
  cairo_line_to(cr, cx - r * 0.35, cy + r * 0.5);
  cairo_close_path(cr);
  SetColour(cr, 0x7A818E);
  cairo_fill(cr);
}

// A dashed crop frame with corner marks, centred at (cx, cy).
void CropSign(cairo_t* cr, double cx, double cy, double w, double h) {
  const double dashes[] = {6, 4};
  cairo_set_dash(cr, dashes, 2, 0);
  cairo_rectangle(cr, cx - w / 2 + 0.5, cy - h / 2 + 0.5, w, h);
  SetColour(cr, 0x5A606B);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
  SetColour(cr, 0x7A818E);
  for (int i = 0; i < 4; ++i) {
    const double x = cx + (i % 2 ? w / 2 : -w / 2), y = cy + (i / 2 ? h / 2 : -h / 2);
    cairo_rectangle(cr, x - 4, y - 4, 8, 8);
  }
  cairo_fill(cr);
}

bool Write(cairo_surface_t* surface, const char* path) {
  const bool ok = cairo_surface_write_to_png(surface, path) == CAIRO_STATUS_SUCCESS;
  if (!ok) std::fprintf(stderr, "cannot write %s\n", path);
  cairo_surface_destroy(surface);
  return ok;
}

bool DrawTwoPane(const char* path) {
  const int w = 782, h = 282, pane = (w - kGap) / 2;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_t* cr = cairo_create(surface);
  SetColour(cr, 0xE8E8E8);
  cairo_paint(cr);
  Pane(cr, 0, 0, pane, h);
  Pane(cr, pane + kGap, 0, pane, h);
  PlaySign(cr, pane / 2.0, h / 2.0, 40);
  CropSign(cr, pane + kGap + pane / 2.0, h / 2.0, 120, 80);
  cairo_destroy(cr);
  return Write(surface, path);
}

bool DrawOnePane(const char* path) {
  const int w = 352, h = 225;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_t* cr = cairo_create(surface);
  Pane(cr, 0, 0, w, h);
  PlaySign(cr, w / 2.0, h / 2.0, 36);
  cairo_destroy(cr);
  return Write(surface, path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <two-pane.png> <one-pane.png>\n", argv[0]);
    return 2;
  }
  return DrawTwoPane(argv[1]) && DrawOnePane(argv[2]) ? 0 : 1;
}
