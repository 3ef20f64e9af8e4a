// The docking page of the control library's sheet: panels that are dock
// sites, with controls docked into them: a side panel whose grabbers show
// the captions at the top (the focused control's in the active caption's
// colours), a bar whose grabbers stand at the left with upright captions,
// and a panel with the framework's grabbers.
#pragma once

#include "vcl/controls/controls.h"

namespace qelo::ct::sheet {

// The client size the page takes.
constexpr int kDockSheetWidth = 640;
constexpr int kDockSheetHeight = 420;

void AddDockSheet(vcl::TWinControl* parent);
// Gives the focus to a docked control once the form is shown.
void ShowDockSheetStates();

}  // namespace qelo::ct::sheet
