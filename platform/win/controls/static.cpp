// Static text: drawn in the parent's colours, transparent to the pointer
// unless SS_NOTIFY asks for clicks.
#include "win/controls/static.h"

#include "controls/control.h"

namespace qelo::win::controls {
namespace {

unsigned FormatOf(DWORD style) {
  unsigned format = 0;
  switch (style & SS_TYPEMASK) {
    case SS_CENTER: format = DT_CENTER | DT_WORDBREAK; break;
    case SS_RIGHT: format = DT_RIGHT | DT_WORDBREAK; break;
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP: format = DT_LEFT | DT_SINGLELINE; break;
    default: format = DT_LEFT | DT_WORDBREAK; break;
  }
  if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  if (style & SS_CENTERIMAGE) format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
  if (style & SS_ENDELLIPSIS) format |= DT_END_ELLIPSIS;
  return format | DT_EXPANDTABS;
}

class Static : public PaintedControl {
 public:
  using PaintedControl::PaintedControl;

  LRESULT HandleMessage(UINT message, WPARAM w, LPARAM l) override {
    switch (message) {
      case WM_NCHITTEST:
        if (!(Style() & SS_NOTIFY)) return HTTRANSPARENT;
        return DefWindowProc(Window(), message, w, l);
      case WM_GETDLGCODE: return DLGC_STATIC;
      case WM_LBUTTONDOWN: Notify(STN_CLICKED); return 0;
      case WM_LBUTTONDBLCLK: Notify(STN_DBLCLK); return 0;
      case WM_SETTEXT:
      case WM_ENABLE: Repaint(); return 1;
      default: return DefWindowProc(Window(), message, w, l);
    }
  }

 private:
  void Notify(UINT code) {
    if (Style() & SS_NOTIFY) SendCommandNotify(Window(), code);
  }

  void Paint() override {
    PaintScope paint(*this);
    if (paint.dc() == nullptr) return;
    FillRect(paint.dc(), &paint.client(), ParentBrush(Window(), paint.dc(), WM_CTLCOLORSTATIC, COLOR_BTNFACE));
    SetBkMode(paint.dc(), TRANSPARENT);
    RECT r = paint.client();
    DrawText(paint.dc(), GetWindowText(Window()), &r, FormatOf(Style()));
  }
};

}  // namespace

void RegisterStaticClass() { RegisterControlClass<Static>(WC_STATIC, CS_DBLCLKS); }

}  // namespace qelo::win::controls
