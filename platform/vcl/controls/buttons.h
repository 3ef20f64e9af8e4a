// Types of the framework's picture buttons that the control library's
// buttons publish: where a picture sits beside a caption, and the stock
// kinds of a push button with a picture.
#pragma once

#include "vcl/typeinfo.h"

namespace qelo::vcl {

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
extern const EnumInfo kButtonLayoutInfo;

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
extern const EnumInfo kBitBtnKindInfo;

}  // namespace qelo::vcl
