#include "ct_edit.h"

#include "ct_common_glyphs.h"
#include "ct_common_system.h"
#include "ct_common_types.h"
#include "vcl/controls/themes.h"
#include "win/controls/edit.h"

namespace qelo::ct {

using namespace vcl;

namespace {

bool ThemesOn() { return ThemeServices()->ThemesEnabled(); }

// Windows 95 and NT 4, where a right-aligned edit beeps at Enter.
bool IsWindows40() { return IsExactWinVersion(kWin95) || IsExactWinVersion(kWinNT4); }

// The window's rectangle in its own coordinates, and its client area there.
TRect WindowBox(const TWinControl& control) { return Rect(0, 0, control.Width(), control.Height()); }

TRect ClientInWindow(TWinControl& control) {
  win::RECT window;
  win::GetWindowRect(control.WindowHandle(), &window);
  const TPoint origin = control.ClientToScreen(Point(0, 0));
  const TRect client = control.ClientRect();
  const int dx = origin.x - window.left, dy = origin.y - window.top;
  return Rect(client.left + dx, client.top + dy, client.right + dx, client.bottom + dy);
}

}  // namespace

// ---- class registration ------------------------------------------------------------

const ClassInfo& TCtCustomEdit::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TCtCustomEdit>("TCtCustomEdit", TCustomMaskEdit::StaticClass()).Done();
  return info;
}

const ClassInfo& TCtEdit::StaticClass() {
  static const ClassInfo info = [] {
    ClassBuilder<TCtEdit> b("TCtEdit", TCtCustomEdit::StaticClass());
    PublishEditProperties(b);
    PublishFrameProperties(b, {fxReadOnlyColors});
    b.Enum("Alignment", kAlignmentInfo, &TCtEdit::Alignment, &TCtEdit::SetAlignment)
        .Boolean("TabOnEnter", &TCtEdit::TabOnEnter, &TCtEdit::SetTabOnEnter)
        .Boolean("TextHintVisibleOnFocus", &TCtEdit::TextHintVisibleOnFocus, &TCtEdit::SetTextHintVisibleOnFocus);
    return b.Done();
  }();
  return info;
}

void RegisterCtEditClasses() {
  RegisterClasses({&TCtEdit::StaticClass()});
}

TCtCustomEdit::TCtCustomEdit(TComponent* owner) : TCtFramedControl(owner) {
  TControlStyle style = ControlStyle();
  SetControlStyle(style.Exclude(csSetCaption).Include(csCaptureMouse));
}

void TCtEdit::SetReadOnly(bool value) {
  if (value == ReadOnly()) return;
  TCtCustomEdit::SetReadOnly(value);
  ReadOnlyChanged();
}

// ---- window and properties ---------------------------------------------------------

void TCtCustomEdit::CreateParams(TCreateParams& p) {
  TCtFramedControl::CreateParams(p);
  p.Style |= win::WS_CLIPCHILDREN;
  if (alignment_ == taRightJustify) p.Style |= win::ES_RIGHT;
  if (alignment_ == taCenter) p.Style |= win::ES_CENTER;
  p.Style &= ~win::ES_MULTILINE;
}

void TCtCustomEdit::SetAlignment(TAlignment value) {
  if (!StoreChanged(alignment_, value)) return;
  RecreateWnd();
}

void TCtCustomEdit::SetFrameVisible(bool value) {
  if (value == FrameVisible()) return;
  TCtFramedControl::SetFrameVisible(value);
  if (value) SetCtl3D(true);
  if (!FrameControllerLink().Applying()) RecreateWnd();
}

void TCtCustomEdit::SetTextHintVisibleOnFocus(bool value) {
  if (!StoreChanged(textHintVisibleOnFocus_, value)) return;
  if (!ComponentState().Contains(csLoading) && HandleAllocated()) DoSetTextHint(TextHint());
}

void TCtCustomEdit::DoSetTextHint(const std::string& text) {
  if (!IsWinVersionAtLeast(kWinXP) || !ThemesOn() || !HandleAllocated()) return;
  win::SendMessage(WindowHandle(), win::EM_SETCUEBANNER, textHintVisibleOnFocus_ ? 1 : 0,
                   reinterpret_cast<LPARAM>(text.c_str()));
}

void TCtCustomEdit::ValidateError() {
  if (OnValidateError) {
    std::string message;
    OnValidateError(this, message);
    if (!message.empty()) throw EDBEditError(message);
  }
  TCtFramedControl::ValidateError();
}

// ---- colours -----------------------------------------------------------------------

TColor TCtCustomEdit::StateColor() const {
  if (!Enabled()) return DisabledColor();
  if (Focused()) return IsReadOnly() && ReadOnlyColorOnFocus() ? ReadOnlyColor() : FocusColor();
  return IsReadOnly() ? ReadOnlyColor() : NormalColor();
}

void TCtCustomEdit::ReadOnlyChanged() {
  if (IsReadOnly()) HideButton();
  else if (dropDownEnabled_) ShowButton();
  UpdateColors();
  RepaintNonClient();
}

