#include "ct_common_framed.h"

#include "ct_common_borders.h"

namespace qelo::ct {

void PaintFramedControlFrame(vcl::TWinControl& control, vcl::TCanvas& canvas, TFrameStyleEx style,
                             vcl::TColor frameColor, TSides sides) {
  if (!control.HandleAllocated()) return;
  win::DCScope window(control.WindowHandle(), win::DCScope::Area::kWindow);
  if (!window.dc()) return;
  vcl::TCanvasContextScope scope(canvas, window.dc());
  PaintControlFrame(canvas, control.Width(), control.Height(), style, control.Color(), frameColor, sides, false);
}

void RedrawFramedControlFrame(vcl::TWinControl& control) {
  if (!control.HandleAllocated() || control.ComponentState().Contains(vcl::csLoading)) return;
  const vcl::TRect whole = vcl::Rect(0, 0, control.Width(), control.Height());
  RedrawControlFrame(control.WindowHandle(), &whole);
}

}  // namespace qelo::ct
