// What the composite border takes from a control's edges, for the controls
// that lay out text or children inside it (labels, panels).
#pragma once

#include "ct_common_frames.h"

namespace qelo::ct {

// Pixels one frame style takes on each side it is drawn on: fsFlat 1,
// fsStatus and fsPopup the bevel width, the others but fsNone 2.
int FrameStyleWidth(TFrameStyleEx style, int bevelWidth);

// The rectangle moved in on the chosen sides by the outer and the inner
// style's widths.
TRect InsideFrameStyles(TRect rect, TFrameStyleEx outer, TFrameStyleEx inner, TSides sides, int bevelWidth);

}  // namespace qelo::ct
