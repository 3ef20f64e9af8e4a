// The list view part of the control library's sheet: framed report lists
// with a sorted header drawn by the control, and with the header and rows
// drawn by the program the way the main window's file list draws them.
#pragma once

#include "vcl/controls/controls.h"

namespace qelo::ct::sheet {

// The height the list view part takes.
constexpr int kListViewSheetHeight = 190;

// Places the labelled sample lists in the parent, from `top` down, across
// `width` pixels.
void AddListViewSheet(vcl::TWinControl* parent, int top, int width);

}  // namespace qelo::ct::sheet
