#include "controls/control.h"

namespace qelo::win::controls {

HFONT ControlBase::Font() const {
  return font_ ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int ControlBase::FontHeight() const {
  HDC dc = GetDC(window_);
  if (dc == nullptr) return 0;
  HGDIOBJ old = SelectObject(dc, Font());
  TEXTMETRIC metrics;
  GetTextMetrics(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(window_, dc);
  return metrics.tmHeight;
}

bool ControlBase::HandleFont(UINT message, WPARAM w, LPARAM l, LRESULT* result) {
  if (message == WM_SETFONT) {
    font_ = reinterpret_cast<HFONT>(w);
    if (LOWORD(static_cast<uintptr_t>(l))) Repaint();
    *result = 0;
    return true;
  }
  if (message == WM_GETFONT) {
    *result = reinterpret_cast<LRESULT>(font_);
    return true;
  }
  return false;
}

LRESULT PaintedControl::Handle(UINT message, WPARAM w, LPARAM l) {
  LRESULT result = 0;
  if (HandleFont(message, w, l, &result)) return result;
  switch (message) {
    case WM_PAINT: Paint(); return 0;
    case WM_ERASEBKGND: return 1;
    default: return HandleMessage(message, w, l);
  }
}

HBRUSH ParentBrush(HWND control, HDC dc, UINT ctlColor, int defaultBackground) {
  const bool enabled = IsWindowEnabled(control);
  SetTextColor(dc, GetSysColor(enabled ? (ctlColor == WM_CTLCOLOREDIT || ctlColor == WM_CTLCOLORLISTBOX
                                              ? COLOR_WINDOWTEXT
                                              : COLOR_BTNTEXT)
                                       : COLOR_GRAYTEXT));
  SetBkColor(dc, GetSysColor(defaultBackground));
  HWND parent = GetParent(control);
  LRESULT answer = parent ? SendMessage(parent, ctlColor, reinterpret_cast<WPARAM>(dc),
                                        reinterpret_cast<LPARAM>(control))
                          : 0;
  HBRUSH brush = reinterpret_cast<HBRUSH>(answer);
  if (brush != nullptr && static_cast<HBRUSH>(HGDIOBJ(brush)) == brush) return brush;
  return GetSysColorBrush(defaultBackground);
}

PaintScope::PaintScope(const ControlBase& control) : window_(control.Window()) {
  BeginPaint(window_, &paint_);
  GetClientRect(window_, &client_);
  if (paint_.hdc) {
    saved_ = SaveDC(paint_.hdc);
    SelectObject(paint_.hdc, control.Font());
  }
}

PaintScope::~PaintScope() {
  if (paint_.hdc) RestoreDC(paint_.hdc, saved_);
  EndPaint(window_, &paint_);
}

}  // namespace qelo::win::controls
