// The push button part of the control library's sheet: the classic and
// hot-track looks in each state, and the text styles of the caption.
#pragma once

#include "vcl/controls/controls.h"

namespace qelo::ct::sheet {

// The height the button part takes.
constexpr int kButtonSheetHeight = 132;

// Places the labelled rows of buttons in the parent, from `top` down. The
// states that need a shown form (focus, hot, pressed) are set once the
// message loop runs.
void AddButtonSheet(vcl::TWinControl* parent, int top);

}  // namespace qelo::ct::sheet
