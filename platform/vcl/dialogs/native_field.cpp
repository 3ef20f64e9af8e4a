#include "vcl/dialogs/native_field.h"

#include "vcl/controls/messages.h"
#include "win/controls/commctrl.h"

namespace qelo::vcl {

const ClassInfo& TNativeField::StaticClass() {
  static const ClassInfo info = ClassBuilder<TNativeField>("TNativeField", TWinControl::StaticClass()).Done();
  return info;
}

TNativeField::TNativeField(TComponent* owner, const char* windowClass, win::DWORD style)
    : TWinControl(owner), windowClass_(windowClass), style_(style) {
  SetTabStop(true);
  SetColor(clWindow);
}

void TNativeField::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = windowClass_;
  p.Style |= style_;
}

void TNativeField::CreateWnd() {
  const win::INITCOMMONCONTROLSEX classes{sizeof(win::INITCOMMONCONTROLSEX), win::ICC_STANDARD_CLASSES};
  win::InitCommonControlsEx(&classes);
  TWinControl::CreateWnd();
  Send(win::WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
}

std::string TNativeField::WindowText() { return win::GetWindowText(Handle()); }

void TNativeField::SetWindowText(const std::string& text) { win::SetWindowText(Handle(), text); }

LRESULT TNativeField::Send(UINT msg, WPARAM wParam, LPARAM lParam) {
  return win::SendMessage(Handle(), msg, wParam, lParam);
}

void TNativeField::SetItems(const std::vector<std::string>& items, UINT resetMsg, UINT addMsg) {
  Send(resetMsg);
  for (const std::string& item : items) Send(addMsg, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

void TNativeField::Dispatch(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    if (OnCommand) OnCommand(win::HIWORD(m.WParam));
    return;
  }
  TWinControl::Dispatch(m);
}

}  // namespace qelo::vcl
