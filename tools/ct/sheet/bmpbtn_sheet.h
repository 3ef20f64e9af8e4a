// The bitmap button part of the control library's sheet: one button in each
// of its faces, with and without borders and captions.
#pragma once

#include "vcl/controls/controls.h"

namespace qelo::ct::sheet {

// The height the bitmap button part takes.
constexpr int kBmpButtonSheetHeight = 128;

void AddBmpButtonSheet(vcl::TWinControl* parent, int top, int width);

}  // namespace qelo::ct::sheet