// A flat or hot-tracked button follows focus and mouse as the frame does.
void TCtCustomEdit::UpdateFrameState(bool setMouseOver, bool mouseOver) {
  TCtFramedControl::UpdateFrameState(setMouseOver, mouseOver);
  if (buttonVisible_ && (flatButton_ || FrameHotTrack() || ThemesOn()) && buttonState_ != kButtonPressed)
    RepaintNonClient();
}

// ---- keys --------------------------------------------------------------------------

void TCtCustomEdit::KeyPress(char16_t& key) {
  if (key == u'\r' && tabOnEnter_) {
    key = 0;
    if (HandleAllocated()) win::PostMessage(WindowHandle(), win::WM_KEYDOWN, win::VK_TAB, 0);
    return;
  }
  if (key == u'\r' && alignment_ == taRightJustify && IsWindows40()) {
    key = 0;
    return;
  }
  TCtFramedControl::KeyPress(key);
}

void TCtCustomEdit::KeyDown(uint16_t& key, TShiftState shift) {
  TCtFramedControl::KeyDown(key, shift);
  const bool altDown = key == win::VK_DOWN && shift == TShiftState{ssAlt};
  const bool f4 = key == win::VK_F4 && !shift.Contains(ssAlt);
  if (buttonVisible_ && (altDown || f4)) {
    ButtonClick();
    key = 0;
  }
}

// ---- the drop-down button ----------------------------------------------------------

int TCtCustomEdit::ButtonWidth() const { return win::GetSystemMetrics(win::SM_CXVSCROLL); }

void TCtCustomEdit::SetDropDownEnabled(bool value) {
  if (value == dropDownEnabled_) return;
  if (value) {
    dropDownEnabled_ = true;
    if (!IsReadOnly()) ShowButton();
  } else {
    HideButton();
    dropDownEnabled_ = false;
  }
}

void TCtCustomEdit::SetButtonVisible(bool value) {
  if (!StoreChanged(buttonVisible_, value)) return;
  if (!value) mouseOverButton_ = false;
  RecreateWnd();
}

void TCtCustomEdit::SetFlatButton(bool value) {
  if (!StoreChanged(flatButton_, value)) return;
  RepaintNonClient();
}

void TCtCustomEdit::SetButtonState(uint8_t state) {
  if (state == buttonState_) return;
  buttonState_ = state;
  RepaintNonClient();
}

void TCtCustomEdit::HideButton() {
  if (dropDownEnabled_) SetButtonVisible(false);
}

void TCtCustomEdit::ShowButton() {
  if (dropDownEnabled_) SetButtonVisible(true);
}

// Inside the border (one pixel of it with themes), the last scroll-bar
// width, or the first for right-to-left.
TRect TCtCustomEdit::ButtonRect() const {
  if (!buttonVisible_) return {};
  TRect r = WindowBox(*this);
  if (BorderStyle() == bsSingle) win::InflateRect(&r, ThemesOn() ? -1 : -2, ThemesOn() ? -1 : -2);
  const int width = ButtonWidth();
  if (UseRightToLeftAlignment()) r.right = r.left + width;
  else r.left = r.right - width;
  return r;
}

void TCtCustomEdit::ButtonClick() {
  if (!buttonVisible_) return;
  buttonClicking_ = true;
  try {
    if (HandleAllocated()) win::SetCapture(WindowHandle());
    SetButtonState(kButtonPressed);
    DoButtonDown();
    DoButtonClick();
  } catch (...) {
    buttonClicking_ = false;
    SetButtonState(kButtonNormal);
    throw;
  }
  SetButtonState(kButtonNormal);
  buttonClicking_ = false;
}

void TCtCustomEdit::ReleaseButton() {
  if (!buttonClicking_) SetButtonState(kButtonNormal);
  if (HandleAllocated() && win::GetCapture() == WindowHandle()) win::ReleaseCapture();
}

void TCtCustomEdit::DoButtonDown() {
  if (OnButtonDown) OnButtonDown(this);
}

void TCtCustomEdit::DoButtonClick() {
  if (OnButtonClick) OnButtonClick(this);
}

// ---- messages ----------------------------------------------------------------------

void TCtCustomEdit::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case win::WM_NCCALCSIZE: return NcCalcSize(m);
    case win::WM_NCHITTEST: return NcHitTest(m);
    case win::WM_NCPAINT:
      TCtFramedControl::Dispatch(m);
      PaintButtonArea();
      m.Result = 0;
      return;
    case win::WM_SETCURSOR:
      // Over the button the arrow, not the edit's text cursor.
      if (mouseOverButton_) m.LParam = win::MAKELPARAM(0, win::HIWORD(static_cast<uintptr_t>(m.LParam)));
      return TCtFramedControl::Dispatch(m);
    case win::WM_LBUTTONDOWN:
    case win::WM_LBUTTONDBLCLK: return MouseButtonDown(m);
    case win::WM_RBUTTONDOWN:
      if (mouseOverButton_) return;
      return TCtFramedControl::Dispatch(m);
    case win::WM_LBUTTONUP:
    case win::WM_KILLFOCUS:
      TCtFramedControl::Dispatch(m);
      return ReleaseButton();
    case CM_ENABLEDCHANGED:
      TCtFramedControl::Dispatch(m);
      return RepaintNonClient();
    default: return TCtFramedControl::Dispatch(m);
  }
}

