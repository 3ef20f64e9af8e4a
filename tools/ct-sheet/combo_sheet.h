// The combo box part of the control library's sheet: framed combo boxes
// closed, dropped down, read-only, disabled and with flat buttons, as the
// settings dialog shows its codec values.
#pragma once

#include "vcl/controls/controls.h"

namespace qelo::ct::sheet {

// The height the combo box part takes (with room for the open list).
constexpr int kComboBoxSheetHeight = 120;

// Places the labelled combo boxes in the parent, from `top` down, across
// `width` pixels.
void AddComboBoxSheet(vcl::TWinControl* parent, int top, int width);
// Once the form shows: the pointer over the hot sample, the focus in the
// last one, and its list open.
void ActivateComboBoxSheet();

// Copies the open list of the sheet's dropped-down combo box (a window of
// its own) onto a picture of the form, where the screen shows it.
void PaintOpenComboList(win::HBITMAP formPicture, win::HWND form);

}  // namespace qelo::ct::sheet
