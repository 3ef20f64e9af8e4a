#include "vcl/controls/buttons.h"

namespace qelo::vcl {

const EnumInfo kButtonLayoutInfo{"TButtonLayout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}};
const EnumInfo kButtonStyleInfo{"TButtonStyle", {"bsAutoDetect", "bsWin31", "bsNew"}};
const EnumInfo kBitBtnKindInfo{
    "TBitBtnKind",
    {"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose", "bkAbort", "bkRetry", "bkIgnore", "bkAll"}};

}  // namespace qelo::vcl
