// Grouped buttons (a group index other than 0) under one parent keep at
// most one of them down: a button that goes down, or changes its group or
// its AllowAllUp, tells its siblings with its class's group message
// (wParam the group index, lParam the button), and a sibling of the same
// group that is down as well goes up.
#pragma once

#include "vcl/controls/controls.h"

namespace qelo::ct {

// Sends the group message to every control of the button's parent (the
// button itself included); nothing without a parent.
void BroadcastButtonGroup(vcl::TControl& button, vcl::UINT msg, int groupIndex);

// The sibling that sent a group message to `receiver`, or null when lParam
// names no other control of the same parent (a stray message).
vcl::TControl* ButtonGroupSender(const vcl::TControl& receiver, const vcl::TMessage& message);

}  // namespace qelo::ct
