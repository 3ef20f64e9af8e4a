// Build-time tool: draws the catalogue's profile and format icons.
//
//   qelo_make_icons OUT_DIR
//
// Writes OUT_DIR/<id>.png for every icon: flat rounded tiles with a simple
// white pictogram and, on the larger format icons, a short label.
#include <cairo.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "cairo_draw.h"

namespace {

enum class Pictogram { kFilm, kDisc, kNote, kScreen, kPlayer, kPhone, kGamepad, kTvBox };

struct Icon {
  int id;
  Pictogram pictogram;
  unsigned colour;    // 0xRRGGBB of the tile
  const char* label;  // null on the small profile icons
};

constexpr int kProfileIconSize = 16;
constexpr int kFormatIconSize = 35;

constexpr unsigned kVideoBlue = 0x2F6DB5, kAudioOrange = 0xD9822B, kDiscRed = 0xB03A3A,
                   kHdPurple = 0x6A4BA8, kPlayerTeal = 0x23918A, kPhoneGreen = 0x4C9A2A,
                   kGameGrey = 0x4F5B66, kTvSlate = 0x3C4A78;

constexpr Icon kIcons[] = {
    // Profiles.
    {106, Pictogram::kTvBox, kTvSlate, nullptr},
    {107, Pictogram::kNote, kAudioOrange, nullptr},
    {108, Pictogram::kFilm, kVideoBlue, nullptr},
    {109, Pictogram::kScreen, kHdPurple, nullptr},
    {110, Pictogram::kPhone, kPhoneGreen, nullptr},
    {111, Pictogram::kPlayer, kPlayerTeal, nullptr},
    {112, Pictogram::kPhone, kPhoneGreen, nullptr},
    {113, Pictogram::kPlayer, kPlayerTeal, nullptr},
    {114, Pictogram::kGamepad, kGameGrey, nullptr},
    {115, Pictogram::kGamepad, kGameGrey, nullptr},
    {116, Pictogram::kGamepad, kGameGrey, nullptr},
    // General video formats.
    {117, Pictogram::kFilm, kVideoBlue, "ASF"},
    {118, Pictogram::kFilm, kVideoBlue, "H.264"},
    {119, Pictogram::kFilm, kVideoBlue, "AVI"},
    {120, Pictogram::kFilm, kVideoBlue, "FLV"},
    {121, Pictogram::kFilm, kVideoBlue, "MOV"},
    {122, Pictogram::kDisc, kDiscRed, "MPEG1"},
    {123, Pictogram::kFilm, kVideoBlue, "MPEG2"},
    {124, Pictogram::kFilm, kVideoBlue, "MP4"},
    {125, Pictogram::kFilm, kVideoBlue, "RM"},
    {126, Pictogram::kDisc, kDiscRed, "SVCD"},
    {127, Pictogram::kDisc, kDiscRed, "DVD"},
    {128, Pictogram::kFilm, kVideoBlue, "WMV"},
    // Audio formats.
    {129, Pictogram::kNote, kAudioOrange, "OGG"},
    {130, Pictogram::kNote, kAudioOrange, "WAV"},
    {131, Pictogram::kNote, kAudioOrange, "WMA"},
    {132, Pictogram::kNote, kAudioOrange, "AAC"},
    {133, Pictogram::kNote, kAudioOrange, "AIFF"},
    {134, Pictogram::kNote, kAudioOrange, "AC3"},
    {135, Pictogram::kNote, kAudioOrange, "MP3"},
    // Devices.
    {136, Pictogram::kPlayer, kPlayerTeal, "MP4"},
    {137, Pictogram::kPlayer, kPlayerTeal, "WIDE"},
    {138, Pictogram::kPhone, kPhoneGreen, "MP4"},
    {139, Pictogram::kGamepad, kGameGrey, "MP4"},
    {140, Pictogram::kGamepad, kGameGrey, "HD"},
    // HD formats.
    {141, Pictogram::kScreen, kHdPurple, "WMV"},
    {142, Pictogram::kScreen, kHdPurple, "ASF"},
    {143, Pictogram::kScreen, kHdPurple, "AVI"},
    {144, Pictogram::kScreen, kHdPurple, "MOV"},
    {145, Pictogram::kScreen, kHdPurple, "MPG"},
    {146, Pictogram::kScreen, kHdPurple, "MP4"},
    // More devices.
    {147, Pictogram::kTvBox, kTvSlate, "TV"},
    {148, Pictogram::kGamepad, kGameGrey, "GAME"},
    {149, Pictogram::kPhone, kPhoneGreen, "PDA"},
    {150, Pictogram::kPhone, kPhoneGreen, "3G2"},
    {151, Pictogram::kPhone, kPhoneGreen, "3GP"},
    {153, Pictogram::kPlayer, kPlayerTeal, "PMP"},
    {154, Pictogram::kPlayer, kPlayerTeal, "MP4"},
    {155, Pictogram::kPlayer, kPlayerTeal, "WMV"},
    {156, Pictogram::kPlayer, kPlayerTeal, "AVI"},
};

using qelo::drawing::RoundedRectangle;
using qelo::drawing::SetColour;

// Pictograms are drawn in a unit square; the caller places and scales it.
void DrawFilm(cairo_t* cr) {
  cairo_rectangle(cr, 0.1, 0.2, 0.8, 0.6);
  cairo_fill(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  for (int i = 0; i < 4; ++i) {
    cairo_rectangle(cr, 0.17 + i * 0.18, 0.25, 0.1, 0.08);
    cairo_rectangle(cr, 0.17 + i * 0.18, 0.67, 0.1, 0.08);
  }
  cairo_fill(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
}

void DrawDisc(cairo_t* cr) {
  cairo_arc(cr, 0.5, 0.5, 0.4, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_arc(cr, 0.5, 0.5, 0.1, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
}

void DrawNote(cairo_t* cr) {
  cairo_arc(cr, 0.32, 0.75, 0.14, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_rectangle(cr, 0.4, 0.15, 0.08, 0.6);
  cairo_fill(cr);
  cairo_move_to(cr, 0.48, 0.15);
  cairo_line_to(cr, 0.8, 0.3);
  cairo_line_to(cr, 0.8, 0.42);
  cairo_line_to(cr, 0.48, 0.3);
  cairo_fill(cr);
}

void DrawScreen(cairo_t* cr) {
  cairo_rectangle(cr, 0.08, 0.15, 0.84, 0.55);
  cairo_fill(cr);
  cairo_rectangle(cr, 0.44, 0.7, 0.12, 0.1);
  cairo_rectangle(cr, 0.28, 0.8, 0.44, 0.07);
  cairo_fill(cr);
}

void DrawPlayer(cairo_t* cr) {
  RoundedRectangle(cr, 0.25, 0.08, 0.5, 0.84, 0.08);
  cairo_fill(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_rectangle(cr, 0.32, 0.16, 0.36, 0.3);
  cairo_arc(cr, 0.5, 0.7, 0.13, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
}

void DrawPhone(cairo_t* cr) {
  RoundedRectangle(cr, 0.28, 0.05, 0.44, 0.9, 0.07);
  cairo_fill(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_rectangle(cr, 0.34, 0.15, 0.32, 0.55);
  cairo_arc(cr, 0.5, 0.82, 0.05, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
}

void DrawGamepad(cairo_t* cr) {
  RoundedRectangle(cr, 0.08, 0.3, 0.84, 0.42, 0.18);
  cairo_fill(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_rectangle(cr, 0.2, 0.47, 0.2, 0.07);
  cairo_rectangle(cr, 0.265, 0.405, 0.07, 0.2);
  cairo_arc(cr, 0.65, 0.45, 0.05, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_arc(cr, 0.76, 0.56, 0.05, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
}

void DrawTvBox(cairo_t* cr) {
  RoundedRectangle(cr, 0.1, 0.38, 0.8, 0.3, 0.06);
  cairo_fill(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_arc(cr, 0.75, 0.53, 0.05, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  cairo_rectangle(cr, 0.2, 0.72, 0.6, 0.06);
  cairo_fill(cr);
}

void DrawPictogram(cairo_t* cr, Pictogram pictogram) {
  switch (pictogram) {
    case Pictogram::kFilm: return DrawFilm(cr);
    case Pictogram::kDisc: return DrawDisc(cr);
    case Pictogram::kNote: return DrawNote(cr);
    case Pictogram::kScreen: return DrawScreen(cr);
    case Pictogram::kPlayer: return DrawPlayer(cr);
    case Pictogram::kPhone: return DrawPhone(cr);
    case Pictogram::kGamepad: return DrawGamepad(cr);
    case Pictogram::kTvBox: return DrawTvBox(cr);
  }
}

// The pictogram goes on a layer of its own so that its cut-outs show the
// tile, not the transparent background.
void PaintPictogram(cairo_t* cr, Pictogram pictogram, double x, double y, double side) {
  cairo_push_group(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, side, side);
  cairo_set_source_rgb(cr, 1, 1, 1);
  DrawPictogram(cr, pictogram);
  cairo_pop_group_to_source(cr);
  cairo_paint(cr);
}

// The label in bold DejaVu Sans, shrunk until it fits the width.
void PaintLabel(cairo_t* cr, const char* label, int size) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  pango_layout_set_text(layout, label, -1);
  const double room = size - 4;
  int width = 0, height = 0;
  for (int points = 9; points >= 5; --points) {
    PangoFontDescription* font =
        pango_font_description_from_string(("DejaVu Sans Bold " + std::to_string(points) + "px").c_str());
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    pango_layout_get_pixel_size(layout, &width, &height);
    if (width <= room) break;
  }
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_move_to(cr, (size - width) / 2.0, size - height - 1.5);
  pango_cairo_show_layout(cr, layout);
  g_object_unref(layout);
}

bool Draw(const Icon& icon, const std::string& path) {
  const int size = icon.label ? kFormatIconSize : kProfileIconSize;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
  cairo_t* cr = cairo_create(surface);
  RoundedRectangle(cr, 0.5, 0.5, size - 1, size - 1, size / 6.0);
  SetColour(cr, icon.colour);
  cairo_fill(cr);
  if (icon.label) {
    PaintPictogram(cr, icon.pictogram, size * 0.25, 2, size * 0.5);
    PaintLabel(cr, icon.label, size);
  } else {
    PaintPictogram(cr, icon.pictogram, 1, 1, size - 2);
  }
  cairo_destroy(cr);
  const bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUT_DIR\n", argv[0]);
    return 2;
  }
  for (const Icon& icon : kIcons) {
    const std::string path = std::string(argv[1]) + "/" + std::to_string(icon.id) + ".png";
    if (!Draw(icon, path)) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
