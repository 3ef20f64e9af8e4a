#include "vcl/controls/buttons.h"

namespace qelo::vcl {

const EnumInfo kButtonLayoutInfo{"TButtonLayout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}};
const EnumInfo kButtonStyleInfo{"TButtonStyle", {"bsAutoDetect", "bsWin31", "bsNew"}};

}  // namespace qelo::vcl
