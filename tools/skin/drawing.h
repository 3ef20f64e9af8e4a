// Small drawing vocabulary of the skin generator on Cairo and Pango:
// colours, pictures of a given size, rounded shapes, text, and writing PNG
// and BMP files.
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

#include "cairo_draw.h"

namespace qelo::skin {

// 0xRRGGBB.
using Rgb = unsigned;

// The skin's palette: a dark title band, a light body, white cards and one
// blue accent.
namespace palette {
constexpr Rgb kTitle = 0x26344A;
constexpr Rgb kTitleLight = 0x35465F;
constexpr Rgb kTitleText = 0xF2F5F9;
constexpr Rgb kBody = 0xE9EDF2;
constexpr Rgb kCard = 0xFFFFFF;
constexpr Rgb kCardBorder = 0xC9D1DC;
constexpr Rgb kText = 0x1F2933;
constexpr Rgb kMuted = 0x66768A;
constexpr Rgb kAccent = 0x2F6DB5;
constexpr Rgb kAccentHot = 0x3F86D6;
constexpr Rgb kAccentDark = 0x24558E;
constexpr Rgb kClose = 0xC8413B;
constexpr Rgb kFieldHot = 0xF3F8FE;
constexpr Rgb kDisabled = 0xB7C0CC;
// Drawn as transparent by the bitmap buttons (the framework's clOlive).
constexpr Rgb kOlive = 0x808000;
}  // namespace palette

// A picture being drawn: an ARGB surface, transparent at first.
class Picture {
 public:
  Picture(int width, int height);
  ~Picture();
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  cairo_t* cr() const { return cr_; }
  int width() const { return width_; }
  int height() const { return height_; }

  // False when the file cannot be written.
  bool WritePng(const std::string& path) const;
  // Opaque pictures for the bitmap buttons, which leave out one colour:
  // fully transparent pixels become olive, the others are laid over
  // `edgeBackground` (the colour the button sits on, so that smoothed edges
  // blend into it). As a 24-bit BMP file, or as a PNG file.
  bool WriteKeyedBmp(const std::string& path, Rgb edgeBackground) const;
  bool WriteKeyedPng(const std::string& path, Rgb edgeBackground) const;

 private:
  // The pixels as 0xRRGGBB, keyed as above, top row first.
  std::vector<Rgb> KeyedPixels(Rgb edgeBackground) const;

  int width_, height_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

using drawing::RoundedRectangle;
using drawing::SetColour;
void FillRect(cairo_t* cr, double x, double y, double w, double h, Rgb colour);
void FillRounded(cairo_t* cr, double x, double y, double w, double h, double radius, Rgb colour);
// A one-pixel outline on the pixel grid.
void StrokeRounded(cairo_t* cr, double x, double y, double w, double h, double radius, Rgb colour);

enum class Align { kLeft, kCenter, kRight };
// One line of DejaVu Sans at `pixels` height, its top at y (vertically
// centred in `boxHeight` when that is given).
void Text(cairo_t* cr, const std::string& text, double x, double y, double width, int pixels, Rgb colour,
          bool bold = false, Align align = Align::kLeft, double boxHeight = 0);

// The width of that line in pixels.
int TextWidth(cairo_t* cr, const std::string& text, int pixels, bool bold = false);

// Pictograms in a square of `side` at (x, y).
void PlayGlyph(cairo_t* cr, double x, double y, double side, Rgb colour);
void PauseGlyph(cairo_t* cr, double x, double y, double side, Rgb colour);
void StopGlyph(cairo_t* cr, double x, double y, double side, Rgb colour);
void CameraGlyph(cairo_t* cr, double x, double y, double side, Rgb colour);
void FolderGlyph(cairo_t* cr, double x, double y, double side, Rgb colour);
void PlusGlyph(cairo_t* cr, double x, double y, double side, Rgb colour);
void PenGlyph(cairo_t* cr, double x, double y, double side, Rgb colour);
void MergeGlyph(cairo_t* cr, double x, double y, double side, Rgb colour);
void GearGlyph(cairo_t* cr, double x, double y, double side, Rgb colour);
void FilmGlyph(cairo_t* cr, double x, double y, double side, Rgb colour);
// A filled triangle pointing down, up, right or left, inside the box.
enum class Direction { kDown, kUp, kRight, kLeft };
void Triangle(cairo_t* cr, double x, double y, double w, double h, Direction direction, Rgb colour);
// The program's mark: a rounded tile with an arrow shifting a frame.
void LogoMark(cairo_t* cr, double x, double y, double side);

}  // namespace qelo::skin
