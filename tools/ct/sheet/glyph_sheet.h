// The glyph buttons' page of the control library's sheet: check boxes in
// their states, push buttons with pictures in each stock kind and layout,
// and tool buttons in their looks and states.
#pragma once

#include "vcl/controls/controls.h"

namespace qelo::ct::sheet {

// The client size the page takes.
constexpr int kGlyphSheetWidth = 980;
constexpr int kGlyphSheetHeight = 380;

// Places the labelled rows in the parent. The states that need a shown
// form (focus, hot, pressed) are set by ShowGlyphSheetStates once the form
// is shown.
void AddGlyphSheet(vcl::TWinControl* parent);
void ShowGlyphSheetStates();

}  // namespace qelo::ct::sheet
