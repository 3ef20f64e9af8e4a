#include "ct_common_framed.h"

#include "ct_common_borders.h"

namespace qelo::ct {

namespace {

// The window context of a framed control for one painting pass.
class WindowContext {
 public:
  explicit WindowContext(win::HWND window) : window_(window), dc_(win::GetWindowDC(window)) {}
  ~WindowContext() {
    if (dc_) win::ReleaseDC(window_, dc_);
  }
  WindowContext(const WindowContext&) = delete;
  WindowContext& operator=(const WindowContext&) = delete;
  win::HDC dc() const { return dc_; }

 private:
  win::HWND window_;
  win::HDC dc_;
};

}  // namespace

void PaintFramedControlFrame(vcl::TWinControl& control, vcl::TCanvas& canvas, TFrameStyleEx style,
                             vcl::TColor frameColor, TSides sides) {
  if (!control.HandleAllocated()) return;
  WindowContext window(control.WindowHandle());
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
