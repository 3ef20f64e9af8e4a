#include "vcl/controls/stdctrls.h"
#include "vcl/controls/text_drawing.h"
#include "win/controls/button.h"

namespace qelo::vcl {

const ClassInfo& TButtonControl::StaticClass() {
  static const ClassInfo info = ClassBuilder<TButtonControl>("TButtonControl", TWinControl::StaticClass()).Done();
  return info;
}

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
  SetTabStop(true);
}

const ClassInfo& TButton::StaticClass() {
  static const ClassInfo info =
      ClassBuilder<TButton>("TButton", TButtonControl::StaticClass())
          .Boolean("Default", &TButton::Default, &TButton::SetDefault)
          .Boolean("Cancel", &TButton::Cancel, &TButton::SetCancel)
          .Integer("ModalResult", &TButton::ModalResult, &TButton::SetModalResult, ModalResultIdent)
          .Done();
  return info;
}

TButton::TButton(TComponent* owner) : TButtonControl(owner) {
  SetBounds(0, 0, 75, 25);
  SetColor(clBtnFace);
}

void TButton::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  p.WinClassName = win::WC_BUTTON;
  p.Style |= active_ ? win::BS_DEFPUSHBUTTON : win::BS_PUSHBUTTON;
}

void TButton::CreateWnd() {
  const win::INITCOMMONCONTROLSEX classes{sizeof(win::INITCOMMONCONTROLSEX), win::ICC_STANDARD_CLASSES};
  win::InitCommonControlsEx(&classes);
  active_ = default_;
  TButtonControl::CreateWnd();
  win::SendMessage(WindowHandle(), win::WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
}

void TButton::SetDefault(bool value) {
  if (value == default_) return;
  default_ = value;
  if (!HandleAllocated()) return;
  // Every button of the form works out again which one is the default now.
  if (TCustomForm* form = ParentForm())
    form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
}

void TButton::SetButtonStyle(bool isDefault) {
  if (isDefault == active_) return;
  active_ = isDefault;
  if (HandleAllocated())
    win::SendMessage(WindowHandle(), win::BM_SETSTYLE, isDefault ? win::BS_DEFPUSHBUTTON : win::BS_PUSHBUTTON, 1);
}

void TButton::Click() {
  if (TCustomForm* form = ParentForm()) form->SetModalResult(modalResult_);
  TButtonControl::Click();
}

void TButton::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      if (win::HIWORD(m.WParam) == win::BN_CLICKED) Click();
      return;
    case CM_DIALOGKEY: {
      const auto key = static_cast<int>(m.WParam);
      const bool noShift = TShiftState::FromMask(static_cast<uint32_t>(m.LParam)).Empty();
      if (noShift && CanFocus() && ((key == win::VK_RETURN && active_) || (key == win::VK_ESCAPE && cancel_))) {
        Click();
        m.Result = 1;
      }
      return;
    }
    case CM_DIALOGCHAR:
      if (IsAccel(static_cast<char16_t>(m.WParam), Caption()) && CanFocus()) {
        Click();
        m.Result = 1;
      }
      return;
    case CM_FOCUSCHANGED: {
      auto* focused = reinterpret_cast<TWinControl*>(m.LParam);
      SetButtonStyle(dynamic_cast<TButton*>(focused) ? focused == this : default_);
      return;
    }
    case CM_FONTCHANGED:
      if (HandleAllocated())
        win::SendMessage(WindowHandle(), win::WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 1);
      TButtonControl::Dispatch(m);
      return;
    default: TButtonControl::Dispatch(m);
  }
}

}  // namespace qelo::vcl
