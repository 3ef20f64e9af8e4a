// Painting a parent's background under a control that lets it show
// through.
#pragma once

#include "vcl/controls/controls.h"

namespace qelo::ct {

// Has the control's parent erase and paint its client area into the
// context, moved so that the parent's pixels land under the control, and
// clipped to the parent's client area. The context's state is kept. With
// InvalidateParent, a parent that paints natively (neither a custom
// control nor a form) is also invalidated, so that it paints itself again
// where the control changed. Nothing without a parent. A parent already
// painting its background for a control of its own does not do so again
// inside that paint.
void PaintParentBackground(vcl::TControl* control, win::HDC dc, bool invalidateParent);
void PaintParentBackgroundCanvas(vcl::TControl* control, vcl::TCanvas& canvas, bool invalidateParent);

}  // namespace qelo::ct
