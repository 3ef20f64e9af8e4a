// Formatted text on a canvas in the canvas's font and brush (a clear brush
// draws no background), leaving the canvas's own selections as they were.
#pragma once

#include <string_view>

#include "vcl/graphics/graphics.h"
#include "win/window/window.h"

namespace qelo::vcl {

// As the platform's DrawText: returns the text height; DT_CALCRECT measures
// into `r` and draws nothing.
int DrawCanvasText(TCanvas& canvas, std::string_view text, TRect& r, win::UINT flags);

// Whether `ch` is the accelerator of a caption: the character after a
// single "&", matched without regard to case.
bool IsAccel(char16_t ch, std::string_view caption);

// A rectangle's edges in two colours, `width` pixels wide, top and left in
// `topLeft`; the rectangle shrinks by the width.
void Frame3D(TCanvas& canvas, TRect& r, TColor topLeft, TColor bottomRight, int width);

}  // namespace qelo::vcl
