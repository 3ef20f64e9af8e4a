// Fonts and text of the control library: turned fonts, the TrueType test,
// text on a canvas, centring, and captions without their accelerator marks.
#pragma once

#include <string>
#include <string_view>

#include "vcl/graphics/graphics.h"

namespace qelo::ct {

using vcl::TCanvas;
using vcl::TFont;
using vcl::TRect;

// A platform font like the given one, its lines turned by Angle degrees
// counter-clockwise. The caller owns the handle (DeleteObject).
win::HFONT CreateAngledFont(const TFont& font, int angle);
// Whether the font draws with a scalable outline face.
bool IsTrueTypeFont(const TFont& font);

// DrawText on the canvas with its font; the rectangle comes back measured
// with DT_CALCRECT. Returns what DrawText returns (the text's height).
int CanvasDrawText(TCanvas& canvas, std::string_view text, TRect& rect, unsigned format);
// One line centred both ways in the rectangle.
void DrawCenteredText(TCanvas& canvas, std::string_view text, const TRect& rect);
// A rectangle of the size centred in the given one (halves rounded toward
// zero).
TRect CenteredRect(const TRect& rect, int width, int height);

// The caption as shown: a single "&" before a character is dropped, "&&"
// is one "&", and a last "&" stays.
std::string StripAcceleratorMarks(std::string_view text);

constexpr int Min(int a, int b) { return a < b ? a : b; }
constexpr int Max(int a, int b) { return a > b ? a : b; }

}  // namespace qelo::ct
