// The button vocabulary of the form framework that image buttons share:
// where a glyph sits beside its caption, and which look a button face
// takes.
#pragma once

#include "vcl/typeinfo.h"

namespace qelo::vcl {

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
// bsAutoDetect takes the new look wherever the system has new-style
// controls; bsWin31 is the old rounded, black-framed face.
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };

extern const EnumInfo kButtonLayoutInfo;
extern const EnumInfo kButtonStyleInfo;

// Whether the system has new-style (three-dimensional) controls: every
// version the platform reports does.
constexpr bool NewStyleControls() { return true; }

}  // namespace qelo::vcl
