// The stock pictures of the push button with a glyph, one per kind: a
// strip of two square cells, the picture and its greyed form (a highlight
// under a shadow of its shape), keyed on olive for the button face.
#include <cmath>
#include <string>

#include "drawing.h"
#include "skins.h"

namespace qelo::skin {

namespace {

constexpr int kCell = 18;
constexpr Rgb kGo = 0x2E9448;
constexpr Rgb kStop = 0xC8413B;
constexpr Rgb kHelpBlue = 0x2F6DB5;
constexpr Rgb kYesTeal = 0x1F8A8A;
constexpr Rgb kNavy = 0x24558E;
constexpr Rgb kDoorFrame = 0x6B6B6B;
constexpr Rgb kDoor = 0x8E3B2A;
constexpr Rgb kKnob = 0xF2C94C;
// The classic button face the buttons sit on, and its shades for the
// greyed cell (the system colours of the classic look).
constexpr Rgb kClassicButtonFace = 0xD4D0C8;
constexpr Rgb kGreyHighlight = 0xFFFFFF;
constexpr Rgb kGreyShadow = 0x808080;

void Tick(cairo_t* cr, double x, double y, double scale, Rgb colour) {
  SetColour(cr, colour);
  cairo_set_line_width(cr, 2.8 * scale);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_move_to(cr, x, y + 5 * scale);
  cairo_line_to(cr, x + 4 * scale, y + 9 * scale);
  cairo_line_to(cr, x + 11 * scale, y);
  cairo_stroke(cr);
}

void Disc(cairo_t* cr, double radius, Rgb colour) {
  cairo_arc(cr, kCell / 2.0, kCell / 2.0, radius, 0, 2 * M_PI);
  SetColour(cr, colour);
  cairo_fill(cr);
}

void Ok(cairo_t* cr) { Tick(cr, 3.5, 4.5, 1, kGo); }

void Cancel(cairo_t* cr) {
  SetColour(cr, kStop);
  cairo_set_line_width(cr, 2.8);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_move_to(cr, 4.5, 4.5);
  cairo_line_to(cr, 13.5, 13.5);
  cairo_move_to(cr, 13.5, 4.5);
  cairo_line_to(cr, 4.5, 13.5);
  cairo_stroke(cr);
}

void Help(cairo_t* cr) {
  Disc(cr, 8, kHelpBlue);
  Text(cr, "?", 0, 0, kCell, 13, 0xFFFFFF, true, Align::kCenter, kCell);
}

void Yes(cairo_t* cr) {
  Disc(cr, 8, kYesTeal);
  Tick(cr, 5, 5.5, 0.72, 0xFFFFFF);
}

// No entry: a red ring crossed by a bar.
void No(cairo_t* cr) {
  SetColour(cr, kStop);
  cairo_set_line_width(cr, 2.6);
  cairo_arc(cr, kCell / 2.0, kCell / 2.0, 6.7, 0, 2 * M_PI);
  cairo_stroke(cr);
  cairo_move_to(cr, 4.8, 4.8);
  cairo_line_to(cr, 13.2, 13.2);
  cairo_stroke(cr);
}

// A door standing open in its frame, with its knob.
void Close(cairo_t* cr) {
  FillRect(cr, 4, 1, 10, 16, kDoorFrame);
  FillRect(cr, 5, 2, 8, 15, 0x2B2B2B);
  SetColour(cr, kDoor);
  cairo_move_to(cr, 5, 2);
  cairo_line_to(cr, 11, 4);
  cairo_line_to(cr, 11, 17);
  cairo_line_to(cr, 5, 15);
  cairo_close_path(cr);
  cairo_fill(cr);
  cairo_arc(cr, 9.5, 10, 1, 0, 2 * M_PI);
  SetColour(cr, kKnob);
  cairo_fill(cr);
}

// A stop sign: a red octagon with a white bar.
void Abort(cairo_t* cr) {
  SetColour(cr, kStop);
  for (int i = 0; i < 8; ++i) {
    const double a = (i * 45 + 22.5) * M_PI / 180;
    const double x = kCell / 2.0 + 8.3 * std::cos(a), y = kCell / 2.0 + 8.3 * std::sin(a);
    if (i == 0) cairo_move_to(cr, x, y);
    else cairo_line_to(cr, x, y);
  }
  cairo_close_path(cr);
  cairo_fill(cr);
  FillRect(cr, 4, 7.5, 10, 3, 0xFFFFFF);
}

// A ring that turns back on itself, with its arrow head.
void Retry(cairo_t* cr) {
  SetColour(cr, kNavy);
  cairo_set_line_width(cr, 2.6);
  cairo_arc(cr, kCell / 2.0, kCell / 2.0 + 0.5, 6, -40 * M_PI / 180, 250 * M_PI / 180);
  cairo_stroke(cr);
  cairo_move_to(cr, 10.5, 0.5);
  cairo_line_to(cr, 16.5, 3.5);
  cairo_line_to(cr, 11.5, 8.5);
  cairo_close_path(cr);
  cairo_fill(cr);
}

void Ignore(cairo_t* cr) {
  SetColour(cr, kNavy);
  cairo_set_line_width(cr, 2.6);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
  for (double x : {3.0, 9.5}) {
    cairo_move_to(cr, x, 3.5);
    cairo_line_to(cr, x + 5, 9);
    cairo_line_to(cr, x, 14.5);
    cairo_stroke(cr);
  }
}

void All(cairo_t* cr) {
  Tick(cr, 1.5, 2.5, 0.85, kGo);
  Tick(cr, 5.5, 7.5, 0.85, kGo);
}

// The strip: the picture in the first cell, its greyed form in the second.
bool KindGlyph(const std::string& path, void (*draw)(cairo_t*)) {
  cairo_surface_t* shape = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kCell, kCell);
  cairo_t* shapeCr = cairo_create(shape);
  draw(shapeCr);
  cairo_destroy(shapeCr);

  Picture p(2 * kCell, kCell);
  cairo_t* cr = p.cr();
  cairo_set_source_surface(cr, shape, 0, 0);
  cairo_paint(cr);
  SetColour(cr, kGreyHighlight);
  cairo_mask_surface(cr, shape, kCell + 1, 1);
  SetColour(cr, kGreyShadow);
  cairo_mask_surface(cr, shape, kCell, 0);
  cairo_surface_destroy(shape);
  return p.WriteKeyedPng(path, kClassicButtonFace);
}

}  // namespace

bool WriteKindGlyphs(const std::string& folder) {
  struct Kind {
    const char* file;
    void (*draw)(cairo_t*);
  };
  static constexpr Kind kKinds[] = {{"ok.png", Ok},       {"cancel.png", Cancel}, {"help.png", Help},
                                    {"yes.png", Yes},     {"no.png", No},         {"close.png", Close},
                                    {"abort.png", Abort}, {"retry.png", Retry},   {"ignore.png", Ignore},
                                    {"all.png", All}};
  bool ok = true;
  for (const Kind& k : kKinds) ok = KindGlyph(folder + "/" + k.file, k.draw) && ok;
  return ok;
}

}  // namespace qelo::skin
