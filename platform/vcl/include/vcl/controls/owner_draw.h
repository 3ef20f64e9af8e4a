// The state of an owner-drawn item, as list boxes, combo boxes and list
// views hand it to their drawing events.
#pragma once

#include "vcl/types.h"
#include "win/controls/basic_common.h"

namespace qelo::vcl {

enum TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odComboBoxEdit };
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;
// The state of a WM_DRAWITEM item (ODS_* bits).
TOwnerDrawState OwnerDrawState(win::UINT itemState);

}  // namespace qelo::vcl
