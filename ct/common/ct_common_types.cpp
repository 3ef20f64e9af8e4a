#include "ct_common_types.h"

namespace qelo::ct {

const vcl::EnumInfo kAlignmentVerticalInfo{"TAlignmentVertical", {"avTop", "avCenter", "avBottom"}};
const vcl::EnumInfo kTextStyleInfo{"TTextStyle", {"tsNormal", "tsRaised", "tsRecessed", "tsShadow"}};
const vcl::EnumInfo kCtHotTrackColorTypeInfo{"TCtHotTrackColorType", {"htctComplement", "htctActual"}};
const vcl::EnumInfo kCtVisualStyleInfo{"TCtVisualStyle", {"vsClassic", "vsWinXP", "vsGradient"}};

}  // namespace qelo::ct
