// Popup menus for the context menu tests of the control library: each run
// is reported while the menu is open, then the menu closes with Escape.
#pragma once

#include <functional>
#include <string>

#include "vcl/graphics/menus.h"

namespace qelo::ct::test {

// A menu named `name` with one item; `opened` runs each time it pops up.
vcl::TPopupMenu* MakeProbeMenu(vcl::TComponent* owner, const std::string& name,
                               std::function<void(vcl::TPopupMenu& menu)> opened);

// "menu:control" of a menu that is popping up ("none" without a control).
std::string PopupTarget(const vcl::TPopupMenu& menu);

}  // namespace qelo::ct::test
