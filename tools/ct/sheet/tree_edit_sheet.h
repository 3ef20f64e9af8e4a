// The tree view and edit part of the control library's sheet: framed
// trees read from indented lines (one showing its selection outline, one
// disabled) and edits in their states, with and without the drop-down
// button.
#pragma once

#include "vcl/controls/controls.h"

namespace qelo::ct::sheet {

// The height the part takes.
constexpr int kTreeEditSheetHeight = 206;

// Places the labelled samples in the parent, from `top` down.
void AddTreeEditSheet(vcl::TWinControl* parent, int top);

}  // namespace qelo::ct::sheet
