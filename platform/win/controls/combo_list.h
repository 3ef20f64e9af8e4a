// Between a combo box and its drop-down list (a list box of class
// "ComboLBox" in a popup window, made by the combo box, which it passes as
// the creation parameter).
#pragma once

#include "win/controls/basic_common.h"

namespace qelo::win::controls {

inline const char* const kComboListClass = "ComboLBox";

// WM_COMMAND codes the drop-down list sends to its combo box.
constexpr UINT kListChosen = 0x7F01;     // an item was clicked
constexpr UINT kListCancelled = 0x7F02;  // a click fell outside the list and the combo box

}  // namespace qelo::win::controls
