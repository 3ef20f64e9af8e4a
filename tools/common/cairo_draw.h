// Drawing helpers that the build-time picture generators share (skin,
// catalogue icons, the player's no-file pictures).
#pragma once

#include <cairo.h>

#include <cmath>

namespace qelo::drawing {

// Sets the source to a colour given as 0xRRGGBB.
inline void SetColour(cairo_t* cr, unsigned rgb, double alpha = 1.0) {
  cairo_set_source_rgba(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0,
                        alpha);
}

// Adds a closed rectangle with quarter-circle corners of `radius` as a new
// sub-path.
inline void RoundedRectangle(cairo_t* cr, double x, double y, double w, double h, double radius) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - radius, y + radius, radius, -M_PI / 2, 0);
  cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, M_PI / 2);
  cairo_arc(cr, x + radius, y + h - radius, radius, M_PI / 2, M_PI);
  cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

}  // namespace qelo::drawing
