#include "vcl/controls/native_control.h"

namespace qelo::vcl {

void SendFontToWindow(TWinControl& control, bool redraw) {
  if (!control.HandleAllocated()) return;
  win::SendMessage(control.WindowHandle(), win::WM_SETFONT, reinterpret_cast<WPARAM>(control.Font()->Handle()),
                   redraw ? 1 : 0);
}

ControlColorBrush::~ControlColorBrush() {
  if (brush_) win::DeleteObject(brush_);
}

LRESULT ControlColorBrush::Answer(const TControl& control, const TMessage& request) {
  const auto color = static_cast<win::COLORREF>(ColorToRGB(control.Color()));
  if (!brush_ || color != color_) {
    if (brush_) win::DeleteObject(brush_);
    brush_ = win::CreateSolidBrush(color);
    color_ = color;
  }
  auto dc = reinterpret_cast<win::HDC>(request.WParam);
  win::SetTextColor(dc, static_cast<win::COLORREF>(ColorToRGB(control.Font()->Color())));
  win::SetBkColor(dc, color);
  return reinterpret_cast<LRESULT>(brush_);
}

bool ControlColorBrush::AnswerColorRequest(const TControl& control, TMessage& m) {
  if (!IsColorRequest(m.Msg)) return false;
  m.Result = Answer(control, m);
  return true;
}

}  // namespace qelo::vcl
