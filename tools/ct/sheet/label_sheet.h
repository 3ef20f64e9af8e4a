// The label part of the control library's sheet: the text styles, frames,
// condensed captions, turned and curved text, and a link.
#pragma once

#include "vcl/controls/controls.h"

namespace qelo::ct::sheet {

// The height the label part takes.
constexpr int kLabelSheetHeight = 170;

void AddLabelSheet(vcl::TWinControl* parent, int top, int width);

}  // namespace qelo::ct::sheet
