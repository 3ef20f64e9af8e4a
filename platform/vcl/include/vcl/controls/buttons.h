// The button vocabulary of the form framework that image buttons share:
// where a glyph sits beside its caption, which look a button face takes,
// and the stock kinds of a push button with a picture.
#pragma once

#include "vcl/typeinfo.h"

namespace qelo::vcl {

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
// bsAutoDetect takes the new look wherever the system has new-style
// controls; bsWin31 is the old rounded, black-framed face.
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };
enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };

extern const EnumInfo kButtonLayoutInfo;
extern const EnumInfo kButtonStyleInfo;
extern const EnumInfo kBitBtnKindInfo;

// Whether the system has new-style (three-dimensional) controls: every
// version the platform reports does.
constexpr bool NewStyleControls() { return true; }

}  // namespace qelo::vcl
