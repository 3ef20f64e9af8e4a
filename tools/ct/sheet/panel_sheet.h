// The panel part of the control library's sheet: the border styles, the
// gradient and grid client areas, caption places and a disabled panel.
#pragma once

#include "vcl/controls/controls.h"

namespace qelo::ct::sheet {

// The height the panel part takes.
constexpr int kPanelSheetHeight = 110;

void AddPanelSheet(vcl::TWinControl* parent, int top, int width);

}  // namespace qelo::ct::sheet
