// The controls sheet: one window showing one of every native control, for
// looking at them and for a screenshot in CI.
#pragma once

#include "win/window/window.h"

namespace qelo::win::sheet {

// Adds the list controls (header, list view, tree view) inside `area` of
// the sheet's client area.
void AddListControls(HWND parent, RECT area);

}  // namespace qelo::win::sheet
