// Buttons: the press follows the pointer while the left button is held (or
// the space bar), a release inside clicks; automatic kinds change their own
// check first, then the parent hears BN_CLICKED.
#include "win/controls/button.h"

#include <algorithm>
#include <vector>

#include "controls/control.h"

namespace qelo::win::controls {
namespace {

constexpr int kBoxSize = 13;
constexpr int kTextGap = 4;

enum class Kind { Push, Check, Radio, Group, OwnerDraw };

Kind KindOf(DWORD style) {
  switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE: return Kind::Check;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return Kind::Radio;
    case BS_GROUPBOX: return Kind::Group;
    case BS_OWNERDRAW: return Kind::OwnerDraw;
    default: return Kind::Push;
  }
}

class Button;

// A button of this class, whatever class name it was registered under.
bool IsAutoRadio(HWND window) {
  return ControlOf<Button>(window) != nullptr &&
         (GetWindowLongPtr(window, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
}

class Button : public PaintedControl {
 public:
  using PaintedControl::PaintedControl;

  LRESULT HandleMessage(UINT message, WPARAM w, LPARAM l) override {
    switch (message) {
      case WM_GETDLGCODE: return DialogCode();
      case WM_NCHITTEST:
        if (KindOf(Style()) == Kind::Group) return HTTRANSPARENT;
        return DefWindowProc(Window(), message, w, l);
      case WM_LBUTTONDBLCLK:
        if (Style() & BS_NOTIFY) SendCommandNotify(Window(), BN_DBLCLK);
        [[fallthrough]];
      case WM_LBUTTONDOWN: PressWithMouse(); return 0;
      case WM_MOUSEMOVE: FollowMouse(l); return 0;
      case WM_LBUTTONUP: ReleaseMouse(l); return 0;
      case WM_CAPTURECHANGED: mouseHeld_ = false; SetPushed(false); return 0;
      case WM_KEYDOWN: return KeyDown(w);
      case WM_KEYUP: return KeyUp(w);
      case WM_SETFOCUS: FocusChanged(true); return 0;
      case WM_KILLFOCUS: FocusChanged(false); return 0;
      case WM_ENABLE: Repaint(); return 0;
      case WM_SETTEXT: Repaint(); return 1;
      case BM_GETCHECK: return KindOf(Style()) == Kind::Check || KindOf(Style()) == Kind::Radio ? check_ : 0;
      case BM_SETCHECK: SetCheck(static_cast<LRESULT>(w)); return 0;
      case BM_GETSTATE: return check_ | (pushed_ ? BST_PUSHED : 0) | (focused_ ? BST_FOCUS : 0);
      case BM_SETSTATE: SetPushed(w != 0); return 0;
      case BM_SETSTYLE: SetStyle(static_cast<DWORD>(w), l != 0); return 0;
      case BM_CLICK: Click(); return 0;
      default: return DefWindowProc(Window(), message, w, l);
    }
  }

 private:
  LRESULT DialogCode() const {
    switch (Style() & BS_TYPEMASK) {
      case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
      case BS_PUSHBUTTON: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
      case BS_RADIOBUTTON:
      case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
      case BS_GROUPBOX: return DLGC_STATIC;
      default: return DLGC_BUTTON;
    }
  }

  void PressWithMouse() {
    if (KindOf(Style()) == Kind::Group) return;
    SetFocus(Window());
    SetCapture(Window());
    mouseHeld_ = true;
    SetPushed(true);
  }

  bool Inside(LPARAM l) const {
    RECT r;
    GetClientRect(Window(), &r);
    return PtInRect(&r, POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)});
  }

  void FollowMouse(LPARAM l) {
    if (mouseHeld_ && GetCapture() == Window()) SetPushed(Inside(l));
  }

  void ReleaseMouse(LPARAM l) {
    if (!mouseHeld_) return;
    mouseHeld_ = false;
    const bool click = pushed_ && Inside(l);
    SetPushed(false);
    if (GetCapture() == Window()) ReleaseCapture();
    if (click) Click();
  }

  LRESULT KeyDown(WPARAM key) {
    if (key == VK_SPACE && !mouseHeld_ && KindOf(Style()) != Kind::Group) {
      spaceHeld_ = true;
      SetPushed(true);
    }
    return 0;
  }

  LRESULT KeyUp(WPARAM key) {
    if (key != VK_SPACE || !spaceHeld_) return 0;
    spaceHeld_ = false;
    const bool click = pushed_;
    SetPushed(false);
    if (click) Click();
    return 0;
  }

  void FocusChanged(bool focused) {
    focused_ = focused;
    if (!focused) {
      spaceHeld_ = false;
      if (!mouseHeld_) SetPushed(false);
    }
    Repaint();
    if (Style() & BS_NOTIFY) SendCommandNotify(Window(), focused ? BN_SETFOCUS : BN_KILLFOCUS);
  }

  // The click of a user (or BM_CLICK): automatic kinds change their check,
  // then the parent is told.
  void Click() {
    switch (Style() & BS_TYPEMASK) {
      case BS_AUTOCHECKBOX: SetCheck(check_ == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED); break;
      case BS_AUTO3STATE: SetCheck((check_ + 1) % 3); break;
      case BS_AUTORADIOBUTTON: CheckInGroup(); break;
      default: break;
    }
    SendCommandNotify(Window(), BN_CLICKED);
  }

  // Checks this radio button and clears the other automatic radio buttons
  // of its group: the siblings in creation order from the last one with
  // WS_GROUP up to the next one with it.
  void CheckInGroup() {
    std::vector<HWND> siblings;  // topmost first: the reverse of creation order
    for (HWND c = GetWindow(GetParent(Window()), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      siblings.push_back(c);
    std::reverse(siblings.begin(), siblings.end());
    const auto self = std::find(siblings.begin(), siblings.end(), Window());
    if (self == siblings.end()) return;
    auto first = self;
    while (first != siblings.begin() && !(GetWindowLongPtr(*first, GWL_STYLE) & WS_GROUP)) --first;
    for (auto it = first; it != siblings.end(); ++it) {
      if (it != first && (GetWindowLongPtr(*it, GWL_STYLE) & WS_GROUP)) break;
      if (*it != Window() && IsAutoRadio(*it)) SendMessage(*it, BM_SETCHECK, BST_UNCHECKED, 0);
    }
    SetCheck(BST_CHECKED);
  }

  void SetCheck(LRESULT value) {
    const Kind kind = KindOf(Style());
    if (kind != Kind::Check && kind != Kind::Radio) return;
    const DWORD type = Style() & BS_TYPEMASK;
    const bool threeState = type == BS_3STATE || type == BS_AUTO3STATE;
    if (value == BST_INDETERMINATE && !threeState) value = BST_CHECKED;
    if (value != BST_UNCHECKED && value != BST_CHECKED && value != BST_INDETERMINATE) value = BST_CHECKED;
    if (value == check_) return;
    check_ = value;
    Repaint();
  }

  void SetPushed(bool pushed) {
    if (pushed == pushed_) return;
    pushed_ = pushed;
    Repaint();
  }

  void SetStyle(DWORD type, bool redraw) {
    const DWORD style = (Style() & ~BS_TYPEMASK) | (type & BS_TYPEMASK);
    SetWindowLongPtr(Window(), GWL_STYLE, style);
    if (redraw) Repaint();
  }

  void Paint() override {
    PaintScope paint(*this);
    if (paint.dc() == nullptr) return;
    switch (KindOf(Style())) {
      case Kind::Push: PaintPush(paint.dc(), paint.client()); break;
      case Kind::Check:
      case Kind::Radio: PaintBox(paint.dc(), paint.client()); break;
      case Kind::Group: PaintGroup(paint.dc(), paint.client()); break;
      case Kind::OwnerDraw: PaintOwnerDrawn(paint.dc(), paint.client()); break;
    }
  }

  unsigned TextFormat(unsigned alignment) const {
    return alignment | ((Style() & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER);
  }

  void PaintPush(HDC dc, RECT r) {
    ParentBrush(Window(), dc, WM_CTLCOLORBTN, COLOR_BTNFACE);
    const bool isDefault = (Style() & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    if (isDefault) {
      FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      InflateRect(&r, -1, -1);
    }
    unsigned state = DFCS_BUTTONPUSH | (pushed_ ? DFCS_PUSHED : 0) | ((Style() & BS_FLAT) ? DFCS_FLAT : 0);
    if (pushed_ && isDefault) {
      FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
      RECT inner = r;
      InflateRect(&inner, -1, -1);
      FillRect(dc, &inner, GetSysColorBrush(COLOR_BTNFACE));
    } else {
      DrawFrameControl(dc, &r, DFC_BUTTON, state);
    }
    RECT text = r;
    if (pushed_) OffsetRect(&text, 1, 1);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(Window()) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    DrawText(dc, GetWindowText(Window()), &text, TextFormat(DT_CENTER));
    if (focused_) {
      RECT focus = r;
      InflateRect(&focus, -3, -3);
      DrawFocusRect(dc, &focus);
    }
  }

  void PaintBox(HDC dc, const RECT& client) {
    HBRUSH background = ParentBrush(Window(), dc, WM_CTLCOLORSTATIC, COLOR_BTNFACE);
    FillRect(dc, &client, background);
    const bool leftText = (Style() & BS_LEFTTEXT) != 0;
    const int top = (client.bottom - client.top - kBoxSize) / 2;
    const int boxLeft = leftText ? client.right - kBoxSize : client.left;
    RECT box{boxLeft, top, boxLeft + kBoxSize, top + kBoxSize};
    const bool radio = KindOf(Style()) == Kind::Radio;
    unsigned state = (radio ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK) | (pushed_ ? DFCS_PUSHED : 0) |
                     (IsWindowEnabled(Window()) ? 0 : DFCS_INACTIVE) |
                     (check_ != BST_UNCHECKED ? DFCS_CHECKED : 0);
    if (check_ == BST_INDETERMINATE) state |= DFCS_INACTIVE;
    DrawFrameControl(dc, &box, DFC_BUTTON, state);
    RECT text = client;
    if (leftText) text.right = box.left - kTextGap;
    else text.left = box.right + kTextGap;
    SetBkMode(dc, TRANSPARENT);
    const std::string caption = GetWindowText(Window());
    DrawText(dc, caption, &text, TextFormat(leftText ? DT_RIGHT : DT_LEFT));
    if (focused_ && !caption.empty()) {
      RECT measured = text;
      DrawText(dc, caption, &measured, TextFormat(DT_LEFT) | DT_CALCRECT);
      const int height = measured.bottom - measured.top;
      RECT focus{text.left - 1, (client.bottom - height) / 2 - 1, text.left + measured.right - measured.left + 1,
                 (client.bottom - height) / 2 + height + 1};
      if (leftText) OffsetRect(&focus, text.right - (measured.right - measured.left) - text.left, 0);
      DrawFocusRect(dc, &focus);
    }
  }

  void PaintGroup(HDC dc, const RECT& client) {
    HBRUSH background = ParentBrush(Window(), dc, WM_CTLCOLORSTATIC, COLOR_BTNFACE);
    FillRect(dc, &client, background);
    TEXTMETRIC metrics;
    GetTextMetrics(dc, &metrics);
    RECT frame = client;
    frame.top += metrics.tmHeight / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    const std::string caption = GetWindowText(Window());
    if (caption.empty()) return;
    RECT text{client.left + 8, client.top, client.right - 8, client.top + metrics.tmHeight};
    RECT measured = text;
    DrawText(dc, caption, &measured, DT_SINGLELINE | DT_CALCRECT);
    measured.left -= 2;
    measured.right += 2;
    FillRect(dc, &measured, background);
    SetBkMode(dc, TRANSPARENT);
    DrawText(dc, caption, &text, DT_SINGLELINE | DT_LEFT);
  }

  void PaintOwnerDrawn(HDC dc, const RECT& client) {
    DRAWITEMSTRUCT item;
    item.CtlType = ODT_BUTTON;
    item.CtlID = Id();
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = (pushed_ ? ODS_SELECTED : 0) | (focused_ ? ODS_FOCUS : 0) |
                     (IsWindowEnabled(Window()) ? 0 : ODS_DISABLED);
    item.hwndItem = Window();
    item.hDC = dc;
    item.rcItem = client;
    if (HWND parent = GetParent(Window()))
      SendMessage(parent, WM_DRAWITEM, Id(), reinterpret_cast<LPARAM>(&item));
  }

  LRESULT check_ = BST_UNCHECKED;
  bool pushed_ = false;
  bool focused_ = false;
  bool mouseHeld_ = false;
  bool spaceHeld_ = false;
};

}  // namespace

void RegisterButtonClass() { RegisterControlClass<Button>(WC_BUTTON, CS_DBLCLKS); }

}  // namespace qelo::win::controls
