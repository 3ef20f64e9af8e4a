// The bars part of the control library's sheet: group boxes in their six
// styles, progress bars in their styles and orientations (and as the main
// window shows a run), and status bars with panes, a progress pane and the
// size grip, and in simple mode.
#pragma once

#include "vcl/controls/controls.h"

namespace qelo::ct::sheet {

// The height the bars part takes.
constexpr int kBarsSheetHeight = 350;

// Places the labelled samples in the parent, from `top` down, across
// `width` pixels.
void AddBarsSheet(vcl::TWinControl* parent, int top, int width);

}  // namespace qelo::ct::sheet