// The button takes its width from the client area before the borders do.
void TCtCustomEdit::NcCalcSize(TMessage& m) {
  if (buttonVisible_ && m.LParam) {
    win::RECT& r = reinterpret_cast<win::NCCALCSIZE_PARAMS*>(m.LParam)->rgrc[0];
    const int width = ButtonWidth() - (ThemesOn() ? 1 : 0);
    if (UseRightToLeftAlignment()) r.left += width;
    else r.right -= width;
  }
  TCtFramedControl::Dispatch(m);
}

// The platform answers HTNOWHERE for the strip the button took; over the
// button that is the control's own.
void TCtCustomEdit::NcHitTest(TMessage& m) {
  TCtFramedControl::Dispatch(m);
  bool overButton = false;
  if (m.Result == win::HTNOWHERE && buttonVisible_ && HandleAllocated()) {
    win::RECT window;
    win::GetWindowRect(WindowHandle(), &window);
    const TPoint p = Point(win::GET_X_LPARAM(m.LParam) - window.left, win::GET_Y_LPARAM(m.LParam) - window.top);
    const TRect button = ButtonRect();
    overButton = win::PtInRect(&button, p) != 0;
  }
  mouseOverButton_ = overButton;
  if (overButton) m.Result = win::HTCLIENT;
}

// A press on the button focuses the edit and clicks the button; the edit
// itself never sees it, so the caret stays where it was.
void TCtCustomEdit::MouseButtonDown(TMessage& m) {
  if (mouseOverButton_) {
    if (!Focused()) SetFocus();
    ButtonClick();
    m.Result = 0;
    return;
  }
  TCtFramedControl::Dispatch(m);
  if (!Focused()) ReleaseButton();
}

// The button, and whatever of the band inside the border it leaves.
void TCtCustomEdit::PaintButtonArea() {
  if (!buttonVisible_ || !HandleAllocated()) return;
  win::DCScope window(WindowHandle(), win::DCScope::Area::kWindow);
  if (!window.dc()) return;
  const TRect button = ButtonRect();
  TRect inside = WindowBox(*this);
  if (BorderStyle() == bsSingle) win::InflateRect(&inside, ThemesOn() ? -1 : -2, ThemesOn() ? -1 : -2);
  const TRect client = ClientInWindow(*this);
  win::IntersectClipRect(window.dc(), inside.left, inside.top, inside.right, inside.bottom);
  TCanvasContextScope scope(buttonCanvas_, window.dc());
  DrawButton(buttonCanvas_, button);
  win::ExcludeClipRect(window.dc(), button.left, button.top, button.right, button.bottom);
  win::ExcludeClipRect(window.dc(), client.left, client.top, client.right, client.bottom);
  buttonCanvas_.Brush()->SetStyle(bsSolid);
  buttonCanvas_.Brush()->SetColor(Color());
  buttonCanvas_.FillRect(inside);
}

void TCtCustomEdit::DrawButton(TCanvas& canvas, const TRect& r) {
  const bool hot = Focused() || MouseOver();
  const bool pressed = buttonState_ == kButtonPressed;
  TRect face = r;
  if (ThemesOn() && (!flatButton_ || hot)) {
    const TThemedComboBox piece = !Enabled() ? tcDropDownButtonDisabled
                                  : pressed  ? tcDropDownButtonPressed
                                  : hot      ? tcDropDownButtonHot
                                             : tcDropDownButtonNormal;
    ThemeServices()->DrawElement(canvas.Handle(), ThemeServices()->GetElementDetails(piece), r);
    return;
  }
  if (!flatButton_) {
    unsigned state = win::DFCS_SCROLLCOMBOBOX;
    if (pressed) state |= win::DFCS_PUSHED | win::DFCS_FLAT;
    if (!Enabled()) state |= win::DFCS_INACTIVE;
    canvas.Brush()->SetColor(clBtnFace);
    canvas.FillRect(r);
    win::DrawFrameControl(canvas.Handle(), &face, win::DFC_SCROLL, state);
    return;
  }
  const int arrowStyle = ThemesOn() ? 1 : 0;
  if (hot) {
    if (FlatButtonColor() == clBtnFace) {
      face = pressed ? PaintFrameSides(canvas, face, clBtnShadow, clBtnHighlight, kAllSides)
                     : PaintFrameSides(canvas, face, clBtnHighlight, clBtnShadow, kAllSides);
    } else {
      face = PaintColorBorder(canvas, face, FlatButtonColor(), pressed ? fsStatus : fsPopup);
    }
    canvas.Brush()->SetColor(FlatButtonColor());
  } else {
    canvas.Brush()->SetColor(StateColor());
  }
  canvas.Brush()->SetStyle(bsSolid);
  canvas.FillRect(face);
  PaintDropDownButton(canvas, face, arrowStyle, Enabled());
}

}  // namespace qelo::ct
