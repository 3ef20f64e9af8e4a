// The combo box part of the control library's sheet: framed combo boxes
// closed, read-only, disabled, with flat buttons (under the mouse), with a
// completed edit field, and dropped down, as the settings dialog shows its
// codec values.
#pragma once

#include "vcl/controls/controls.h"

namespace qelo::ct::sheet {

// The height the combo box part needs, with room for the open list.
constexpr int kComboBoxSheetHeight = 128;

// Places the labelled combo boxes in the parent's `area`, three a row.
void AddComboBoxSheet(vcl::TWinControl* parent, const vcl::TRect& area);
// Once the form shows: a completed text in the edit field, the pointer
// over the hot sample and the last sample's list open.
void ActivateComboBoxSheet();

// Copies the open list of the sheet's dropped-down combo box (a window of
// its own) onto a picture of the form, where the screen shows it.
void PaintOpenComboList(win::HBITMAP formPicture, win::HWND form);

}  // namespace qelo::ct::sheet
